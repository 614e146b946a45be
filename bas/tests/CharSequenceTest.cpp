#include "BAS/CharSequence.h"

#include <gtest/gtest.h>

#include <string>

using CV::BAS::CharSequence;

namespace {

// Readers such as tracing take the data as a C string: every view made from
// a string or a C string, and the empty view, must have a NUL behind it.
TEST(CharSequenceTest, ViewsOfOwnedTextKeepTheTerminator)
{
    const std::string owned = "owned";
    const char* cString = "c-string";
    const CharSequence<char> views[] = {CharSequence<char>(owned), CharSequence<char>(cString), CharSequence<char>(),
                                        CharSequence<char>(nullptr), CharSequence<char>(nullptr, 5)};
    const std::string expected[] = {"owned", "c-string", "", "", ""};
    for (std::size_t i = 0; i < std::size(views); ++i) {
        EXPECT_EQ(views[i].str(), expected[i]);
        EXPECT_EQ(views[i].length(), expected[i].size());
        EXPECT_EQ(views[i].data()[views[i].length()], '\0');
    }
}

TEST(CharSequenceTest, LengthComesFromTheViewNotFromANul)
{
    const char bytes[] = "ab\0cd";
    const CharSequence<char> view(bytes, 5);
    EXPECT_EQ(view.str(), std::string("ab\0cd", 5));
    EXPECT_EQ(view, CharSequence<char>(std::string("ab\0cd", 5)));
    EXPECT_NE(view, CharSequence<char>("ab"));
}

} // namespace
