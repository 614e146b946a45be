#include "BAS/FileName.h"

#include "BAS/FileTypeManager.h"
#include "CaselessName.h"
#include "platform/volumes/ColonPath.h"
#include "platform/volumes/FileSystemItem.h"
#include "platform/volumes/VolumeList.h"

namespace CV {
namespace BAS {

using platform::volumes::ColonPath;
using platform::volumes::FileSystemItem;
using platform::volumes::VolumeList;

namespace {

// Longer display names are not compared (the platform's limit of 254
// UTF-16 units).
constexpr std::size_t kMaxComparedVolumeNameUnits = 253;
constexpr std::size_t kMaxSystemPathBytes = 4095;

std::size_t utf16UnitsOf(const std::string& text)
{
    std::size_t units = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80)
            ++units;
        if ((c & 0xF8) == 0xF0)
            ++units; // outside the basic plane: a surrogate pair
    }
    return units;
}

bool hasExtensionAfterLastColon(const std::string& path)
{
    const std::size_t colon = path.rfind(':');
    if (colon == std::string::npos)
        return false;
    return path.find('.', colon + 1) != std::string::npos;
}

const FileTypeDescr* typeForFile(const std::string& extension, FileTypeMacMagic code)
{
    const FileTypeDescr* unknown = FileTypeManager::getStdType(FileTypeManager::eUnknown);
    const FileTypeDescr* byExtension =
        FileTypeManager::getUniqueTypeForExtension(extension.empty() ? extension : extension.substr(1));
    if (byExtension && byExtension != unknown)
        return byExtension;
    return FileTypeManager::getUniqueTypeForMacMagic(code);
}

} // namespace

FileName::FileName(const std::string& fullPath)
    : full(fullPath)
{
    init();
}

FileName::FileName(const char* fullPath)
    : FileName(std::string(fullPath ? fullPath : ""))
{
}

FileName::FileName(const boost::filesystem::path& posixPath)
{
    const std::string& posix = posixPath.native();
    full = POSIX2HFSPath(reinterpret_cast<const unsigned char*>(posix.c_str()));
    if (!posix.empty() && posix.back() == '/' && !full.empty())
        full += DIR_SEPARATOR;
    init();
}

bool FileName::setFull(const std::string& fullPath)
{
    mode = eNone;
    full = fullPath;
    init();
    return true;
}

void FileName::setPath(const std::string& path, eWithVolume withVolume)
{
    if (mode == eNone || mode == eVolume)
        mode = eDirectory;
    std::string folder = path;
    if (!folder.empty() && folder.back() != DIR_SEPARATOR)
        folder += DIR_SEPARATOR;
    if (withVolume == eWithoutVolume)
        folder = volume + folder;
    full = folder + name + extension;
    subpath.clear();
    init();
}

bool FileName::setType(const FileTypeDescr* newType)
{
    const bool changed = newType != type;
    type = newType;
    return changed;
}

void FileName::clear()
{
    full.clear();
    emptyParts();
    directory.clear();
    mode = eNone;
}

void FileName::emptyParts()
{
    volume.clear();
    directory = std::string(1, DIR_SEPARATOR);
    name.clear();
    extension.clear();
    subpath.clear();
    type = nullptr;
    relative = false;
}

void FileName::init()
{
    if (full.empty()) {
        clear();
        return;
    }
    emptyParts();
    if (classifyAsVolumeName())
        return;
    stripSubpath(full, subpath);

    std::string posix;
    FSRef ref;
    const bool named = ColonPath::toPosix(full, posix) && FileSystemItem::makeRef(posix, ref);
    if (!named || !initFromFSRef(ref, nullptr))
        splitPath(full);
    if (mode == eDirectory) {
        subpath.clear();
        type = FileTypeManager::getStdType(FileTypeManager::eDirectory);
    }
    markRelative();
}

bool FileName::classifyAsVolumeName()
{
    for (const auto& volumeInfo : VolumeList::mounted()) {
        if (utf16UnitsOf(volumeInfo.name) > kMaxComparedVolumeNameUnits)
            continue;
        if (!DETAIL::CaselessName::equal(volumeInfo.name, full))
            continue;
        if (mode == eNone)
            mode = eVolume;
        volume = full;
        type = FileTypeManager::getStdType(FileTypeManager::eVolume);
        return true;
    }
    return false;
}

