#include "platform/cf/NSRange.h"

#include <gtest/gtest.h>

namespace {

TEST(NSRange, NoRangeOfAClientIsNotFound)
{
    // A client answers "no range" as location -1; widened with its sign it
    // is the platform's not-found value.
    const int32_t noRange = -1;
    EXPECT_EQ(NSUInteger(int64_t(noRange)), NSNotFound);
    EXPECT_TRUE(NSEqualRanges(NSRangeFromSigned(noRange, 0), NSMakeRange(NSNotFound, 0)));
    EXPECT_TRUE(NSEqualRanges(NSRangeFromSigned(noRange, 5), NSMakeRange(NSNotFound, 0)));
    EXPECT_TRUE(NSEqualRanges(NSRangeFromSigned(3, -2), NSMakeRange(3, 0)));
    EXPECT_FALSE(NSRangeIsFound(NSRangeFromSigned(noRange, 0)));
    EXPECT_TRUE(NSRangeIsFound(NSMakeRange(0, 0)));
}

TEST(NSRange, ConsumersTreatNotFoundAsContainingNothing)
{
    const NSRange none = NSMakeRange(NSNotFound, 0);
    const NSRange text = NSMakeRange(2, 5);
    EXPECT_EQ(NSMaxRange(none), NSNotFound);
    EXPECT_EQ(NSMaxRange(text), 7u);
    EXPECT_EQ(NSMaxRange(NSMakeRange(10, NSNotFound)), NSNotFound - 1);

    struct Case {
        NSUInteger location;
        NSRange range;
        bool inside;
    };
    const Case cases[] = {
        {2, text, true},  {6, text, true},           {7, text, false},          {1, text, false},
        {0, none, false}, {NSNotFound, none, false}, {NSNotFound, text, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NSLocationInRange(c.location, c.range), c.inside) << c.location;

    EXPECT_TRUE(NSEqualRanges(NSIntersectionRange(text, NSMakeRange(5, 10)), NSMakeRange(5, 2)));
    EXPECT_TRUE(NSEqualRanges(NSIntersectionRange(text, NSMakeRange(7, 1)), none));
    EXPECT_TRUE(NSEqualRanges(NSIntersectionRange(text, none), none));
    EXPECT_TRUE(NSEqualRanges(NSIntersectionRange(none, text), none));
}

} // namespace
