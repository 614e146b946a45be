#include "BAS/Lib.h"

#include "BAS/Application.h"
#include "BAS/Assertion.h"
#include "BAS/Authentication.h"
#include "BAS/CriticalSection.h"
#include "BAS/Message.h"
#include "BAS/Registry.h"
#include "BAS/TLS.h"
#include "platform/cpu/Cpuid.h"
#include "platform/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

using CV::BAS::Assertion;
using CV::BAS::Lib;
using CV::BAS::Message;

namespace {

constexpr CV::BAS::FileTypeMacMagic kSignature = 0x51565432; // 'QVT2'

// Captures every message box on standard error as
// "[box <type> <default> <icon> <title>] <text>|" and answers OK.
void captureMessageBoxes()
{
    Message::s_showMessageFunctor = [](const CV::BAS::CharSequence<char>& text, Message::eType type,
                                       Message::eButton defaultButton, Message::eIcon icon, const char* title) {
        std::fprintf(stderr, "[box %d %d %d %s] %s|\n", int(type), int(defaultButton), int(icon),
                     title ? title : "null", text.str().c_str());
        std::fflush(stderr);
        return Message::eButtonOK;
    };
}

TEST(LibDeathTest, FailedStartUpChecksReportTheirLineAndExitWithOne)
{
    struct Case {
        int version;
        int flavour;
        const char* line;
    };
    const Case cases[] = {
        {0x2030001, 69, "213"},           {0x2030000, 70, "216"},
        {0x2030000, 69 + 0x10000, "219"}, {0x4010000, 70, "213"}, // both wrong: the version check comes first
        {0x2030000, -65467, "219"}, // low 16 bits 69, negative
    };
    for (const Case& c : cases) {
        const std::string expected =
            std::string("\\[box 0 7 0 null\\] Error bas/src/Common/Init_BAS:") + c.line + "\\|";
        EXPECT_EXIT(
            {
                captureMessageBoxes();
                Lib::init(kSignature, "Updater", c.version, c.flavour);
            },
            testing::ExitedWithCode(1), expected)
            << c.version << "/" << c.flavour;
        EXPECT_EXIT(
            {
                captureMessageBoxes();
                Lib::checkVersionAndFlavour(c.version, c.flavour);
            },
            testing::ExitedWithCode(1), expected)
            << c.version << "/" << c.flavour;
    }
}

TEST(LibDeathTest, SecondInitReportsLine62)
{
    EXPECT_EXIT(
        {
            captureMessageBoxes();
            if (Lib::init(kSignature, "Updater", Lib::kVersion, Lib::kFlavour))
                Lib::init(kSignature, "Updater", Lib::kVersion, Lib::kFlavour);
        },
        testing::ExitedWithCode(1), "\\[box 0 7 0 null\\] Error bas/src/Common/Init_BAS:62\\|");
}

TEST(LibDeathTest, FailedCheckBeforeAnyStartShowsTheDefaultNameWithoutADisplay)
{
    // A fresh process: nothing has named the application yet.
    const std::string style = testing::FLAGS_gtest_death_test_style;
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            platform::headless::HeadlessBackend::select();
            Lib::init(kSignature, "Updater", 0, Lib::kFlavour);
        },
        testing::ExitedWithCode(1), "Calvarine\nError bas/src/Common/Init_BAS:213\n\\[answered: OK\\]");
    testing::FLAGS_gtest_death_test_style = style;
}

// Exits 0 when every expectation inside holds, else 2 with the first
// failed one on standard error.
#define CHILD_EXPECT(condition)                                                                                        \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "failed: %s\n", #condition);                                                          \
            std::exit(2);                                                                                              \
        }                                                                                                              \
    } while (0)

