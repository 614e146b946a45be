#include <vector>

#include "WidgetFixture.h"

namespace CV::TOV::TEST {
namespace {

using WidgetTreeTest = WidgetTest;

TEST_F(WidgetTreeTest, NewWidgetStartsActiveVisibleEnabledAndStyleChanged)
{
    auto w = makeWidget();
    EXPECT_EQ(w->getFlags(), 0x8303Du);
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(w->isOver() || w->isDown() || w->isFocus() || w->isInput() || w->isSelected());
}

TEST_F(WidgetTreeTest, InsertingAChildThatHasAParentMovesIt)
{
    auto root = makeRootInPane();
    auto a = makeWidget(), b = makeWidget(), child = makeWidget();
    root->insertChildWidget(a, "a");
    root->insertChildWidget(b, "b");
    a->insertChildWidget(child, "first");
    update();

    b->insertChildWidget(child, "second");
    EXPECT_TRUE(a->getChildren().empty());
    ASSERT_EQ(b->getChildren().size(), 1u);
    EXPECT_EQ(child->getParent(), b.get());
    EXPECT_EQ(child->getId(), "second");
    EXPECT_TRUE(a->needsAlign());
    EXPECT_TRUE(b->needsAlign());
    EXPECT_EQ(child->getPane(), pane.get());
}

TEST_F(WidgetTreeTest, ChildMovedBetweenParentsWhileTheyAreItsOnlyOwner)
{
    auto root = makeRootInPane();
    auto a = makeWidget(), b = makeWidget();
    root->insertChildWidget(a, "a");
    root->insertChildWidget(b, "b");
    a->insertChildWidget(makeWidget("Only"), "only");
    std::weak_ptr<Widget> const watch = a->getChildren().front();

    // The argument is the old parent's own entry.
    b->insertChildWidget(a->getChildren().front(), "moved");

    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(watch.use_count(), 1);
    EXPECT_EQ(b->getChildren().front().get(), watch.lock().get());
    EXPECT_EQ(watch.lock()->getParent(), b.get());
    EXPECT_EQ(watch.lock()->getClass(), cv::symbol(std::string("Only")));
}

TEST_F(WidgetTreeTest, ChildrenByZIndexAreStableAmongEquals)
{
    auto parent = makeWidget();
    std::vector<std::shared_ptr<TestWidget>> kids;
    for (int z : {2, 1, 2}) {
        kids.push_back(makeWidget());
        kids.back()->setZIndex(z);
        parent->insertChildWidget(kids.back(), "");
    }
    auto const& byZ = parent->getChildrenByZ();
    ASSERT_EQ(byZ.size(), 3u);
    EXPECT_EQ(byZ[0], kids[1]);
    EXPECT_EQ(byZ[1], kids[0]);
    EXPECT_EQ(byZ[2], kids[2]);

    kids[0]->setZIndex(0);
    EXPECT_EQ(parent->getChildrenByZ()[0], kids[0]);
}

TEST_F(WidgetTreeTest, SameAttributeValueTwiceMarksTheStyleChangedOnce)
{
    auto root = makeRootInPane();
    auto w = makeWidget();
    root->insertChildWidget(w, "w");
    update();
    ASSERT_FALSE(w->hasFlags(Widget::eStyleChanged));

    w->setAttribute("mode", "big");
    EXPECT_TRUE(w->hasFlags(Widget::eStyleChanged));
    update();
    w->setAttribute("mode", "big");
    EXPECT_FALSE(w->hasFlags(Widget::eStyleChanged));
    w->setAttribute("mode", "small");
    EXPECT_TRUE(w->hasFlags(Widget::eStyleChanged));
    EXPECT_EQ(w->getAttributes().at(cv::symbol(std::string("mode"))), "small");
}

TEST_F(WidgetTreeTest, EnabledStateFollowsOwnRequestAndParent)
{
    struct Case {
        const char* name;
        bool disableParentFirst;
        bool childRequest;
        bool parentAfter;
        bool childEnabled;
    };
    // A request to disable made while the parent is disabled is kept.
    Case const cases[] = {
        {"disabled under disabled parent stays disabled", true, false, true, false},
        {"enabled child under re-enabled parent", true, true, true, true},
        {"enabled child under disabled parent", false, true, false, false},
        {"disabled child under enabled parent", false, false, true, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        auto root = makeRootInPane();
        auto parent = makeWidget(), child = makeWidget();
        root->insertChildWidget(parent, "p");
        parent->insertChildWidget(child, "c");
        update();
        if (c.disableParentFirst) {
            parent->setEnabled(false);
            update();
        }
        child->setEnabled(c.childRequest);
        parent->setEnabled(c.parentAfter);
        update();
        EXPECT_EQ(child->isEnabled(), c.childEnabled);
        EXPECT_EQ(parent->isEnabled(), c.parentAfter);
    }
}

TEST_F(WidgetTreeTest, StyleDefaultForcesTheMinimumSizeWithinTheMaximum)
{
    auto w = makeWidget();
    w->setStyle("kept");
    w->setMaxSize({15, 0});
    w->setSize({40, 40});
    w->styleDefault(nullptr);
    EXPECT_EQ(w->getStyle(), "kept");
    EXPECT_EQ(w->getMinSize(), (BAS::Point{18, 18}));
    EXPECT_EQ(w->getSize(), (BAS::Point{15, 18}));
    EXPECT_TRUE(w->hasFlags(Widget::eStyleChanged));

    w->styleDefault("other");
    EXPECT_EQ(w->getStyle(), "other");
}

TEST_F(WidgetTreeTest, DestroyingAParentDetachesAndDestroysItsChildren)
{
    auto root = makeRootInPane();
    auto parent = makeWidget();
    auto child = makeWidget();
    child->setFlag(Widget::eKeyFocusable | Widget::eKeyInput, true);
    root->insertChildWidget(parent, "p");
    parent->insertChildWidget(child, "c");
    update();
    pane->setOver(child);
    pane->setDown(child);
    pane->setInput(child);
    ASSERT_TRUE(child->isOver() && child->isFocus() && child->isInput());
    std::weak_ptr<Widget> watch = child;
    child.reset();

    root->eraseChild(*parent);
    parent.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(pane->getOver(), nullptr);
    EXPECT_EQ(pane->getDown(), nullptr);
    EXPECT_EQ(pane->getFocus(), nullptr);
    EXPECT_EQ(pane->getInput(), nullptr);
}

TEST_F(WidgetTreeTest, DeactivatingHidesTheSubtreeAndMovesTheFocusToTheParent)
{
    auto root = makeRootInPane();
    root->setFlag(Widget::eKeyFocusable, true);
    auto parent = makeWidget(), child = makeWidget();
    child->setFlag(Widget::eKeyFocusable, true);
    root->insertChildWidget(parent, "p");
    parent->insertChildWidget(child, "c");
    update();
    EXPECT_EQ(child->shownCalls, "+");
    child->setFocus();
    ASSERT_EQ(pane->getFocus(), child.get());

    parent->setActive(false);
    update();
    EXPECT_FALSE(parent->isShown());
    EXPECT_FALSE(child->isShown());
    EXPECT_EQ(child->shownCalls, "+-");
    EXPECT_EQ(pane->getFocus(), root.get());

    parent->setActive(true);
    update();
    EXPECT_TRUE(child->isShown());
    EXPECT_EQ(child->shownCalls, "+-+");
}

TEST_F(WidgetTreeTest, WidgetTimersCountTicksAndPauseWhileInactive)
{
    auto root = makeRootInPane();
    auto w = makeWidget();
    w->setTimer(3); // kept until the widget is in a pane
    EXPECT_EQ(w->getPendingTicks(), 3);
    root->insertChildWidget(w, "w");
    update();
    EXPECT_EQ(pane->getTimerTicks(*w), 3);

    pane->executeTimers();
    w->setActive(false);
    update();
    pane->executeTimers();
    pane->executeTimers();
    EXPECT_EQ(w->timerCount, 0);
    w->setActive(true);
    update();
    pane->executeTimers();
    EXPECT_EQ(w->timerCount, 0);
    pane->executeTimers();
    EXPECT_EQ(w->timerCount, 1);
    pane->executeTimers();
    EXPECT_EQ(pane->getTimerTicks(*w), -1);

    w->setTimer(2);
    w->setTimer(0);
    pane->executeTimers();
    pane->executeTimers();
    EXPECT_EQ(w->timerCount, 1);
}

TEST_F(WidgetTreeTest, PaneForgetsTheOldRootAndItsOverlays)
{
    auto root = makeRootInPane();
    auto overlay = makeWidget();
    root->insertChildWidget(overlay, "overlay");
    pane->addOverlayWidget(overlay);
    pane->addOverlayWidget(makeWidget()); // outside the tree
    ASSERT_EQ(pane->getOverlays().size(), 2u);

    pane->setSize({300, 120});
    EXPECT_TRUE(pane->getOverlays().empty());
    EXPECT_TRUE(root->getChildren().empty());

    std::weak_ptr<Widget> oldRoot = root;
    root.reset();
    pane->setRoot(makeWidget(), "new");
    EXPECT_TRUE(oldRoot.expired());
    EXPECT_EQ(pane->getRoot()->getSize(), (BAS::Point{300, 120}));
    EXPECT_EQ(pane->getRoot()->getId(), "new");
}

} // namespace
} // namespace CV::TOV::TEST
