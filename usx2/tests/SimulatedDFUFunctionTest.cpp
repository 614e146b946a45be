#include "usx2/usb/linux/SimulatedDFUFunction.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using CV::USX2::SimulatedDFUFunction;
namespace DFU = CV::USX2::DFU;
using Millis = SimulatedDFUFunction::Millis;

namespace {

// Drives the DFU function the way a host would, keeping the time.
struct Host {
    explicit Host(SimulatedDFUFunction::Config config,
                  SimulatedDFUFunction::Faults faults = SimulatedDFUFunction::Faults())
        : dfu(std::move(config), faults)
    {
    }

    SimulatedDFUFunction::Reply out(std::uint8_t request, std::uint16_t value = 0, std::vector<std::uint8_t> bytes = {})
    {
        return dfu.handleRequest(0x21, request, value, static_cast<std::uint16_t>(bytes.size()), bytes.data(), now);
    }

    struct Status {
        bool ok;
        std::uint16_t length;
        std::uint8_t bStatus;
        std::uint32_t pollTimeout;
        std::uint8_t bState;
    };

    Status getStatus()
    {
        std::array<std::uint8_t, 6> b{};
        auto reply = dfu.handleRequest(0xA1, DFU::DFU_GETSTATUS, 0, 6, b.data(), now);
        return {!reply.stalled, reply.length, b[0], std::uint32_t(b[1] | b[2] << 8 | b[3] << 16), b[4]};
    }

    int getState()
    {
        std::uint8_t state = 0xFF;
        auto reply = dfu.handleRequest(0xA1, DFU::DFU_GETSTATE, 0, 1, &state, now);
        return reply.stalled || reply.length != 1 ? -1 : state;
    }

    void wait(long ms) { now += Millis(ms); }

    // Into DFU mode by the vendor request, then after the delay.
    void enterDFUMode()
    {
        ASSERT_FALSE(out(DFU::XMOS_DFU_RESETINTODFU).stalled);
        wait(dfu.config().reenumerationDelay.count());
        ASSERT_TRUE(dfu.presence(now).dfuMode);
    }

    // Sends the blocks and polls each one until it is written.
    bool download(const std::vector<std::uint8_t>& image, std::uint16_t size)
    {
        std::uint16_t block = 0;
        for (std::size_t at = 0; at < image.size(); at += size, ++block) {
            std::vector<std::uint8_t> bytes(image.begin() + at, image.begin() + std::min(image.size(), at + size));
            if (out(DFU::DFU_DNLOAD, block, bytes).stalled)
                return false;
            Status status = getStatus();
            while (status.ok && status.bState == DFU::dfuDNBUSY) {
                wait(status.pollTimeout);
                status = getStatus();
            }
            if (!status.ok || status.bState != DFU::dfuDNLOAD_IDLE)
                return false;
        }
        return !out(DFU::DFU_DNLOAD, block).stalled;
    }

