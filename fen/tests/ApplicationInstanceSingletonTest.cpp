// What another user of the machine, or anything else, may put in the way of
// the single-instance check, and what a copy of the program then does: it
// never takes someone else's file for another copy, keeps its lock and its
// socket where only its user can write, so that a later copy finds both,
// and where no check can be made it says so in one line and runs.
#include "FEN/ApplicationInstanceSingleton.h"
#include "platform/runloop/MainLoop.h"
#include "platform/system/InstanceChannel.h"

#include <VarantoTest/TemporaryFolder.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::test::TemporaryFolder;
using namespace std::chrono_literals;

constexpr uid_t kOtherUser = 65534;

// An environment variable set (or unset, for nullopt) while the holder lives.
class EnvironmentScope {
public:
    EnvironmentScope(const char* name, std::optional<std::string> const& value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~EnvironmentScope() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// The folders one start sees: a temporary folder like /tmp (everyone may
// write to it, only an entry's owner may move the entry), the user's cache
// folder and a runtime folder of the user's own.
struct Places {
    Places()
    {
        ::chmod(temporary.c_str(), 01777);
        ::chmod(runtime.c_str(), 0700);
    }
    // What lies in the temporary folder under the names a copy of id may
    // use there: its folder, and the lock file of earlier versions.
    std::vector<std::string> temporaryNames(std::string const& id) const
    {
        const std::string stem = temporary + "/" + id + "-" + std::to_string(::geteuid());
        return {stem, stem + ".lock"};
    }

    TemporaryFolder root{"instance-check"};
    std::string const temporary = root.folder("tmp");
    std::string const cache = root.folder("cache");
    std::string const runtime = root.folder("runtime");
    std::string const target = root.at("target");
    // Locks that stand for another user's program holding them.
    std::vector<int> held;

    ~Places()
    {
        for (int fd : held)
            ::close(fd);
    }
};

bool belongsToSomeoneElse(std::string const& path)
{
    return ::lchown(path.c_str(), kOtherUser, kOtherUser) == 0;
}

// Another user's lock file at path with mode, held by that user's program
// when held is true.
void putForeignLockFile(Places& places, std::string const& path, mode_t mode, bool held)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, mode);
    ASSERT_GE(fd, 0) << path;
    ::fchmod(fd, mode);
    ASSERT_TRUE(belongsToSomeoneElse(path));
    if (!held) {
        ::close(fd);
        return;
    }
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    places.held.push_back(fd);
}

void putForeignFolder(std::string const& path, mode_t mode)
{
    ASSERT_EQ(::mkdir(path.c_str(), mode), 0) << path;
    ::chmod(path.c_str(), mode);
    ASSERT_TRUE(belongsToSomeoneElse(path));
}

void putLink(Places const& places, std::string const& path)
{
    ASSERT_EQ(::symlink(places.target.c_str(), path.c_str()), 0) << path;
}

