// The skin resource manager, lazy pictures and style sheets over a skin laid
// out in a temporary folder beside a stand-in bundle.
#include "StagedBundle.h"
#include "StyleDump.h"
#include "WidgetFixture.h"

#include "TOV/Lib.h"
#include "TOV/ManagerContainer.h"
#include "TOV/StyleParser2.h"
#include "TOV/StyleSheet.h"
#include "TOV/StyleSheetManager.h"

#include "BAS/FileTypeManager.h"
#include "BAS/Stream.h"
#include "FEN/Font.h"
#include "FEN/FontEngine.h"
#include "FEN/Picture.h"
#include "VarantoTest/TemporaryFolder.h"
#include "bas/tests/ContainerWriter.h"
#include "fen/tests/ImageFixtures.h"
#include "platform/resources/ResourceMap.h"
#include "style/SkinFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <tuple>

namespace CV::TOV {
namespace {

using Testing::LogCapture;
using Lines = std::vector<std::string>;

// An uncompressed 32-bit picture file, rows from the top.
std::string tgaFile(int width, int height)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = char(width & 0xFF);
    bytes[13] = char(width >> 8);
    bytes[14] = char(height & 0xFF);
    bytes[15] = char(height >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (int i = 0; i < width * height; ++i)
        bytes += std::string("\x10\x20\x30\xFF", 4);
    return bytes;
}

std::string contentOf(std::shared_ptr<BAS::Stream> const& stream)
{
    if (!stream)
        return "(none)";
    std::string text(64, '\0');
    text.resize(stream->readRaw(text.data(), text.size()));
    return text;
}

std::string colonPath(std::filesystem::path const& path)
{
    return BAS::FileName(boost::filesystem::path(path.string())).full;
}

// A folder with "App.app" (the bundle) and "work" (the working directory);
// the skin search is switched on while it lives.
class SkinFixture : public testing::Test {
protected:
    SkinFixture() { Lib::setSearchSkinDirectory(true); }
    ~SkinFixture() override { Lib::setSearchSkinDirectory(false); }

    ManagerContainer::tLocations locations() const
    {
        ManagerContainer::tLocations where;
        std::string const bundle = folder.folder("App.app");
        std::string const work = folder.folder("work");
        where.bundlePath = [bundle] { return boost::filesystem::path(bundle); };
        where.currentDirectory = [work](BAS::FileName& name) {
            name = BAS::FileName(boost::filesystem::path(work));
            return true;
        };
        return where;
    }
    test::TemporaryFolder folder{"skin"};
    std::string const inBundle = "App.app/Contents/Resources/skin";
};

struct LocationCase {
    char const* name;
    bool beside, work, bundle;
    std::string opened;
};

class SkinLocations : public SkinFixture, public testing::WithParamInterface<LocationCase> { };

TEST_P(SkinLocations, FirstFolderFoundServesEveryResource)
{
    LocationCase const& c = GetParam();
    if (c.beside)
        folder.write("skin/pictures/buttons/ok.png", "beside");
    if (c.work)
        folder.write("work/skin/pictures/buttons/ok.png", "work");
    if (c.bundle)
        folder.write(inBundle + "/pictures/buttons/ok.png", "bundle");
    LogCapture log;
    ManagerContainer container(locations());
    testing::internal::CaptureStderr();
    EXPECT_EQ(contentOf(container.getResourceStream("buttons/ok.png", ManagerContainer::ePicture, true)), c.opened);
    Lib::setSearchSkinDirectory(!Lib::getSearchSkinDirectory()); // decided already: no effect
    EXPECT_EQ(contentOf(container.getResourceStream("buttons/ok.png", ManagerContainer::ePicture, true)), c.opened);
    std::string const written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(container.getResourceMode(),
              (c.beside || c.work) ? ManagerContainer::eSkinFolder : ManagerContainer::eBundle);
    EXPECT_EQ(log.lines, Lines());
    std::string const used = c.beside ? folder.at("skin") : folder.at("work/skin");
    EXPECT_EQ(written,
              (c.beside || c.work) ? "skin: using the skin folder " + used + " in place of the bundle's skin\n"
                                   : std::string());
}

INSTANTIATE_TEST_SUITE_P(Table, SkinLocations,
                         testing::Values(LocationCase{"besideBundle", true, true, true, "beside"},
                                         LocationCase{"workingDirectory", false, true, true, "work"},
                                         LocationCase{"bundle", false, false, true, "bundle"}),
                         [](auto const& info) { return std::string(info.param.name); });

// A skin folder in the working directory that another user put there or
// that others may change is passed over, with one line; the bundle's skin
// serves. An installed skin beside the bundle belongs to root.
struct SkinOwnerCase {
    char const* name;
    char const* skin;
    uid_t owner;
    mode_t mode;
    std::string opened;
    std::string said; // after the folder's path
};

void PrintTo(SkinOwnerCase const& c, std::ostream* os)
{
    *os << c.name;
}

class SkinFolderOwners : public SkinFixture, public testing::WithParamInterface<SkinOwnerCase> { };

TEST_P(SkinFolderOwners, OnlyTheUsersOrRootsUnchangeableFolderIsUsed)
{
    SkinOwnerCase const& c = GetParam();
    if (c.owner != ::geteuid() && ::geteuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    folder.write(std::string(c.skin) + "/pictures/buttons/ok.png", "skin");
    folder.write(inBundle + "/pictures/buttons/ok.png", "bundle");
    std::string const skin = folder.at(c.skin);
    ASSERT_EQ(::chown(skin.c_str(), c.owner, c.owner), 0);
    ASSERT_EQ(::chmod(skin.c_str(), c.mode), 0);
    ASSERT_EQ(::chmod(std::filesystem::path(skin).parent_path().c_str(), 0755), 0);
    ManagerContainer container(locations());
    testing::internal::CaptureStderr();
    EXPECT_EQ(contentOf(container.getResourceStream("buttons/ok.png", ManagerContainer::ePicture, true)), c.opened);
    EXPECT_EQ(contentOf(container.getResourceStream("buttons/ok.png", ManagerContainer::ePicture, true)), c.opened);
    std::string said = c.said;
    said.replace(said.find("{}"), 2, skin);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "skin: " + said + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, SkinFolderOwners,
    testing::Values(
        SkinOwnerCase{"theUsersOwn", "work/skin", ::geteuid(), 0755, "skin",
                      "using the skin folder {} in place of the bundle's skin"},
        SkinOwnerCase{"installedBesideTheBundle", "skin", 0, 0755, "skin",
                      "using the skin folder {} in place of the bundle's skin"},
        SkinOwnerCase{"anotherUsers", "work/skin", 65534, 0755, "bundle",
                      "not using the skin folder {}: it belongs to another user (uid 65534); the bundle's skin serves"},
        SkinOwnerCase{"writableByAll", "work/skin", ::geteuid(), 0777, "bundle",
                      "not using the skin folder {}: others may write to it (mode 0777); the bundle's skin serves"},
        SkinOwnerCase{"writableByTheGroup", "work/skin", ::geteuid(), 0775, "bundle",
                      "not using the skin folder {}: others may write to it (mode 0775); the bundle's skin serves"}),
    [](auto const& info) { return std::string(info.param.name); });

TEST_F(SkinFixture, MissingResourcesAreReportedWithThePathTried)
{
    {
        LogCapture log;
        ManagerContainer container(locations());
        EXPECT_EQ(container.getResourceStream("buttons/none.png", ManagerContainer::ePicture, true), nullptr);
        EXPECT_EQ(container.getResourceStream("buttons/none.png", ManagerContainer::ePicture, false), nullptr);
        EXPECT_EQ(
            log.lines,
            Lines({"TOV::ManagerContainer::getResourceStream - warning: can't load resource buttons:none.png from "
                   "app bundle",
                   "TOV::ManagerContainer::getResourceStream - can't load linked resource buttons/none.png"}));
    }
    folder.folder("work/skin");
    LogCapture log;
    ManagerContainer container(locations());
    EXPECT_EQ(container.getResourceStream("none.txt", ManagerContainer::eStyleSheet, true), nullptr);
    EXPECT_EQ(log.lines,
              Lines({"TOV::ManagerContainer::getResourceStream - can't find resource: " +
                     colonPath(folder.path() / "work/skin") + "stylesheets:none.txt"}));
}

// Resource names may climb between the folders of a skin, never out of it: a
// name that leads outside the skin folder it is looked up in is refused as
// missing and named on standard error.
enum class SkinAt { beside, work, bundle };

struct BoundCase {
    char const* name;
    ManagerContainer::eResourceType type;
    std::string opened; // empty: refused
};

void PrintTo(BoundCase const& c, std::ostream* os)
{
    *os << c.name;
}

// The "skin file refused" lines among the lines written to standard error.
Lines refusalsIn(std::string const& written)
{
    Lines refusals;
    std::istringstream lines(written);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("skin file refused: ", 0) == 0)
            refusals.push_back(line);
    return refusals;
}

class SkinFolderFiles : public SkinFixture {
protected:
    std::string skinAt(SkinAt at) const
    {
        return at == SkinAt::beside ? "skin" : at == SkinAt::work ? "work/skin" : inBundle;
    }

