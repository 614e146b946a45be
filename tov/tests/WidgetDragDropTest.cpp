#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FEN/DragDropSupport.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/IDragDropDelegate.h"
#include "RecordingWidget.h"
#include "TOV/WindowingPane.h"
#include "WidgetFixture.h"

namespace CV::TOV::TEST {
namespace {

using Request = FEN::DragDropRequestEventData;

// A handler that logs its drop.
class LoggingHandler : public DragDropEventTarget::RequestDropHandler {
public:
    LoggingHandler(std::string name, Log& log, bool accepts)
        : RequestDropHandler(
              [name, &log, accepts](Request* request) {
                  log.push_back(name + " asked at " + std::to_string(request->position.x) + "," +
                                std::to_string(request->position.y));
                  return accepts;
              },
              [name, &log] { log.push_back(name + " left"); })
        , m_name(std::move(name))
        , m_log(log)
    {
    }
    bool drop(FEN::EventData*) override
    {
        m_log.push_back(m_name + " dropped");
        return true;
    }

private:
    std::string m_name;
    Log& m_log;
};

// A widget whose filter takes every drag request.
class FilteringWidget : public RecordingWidget {
public:
    using RecordingWidget::RecordingWidget;
    bool filterDragDropRequestEvent(bool, unsigned, Request*) override { return true; }
};

// In a 200 x 100 windowing pane: outer at (20, 10) 100 x 60 holding inner
// at (10, 10) 40 x 30.
class WidgetDragDropTest : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        pane = std::make_unique<WindowingPane>();
        pane->setSize({200, 100});
        auto root = makeWidget("Root");
        pane->setRoot(root, "root");
        outer = place(*root, std::make_shared<RecordingWidget>("outer", log), {20, 10}, {100, 60});
        inner = place(*outer, std::make_shared<RecordingWidget>("inner", log), {10, 10}, {40, 30});
        update();
    }
    void TearDown() override
    {
        inner.reset();
        outer.reset();
        WidgetTest::TearDown();
    }
    template <typename W>
    std::shared_ptr<W> place(Widget& parent, std::shared_ptr<W> widget, BAS::Point pos, BAS::Point size)
    {
        parent.insertChildWidget(widget, widget->m_name);
        widget->setNoAlign(true);
        widget->setPos(pos);
        widget->setSize(size);
        return widget;
    }
    bool request(Request& data, BAS::Point at)
    {
        data.position = at;
        return pane->onEvent(FEN::eDragDropEvent::DragRequest, &data);
    }
    void mouse(unsigned code, BAS::Point at, int state = FEN::eMouseButtonState::Down)
    {
        FEN::MouseButtonEventData data;
        data.position = at;
        data.button = FEN::eMouseButton::Left;
        data.state = state;
        pane->onEvent(code, &data);
    }

    Log log;
    std::shared_ptr<RecordingWidget> outer;
    std::shared_ptr<RecordingWidget> inner;
};

TEST_F(WidgetDragDropTest, ARequestClimbsFromTheWidgetUnderThePointerToTheFirstThatAccepts)
{
    inner->addDropHandler(std::make_shared<LoggingHandler>("inner", log, false));
    // An empty accept function declines.
    inner->addDropHandler(std::make_shared<DragDropEventTarget::RequestDropHandler>(nullptr));
    auto const taking = std::make_shared<LoggingHandler>("outer", log, true);
    outer->addDropHandler(taking);

    Request data;
    EXPECT_TRUE(request(data, {35, 25}));
    EXPECT_EQ(data.position, (BAS::Point{35, 25}));
    EXPECT_EQ(data.acceptingTarget, outer.get());
    EXPECT_EQ(outer->getCurrentDropHandler(), taking.get());
    EXPECT_EQ(pane->getLastMousePosition(), (BAS::Point{35, 25}));

    // The drop and the leave go to the handler that accepted.
    FEN::DragDropReceiveEventData drop;
    EXPECT_TRUE(outer->onEvent(FEN::eDragDropEvent::DragDrop, &drop));
    FEN::DragDropLeavedEventData leave;
    EXPECT_TRUE(outer->onEvent(FEN::eDragDropEvent::DragLeave, &leave));
    EXPECT_FALSE(outer->onEvent(FEN::eDragDropEvent::DragLeave, &leave));
    EXPECT_FALSE(outer->onEvent(FEN::eDragDropEvent::DragDrop, &drop));
    EXPECT_EQ(log, (Log{"inner asked at 5,5", "outer asked at 15,15", "outer dropped", "outer left"}));

    // Drops and leaves are not routed by the window.
    EXPECT_FALSE(pane->onEvent(FEN::eDragDropEvent::DragDrop, &drop));
}

