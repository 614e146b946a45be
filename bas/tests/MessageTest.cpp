#include "BAS/Message.h"

#include "BAS/NSStringRef.h"
#include "platform/alert/Alert.h"
#include "platform/headless/HeadlessBackend.h"

#include "ProgramOutput.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <cstdio>
#include <string>
#include <vector>

using CV::BAS::Message;

namespace {

namespace fs = boost::filesystem;

class MessageTest : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::HeadlessBackend::select(); }
    void TearDown() override { Message::s_showMessageFunctor = nullptr; }
};

std::vector<std::string> labelsOf(const platform::Alert& alert)
{
    std::vector<std::string> labels;
    for (const auto& button : alert.buttons())
        labels.push_back(button.label + "=" + std::to_string(button.tag));
    return labels;
}

TEST_F(MessageTest, ButtonsDefaultAndDismissAnswerByType)
{
    using V = std::vector<std::string>;
    struct Case {
        Message::eType type;
        Message::eButton defaultButton;
        V buttons;
        int defaultTag;
        int dismissTag;
    };
    const Case cases[] = {
        {Message::eTypeOK, Message::eButtonNone, V{"OK=0"}, 0, 0},
        {Message::eTypeOKCancel, Message::eButtonOK, V{"OK=0", "Cancel=1"}, 0, 1},
        {Message::eTypeYesNo, Message::eButtonNo, V{"Yes=2", "No=3"}, 3, 3},
        // Closing a Yes/No box never answers Yes, even when Yes is the default.
        {Message::eTypeYesNo, Message::eButtonYes, V{"Yes=2", "No=3"}, 2, 3},
        {Message::eTypeYesNo, Message::eButtonNone, V{"Yes=2", "No=3"}, 2, 3},
        {Message::eTypeYesNoCancel, Message::eButtonYes, V{"Yes=2", "No=3", "Cancel=1"}, 2, 1},
        {Message::eTypeRetryCancel, Message::eButtonOK, V{"Retry=5", "Cancel=1"}, 5, 1},
        {Message::eTypeAbortRetryIgnore, Message::eButtonIgnore, V{"Abort=4", "Retry=5", "Ignore=6"}, 6, 4},
    };
    for (const Case& c : cases) {
        platform::Alert alert;
        ASSERT_TRUE(Message::makeAlert("text", c.type, c.defaultButton, Message::eIconNone, "Heading", alert));
        EXPECT_EQ(labelsOf(alert), c.buttons) << c.type << "/" << c.defaultButton;
        EXPECT_EQ(alert.defaultTag(), c.defaultTag) << c.type << "/" << c.defaultButton;
        EXPECT_EQ(alert.dismissTag(), c.dismissTag) << c.type << "/" << c.defaultButton;
    }
}

TEST_F(MessageTest, IconSelectsTheStyle)
{
    using Style = platform::Alert::Style;
    const std::pair<int, Style> cases[] = {
        {0, Style::Informational}, {1, Style::Critical},      {2, Style::Warning},
        {3, Style::Informational}, {4, Style::Informational}, {9, Style::Informational},
    };
    for (const auto& [icon, style] : cases) {
        platform::Alert alert;
        Message::makeAlert("t", Message::eTypeOK, Message::eButtonNone, Message::eIcon(icon), nullptr, alert);
        EXPECT_EQ(alert.style(), style) << icon;
    }
}

TEST_F(MessageTest, HeadingIsTheTitleOrTheApplicationNameAndMalformedTextIsDropped)
{
    platform::Alert alert;
    const char text[] = "a\xff"
                        "b\xc3\xa9\xe2\x82";
    Message::makeAlert(CV::BAS::CharSequence<char>(text, sizeof text - 1), Message::eTypeOK, Message::eButtonNone,
                       Message::eIconNone, nullptr, alert);
    EXPECT_EQ(alert.messageText(), "Calvarine");
    EXPECT_EQ(alert.informativeText(), "ab\xc3\xa9");

    Message::makeAlert("", Message::eTypeOK, Message::eButtonNone, Message::eIconNone, "T\x80itle", alert);
    EXPECT_EQ(alert.messageText(), "Title");
}

TEST_F(MessageTest, ShowAnswersWithTheDefaultWithoutADisplay)
{
    struct Case {
        Message::eType type;
        Message::eButton defaultButton;
        Message::eButton answer;
    };
    const Case cases[] = {
        {Message::eTypeYesNo, Message::eButtonNo, Message::eButtonNo},
        {Message::eTypeOK, Message::eButtonNone, Message::eButtonOK},
        {Message::eTypeYesNo, Message::eButtonRetry, Message::eButtonYes},
        {Message::eType(9), Message::eButtonIgnore, Message::eButtonIgnore}, // shows nothing
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(Message::show("Really?", c.type, c.defaultButton, Message::eIconWarning), c.answer);
        const std::string shown = testing::internal::GetCapturedStderr();
        EXPECT_EQ(shown.empty(), c.type > 5) << shown;
    }
}

