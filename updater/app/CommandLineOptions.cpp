#include "updater/app/CommandLineOptions.h"

#include "updater/app/ApplicationTexts.h"

#include <algorithm>
#include <cstring>

namespace CV {

namespace {

constexpr char const* kKnownOptions[] = {"-h", "--help", "--version", "--demo"};

// The toolkit's options the updater passes on and names in its help. One
// with a value placeholder takes a value (--display=:1 or --display :1).
struct ToolkitOption {
    char const* name;
    char const* value; // null: takes none
    char const* meaning;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"--display", "<display>", "the X display to open (else DISPLAY's)"},
    {"--name", "<name>", "the program's name for the window manager"},
    {"--class", "<class>", "the class of its windows for the window manager"},
    {"--gtk-module", "<modules>", "load these GTK modules"},
    {"--g-fatal-warnings", nullptr, "make every warning fatal"},
};

bool isOption(char const* word)
{
    return word[0] == '-' && word[1] != '\0';
}

bool isToolkitValueOption(std::string const& option)
{
    return std::any_of(std::begin(kToolkitOptions), std::end(kToolkitOptions),
                       [&option](ToolkitOption const& known) { return known.value && option == known.name; });
}

// "  --display=<display>     the X display to open (else DISPLAY's)"
std::string toolkitOptionsHelp()
{
    constexpr std::size_t kColumn = 22;
    std::string help;
    for (ToolkitOption const& option : kToolkitOptions) {
        std::string usage = option.name;
        if (option.value)
            usage += std::string("=") + option.value;
        usage.resize(std::max(usage.size(), kColumn), ' ');
        help += "  " + usage + "  " + option.meaning + "\n";
    }
    return help;
}

// "--display=" names its option with an empty value.
bool hasEmptyValue(std::string const& option)
{
    return !option.empty() && option.back() == '=' && isToolkitValueOption(option.substr(0, option.size() - 1));
}

} // namespace

CommandLineOptions::CommandLineOptions(int argc, char const* const* argv)
{
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (!isOption(argv[i]))
            continue;
        m_options.emplace_back(argv[i]);
        const bool valueFollows = i + 1 < argc && argv[i + 1] && std::strcmp(argv[i + 1], "--") != 0;
        if (hasEmptyValue(argv[i]))
            m_withoutValue.emplace_back(m_options.back().substr(0, m_options.back().size() - 1));
        else if (isToolkitValueOption(argv[i]) && !valueFollows)
            m_withoutValue.emplace_back(argv[i]);
    }
}

bool CommandLineOptions::has(char const* option) const
{
    return std::find(m_options.begin(), m_options.end(), option) != m_options.end();
}

std::optional<int> CommandLineOptions::answerQuestions(std::ostream& out, std::ostream& err) const
{
    if (has("--help") || has("-h"))
        out << usage();
    else if (has("--version"))
        out << version() << '\n';
    else
        return std::nullopt;
    if (!out.flush()) {
        err << kCommand << ": cannot write to standard output\n";
        return kFailure;
    }
    return 0;
}

std::optional<int> CommandLineOptions::rejectMissingValues(std::ostream& err) const
{
    if (m_withoutValue.empty())
        return std::nullopt;
    const std::string& option = m_withoutValue.front();
    err << kCommand << ": option '" << option << "' needs a value (" << option << "=<value>)\n";
    return kUsageError;
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
        " [options] [--] [file...]\n"
        "Finds a Varanto MK2 keyboard on USB and brings its firmware up to date.\n"
        "Each file named is handed to the application as a document to open, as a\n"
        "launcher would; the updater opens none and leaves them untouched.\n"
        "\n"
        "Options:\n"
        "  -h, --help      show this help and exit\n"
        "  --version       show the version and exit\n"
        "  --demo          use the bundle's demo keyboard (one version behind, its\n"
        "                  update succeeds) on a simulated bus; with\n"
        "                  VARANTO_USB_SIMULATION set as well, --demo wins\n"
        "GTK's options, taken on the desktop (a value may also be the next word):\n" +
        toolkitOptionsHelp() +
        "\n"
        "Environment:\n"
        "  DISPLAY         the X display; the updater needs a desktop session and,\n"
        "                  when it cannot open the display, says so and ends\n"
        "  VARANTO_USB_SIMULATION=<file>\n"
        "                  use the simulated keyboards the file describes instead\n"
        "                  of real ones through libusb: a [device] section of\n"
        "                  \"key = value\" lines for each, as in the bundle's\n"
        "                  Contents/Resources/sim/demo.sim\n"
        "  VARANTO_PLATFORM_BACKEND=headless\n"
        "                  run without a display and without a window (for tests)\n"
        "  VARANTO_STATE_CHANNEL=<file>\n"
        "                  write the window's state to the file and carry out the\n"
        "                  commands of <file>.command (for tests)\n"
        "  XKB_DEFAULT_LAYOUT, XKB_DEFAULT_VARIANT, XKB_DEFAULT_MODEL,\n"
        "  XKB_DEFAULT_OPTIONS, XKB_DEFAULT_RULES\n"
        "                  the keyboard layout of the shortcut letters\n"
        "                  (else /etc/default/keyboard, else \"us\")\n"
        "\n"
        "Skin:\n"
        "  A folder named \"skin\" beside the bundle or in the working directory\n"
        "  replaces the bundle's skin completely (nothing missing from it is taken\n"
        "  from the bundle): stylesheets/FirmwareUpdaterStyles.txt, pictures/ and\n"
        "  fonts/, laid out like the bundle's Contents/Resources/skin. It is used\n"
        "  only when it belongs to you or root and nobody else may change it.\n"
        "\n"
        "Keyboards without root:\n"
        "  udev lets the desktop user open the keyboards through the rule\n"
        "    " VARANTO_UDEV_RULES_DIR "/" VARANTO_UDEV_RULE_NAME "\n"
        "  which the install copies there when it may write there. Else copy it\n"
        "  there as root from the bundle and re-plug the keyboard; in the bundle\n"
        "  it is Contents/Resources/udev/" VARANTO_UDEV_RULE_NAME ". The installed\n"
        "  bundle is \"" +
        ApplicationTexts::kAppName +
        ".app\" in\n"
        "    <prefix>/" VARANTO_INSTALL_BUNDLE_DIR "\n"
        "  where <prefix>/bin holds this command.\n"
        "\n"
        "Exit status: 0, 1 when the updater cannot run (no display), 2 for a\n"
        "mistake on the command line.\n";
}

std::string CommandLineOptions::version()
{
    return std::string(ApplicationTexts::kAppName) + " " + VARANTO_APP_VERSION;
}

} // namespace CV