TEST_F(WidgetDragDropTest, RequestsThatNobodyTakesOrAFilterTakesReachNoHandler)
{
    inner->addDropHandler(std::make_shared<LoggingHandler>("inner", log, false));
    Request data;
    EXPECT_FALSE(request(data, {35, 25}));
    EXPECT_EQ(data.position, (BAS::Point{35, 25}));
    EXPECT_EQ(data.acceptingTarget, nullptr);
    EXPECT_FALSE(request(data, {190, 90})); // over the root alone
    EXPECT_EQ(log, (Log{"inner asked at 5,5"}));

    log.clear();
    auto filtering = place(*outer, std::make_shared<FilteringWidget>("filter", log), {60, 10}, {20, 20});
    filtering->addDropHandler(std::make_shared<LoggingHandler>("filter", log, true));
    update();
    EXPECT_TRUE(request(data, {85, 25}));
    EXPECT_TRUE(log.empty());
}

// Internal data of format 7 on every request.
class InternalDataDelegate : public FEN::IDragDropDelegate {
public:
    bool getFormat(FEN::DragEventData const&, FEN::ClipBoardFormat&) const override { return false; }
    bool containsFormat(FEN::DragEventData const&, FEN::ClipBoardFormatHandle const&) const override { return false; }
    FEN::DragDropData const* getFormat(FEN::DragEventData const&, FEN::DragDropFormat const&) const override
    {
        return nullptr;
    }
    bool containsFormat(FEN::DragEventData const&, FEN::DragDropFormat const&) const override { return false; }
    const void* getOSHandle(FEN::DragEventData const&) const override { return nullptr; }
    std::optional<std::vector<BAS::FileName>> getExternalFileList(FEN::DragEventData const&) const override
    {
        return std::nullopt;
    }
    std::optional<std::string> getExternalText(FEN::DragEventData const&) const override { return std::nullopt; }
    FEN::DragDropData const* getInternalDragDropData(FEN::DragEventData const&) const override { return &m_data; }
    bool isExternalText(FEN::DragEventData const&) const override { return false; }
    bool isExternalFileList(FEN::DragEventData const&) const override { return false; }
    unsigned registerDNDFormat(const char*) const override { return 0; }
    void DoDragText(std::string const&, FEN::DragDropSupport::DropEffect) const override { }
    void DoDrag(FEN::DragDropData const&, FEN::DragDropSupport::DropEffect, FEN::WindowBase*,
                FEN::DragDropSupport::DragImage const*) const override
    {
    }
    void DoDragWithCallback(FEN::EventTarget*, FEN::DragDropData const&, FEN::DragDropSupport::DropEffect,
                            FEN::WindowBase*, FEN::DragDropSupport::DragImage const*) const override
    {
    }

private:
    FEN::DragDropData m_data{FEN::DragDropFormat(7)};
};

