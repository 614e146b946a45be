#include "platform/system/InstanceFolder.h"

#include "platform/system/FolderTrust.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr const char* kOwnLockName = "single-instance.lock";
constexpr const char* kOwnSocketName = "activation.socket";

// The id as one file-name component.
std::string fileNameOf(const std::string& id)
{
    std::string safe;
    for (char c : id) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
            c == '-' || c == '_';
        safe += plain ? c : '_';
    }
    return safe;
}

// An absolute path from the environment, or "".
std::string absoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value == '/' ? value : "";
}

std::string parentOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string temporaryFolder()
{
    const std::string folder = absoluteFromEnvironment("TMPDIR");
    return folder.empty() ? "/tmp" : folder;
}

// $XDG_CACHE_HOME, else ~/.cache; "" without a home.
std::string userCacheFolder()
{
    const std::string cache = absoluteFromEnvironment("XDG_CACHE_HOME");
    if (!cache.empty())
        return cache;
    std::string home = absoluteFromEnvironment("HOME");
    if (home.empty()) {
        const passwd* entry = ::getpwuid(::geteuid());
        if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/')
            home = entry->pw_dir;
    }
    return home.empty() ? "" : home + "/.cache";
}

bool othersMayWrite(const struct stat& info)
{
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "; ") + part;
    return text;
}

} // namespace

bool InstanceFolder::isPrivate(const std::string& folder, std::string& why)
{
    struct stat info;
    if (::lstat(folder.c_str(), &info) != 0)
        why = folder + ": " + std::strerror(errno);
    else if (S_ISLNK(info.st_mode))
        why = folder + ": is a link";
    else if (!S_ISDIR(info.st_mode))
        why = folder + ": is not a folder";
    else if (info.st_uid != ::geteuid())
        why = folder + ": belongs to user " + std::to_string(info.st_uid);
    else if (othersMayWrite(info))
        why = folder + ": others may write to it";
    else if (::access(folder.c_str(), W_OK | X_OK) != 0)
        why = folder + ": " + std::strerror(errno);
    else
        return true;
    return false;
}

bool InstanceFolder::makePrivate(const std::string& folder, std::string& why)
{
    if (const FolderTrust::Verdict holder = FolderTrust::judgeHolder(parentOf(folder)); !holder) {
        why = folder + ": " + holder.reason;
        return false;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        why = folder + ": " + std::strerror(errno);
        return false;
    }
    return isPrivate(folder, why);
}

InstanceFolder InstanceFolder::find(const std::string& id)
{
    InstanceFolder found;
    std::vector<std::string> refusals;
    std::string why;
    const std::string runtime = absoluteFromEnvironment("XDG_RUNTIME_DIR");
    if (!runtime.empty()) {
        if (isPrivate(runtime, why)) {
            found.m_folder = runtime;
            found.m_lockName = fileNameOf(id) + ".lock";
            found.m_socketName = fileNameOf(id) + ".socket";
            return found;
        }
        refusals.push_back(why);
    }
    found.m_lockName = kOwnLockName;
    found.m_socketName = kOwnSocketName;
    const std::string cache = userCacheFolder();
    const std::string cached = cache.empty() ? "" : cache + "/" + fileNameOf(id);
    struct stat info;
    if (!cached.empty() && ::lstat(cached.c_str(), &info) == 0 && isPrivate(cached, why)) {
        found.m_folder = cached;
        return found;
    }
    const std::string temporary = temporaryFolder() + "/" + fileNameOf(id + "-" + std::to_string(::geteuid()));
    if (makePrivate(temporary, why)) {
        found.m_folder = temporary;
        return found;
    }
    refusals.push_back(why);
    if (cached.empty()) {
        refusals.push_back("the user has no home folder");
    } else {
        ::mkdir(cache.c_str(), 0700);
        if (makePrivate(cached, why)) {
            found.m_folder = cached;
            return found;
        }
        refusals.push_back(why);
    }
    found.m_problem = "no folder only this user can write to (" + joined(refusals) + ")";
    return found;
}

std::string InstanceFolder::lockFile() const
{
    return usable() ? m_folder + "/" + m_lockName : "";
}

std::string InstanceFolder::socket() const
{
    return usable() ? m_folder + "/" + m_socketName : "";
}

} // namespace platform