bool FileName::initFromFSRef(const FSRef& ref, FSCatalogInfo* catalogInfo)
{
    FSCatalogInfo readInfo;
    if (!catalogInfo) {
        if (!FileSystemItem::getCatalogInfo(ref, readInfo))
            return false;
        catalogInfo = &readInfo;
    }
    bool isFolder = (catalogInfo->nodeFlags & FSCatalogInfo::kNodeIsDirectoryMask) != 0;
    FileTypeMacMagic code = catalogInfo->finderInfo.fileType;
    if (isFolder && hasExtensionAfterLastColon(full)) {
        uint32_t packageType = 0;
        uint32_t packageCreator = 0;
        if (FileSystemItem::getPackageInfo(ref.path, packageType, packageCreator)) {
            isFolder = false;
            code = packageType;
        }
    }
    if (isFolder) {
        mode = eDirectory;
        if (full.empty() || full.back() != DIR_SEPARATOR)
            full += DIR_SEPARATOR;
        const std::size_t firstColon = full.find(DIR_SEPARATOR);
        volume = full.substr(0, firstColon);
        directory = full.substr(firstColon);
        name.clear();
        extension.clear();
        type = FileTypeManager::getStdType(FileTypeManager::eDirectory);
        return true;
    }
    // Only a folder can be the root of a volume: a file named without any
    // ':' stays a file.
    mode = eFile;
    splitFileText(full);
    type = typeForFile(extension, code);
    return true;
}

bool FileName::getFullFromFSRef(const FSRef& ref, std::string& fullPath)
{
    std::string colon;
    if (ref.path.empty() || !ColonPath::fromPosix(ref.path, colon) || colon.empty())
        return false;
    fullPath = colon;
    return true;
}

void FileName::stripSubpath(std::string& path, std::string& subpath)
{
    const std::size_t lastColon = path.rfind(DIR_SEPARATOR);
    const std::size_t from = lastColon == std::string::npos ? 0 : lastColon + 1;
    const std::size_t lt = path.find('<', from);
    if (lt == std::string::npos)
        return;
    subpath = path.substr(lt);
    path.erase(lt);
}

void FileName::splitPath(const std::string& path)
{
    volume.clear();
    name.clear();
    extension.clear();
    if (path.size() > 1 && path.front() == DIR_SEPARATOR && path.back() == DIR_SEPARATOR) {
        directory = path;
        mode = eDirectory;
        return;
    }
    // A name made of a container subpath alone leaves an empty path here.
    if (!path.empty() && path.back() == DIR_SEPARATOR) {
        const std::size_t firstColon = path.find(DIR_SEPARATOR);
        volume = path.substr(0, firstColon);
        directory = path.substr(firstColon);
        mode = eDirectory;
        return;
    }
    splitFileText(path);
    mode = name.empty() ? eDirectory : eFile;
}

void FileName::splitFileText(const std::string& path)
{
    const std::size_t firstColon = path.find(DIR_SEPARATOR);
    if (firstColon == std::string::npos) {
        volume.clear();
        directory.clear(); // no ':' at all: the name stands alone
        name = path;
    } else {
        const std::size_t lastColon = path.rfind(DIR_SEPARATOR);
        volume = path.substr(0, firstColon);
        directory = path.substr(firstColon, lastColon + 1 - firstColon);
        name = path.substr(lastColon + 1);
    }
    extension.clear();
    const std::size_t dot = name.rfind('.');
    if (!name.empty() && dot != std::string::npos && dot >= 1) {
        extension = name.substr(dot);
        name.erase(dot);
    }
}

void FileName::markRelative()
{
    relative = (mode == eFile || mode == eDirectory) && (volume.empty() || directory.empty());
}

bool FileName::getFSRef(FSRef& ref, bool /*resolveAlias*/, unsigned char* isDirectory) const
{
    const std::string posix = getSystemPath(false, true);
    bool folder = false;
    if (posix.empty() || !FileSystemItem::makeRef(posix, ref, &folder))
        return false;
    if (isDirectory)
        *isDirectory = folder ? 1 : 0;
    return true;
}

std::string FileName::getSystemPath(bool resolveAlias, bool /*fileSystemRepresentation*/) const
{
    if (resolveAlias) {
        FSRef ref;
        if (getFSRef(ref, true, nullptr) && ref.path.size() <= kMaxSystemPathBytes)
            return ref.path;
    }
    std::string posix;
    if (full.empty() || !ColonPath::toPosix(full, posix))
        return std::string();
    return posix;
}

boost::filesystem::path FileName::getFilesystemPath() const
{
    return boost::filesystem::path(getSystemPath(true, true));
}

std::string FileName::POSIX2HFSPath(const unsigned char* posixPath)
{
    std::string colon;
    if (!posixPath || !ColonPath::fromPosix(reinterpret_cast<const char*>(posixPath), colon))
        return std::string();
    return colon;
}

} // namespace BAS
} // namespace CV
