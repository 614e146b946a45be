// The style-sheet language as the parser reads it: rules, value kinds and
// units, line numbers, and the messages and recovery of faulty text.
#include "StyleDump.h"

#include <gtest/gtest.h>

namespace CV::TOV {
namespace {

using Testing::dumpRules;
using Testing::LogCapture;
using Lines = std::vector<std::string>;

struct GrammarCase {
    char const* text;
    Lines rules;
    Lines messages; // "<line> - <message>" after the source name
};

// Text parsed from memory has no file name, so its messages name no source.
std::string const kPrefix = "Stylesheet error: :";

Lines withoutPrefix(Lines const& lines)
{
    Lines result;
    for (auto const& line : lines)
        result.push_back(line.compare(0, kPrefix.size(), kPrefix) == 0 ? line.substr(kPrefix.size()) : "?" + line);
    return result;
}

class StyleGrammarTable : public testing::TestWithParam<GrammarCase> { };

TEST_P(StyleGrammarTable, ParsesRulesAndReportsErrors)
{
    GrammarCase const& c = GetParam();
    LogCapture log;
    StyleParser2 parser;
    EXPECT_TRUE(parser.processString(std::string(c.text)));
    EXPECT_EQ(dumpRules(parser.getRules()), c.rules);
    EXPECT_EQ(withoutPrefix(log.lines), c.messages);
}

// clang-format off
const GrammarCase kLanguage[] = {
    {"", {}, {}},
    {"  // note\n\t/* one\n two */ \r\n", {}, {}},
    {"Button{}", {}, {}},
    {"A { }\nA { ; }", {}, {}},
    {"A { x: 1; }", {"L0 A { x=i1/0 }"}, {}},
    {"\nA { x: 1 }", {"L2 A { x=i1/0 }"}, {}},
    {"A{x:1;} B{y:2;}", {"L0 A { x=i1/0 }", "L0 B { y=i2/0 }"}, {}},
    {"A { x: 1; }\rB { y: 2; }", {"L0 A { x=i1/0 }", "L2 B { y=i2/0 }"}, {}},
    {"A, B { x: 1; y: 2; }", {"L0 A, B { x=i1/0; y=i2/0 }"}, {}},
    {"A B C { x: 1; }", {"L0 A B C { x=i1/0 }"}, {}},
    {"A::B C { x: 1; }\nA ::B {x:1}\nA:: B {x:1}", {"L0 A::B C { x=i1/0 }", "L2 A::B { x=i1/0 }", "L3 A::B { x=i1/0 }"}, {}},
    {"A:over B { x: 1; }\nA[k=v] B { x: 1; }", {"L0 A B { x=i1/0 }", "L2 A[k=v] B { x=i1/0 }"}, {}},
    {"* { x: 1; }\nButton<Big> { x: 1; }\n*<Big> { x: 1; }", {"L0 * { x=i1/0 }", "L2 Button<Big> { x=i1/0 }", "L3 * { x=i1/0 }"}, {}},
    {"A.big#ok[k^=v][ j=w ]:over:!down { x: 1; }", {"L0 A.big#ok[j=w][k^=v]:!down:over { x=i1/0 }"}, {}},
    {"A.#1x { x: 1; }", {"L0 A#1x { x=i1/0 }"}, {}},
    {"A:!enabled { x: 1; }\nA::enabled { x: 1; }", {"L0 A:!enabled { x=i1/0 }", "L2 A::enabled { x=i1/0 }"}, {}},
    {"A { w: 10 px; v: 10.0px; u: 3000000000; t: -3; s: 12 /*c*/ %; r: .5; q: 1e2; }",
     {"L0 A { w=i10/1; v=f10/1; u=f3e+09/0; t=i-3/0; s=i12/2; r=f0.5/0; q=f100/0 }"}, {}},
    {"A { a: RGB(255, 0, 0); b: rgba(0,0,0,128); c: #1FF0000; d: #abc; }",
     {"L0 A { a=u#FFFF0000/6; b=u#80000000/6; c=u#FFFF0000/6; d=u#FF000ABC/6 }"}, {}},
    {"A { c: rgb(1,2); }", {"L0 A { c=u#00000000/6 }"}, {"1 - PARSER ERROR at line 1: invalid color declaration"}},
    {"A { i: url( \"a.png\" ); j: URL('b c'); }", {"L0 A { i=s'a.png'/4; j=s'b c'/4 }"}, {}},
    {"A { f: true; g: TRUE; h: false; n: inf; }", {"L0 A { f=btrue/3; g=s'TRUE'/5; h=bfalse/3; n=finf/0 }"}, {}},
    {"A { align: left; }", {"L0 A { align=s'left'/5 }"}, {}},
    {"Bar { background-color:rgb(32, 32, 32); /*margin:2; spacing:2;*/ }", {"L0 Bar { background-color=u#FF202020/6 }"}, {}},
    {"@define $c #ff0000;\nA { color: $c; }", {"L2 A { color=u#FFFF0000/6 }"}, {}},
    {"@define $c 1;\n@define $c 2;\nA { x: $c; y: $d; }", {"L3 A { x=i1/0; y=i0/0 }"},
     {"2 - PARSER ERROR at line 2: constant already defined",
      "3 - PARSER ERROR at line 3: use of undefined constant d"}},
    // UTF-8 bytes in comments, strings and identifiers.
    {"/* \xc3\xa9 */ A { i: url(\"\xc3\xa9.png\"); }\nB\xc3\xa9 { x: 1; }\n",
     {"L0 A { i=s'\xc3\xa9.png'/4 }"},
     {"2 - PARSER ERROR at line 2: Expecting selector relation operator or {"}},
};

const GrammarCase kErrors[] = {
    {"A { x: 1; color 1; }", {"L0 A { x=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting :"}},
    {"A { color: ; }\nB { y: 2; }", {"L2 B { y=i2/0 }"}, {"1 - PARSER ERROR at line 1: Expecting sequence"}},
    {"A { x: 1; y: rgb(1,2,3; }", {"L0 A { x=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting )"}},
    {"A { color: #; }", {}, {"1 - PARSER ERROR at line 1: Expecting unsigned-integer"}},
    {"A { i: url(a.png); }", {}, {"1 - PARSER ERROR at line 1: Expecting string"}},
    {"A { i: url(\"a.png); }", {}, {"1 - PARSER ERROR at line 1: Expecting \"", "1 - PARSER ERROR at line 1: Expecting } or ;"}},
    {"A { i: url \"a\"; }", {}, {"1 - PARSER ERROR at line 1: Expecting ("}},
    {"A { x: $; }", {}, {"1 - PARSER ERROR at line 1: Expecting Identifier"}},
    {"A[k v] { x: 1; }", {"L0 A { x=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting unnamed-rule"}},
    {"A[k=1] { x: 1; }", {"L0 A { x=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting Identifier"}},
    {"A[=v] { x: 1; }", {"L0 A { x=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting attribute declaration"}},
    {"A[k=v { x: 1; }\nB { y: 1; }", {}, {"1 - PARSER ERROR at line 1: Expecting ]",
                                          "2 - PARSER ERROR at line 2: Expecting selector relation operator or {"}},
    {"A<x { y: 1; }\nB { z: 1; }\nC { w: 1; }", {"L3 C { w=i1/0 }"},
     {"1 - PARSER ERROR at line 1: Expecting >", "2 - PARSER ERROR at line 2: Expecting selector relation operator or {"}},
    {"A.b.c { x: 1; }\nA#x.y { x: 1; }\n.b { x: 1; }\nA :over { x: 1; }",
     {}, {"1 - PARSER ERROR at line 1: Expecting selector relation operator or {",
          "2 - PARSER ERROR at line 2: Expecting selector relation operator or {",
          "3 - PARSER ERROR at line 3: Expecting statement, whitespace or eoi",
          "4 - PARSER ERROR at line 4: Expecting selector relation operator or {"}},
    {"A[x = y] { z: 1; }", {"L0 A { z=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting unnamed-rule"}},
    {"A { font-name: Big Font; }", {}, {"1 - PARSER ERROR at line 1: Expecting } or ;"}},
    {"A { x: 1;", {}, {"1 - PARSER ERROR at line 1: Expecting } or ;"}},
    {"A { x 1;", {}, {"1 - PARSER ERROR at line 1: Expecting :", "1 - PARSER ERROR at line 1: Expecting } or ;"}},
    {"; A { x: 1; }\nB { x: 1; }", {"L2 B { x=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting statement, whitespace or eoi"}},
    {"@define $c;", {}, {"1 - PARSER ERROR at line 1: Expecting WS"}},
    {"@define$c 1;", {}, {"1 - PARSER ERROR at line 1: Expecting WS"}},
    {"@define x 1;", {}, {"1 - PARSER ERROR at line 1: Expecting unnamed-rule"}},
    {"@define $c ;", {}, {"1 - PARSER ERROR at line 1: Expecting Property"}},
    {"@define $c 1\nA { x: $c; }", {}, {"2 - PARSER ERROR at line 2: Expecting ;"}},
    {"@import \"a.txt\";", {}, {"1 - PARSER ERROR at line 1: Expecting URL"}},
    {"A { x: 1 } }", {"L0 A { x=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting statement, whitespace or eoi"}},
    {"A { w: 0; x 1; /* } */ y: 2; }\nB { v: 1; }", {"L0 A { w=i0/0 }", "L2 B { v=i1/0 }"},
     {"1 - PARSER ERROR at line 1: Expecting :"}},
    // The unclosed comment is tried once by each whitespace attempt, and each
    // attempt counts its line ends.
    {"A { x: 1; }\n/* open\nB { y: 2; }", {"L0 A { x=i1/0 }"},
     {"4 - PARSER ERROR at line 4: Expecting statement, whitespace or eoi"}},
    // A broken rule, selector or declaration styles nothing, and nothing of
    // it joins what follows.
    {"A { x: 1; y 2 }\nB { z: 3; }", {"L0 A { x=i1/0 }", "L2 B { z=i3/0 }"}, {"1 - PARSER ERROR at line 1: Expecting :"}},
    {"A { x: 1; } y }\nB { z: 3; }", {"L0 A { x=i1/0 }", "L2 B { z=i3/0 }"},
     {"1 - PARSER ERROR at line 1: Expecting selector relation operator or {"}},
    {"A, B { font: Big Font; }\nC { z: 3; }", {"L2 C { z=i3/0 }"}, {"1 - PARSER ERROR at line 1: Expecting } or ;"}},
    {"A.big:1 { y: 1; }\n{ z: 1; }\nC { w: 1; }", {"L3 C { w=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting Identifier"}},
    {"A B<x y\n{ y: 1; }\nC:over { w: 1; }", {"L3 C:over { w=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting >"}},
};

// An error and the next rule on one line: the rule keeps the line counted
// before it unless the error dropped a rule that had begun. The scan after
// an error counts line feeds only, so a lone CR does not end its skip.
const GrammarCase kRuleLineAfterRecovery[] = {
    {"A<x { y: 1; }\nB { z: 1; } C { w: 1; }", {"L2 C { w=i1/0 }"},
     {"1 - PARSER ERROR at line 1: Expecting >", "2 - PARSER ERROR at line 2: Expecting selector relation operator or {"}},
    {"A<x { y: 1; }\r\nB { z: 1; } C { w: 1; }", {"L2 C { w=i1/0 }"},
     {"1 - PARSER ERROR at line 1: Expecting >", "2 - PARSER ERROR at line 2: Expecting selector relation operator or {"}},
    {"A<x { y: 1; }\rB { z: 1; } C { w: 1; }", {},
     {"1 - PARSER ERROR at line 1: Expecting >", "1 - PARSER ERROR at line 1: Expecting selector relation operator or {"}},
    {"X { a: 1; }\nA { x: 1; ] } C { w: 1; }", {"L0 X { a=i1/0 }", "L0 C { w=i1/0 }"},
     {"2 - PARSER ERROR at line 2: Expecting } or ;"}},
    {"X { a: 1; }\r\nA { x: 1; ] } C { w: 1; }", {"L0 X { a=i1/0 }", "L0 C { w=i1/0 }"},
     {"2 - PARSER ERROR at line 2: Expecting } or ;"}},
    {"X { a: 1; }\rA { x: 1; ] } C { w: 1; }", {"L0 X { a=i1/0 }", "L0 C { w=i1/0 }"},
     {"2 - PARSER ERROR at line 2: Expecting } or ;"}},
    {"A { x: 1; ]\nB { y: 2; } C { w: 1; }", {"L2 C { w=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting } or ;"}},
    {"A { x: 1; ]\r\nB { y: 2; } C { w: 1; }", {"L2 C { w=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting } or ;"}},
    {"A { x: 1; ]\rB { y: 2; } C { w: 1; }", {"L0 C { w=i1/0 }"}, {"1 - PARSER ERROR at line 1: Expecting } or ;"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Language, StyleGrammarTable, testing::ValuesIn(kLanguage));
INSTANTIATE_TEST_SUITE_P(Errors, StyleGrammarTable, testing::ValuesIn(kErrors));
INSTANTIATE_TEST_SUITE_P(RuleLineAfterRecovery, StyleGrammarTable, testing::ValuesIn(kRuleLineAfterRecovery));

TEST(StyleGrammar, LogLinesNameSourceAndLineAndSkipEmptySinks)
{
    StyleSheetErrorsLogSource::m_logSinks.emplace_back(); // empty: skipped
    LogCapture log;
    StyleParser2 parser;
    parser.processString(std::string("A { x: 1; }\nB { y 2; }"));
    StyleSheetErrorsLogSource::m_logSinks.erase(StyleSheetErrorsLogSource::m_logSinks.begin());
    EXPECT_EQ(log.lines, Lines({"Stylesheet error: :2 - PARSER ERROR at line 2: Expecting :"}));
    ASSERT_EQ(parser.getErrors().size(), 1u);
    EXPECT_EQ(parser.getErrors().begin()->first, "");
}

TEST(StyleGrammar, SelectorsCarryRuleLineAndSource)
{
    StyleParser2 parser;
    parser.processString(std::string("\n\nA, B { x: 1; }"));
    ASSERT_EQ(parser.getRules().size(), 1u);
    for (auto const& selector : parser.getRules()[0].selectors) {
        EXPECT_EQ(selector.m_line, 3);
        EXPECT_EQ(selector.m_source.string(), StyleParser2::kStringSourceName);
    }
}

TEST(StyleGrammar, LongSelectorChainsAndValuesParse)
{
    std::string chain;
    for (int i = 0; i < 20000; ++i)
        chain += (i % 2) ? "A::" : "B ";
    std::string const longName(100000, 'n');
    StyleParser2 parser;
    EXPECT_TRUE(parser.processString(chain + "C { " + longName + ": " + longName + "; }"));
    ASSERT_EQ(parser.getRules().size(), 1u);
    EXPECT_EQ(parser.getRules()[0].selectors[0].m_parents.size(), 20000u);
    EXPECT_EQ(std::get<std::string>(parser.getRules()[0].properties[0].value), longName);
}

} // namespace
} // namespace CV::TOV
