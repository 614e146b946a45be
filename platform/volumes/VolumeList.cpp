#include "platform/volumes/VolumeList.h"

#include <glib.h>

#include <sys/stat.h>

#include <algorithm>
#include <mutex>

namespace platform::volumes {

namespace {

// The volumes made from the last table the source gave.
struct MountedVolumes {
    std::mutex mutex;
    MountTableCache::Entries madeFrom;
    std::vector<Volume> volumes;
};

MountedVolumes& mountedVolumes()
{
    static MountedVolumes mounted;
    return mounted;
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool isExistingFolder(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Volume bootVolume(const MountEntry* rootEntry)
{
    Volume boot;
    boot.name = VolumeList::kBootVolumeName;
    boot.mountPoint = "/";
    boot.isBoot = true;
    if (rootEntry) {
        boot.device = rootEntry->source;
        boot.fileSystemType = rootEntry->fileSystemType;
    }
    boot.kind = fileSystemKindOf(boot.fileSystemType);
    if (boot.kind == FileSystemKind::None)
        boot.kind = FileSystemKind::Local;
    return boot;
}

bool isWellFormedUtf8(const std::string& text)
{
    return g_utf8_validate(text.data(), gssize(text.size()), nullptr) && text.find('\0') == std::string::npos;
}

std::string caseFolded(const std::string& text)
{
    gchar* folded = g_utf8_casefold(text.data(), gssize(text.size()));
    std::string out(folded ? folded : "");
    g_free(folded);
    return out;
}

bool equalIgnoringCase(const std::string& a, const std::string& b)
{
    if (!isWellFormedUtf8(a) || !isWellFormedUtf8(b))
        return false;
    return caseFolded(a) == caseFolded(b);
}

} // namespace

std::string VolumeList::displayNameOf(const std::string& mountPoint)
{
    const std::string path = withoutTrailingSlashes(mountPoint);
    if (path == "/" || path.empty())
        return kBootVolumeName;
    std::string name = path.substr(path.rfind('/') + 1);
    std::replace(name.begin(), name.end(), ':', '/');
    return name;
}

std::vector<Volume> VolumeList::fromMountEntries(const std::vector<MountEntry>& entries)
{
    const MountEntry* rootEntry = nullptr;
    std::vector<Volume> others;
    for (const MountEntry& entry : entries) {
        const std::string mountPoint = withoutTrailingSlashes(entry.mountPoint);
        if (mountPoint.empty() || mountPoint[0] != '/')
            continue;
        if (mountPoint == "/") {
            rootEntry = &entry;
            continue;
        }
        const FileSystemKind kind = fileSystemKindOf(entry.fileSystemType);
        if (kind == FileSystemKind::None || !isExistingFolder(mountPoint))
            continue;
        Volume volume{displayNameOf(mountPoint), mountPoint, entry.source, entry.fileSystemType, kind, false};
        auto same =
            std::find_if(others.begin(), others.end(), [&](const Volume& v) { return v.mountPoint == mountPoint; });
        if (same != others.end())
            *same = std::move(volume);
        else
            others.push_back(std::move(volume));
    }
    std::vector<Volume> volumes;
    volumes.reserve(others.size() + 1);
    volumes.push_back(bootVolume(rootEntry));
    for (Volume& volume : others)
        volumes.push_back(std::move(volume));
    return volumes;
}

std::vector<Volume> VolumeList::mounted()
{
    const MountTableCache::Entries entries = MountTableSource::entries();
    MountedVolumes& mounted = mountedVolumes();
    std::lock_guard<std::mutex> lock(mounted.mutex);
    if (mounted.madeFrom != entries) {
        mounted.volumes = fromMountEntries(*entries);
        mounted.madeFrom = entries;
    }
    return mounted.volumes;
}

const Volume* VolumeList::findByName(const std::vector<Volume>& volumes, const std::string& name)
{
    for (const Volume& volume : volumes) {
        if (volume.name == name)
            return &volume;
    }
    for (const Volume& volume : volumes) {
        if (equalIgnoringCase(volume.name, name))
            return &volume;
    }
    return nullptr;
}

const Volume* VolumeList::findByPath(const std::vector<Volume>& volumes, const std::string& path)
{
    const Volume* best = nullptr;
    for (const Volume& volume : volumes) {
        const std::string& mountPoint = volume.mountPoint;
        const bool holds = mountPoint == "/" ||
            (path.compare(0, mountPoint.size(), mountPoint) == 0 &&
             (path.size() == mountPoint.size() || path[mountPoint.size()] == '/'));
        if (holds && (!best || mountPoint.size() > best->mountPoint.size()))
            best = &volume;
    }
    return best;
}

} // namespace platform::volumes
