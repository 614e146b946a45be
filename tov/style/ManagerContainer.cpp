#include "TOV/ManagerContainer.h"

#include "TOV/Lib.h"
#include "TOV/SkinRefusal.h"
#include "TOV/StyleSheetErrorsLogSource.h"
#include "TOV/StyleSheetManager.h"
#include "style/SkinFile.h"

#include "BAS/BundlePath.h"
#include "BAS/DSOHandle.h"
#include "BAS/DebugTrace.h"
#include "BAS/FileManager.h"
#include "BAS/ResourceStream.h"
#include "FEN/FontEngine.h"
#include "FEN/HiDPIUrl.h"
#include "FEN/Picture.h"
#include "platform/system/FolderTrust.h"

#include <boost/filesystem/operations.hpp>

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <tuple>

namespace CV::TOV {

const char* const ManagerContainer::s_pResTypePath[] = {"pictures", "stylesheets", "fonts", nullptr};
const char* const ManagerContainer::s_pResTypes[] = {"PICTURE", "STYLESHEET", "TTFd", nullptr};

namespace {

// The colon path of a folder, ending with the separator.
std::string colonFolder(boost::filesystem::path const& folder)
{
    std::string path = BAS::FileName(folder).full;
    if (path.empty() || path.back() != BAS::FileName::DIR_SEPARATOR)
        path += BAS::FileName::DIR_SEPARATOR;
    return path;
}

bool existsFolder(boost::filesystem::path const& folder)
{
    boost::system::error_code error;
    return !folder.empty() && boost::filesystem::is_directory(folder, error);
}

char const* const kKinds[] = {"picture", "style sheet", "font"};

// The POSIX path of a colon path as it stands: an empty component goes one
// folder up, nothing is resolved.
std::string systemPath(std::string const& colonPath)
{
    return BAS::FileName(colonPath).getSystemPath(false, true);
}

// The POSIX path of a colon path with its empty components (one folder up
// each), "." and ".." resolved on the text; symbolic links are not followed.
std::filesystem::path resolvedOnText(std::string const& colonPath)
{
    return std::filesystem::path(systemPath(colonPath)).lexically_normal();
}

// True when the file (a colon path) lies below the skin folder on the text
// of its name, or names no file at all (the open fails on its own).
bool namedInSkinFolder(std::string const& file, std::string const& skinFolder)
{
    std::filesystem::path const item = resolvedOnText(file);
    std::filesystem::path const folder = resolvedOnText(skinFolder);
    return item.empty() || folder.empty() || SkinFile::liesBelow(item, folder);
}

ManagerContainer::tLocations runningProgram()
{
    ManagerContainer::tLocations locations;
    locations.bundlePath = [] { return BAS::getCurrentBundlePath(); };
    locations.currentDirectory = [](BAS::FileName& folder) { return BAS::FileManager::getCurDir(folder); };
    return locations;
}

void logLine(std::string const& line)
{
    StyleSheetErrorsLogSource::log(line);
}

std::string refusedPictureSize(std::string const& name, FEN::Picture::tDeclaredSize const& size)
{
    return fmt::format("picture {} declares {} x {} pixels, more than {} a side or {} in all", name, size.width,
                       size.height, FEN::Picture::kMaxReadSide, FEN::Picture::kMaxReadPixels);
}

// Why a picture file could not be read, with its reader's reason when the
// file is of a format the readers know.
std::string unreadablePicture(std::string const& name, FEN::Picture const& picture)
{
    if (picture.wasRefusedForSize())
        return refusedPictureSize(name, picture.getRefusedSize());
    if (picture.getReadFailure().empty())
        return fmt::format("picture {} is not a PNG, JPEG or TGA picture that can be read", name);
    return fmt::format("picture {} cannot be read: {}", name, picture.getReadFailure());
}

} // namespace

bool ManagerContainer::tPictureKey::operator<(tPictureKey const& other) const
{
    auto fields = [](tPictureKey const& key) {
        FEN::PictureProperties const& p = key.properties;
        return std::make_tuple(int32_t(p.getNumAnimations()), p.getFixedTop(), p.getFixedBottom(), p.getFixedLeft(),
                               p.getFixedRight(), int32_t(p.getAnimationOrientation()),
                               int32_t(p.getResizableFlags() & 3u));
    };
    if (name != other.name)
        return name < other.name;
    return fields(*this) < fields(other);
}

bool ManagerContainer::tFontDataLess::operator()(FEN::Font::CreateData const& a, FEN::Font::CreateData const& b) const
{
    return std::tie(a.name, a.resourceId, a.size, a.flags, a.engine) <
        std::tie(b.name, b.resourceId, b.size, b.flags, b.engine);
}

ManagerContainer::ManagerContainer()
    : ManagerContainer(runningProgram())
{
}

ManagerContainer::ManagerContainer(tLocations locations)
    : m_locations(std::move(locations))
{
    m_styleSheetManager = std::make_unique<StyleSheetManager>(*this);
}

ManagerContainer::~ManagerContainer()
{
    m_pictureCache.clear();
    m_fontCache.clear();
    m_skinFolder.clear();
    m_styleSheetManager.reset();
}

ManagerContainer* ManagerContainer::get()
{
    return Lib::s_managerContainer.get();
}

void ManagerContainer::checkResourcesLocation()
{
    m_resourceMode = eBundle;
    if (!Lib::getSearchSkinDirectory())
        return;
    boost::filesystem::path candidate;
    if (boost::filesystem::path const bundle = m_locations.bundlePath(); !bundle.empty())
        candidate = bundle.parent_path() / "skin";
    if (!existsFolder(candidate)) {
        candidate.clear();
        BAS::FileName cwd;
        if (m_locations.currentDirectory(cwd))
            candidate = cwd.getFilesystemPath() / "skin";
    }
    if (existsFolder(candidate) && mayUseSkinFolder(candidate)) {
        m_resourceMode = eSkinFolder;
        m_skinFolder = BAS::FileName(candidate);
        m_skinFolderPath = colonFolder(candidate);
        reportRemark(
            fmt::format("using the skin folder {} in place of the bundle's skin", systemPath(m_skinFolderPath)));
    }
}

// A skin folder someone else put there or can change is passed over.
bool ManagerContainer::mayUseSkinFolder(boost::filesystem::path const& folder)
{
    platform::FolderTrust::Verdict const verdict = platform::FolderTrust::judge(folder.string());
    if (!verdict)
        reportRemark(
            fmt::format("not using the skin folder {}: {}; the bundle's skin serves", folder.string(), verdict.reason));
    return bool(verdict);
}

// A line said already is not said again; past kMaxRemembered lines (a skin
// made to say ever new ones) they are said without being remembered.
bool ManagerContainer::firstTimeSaid(std::string const& line)
{
    if (m_said.count(line))
        return false;
    if (m_said.size() < kMaxRemembered)
        m_said.insert(line);
    return true;
}

void ManagerContainer::reportRefusal(std::string const& what)
{
    if (firstTimeSaid("refused " + what))
        SkinRefusal::report(what);
}

void ManagerContainer::reportRemark(std::string const& what)
{
    if (firstTimeSaid("remark " + what))
        SkinRefusal::remark(what);
}

void ManagerContainer::refuseOutside(std::string const& name, eResourceType type, std::string const& skinFolder,
                                     std::string const& leadsTo, bool warn)
{
    if (!warn)
        return;
    std::string const where =
        fmt::format("{} {} lies outside the skin folder {}", kKinds[type], name, systemPath(skinFolder));
    reportRefusal(leadsTo.empty() ? where : fmt::format("{} (it leads to {})", where, leadsTo));
}

// The file (a colon path) of the skin folder it was looked up in. A name
// that leads outside, on its text or once links are resolved, is refused.
ManagerContainer::tResource ManagerContainer::fromSkinFolder(std::string const& file, std::string const& skinFolder,
                                                             std::string const& name, eResourceType type, bool warn)
{
    tResource found;
    BAS::FileName const fileName(file);
    found.path = fileName.getSystemPath(false, true);
    if (!namedInSkinFolder(file, skinFolder)) {
        found.outcome = SkinFile::eOutcome::eOutside;
        refuseOutside(name, type, skinFolder, std::string(), warn);
        return found;
    }
    SkinFile::tOpened opened = SkinFile::open(found.path, systemPath(skinFolder), fileName.subpath);
    found.outcome = opened.outcome;
    found.problem = std::move(opened.problem);
    found.stream = std::move(opened.file);
    if (opened.outcome == SkinFile::eOutcome::eOutside)
        refuseOutside(name, type, skinFolder, opened.realPath.string(), warn);
    return found;
}

ManagerContainer::tResource ManagerContainer::findResource(BAS::CharSequence<char> const& name, eResourceType type,
                                                           bool warn)
{
    if (m_resourceMode == eUndecided)
        checkResourcesLocation();
    void const* nul = std::memchr(name.data(), 0, name.length());
    std::string const unchanged(name.data(),
                                nul ? std::size_t(static_cast<char const*>(nul) - name.data()) : name.length());
    std::string path = unchanged;
    std::replace(path.begin(), path.end(), '/', BAS::FileName::DIR_SEPARATOR);

    switch (m_resourceMode) {
    case eBundle: return refusedIfUnreadable(fromBundle(unchanged, path, type, warn), type);
    case eSkinFolder: {
        std::string const full = m_skinFolderPath + s_pResTypePath[type] + BAS::FileName::DIR_SEPARATOR + path;
        tResource found = fromSkinFolder(full, m_skinFolderPath, unchanged, type, warn);
        if (!found.stream && warn)
            logLine(fmt::format("TOV::ManagerContainer::getResourceStream - can't find resource: {0}", full));
        return refusedIfUnreadable(std::move(found), type);
    }
    default:
        if (BAS::DebugTrace::isGroupEnabled(""))
            BAS::DebugTrace::printLine(
                "", "TOV::ManagerContainer::getResourceStream - can't determin proper resource path");
        return tResource();
    }
}

// A picture or font that is there but cannot be read is said here; a style
// sheet's reader says it with where the sheet was asked for.
ManagerContainer::tResource ManagerContainer::refusedIfUnreadable(tResource found, eResourceType type)
{
    if (found.outcome == SkinFileOutcome::eUnreadable && type != eStyleSheet)
        reportRefusal(fmt::format("{} {} cannot be read: {}", kKinds[type], found.path, found.problem));
    return found;
}

std::shared_ptr<BAS::Stream> ManagerContainer::getResourceStream(BAS::CharSequence<char> const& name,
                                                                 eResourceType type, bool warn)
{
    return findResource(name, type, warn).stream;
}

// The skin folder inside the bundle's resources, then the linked resources.
ManagerContainer::tResource ManagerContainer::fromBundle(std::string const& name, std::string const& path,
                                                         eResourceType type, bool warn)
{
    tResource found;
    if (boost::filesystem::path const bundle = m_locations.bundlePath(); !bundle.empty()) {
        std::string const skin = colonFolder(bundle / "Contents" / "Resources") + "skin";
        std::string const full =
            skin + BAS::FileName::DIR_SEPARATOR + s_pResTypePath[type] + BAS::FileName::DIR_SEPARATOR + path;
        found = fromSkinFolder(full, skin, name, type, warn);
        if (found.stream)
            return found;
        if (warn)
            logLine(fmt::format(
                "TOV::ManagerContainer::getResourceStream - warning: can't load resource {} from app bundle", path));
    }
    void* bundle = m_locations.bundle ? m_locations.bundle
                                      : const_cast<void*>(static_cast<void const*>(BAS::getCurrentDSOHandle()));
    auto linked = std::make_shared<BAS::ResourceStream>();
    if (linked->init(bundle, name.c_str(), s_pResTypes[type])) {
        found = tResource();
        found.stream = std::move(linked);
        found.path = name;
        found.outcome = SkinFileOutcome::eRead;
        return found;
    }
    if (warn)
        logLine(fmt::format("TOV::ManagerContainer::getResourceStream - can't load linked resource {}", name));
    if (found.path.empty())
        found.path = name;
    return found;
}

FEN::Font::CreateData const& ManagerContainer::getDefaultFontData() const
{
    static FEN::Font::CreateData const data = [] {
        FEN::Font::CreateData made;
        made.resourceId = 1;
        made.size = 12;
        made.flags = Lib::getFontHinting() ? uint32_t(FEN::Font::eHinting) : 0u;
        made.engine = FEN::getSystemFontEngine()->handle();
        return made;
    }();
    return data;
}

FEN::Font const* ManagerContainer::getFont(FEN::Font::CreateData const& data)
{
    std::shared_ptr<FEN::Font>& entry = m_fontCache[data];
    if (entry)
        return entry.get();
    std::shared_ptr<FEN::Font> font;
    if (data.resourceId == 0 && !(data.flags & FEN::Font::eLoadFromResource)) {
        tResource const found = findResource(data.name, eFont, true);
        if (found.stream)
            font = std::make_shared<FEN::Font>(*found.stream, data);
        if (font && !font->getLoadFailure().empty())
            reportRefusal(fmt::format("font {} cannot be read: {}", found.path, font->getLoadFailure()));
    } else {
        font = std::make_shared<FEN::Font>(data);
    }
    // A font without glyphs would draw nothing: treat it as missing.
    if (font && font->renderCaches().empty())
        font.reset();
    entry = font;
    return entry.get();
}

FEN::Font const* ManagerContainer::getFontOrDefault(FEN::Font::CreateData const& data)
{
    if (FEN::Font const* font = getFont(data))
        return font;
    return getFont(getDefaultFontData());
}

LazyPicture ManagerContainer::getImage(std::string const& name, FEN::PictureProperties const& properties)
{
    return LazyPicture([this, name, properties](float scale) { return loadCachedImage(name, properties, scale); });
}

std::shared_ptr<FEN::Picture const> ManagerContainer::loadCachedImage(std::string const& name,
                                                                      FEN::PictureProperties const& properties,
                                                                      float scale)
{
    tPictureKey key{FEN::resolveHiDPIUrl(name, scale), properties};
    auto const found = m_pictureCache.find(key);
    if (found != m_pictureCache.end())
        return found->second;
    std::shared_ptr<FEN::Picture> picture;
    loadImage(picture, key.name, properties, scale);
    if (picture)
        m_pictureCache.emplace(std::move(key), picture);
    return picture;
}

std::shared_ptr<FEN::Picture>& ManagerContainer::loadImage(std::shared_ptr<FEN::Picture>& picture,
                                                           std::string const& path,
                                                           FEN::PictureProperties const& properties, float scale)
{
    tResource const found = findResource(path, ePicture, scale == 1.0f);
    if (!found.stream)
        return picture;
    found.stream->setByteOrder(BAS::Endian::eLittleEndian);
    if (!picture)
        picture = std::make_shared<FEN::Picture>();
    bool const read = picture->readDetect(*found.stream, FEN::PictureProperties::eOrientation(0), true);
    for (std::string const& warning : picture->getReadWarnings())
        reportRemark(fmt::format("picture {}: {}", found.path, warning));
    if (!read) {
        reportRefusal(unreadablePicture(found.path, *picture));
        picture.reset();
        return picture;
    }
    auto scaled = [scale](int pixels) { return int(std::lroundf(float(std::max(pixels, 0)) * scale)); };
    picture->setAnimationOrientation(properties.getAnimationOrientation());
    picture->setNumAnimations(properties.getNumAnimations());
    picture->setFixedTop(scaled(properties.getFixedTop()));
    picture->setFixedBottom(scaled(properties.getFixedBottom()));
    picture->setFixedLeft(scaled(properties.getFixedLeft()));
    picture->setFixedRight(scaled(properties.getFixedRight()));
    picture->setVertResizable(properties.getResizableFlags() & 1u);
    picture->setHorzResizable(properties.getResizableFlags() & 2u);
    picture->initEmptyAreaFlags();
    return picture;
}

} // namespace CV::TOV
