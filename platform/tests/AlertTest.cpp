#include "platform/alert/Alert.h"
#include "platform/headless/HeadlessAlertPresenter.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/headless/TestDriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

using platform::Alert;

namespace {

Alert yesNoCancel()
{
    Alert alert;
    alert.setMessageText("Quit?");
    alert.setInformativeText("An update is running.");
    alert.addButton("Yes", 2);
    alert.addButton("No", 3);
    alert.addButton("Cancel", 1);
    return alert;
}

TEST(Alert, DefaultAndDismissAnswers)
{
    struct Case {
        int defaultTag; // -2: not set
        int dismissTag; // -2: not set
        int expectedDefault;
        int expectedDismiss;
    };
    const Case cases[] = {
        {-2, -2, 2, 2}, // first button
        {3, -2, 3, 3},  {3, 1, 3, 1}, {7, -2, 2, 2}, // no button has tag 7
        {-2, 1, 2, 1},
    };
    for (const Case& c : cases) {
        Alert alert = yesNoCancel();
        if (c.defaultTag != -2)
            alert.setDefaultButton(c.defaultTag);
        if (c.dismissTag != -2)
            alert.setDismissAnswer(c.dismissTag);
        EXPECT_EQ(alert.defaultTag(), c.expectedDefault) << c.defaultTag << "/" << c.dismissTag;
        EXPECT_EQ(alert.dismissTag(), c.expectedDismiss) << c.defaultTag << "/" << c.dismissTag;
    }
    EXPECT_EQ(Alert().runModal(), -1);
}

TEST(Alert, HeadlessAlertWritesTheTextsAndAnswersWithTheDefault)
{
    std::FILE* output = std::tmpfile();
    ASSERT_NE(output, nullptr);
    Alert alert = yesNoCancel();
    alert.setDefaultButton(3);
    EXPECT_EQ(platform::headless::HeadlessAlertPresenter(output).present(alert), 3);
    std::rewind(output);
    char buffer[256] = {};
    const size_t length = std::fread(buffer, 1, sizeof buffer - 1, output);
    std::fclose(output);
    EXPECT_EQ(std::string(buffer, length), "Quit?\nAn update is running.\n[answered: No]\n");
}

TEST(Alert, RunsHeadlessOnTheHeadlessBackendAndOffTheMainThread)
{
    platform::headless::HeadlessBackend::select();
    Alert alert = yesNoCancel();
    alert.setDefaultButton(1);
    EXPECT_EQ(alert.runModal(), 1);
    int answer = -1;
    std::thread([&] { answer = alert.runModal(); }).join();
    EXPECT_EQ(answer, 1);
}

} // namespace

namespace {

TEST(Alert, ScriptedAnswersPickButtonsByLabelInOrder)
{
    platform::headless::TestDriver driver;
    driver.answerAlert("Cancel");
    driver.answerAlert("Maybe"); // no such button: the default answers
    Alert alert = yesNoCancel();
    alert.setDefaultButton(3);
    EXPECT_EQ(alert.runModal(), 1);
    EXPECT_EQ(alert.runModal(), 3);
    EXPECT_EQ(alert.runModal(), 3);
    EXPECT_EQ(driver.alertsShown(), (std::vector<std::string>{"Quit?", "Quit?", "Quit?"}));
}

// Off the main thread nobody is asked: the default answers and the answers
// handed in stay for the alerts of the main thread.
TEST(Alert, OffTheMainThreadTheDefaultAnswersAndScriptedAnswersWait)
{
    platform::headless::TestDriver driver;
    driver.answerAlert("Cancel");
    Alert alert = yesNoCancel();
    alert.setDefaultButton(3);
    int answer = -1;
    std::thread([&] { answer = alert.runModal(); }).join();
    EXPECT_EQ(answer, 3);
    EXPECT_EQ(alert.runModal(), 1);
    EXPECT_EQ(driver.alertsShown(), (std::vector<std::string>{"Quit?"}));
}

} // namespace
