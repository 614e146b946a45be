// The parser driver: files and streams with byte-order marks, imports from
// files, constants across imports, and the texts it is handed.
#include "StyleDump.h"

#include "BAS/FileName.h"
#include "BAS/MemoryStorage.h"
#include "BAS/Stream.h"
#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace CV::TOV {
namespace {

using Testing::dumpRules;
using Testing::LogCapture;
using Lines = std::vector<std::string>;

std::string colonPath(std::string const& posixPath)
{
    return BAS::FileName(boost::filesystem::path(posixPath)).full;
}

struct BOMCase {
    std::string bytes;
    StyleParser2::eEncoding encoding;
    bool parsed;
    Lines rules;
    Lines messages;
};

class ByteOrderMarks : public testing::TestWithParam<BOMCase> { };

TEST_P(ByteOrderMarks, DecideEncodingAndWhatIsParsed)
{
    BOMCase const& c = GetParam();
    std::string bytes = c.bytes;
    BAS::MemoryStorage storage;
    storage.init(BAS::IStorage::eAccessRead, bytes.data(), bytes.size());
    BAS::Stream stream(&storage);
    LogCapture log;
    StyleParser2 parser;
    EXPECT_EQ(parser.processStream(stream, "memory"), c.parsed);
    EXPECT_EQ(parser.getEncoding(), c.encoding);
    EXPECT_EQ(dumpRules(parser.getRules()), c.rules);
    EXPECT_EQ(log.lines, c.messages);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, ByteOrderMarks, testing::Values(
    BOMCase{"A { x: 1; }", StyleParser2::eNoMark, true, {"L0 A { x=i1/0 }"}, {}},
    BOMCase{"\xEF\xBB\xBF" "A { x: 1; }", StyleParser2::eUTF8, true, {"L0 A { x=i1/0 }"}, {}},
    BOMCase{"\xEF\xBB\xBF", StyleParser2::eNoMark, true, {},
            {"Stylesheet error: :1 - PARSER ERROR at line 1: Expecting statement, whitespace or eoi"}},
    BOMCase{"", StyleParser2::eNoMark, true, {}, {}},
    BOMCase{std::string("\xFE\xFF\0A", 4), StyleParser2::eUTF16BE, false, {}, {"Stylesheet error: :0 - Unsupported buffer encoding"}},
    BOMCase{std::string("\xFF\xFE" "A\0", 4), StyleParser2::eUTF16LE, false, {}, {"Stylesheet error: :0 - Unsupported buffer encoding"}},
    BOMCase{std::string("\0\0\xFE\xFF", 4), StyleParser2::eUTF32BE, false, {}, {"Stylesheet error: :0 - Unsupported buffer encoding"}},
    BOMCase{std::string("\xFF\xFE\0\0", 4), StyleParser2::eUTF32LE, false, {}, {"Stylesheet error: :0 - Unsupported buffer encoding"}}));
// clang-format on

class StyleImports : public testing::Test {
protected:
    // Parses the named sheet of the folder; the rules and log lines, with the
    // folder's colon path shown as "<dir>".
    void parse(std::string const& name)
    {
        LogCapture log;
        StyleParser2 parser;
        parsed = parser.processFile(BAS::FileName(boost::filesystem::path(folder.at(name))));
        rules = dumpRules(parser.getRules());
        std::string const dir = colonPath(folder.string());
        messages.clear();
        for (std::string line : log.lines) {
            for (std::size_t at; (at = line.find(dir)) != std::string::npos;)
                line.replace(at, dir.size(), "<dir>");
            messages.push_back(line);
        }
    }