    // A resource looked up quietly, then with warnings: what each gave and
    // the refusals each wrote on standard error.
    struct LookedTwice {
        std::string quiet, opened;
        Lines quietRefusals, refusals;
    };
    LookedTwice lookTwice(char const* name, ManagerContainer::eResourceType type) const
    {
        ManagerContainer container(locations());
        LookedTwice looked;
        testing::internal::CaptureStderr();
        looked.quiet = contentOf(container.getResourceStream(name, type, false));
        looked.quietRefusals = refusalsIn(testing::internal::GetCapturedStderr());
        testing::internal::CaptureStderr();
        looked.opened = contentOf(container.getResourceStream(name, type, true));
        looked.refusals = refusalsIn(testing::internal::GetCapturedStderr());
        return looked;
    }

    // The skin's own files and, beside the skin folder, files it must not reach.
    void writeSkin(std::string const& skin)
    {
        folder.write(skin + "/stylesheets/a.txt", "sheet");
        folder.write(skin + "/stylesheets/sub/b.txt", "sub");
        folder.write(skin + "/pictures/p.png", "pic");
        folder.write(skin + "/fonts/f.ttf", "font");
        std::string const beside = std::filesystem::path(skin).parent_path().string();
        folder.write((beside.empty() ? "" : beside + "/") + "secret.txt", "outside");
        folder.write((beside.empty() ? "" : beside + "/") + "skinny/a.txt", "outside");
    }
};

class SkinFolderBounds : public SkinFolderFiles, public testing::WithParamInterface<std::tuple<BoundCase, SkinAt>> { };

TEST_P(SkinFolderBounds, NamesLeadingOutsideAreRefusedAsMissing)
{
    auto const& [c, at] = GetParam();
    writeSkin(skinAt(at));
    LogCapture log;
    auto const [quiet, opened, quietRefusals, refusals] = lookTwice(c.name, c.type);

    EXPECT_EQ(quietRefusals, Lines());
    if (!c.opened.empty()) {
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(quiet, c.opened);
        EXPECT_EQ(refusals, Lines());
        return;
    }
    EXPECT_EQ(opened, "(none)");
    EXPECT_EQ(quiet, "(none)");
    char const* const kinds[] = {"picture", "style sheet", "font"};
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].find(std::string("skin file refused: ") + kinds[c.type] + " " + c.name + " lies outside"), 0u)
        << refusals[0];
    EXPECT_FALSE(log.lines.empty()) << "reported as a missing resource too";
}

template <class Case> std::string boundCaseName(testing::TestParamInfo<std::tuple<Case, SkinAt>> const& info)
{
    static char const* const places[] = {"beside", "work", "bundle"};
    return std::to_string(info.index) + "_" + places[int(std::get<1>(info.param))];
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, SkinFolderBounds, testing::Combine(testing::Values(
    BoundCase{"a.txt", ManagerContainer::eStyleSheet, "sheet"},
    BoundCase{"sub/b.txt", ManagerContainer::eStyleSheet, "sub"},
    BoundCase{"sub::a.txt", ManagerContainer::eStyleSheet, "sheet"},
    BoundCase{"sub/../a.txt", ManagerContainer::eStyleSheet, "sheet"},
    BoundCase{":pictures:p.png", ManagerContainer::eStyleSheet, "pic"},
    BoundCase{"../fonts/f.ttf", ManagerContainer::ePicture, "font"},
    BoundCase{"::secret.txt", ManagerContainer::eStyleSheet, ""},
    BoundCase{"::secret.txt", ManagerContainer::ePicture, ""},
    BoundCase{"::secret.txt", ManagerContainer::eFont, ""},
    BoundCase{"../../secret.txt", ManagerContainer::eStyleSheet, ""},
    BoundCase{"sub/:::secret.txt", ManagerContainer::eStyleSheet, ""},
    BoundCase{"::skinny:a.txt", ManagerContainer::eStyleSheet, ""},
    BoundCase{"::secret.txt<item", ManagerContainer::eStyleSheet, ""},
    BoundCase{"::::::::::::::::etc:passwd", ManagerContainer::eStyleSheet, ""}),
    testing::Values(SkinAt::beside, SkinAt::work, SkinAt::bundle)), boundCaseName<BoundCase>);
// clang-format on

// A symbolic link inside a skin folder is followed only as far as the
// folder goes: a name is read when its real path lies inside the real skin
// folder, and refused like a name leading outside on its text otherwise.
struct LinkCase {
    char const* name;
    ManagerContainer::eResourceType type;
    std::string opened; // "(none)": missing, no refusal
    char const* leadsTo; // below the temporary folder; null: not refused
};

void PrintTo(LinkCase const& c, std::ostream* os)
{
    *os << c.name;
}

class SkinFolderLinks : public SkinFolderFiles, public testing::WithParamInterface<std::tuple<LinkCase, SkinAt>> {
protected:
    // Links from the skin folder to the files around it: absolute and
    // relative, to files and folders, inside and outside.
    void writeLinks(std::string const& skin)
    {
        writeSkin(skin);
        folder.write(skin + "/stylesheets/secret.txt", "inside");
        folder.write("outside/secret.txt", "outside");
        folder.write("outside/dir/a.txt", "outside dir");
        std::filesystem::path const sheets = folder.path() / skin / "stylesheets";
        auto link = [&](std::filesystem::path const& from, std::filesystem::path const& to, bool relative) {
            std::filesystem::create_symlink(relative ? std::filesystem::relative(to, from.parent_path()) : to, from);
        };
        link(sheets / "toFile", folder.path() / "outside/secret.txt", false);
        link(sheets / "toFileRel", folder.path() / "outside/secret.txt", true);
        link(sheets / "toDir", folder.path() / "outside/dir", false);
        link(sheets / "toDirRel", folder.path() / "outside/dir", true);
        link(sheets / "inside", folder.path() / skin / "pictures/p.png", true);
        link(sheets / "insideDir", sheets / "sub", true);
        link(sheets / "absInside", sheets / "a.txt", false);
        link(sheets / "dangling", sheets / "nowhere.txt", true);
        link(folder.path() / skin / "pictures/pl.png", folder.path() / "outside/secret.txt", false);
        link(folder.path() / skin / "fonts/fl.ttf", folder.path() / "outside/dir", true);
    }
};

