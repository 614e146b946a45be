// The channel between a running copy of a program and a later launch: one
// request comes through with its startup id, whatever else arrives is
// ignored, and a sender with no one to hear it gives up.
#include "platform/system/InstanceChannel.h"
#include "platform/runloop/MainLoop.h"

#include "VarantoTest/TemporaryFolder.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::InstanceChannel;
using platform::MainLoop;

class InstanceChannelTest : public ::testing::Test {
protected:
    void SetUp() override { ::chmod(folder.string().c_str(), 0700); }

    // The requests the channel handed over, after the loop has run until
    // count of them came (or a while passed).
    std::vector<std::string> heardAfter(std::size_t count)
    {
        MainLoop::instance().runUntil([&] { return heard.size() >= count; }, 10s);
        MainLoop::instance().runPending();
        return heard;
    }

    // Sends a datagram as any program of the user could, without waiting for
    // room: the socket holds only a few (10 by default) until they are read.
    void sendRaw(const std::string& message)
    {
        const int sender = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ASSERT_GE(sender, 0);
        EXPECT_EQ(sendTo(sender, message), ssize_t(message.size()));
        ::close(sender);
    }
    ssize_t sendTo(int sender, const std::string& message)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        return ::sendto(sender, message.data(), message.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&address),
                        sizeof address);
    }

    CV::test::TemporaryFolder folder{"channel"};
    std::string const path = folder.at("program.socket");
    std::vector<std::string> heard;
    InstanceChannel::Handler const hear = [this](const std::string& startupId) { heard.push_back(startupId); };
};

TEST_F(InstanceChannelTest, TheRunningCopyHearsEachRequestWithItsStartupId)
{
    InstanceChannel channel(path, hear);
    ASSERT_TRUE(channel.listening());
    EXPECT_TRUE(InstanceChannel::requestActivation(path, "launcher-42_TIME1234", 1s));
    EXPECT_EQ(heardAfter(1), std::vector<std::string>{"launcher-42_TIME1234"});
    // Without an id, or with one that is not an id: the request alone.
    EXPECT_TRUE(InstanceChannel::requestActivation(path, "", 1s));
    EXPECT_EQ(heardAfter(2).size(), 2u);
    EXPECT_TRUE(InstanceChannel::requestActivation(path, "two words", 1s));
    EXPECT_EQ(heardAfter(3), (std::vector<std::string>{"launcher-42_TIME1234", "", ""}));
}

TEST_F(InstanceChannelTest, RequestsThatComeWhileOneWaitsForItsTurnAreDropped)
{
    InstanceChannel channel(path, hear);
    ASSERT_TRUE(channel.listening());
    for (const char* id : {"first", "second", "third"})
        sendRaw(std::string("activate ") + id);
    EXPECT_EQ(heardAfter(1), std::vector<std::string>{"first"});
    sendRaw("activate fourth");
    EXPECT_EQ(heardAfter(2), (std::vector<std::string>{"first", "fourth"}));
}

// Requests that keep coming faster than the window can handle them: each
// one handled brings two more.
TEST_F(InstanceChannelTest, AFloodOfRequestsLetsTheLoopGoOnRepainting)
{
    const int sender = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(sender, 0);
    int handled = 0;
    InstanceChannel channel(path, [&](const std::string&) {
        ++handled;
        sendTo(sender, "activate");
        sendTo(sender, "activate");
    });
    ASSERT_TRUE(channel.listening());
    // A window that asks to be repainted every millisecond: the toolkit
    // repaints at its redraw priority, below the loop's timers and posted
    // work, above idle work.
    constexpr int kRedrawPriority = G_PRIORITY_HIGH_IDLE + 20;
    struct Repaints {
        int count = 0;
        bool asked = false;
    } repaints;
    const MainLoop::TimerId ticks = MainLoop::instance().addTimer(1ms, true, [&repaints] {
        if (std::exchange(repaints.asked, true))
            return;
        g_idle_add_full(
            kRedrawPriority,
            +[](gpointer data) {
                auto* asked = static_cast<Repaints*>(data);
                ++asked->count;
                asked->asked = false;
                return gboolean(G_SOURCE_REMOVE);
            },
            &repaints, nullptr);
    });
    sendRaw("activate");
    EXPECT_TRUE(MainLoop::instance().runUntil([&] { return repaints.count >= 50 && handled >= 50; }, 10s))
        << repaints.count << " repaints, " << handled << " requests handled";
    MainLoop::instance().cancelTimer(ticks);
    ::close(sender);
    MainLoop::instance().runPending();
}

TEST_F(InstanceChannelTest, WhatIsNoRequestIsIgnored)
{
    InstanceChannel channel(path, hear);
    ASSERT_TRUE(channel.listening());
    for (std::string const& garbage :
         {std::string(), std::string("hello"), std::string("activatex"), std::string("activate "),
          std::string("activate a b"), std::string("activate id\n"), std::string("activate \x01\xff", 11),
          std::string("activate ") + std::string(InstanceChannel::kMaxStartupId + 1, 'x'), std::string(70000, 'a'),
          std::string("ACTIVATE")}) {
        sendRaw(garbage);
        MainLoop::instance().runPending();
    }
    sendRaw("activate last");
    EXPECT_EQ(heardAfter(1), std::vector<std::string>{"last"});
}

TEST_F(InstanceChannelTest, ASenderWithNoOneListeningGivesUp)
{
    EXPECT_FALSE(InstanceChannel::requestActivation(path, "", 100ms)) << "no socket";
    {
        InstanceChannel gone(path, hear);
        ASSERT_TRUE(gone.listening());
    }
    EXPECT_FALSE(InstanceChannel::requestActivation(path, "", 100ms)) << "the listener went";
    // A socket left behind by a copy that crashed: no one reads it.
    const int stale = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(stale);
    EXPECT_FALSE(InstanceChannel::requestActivation(path, "", 100ms)) << "a stale socket";
    // The next running copy takes its place.
    InstanceChannel channel(path, hear);
    ASSERT_TRUE(channel.listening());
    EXPECT_TRUE(InstanceChannel::requestActivation(path, "", 1s));
    EXPECT_EQ(heardAfter(1), std::vector<std::string>{""});
}

TEST_F(InstanceChannelTest, AMissingFolderIsMadeForTheUserAlone)
{
    const std::string inner = folder.at("program-1000/activation.socket");
    {
        InstanceChannel channel(inner, hear);
        ASSERT_TRUE(channel.listening());
        struct stat info;
        ASSERT_EQ(::lstat(folder.at("program-1000").c_str(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_TRUE(InstanceChannel::requestActivation(inner, "", 1s));
        EXPECT_EQ(heardAfter(1), std::vector<std::string>{""});
    }
    // A folder others may write to, made before the program came, is not taken.
    ::chmod(folder.at("program-1000").c_str(), 0777);
    InstanceChannel channel(inner, hear);
    EXPECT_FALSE(channel.listening());
}

TEST_F(InstanceChannelTest, NothingListensOrIsSentInAFolderOthersMayWriteTo)
{
    ::chmod(folder.string().c_str(), 0777);
    InstanceChannel channel(path, hear);
    EXPECT_FALSE(channel.listening());
    EXPECT_FALSE(InstanceChannel::requestActivation(path, "", 100ms));
    ::chmod(folder.string().c_str(), 0700);
}

} // namespace
