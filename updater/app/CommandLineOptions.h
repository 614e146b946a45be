#pragma once
// The options of the updater's command line. Options are the words after
// the program's name that start with '-' ("-" alone is not one), up to "--";
// every other word is a file and is left to others. The updater knows
// --help (-h), --version and --demo; the toolkit takes its own options
// (--display and the like) before the others are checked.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace CV {

class CommandLineOptions {
public:
    static constexpr char const* kCommand = "varanto-mk2-firmware-updater";
    static constexpr int kFailure = 1;
    static constexpr int kUsageError = 2;

    CommandLineOptions(int argc, char const* const* argv);

    // With --help or --version: prints the usage or the version to out and
    // gives the exit status: 0, or kFailure with one line on err when out
    // could not take it all. None when neither is given.
    std::optional<int> answerQuestions(std::ostream& out, std::ostream& err) const;
    // With a toolkit option that takes a value but has none (--display as
    // the last word, --display=): one line naming it on err and the exit
    // status kUsageError, before the toolkit sees it. None otherwise.
    std::optional<int> rejectMissingValues(std::ostream& err) const;
    // With an option the updater does not know: one line naming it on err
    // and the exit status kUsageError. None when every option is known.
    std::optional<int> rejectUnknown(std::ostream& err) const;

    // Whether --demo asks for the bundle's demo keyboard.
    bool wantsDemo() const { return has("--demo"); }

    static std::string usage();
    static std::string version();

private:
    bool has(char const* option) const;

    std::vector<std::string> m_options;
    // The toolkit's options that take a value and were given none.
    std::vector<std::string> m_withoutValue;
};

} // namespace CV
