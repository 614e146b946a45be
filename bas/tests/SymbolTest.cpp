#include "cv/symbol.h"
#include "cv/VersionNumber.h"
#include "cv/compiled_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Interns at exit, after every function-local static made during the tests
// has been destroyed: the table must still hold the nodes made before.
struct InternsAtExit {
    const std::string* madeDuringTests = nullptr;
    ~InternsAtExit()
    {
        const cv::symbol late(std::string("made-before-exit"));
        if (madeDuringTests && &late.string() != madeDuringTests)
            std::abort();
    }
} g_internsAtExit;

TEST(SymbolTest, StaysUsableDuringExit)
{
    g_internsAtExit.madeDuringTests = &cv::symbol(std::string("made-before-exit")).string();
}

TEST(SymbolTest, EqualTextsShareOneNode)
{
    const char abcdef[] = "abcdef";
    const cv::symbol fromString(std::string("abc"));
    const cv::symbol fromPointer(abcdef, 3);
    EXPECT_EQ(fromString, fromPointer);
    EXPECT_EQ(&fromString.string(), &fromPointer.string());
    EXPECT_EQ(fromPointer.string(), "abc");
    EXPECT_NE(fromString, cv::symbol(abcdef, 4));

    EXPECT_EQ(cv::symbol(), cv::symbol(std::string()));
    EXPECT_EQ(cv::symbol(), cv::symbol(nullptr, 0));
    EXPECT_EQ(cv::symbol().string(), "");
}

TEST(SymbolTest, HashesWithSignedCharacters)
{
    struct Case {
        std::string text;
        std::size_t hash;
        std::size_t bucket;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"a", 97, 97},
        {"abc", 417419622498u, 2146},
        // 0xC3 counts as -61, 0xA4 as -92: h = -61 * 65599 - 92, wrapped.
        {"\xC3\xA4", std::size_t(std::uint64_t(-61) * 65599u - 92u),
         std::size_t((std::uint64_t(-61) * 65599u - 92u) & 4095)},
    };
    for (const auto& c : cases) {
        const cv::symbol s(c.text);
        EXPECT_EQ(s.hash(), c.hash) << c.text;
        EXPECT_EQ(s.bucket(), c.bucket) << c.text;
        EXPECT_EQ(cv::symbol::hashOf(c.text.data(), c.text.size()), c.hash) << c.text;
    }
}

// The text stops at the first NUL, whichever form was interned first.
TEST(SymbolTest, EmbeddedNulEndsTheText)
{
    const std::string withNul("nul-test\0tail", 13);
    const cv::symbol first(withNul);
    const cv::symbol second(std::string("nul-test"));
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.string(), "nul-test");
    EXPECT_EQ(first.hash(), second.hash());

    const cv::symbol other(std::string("nul-other\0x", 11));
    EXPECT_EQ(other.string().size(), 9u);
    EXPECT_EQ(other, cv::symbol("nul-other", 9));
}

TEST(SymbolTest, ComparesWithCString)
{
    const cv::symbol s(std::string("Button"));
    EXPECT_TRUE(s == "Button");
    EXPECT_FALSE(s == "Butto");
    EXPECT_FALSE(s == "Buttons");
    EXPECT_FALSE(s == nullptr);
    EXPECT_TRUE(cv::symbol() == "");
}

TEST(SymbolTest, WritesItsText)
{
    std::ostringstream out;
    out << cv::symbol(std::string("Label")) << '|' << cv::symbol();
    EXPECT_EQ(out.str(), "Label|");
}

TEST(SymbolTest, ConcurrentInterningGivesOneNodePerText)
{
    constexpr int threadCount = 8;
    constexpr int textCount = 2000;
    std::vector<std::string> texts;
    for (int i = 0; i < textCount; ++i)
        texts.push_back("concurrent-" + std::to_string(i % (textCount / 2)) + (i < textCount / 2 ? "" : "-b"));

    std::vector<std::map<std::string, const std::string*>> seen(threadCount);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            std::vector<std::string> order = texts;
            std::shuffle(order.begin(), order.end(), std::mt19937(t));
            for (const auto& text : order)
                seen[t][text] = &cv::symbol(text).string();
        });
    }
    for (auto& thread : threads)
        thread.join();

    for (int t = 1; t < threadCount; ++t)
        EXPECT_EQ(seen[t], seen[0]) << "thread " << t;
    for (const auto& text : texts)
        EXPECT_EQ(seen[0][text], &cv::symbol(text).string());
}

TEST(CompiledResourcesTest, EveryLookupFails)
{
    const cv::symbol name(std::string("logo.png"));
    const cv::symbol type(std::string("PICTURE"));
    for (auto lookUp :
         {+[](cv::symbol n, cv::symbol) { return cv::compiled_resources::resolve_resource_data(n); },
          +[](cv::symbol, cv::symbol t) { return cv::compiled_resources::resolve_resource_data(t, 128); }}) {
        try {
            lookUp(name, type);
            ADD_FAILURE() << "a resource was found";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "resource not found");
        }
    }
}

TEST(VersionNumberTest, IsNullWhenPartsAddUpToZero)
{
    struct Case {
        cv::commons::VersionNumber version;
        bool null;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, true},
        {{10, 13, 6, 0}, false},
        {{0, 0, 0, 1}, false},
        {{1, -1, 0, 0}, true}, // the sum wraps; real versions have no negative parts
        {{INT32_MAX, 1, INT32_MAX, 1}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cv::commons::isNull(c.version), c.null) << c.version.majorPart << '.' << c.version.minorPart << '.'
                                                          << c.version.patchPart << '.' << c.version.fourthPart;
}

} // namespace
