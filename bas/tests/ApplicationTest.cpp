#include "BAS/Application.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using CV::BAS::Application;

class ApplicationNameTest : public ::testing::Test {
protected:
    void SetUp() override { std::memcpy(saved_, Application::s_pAppName, sizeof saved_); }
    void TearDown() override { std::memcpy(Application::s_pAppName, saved_, sizeof saved_); }

private:
    char saved_[Application::kNameCapacity];
};

TEST_F(ApplicationNameTest, NameIsCutTo255BytesAndAlwaysTerminated)
{
    struct Case {
        std::size_t length;
        std::size_t stored;
    };
    const Case cases[] = {{0, 0}, {5, 5}, {254, 254}, {255, 255}, {256, 255}, {300, 255}};
    for (const Case& c : cases) {
        // Fill the whole buffer first so that a missing terminator shows.
        std::memset(Application::s_pAppName, 'z', Application::kNameCapacity);
        const std::string name(c.length, 'a');
        Application::setName(name.c_str());
        EXPECT_EQ(std::string(Application::s_pAppName), std::string(c.stored, 'a')) << c.length;
        EXPECT_EQ(Application::s_pAppName[c.stored], '\0') << c.length;
    }
}

TEST_F(ApplicationNameTest, NullNameKeepsTheStoredName)
{
    Application::setName("Updater");
    Application::setName(nullptr);
    EXPECT_STREQ(Application::s_pAppName, "Updater");
}

} // namespace
