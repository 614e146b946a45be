// The private copy of the command line the framework keeps.
#include "updater/app/CommandLineCopy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;
    std::size_t bufferSize;
};

class CommandLineCopyTest : public testing::TestWithParam<CommandLineCase> { };

TEST_P(CommandLineCopyTest, CopiesEveryArgumentBackToBackAndEndsTheVectorWithNull)
{
    CommandLineCase const& c = GetParam();
    std::vector<std::string> originals = c.arguments;
    std::vector<char const*> argv;
    for (std::string const& argument : originals)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);

    CV::CommandLineCopy copy;
    copy.assign(static_cast<int>(c.arguments.size()), argv.data());
    for (std::string& original : originals)
        original.assign(original.size(), 'x'); // the copy owns its bytes

    ASSERT_EQ(copy.argc(), static_cast<int>(c.arguments.size()));
    EXPECT_EQ(copy.buffer().size(), c.bufferSize);
    EXPECT_EQ(copy.argv()[copy.argc()], nullptr);
    char const* expectedStart = copy.buffer().data();
    for (int i = 0; i < copy.argc(); ++i) {
        EXPECT_EQ(copy.argv()[i], expectedStart) << "argument " << i;
        EXPECT_EQ(std::string(copy.argv()[i]), c.arguments[i]);
        expectedStart += c.arguments[i].size() + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandLineCopyTest,
                         testing::Values(CommandLineCase{"ProgramOnly", {"/opt/updater"}, 13},
                                         CommandLineCase{"EmptyArgument", {"/opt/updater", "", "-v"}, 13 + 1 + 3},
                                         CommandLineCase{"Nothing", {}, 0}),
                         [](testing::TestParamInfo<CommandLineCase> const& info) {
                             return std::string(info.param.name);
                         });

TEST(CommandLineCopy, AssigningAgainReplacesTheCopy)
{
    char const* first[] = {"a", "bb", nullptr};
    char const* second[] = {"ccc", nullptr};
    CV::CommandLineCopy copy;
    copy.assign(2, first);
    copy.assign(1, second);
    ASSERT_EQ(copy.argc(), 1);
    EXPECT_STREQ(copy.argv()[0], "ccc");
    EXPECT_EQ(copy.argv()[1], nullptr);
    EXPECT_EQ(copy.buffer().size(), 4u);
}

} // namespace
