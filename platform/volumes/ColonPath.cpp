#include "platform/volumes/ColonPath.h"

#include "platform/volumes/VolumeList.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace platform::volumes {

namespace {

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

std::string swapped(std::string name, char from, char to)
{
    std::replace(name.begin(), name.end(), from, to);
    return name;
}

std::string currentFolder()
{
    std::unique_ptr<char, void (*)(void*)> cwd(::getcwd(nullptr, 0), ::free);
    return cwd ? std::string(cwd.get()) : std::string();
}

// The POSIX components of the colon components after the first one.
std::string joinedFolders(const std::vector<std::string>& components, std::size_t first)
{
    std::string out;
    const std::size_t last = components.size() - 1;
    for (std::size_t i = first; i <= last; ++i) {
        const std::string& component = components[i];
        if (component.empty() && i == last)
            break; // a final ':' marks a folder
        if (!out.empty())
            out += '/';
        out += component.empty() ? std::string("..") : swapped(component, '/', ':');
    }
    return out;
}

} // namespace

bool ColonPath::toPosix(const std::string& colonPath, std::string& posixPath)
{
    return toPosix(colonPath, posixPath, VolumeList::mounted());
}

bool ColonPath::toPosix(const std::string& colonPath, std::string& posixPath, const std::vector<Volume>& volumes)
{
    if (colonPath.empty())
        return false;
    const std::vector<std::string> components = split(colonPath, ':');
    if (components.front().empty()) {
        const std::string relative = joinedFolders(components, 1);
        posixPath = relative.empty() ? std::string(".") : relative;
        return true;
    }
    const Volume* volume = VolumeList::findByName(volumes, components.front());
    if (!volume)
        return false;
    const std::string folders = components.size() > 1 ? joinedFolders(components, 1) : std::string();
    if (folders.empty())
        posixPath = volume->mountPoint;
    else if (volume->mountPoint == "/")
        posixPath = "/" + folders;
    else
        posixPath = volume->mountPoint + "/" + folders;
    return true;
}

std::string ColonPath::normalisedAbsolute(const std::string& posixPath)
{
    if (posixPath.empty())
        return std::string();
    std::string absolute = posixPath;
    if (absolute[0] != '/') {
        const std::string cwd = currentFolder();
        if (cwd.empty())
            return std::string();
        absolute = cwd + "/" + absolute;
    }
    std::vector<std::string> kept;
    for (const std::string& component : split(absolute, '/')) {
        if (component.empty() || component == ".")
            continue;
        if (component == "..") {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(component);
    }
    std::string out;
    for (const std::string& component : kept)
        out += "/" + component;
    return out.empty() ? std::string("/") : out;
}

bool ColonPath::fromPosix(const std::string& posixPath, std::string& colonPath)
{
    return fromPosix(posixPath, colonPath, VolumeList::mounted());
}

bool ColonPath::fromPosix(const std::string& posixPath, std::string& colonPath, const std::vector<Volume>& volumes)
{
    const std::string absolute = normalisedAbsolute(posixPath);
    if (absolute.empty())
        return false;
    const Volume* volume = VolumeList::findByPath(volumes, absolute);
    if (!volume)
        return false;
    std::string out = volume->name;
    const std::string rest =
        volume->mountPoint == "/" ? absolute.substr(1) : absolute.substr(volume->mountPoint.size());
    for (const std::string& component : split(rest, '/')) {
        if (!component.empty())
            out += ":" + swapped(component, ':', '/');
    }
    colonPath = out;
    return true;
}

} // namespace platform::volumes