TEST_P(SkinFolderLinks, AreFollowedOnlyInsideTheSkinFolder)
{
    auto const& [c, at] = GetParam();
    std::string const skin = skinAt(at);
    writeLinks(skin);
    LogCapture log;
    auto const [quiet, opened, quietRefusals, refusals] = lookTwice(c.name, c.type);

    bool const refused = c.leadsTo != nullptr;
    EXPECT_EQ(quiet, refused ? "(none)" : c.opened);
    EXPECT_EQ(opened, quiet);
    EXPECT_EQ(quietRefusals, Lines());
    if (!refused) {
        EXPECT_EQ(refusals, Lines());
        return;
    }
    char const* const kinds[] = {"picture", "style sheet", "font"};
    EXPECT_EQ(
        refusals,
        Lines({std::string("skin file refused: ") + kinds[c.type] + " " + c.name + " lies outside the skin folder " +
               folder.at(skin) + " (it leads to " + folder.at(c.leadsTo) + ")"}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, SkinFolderLinks, testing::Combine(testing::Values(
    LinkCase{"toFile", ManagerContainer::eStyleSheet, "", "outside/secret.txt"},
    LinkCase{"toFileRel", ManagerContainer::eStyleSheet, "", "outside/secret.txt"},
    LinkCase{"toDir/a.txt", ManagerContainer::eStyleSheet, "", "outside/dir/a.txt"},
    LinkCase{"toDirRel/a.txt", ManagerContainer::eStyleSheet, "", "outside/dir/a.txt"},
    LinkCase{"toDir/../secret.txt", ManagerContainer::eStyleSheet, "", "outside/secret.txt"},
    LinkCase{"toDirRel::secret.txt", ManagerContainer::eStyleSheet, "", "outside/secret.txt"},
    LinkCase{"pl.png", ManagerContainer::ePicture, "", "outside/secret.txt"},
    LinkCase{"fl.ttf", ManagerContainer::eFont, "", "outside/dir"},
    LinkCase{"inside", ManagerContainer::eStyleSheet, "pic", nullptr},
    LinkCase{"insideDir/b.txt", ManagerContainer::eStyleSheet, "sub", nullptr},
    LinkCase{"absInside", ManagerContainer::eStyleSheet, "sheet", nullptr},
    LinkCase{"insideDir/../secret.txt", ManagerContainer::eStyleSheet, "inside", nullptr},
    LinkCase{"dangling", ManagerContainer::eStyleSheet, "(none)", nullptr}),
    testing::Values(SkinAt::beside, SkinAt::work, SkinAt::bundle)), boundCaseName<LinkCase>);
// clang-format on

// An item of a container file is read when the container lies inside.
TEST_F(SkinFixture, ContainerItemsAreReadFromContainersInsideOnly)
{
    BAS::FileTypeManager::init();
    containertest::ContainerWriter writer;
    writer.metaText("skin", "pay").toc({{"a", 12, 1, "alpha bytes"}}, 0, true);
    folder.write("work/skin/stylesheets/pack.bin", writer.text());
    folder.write("outside/pack.bin", writer.text());
    std::filesystem::create_symlink(folder.path() / "outside/pack.bin",
                                    folder.path() / "work/skin/stylesheets/out.bin");
    {
        ManagerContainer container(locations());
        testing::internal::CaptureStderr();
        EXPECT_EQ(contentOf(container.getResourceStream("pack.bin<a", ManagerContainer::eStyleSheet, true)),
                  "alpha bytes");
        EXPECT_EQ(contentOf(container.getResourceStream("out.bin<a", ManagerContainer::eStyleSheet, true)), "(none)");
        EXPECT_EQ(refusalsIn(testing::internal::GetCapturedStderr()),
                  Lines({"skin file refused: style sheet out.bin<a lies outside the skin folder " +
                         folder.at("work/skin") + " (it leads to " + folder.at("outside/pack.bin") + ")"}));
    }
    BAS::FileTypeManager::deInit();
}

TEST_F(SkinFixture, ASkinFolderThatIsALinkServesTheFilesOfItsTarget)
{
    folder.write("elsewhere/skin/stylesheets/a.txt", "sheet");
    folder.folder("work");
    std::filesystem::create_directory_symlink("../elsewhere/skin", folder.path() / "work/skin");
    std::filesystem::create_symlink("a.txt", folder.path() / "elsewhere/skin/stylesheets/b.txt");
    ManagerContainer container(locations());
    testing::internal::CaptureStderr();
    EXPECT_EQ(contentOf(container.getResourceStream("a.txt", ManagerContainer::eStyleSheet, true)), "sheet");
    EXPECT_EQ(contentOf(container.getResourceStream("b.txt", ManagerContainer::eStyleSheet, true)), "sheet");
    EXPECT_EQ(refusalsIn(testing::internal::GetCapturedStderr()), Lines());
}

using TEST::StagedBundle;

class SkinWithFonts : public SkinFixture {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(folder.path() / "skin/fonts");
        std::filesystem::copy_file(std::string(VARANTO_TEST_FONT_DIR) + "/test-1000.ttf",
                                   folder.path() / "skin/fonts/t.ttf");
        folder.write("skin/fonts/broken.ttf", "not a font");
        folder.write("skin/pictures/btn.png", tgaFile(4, 6));
        folder.write("skin/pictures/btn@2x.png", tgaFile(7, 7));
        folder.write("skin/pictures/plain.png", tgaFile(3, 2));
        ManagerContainer::tLocations where = locations();
        where.bundle = staged.handle();
        container = std::make_unique<ManagerContainer>(where);
    }

    StagedBundle staged;
    std::unique_ptr<ManagerContainer> container;
};

FEN::Font::CreateData fontData(std::string name, uint32_t resourceId, int size, uint32_t flags)
{
    FEN::Font::CreateData data;
    data.name = std::move(name);
    data.resourceId = resourceId;
    data.size = size;
    data.flags = flags;
    data.engine = FEN::getSystemFontEngine()->handle();
    return data;
}

// Two items of one container file are two sheets: importing both is no
// recursive import.
TEST_F(SkinWithFonts, ItemsOfOneContainerAreImportedAsSheetsOfTheirOwn)
{
    BAS::FileTypeManager::init();
    containertest::ContainerWriter writer;
    writer.metaText("skin", "pay").toc({{"a", 1, 1, "A { width: 1; }"}, {"b", 2, 1, "B { height: 2; }"}}, 0, true);
    folder.write("skin/stylesheets/pack.bin", writer.text());
    folder.write("skin/stylesheets/app.txt", "@import url(\"pack.bin<a\");\n@import url(\"pack.bin<b\");\n");
    LogCapture log;
    container->getStyleSheetManager().loadDefault("app.txt");
    StyleSheet const& sheet = container->getStyleSheetManager().getDefaultSheet();
    EXPECT_EQ(log.lines, Lines());
    EXPECT_EQ(sheet.getRules().size(), 2u);
    EXPECT_EQ(sheet.getLoadedFiles(), std::set<std::string>({"pack.bin<a", "pack.bin<b"}));
    BAS::FileTypeManager::deInit();
}

TEST_F(SkinWithFonts, FontCacheSharesFontsAndRefusesFontsWithoutGlyphs)
{
    FEN::Font::CreateData const skinFont = fontData("t.ttf", 0, 10, 0);
    FEN::Font const* first = container->getFont(skinFont);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(container->getFont(skinFont), first);
    EXPECT_GT(first->getStringWidth("AB"), 0);

    LogCapture log;
    EXPECT_EQ(container->getFont(fontData("missing.ttf", 0, 10, 0)), nullptr);
    EXPECT_EQ(container->getFont(fontData("missing.ttf", 0, 10, 0)), nullptr);
    EXPECT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(container->getFont(fontData("broken.ttf", 0, 10, 0)), nullptr);
    EXPECT_EQ(container->getFont(fontData("Helvetica", 0, 12, FEN::Font::eLoadFromResource)), nullptr);

    FEN::Font const* fallback = container->getFontOrDefault(fontData("missing.ttf", 0, 10, 0));
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback, container->getFont(container->getDefaultFontData()));
    EXPECT_EQ(fallback->getSize(), 12);
    EXPECT_GT(fallback->getStringWidth("Varanto"), 0);
}

