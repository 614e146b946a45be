#include "FEN/FileDialog.h"
#include "BAS/FileTypeDescr.h"
#include "BAS/FileTypeGroupDescr.h"
#include "BAS/FileTypeManager.h"
#include "platform/headless/TestDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::BAS::FileName;
using CV::BAS::FileTypeManager;
using platform::headless::TestDriver;

class FileDialogTest : public testing::Test {
protected:
    FileDialogTest() { FileTypeManager::init(); }
    ~FileDialogTest() override { FileTypeManager::deInit(); }

    platform::peer::PanelOptions const& lastPanel() const { return driver.panelsShown().back(); }

    TestDriver driver;
};

TEST_F(FileDialogTest, EachActionConfiguresItsPanelAndTypesItsResult)
{
    struct Case {
        FileDialog::eFileAction action;
        std::string path;
        bool save;
        bool files;
        bool folders;
        bool createFolders;
        const char* prompt;
        const char* type;
    };
    const Case cases[] = {
        {FileDialog::eOpenFile, "/tmp/fd/song.wav", false, true, false, false, "", "WAV File"},
        {FileDialog::eSaveFile, "/tmp/fd/out.png", true, true, false, true, "", "PNG File"},
        {FileDialog::eChooseFolder, "/tmp/fd/folder.wav", false, false, true, true, "Choose", "Directory"},
    };
    for (Case const& c : cases) {
        FileDialog dialog;
        dialog.setCaption("Pick one");
        driver.answerPanel(true, {c.path});
        ASSERT_TRUE(dialog.doModal(c.action, nullptr)) << c.action;
        auto const& panel = lastPanel();
        EXPECT_EQ(panel.save, c.save) << c.action;
        EXPECT_EQ(panel.title, "Pick one");
        EXPECT_EQ(panel.canChooseFiles, c.files) << c.action;
        EXPECT_EQ(panel.canChooseDirectories, c.folders) << c.action;
        EXPECT_EQ(panel.canCreateDirectories, c.createFolders) << c.action;
        EXPECT_EQ(panel.prompt, c.prompt) << c.action;
        EXPECT_FALSE(panel.allowsMultipleSelection);
        EXPECT_EQ(dialog.getFileName().getFilesystemPath().string(), c.path) << c.action;
        ASSERT_NE(dialog.getFileName().type, nullptr) << c.action;
        EXPECT_EQ(dialog.getFileName().type->name, c.type) << c.action;
    }
}

TEST_F(FileDialogTest, CancelOrNoUsableAnswerLeavesNoResult)
{
    FileDialog dialog;
    driver.answerPanel(true, {"/tmp/fd/first.wav"});
    ASSERT_TRUE(dialog.doModal(FileDialog::eOpenFile, nullptr));
    ASSERT_FALSE(dialog.getFileName().full.empty());

    driver.answerPanel(false);
    EXPECT_FALSE(dialog.doModal(FileDialog::eOpenFile, nullptr));
    EXPECT_TRUE(dialog.getFileName().full.empty());

    // Confirmed without any file: a failure, not an empty success.
    driver.answerPanel(true, {});
    EXPECT_FALSE(dialog.doModal(FileDialog::eSaveFile, nullptr));
    EXPECT_TRUE(dialog.getFileName().full.empty());

    const std::size_t shown = driver.panelsShown().size();
    EXPECT_FALSE(dialog.doModal(FileDialog::eFileAction(3), nullptr));
    EXPECT_EQ(driver.panelsShown().size(), shown);
}

TEST_F(FileDialogTest, TypeGroupsBecomeExtensionFilters)
{
    auto const* audio = FileTypeManager::getStdGroup(FileTypeManager::eGroupAudio);
    auto const* all = FileTypeManager::getStdGroup(FileTypeManager::eGroupAllFiles);
    std::vector<std::string> audioExtensions;
    for (auto const* type : audio->types)
        audioExtensions.insert(audioExtensions.end(), type->extensions.begin(), type->extensions.end());
    ASSERT_FALSE(audioExtensions.empty());

    struct Case {
        std::vector<CV::BAS::FileTypeGroupDescr const*> groups;
        FileDialog::eFileAction action;
        std::vector<std::string> allowed;
        bool others;
    };
    const Case cases[] = {
        {{audio, all}, FileDialog::eOpenFile, audioExtensions, true},
        {{audio}, FileDialog::eSaveFile, audioExtensions, false},
        {{all}, FileDialog::eOpenFile, {}, false},
        {{audio}, FileDialog::eChooseFolder, {}, false},
    };
    for (Case const& c : cases) {
        FileDialog dialog;
        dialog.m_vecTypeGroups = c.groups;
        driver.answerPanel(false);
        dialog.doModal(c.action, nullptr);
        EXPECT_EQ(lastPanel().allowedTypes, c.allowed) << c.groups.size() << " " << c.action;
        EXPECT_EQ(lastPanel().allowsOtherTypes, c.others) << c.groups.size() << " " << c.action;
    }
}

TEST_F(FileDialogTest, SaveStartsInTheFolderAndNamesAStartFile)
{
    struct Case {
        FileName start;
        const char* nameField;
    };
    const Case cases[] = {
        {FileName(boost::filesystem::path("/tmp/fd/")), ""},
        {FileName(boost::filesystem::path("/tmp/fd/report.txt")), "report.txt"},
    };
    for (Case const& c : cases) {
        FileDialog dialog;
        dialog.setInitialFileOrDirectory(c.start);
        dialog.m_bShowExtension = true;
        driver.answerPanel(false);
        dialog.doModal(FileDialog::eSaveFile, nullptr);
        EXPECT_EQ(lastPanel().directory, "/tmp/fd") << c.nameField;
        EXPECT_EQ(lastPanel().nameField, c.nameField);
        EXPECT_FALSE(lastPanel().extensionHidden);
    }
}

} // namespace
