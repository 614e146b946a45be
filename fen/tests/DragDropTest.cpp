#include "FrameworkTestSupport.h"

#include "FEN/ClipBoardFormat.h"
#include "FEN/DragDropManager.h"
#include "FEN/DropSource.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/ExchangeData.h"
#include "FEN/IDragDropDelegate.h"
#include "FEN/StandaloneWindow.h"
#include "platform/headless/TestDriver.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/StandInClass.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::BAS::Point;
using CV::FEN::TEST::AttachedApplication;
using platform::headless::TestDriver;
namespace objc = platform::objc;

// Logs what it is sent ("name:code") into a shared log; accepts requests
// as configured.
class Target : public EventTarget {
public:
    Target(std::string name, std::vector<std::string>& log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }
    bool onEvent(unsigned code, EventData* data) override
    {
        std::string entry = m_name + ":" + std::to_string(code);
        if (code == eDragDropEvent::DragDrop)
            entry += " effect " + std::to_string(static_cast<DragEventData*>(data)->dropEffect);
        if (code == eDragDropEvent::DragFinished)
            entry += " result " + std::to_string(static_cast<DragDropResultEventData*>(data)->result);
        m_log.push_back(entry);
        if (code == eDragDropEvent::DragRequest && onRequest)
            onRequest(*static_cast<DragDropRequestEventData*>(data));
        return code == eDragDropEvent::DragRequest ? accepts : true;
    }
    void onObserverEvent(unsigned code, EventData*) override
    {
        m_log.push_back(m_name + " sees " + std::to_string(code));
    }

