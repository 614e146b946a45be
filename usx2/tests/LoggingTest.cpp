#include "usx2/util/Logging.h"
#include "usx2/util/SystemLog.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace CV {
namespace USX2 {
namespace {

// Sets the report level and allowed categories for one test, captures the
// system log, and puts everything back.
class LoggingFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedLevel = Logging::detail::__reportLevelAsUInt;
        m_savedCategories = Logging::allowedCategories;
        m_savedSink = SystemLog::setSink(
            [this](SystemLog::Severity severity, const std::string& text) { systemLog.emplace_back(severity, text); });
    }
    void TearDown() override
    {
        Logging::detail::__reportLevelAsUInt = m_savedLevel;
        Logging::allowedCategories = m_savedCategories;
        SystemLog::setSink(m_savedSink);
    }

    std::vector<std::pair<SystemLog::Severity, std::string>> systemLog;

private:
    std::uint32_t m_savedLevel = 0;
    std::set<std::string> m_savedCategories;
    SystemLog::Sink m_savedSink;
};

TEST_F(LoggingFixture, StartsAtReportLevelTwoWithNoCategories)
{
    EXPECT_EQ(Logging::detail::__reportLevelAsUInt, 2u);
    EXPECT_FALSE(Logging::isAllowedCategory("DFUDevice"));
    EXPECT_FALSE(Logging::isAllowedCategory(nullptr));
}

TEST_F(LoggingFixture, LevelAndCategoryDecideWhatIsReported)
{
    const struct {
        std::uint32_t reportLevel;
        Logging::Level level;
        bool allowed;
        bool reported;
    } cases[] = {
        {2, Logging::eLevelInfo, true, false},     {2, Logging::eLevelError, false, true},
        {2, Logging::eLevelCritical, false, true}, {1, Logging::eLevelInfo, true, true},
        {1, Logging::eLevelInfo, false, false},    {1, Logging::eLevelError, false, true},
        {3, Logging::eLevelError, false, false},   {0, Logging::eLevelDebug, true, true},
    };
    for (const auto& row : cases) {
        Logging::detail::__reportLevelAsUInt = row.reportLevel;
        Logging::allowedCategories.clear();
        if (row.allowed)
            Logging::allowedCategories.insert("DFUDevice");
        EXPECT_EQ(Logging::wouldReport(row.level, "DFUDevice"), row.reported)
            << "report level " << row.reportLevel << ", level " << row.level;
    }
    Logging::allowedCategories = {"DFUDevice"};
    EXPECT_FALSE(Logging::isAllowedCategory("dfudevice"));
}

TEST_F(LoggingFixture, AtReportLevelTwoErrorsGoToTheSystemLog)
{
    ::testing::internal::CaptureStderr();
    Logging::detail::__trace__msg(Logging::eLevelError, "%s: Unsupported wTransferSize (%d)\n", "DFUDevice", 8192);
    Logging::detail::__trace__msg(Logging::eLevelCritical, "critical %d\n", 3);
    Logging::detail::__trace__msg(Logging::eLevelInfo, "dropped\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(systemLog.size(), 2u);
    EXPECT_EQ(systemLog[0].first, SystemLog::Severity::eError);
    EXPECT_EQ(systemLog[0].second, "DFUDevice: Unsupported wTransferSize (8192)\n");
    EXPECT_EQ(systemLog[1].first, SystemLog::Severity::eCritical);
}

TEST_F(LoggingFixture, AtReportLevelOneMessagesGoToStandardError)
{
    Logging::detail::__reportLevelAsUInt = 1;
    Logging::allowedCategories = {"DFUDevice"};
    ::testing::internal::CaptureStderr();
    Logging::detail::__trace__msg(Logging::eLevelInfo, "%s: DFU_ABORT failed with status 0x%x (%s)\n", "DFUDevice",
                                  0xE000404Fu, "Pipe has stalled");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "DFUDevice: DFU_ABORT failed with status 0xe000404f (Pipe has stalled)\n");
    EXPECT_TRUE(systemLog.empty());
}

TEST_F(LoggingFixture, LongMessagesAreCutTo1023Characters)
{
    const std::string longText(5000, 'x');
    Logging::detail::__trace__msg(Logging::eLevelError, "%s", longText.c_str());
    ASSERT_EQ(systemLog.size(), 1u);
    EXPECT_EQ(systemLog[0].second, std::string(1023, 'x'));
}

} // namespace
} // namespace USX2
} // namespace CV
