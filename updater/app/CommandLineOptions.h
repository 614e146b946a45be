#pragma once
// The options of the updater's command line. Options are the words after
// the program's name that start with '-' ("-" alone is not one), up to "--";
// every other word is a file and is left to others. The updater knows
// --help (-h) and --version; the toolkit takes its own options (--display
// and the like) before the others are checked.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace CV {

class CommandLineOptions {
public:
    static constexpr int kUsageError = 2;

    CommandLineOptions(int argc, char const* const* argv);

    // With --help or --version: prints the usage or the version to out and
    // gives the exit status (0). None when neither is given.
    std::optional<int> answerQuestions(std::ostream& out) const;
    // With an option the updater does not know: one line naming it on err
    // and the exit status kUsageError. None when every option is known.
    std::optional<int> rejectUnknown(std::ostream& err) const;

    static std::string usage();
    static std::string version();

private:
    bool has(char const* option) const;

    std::vector<std::string> m_options;
};

} // namespace CV