    SimulatedDFUFunction dfu;
    Millis now{0};
};

std::vector<std::uint8_t> image(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

SimulatedDFUFunction::Config config(std::uint8_t attributes, std::size_t imageSize = 100)
{
    SimulatedDFUFunction::Config c;
    c.bmAttributes = attributes;
    c.wTransferSize = 64;
    c.expectedImage = image(imageSize);
    return c;
}

constexpr std::uint8_t kTolerant = DFU::bitCanDnload | DFU::bitManifestationTolerant | DFU::bitWillDetach;
constexpr std::uint8_t kNotTolerant = DFU::bitCanDnload | DFU::bitWillDetach;

} // namespace

TEST(SimulatedDFUFunction, ModeSwitchRequestsInApplicationMode)
{
    struct Case {
        const char* name;
        std::uint8_t attributes;
        std::uint8_t request;
        bool dropsOff;
        bool stalled;
    } cases[] = {
        {"DETACH, detaches by itself", kTolerant, DFU::DFU_DETACH, true, false},
        {"DETACH, waits for a bus reset", DFU::bitCanDnload, DFU::DFU_DETACH, false, false},
        {"vendor request 0xF2", DFU::bitCanDnload, DFU::XMOS_DFU_RESETINTODFU, true, false},
        {"vendor request 0xF3", kTolerant, DFU::XMOS_DFU_RESETFROMDFU, false, true},
        {"DNLOAD", kTolerant, DFU::DFU_DNLOAD, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host host(config(c.attributes));
        EXPECT_EQ(host.out(c.request, 1000).stalled, c.stalled);
        host.wait(1);
        auto during = host.dfu.presence(host.now);
        EXPECT_EQ(during.attached, !c.dropsOff);
        host.wait(1000);
        auto after = host.dfu.presence(host.now);
        EXPECT_TRUE(after.attached);
        EXPECT_EQ(after.dfuMode, c.dropsOff);
        EXPECT_EQ(after.enumeration, c.dropsOff ? 1u : 0u);
        EXPECT_EQ(host.getState(), c.dropsOff ? DFU::dfuIDLE : DFU::appIDLE);
    }
}

TEST(SimulatedDFUFunction, BusyBlocksAnnounceThePollTimeout)
{
    auto c = config(kTolerant);
    c.busyTime = Millis(30);
    c.bwPollTimeout = 20;
    Host host(c);
    host.enterDFUMode();
    ASSERT_FALSE(host.out(DFU::DFU_DNLOAD, 0, image(64)).stalled);
    auto first = host.getStatus();
    EXPECT_EQ(first.bState, DFU::dfuDNBUSY);
    EXPECT_EQ(first.pollTimeout, 20u);
    host.wait(20);
    EXPECT_EQ(host.getStatus().bState, DFU::dfuDNBUSY); // polled before the block was written
    host.wait(20);
    EXPECT_EQ(host.getState(), DFU::dfuDNLOAD_SYNC);
    auto done = host.getStatus();
    EXPECT_EQ(done.bStatus, 0);
    EXPECT_EQ(done.bState, DFU::dfuDNLOAD_IDLE);
}

TEST(SimulatedDFUFunction, ManifestationTolerantKeyboardReturnsOnRequest)
{
    struct Case {
        const char* name;
        std::size_t imageSize;
        bool oldVersionFault;
        bool newFirmware;
        bool anyImage;
    } cases[] = {
        {"expected image", 100, false, true, false},
        {"other image", 99, false, false, false},
        {"old version still reported", 100, true, false, false},
        {"no image expected", 99, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedDFUFunction::Faults faults;
        faults.oldVersionAfterUpdate = c.oldVersionFault;
        auto conf = config(kTolerant);
        if (c.anyImage)
            conf.expectedImage.clear();
        conf.manifestTime = Millis(1500);
        Host host(conf, faults);
        host.enterDFUMode();
        ASSERT_TRUE(host.download(image(c.imageSize), 64));
        EXPECT_EQ(host.getState(), DFU::dfuMANIFEST_SYNC);
        EXPECT_EQ(host.getStatus().bState, DFU::dfuMANIFEST);
        host.wait(1000);
        EXPECT_EQ(host.getState(), DFU::dfuMANIFEST);
        host.wait(1000);
        EXPECT_EQ(host.getState(), DFU::dfuMANIFEST_SYNC);
        EXPECT_EQ(host.getStatus().bState, DFU::dfuIDLE);
        EXPECT_TRUE(host.dfu.presence(host.now).dfuMode);

        EXPECT_FALSE(host.out(DFU::XMOS_DFU_RESETFROMDFU).stalled);
        host.wait(1000);
        auto back = host.dfu.presence(host.now);
        EXPECT_TRUE(back.attached);
        EXPECT_FALSE(back.dfuMode);
        EXPECT_EQ(host.dfu.reportsNewFirmware(), c.newFirmware);
    }
}

TEST(SimulatedDFUFunction, NotTolerantKeyboardReenumeratesAfterManifestation)
{
    auto conf = config(kNotTolerant);
    conf.manifestTime = Millis(3000);
    Host host(conf);
    host.enterDFUMode();
    ASSERT_TRUE(host.download(image(100), 64));
    EXPECT_EQ(host.getStatus().bState, DFU::dfuMANIFEST);
    auto departure = host.dfu.takeDeparture();
    ASSERT_TRUE(departure);
    EXPECT_FALSE(departure->intoDFUMode);
    EXPECT_EQ(departure->comesBackAfter, Millis(4000));
    host.wait(3999);
    EXPECT_FALSE(host.dfu.presence(host.now).attached);
    host.wait(1);
    auto back = host.dfu.presence(host.now);
    EXPECT_TRUE(back.attached);
    EXPECT_FALSE(back.dfuMode);
    EXPECT_EQ(back.enumeration, 2u);
    EXPECT_TRUE(host.dfu.reportsNewFirmware());
}

TEST(SimulatedDFUFunction, ProtocolErrorsStallIntoDfuError)
{
    struct Case {
        const char* name;
        std::uint16_t length;
    } cases[] = {
        {"block longer than wTransferSize", 65},
        {"final empty block before any data", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host host(config(kTolerant));
        host.enterDFUMode();
        EXPECT_TRUE(host.out(DFU::DFU_DNLOAD, 0, image(c.length)).stalled);
        auto status = host.getStatus();
        EXPECT_NE(status.bStatus, 0);
        EXPECT_EQ(status.bState, DFU::dfuERROR);
        EXPECT_FALSE(host.out(DFU::DFU_CLRSTATUS).stalled);
        EXPECT_EQ(host.getState(), DFU::dfuIDLE);
    }
}

TEST(SimulatedDFUFunction, AbortDiscardsTheDownload)
{
    Host host(config(kTolerant));
    host.enterDFUMode();
    ASSERT_FALSE(host.out(DFU::DFU_DNLOAD, 0, image(64)).stalled);
    EXPECT_EQ(host.getStatus().bState, DFU::dfuDNLOAD_IDLE);
    EXPECT_FALSE(host.out(DFU::DFU_ABORT).stalled);
    EXPECT_EQ(host.getState(), DFU::dfuIDLE);
    EXPECT_TRUE(host.dfu.received().empty());
}

TEST(SimulatedDFUFunction, TimingsOfBusyBlocksStatusRepliesAndModeSwitches)
{
    SimulatedDFUFunction::Config c = config(kTolerant);
    c.busyAnswers = 2;
    c.bwPollTimeout = 40;
    c.statusPollTimeout = 9;
    c.detachDelay = Millis(300);
    c.returnDelay = Millis(5000);
    c.dfuModeAttributes = kNotTolerant;
    Host host(c);
    EXPECT_EQ(host.getStatus().pollTimeout, 9u); // an ordinary reply in application mode
    ASSERT_FALSE(host.out(DFU::XMOS_DFU_RESETINTODFU).stalled);
    host.wait(299);
    EXPECT_FALSE(host.dfu.presence(host.now).attached);
    host.wait(1);
    ASSERT_TRUE(host.dfu.presence(host.now).dfuMode);

    host.out(DFU::DFU_DNLOAD, 0, image(64));
    for (int busy = 0; busy < 2; ++busy) {
        const Host::Status status = host.getStatus();
        EXPECT_EQ(status.bState, DFU::dfuDNBUSY);
        EXPECT_EQ(status.pollTimeout, 40u);
    }
    const Host::Status idle = host.getStatus();
    EXPECT_EQ(idle.bState, DFU::dfuDNLOAD_IDLE);
    EXPECT_EQ(idle.pollTimeout, 9u);

    // Not manifestation-tolerant in DFU mode: it leaves the bus to manifest.
    host.out(DFU::DFU_DNLOAD, 1, image(36));
    while (host.getStatus().bState == DFU::dfuDNBUSY) { }
    ASSERT_FALSE(host.out(DFU::DFU_DNLOAD, 2).stalled);
    EXPECT_EQ(host.getStatus().bState, DFU::dfuMANIFEST);
    host.wait(4999);
    EXPECT_FALSE(host.dfu.presence(host.now).attached);
    host.wait(1);
    EXPECT_TRUE(host.dfu.presence(host.now).attached);
    EXPECT_FALSE(host.dfu.presence(host.now).dfuMode);
}

TEST(SimulatedDFUFunction, InjectedFaults)
{
    using Faults = SimulatedDFUFunction::Faults;
    struct Case {
        const char* name;
        void (*inject)(Faults&);
        void (*check)(Host&);
    };
    const Case cases[] = {
        {"stall at block 1", [](Faults& f) { f.stallAtBlock = 1; },
         [](Host& h) {
             EXPECT_FALSE(h.download(image(100), 64));
             EXPECT_EQ(h.getState(), DFU::dfuERROR);
             EXPECT_EQ(h.dfu.received().size(), 64u);
         }},
        {"error status at block 1", [](Faults& f) { f.errorAtBlock = 1; },
         [](Host& h) {
             EXPECT_FALSE(h.download(image(100), 64));
             auto status = h.getStatus();
             EXPECT_EQ(status.bStatus, DFU::errWRITE);
             EXPECT_EQ(status.bState, DFU::dfuERROR);
         }},
        {"endless dfuDNBUSY", [](Faults& f) { f.endlessBusyAtBlock = 0; },
         [](Host& h) {
             h.out(DFU::DFU_DNLOAD, 0, image(64));
             h.getStatus();
             h.wait(3600 * 1000);
             EXPECT_EQ(h.getStatus().bState, DFU::dfuDNBUSY);
             EXPECT_TRUE(h.out(DFU::DFU_ABORT).stalled);
         }},
        {"endless dfuMANIFEST", [](Faults& f) { f.endlessManifest = true; },
         [](Host& h) {
             EXPECT_TRUE(h.download(image(100), 64));
             EXPECT_EQ(h.getStatus().bState, DFU::dfuMANIFEST);
             h.wait(3600 * 1000);
             EXPECT_EQ(h.getState(), DFU::dfuMANIFEST);
         }},
        {"short GETSTATUS", [](Faults& f) { f.shortGetStatus = true; },
         [](Host& h) {
             auto status = h.getStatus();
             EXPECT_TRUE(status.ok);
             EXPECT_EQ(status.length, 5);
         }},
        {"failing GETSTATE", [](Faults& f) { f.failingGetState = true; }, [](Host& h) { EXPECT_EQ(h.getState(), -1); }},
        {"DETACH stalled in DFU mode", [](Faults& f) { f.detachStalledInDFUMode = true; },
         [](Host& h) {
             EXPECT_TRUE(h.out(DFU::DFU_DETACH).stalled);
             EXPECT_FALSE(h.out(DFU::XMOS_DFU_RESETFROMDFU).stalled);
         }},
        {"no re-enumeration", [](Faults& f) { f.noReenumeration = true; },
         [](Host& h) {
             h.out(DFU::XMOS_DFU_RESETFROMDFU);
             h.wait(3600 * 1000);
             EXPECT_FALSE(h.dfu.presence(h.now).attached);
         }},
        {"late re-enumeration", [](Faults& f) { f.lateReenumeration = Millis(9000); },
         [](Host& h) {
             h.out(DFU::XMOS_DFU_RESETFROMDFU);
             h.wait(9999);
             EXPECT_FALSE(h.dfu.presence(h.now).attached);
             h.wait(1);
             EXPECT_TRUE(h.dfu.presence(h.now).attached);
         }},
        {"other serial after re-enumeration", [](Faults& f) { f.otherSerialAfterReenumeration = true; },
         [](Host& h) { EXPECT_TRUE(h.dfu.reportsOtherSerial()); }},
        {"short status about block 1 only", [](Faults& f) { f.shortStatusAtBlock = 1; },
         [](Host& h) {
             h.out(DFU::DFU_DNLOAD, 0, image(64));
             EXPECT_EQ(h.getStatus().length, 6);
             h.out(DFU::DFU_DNLOAD, 1, image(36));
             EXPECT_EQ(h.getStatus().length, 5);
             EXPECT_EQ(h.getState(), DFU::dfuDNLOAD_IDLE);
         }},
        {"short status only while manifesting", [](Faults& f) { f.shortStatusInManifestation = true; },
         [](Host& h) {
             EXPECT_TRUE(h.download(image(100), 64));
             EXPECT_EQ(h.getStatus().length, 5); // starts manifestation
             EXPECT_EQ(h.getStatus().length, 5); // done: back to dfuIDLE
             EXPECT_EQ(h.getStatus().length, 6);
         }},
        {"wrong bState after block 0",
         [](Faults& f) {
             f.stateAtBlock = 0;
             f.stateAfterBlock = 0x42;
         },
         [](Host& h) {
             h.out(DFU::DFU_DNLOAD, 0, image(64));
             const Host::Status status = h.getStatus();
             EXPECT_EQ(status.bStatus, DFU::OK);
             EXPECT_EQ(status.bState, 0x42);
             EXPECT_EQ(h.getState(), DFU::dfuERROR);
         }},
        {"final empty download stalls", [](Faults& f) { f.stallFinalDownload = true; },
         [](Host& h) {
             EXPECT_FALSE(h.download(image(100), 64));
             EXPECT_EQ(h.getStatus().bStatus, DFU::errSTALLEDPKT);
         }},
        {"first GETSTATE after the download", [](Faults& f) { f.firstGetState = DFU::appIDLE; },
         [](Host& h) {
             EXPECT_EQ(h.getState(), DFU::dfuIDLE); // before the download: the truth
             EXPECT_TRUE(h.download(image(100), 64));
             EXPECT_EQ(h.getState(), DFU::appIDLE);
             EXPECT_EQ(h.getState(), DFU::dfuMANIFEST_SYNC);
         }},
        {"bStatus error when manifestation starts", [](Faults& f) { f.manifestationError = DFU::errVERIFY; },
         [](Host& h) {
             EXPECT_TRUE(h.download(image(100), 64));
             const Host::Status status = h.getStatus();
             EXPECT_EQ(status.bStatus, DFU::errVERIFY);
             EXPECT_EQ(status.bState, DFU::dfuERROR);
             EXPECT_FALSE(h.dfu.reportsNewFirmware());
         }},
        {"no return after the second switch", [](Faults& f) { f.noReturnAtSwitch = 2; },
         [](Host& h) {
             h.out(DFU::XMOS_DFU_RESETFROMDFU);
             h.wait(3600 * 1000);
             EXPECT_FALSE(h.dfu.presence(h.now).attached);
         }},
        {"other serial after the second switch only", [](Faults& f) { f.otherSerialAtSwitch = 2; },
         [](Host& h) {
             EXPECT_FALSE(h.dfu.reportsOtherSerial());
             h.out(DFU::XMOS_DFU_RESETFROMDFU);
             EXPECT_TRUE(h.dfu.reportsOtherSerial());
             h.wait(1000);
             h.enterDFUMode();
             EXPECT_FALSE(h.dfu.reportsOtherSerial());
         }},
        {"return request ignored", [](Faults& f) { f.returnRequest = SimulatedDFUFunction::SwitchFault::ignored; },
         [](Host& h) {
             EXPECT_FALSE(h.out(DFU::DFU_DETACH).stalled);
             EXPECT_TRUE(h.dfu.presence(h.now).attached);
             EXPECT_TRUE(h.dfu.presence(h.now).dfuMode);
         }},
        {"return request fails on the host but is carried out",
         [](Faults& f) { f.returnRequest = SimulatedDFUFunction::SwitchFault::failsButSwitches; },
         [](Host& h) {
             EXPECT_TRUE(h.out(DFU::XMOS_DFU_RESETFROMDFU).lost);
             EXPECT_FALSE(h.dfu.presence(h.now).attached);
             h.wait(1000);
             EXPECT_FALSE(h.dfu.presence(h.now).dfuMode);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host host(config(kTolerant));
        host.enterDFUMode();
        c.inject(host.dfu.faults());
        c.check(host);
    }
}
