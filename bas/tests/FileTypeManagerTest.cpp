#include "BAS/FileTypeManager.h"

#include <gtest/gtest.h>

#include <string>

using CV::BAS::FileTypeDescr;
using CV::BAS::FileTypeGroupDescr;
using CV::BAS::FileTypeMacMagic;
using CV::BAS::FileTypeManager;
using CV::BAS::makeFileTypeMacMagic;

namespace {

class FileTypeManagerTest : public ::testing::Test {
protected:
    void SetUp() override { FileTypeManager::deInit(); }
    void TearDown() override { FileTypeManager::deInit(); }

    static std::string nameOf(const FileTypeDescr* type) { return type ? type->name : std::string("(null)"); }
};

FileTypeMacMagic code(const char (&text)[5])
{
    return makeFileTypeMacMagic(text[0], text[1], text[2], text[3]);
}

} // namespace

TEST_F(FileTypeManagerTest, LookupsBeforeInitAfterInitAndAfterDeInit)
{
    struct Case {
        const char* extension; // null: look up the code instead
        FileTypeMacMagic code;
        const char* afterInit;
    };
    const Case cases[] = {
        {"WAV", 0, "WAV File"},
        {"wav", 0, "WAV File"},
        {"JpG", 0, "JPEG File"},
        {"jfif", 0, "JPEG File"},
        {"aiff", 0, "AIFF File"},
        {"*", 0, "(null)"},
        {"nope", 0, "Unknown"},
        {"", 0, "Unknown"},
        {"w\xFF"
         "av",
         0, "Unknown"},
        {"\xC3", 0, "Unknown"},
        {nullptr, code("????"), "Unknown"},
        {nullptr, code("WAV "), "WAV File"},
        {nullptr, code(".WAV"), "WAV File"},
        {nullptr, code("aPcs"), "Dynamic Link Library"},
        {nullptr, code("APPL"), "Executable File"},
        {nullptr, code("zzzz"), "Unknown"},
    };
    auto lookUp = [](const Case& c) {
        return c.extension ? FileTypeManager::getUniqueTypeForExtension(c.extension)
                           : FileTypeManager::getUniqueTypeForMacMagic(c.code);
    };
    for (const Case& c : cases)
        EXPECT_EQ(lookUp(c), nullptr) << "before init: " << (c.extension ? c.extension : "code");

    ASSERT_TRUE(FileTypeManager::init());
    for (const Case& c : cases)
        EXPECT_EQ(nameOf(lookUp(c)), c.afterInit) << (c.extension ? c.extension : "code");

    FileTypeManager::deInit();
    for (const Case& c : cases)
        EXPECT_EQ(lookUp(c), nullptr) << "after deInit: " << (c.extension ? c.extension : "code");
    for (int i = 0; i < FileTypeManager::eNumStdFileTypes; ++i)
        EXPECT_EQ(FileTypeManager::getStdType(FileTypeManager::eStdFileType(i)), nullptr);
    for (int i = 0; i < FileTypeManager::eNumStdGroupTypes; ++i)
        EXPECT_EQ(FileTypeManager::getStdGroup(FileTypeManager::eStdGroupType(i)), nullptr);
}