TEST(LibDeathTest, StartStopStartAndStopWithoutStart)
{
    EXPECT_EXIT(
        {
            Lib::deInit(); // nothing started: nothing happens
            CHILD_EXPECT(!Lib::s_bInitialized && !CV::BAS::TLS::m_bIsInit);
            CHILD_EXPECT(Lib::init(kSignature, "Updater", Lib::kVersion, Lib::kFlavour));
            CHILD_EXPECT(Lib::s_bInitialized && CV::BAS::TLS::m_bIsInit && CV::BAS::Authentication::s_bInited);
            CHILD_EXPECT(std::string(CV::BAS::Application::s_pAppName) == "Updater");
            Lib::deInit();
            CHILD_EXPECT(!Lib::s_bInitialized && !CV::BAS::TLS::m_bIsInit && !CV::BAS::Authentication::s_bInited);
            CHILD_EXPECT(std::string(CV::BAS::Application::s_pAppName) == "Updater");
            CHILD_EXPECT(Lib::init(kSignature, nullptr, Lib::kVersion, Lib::kFlavour));
            CHILD_EXPECT(Lib::s_bInitialized && CV::BAS::Authentication::s_bInited);
            Lib::deInit();
            Lib::deInit();
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

platform::CpuidRegisters failingCpuid(uint32_t, uint32_t)
{
    throw std::runtime_error("no processor facts");
}

// A settings registry whose close gives back the one record the test took
// from the critical-section pool, so the pool is empty while the library
// starts and whole again when it stops.
void* s_occupiedRecord = nullptr;

class RecordReturningRegistry : public CV::BAS::Registry::Impl {
public:
    bool get(const char*, std::vector<std::string>&, CV::BAS::Registry::eGetMode) override { return false; }
    void close() override
    {
        CV::BAS::CriticalSection::s_heap.deallocate(s_occupiedRecord);
        s_occupiedRecord = nullptr;
    }
};

// Leaves the critical-section pool with one packet of one slot, taken.
void exhaustCriticalSectionPool()
{
    auto& pool = CV::BAS::CriticalSection::s_heap;
    pool.configure(CV::BAS::CriticalSection::kRecordSize, 1, 1,
                   CV::BAS::DETAIL::RegularAllocatorBase::eFlagSinglePacket);
    pool.allocNewPacket();
    pool.setConfigured();
    s_occupiedRecord = pool.CV::BAS::DETAIL::RegularAllocatorBase::allocate(CV::BAS::CriticalSection::kRecordSize);
    CV::BAS::Registry::s_pImpl = new RecordReturningRegistry();
}

TEST(LibDeathTest, ServiceThatThrowsStopsEverythingAndInitReturnsFalse)
{
    struct Case {
        const char* label;
        void (*arrange)();
    };
    const Case cases[] = {
        {"system facts throw", [] { platform::setCpuidFunction(&failingCpuid); }},
        {"authentication finds no record", &exhaustCriticalSectionPool},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                c.arrange();
                CHILD_EXPECT(!Lib::init(kSignature, "Updater", Lib::kVersion, Lib::kFlavour));
                CHILD_EXPECT(!Lib::s_bInitialized);
                CHILD_EXPECT(!CV::BAS::TLS::m_bIsInit && !CV::BAS::Authentication::s_bInited);
                CHILD_EXPECT(!CV::BAS::CriticalSection::s_heap.isConfigured());
                CHILD_EXPECT(CV::BAS::Registry::s_pImpl == nullptr && s_occupiedRecord == nullptr);
                platform::setCpuidFunction(nullptr);
                // A later start works.
                CHILD_EXPECT(Lib::init(kSignature, "Updater", Lib::kVersion, Lib::kFlavour));
                Lib::deInit();
                std::exit(0);
            },
            testing::ExitedWithCode(0), "")
            << c.label;
    }
}

// Message forms: the report's text reaches the message box; the termination
// handler compares it with the expected one.
std::string s_shown;
std::string s_expected;
std::string s_order;

void checkShownMessage()
{
    s_order += "end;";
    if (s_shown == s_expected && s_order == "pre;box;end;")
        std::fprintf(stderr, "MATCH\n");
    else
        std::fprintf(stderr, "MISMATCH [%s] [%s] %s\n", s_shown.c_str(), s_expected.c_str(), s_order.c_str());
}

TEST(AssertionDeathTest, MessageForms)
{
    const std::string longFile(1023, 'f');
    const std::string tooLongFile(1024, 'f');
    const std::string longText(1100 - 1, 't');
    const std::string fittingText(1023, 't');
    struct Case {
        const char* label;
        const char* file;
        int line;
        const char* text;
        std::string expected;
    };
    const Case cases[] = {
        {"file, line and text", "f", 5, "t", "Error f:5\n\nt"},
        {"no text", "bas/src/X", 12, nullptr, "Error bas/src/X:12"},
        {"empty text passes", "f", 5, "", "Error f:5\n\n"},
        {"non-ASCII text: short form", "f", 5, "caf\xc3\xa9", "Error f:5"},
        {"non-ASCII file", "f\x80", 5, "t", "Error (null):5\n\nt"},
        {"no file", nullptr, -3, "t", "Error (null):-3\n\nt"},
        {"file of 1023 characters kept, cut to 1023", longFile.c_str(), 5, nullptr,
         ("Error " + longFile + ":5").substr(0, 1023)},
        {"file of 1024 characters dropped", tooLongFile.c_str(), 5, "t", "Error (null):5\n\nt"},
        {"text of 1100 characters dropped", "f", 5, longText.c_str(), "Error f:5"},
        {"long text cut to 1023", "f", 5, fittingText.c_str(), ("Error f:5\n\n" + fittingText).substr(0, 1023)},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                s_expected = c.expected;
                Message::s_showMessageFunctor = [](const CV::BAS::CharSequence<char>& text, Message::eType type,
                                                   Message::eButton defaultButton, Message::eIcon, const char* title) {
                    s_shown = text.str();
                    s_order += (type == 0 && defaultButton == 7 && title == nullptr) ? "box;" : "wrong box;";
                    return Message::eButtonOK;
                };
                Assertion::s_PreAssertionHandler = [] { s_order += "pre;"; };
                Assertion::s_TerminationHandler = &checkShownMessage;
                Assertion::DoFail(c.file, c.line, c.text);
            },
            testing::ExitedWithCode(1), "^MATCH\n")
            << c.label;
    }
}