    bool accepts = false;
    std::function<void(DragDropRequestEventData&)> onRequest;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

class DragDropTest : public testing::Test {
protected:
    ~DragDropTest() override
    {
        DragDropManager::resetDragState();
        DragDropManager::s_pfnGetDragViewData = nullptr;
    }
    bool request(EventTarget* target)
    {
        DragDropRequestEventData data;
        data.allowedEffects = 1 | 2;
        return DragDropManager::handleDragRequestEvent(nullptr, &data, target);
    }
    bool drop()
    {
        DragDropReceiveEventData data;
        return DragDropManager::handleDragReceiveEvent(&data);
    }
    std::vector<std::string> log;
};

TEST(DragDropMappings, OperationsEffectsAndResultsTranslateBothWays)
{
    const std::pair<unsigned long, int> results[] = {{0, 64}, {1, 1},    {2, 4}, {4, 8},
                                                     {16, 2}, {32, 128}, {8, 0}, {17, 0}};
    for (auto const& [operation, result] : results)
        EXPECT_EQ(DragDropSupport::dropResultFromOperation(operation), result) << operation;

    const std::pair<int, unsigned long> operations[] = {{0, 0}, {1, 1}, {2, 16}, {4, 2}, {3, 0}, {8, 0}};
    for (auto const& [effect, operation] : operations)
        EXPECT_EQ(DragDropSupport::operationFromEffect(effect), operation) << effect;

    const std::pair<uint64_t, int> masks[] = {{0, 0}, {1, 1}, {16, 2}, {2, 4}, {17, 3}, {0xFFFF, 7}, {4 | 8 | 32, 0}};
    for (auto const& [mask, effects] : masks)
        EXPECT_EQ(DragDropSupport::effectsFromOperationMask(mask), effects) << mask;

    struct Allowed {
        unsigned effects;
        uint64_t mask;
        int count;
    };
    const Allowed allowed[] = {{0, 0, 0}, {1, 1, 1}, {2, 16, 1}, {4, 2, 1}, {7, 19, 3}, {6, 18, 2}};
    for (Allowed const& a : allowed) {
        int count = -1;
        EXPECT_EQ(DragDropSupport::operationMaskFromEffects(a.effects, count), a.mask) << a.effects;
        EXPECT_EQ(count, a.count) << a.effects;
    }
}

TEST_F(DragDropTest, UnhandledRequestLeavesNothingToDrop)
{
    Target window("window", log);
    EXPECT_FALSE(request(&window));
    EXPECT_EQ(DragDropManager::s_pCurrentDragTarget, nullptr);
    EXPECT_FALSE(drop());
    EXPECT_EQ(log, std::vector<std::string>{"window:1300"});
}

TEST_F(DragDropTest, AcceptedRequestThenDropDeliversTheEffectThenLeave)
{
    Target window("window", log);
    Target widget("widget", log);
    Target observer("observer", log);
    window.accepts = true;
    window.onRequest = [&](DragDropRequestEventData& data) {
        data.acceptingTarget = &widget;
        data.dropEffect = int32_t(0x80000000u | 1);
        data.observers.push_back(&observer);
    };
    ASSERT_TRUE(request(&window));
    EXPECT_EQ(DragDropManager::s_pCurrentDragTarget, &widget);
    EXPECT_EQ(DragDropManager::s_eCurrentDropEffect, 1);
    EXPECT_TRUE(drop());
    const std::vector<std::string> expected = {"window:1300", "widget:1301 effect 1", "observer sees 1301",
                                               "widget:1303", "observer sees 1303"};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(DragDropManager::observerReceivers().empty());
    EXPECT_EQ(DragDropManager::s_pCurrentDragTarget, nullptr);
}

TEST_F(DragDropTest, ObserverOnlyAcceptanceMakesTheObserverCurrentWithoutEffect)
{
    Target window("window", log);
    Target observer("observer", log);
    window.accepts = true;
    window.onRequest = [&](DragDropRequestEventData& data) {
        data.dropEffect = int32_t(0x80000000u);
        data.observers.push_back(&observer);
    };
    ASSERT_TRUE(request(&window));
    EXPECT_EQ(DragDropManager::s_pCurrentDragTarget, &observer);
    EXPECT_FALSE(drop());
    const std::vector<std::string> expected = {"window:1300", "observer:1303", "observer sees 1303"};
    EXPECT_EQ(log, expected);
}

TEST_F(DragDropTest, ANewTargetTakesOverAndTheOldOneIsToldToLeave)
{
    Target first("first", log);
    Target second("second", log);
    for (Target* t : {&first, &second}) {
        t->accepts = true;
        t->onRequest = [t](DragDropRequestEventData& data) {
            data.acceptingTarget = t;
            data.dropEffect = 2;
        };
    }
    ASSERT_TRUE(request(&first));
    ASSERT_TRUE(request(&first)); // the same target again: no leave
    ASSERT_TRUE(request(&second));
    EXPECT_EQ(DragDropManager::s_pCurrentDragTarget, &second);
    DragDropLeavedEventData leave;
    EXPECT_TRUE(DragDropManager::handleDragLeavedEvent(&leave));
    const std::vector<std::string> expected = {"first:1300", "first:1300", "second:1300", "first:1303", "second:1303"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(DragDropManager::s_pCurrentDragTarget, nullptr);
}

TEST_F(DragDropTest, TargetsThatGoAwayAreForgotten)
{
    Target window("window", log);
    auto widget = std::make_unique<Target>("widget", log);
    auto observer = std::make_unique<Target>("observer", log);
    window.accepts = true;
    window.onRequest = [&](DragDropRequestEventData& data) {
        data.acceptingTarget = widget.get();
        data.dropEffect = 1;
        data.observers.push_back(observer.get());
    };
    ASSERT_TRUE(request(&window));
    widget.reset();
    observer.reset();
    EXPECT_EQ(DragDropManager::s_pCurrentDragTarget, nullptr);
    EXPECT_TRUE(DragDropManager::observerReceivers().empty());
    EXPECT_FALSE(drop());
    EXPECT_EQ(log, std::vector<std::string>{"window:1300"});
}

TEST_F(DragDropTest, FormatNamesGetLastingIdsInOrder)
{
    const unsigned first = DragDropManager::registerFormat("test.format.first");
    const unsigned second = DragDropManager::registerFormat("test.format.second");
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(DragDropManager::registerFormat("test.format.first"), first);
    EXPECT_EQ(makeWindowingDragDropDelegate()->registerDNDFormat("test.format.second"), second);
}

TEST_F(DragDropTest, InternalDataIsAcceptedOnlyByTheWindowItCameFrom)
{
    TestDriver driver;
    AttachedApplication<Application> app; // installs the windowing delegate
    StandaloneWindow source, other;
    ASSERT_TRUE(source.create(Window::CreateData()));
    ASSERT_TRUE(other.create(Window::CreateData()));
    DragDropData payload(DragDropFormat(DragDropManager::registerFormat("test.payload")));
    InternalClipBoardFormat format;
    format.m_pData = &payload;
    format.m_pWindow = &source;
    ExchangeData exchange(format, false);
    ASSERT_TRUE(exchange.isValid());

    Target target("target", log);
    target.accepts = true;
    for (WindowBase* window : {static_cast<WindowBase*>(&other), static_cast<WindowBase*>(&source)}) {
        DragDropRequestEventData data;
        data.data = &exchange;
        const bool accepted = DragDropManager::handleDragRequestEvent(window, &data, &target);
        EXPECT_EQ(accepted, window == &source);
        EXPECT_EQ(DNDDelegate::getInternalDragDropData(data), &payload);
        EXPECT_TRUE(getDragDropDelegate()->containsFormat(data, payload.m_format));
        EXPECT_FALSE(getDragDropDelegate()->containsFormat(data, DragDropFormat(payload.getFormatId() + 1)));
        EXPECT_FALSE(getDragDropDelegate()->isExternalText(data));
    }
    EXPECT_EQ(log, std::vector<std::string>{"target:1300"});
    source.destroy();
    other.destroy();
}

// A view that sources drags as the platform view does.
DragViewData s_record;
unsigned long sourceMask(id, SEL, BOOL)
{
    return (unsigned long)s_record.sourceOperationMask;
}
void draggedImageEnded(id, SEL, id, NSPoint, unsigned long operation)
{
    DragDropManager::handleDragFinishedEvent(DragDropSupport::dropResultFromOperation(operation));
}
bool provideRecord(DragViewData*& data)
{
    data = &s_record;
    return true;
}

Class sourceViewClass()
{
    static Class s_class = objc::StandInClass("DragDropTestSourceView", objc::ObjectRuntime::lookUpClass("NSView"))
                               .method("draggingSourceOperationMaskForLocal:", &sourceMask)
                               .method("draggedImage:endedAt:operation:", &draggedImageEnded)
                               .registerClass();
    return s_class;
}

TEST_F(DragDropTest, DragWithoutRecordedMouseInputEndsAtOnceWithResultZero)
{
    TestDriver driver;
    Target receiver("receiver", log);
    TextClipBoardFormat text;
    text.setValue("dragged");
    DragDropManager::DoDragWithCallback(&receiver, text, 1, nullptr); // no provider
    s_record = DragViewData();
    DragDropManager::s_pfnGetDragViewData = &provideRecord; // a record without a view
    DragDropManager::DoDragWithCallback(&receiver, text, 1, nullptr);
    const std::vector<std::string> expected = {"receiver:1304 result 0", "receiver:1304 result 0"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(driver.drag().isDragging());
    EXPECT_EQ(DragDropManager::s_pResultReceiver, nullptr);
}

TEST_F(DragDropTest, ADragStartedHereRunsUntilTheDesktopEndsIt)
{
    TestDriver driver;
    id view = objc::send<id>(objc::NSObject::alloc(sourceViewClass()), "initWithFrame:", NSMakeRect(0, 0, 50, 50));
    s_record = DragViewData();
    s_record.view = view;
    s_record.x = 10;
    s_record.y = 20;
    DragDropManager::s_pfnGetDragViewData = &provideRecord;
    Target receiver("receiver", log);

    bool inProgress = false;
    std::vector<std::uint8_t> offered;
    driver.loop().addTimer(std::chrono::milliseconds(300), false, [&] {
        inProgress = DragDropManager::s_bIsDragInProgress;
        offered = driver.pasteboard(driver.drag().pasteboard()).data(0, "public.utf8-plain-text");
        driver.drag().finish({0, 0}, 16);
    });
    TextClipBoardFormat text;
    text.setValue("moved");
    DragDropManager::DoDragWithCallback(&receiver, text, 2 | 4, nullptr);

    EXPECT_TRUE(inProgress);
    EXPECT_FALSE(DragDropManager::s_bIsDragInProgress);
    EXPECT_EQ(std::string(offered.begin(), offered.end()), "moved");
    EXPECT_EQ(driver.drag().allowedOperations(), 16u | 2u);
    EXPECT_EQ(s_record.allowedEffectCount, 2);
    EXPECT_EQ(log, std::vector<std::string>{"receiver:1304 result 2"});
    // The default image: a white outline of 16 x 8 with open corners.
    auto const& image = driver.drag().image();
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 8);
    EXPECT_EQ(image.pixels[0], 0u);
    EXPECT_EQ(image.pixels[1], 0xFFFFFFFFu);
    EXPECT_EQ(image.pixels[16], 0xFFFFFFFFu);
    EXPECT_EQ(image.pixels[16 + 1], 0u);
    objc::NSObject::release(view);
}

// A source whose drags may start anywhere but in its left half.
class Source : public DropSource {
public:
    bool canDragStart(Point const& position) const override { return position.x >= 50; }
};

TEST(DropSourceTest, PressesArmAndMotionStartsTheDrag)
{
    auto button = [](int button, int state, Point at) {
        MouseButtonEventData data;
        data.button = button;
        data.state = state;
        data.position = at;
        return data;
    };
    auto motion = [](Point at) {
        MouseEventData data;
        data.position = at;
        return data;
    };
    struct Step {
        unsigned code;
        int button;
        int state;
        Point at;
        int answer;
    };
    struct Case {
        const char* name;
        bool enabled;
        std::vector<Step> steps;
    };
    const int L = eMouseButton::Left, R = eMouseButton::Right, down = 1, up = 2, twice = 3;
    const unsigned press = eMouseEvent::MouseButton, drag = eMouseEvent::MouseDrag, move = eMouseEvent::MouseMove;
    const std::vector<Case> cases = {
        {"moving two pixels each way starts",
         true,
         {{press, L, down, {60, 10}, 1},
          {drag, 0, 0, {61, 11}, 1},
          {drag, 0, 0, {62, 12}, 2},
          {drag, 0, 0, {70, 10}, 0}}},
        {"a press where the source refuses stays idle",
         true,
         {{press, L, down, {10, 10}, 0}, {drag, 0, 0, {40, 40}, 0}}},
        {"a right press stays idle", true, {{press, R, down, {60, 10}, 0}, {move, 0, 0, {90, 40}, 0}}},
        {"a disabled source stays idle", false, {{press, L, down, {60, 10}, 0}, {drag, 0, 0, {90, 40}, 0}}},
        {"release and double click disarm",
         true,
         {{press, L, down, {60, 10}, 1},
          {press, L, up, {60, 10}, 0},
          {drag, 0, 0, {90, 40}, 0},
          {press, L, twice, {60, 10}, 0},
          {drag, 0, 0, {90, 40}, 0}}},
        {"leaving disarms",
         true,
         {{press, L, down, {60, 10}, 1}, {eMouseEvent::MouseLeave, 0, 0, {0, 0}, 0}, {drag, 0, 0, {90, 40}, 0}}},
        {"moving left or up counts the same", true, {{press, L, down, {60, 10}, 1}, {move, 0, 0, {57, 10}, 2}}},
    };
    for (Case const& c : cases) {
        Source source;
        source.m_bEnabled = c.enabled;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            Step const& s = c.steps[i];
            int answer;
            if (s.code == press) {
                MouseButtonEventData data = button(s.button, s.state, s.at);
                answer = source.handleDropSourceMouseEvent(s.code, &data);
            } else {
                MouseEventData data = motion(s.at);
                answer = source.handleDropSourceMouseEvent(s.code, &data);
            }
            EXPECT_EQ(answer, s.answer) << c.name << " step " << i;
        }
    }
    Source outside;
    EventData none;
    EXPECT_EQ(outside.handleDropSourceMouseEvent(eDragDropEvent::DragRequest, &none), 0);
}

TEST(DropSourceTest, ATimeoutHoldsTheDragBackUntilItPassed)
{
    Source source;
    source.setDragStartTimeout(60000);
    MouseButtonEventData pressAt;
    pressAt.button = eMouseButton::Left;
    pressAt.state = eMouseButtonState::Down;
    pressAt.position = Point{60, 10};
    ASSERT_EQ(source.handleDropSourceMouseEvent(eMouseEvent::MouseButton, &pressAt), 1);
    MouseEventData far;
    far.position = Point{200, 200};
    EXPECT_EQ(source.handleDropSourceMouseEvent(eMouseEvent::MouseDrag, &far), 1);
    source.m_uPressTime -= 60000; // as if the press were a minute old
    EXPECT_EQ(source.handleDropSourceMouseEvent(eMouseEvent::MouseDrag, &far), 2);
}

} // namespace