TEST_F(SkinWithFonts, PicturesAreScaledOnLoadAndSharedByKey)
{
    FEN::PictureProperties bordered;
    bordered.setFixedTop(3);
    bordered.setFixedLeft(-2);
    for (auto const& [scale, top] : {std::pair{1.0f, 3}, {2.0f, 6}, {1.5f, 5}}) {
        std::shared_ptr<FEN::Picture> picture;
        container->loadImage(picture, "plain.png", bordered, scale);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->getFixedTop(), top) << scale;
        EXPECT_EQ(picture->getFixedLeft(), 0) << scale;
    }
    LazyPicture const a = container->getImage("plain.png", bordered);
    LazyPicture const b = container->getImage("plain.png", bordered);
    FEN::PictureProperties other = bordered;
    other.setFixedBottom(1);
    LazyPicture const c = container->getImage("plain.png", other);
    ASSERT_NE(a.resolve(1.0f), nullptr);
    EXPECT_EQ(a.resolve(1.0f), b.resolve(1.0f));
    EXPECT_NE(a.resolve(1.0f), c.resolve(1.0f));
}

TEST_F(SkinWithFonts, ResolveTakesTheHighResolutionVariantOrScalesTheNormalPicture)
{
    LogCapture log;
    LazyPicture const withVariant = container->getImage("btn.png", FEN::PictureProperties());
    FEN::Picture const* big = withVariant.resolve(2.0f);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->getWidth(), 7);
    EXPECT_EQ(withVariant.resolve(2.0f), big);

    LazyPicture const without = container->getImage("plain.png", FEN::PictureProperties());
    FEN::Picture const* scaled = without.resolve(2.0f);
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(scaled->getWidth(), 6);
    EXPECT_EQ(scaled->getHeight(), 4);
    EXPECT_EQ(log.lines, Lines()) << "a missing variant is not reported";

    // A missing picture is looked for once per scale, not on every paint.
    LazyPicture const missing = container->getImage("none.png", FEN::PictureProperties());
    for (int paint = 0; paint < 3; ++paint) {
        EXPECT_EQ(missing.resolve(1.0f), nullptr);
        EXPECT_EQ(missing.resolve(2.0f), nullptr);
    }
    EXPECT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(LazyPicture::gEmptyPicture.resolve(1.0f), nullptr);
}