// Whether folder is a real folder of this user's that no one else may write to.
bool isOwnPrivateFolder(std::string const& folder)
{
    struct stat info;
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
        (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string folderOf(std::string const& path)
{
    return path.substr(0, path.rfind('/'));
}

// Whether a later copy would find the lock of this one taken.
bool lockIsHeld(std::string const& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

// Whether a later copy's request reaches this copy.
bool laterCopyReaches(std::string const& socket)
{
    int heard = 0;
    platform::InstanceChannel channel(socket, [&](std::string const&) { ++heard; });
    if (!channel.listening() || !platform::InstanceChannel::requestActivation(socket, "", 1s))
        return false;
    return platform::MainLoop::instance().runUntil([&] { return heard == 1; }, 10s);
}

std::size_t linesIn(std::string const& text)
{
    return std::size_t(std::count(text.begin(), text.end(), '\n'));
}

struct InTheWay {
    const char* what;
    // Puts it in the way of the program named id.
    std::function<void(Places&, std::string const& id)> put;
    bool inRuntimeFolder; // XDG_RUNTIME_DIR is set to the runtime folder
    bool usesAnotherUser;
    // Another folder serves (true), or no check can be made: one line
    // naming what is in the way.
    bool anotherFolderServes;
};

std::vector<InTheWay> const kInTheWay = {
    {"another user's lock file (0666) held by that user's program",
     [](Places& p, std::string const& id) {
         for (std::string const& name : p.temporaryNames(id))
             putForeignLockFile(p, name, 0666, true);
     },
     false, true, true},
    {"another user's lock file (0600), not held",
     [](Places& p, std::string const& id) {
         for (std::string const& name : p.temporaryNames(id))
             putForeignLockFile(p, name, 0600, false);
     },
     false, true, true},
    {"a link",
     [](Places& p, std::string const& id) {
         for (std::string const& name : p.temporaryNames(id))
             putLink(p, name);
     },
     false, false, true},
    {"another user's folder",
     [](Places& p, std::string const& id) {
         for (std::string const& name : p.temporaryNames(id))
             putForeignFolder(name, 0700);
     },
     false, true, true},
    {"another user's folder that everyone may write to",
     [](Places& p, std::string const& id) {
         for (std::string const& name : p.temporaryNames(id))
             putForeignFolder(name, 0777);
     },
     false, true, true},
    {"a runtime folder of another user's",
     [](Places& p, std::string const&) { ASSERT_TRUE(belongsToSomeoneElse(p.runtime)); }, true, true, true},
    {"a runtime folder everyone may write to", [](Places& p, std::string const&) { ::chmod(p.runtime.c_str(), 0777); },
     true, false, true},
    {"no folder can be made (the temporary and the cache folder are files)",
     [](Places& p, std::string const&) {
         ::setenv("TMPDIR", p.root.write("not-a-folder").c_str(), 1);
         ::setenv("XDG_CACHE_HOME", p.root.at("not-a-folder").c_str(), 1);
     },
     false, false, false},
    {"a link in place of the lock file",
     [](Places& p, std::string const& id) { putLink(p, p.runtime + "/" + id + ".lock"); }, true, false, false},
    {"a folder in place of the lock file",
     [](Places& p, std::string const& id) { ::mkdir((p.runtime + "/" + id + ".lock").c_str(), 0700); }, true, false,
     false},
    {"another user's lock file in place, held",
     [](Places& p, std::string const& id) { putForeignLockFile(p, p.runtime + "/" + id + ".lock", 0666, true); }, true,
     true, false},
    {"another user's lock file in place, not held",
     [](Places& p, std::string const& id) { putForeignLockFile(p, p.runtime + "/" + id + ".lock", 0600, false); }, true,
     true, false},
};

TEST(ApplicationInstanceSingleton, NothingInTheWayIsTakenForAnotherCopyOrSplitsTheSingleCopy)
{
    int index = 0;
    for (InTheWay const& way : kInTheWay) {
        SCOPED_TRACE(way.what);
        if (way.usesAnotherUser && ::geteuid() != 0) {
            std::printf("skipped \"%s\": giving a file to another user needs root\n", way.what);
            continue;
        }
        const std::string id = "com.example.in-the-way-" + std::to_string(index++);
        Places places;
        EnvironmentScope runtime("XDG_RUNTIME_DIR",
                                 way.inRuntimeFolder ? std::optional<std::string>(places.runtime) : std::nullopt);
        EnvironmentScope temporary("TMPDIR", places.temporary);
        EnvironmentScope cache("XDG_CACHE_HOME", places.cache);
        way.put(places, id);
        if (testing::Test::HasFatalFailure())
            return;

        testing::internal::CaptureStderr();
        EXPECT_FALSE(ApplicationInstanceSingleton::hasConflictingInstance(id, ApplicationInstanceSingleton::eUser));
        const std::string said = testing::internal::GetCapturedStderr();
        const std::string lock = ApplicationInstanceSingleton::lockFilePath(id);
        if (way.anotherFolderServes) {
            EXPECT_EQ(said, "");
            EXPECT_TRUE(isOwnPrivateFolder(folderOf(lock))) << lock;
            EXPECT_TRUE(lockIsHeld(lock)) << "a later copy would run beside this one";
            const std::string socket = ApplicationInstanceSingleton::channelPath(id);
            EXPECT_EQ(folderOf(socket), folderOf(lock));
            EXPECT_TRUE(laterCopyReaches(socket)) << socket;
        } else {
            EXPECT_EQ(linesIn(said), 1u) << said;
            EXPECT_NE(said.find(places.root.string()), std::string::npos) << "names the place: " << said;
        }
        EXPECT_FALSE(std::filesystem::exists(places.target)) << "a link was followed";
    }
}

TEST(ApplicationInstanceSingleton, TheFolderMadeInTheCacheFolderServesLaterCopiesToo)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    Places places;
    EnvironmentScope runtime("XDG_RUNTIME_DIR", std::nullopt);
    EnvironmentScope temporary("TMPDIR", places.temporary);
    EnvironmentScope cache("XDG_CACHE_HOME", places.cache);
    const std::string id = "com.example.moved";
    const std::string squatted = places.temporaryNames(id).front();
    putForeignFolder(squatted, 0700);
    EXPECT_FALSE(ApplicationInstanceSingleton::hasConflictingInstance(id, ApplicationInstanceSingleton::eUser));
    const std::string lock = ApplicationInstanceSingleton::lockFilePath(id);
    EXPECT_EQ(lock, places.cache + "/" + id + "/single-instance.lock");
    // The other user takes the folder away: a later copy still looks where
    // the first one holds its lock.
    ASSERT_EQ(::rmdir(squatted.c_str()), 0);
    EXPECT_EQ(ApplicationInstanceSingleton::lockFilePath(id), lock);
    EXPECT_TRUE(lockIsHeld(lock));
}

// As root the runtime folder of the user's own, read-only to the user,
// could still be written: the user here is another one.
TEST(ApplicationInstanceSingletonDeathTest, ARuntimeFolderTheUserCannotWriteToIsPassedOver)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "starting as another user needs root";
    Places places;
    ::chmod(places.root.string().c_str(), 0755);
    ASSERT_TRUE(belongsToSomeoneElse(places.runtime));
    ASSERT_TRUE(belongsToSomeoneElse(places.cache));
    ::chmod(places.runtime.c_str(), 0500);
    EnvironmentScope runtime("XDG_RUNTIME_DIR", places.runtime);
    EnvironmentScope temporary("TMPDIR", places.temporary);
    EnvironmentScope cache("XDG_CACHE_HOME", places.cache);
    const std::string id = "com.example.read-only";
    const std::string expected =
        places.temporary + "/" + id + "-" + std::to_string(kOtherUser) + "/single-instance.lock";
    EXPECT_EXIT(
        {
            if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0)
                std::_Exit(2);
            const bool conflict =
                ApplicationInstanceSingleton::hasConflictingInstance(id, ApplicationInstanceSingleton::eUser);
            std::_Exit(!conflict && ApplicationInstanceSingleton::lockFilePath(id) == expected && lockIsHeld(expected)
                           ? 0
                           : 1);
        },
        testing::ExitedWithCode(0), "^$");
}

} // namespace
