#include <initializer_list>
#include <vector>

#include "TOV/Selector.h"
#include "WidgetFixture.h"

namespace CV::TOV::TEST {
namespace {

using SelectorMatchTest = WidgetTest;

// An ancestor step written as in a sheet: "A" (descendant) or "::A" (the
// immediate parent of the step before).
struct Step {
    const char* cls;
    bool direct;
};

// A selector for the class with ancestor steps, nearest first.
Selector selectorOf(const char* cls, std::initializer_list<Step> parents = {})
{
    Selector s(1, std::string("test"));
    s.set(cls, "", "");
    for (Step const& p : parents)
        s.m_parents.emplace_back(p.cls, "", "", p.direct);
    return s;
}

// A chain of widgets of the classes, each the parent of the next; the last
// one is returned first in the vector's back.
std::vector<std::shared_ptr<TestWidget>> chainOf(std::initializer_list<const char*> classes)
{
    std::vector<std::shared_ptr<TestWidget>> chain;
    for (const char* cls : classes) {
        chain.push_back(makeWidget(cls));
        if (chain.size() > 1)
            chain[chain.size() - 2]->insertChildWidget(chain.back(), "");
    }
    return chain;
}

TEST_F(SelectorMatchTest, ClassesAndAncestorSteps)
{
    struct Case {
        const char* name;
        Selector selector;
        std::initializer_list<const char*> chain;
        bool matches;
    };
    Case const cases[] = {
        {"* matches anything", selectorOf(""), {"A", "Any"}, true},
        {"class", selectorOf("Button"), {"Button"}, true},
        {"class with subtype", selectorOf("Button"), {"Button<Big>"}, true},
        {"subtype only matches itself", selectorOf("Button<Big>"), {"Button"}, false},
        {"other subtype", selectorOf("Button<Big>"), {"Button<Small>"}, false},
        {"prefix is not a class", selectorOf("Butt"), {"Button<Big>"}, false},
        {"descendant", selectorOf("B", {{"A", false}}), {"A", "X", "B"}, true},
        {"child", selectorOf("B", {{"A", true}}), {"A", "X", "B"}, false},
        {"child of its parent", selectorOf("B", {{"A", true}}), {"A", "B"}, true},
        {"no such ancestor", selectorOf("B", {{"Q", false}}), {"A", "X", "B"}, false},
        // A::B C on A, B, X, B, C: the retry takes the outer B.
        {"retry moves one level up", selectorOf("C", {{"B", false}, {"A", true}}), {"A", "B", "X", "B", "C"}, true},
        // A::B C D on A, B, X, B, C, D: only the nearest step is retried.
        {"only the nearest step is retried",
         selectorOf("D", {{"C", false}, {"B", false}, {"A", true}}),
         {"A", "B", "X", "B", "C", "D"},
         false},
        {"retry through descendant steps", selectorOf("D", {{"C", false}, {"A", false}}), {"A", "X", "C", "D"}, true},
    };
    for (Case const& c : cases) {
        auto chain = chainOf(c.chain);
        EXPECT_EQ(c.selector.doesWidgetApply(*chain.back(), true), c.matches) << c.name;
    }
}

TEST_F(SelectorMatchTest, StylesAndIds)
{
    auto chain = chainOf({"Bar", "Button"});
    chain[0]->insertChildWidget(chain[1], "ok");
    chain[1]->setStyle("big");

    struct Case {
        const char *cls, *style, *id;
        bool matches;
    };
    Case const cases[] = {
        {"", "big", "", true},     {"", "small", "", false},      {"", "", "ok", true},
        {"", "", "cancel", false}, {"Button", "big", "ok", true}, {"Label", "big", "ok", false},
    };
    for (Case const& c : cases) {
        Selector s(1, std::string("test"));
        s.set(c.cls, c.style, c.id);
        EXPECT_EQ(s.doesWidgetApply(*chain[1], true), c.matches) << c.cls << "." << c.style << "#" << c.id;
    }
}

TEST_F(SelectorMatchTest, AttributeConditions)
{
    using R = AttibuteSelector;
    auto w = makeWidget("Bar");
    w->setAttribute("mode", "small-round");
    w->setAttribute("empty", "");

    struct Case {
        const char* name;
        const char* attribute;
        AttibuteSelector::eRule rule;
        const char* text;
        bool matches;
    };
    Case const cases[] = {
        {"equals", "mode", R::eEquals, "small-round", true},
        {"equals needs the same length", "mode", R::eEquals, "small", false},
        {"begins", "mode", R::eBeginsWith, "small", true},
        {"ends", "mode", R::eEndsWith, "round", true},
        {"ends wrong", "mode", R::eEndsWith, "small", false},
        {"contains", "mode", R::eContains, "ll-r", true},
        {"empty text begins every value", "mode", R::eBeginsWith, "", true},
        {"empty text equals only empty", "mode", R::eEquals, "", false},
        {"empty attribute equals empty", "empty", R::eEquals, "", true},
        {"not-equals only asks for existence", "mode", R::eNotEquals, "small-round", true},
        {"missing attribute", "size", R::eContains, "", false},
        {"missing attribute with not-equals", "size", R::eNotEquals, "x", false},
        {"built-in class", "getClass", R::eEquals, "Bar", true},
        {"built-in class differs", "getClass", R::eEquals, "Button", false},
        {"built-in style of an unstyled widget", "getStyle", R::eEquals, "", true},
    };
    for (Case const& c : cases) {
        Selector s(1, std::string("test"));
        s.m_attributes.setAttribute(cv::symbol(std::string(c.attribute)), c.rule, c.text);
        EXPECT_EQ(s.doesWidgetApply(*w, true), c.matches) << c.name;
        EXPECT_TRUE(s.doesWidgetApply(*w, false)) << c.name << ": attributes not checked";
    }

    // The widget's own attribute of a built-in's name shadows it.
    w->setAttribute("getClass", "Other");
    Selector shadowed(1, std::string("test"));
    shadowed.m_attributes.setAttribute(cv::symbol(std::string("getClass")), R::eEquals, "Other");
    EXPECT_TRUE(shadowed.doesWidgetApply(*w, true));
}

TEST_F(SelectorMatchTest, YesNoValuesIgnoreTheOperator)
{
    using R = AttibuteSelector;
    struct Case {
        bool value;
        AttibuteSelector::eRule rule;
        const char* text;
        bool matches;
    };
    Case const cases[] = {
        {true, R::eEquals, "true", true},   {true, R::eEquals, "yes", true},   {true, R::eNotEquals, "true", true},
        {true, R::eEquals, "no", false},    {false, R::eEquals, "no", true},   {false, R::eEquals, "True", true},
        {false, R::eBeginsWith, "t", true}, {true, R::eContains, "yes", true},
    };
    for (Case const& c : cases) {
        AttibuteSelector::Conditions const conditions{{c.rule, c.text}};
        EXPECT_EQ(AttibuteSelector::doesMatch(AttibuteSelector::tValue(c.value), conditions), c.matches)
            << c.value << " " << c.rule << " " << c.text;
    }
    AttibuteSelector::Conditions const any{{R::eNotEquals, ""}};
    EXPECT_FALSE(AttibuteSelector::doesMatch(AttibuteSelector::tValue(AttibuteSelector::tDoesntExist()), any));
}

TEST_F(SelectorMatchTest, StatesAskTheWidget)
{
    auto root = makeRootInPane();
    auto w = makeWidget();
    w->setCanOver(true);
    root->insertChildWidget(w, "w");
    update();

    StateSelector over;
    over.setState(cv::symbol(std::string("over")), true);
    StateSelector notDisabled;
    notDisabled.setState(cv::symbol(std::string("enabled")), true);
    StateSelector unknown;
    unknown.setState(cv::symbol(std::string("hovering")), true);

    EXPECT_FALSE(over.doesApply(*w));
    EXPECT_TRUE(notDisabled.doesApply(*w));
    EXPECT_TRUE(unknown.doesApply(*w)) << "unknown names leave the selector unchanged";
    pane->setOver(w);
    EXPECT_TRUE(over.doesApply(*w));
    w->setEnabled(false);
    update();
    EXPECT_FALSE(notDisabled.doesApply(*w));
}

} // namespace
} // namespace CV::TOV::TEST