// One line per produced rule: "<property>=<summary>", sorted.
Lines summary(StyleSheet const& sheet)
{
    Lines lines;
    for (auto const& [name, rules] : sheet.getRules()) {
        for (auto const& [selector, property] : rules) {
            std::string text = name.string() + "=";
            if (auto const* font = std::get_if<FEN::Font const*>(&property.value)) {
                text += *font ? (*font)->getName() + "/" + std::to_string((*font)->getResourceId()) + "/" +
                        std::to_string((*font)->getSize()) + ((*font)->isUnderlined() ? "/u" : "") +
                        ((*font)->isHinting() ? "/h" : "")
                              : "null";
            } else if (auto const* lazy = std::get_if<LazyPicture>(&property.value)) {
                FEN::Picture const* picture = lazy->resolve(1.0f);
                text += picture
                    ? "pic " + std::to_string(picture->getWidth()) + "x" + std::to_string(picture->getHeight()) +
                        " frames " + std::to_string(picture->getNumAnimations()) + " fixed " +
                        std::to_string(picture->getFixedTop()) + std::to_string(picture->getFixedBottom()) +
                        std::to_string(picture->getFixedLeft()) + std::to_string(picture->getFixedRight()) +
                        " resizable " + std::to_string(picture->getResizableFlags())
                    : "pic none";
            } else {
                text += Testing::dumpValue(property.value);
            }
            lines.push_back(text);
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

struct ShorthandCase {
    char const* text;
    Lines rules;
};

class Shorthands : public SkinWithFonts, public testing::WithParamInterface<ShorthandCase> { };

TEST_P(Shorthands, ExpandIntoFontPictureAndDisplacementRules)
{
    StyleSheet sheet(*container);
    sheet.createDirect(GetParam().text);
    EXPECT_EQ(summary(sheet), GetParam().rules);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Shorthands, testing::Values(
    ShorthandCase{"A { font-size: 14; }", {"font-size=i14", "font=/1/14/h"}},
    ShorthandCase{"A { font-name: url(\"t.ttf\"); font-size: 10px; font-style: bold; font-style: underline; }",
        {"font-name=s't.ttf'", "font-size=i10", "font-style=s'bold'", "font-style=s'underline'", "font=t.ttf/0/10/u/h"}},
    ShorthandCase{"A { font-family: Helvetica; }", {"font-family=s'Helvetica'", "font=/1/12/h"}},
    ShorthandCase{"A { font-name: url(\"broken.ttf\"); font-hinting: false; }",
        {"font-hinting=bfalse", "font-name=s'broken.ttf'", "font=/1/12/h"}},
    ShorthandCase{"A { font-size: 12%; }", {"font-size=i12"}},
    ShorthandCase{"A { font-size: 13.6; font-family: 12; }", {"font-family=i12", "font-size=f13.6", "font=/1/14/h"}},
    ShorthandCase{"A { image: url(\"btn.png\"); fixed: 1; animations: 3; }",
        {"animations=i3", "fixed=i1", "image=s'btn.png'", "picture=pic 4x6 frames 3 fixed 1111 resizable 3"}},
    ShorthandCase{"A { fixed: -3; animations: -2; image: url(\"btn.png\"); }",
        {"animations=i-2", "fixed=i-3", "image=s'btn.png'", "picture=pic 4x6 frames 0 fixed 0000 resizable 3"}},
    ShorthandCase{"A { image: no; }", {"image=s'no'", "picture=pic none"}},
    ShorthandCase{"A { image: nothing; }", {"image=s'nothing'"}},
    ShorthandCase{"A { dye-mask: url(\"plain.png\"); dye-mask-animations: 2; fixed-left: 1; }",
        {"dye-mask-animations=i2", "dye-mask-picture=pic 3x2 frames 2 fixed 0010 resizable 2", "dye-mask=s'plain.png'",
         "fixed-left=i1"}},
    ShorthandCase{"A { relative-top: 2; foreground-relative-left: -1; foreground-relative-top: 3; }",
        {"foreground-relative-left=i-1", "foreground-relative-top=i3", "picture-displacement=p0,2",
         "relative-top=i2", "text-displacement=p-1,3"}}));
// clang-format on

TEST_F(SkinWithFonts, ShorthandValuesOfTheWrongKindAreLogged)
{
    LogCapture log;
    StyleSheet sheet(*container);
    sheet.createDirect("A { font-size: 13.6; font-family: 12; }");
    EXPECT_EQ(log.lines,
              Lines({"TOV::StyleSheet - warning: font-size expects an integer, 13.6 is rounded",
                     "TOV::StyleSheet - warning: font-family expects a text, the value is ignored"}));
}

TEST_F(SkinWithFonts, BuiltInSheetOrdersRulesBySpecificityThenSourceOrder)
{
    StyleSheet const& sheet = container->getStyleSheetManager().getDefaultSheet();
    Lines order;
    for (auto const& [selector, property] : sheet.getRules().at(cv::symbol(std::string("background-color"))))
        order.push_back(Testing::dumpSelector(selector) + " " + Testing::dumpValue(property.value));
    EXPECT_EQ(order, Lines({"*:down u#FFB0B0B0", "*:over u#FFD0D0D0", "Bar u#FF202020", "* u#FFC0C0C0"}));
    EXPECT_EQ(std::string(StyleSheetManager::s_builtInSheet).size(), 346u);
    EXPECT_EQ(sheet.getRules().size(), 3u);
}

TEST_F(SkinWithFonts, EqualSelectorsKeepSourceOrder)
{
    StyleSheet sheet(*container);
    sheet.createDirect("A { color: #111; }\nA { color: #222; }\nA.b { color: #333; }");
    Lines order;
    for (auto const& [selector, property] : sheet.getRules().at(cv::symbol(std::string("color"))))
        order.push_back(Testing::dumpValue(property.value));
    EXPECT_EQ(order, Lines({"u#FF000333", "u#FF000111", "u#FF000222"}));
}

TEST_F(SkinWithFonts, LoadDefaultTakesTheSkinSheetOnceAndKeepsRulesWhenMissing)
{
    folder.write("skin/stylesheets/app.txt", "@import url(\"more.txt\");\nButton { width: 10; }\n");
    folder.write("skin/stylesheets/more.txt", "Label { height: 3; }\n");
    StyleSheetManager& manager = container->getStyleSheetManager();
    {
        LogCapture log;
        manager.loadDefault("missing.txt");
        manager.loadDefault("missing.txt");
        EXPECT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(manager.getSheets().front().first, "missing.txt");
        EXPECT_TRUE(manager.getDefaultSheet().getRules().count(cv::symbol(std::string("background-color"))));
    }
    manager.loadDefault("app.txt");
    StyleSheet const& sheet = manager.getDefaultSheet();
    EXPECT_FALSE(sheet.getRules().count(cv::symbol(std::string("background-color"))));
    EXPECT_EQ(sheet.getRules().size(), 2u);
    EXPECT_EQ(sheet.getLoadedFiles(), std::set<std::string>({"more.txt"}));
}

// What is wrong with a skin is said on standard error, one line each and each
// once, after the line that names the skin folder in use; the messages of a
// sheet that gives rules go to the log sinks only.
struct RefusalCase {
    char const* name;
    std::function<void(test::TemporaryFolder&)> write;
    std::function<void(ManagerContainer&)> load;
    Lines said; // after the skin folder's line; "{skin}" and "{tmp}" stand for the
                // folders, a final "..." for any end
};

void PrintTo(RefusalCase const& c, std::ostream* os)
{
    *os << c.name;
}

// The lines written, with the folders written as in the cases; a line is cut
// where an expected line ends with "...".
Lines saidLines(std::string const& written, test::TemporaryFolder const& folder, Lines const& expected)
{
    Lines said;
    std::istringstream lines(written);
    for (std::string line; std::getline(lines, line);) {
        for (auto const& [path, mark] : {std::pair{folder.at("skin"), "{skin}"}, {folder.string(), "{tmp}"}}) {
            for (std::size_t at; (at = line.find(path)) != std::string::npos;)
                line.replace(at, path.size(), mark);
        }
        std::size_t const index = said.size();
        if (index < expected.size() && expected[index].size() > 3 &&
            expected[index].compare(expected[index].size() - 3, 3, "...") == 0 &&
            line.rfind(expected[index].substr(0, expected[index].size() - 3), 0) == 0)
            line = expected[index];
        said.push_back(line);
    }
    return said;
}

std::string const kUsingSkin = "skin: using the skin folder {skin} in place of the bundle's skin";

void writeImportChain(test::TemporaryFolder& folder, int files)
{
    for (int i = 0; i < files; ++i)
        folder.write("skin/stylesheets/d" + std::to_string(i) + ".txt",
                     "@import url(\"d" + std::to_string(i + 1) + ".txt\");\nD { x: 1; }\n");
}

// Looks the picture up at both scales, twice, through two lazy pictures.
void resolveTwice(ManagerContainer& container, std::string const& picture, bool found = false)
{
    for (int copy = 0; copy < 2; ++copy) {
        LazyPicture const lazy = container.getImage(picture, FEN::PictureProperties());
        for (float const scale : {1.0f, 2.0f, 1.0f, 2.0f})
            EXPECT_EQ(lazy.resolve(scale) != nullptr, found) << scale;
    }
}

void loadSheet(ManagerContainer& container, char const* name)
{
    container.getStyleSheetManager().loadDefault(name);
}

// A JPEG with junk between its data and its end marker.
std::string corruptJPEG()
{
    FEN::test::JPEGImage image;
    image.width = 8;
    image.height = 8;
    image.space = FEN::test::JPEGSpace::Grey;
    image.samples = FEN::test::Bytes(64, 0x80);
    FEN::test::Bytes file = FEN::test::writeJPEG(image);
    file.insert(file.end() - 2, 40, 0x55);
    return std::string(file.begin(), file.end());
}

// The JPEG above cut short: its junk, its end marker and more are gone.
std::string truncatedJPEG()
{
    std::string file = corruptJPEG();
    file.resize(file.size() - 80);
    return file;
}

std::string progressiveJPEGOfEmptyScans(int scans)
{
    FEN::test::Bytes const file = FEN::test::progressiveJPEGOfEmptyScans(64, 64, scans);
    return std::string(file.begin(), file.end());
}

class SkinRefusals : public SkinWithFonts, public testing::WithParamInterface<RefusalCase> { };

TEST_P(SkinRefusals, AreNamedOnStandardErrorOnce)
{
    RefusalCase const& c = GetParam();
    c.write(folder);
    LogCapture log;
    testing::internal::CaptureStderr();
    c.load(*container);
    std::string const written = testing::internal::GetCapturedStderr();

    Lines expected = c.said;
    expected.insert(expected.begin(), kUsingSkin);
    EXPECT_EQ(saidLines(written, folder, expected), expected);
    if (c.said.empty()) {
        EXPECT_FALSE(log.lines.empty()) << "the sheet's messages go to the log sinks";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SkinRefusals,
    testing::Values(
        RefusalCase{"sheetOverTheSizeLimit",
                    [](test::TemporaryFolder& folder) {
                        folder.write("skin/stylesheets/big.txt",
                                     std::string(std::size_t(StyleParser2::kMaxSheetSize) + 1, ' '));
                    },
                    [](ManagerContainer& container) { loadSheet(container, "big.txt"); },
                    {"skin file refused: style sheet big.txt is larger than 16 MiB"}},
        RefusalCase{"importTooDeep",
                    [](test::TemporaryFolder& folder) { writeImportChain(folder, StyleParser2::kMaxImportDepth + 3); },
                    [](ManagerContainer& container) { loadSheet(container, "d0.txt"); },
                    {"skin file refused: style sheet d33.txt is imported more than 32 deep (from d32.txt)"}},
        RefusalCase{
            "pictureDeclaringTooManyPixels",
            [](test::TemporaryFolder& folder) {
                folder.write("skin/pictures/huge.png", tgaFile(int(FEN::Picture::kMaxReadSide) + 1, 1).substr(0, 18));
            },
            [](ManagerContainer& container) { resolveTwice(container, "huge.png"); },
            {"skin file refused: picture {skin}/pictures/huge.png declares 16385 x 1 pixels, more than 16384 a side "
             "or 67108864 in all"}},
        RefusalCase{"pictureOfNoKnownFormat",
                    [](test::TemporaryFolder& folder) { folder.write("skin/pictures/junk.png", "not a picture"); },
                    [](ManagerContainer& container) { resolveTwice(container, "junk.png"); },
                    {"skin file refused: picture {skin}/pictures/junk.png is not a PNG, JPEG or TGA picture that can "
                     "be read"}},
        RefusalCase{"pictureLinkedFromOutside",
                    [](test::TemporaryFolder& folder) {
                        folder.write("secret.png", tgaFile(2, 2));
                        std::filesystem::create_symlink(folder.path() / "secret.png",
                                                        folder.path() / "skin/pictures/out.png");
                    },
                    [](ManagerContainer& container) { resolveTwice(container, "out.png"); },
                    {"skin file refused: picture out.png lies outside the skin folder {skin} (it leads to "
                     "{tmp}/secret.png)"}},
        RefusalCase{"jpegWithCorruptData",
                    [](test::TemporaryFolder& folder) { folder.write("skin/pictures/photo.jpg", corruptJPEG()); },
                    [](ManagerContainer& container) { resolveTwice(container, "photo.jpg", true); },
                    {"skin: picture {skin}/pictures/photo.jpg: Corrupt JPEG data: ..."}},
        RefusalCase{"jpegEndingEarly",
                    [](test::TemporaryFolder& folder) { folder.write("skin/pictures/cut.jpg", truncatedJPEG()); },
                    [](ManagerContainer& container) { resolveTwice(container, "cut.jpg"); },
                    {"skin file refused: picture {skin}/pictures/cut.jpg cannot be read: the data ends before the "
                     "picture is complete"}},
        RefusalCase{"jpegOfTooManyScans",
                    [](test::TemporaryFolder& folder) {
                        folder.write("skin/pictures/scans.jpg", progressiveJPEGOfEmptyScans(6000));
                    },
                    [](ManagerContainer& container) { resolveTwice(container, "scans.jpg"); },
                    // Refused before any scan is decoded, so the decoder has no warning to give.
                    {"skin file refused: picture {skin}/pictures/scans.jpg cannot be read: progressive JPEG with "
                     "more than 100 scans, more than any picture needs"}},
        RefusalCase{"pngEndingEarly",
                    [](test::TemporaryFolder& folder) {
                        FEN::test::PNGImage image;
                        image.width = 3;
                        image.height = 2;
                        image.rows = FEN::test::Bytes(2 * (1 + 9), 7);
                        FEN::test::Bytes file = FEN::test::writePNG(image);
                        folder.write("skin/pictures/cut.png", std::string(file.begin(), file.end() - 20));
                    },
                    [](ManagerContainer& container) { resolveTwice(container, "cut.png"); },
                    {"skin file refused: picture {skin}/pictures/cut.png cannot be read: unexpected end of data"}},
        RefusalCase{
            "fontThatIsNoFont",
            [](test::TemporaryFolder&) {},
            [](ManagerContainer& container) {
                for (int i = 0; i < 2; ++i)
                    container.getFont(fontData("broken.ttf", 0, 10 + i, 0));
            },
            {"skin file refused: font {skin}/fonts/broken.ttf cannot be read: not a font the font library knows "
             "(invalid stream operation)"}},
        RefusalCase{"importOfAMissingSheet",
                    [](test::TemporaryFolder& folder) {
                        folder.write("skin/stylesheets/good.txt", "B { height: 1; }\n@import url(\"none.txt\");\n");
                    },
                    [](ManagerContainer& container) { loadSheet(container, "good.txt"); },
                    {"skin file refused: style sheet none.txt imported at line 2 of good.txt names no readable file "
                     "({skin}/stylesheets/none.txt: missing)"}},
        RefusalCase{"importOfAFolder",
                    [](test::TemporaryFolder& folder) {
                        folder.write("skin/stylesheets/good.txt", "@import url(\"sub\");\nB { height: 1; }\n");
                        folder.folder("skin/stylesheets/sub");
                    },
                    [](ManagerContainer& container) { loadSheet(container, "good.txt"); },
                    {"skin file refused: style sheet sub imported at line 1 of good.txt names no readable file "
                     "({skin}/stylesheets/sub: not a regular file)"}},
        RefusalCase{"importLeadingOutside",
                    [](test::TemporaryFolder& folder) {
                        folder.write("skin/stylesheets/good.txt", "@import url(\"../../x.txt\");\nB { height: 1; }\n");
                        folder.write("x.txt", "X { y: 1; }\n");
                    },
                    [](ManagerContainer& container) { loadSheet(container, "good.txt"); },
                    {"skin file refused: style sheet ../../x.txt lies outside the skin folder {skin}"}},
        RefusalCase{"sheetWithAMistakeGivingRules",
                    [](test::TemporaryFolder& folder) {
                        folder.write("skin/stylesheets/bad.txt", "A { width: ; }\nB { height: 1; }\n");
                    },
                    [](ManagerContainer& container) { loadSheet(container, "bad.txt"); },
                    {}},
        RefusalCase{"sheetWithMistakesOnly",
                    [](test::TemporaryFolder& folder) {
                        folder.write("skin/stylesheets/bad.txt", "@import url(\"none.txt\");\nA { width: ; }\n");
                    },
                    [](ManagerContainer& container) { loadSheet(container, "bad.txt"); },
                    {"skin file refused: style sheet none.txt imported at line 1 of bad.txt names no readable file "
                     "({skin}/stylesheets/none.txt: missing)",
                     "skin file refused: style sheet {skin}/stylesheets/bad.txt gives no rules: PARSER ERROR at line "
                     "2: Expecting sequence"}}),
    [](auto const& info) { return std::string(info.param.name); });

// A main sheet that gives no rules is said, naming the file, and the default
// sheet keeps the rules it had.
struct MainSheetCase {
    char const* name;
    std::function<void(test::TemporaryFolder&)> write;
    std::string said; // "{skin}" and "{tmp}" stand for the folders
};

void PrintTo(MainSheetCase const& c, std::ostream* os)
{
    *os << c.name;
}

class MainSheetRefusals : public SkinWithFonts, public testing::WithParamInterface<MainSheetCase> { };

TEST_P(MainSheetRefusals, AreSaidAndKeepTheRulesThatWere)
{
    MainSheetCase const& c = GetParam();
    c.write(folder);
    LogCapture log;
    testing::internal::CaptureStderr();
    loadSheet(*container, "app.txt");
    loadSheet(*container, "app.txt");
    std::string const written = testing::internal::GetCapturedStderr();

    Lines const expected = {kUsingSkin, c.said};
    EXPECT_EQ(saidLines(written, folder, expected), expected);
    StyleSheet const& sheet = container->getStyleSheetManager().getDefaultSheet();
    EXPECT_EQ(sheet.getRules().size(), 3u);
    EXPECT_TRUE(sheet.getRules().count(cv::symbol(std::string("background-color"))));
}

std::string const kLicence = "Copyright (c) 2003 by Someone.\nAll Rights Reserved.\n\nPermission is hereby granted,\n";

INSTANTIATE_TEST_SUITE_P(
    Table, MainSheetRefusals,
    testing::Values(
        MainSheetCase{"missing", [](test::TemporaryFolder&) {},
                      "skin file refused: style sheet {skin}/stylesheets/app.txt is missing"},
        MainSheetCase{"empty", [](test::TemporaryFolder& folder) { folder.write("skin/stylesheets/app.txt", ""); },
                      "skin file refused: style sheet {skin}/stylesheets/app.txt is empty"},
        MainSheetCase{
            "onlyComments",
            [](test::TemporaryFolder& folder) { folder.write("skin/stylesheets/app.txt", "/* nothing yet */\n\n"); },
            "skin file refused: style sheet {skin}/stylesheets/app.txt gives no rules"},
        MainSheetCase{"garbage",
                      [](test::TemporaryFolder& folder) {
                          folder.write("skin/stylesheets/app.txt", std::string("\x89\x01\x02{{{\n\x7f}", 9));
                      },
                      "skin file refused: style sheet {skin}/stylesheets/app.txt gives no rules: PARSER ERROR at "
                      "line 1: ..."},
        MainSheetCase{"linkToATextFileInside",
                      [](test::TemporaryFolder& folder) {
                          folder.write("skin/fonts/LICENCE.txt", kLicence);
                          folder.folder("skin/stylesheets");
                          std::filesystem::create_symlink("../fonts/LICENCE.txt",
                                                          folder.path() / "skin/stylesheets/app.txt");
                      },
                      "skin file refused: style sheet {skin}/stylesheets/app.txt gives no rules: PARSER ERROR at "
                      "line 1: ..."},
        MainSheetCase{"linkToATextFileOutside",
                      [](test::TemporaryFolder& folder) {
                          folder.write("notes.txt", "Button { width: 1; }\n");
                          folder.folder("skin/stylesheets");
                          std::filesystem::create_symlink(folder.path() / "notes.txt",
                                                          folder.path() / "skin/stylesheets/app.txt");
                      },
                      "skin file refused: style sheet app.txt lies outside the skin folder {skin} (it leads to "
                      "{tmp}/notes.txt)"},
        MainSheetCase{"aFolder", [](test::TemporaryFolder& folder) { folder.folder("skin/stylesheets/app.txt"); },
                      "skin file refused: style sheet {skin}/stylesheets/app.txt cannot be read: not a regular file"},
        MainSheetCase{"utf16",
                      [](test::TemporaryFolder& folder) {
                          folder.write("skin/stylesheets/app.txt",
                                       std::string("\xFF\xFE"
                                                   "A\0{\0x\0:\0"
                                                   "1\0}\0",
                                                   14));
                      },
                      "skin file refused: style sheet {skin}/stylesheets/app.txt gives no rules: Unsupported buffer "
                      "encoding"}),
    [](auto const& info) { return std::string(info.param.name); });

TEST_F(SkinFixture, LinesSaidAreRememberedUpToABound)
{
    ManagerContainer container(locations());
    testing::internal::CaptureStderr();
    for (std::size_t i = 0; i < ManagerContainer::kMaxRemembered; ++i)
        container.reportRefusal("file " + std::to_string(i));
    std::string const first = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    for (int again = 0; again < 2; ++again) {
        container.reportRefusal("file 0");
        container.reportRefusal("one more");
    }
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), std::ptrdiff_t(ManagerContainer::kMaxRemembered));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "skin file refused: one more\nskin file refused: one more\n");
}

TEST_F(SkinFixture, AnEmptySkinFolderSaysSoAndNamesTheMissingSheet)
{
    folder.folder("work/skin");
    ManagerContainer container(locations());
    LogCapture log;
    testing::internal::CaptureStderr();
    container.getStyleSheetManager().loadDefault("FirmwareUpdaterStyles.txt");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "skin: using the skin folder " + folder.at("work/skin") + " in place of the bundle's skin\n" +
                  "skin file refused: style sheet " + folder.at("work/skin") +
                  "/stylesheets/FirmwareUpdaterStyles.txt is missing\n");
}

