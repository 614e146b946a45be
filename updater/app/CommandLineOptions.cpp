#include "updater/app/CommandLineOptions.h"

#include "updater/app/ApplicationTexts.h"

#include <algorithm>
#include <cstring>

namespace CV {

namespace {

constexpr char const* kCommand = "varanto-mk2-firmware-updater";
constexpr char const* kKnownOptions[] = {"-h", "--help", "--version"};

bool isOption(char const* word)
{
    return word[0] == '-' && word[1] != '\0';
}

} // namespace

CommandLineOptions::CommandLineOptions(int argc, char const* const* argv)
{
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (isOption(argv[i]))
            m_options.emplace_back(argv[i]);
    }
}

bool CommandLineOptions::has(char const* option) const
{
    return std::find(m_options.begin(), m_options.end(), option) != m_options.end();
}

std::optional<int> CommandLineOptions::answerQuestions(std::ostream& out) const
{
    if (has("--help") || has("-h")) {
        out << usage();
        return 0;
    }
    if (has("--version")) {
        out << version() << '\n';
        return 0;
    }
    return std::nullopt;
}

std::optional<int> CommandLineOptions::rejectUnknown(std::ostream& err) const
{
    for (const std::string& option : m_options) {
        if (std::find(std::begin(kKnownOptions), std::end(kKnownOptions), option) == std::end(kKnownOptions)) {
            err << kCommand << ": unknown option '" << option << "' (--help lists the options)\n";
            return kUsageError;
        }
    }
    return std::nullopt;
}

std::string CommandLineOptions::usage()
{
    return std::string("Usage: ") + kCommand +
        " [options]\n"
        "Finds a Varanto MK2 keyboard on USB and brings its firmware up to date.\n"
        "\n"
        "Options:\n"
        "  -h, --help     show this help and exit\n"
        "  --version      show the version and exit\n"
        "  GTK's own options (such as --display=<display>) are taken as well.\n"
        "\n"
        "Environment:\n"
        "  VARANTO_USB_SIMULATION=<file>  use the simulated keyboards described in the file\n"
        "                                 instead of real ones through libusb\n"
        "  VARANTO_STATE_CHANNEL=<file>   write the window's state to the file and carry out\n"
        "                                 the commands of <file>.command (for tests)\n"
        "  XKB_DEFAULT_LAYOUT, XKB_DEFAULT_VARIANT, XKB_DEFAULT_MODEL, XKB_DEFAULT_OPTIONS,\n"
        "  XKB_DEFAULT_RULES              the keyboard layout of the shortcut letters\n"
        "                                 (else /etc/default/keyboard, else \"us\")\n"
        "\n"
        "More in README.md of the updater's sources: the simulation file's keys, the udev\n"
        "rule that lets the desktop user open the keyboards, skins.\n";
}

std::string CommandLineOptions::version()
{
    return std::string(ApplicationTexts::kAppName) + " " + VARANTO_APP_VERSION;
}

} // namespace CV
