#pragma once
// What a desktop test does when it cannot reach a desktop (no X server can
// start, the toolkit cannot open the display, a program it drives is not
// installed). Elsewhere it skips itself; where a desktop is required, in CI
// (CI=true, as .ci/run sets it) or with VARANTO_REQUIRE_DESKTOP=1, it fails,
// so that the desktop backend cannot pass untested.
//
//   if (!server.running())
//       VARANTO_DESKTOP_UNAVAILABLE() << server.failure();
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace CV {
namespace test {

inline bool desktopRequired()
{
    auto const is = [](char const* name, char const* value) {
        char const* set = std::getenv(name);
        return set && std::strcmp(set, value) == 0;
    };
    return is("VARANTO_REQUIRE_DESKTOP", "1") || is("CI", "true") || is("CI", "1");
}

} // namespace test
} // namespace CV

// Ends the test (or its SetUp) as skipped or, where a desktop is required,
// as failed; the reason is streamed into it.
#define VARANTO_DESKTOP_UNAVAILABLE()                                                                                  \
    return GTEST_MESSAGE_(                                                                                             \
        ::CV::test::desktopRequired() ? "No desktop, and one is required (CI or VARANTO_REQUIRE_DESKTOP=1): "          \
                                      : "No desktop: ",                                                                \
        ::CV::test::desktopRequired() ? ::testing::TestPartResult::kFatalFailure : ::testing::TestPartResult::kSkip)