class CacheProbe : public StyleSheet {
public:
    using StyleSheet::StyleSheet;
    void remember(Widget const* widget) { m_propertyCache[widget][cv::symbol(std::string("x"))]; }
};

TEST_F(SkinWithFonts, CopiesAndLoadsStartWithAnEmptyPropertyCache)
{
    CacheProbe sheet(*container);
    sheet.createDirect("A { x: 1; }");
    sheet.remember(reinterpret_cast<Widget const*>(&sheet));
    StyleSheet const copy(sheet);
    EXPECT_TRUE(sheet.hasCachedProperties());
    EXPECT_FALSE(copy.hasCachedProperties());
    EXPECT_EQ(copy.getRules().size(), 1u);
    sheet.load("missing.txt");
    EXPECT_FALSE(sheet.hasCachedProperties());
    EXPECT_EQ(sheet.getRules().size(), 1u);
}

TEST_F(SkinWithFonts, WidgetsWithoutAUsableFontMeasureAndPaintWithTheDefaultFont)
{
    Lib::s_managerContainer = std::move(container);
    auto widget = TEST::makeWidget();
    FEN::Font const* font = widget->getFontProperty();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font, Lib::s_managerContainer->getFont(Lib::s_managerContainer->getDefaultFontData()));
    EXPECT_GT(font->getStringWidth("Update"), 0);
    FEN::Picture canvas;
    canvas.setSize(60, 20, true);
    canvas.clear(0xFFFFFFFF);
    font->renderTextMultiline(canvas, {0, 0, 60, 20}, "Update", 0xFF000000, FEN::Font::eAlignLeft, 0);
    Lib::s_managerContainer.reset();
    EXPECT_EQ(widget->getFontProperty(), nullptr);
}

