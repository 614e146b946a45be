#include "BAS/FileName.h"
#include "BAS/FileTypeManager.h"

#include "platform/volumes/MountTableSource.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

using CV::BAS::FileName;
using CV::BAS::FileTypeDescr;
using CV::BAS::FileTypeManager;

namespace {

// A temporary tree of files and folders, named through a mount table of the
// test's own.
class FileTypeDeterminationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FileTypeManager::init();
        m_root = m_temporary.string();
        std::filesystem::create_directories(m_root + "/folder.wav");
        std::filesystem::create_directories(m_root + "/plain");
        for (const char* file : {"sound.wav", "notes.qqq", "README", "pack.wav", "pack.qqq"})
            std::ofstream(m_root + "/" + file) << "data";
        std::ofstream(m_root + "/mounts") << "/dev/sda1 / ext4 rw 0 0\n";
        m_table = std::make_unique<platform::volumes::MountTableSource::ScopedPath>(m_root + "/mounts");
    }
    void TearDown() override
    {
        m_table.reset();
        FileTypeManager::deInit();
    }

    std::string colon(const std::string& relative) const
    {
        std::string path = m_root + "/" + relative;
        std::replace(path.begin(), path.end(), '/', ':');
        return "Computer" + path;
    }
    static const FileTypeDescr* std(FileTypeManager::eStdFileType type) { return FileTypeManager::getStdType(type); }

    CV::test::TemporaryFolder m_temporary{"type-test"};
    std::string m_root;
    std::unique_ptr<platform::volumes::MountTableSource::ScopedPath> m_table;
};

TEST_F(FileTypeDeterminationTest, TypeFromTheExtensionOrTheItem)
{
    struct Case {
        const char* label;
        std::string path;
        const FileTypeDescr* before;
        bool changed;
        const FileTypeDescr* after;
    };
    const FileTypeDescr* wav = std(FileTypeManager::eWAV);
    const FileTypeDescr* png = std(FileTypeManager::ePNG);
    const Case cases[] = {
        {"existing file, known extension", colon("sound.wav"), nullptr, true, wav},
        {"the same type again", colon("sound.wav"), wav, false, wav},
        {"another type before", colon("sound.wav"), png, true, wav},
        {"existing file, extension of no type", colon("notes.qqq"), png, false, png},
        {"existing file without extension", colon("README"), nullptr, false, nullptr},
        {"missing file, known extension", colon("missing.wav"), nullptr, true, wav},
        {"missing file, extension of no type", colon("missing.qqq"), nullptr, false, nullptr},
        {"container without the item, known extension", colon("pack.wav<inner.png"), nullptr, true, wav},
        {"container without the item, no type", colon("pack.qqq<inner.png"), png, false, png},
    };
    for (const Case& c : cases) {
        FileName name(c.path);
        ASSERT_EQ(name.mode, FileName::eFile) << c.label;
        name.type = c.before;
        EXPECT_EQ(FileTypeManager::determineType(name), c.changed) << c.label;
        EXPECT_EQ(name.type, c.after) << c.label;
    }
}

TEST_F(FileTypeDeterminationTest, OnlyFileNamesGetATypeHere)
{
    const std::string paths[] = {colon("folder.wav") + ":", colon("plain") + ":", "Computer"};
    for (const std::string& path : paths) {
        FileName name(path);
        ASSERT_NE(name.mode, FileName::eFile) << path;
        const FileTypeDescr* before = name.type;
        EXPECT_FALSE(FileTypeManager::determineType(name)) << path;
        EXPECT_EQ(name.type, before) << path;
    }
}

} // namespace
