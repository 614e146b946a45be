#include "BAS/DebugTrace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

using CV::BAS::CharSequence;
using CV::BAS::DebugTrace;

// Keeps the process-wide filter state as it was and sends lines into a
// temporary trace file.
class DebugTraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedMode_ = DebugTrace::s_theMode;
        savedGroups_ = DebugTrace::s_setDebugTraceGroups;
    }
    void TearDown() override
    {
        CV::BAS::fcloseall();
        DebugTrace::s_theMode = savedMode_;
        DebugTrace::s_setDebugTraceGroups = savedGroups_;
    }

    void setFilter(int32_t mode, std::set<std::string> groups)
    {
        DebugTrace::s_theMode = mode;
        DebugTrace::s_setDebugTraceGroups = std::move(groups);
    }

    // What one printLine writes.
    std::string traced(const char* group, const CharSequence<char>& text)
    {
        DebugTrace::s_fErr = std::tmpfile();
        EXPECT_NE(DebugTrace::s_fErr, nullptr);
        DebugTrace::printLine(group, text);
        std::rewind(DebugTrace::s_fErr);
        std::string written;
        for (int c; (c = std::fgetc(DebugTrace::s_fErr)) != EOF;)
            written += static_cast<char>(c);
        CV::BAS::fcloseall();
        return written;
    }

private:
    int32_t savedMode_ = 0;
    std::set<std::string> savedGroups_;
};

TEST_F(DebugTraceTest, LinesFollowGroupAndMode)
{
    struct Case {
        int32_t mode;
        std::set<std::string> groups;
        const char* group;
        const char* line; // what is written for the text "x"
    };
    const Case cases[] = {
        {0, {}, "+usb", "usb: x\n"},
        {0, {}, nullptr, "x\n"},
        {0, {}, "", "x\n"},
        {0, {}, "+", "x\n"},
        {0, {}, "usb", ""},
        {0, {}, "-usb", ""},
        {0, {"usb"}, "usb", ""},
        {1, {"usb"}, "usb", "usb: x\n"},
        {1, {"usb"}, "-usb", "usb: x\n"},
        {1, {"usb"}, "usb.read", "usb.read: x\n"},
        {1, {"usb"}, "usbhid", ""},
        {1, {"usb"}, "us", ""},
        {1, {"usb"}, "hid", ""},
        {1, {""}, "usb", ""},
        {1, {"hid", "usb.read"}, "usb.read.fast", "usb.read.fast: x\n"},
        {1, {"usb.read"}, "usb", ""},
        {2, {"usb"}, "hid", "hid: x\n"},
        {2, {"usb"}, "-hid", ""},
        {2, {"usb"}, "-usb.write", "usb.write: x\n"},
        {7, {"usb"}, "usb", ""},
    };
    for (const Case& c : cases) {
        setFilter(c.mode, c.groups);
        const char* label = c.group ? c.group : "(null)";
        EXPECT_EQ(traced(c.group, "x"), c.line) << "mode " << c.mode << " group " << label;
        EXPECT_EQ(DebugTrace::isGroupEnabled(c.group), c.line[0] != '\0') << "mode " << c.mode << " group " << label;
    }
}

TEST_F(DebugTraceTest, TextEndsAtItsLengthOrItsFirstNul)
{
    setFilter(0, {});
    const char text[] = "abcdef";
    EXPECT_EQ(traced("+g", CharSequence<char>(text, 3)), "g: abc\n");
    EXPECT_EQ(traced("+g", CharSequence<char>("ab\0cd", 5)), "g: ab\n");
    EXPECT_EQ(traced(nullptr, std::string()), "\n");
}

TEST_F(DebugTraceTest, WithoutTraceFileLinesGoToStandardError)
{
    setFilter(0, {});
    ::testing::internal::CaptureStderr();
    DebugTrace::printLine("+skin", "cannot determine path");
    DebugTrace::printLine("decodeURI", "silent");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "skin: cannot determine path\n");
}

TEST_F(DebugTraceTest, ClearingAndClosingAreSafeWhenThereIsNothing)
{
    setFilter(1, {"usb", "hid"});
    DebugTrace::clearGroupFilter();
    EXPECT_TRUE(DebugTrace::s_setDebugTraceGroups.empty());
    DebugTrace::clearGroupFilter();
    EXPECT_TRUE(DebugTrace::s_setDebugTraceGroups.empty());
    EXPECT_FALSE(DebugTrace::isGroupEnabled("usb"));

    ASSERT_EQ(DebugTrace::s_fErr, nullptr);
    CV::BAS::fcloseall();
    EXPECT_EQ(DebugTrace::s_fErr, nullptr);
}

} // namespace