TEST_F(WidgetDragDropTest, InternalDataGoesToTheHandlersOfItsFormatFirst)
{
    using FormatHandler = DragDropEventTarget::FormatDropHandler;
    auto asked = [this](std::string name, bool accepts) {
        return [this, name, accepts](Request*, FEN::DragDropData* data) {
            log.push_back(name + " sees format " + std::to_string(data->getFormatId()));
            return accepts;
        };
    };
    inner->addFormatDropHandler(std::make_shared<FormatHandler>(8, asked("eight", true)));
    inner->addFormatDropHandler(std::make_shared<FormatHandler>(7, asked("seven", false)));
    auto const seven = std::make_shared<FormatHandler>(7, asked("seven again", true));
    inner->addFormatDropHandler(seven);
    inner->addDropHandler(std::make_shared<LoggingHandler>("plain", log, true));

    Request data;
    EXPECT_TRUE(request(data, {35, 25})); // no internal data: the plain handler
    FEN::setDragDropDelegate(std::make_unique<InternalDataDelegate>());
    EXPECT_TRUE(request(data, {35, 25}));
    FEN::setDragDropDelegate(nullptr);
    EXPECT_EQ(inner->getCurrentDropHandler(), seven.get());
    EXPECT_EQ(log, (Log{"plain asked at 5,5", "seven sees format 7", "seven again sees format 7"}));
}

TEST_F(WidgetDragDropTest, LeaveObserversHearEveryDragThatLeaves)
{
    outer->addLeaveObserver(std::make_shared<LoggingHandler>("watcher", log, false));
    outer->addLeaveObserver(std::make_shared<DragDropEventTarget::DropHandler>()); // no leave function
    FEN::DragDropLeavedEventData leave;
    outer->sendObserverEvent(FEN::eDragDropEvent::DragLeave, &leave);
    outer->sendObserverEvent(FEN::eDragDropEvent::DragRequest, nullptr);
    EXPECT_EQ(log, (Log{"watcher left"}));
}

TEST_F(WidgetDragDropTest, APressWhereADragMayStartIsHeldBackUntilTheDragStarts)
{
    inner->setFlag(Widget::eCanOver, true);
    inner->m_fnCanDragStart = [](BAS::Point const& at) { return at.x >= 5; };
    inner->setDragStartTimeout(0);
    int starts = 0;
    inner->m_fnDragStart = [&](FEN::MouseEventData* data) {
        log.push_back("start at " + std::to_string(data->position.x) + "," + std::to_string(data->position.y));
        ++starts;
    };

    // Outside the condition the press reaches the widget.
    mouse(FEN::eMouseEvent::MouseButton, {32, 25});
    mouse(FEN::eMouseEvent::MouseButton, {32, 25}, FEN::eMouseButtonState::Up);
    EXPECT_EQ(log, (Log{"inner down1 2,5", "inner up1 2,5", "inner click1 2,5"}));

    log.clear();
    mouse(FEN::eMouseEvent::MouseButton, {40, 25});
    mouse(FEN::eMouseEvent::MouseDrag, {41, 25}); // not far enough
    ASSERT_EQ(pane->getDown(), inner.get());
    mouse(FEN::eMouseEvent::MouseDrag, {46, 28});
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(pane->getDown(), nullptr);
    EXPECT_EQ(pane->getOver(), nullptr);
    // The release goes to the widget under the pointer, without a click.
    mouse(FEN::eMouseEvent::MouseButton, {80, 50}, FEN::eMouseButtonState::Up);
    EXPECT_EQ(log, (Log{"start at 16,8", "outer up1 60,40"}));
}

TEST_F(WidgetDragDropTest, WithoutAConditionEveryCodeReachesTheWidget)
{
    inner->m_fnDragStart = [&](FEN::MouseEventData*) { log.push_back("start"); };
    mouse(FEN::eMouseEvent::MouseButton, {40, 25});
    mouse(FEN::eMouseEvent::MouseDrag, {46, 28});
    mouse(FEN::eMouseEvent::MouseButton, {46, 28}, FEN::eMouseButtonState::Up);
    EXPECT_EQ(log, (Log{"inner down1 10,5", "inner drag1 16,8", "inner up1 16,8", "inner click1 16,8"}));
}

} // namespace
} // namespace CV::TOV::TEST
