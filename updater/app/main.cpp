// Entry point of the updater. The window and the wizard are not built yet;
// until then the program says so and exits.
#include <cstdio>

int main()
{
    std::fprintf(stderr, "Varanto MK2 Firmware Updater: the user interface is not built yet.\n");
    return 2;
}
