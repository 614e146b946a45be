#include "platform/cf/CFBoolean.h"
#include "platform/cf/CFBundle.h"
#include "platform/cf/CFLocale.h"
#include "platform/cf/CFNumber.h"
#include "platform/cf/PropertyList.h"
#include "platform/tests/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace platform::test;
using platform::cf::Bundle;
using platform::cf::Locale;

namespace {

class BundleTest : public ::testing::Test {
protected:
    BundleTest()
        : m_language("LANGUAGE", nullptr)
        , m_all("LC_ALL", nullptr)
        , m_messages("LC_MESSAGES", nullptr)
        , m_lang("LANG", "en_GB.UTF-8")
    {
        Owned<CFURLRef> url(CFURLCreateWithFileSystemPath(kCFAllocatorDefault, str(m_copy.bundlePath()).get(),
                                                          kCFURLPOSIXPathStyle, true));
        m_bundle = CFBundleCreate(kCFAllocatorDefault, url.get());
    }
    ~BundleTest() override
    {
        if (m_bundle)
            CFRelease(m_bundle);
    }

    std::string value(const char* key) { return utf8(CFBundleGetValueForInfoDictionaryKey(m_bundle, str(key).get())); }

    // The resource's path inside the bundle, or "<none>".
    std::string resource(const char* name, const char* type, const char* subDir)
    {
        Owned<CFURLRef> url(CFBundleCopyResourceURL(m_bundle, name ? str(name).get() : nullptr,
                                                    type ? str(type).get() : nullptr,
                                                    subDir ? str(subDir).get() : nullptr));
        if (!url)
            return "<none>";
        Owned<CFStringRef> path(CFURLCopyFileSystemPath(url.get(), kCFURLPOSIXPathStyle));
        return utf8(path.get()).substr(m_copy.bundlePath().size());
    }