TEST(AssertionDeathTest, OffTheMainThreadTheReportGoesToStandardError)
{
    EXPECT_EXIT(
        {
            Message::s_showMessageFunctor = [](const CV::BAS::CharSequence<char>&, Message::eType, Message::eButton,
                                               Message::eIcon, const char*) -> Message::eButton { std::_Exit(3); };
            std::thread worker([] { Assertion::DoFail("worker", 9, "busy"); });
            worker.join();
        },
        testing::ExitedWithCode(1), "^Error worker:9\n\nbusy\n");
}

TEST(AssertionDeathTest, NestedReportWithoutADebuggerIsStillReported)
{
    EXPECT_EXIT(
        {
            captureMessageBoxes();
            CV::BAS::DETAIL::s_iAssertReenter = 0; // a report is under way
            Assertion::DoFail("nested", 1, nullptr);
        },
        testing::ExitedWithCode(1), "\\[box 0 7 0 null\\] Error nested:1\\|");
}

TEST(AssertionTest, ThrowsTheFilteredReportWhenAsked)
{
    Assertion::s_bThrowException = true;
    try {
        Assertion::DoFail("f", 5, "t\xff");
        ADD_FAILURE() << "no exception";
    } catch (const Assertion::exception& e) {
        EXPECT_STREQ(e.file, "f");
        EXPECT_EQ(e.line, 5);
        EXPECT_EQ(e.text, nullptr);
        EXPECT_STREQ(e.what(), "Assertion in f:5");
    }
    Assertion::s_bThrowException = false;
    EXPECT_EQ(CV::BAS::DETAIL::s_iAssertReenter, 1);
}

TEST(AssertionTest, WhatSharesOneBufferAmongAllExceptions)
{
    const Assertion::exception first("a", 1, "one");
    const Assertion::exception second(nullptr, 2, nullptr);
    const char* firstText = first.what();
    EXPECT_STREQ(firstText, "Assertion in a:1 one");
    const char* secondText = second.what();
    EXPECT_EQ(firstText, secondText);
    EXPECT_STREQ(firstText, "Assertion in (null):2");
    const std::string longText(2000, 'x');
    const Assertion::exception third("a", 3, longText.c_str());
    EXPECT_EQ(std::string(third.what()).size(), 1023u);
}

} // namespace