TEST_F(MessageTest, ReplacementReceivesEveryRequest)
{
    std::string seen;
    Message::s_showMessageFunctor = [&](const CV::BAS::CharSequence<char>& text, Message::eType type,
                                        Message::eButton defaultButton, Message::eIcon icon, const char* title) {
        seen = text.str() + "|" + std::to_string(type) + "|" + std::to_string(defaultButton) + "|" +
            std::to_string(icon) + "|" + (title ? title : "null");
        return Message::eButtonCancel;
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(Message::show("Quit?", Message::eType(9), Message::eButtonNo, Message::eIcon(7)), Message::eButtonCancel);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(seen, "Quit?|9|3|7|null");
}

TEST(NSStringRefTest, EmptyTextGivesAnEmptyStringOnlyWhenAsked)
{
    NSString* empty = CV::BAS::NSStringRef::str2NSString("", true);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(CFStringGetLength(empty), 0);
    CFRelease(empty);
    EXPECT_EQ(CV::BAS::NSStringRef::str2NSString("", false), nullptr);
    EXPECT_EQ(CV::BAS::NSStringRef::str2NSString(nullptr, false), nullptr);
    EXPECT_EQ(CV::BAS::NSStringRef::str2NSString(std::string(), false), nullptr);

    NSString* text = CV::BAS::NSStringRef::str2NSString(std::string("\xc3\xa9t\xff\xc3"), false);
    EXPECT_EQ(text->characters(), u"\u00e9t");
    CFRelease(text);
}

TEST(NSStringRefTest, HolderOwnsOneReference)
{
    NSString* kept = CV::BAS::NSStringRef::str2NSString("kept", false);
    {
        CV::BAS::NSStringRef holder;
        holder.assign(kept, true);
        EXPECT_EQ(CFGetRetainCount(kept), 2);
        holder.assign(kept, true); // already held: nothing changes
        EXPECT_EQ(CFGetRetainCount(kept), 2);
        holder.createWith("other", false);
        EXPECT_EQ(CFGetRetainCount(kept), 1);
        EXPECT_EQ(holder.get()->characters(), u"other");
        holder.createWith(nullptr, false);
        EXPECT_EQ(holder.get(), nullptr);
        holder.assign(kept, true);
    }
    EXPECT_EQ(CFGetRetainCount(kept), 1);
    CFRelease(kept);
}

std::string runProbe(const fs::path& bundle, const std::string& arguments, const std::string& environment = "")
{
    const fs::path executable = bundle / "Contents/MacOS/probe";
    fs::create_directories(executable.parent_path());
    fs::copy_file(VARANTO_MESSAGE_PROBE, executable, fs::copy_option::overwrite_if_exists);
    return CV::BAS::TEST::programOutput(environment + " '" + executable.string() + "' " + arguments + " 2>&1");
}

TEST(MessageBundleTest, ButtonLabelsComeFromTheChosenLanguagesCatalogue)
{
    const CV::test::TemporaryFolder scratch("message");
    const fs::path bundle = fs::path(scratch.string()) / "T.app";
    fs::create_directories(bundle / "Contents/Resources/FRA.lproj");
    fs::create_directories(bundle / "Contents/Resources/DEU.lproj");
    fs::copy_file(fs::path(VARANTO_TEST_CATALOG_DIR) / "fr-big.mo", bundle / "Contents/Resources/FRA.lproj/lib.mo");

    const std::string french = runProbe(bundle, "fr_CA");
    EXPECT_EQ(french.substr(0, 4), "FRA\n");
    for (const char* label : {"D'accord", "Annuler", "Oui", "Non", "Abandonner",
                              "R\xc3\xa9"
                              "essayer",
                              "Ignorer"})
        EXPECT_NE(french.find(std::string("[answered: ") + label + "]"), std::string::npos) << label << french;

    // No catalogue for the language: the labels stay as they are.
    const std::string german = runProbe(bundle, "de");
    EXPECT_EQ(german.substr(0, 4), "DEU\n");
    EXPECT_NE(german.find("[answered: Retry]"), std::string::npos) << german;
    EXPECT_EQ(german.find("Oui"), std::string::npos);

    // No code: the bundle's localisation that the user prefers.
    EXPECT_EQ(runProbe(bundle, "", "LC_ALL= LC_MESSAGES= LANGUAGE= LANG=de_DE.UTF-8").substr(0, 4), "DEU\n");
    EXPECT_EQ(runProbe(bundle, "", "LC_ALL= LC_MESSAGES= LANGUAGE= LANG=fr_FR.UTF-8").substr(0, 4), "FRA\n");
    fs::remove_all(bundle / "Contents/Resources/FRA.lproj");
    fs::remove_all(bundle / "Contents/Resources/DEU.lproj");
    EXPECT_EQ(runProbe(bundle, "", "LC_ALL= LC_MESSAGES= LANGUAGE= LANG=fr_FR.UTF-8").substr(0, 4), "ENG\n");
}

} // namespace