// An item may be read from any part file of its container (pack.part1 beside
// pack.bin): a part that is no regular file refuses the item at once.
TEST_F(SkinWithFonts, ContainerItemsAreRefusedWhenAPartIsNoRegularFile)
{
    BAS::FileTypeManager::init();
    containertest::ContainerWriter writer;
    writer.metaText("skin", "pay").metaParts(2).toc({{"a", 1, 1, "A { width: 1; }"}}, 0, true);
    folder.write("skin/stylesheets/pack.bin", writer.text());
    ASSERT_EQ(::mkfifo(folder.at("skin/stylesheets/pack.part1").c_str(), 0644), 0);
    folder.write("skin/stylesheets/app.txt", "@import url(\"pack.bin<a\");\nB { height: 1; }\n");
    LogCapture log;
    testing::internal::CaptureStderr();
    container->getStyleSheetManager().loadDefault("app.txt");
    Lines const expected = {kUsingSkin,
                            "skin file refused: style sheet pack.bin<a imported at line 1 of app.txt names no readable "
                            "file ({skin}/stylesheets/pack.bin: its part {skin}/stylesheets/pack.part1: not a regular "
                            "file)"};
    EXPECT_EQ(saidLines(testing::internal::GetCapturedStderr(), folder, expected), expected);
    BAS::FileTypeManager::deInit();
}

