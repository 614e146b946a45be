#include "FEN/AsyncEventTargetImpl.h"
#include "FEN/COCOA/AsyncNotificationDispatcher.h"
#include "FEN/CursorManager.h"
#include "FEN/DETAIL/Keys.h"
#include "FEN/HMenu.h"
#include "FEN/Lib.h"

#include "BAS/Message.h"
#include "platform/notifications/NotificationCenter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using CV::BAS::Message;
using CV::FEN::Lib;

void captureMessageBoxes()
{
    Message::s_showMessageFunctor = [](const CV::BAS::CharSequence<char>& text, Message::eType, Message::eButton,
                                       Message::eIcon, const char*) {
        std::fprintf(stderr, "[box] %s|\n", text.str().c_str());
        std::fflush(stderr);
        return Message::eButtonOK;
    };
}

#define CHILD_EXPECT(condition)                                                                                        \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "failed: %s\n", #condition);                                                          \
            std::exit(2);                                                                                              \
        }                                                                                                              \
    } while (0)

TEST(FrameworkLibDeathTest, FailedChecksReportTheStartUpSourceAndLine)
{
    struct Case {
        int version;
        int flavour;
        const char* line;
    };
    const Case cases[] = {
        {0x4000000, 69, "150"},     {0x4010001, 70, "150"}, // both wrong: the version comes first
        {0x4010000, 70, "153"},     {0x4010000, 69 + 0x10000, "156"},
        {0x4010000, -65467, "156"}, // low 16 bits 69, negative
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                captureMessageBoxes();
                Lib::init(c.version, c.flavour);
            },
            testing::ExitedWithCode(1), std::string("\\[box\\] Error fen/Monolith/src/Init_FEN:") + c.line + "\\|")
            << c.version << "/" << c.flavour;
    }
}

TEST(FrameworkLibDeathTest, InitStartsEveryServiceOnceAndDeInitUndoesThem)
{
    EXPECT_EXIT(
        {
            namespace FEN = CV::FEN;
            CHILD_EXPECT(Lib::init(Lib::kVersion, Lib::kFlavour));
            CHILD_EXPECT(FEN::DETAIL::Keys::s_bInit && FEN::HMenu::s_bInit && FEN::CursorManager::s_bInit);
            CHILD_EXPECT(FEN::COCOA::AsyncNotificationDispatcher::isStarted());
            // A second init registers nothing twice.
            CHILD_EXPECT(Lib::init(Lib::kVersion, Lib::kFlavour));
            CHILD_EXPECT(platform::NotificationCenter::defaultCenter().observerCount() == 1);
            Lib::deInit();
            CHILD_EXPECT(!FEN::HMenu::s_bInit && !FEN::CursorManager::s_bInit);
            CHILD_EXPECT(!FEN::COCOA::AsyncNotificationDispatcher::isStarted());
            Lib::deInit(); // nothing running: nothing happens
            CHILD_EXPECT(Lib::init(Lib::kVersion, Lib::kFlavour));
            CHILD_EXPECT(FEN::COCOA::AsyncNotificationDispatcher::isStarted());
            Lib::deInit();
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
