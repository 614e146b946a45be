#include "FrameworkTestSupport.h"

#include "FEN/CLI.h"

#include "BAS/FileName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::FEN::TEST::TestModule;

// An application that records what the module does to it.
class Recording : public IApplication {
public:
    Recording(std::vector<std::string>& log, bool initResult)
        : m_log(log)
        , m_initResult(initResult)
    {
    }
    ~Recording() override { m_log.push_back("deleted"); }
    void setModuleOwner(AppModule* module) override { m_log.push_back(module ? "owner" : "no owner"); }
    int run() override { return -1; }
    bool init() override
    {
        m_log.push_back("init");
        return m_initResult;
    }
    void deInit(bool initResult) override { m_log.push_back(std::string("deInit ") + (initResult ? "1" : "0")); }
    void postQuit() override { }
    void executeOnMainThread(std::function<void()>) override { }
    void setMasterTimerTimeout(unsigned) override { }
    unsigned getMasterTimerTimeout() const override { return 40; }

private:
    std::vector<std::string>& m_log;
    bool m_initResult;
};

TEST(AppModule, FirstModuleStaysCurrentAndDrivesTheStartUp)
{
    TestModule& module = TestModule::instance();
    EXPECT_EQ(AppModule::getCurrentModule(), &module);
    {
        TestModule second;
        EXPECT_EQ(AppModule::getCurrentModule(), &module);
    }
    std::vector<std::string> log;
    module.onInit = [&] {
        log.push_back("module init");
        return false;
    };
    module.onDeInit = [&](bool result) { log.push_back(std::string("module deInit ") + (result ? "1" : "0")); };
    EXPECT_FALSE(DETAIL::AppModuleStartup::init());
    DETAIL::AppModuleStartup::deInit();
    module.onInit = [&] { return true; };
    EXPECT_TRUE(DETAIL::AppModuleStartup::init());
    DETAIL::AppModuleStartup::deInit();
    EXPECT_EQ(log, (std::vector<std::string>{"module init", "module deInit 0", "module deInit 1"}));
    module.onInit = nullptr;
    module.onDeInit = nullptr;
}

TEST(AppModule, AttachingAndDestroyingTheApplication)
{
    struct Case {
        const char* label;
        bool appInit;
        bool attached;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"init succeeds", true, true, {"owner", "init", "deInit 1", "no owner", "deleted"}},
        // A failed init is undone once, not again when the module destroys it.
        {"init fails", false, false, {"owner", "init", "deInit 0", "no owner", "deleted"}},
    };
    TestModule& module = TestModule::instance();
    ASSERT_TRUE(module.create());
    for (const Case& c : cases) {
        std::vector<std::string> log;
        auto* application = new Recording(log, c.appInit);
        EXPECT_EQ(module.attachApplication(application), c.attached) << c.label;
        EXPECT_EQ(module.getApplication(), application) << c.label;
        // A second application is refused and left alone.
        std::vector<std::string> otherLog;
        Recording other(otherLog, true);
        EXPECT_FALSE(module.attachApplication(&other)) << c.label;
        EXPECT_TRUE(otherLog.empty()) << c.label;
        module.destroyApplication();
        module.destroyApplication();
        EXPECT_EQ(module.getApplication(), nullptr) << c.label;
        EXPECT_EQ(log, c.expected) << c.label;
    }
}

TEST(AppModule, LocaleAndVersionWithoutBundleOrRegistry)
{
    TestModule& module = TestModule::instance();
    EXPECT_FALSE(module.initRegistry());
    EXPECT_EQ(module.getLocale(false), "");
    EXPECT_EQ(AppModule::getLocaleInRegistry(), "");
    // The test program runs outside a bundle.
    std::string version = "v";
    EXPECT_FALSE(AppModule::getVersionInfo(version));
    EXPECT_EQ(version, "v?.??.???");
}

TEST(AppModule, CommandLineStoreAndTarget)
{
    char program[] = "updater";
    char* argv[] = {program, nullptr};
    CLI::setCommandLineArguments(1, argv);
    EXPECT_EQ(CLI::s_argc, 1);
    EXPECT_EQ(CLI::s_argv, argv);
    CV::BAS::FileName file;
    file.full = "Disk:folder:file.txt";
    CLI::setCommandLineFile(file);
    EXPECT_EQ(CLI::s_file, "Disk:folder:file.txt");
    EXPECT_EQ(*AppTarget::instance(), 0);
    EXPECT_EQ(AppTarget::instance(), AppTarget::instance());
}

} // namespace