    TestBundleCopy m_copy;
    ScopedEnv m_language, m_all, m_messages, m_lang;
    CFBundleRef m_bundle = nullptr;
};

TEST_F(BundleTest, ReadsTheInfoPlistKeys)
{
    ASSERT_NE(m_bundle, nullptr);
    EXPECT_EQ(value("CFBundleName"), "T & Co");
    EXPECT_EQ(value("CFBundleShortVersionString"), "1.2.3");
    EXPECT_EQ(value("CFBundleVersion"), "1.2.3.45");
    EXPECT_EQ(utf8(CFBundleGetIdentifier(m_bundle)), "org.example.t");
    EXPECT_EQ(CFBundleGetValueForInfoDictionaryKey(m_bundle, str("NSHighResolutionCapable").get()), kCFBooleanTrue);
    int minimum = 0;
    EXPECT_TRUE(CFNumberGetValue(
        static_cast<CFNumberRef>(CFBundleGetValueForInfoDictionaryKey(m_bundle, str("LSMinimumSystemVersion").get())),
        kCFNumberIntType, &minimum));
    EXPECT_EQ(minimum, 12);
    EXPECT_EQ(CFBundleGetValueForInfoDictionaryKey(m_bundle, str("Missing").get()), nullptr);
}

TEST_F(BundleTest, FindsResourcesInTheResourcesFolderAndThePreferredLocalisation)
{
    struct Case {
        const char* name;
        const char* type;
        const char* subDir;
        const char* found;
    };
    const Case cases[] = {
        {"lib", "mo", "ENG.lproj", "/Contents/Resources/ENG.lproj/lib.mo"},
        {"lib", "mo", "DEU.lproj", "/Contents/Resources/DEU.lproj/lib.mo"},
        {"lib", "mo", "FRA.lproj", "<none>"},
        {"lib", "mo", nullptr, "/Contents/Resources/ENG.lproj/lib.mo"},
        {"app", "css", "skin", "/Contents/Resources/skin/app.css"},
        {"app.css", nullptr, "skin", "/Contents/Resources/skin/app.css"},
        {"skin", nullptr, nullptr, "/Contents/Resources/skin"},
        {"only", "txt", nullptr, "<none>"},
        {nullptr, "mo", nullptr, "<none>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resource(c.name, c.type, c.subDir), c.found)
            << (c.name ? c.name : "null") << "." << (c.type ? c.type : "") << " in " << (c.subDir ? c.subDir : "");

    Owned<CFURLRef> resources(CFBundleCopyResourcesDirectoryURL(m_bundle));
    Owned<CFStringRef> path(CFURLCopyFileSystemPath(resources.get(), kCFURLPOSIXPathStyle));
    EXPECT_EQ(utf8(path.get()), m_copy.bundlePath() + "/Contents/Resources");
}

TEST_F(BundleTest, LocalisationsFollowTheLanguageEnvironment)
{
    Owned<CFArrayRef> localizations(CFBundleCopyBundleLocalizations(m_bundle));
    ASSERT_EQ(CFArrayGetCount(localizations.get()), 2);
    EXPECT_EQ(utf8(CFArrayGetValueAtIndex(localizations.get(), 0)), "DEU");
    EXPECT_EQ(utf8(CFArrayGetValueAtIndex(localizations.get(), 1)), "ENG");

    struct Case {
        const char* language;
        const char* lang;
        const char* first;
    };
    const Case cases[] = {
        {nullptr, "de_AT.UTF-8", "DEU"}, {nullptr, "fr_FR.UTF-8", "ENG"},
        {"fr:de", "en_US.UTF-8", "DEU"}, {"de", "C", "ENG"},
        {nullptr, nullptr, "ENG"},
    };
    for (const Case& c : cases) {
        ScopedEnv language("LANGUAGE", c.language);
        ScopedEnv lang("LANG", c.lang);
        Owned<CFArrayRef> preferred(CFBundleCopyPreferredLocalizationsFromArray(localizations.get()));
        EXPECT_EQ(utf8(CFArrayGetValueAtIndex(preferred.get(), 0)), c.first)
            << (c.language ? c.language : "-") << " " << (c.lang ? c.lang : "-");
    }
    ScopedEnv german("LANG", "de_DE.UTF-8");
    EXPECT_EQ(resource("only", "txt", nullptr), "/Contents/Resources/DEU.lproj/only.txt");
}

TEST_F(BundleTest, LocalisedStringsComeFromThePreferredStringsTable)
{
    std::ofstream(m_copy.bundlePath() + "/Contents/Resources/ENG.lproj/Localizable.strings")
        << "/* menus */\n\"About\" = \"About\";\n\"Quit\" = \"Leave \\\"now\\\"\";\n\"Broken\" = \"open\n";
    std::ofstream(m_copy.bundlePath() + "/Contents/Resources/ENG.lproj/Menus.strings") << "\"Quit\" = \"Exit\";\n";
    auto localised = [&](const char* key, const char* value, const char* table) {
        Owned<CFStringRef> text(CFBundleCopyLocalizedString(
            m_bundle, str(key).get(), value ? str(value).get() : nullptr, table ? str(table).get() : nullptr));
        return utf8(text.get());
    };
    EXPECT_EQ(localised("Quit", "", nullptr), "Leave \"now\"");
    EXPECT_EQ(localised("Quit", nullptr, "Menus"), "Exit");
    EXPECT_EQ(localised("Hide", "", nullptr), "Hide");
    EXPECT_EQ(localised("Hide", "Verbergen", nullptr), "Verbergen");
    EXPECT_EQ(localised("Broken", nullptr, nullptr), "Broken");
    EXPECT_EQ(localised("Quit", nullptr, "NoSuchTable"), "Quit");
}

TEST_F(BundleTest, PackageInfoComesFromTheInfoPlist)
{
    Owned<CFURLRef> url(CFBundleCopyBundleURL(m_bundle));
    UInt32 type = 0, creator = 0;
    EXPECT_TRUE(CFBundleGetPackageInfoInDirectory(url.get(), &type, &creator));
    EXPECT_EQ(type, 0x4150504Cu); // APPL
    EXPECT_EQ(creator, 0x54545454u); // TTTT
    Owned<CFURLRef> plain(CFURLCreateWithFileSystemPath(
        kCFAllocatorDefault, str(m_copy.bundlePath() + "/Contents/Resources").get(), kCFURLPOSIXPathStyle, true));
    EXPECT_FALSE(CFBundleGetPackageInfoInDirectory(plain.get(), &type, &creator));
}

TEST_F(BundleTest, MissingFolderGivesNoBundle)
{
    Owned<CFURLRef> url(CFURLCreateWithFileSystemPath(kCFAllocatorDefault, str(m_copy.bundlePath() + "x").get(),
                                                      kCFURLPOSIXPathStyle, true));
    EXPECT_EQ(CFBundleCreate(kCFAllocatorDefault, url.get()), nullptr);
}

TEST(Bundle, BundleOfAnExecutableIsThreeLevelsAboveIt)
{
    struct Case {
        const char* executable;
        const char* bundle;
    };
    const Case cases[] = {
        {"/opt/T.app/Contents/MacOS/T", "/opt/T.app"},
        {"/a/Contents/MacOS/b/T", ""},
        {"/usr/bin/tool", ""},
        {"/opt/X.app/Contents/MacOS/", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Bundle::bundlePathForExecutable(c.executable), c.bundle) << c.executable;
    EXPECT_EQ(CFBundleGetMainBundle(), nullptr); // the test program lies in no bundle
}

TEST(Locale, PreferredLanguagesFollowTheGettextOrder)
{
    struct Case {
        Locale::Environment environment;
        std::vector<std::string> languages;
        const char* current;
    };
    const Case cases[] = {
        {{"", "", "", "de_AT.UTF-8"}, {"de-AT"}, "de_AT"},
        {{"fr_CA:de", "", "", "it_IT.UTF-8"}, {"fr-CA", "de", "it-IT"}, "it_IT"},
        {{"", "ja_JP.UTF-8", "de_DE", "en_US"}, {"ja-JP"}, "ja_JP"},
        {{"", "", "es_ES@euro", "en_US"}, {"es-ES"}, "es_ES"},
        {{"de", "", "", "C"}, {"en"}, "en_US_POSIX"},
        {{"", "", "", ""}, {"en"}, "en_US_POSIX"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Locale::preferredLanguages(c.environment), c.languages) << c.environment.lang;
        EXPECT_EQ(Locale::currentIdentifier(c.environment), c.current) << c.environment.lang;
    }
}

TEST(PropertyList, MalformedListsGiveNothing)
{
    const char* const texts[] = {
        "<plist><dict><key>a</key></dict></plist>",
        "<plist><dict><string>b</string></dict></plist>",
        "<plist><dict><key>a</key><string>b</string>",
        "<plist><integer>12x</integer></plist>",
        "not xml",
    };
    for (const char* text : texts)
        EXPECT_EQ(platform::cf::PropertyList::parseXML(text), nullptr) << text;
    Owned<CFTypeRef> real(platform::cf::PropertyList::parseXML("<plist><real>-1.5e1</real></plist>"));
    double value = 0;
    EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(real.get()), kCFNumberDoubleType, &value));
    EXPECT_EQ(value, -15.0);
}

} // namespace