// A skin file that is no regular file of at most the size limit is refused
// at once wherever the skin names it, with one line naming it and saying why;
// nothing waits for a writer of a fifo or reads a device without end, and
// the rest of the skin is still read.
enum class Fault { fifo, device, folder, unreadable, oversize, over4GiB };
enum class Place { mainSheet, relativeImport, containerItem, absoluteImport, picture, font };

char const* const kFaultNames[] = {"fifo", "device", "folder", "unreadable", "oversize", "over4GiB"};
char const* const kPlaceNames[] = {"mainSheet", "relativeImport", "containerItem", "absoluteImport", "picture", "font"};

void PrintTo(Fault fault, std::ostream* os)
{
    *os << kFaultNames[int(fault)];
}

void PrintTo(Place where, std::ostream* os)
{
    *os << kPlaceNames[int(where)];
}

// While it lives, a process running as root acts as nobody, to whom a file
// of mode 000 is unreadable (root reads any file); the folder is opened to
// nobody for that.
class ActingAsNobody {
public:
    explicit ActingAsNobody(test::TemporaryFolder const& folder)
    {
        if (::geteuid() != 0)
            return;
        std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
        m_group = ::setegid(kNobody) == 0;
        m_user = m_group && ::seteuid(kNobody) == 0;
        EXPECT_TRUE(m_user) << "cannot act as nobody";
    }
    ~ActingAsNobody()
    {
        if (m_user) {
            EXPECT_EQ(::seteuid(0), 0);
        }
        if (m_group) {
            EXPECT_EQ(::setegid(0), 0);
        }
    }
    ActingAsNobody(ActingAsNobody const&) = delete;
    ActingAsNobody& operator=(ActingAsNobody const&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    bool m_group = false;
    bool m_user = false;
};

class SpecialSkinFiles : public SkinWithFonts, public testing::WithParamInterface<std::tuple<Fault, Place>> {
protected:
    // Puts the fault at path; false (with why) when this system cannot.
    static bool place(Fault fault, std::string const& path, std::string& why)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        switch (fault) {
        case Fault::fifo: return ::mkfifo(path.c_str(), 0644) == 0;
        case Fault::device:
            why = "a device node cannot be made here (mknod needs the right to)";
            return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 5)) == 0; // like /dev/zero
        case Fault::folder: return std::filesystem::create_directory(path);
        case Fault::unreadable:
            std::ofstream(path) << "A { width: 1; }\n";
            std::filesystem::permissions(path, std::filesystem::perms::none);
            return true;
        case Fault::oversize:
        case Fault::over4GiB: {
            // Sparse; a sheet that reads as one rule when its size is cut to 32 bits.
            std::ofstream(path) << "A { width: 1; }\n";
            off_t const size = fault == Fault::oversize ? off_t(SkinFile::kMaxBytes) + 1 : (off_t(1) << 32) + 21;
            return ::truncate(path.c_str(), size) == 0;
        }
        }
        return false;
    }

    static std::string reasonOf(Fault fault)
    {
        switch (fault) {
        case Fault::unreadable: return "Permission denied";
        case Fault::oversize:
        case Fault::over4GiB: return "larger than " + std::to_string(SkinFile::kMaxBytes) + " bytes";
        default: return "not a regular file";
        }
    }

    void load(Place where)
    {
        switch (where) {
        case Place::picture: resolveTwice(*container, "p.png"); break;
        case Place::font:
            for (int again = 0; again < 2; ++again)
                EXPECT_EQ(container->getFont(fontData("f.ttf", 0, 10, 0)), nullptr);
            break;
        default: loadSheet(*container, "app.txt");
        }
    }
};

TEST_P(SpecialSkinFiles, AreRefusedAtOnceWithOneLineNamingThem)
{
    auto const [fault, where] = GetParam();
    std::string const sheets = folder.at("skin/stylesheets");
    std::string target;
    std::string importName;
    switch (where) {
    case Place::mainSheet: target = sheets + "/app.txt"; break;
    case Place::relativeImport: importName = "part.txt"; break;
    case Place::containerItem: importName = "part.txt<x"; break;
    case Place::absoluteImport: importName = colonPath(folder.path() / "elsewhere/part.txt"); break;
    case Place::picture: target = folder.at("skin/pictures/p.png"); break;
    case Place::font: target = folder.at("skin/fonts/f.ttf"); break;
    }
    if (!importName.empty()) {
        folder.write("skin/stylesheets/app.txt", "B { height: 1; }\n@import url(\"" + importName + "\");\n");
        target = where == Place::absoluteImport ? folder.at("elsewhere/part.txt") : sheets + "/part.txt";
    }
    std::string why;
    if (!place(fault, target, why))
        GTEST_SKIP() << why;
    std::string const reason = reasonOf(fault);
    std::string expected;
    switch (where) {
    case Place::mainSheet: expected = "style sheet " + target + " cannot be read: " + reason; break;
    case Place::picture: expected = "picture " + target + " cannot be read: " + reason; break;
    case Place::font: expected = "font " + target + " cannot be read: " + reason; break;
    default:
        // Named as a colon path: a folder with its separator.
        expected = "style sheet " + BAS::FileName(importName).full + BAS::FileName(importName).subpath +
            " imported at line 2 of app.txt names no readable file (" + target + ": " + reason + ")";
    }

    LogCapture log;
    testing::internal::CaptureStderr();
    {
        std::optional<ActingAsNobody> nobody;
        if (fault == Fault::unreadable)
            nobody.emplace(folder);
        load(where);
    }
    std::string const written = testing::internal::GetCapturedStderr();

    Lines const said = saidLines(written, folder, {});
    EXPECT_EQ(said, Lines({kUsingSkin, saidLines("skin file refused: " + expected, folder, {})[0]})) << written;
    if (where == Place::relativeImport || where == Place::containerItem || where == Place::absoluteImport) {
        StyleSheet const& sheet = container->getStyleSheetManager().getDefaultSheet();
        EXPECT_TRUE(sheet.getRules().count(cv::symbol(std::string("height")))) << "the rest of the sheet is read";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SpecialSkinFiles,
                         testing::Combine(testing::Values(Fault::fifo, Fault::device, Fault::folder, Fault::unreadable,
                                                          Fault::oversize, Fault::over4GiB),
                                          testing::Values(Place::mainSheet, Place::relativeImport, Place::containerItem,
                                                          Place::absoluteImport, Place::picture, Place::font)),
                         [](auto const& info) {
                             return std::string(kFaultNames[int(std::get<0>(info.param))]) + "_" +
                                 kPlaceNames[int(std::get<1>(info.param))];
                         });

} // namespace
} // namespace CV::TOV