    test::TemporaryFolder folder{"style-imports"};
    bool parsed = false;
    Lines rules;
    Lines messages;
};

TEST_F(StyleImports, ChainSharesConstantsAndKeepsSourceOrder)
{
    folder.write("main.txt", "Top { t: 1; }\n@import url(\"a.txt\");\nMain { x: $fromB; y: $fromA; }\n");
    folder.write("a.txt", "@define $fromA 2;\n@import url('b.txt');\nA { a: $fromB; }\n");
    folder.write("b.txt", "@define $fromB #010203;\nB { b: 1; }\n");
    parse("main.txt");
    EXPECT_TRUE(parsed);
    EXPECT_EQ(rules,
              Lines({"L0 Top { t=i1/0 }", "L2 B { b=i1/0 }", "L3 A { a=u#FF010203/6 }",
                     "L3 Main { x=u#FF010203/6; y=i2/0 }"}));
    EXPECT_EQ(messages, Lines());
}

TEST_F(StyleImports, SelfImportIsReadOnceMoreThenRefused)
{
    folder.write("self.txt", "@import url(\"self.txt\");\nS { z: 1; }\n");
    parse("self.txt");
    EXPECT_EQ(rules, Lines({"L2 S { z=i1/0 }", "L2 S { z=i1/0 }"}));
    EXPECT_EQ(messages,
              Lines({"Stylesheet error: <dir>self.txt:1 - PARSER ERROR at line 1: recursive import of "
                     "stylesheet self.txt"}));
}

TEST_F(StyleImports, CycleIsRefusedAtTheSecondVisit)
{
    folder.write("c1.txt", "@import url(\"c2.txt\");\nOne { a: 1; }\n");
    folder.write("c2.txt", "@import url(\"c1.txt\");\nTwo { b: 2; }\n");
    parse("c1.txt");
    EXPECT_EQ(rules, Lines({"L2 One { a=i1/0 }", "L2 Two { b=i2/0 }", "L2 One { a=i1/0 }"}));
    EXPECT_EQ(messages,
              Lines({"Stylesheet error: <dir>c1.txt:1 - PARSER ERROR at line 1: recursive import of "
                     "stylesheet c2.txt"}));
}

TEST_F(StyleImports, MissingAndUnreadableImportsAreReportedAndSkipped)
{
    folder.write("main.txt", "@import url(\"missing.txt\");\n@import url(\"wide.txt\");\nM { x: 1; }\n");
    folder.write("wide.txt",
                 std::string("\xFF\xFE"
                             "A\0 \0{\0}\0",
                             10));
    parse("main.txt");
    EXPECT_TRUE(parsed);
    EXPECT_EQ(rules, Lines({"L3 M { x=i1/0 }"}));
    EXPECT_EQ(
        messages,
        Lines(
            {"Stylesheet error: <dir>main.txt:1 - PARSER ERROR at line 1: Failed to import stylesheet "
             "<dir>missing.txt",
             "Stylesheet error: <dir>wide.txt:0 - Unsupported buffer encoding",
             "Stylesheet error: <dir>main.txt:2 - PARSER ERROR at line 2: Failed to import stylesheet <dir>wide.txt"}));
}

TEST_F(StyleImports, ImportThroughALinkLoopIsReadOnce)
{
    std::filesystem::create_directory(folder.at("loop"));
    std::filesystem::create_directory_symlink(".", folder.at("loop/sub"));
    std::string const self = colonPath(folder.at("loop/sub/l.txt"));
    folder.write("loop/l.txt", "@import url(\"" + self + "\");\nL { x: 1; }\n");
    parse("loop/l.txt");
    EXPECT_TRUE(parsed);
    EXPECT_EQ(rules, Lines({"L2 L { x=i1/0 }", "L2 L { x=i1/0 }"}));
    EXPECT_EQ(messages,
              Lines({"Stylesheet error: <dir>loop:sub:l.txt:1 - PARSER ERROR at line 1: recursive import "
                     "of stylesheet <dir>loop:sub:l.txt"}));
}

TEST_F(StyleImports, ChainsStopAtTheDepthLimit)
{
    int const files = StyleParser2::kMaxImportDepth + 5;
    for (int i = 0; i < files; ++i)
        folder.write("d" + std::to_string(i) + ".txt",
                     "@import url(\"d" + std::to_string(i + 1) + ".txt\");\nD" + std::to_string(i) + " { x: 1; }\n");
    parse("d0.txt");
    EXPECT_TRUE(parsed);
    int const depth = StyleParser2::kMaxImportDepth;
    EXPECT_EQ(rules.size(), std::size_t(depth + 1));
    EXPECT_EQ(rules.front(), "L2 D" + std::to_string(depth) + " { x=i1/0 }");
    EXPECT_EQ(messages,
              Lines({"Stylesheet error: <dir>d" + std::to_string(depth) +
                     ".txt:1 - PARSER ERROR at line 1: "
                     "imports nested too deeply, stylesheet d" +
                     std::to_string(depth + 1) + ".txt"}));
}

TEST_F(StyleImports, OversizedSheetIsRefused)
{
    std::string big(std::size_t(StyleParser2::kMaxSheetSize) + 1, ' ');
    folder.write("big.txt", big);
    parse("big.txt");
    EXPECT_FALSE(parsed);
    EXPECT_EQ(messages, Lines({"Stylesheet error: <dir>big.txt:0 - Stylesheet larger than 16 MiB"}));
}

TEST(StyleParserDriver, FileThatCannotBeOpenedIsFalseWithoutMessage)
{
    LogCapture log;
    StyleParser2 parser;
    EXPECT_FALSE(parser.processFile(BAS::FileName(boost::filesystem::path("/nonexistent/dir/x.txt"))));
    EXPECT_TRUE(log.lines.empty());
}

TEST(StyleParserDriver, CharSequenceStopsAtNulAndAtTheViewsEnd)
{
    {
        StyleParser2 parser;
        std::string const text("A { x: 1; }\0B { y: 2; }", 23);
        EXPECT_TRUE(parser.processString(BAS::CharSequence<char>(text.data(), text.size())));
        EXPECT_EQ(dumpRules(parser.getRules()), Lines({"L0 A { x=i1/0 }"}));
    }
    {
        // A view into a buffer with no NUL behind it: only the view is read.
        std::string const text = "A { x: 1; }B { y: 2; }";
        auto bytes = std::make_unique<char[]>(11);
        std::copy(text.begin(), text.begin() + 11, bytes.get());
        StyleParser2 parser;
        EXPECT_TRUE(parser.processString(BAS::CharSequence<char>(bytes.get(), 11)));
        EXPECT_EQ(dumpRules(parser.getRules()), Lines({"L0 A { x=i1/0 }"}));
    }
}

// A sheet of the largest size that holds no rule at all (closing braces)
// must not make the parser reserve room for the rules its length could
// hold: at most 1 MiB of them. Rules beyond what was reserved still come.
TEST(StyleParserDriver, LongTextOfNoRulesReservesLittle)
{
    LogCapture log;
    StyleParser2 parser;
    parser.processString(std::string(std::size_t(StyleParser2::kMaxSheetSize), '}'));
    EXPECT_TRUE(parser.getRules().empty());
    EXPECT_LE(parser.getRules().capacity() * sizeof(StyleParser2::tRule), std::size_t(1) << 20);

    std::string sheet;
    std::size_t const rules = (std::size_t(3) << 20) / sizeof(StyleParser2::tRule);
    for (std::size_t i = 0; i < rules; ++i)
        sheet += "A{x:1}";
    StyleParser2 many;
    EXPECT_TRUE(many.processString(sheet));
    EXPECT_EQ(many.getRules().size(), rules);
}

} // namespace
} // namespace CV::TOV
