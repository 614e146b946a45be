// Prints the folder of the bundle that holds this program, or "none".
// The bundle tests copy this program into bundle layouts and run it there.
#include "BAS/DSOHandle.h"

#include <cstdio>
#include <string>

int main()
{
    CFBundleRef bundle = CV::BAS::getCurrentDSOHandle();
    const bool cached = bundle == CV::BAS::getCurrentDSOHandle();
    std::printf("%s%s\n", bundle ? platform::cf::Bundle::fromRef(bundle)->path().c_str() : "none",
                bundle && !cached ? " (not cached)" : "");
    CV::BAS::releaseCurrentDSOHandle();
    return 0;
}