TEST_F(FileTypeManagerTest, InitBuildsTheStandardSetOnce)
{
    ASSERT_TRUE(FileTypeManager::init());
    ASSERT_TRUE(FileTypeManager::init());
    EXPECT_EQ(FileTypeManager::s_registeredTypes.size(), 16u);
    EXPECT_EQ(FileTypeManager::s_registeredGroups.size(), 20u);

    // Every type has its own group, in type order, holding just that type.
    for (std::size_t i = 0; i < 16; ++i) {
        const FileTypeDescr* type = FileTypeManager::s_registeredTypes[i].get();
        EXPECT_EQ(FileTypeManager::getStdType(FileTypeManager::eStdFileType(i)), type);
        EXPECT_EQ(type->group, FileTypeManager::s_registeredGroups[i].get());
        EXPECT_EQ(type->group->types, std::vector<const FileTypeDescr*>{type});
    }
    const FileTypeDescr* jpeg = FileTypeManager::getStdType(FileTypeManager::eJPEG);
    EXPECT_EQ(jpeg->extensions, (std::vector<std::string>{"jpeg", "jpg", "jpe", "jfif", "jif"}));
    const FileTypeDescr* wav = FileTypeManager::getStdType(FileTypeManager::eWAV);
    EXPECT_EQ(wav->macMagics, (std::vector<FileTypeMacMagic>{code("WAVE"), code("WAV "), code(".WAV")}));

    struct GroupCase {
        FileTypeManager::eStdGroupType group;
        const char* name;
        const char* pluralName;
        std::vector<FileTypeManager::eStdFileType> members;
    };
    const GroupCase groups[] = {
        {FileTypeManager::eGroupAllFiles, "Unknown", "All Files", {FileTypeManager::eUnknown}},
        {FileTypeManager::eGroupAudio,
         "Audio File",
         "Audio Files",
         {FileTypeManager::eWAV, FileTypeManager::eAIFF, FileTypeManager::eSD2}},
        {FileTypeManager::eGroupSample, "Sample File", "Sample Files", {}},
        {FileTypeManager::eGroupBitmap, "Bitmap File", "Bitmap Files", {}},
        {FileTypeManager::eGroupMidi, "Midi Sequence", "Midi Sequences", {FileTypeManager::eMIDI}},
    };
    for (const GroupCase& g : groups) {
        const FileTypeGroupDescr* group = FileTypeManager::getStdGroup(g.group);
        ASSERT_NE(group, nullptr) << g.name;
        EXPECT_EQ(group->name, g.name);
        EXPECT_EQ(group->pluralName, g.pluralName);
        std::vector<const FileTypeDescr*> expected;
        for (auto member : g.members)
            expected.push_back(FileTypeManager::getStdType(member));
        EXPECT_EQ(group->types, expected) << g.name;
    }
    EXPECT_NE(FileTypeManager::getStdGroup(FileTypeManager::eGroupBitmap),
              FileTypeManager::getStdType(FileTypeManager::eBitmap)->group);
    EXPECT_EQ(FileTypeManager::getGroupDescrFor(nullptr),
              FileTypeManager::getStdGroup(FileTypeManager::eGroupAllFiles));
    const FileTypeGroupDescr* audio = FileTypeManager::getStdGroup(FileTypeManager::eGroupAudio);
    EXPECT_EQ(FileTypeManager::getGroupDescrFor(audio), audio);
}

TEST_F(FileTypeManagerTest, RegisteringNeedsAnOpenRegistration)
{
    EXPECT_EQ(FileTypeManager::registerType("Text", "Texts", "txt", code("TEXT")), nullptr);
    EXPECT_EQ(FileTypeManager::registerGroup("Texts", "Texts"), nullptr);
    ASSERT_TRUE(FileTypeManager::init());
    // init closes its registration again.
    EXPECT_EQ(FileTypeManager::registerType("Text", "Texts", "txt", code("TEXT")), nullptr);
    EXPECT_EQ(FileTypeManager::registerGroup("Texts", "Texts"), nullptr);

    const FileTypeDescr* png = FileTypeManager::getStdType(FileTypeManager::ePNG);
    FileTypeManager::registerExtensionForType("apng", png);
    EXPECT_EQ(nameOf(FileTypeManager::getUniqueTypeForExtension("APNG")), "PNG File");
    FileTypeDescr stranger;
    FileTypeManager::registerExtensionForType("xyz", &stranger);
    EXPECT_TRUE(stranger.extensions.empty());
}

TEST_F(FileTypeManagerTest, UnregisterUndoesOnlyTheLatestRegistration)
{
    ASSERT_TRUE(FileTypeManager::init());
    const FileTypeManager::RegistrationHandle stale[] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    for (FileTypeManager::RegistrationHandle handle : stale) {
        FileTypeManager::unregister(handle);
        EXPECT_EQ(FileTypeManager::s_registeredTypes.size(), 16u);
        EXPECT_EQ(FileTypeManager::s_registeredGroups.size(), 20u);
    }
    FileTypeManager::RegistrationHandle latest = FileTypeManager::s_stdRegistration;
    FileTypeManager::unregister(latest);
    EXPECT_TRUE(FileTypeManager::s_registeredTypes.empty());
    EXPECT_TRUE(FileTypeManager::s_registeredGroups.empty());
    EXPECT_EQ(latest.number, -1);
    EXPECT_EQ(FileTypeManager::s_registrationCount, 0);
}
