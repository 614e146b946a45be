// Entry point of the updater.
#include "updater/app/Startup.h"
#include "updater/app/VarantoMK2UpdaterAppModule.h"

namespace CV {

// The first module constructed: the framework's current module.
VarantoMK2UpdaterAppModule theModule;

} // namespace CV

int main(int argc, char** argv)
{
    return CV::Startup::main(argc, argv);
}
