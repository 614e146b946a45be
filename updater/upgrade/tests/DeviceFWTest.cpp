#include "updater/upgrade/DeviceFW.h"
#include "updater/upgrade/FirmwareImages.h"
#include "usx2/usb/VarantoUSBIds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using CV::FW::DeviceFW;
namespace Ids = CV::USX2::Ids;

struct RowCase {
    std::uint16_t productId;
    const unsigned char* main;
    const unsigned char* atmel;
    const unsigned char* pic;
};

const RowCase kRows[] = {
    {Ids::kRovaMK2ProductId, CV::FW::VarantoRovaMK2, CV::FW::VarantoRovaMK2Atmel, CV::FW::VarantoRovaMK2PIC},
    {Ids::kSelaMK2ProductId, CV::FW::VarantoSelaMK2, CV::FW::VarantoSelaMK2Atmel, CV::FW::VarantoSelaMK2PIC},
    {Ids::kTumoMK2ProductId, CV::FW::VarantoTumoMK2, CV::FW::VarantoTumoMK2Atmel, CV::FW::VarantoTumoMK2PIC},
};

TEST(DeviceFW, TableHasOneRowPerModelInOrderWithTheImagesSizesAndVersions)
{
    ASSERT_EQ(CV::FW::vecFW.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const DeviceFW& row = CV::FW::vecFW[i];
        EXPECT_EQ(row.productId, kRows[i].productId);
        EXPECT_EQ(row.main.data, kRows[i].main);
        EXPECT_EQ(row.main.size, 378048u);
        EXPECT_EQ(row.main.version, 0x59u);
        EXPECT_EQ(row.atmel.data, kRows[i].atmel);
        EXPECT_EQ(row.atmel.size, 17784u);
        EXPECT_EQ(row.atmel.version, 0x06u);
        EXPECT_EQ(row.pic.data, kRows[i].pic);
        EXPECT_EQ(row.pic.size, 16384u);
        EXPECT_EQ(row.pic.version, 0x05u);
    }
}

TEST(DeviceFW, RowIsFoundByTheMaskedProductId)
{
    struct Case {
        std::uint16_t productId;
        int row; // -1: none
    } const cases[] = {
        {Ids::kRovaMK2ProductId, 0},
        {Ids::dfuModeProductId(Ids::kRovaMK2ProductId), 0},
        {static_cast<std::uint16_t>(Ids::kSelaMK2ProductId | 0xF), 1},
        {Ids::dfuModeProductId(Ids::kTumoMK2ProductId), 2},
        {0, -1},
        {static_cast<std::uint16_t>(Ids::kTumoMK2ProductId + 0x10), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.productId);
        const DeviceFW* row = CV::FW::findDeviceFW(c.productId);
        if (c.row < 0)
            EXPECT_EQ(row, nullptr);
        else
            EXPECT_EQ(row, &CV::FW::vecFW[static_cast<std::size_t>(c.row)]);
    }
}

TEST(DeviceFW, NineImagesArePairwiseDifferent)
{
    const DeviceFW::Image* images[9];
    std::size_t n = 0;
    for (const DeviceFW& row : CV::FW::vecFW) {
        images[n++] = &row.main;
        images[n++] = &row.atmel;
        images[n++] = &row.pic;
    }
    for (std::size_t a = 0; a < 9; ++a) {
        for (std::size_t b = a + 1; b < 9; ++b) {
            const std::size_t common = std::min(images[a]->size, images[b]->size);
            EXPECT_NE(std::memcmp(images[a]->data, images[b]->data, common), 0) << a << " vs " << b;
        }
    }
}

TEST(DeviceFW, StandInImagesSayWhatTheyAre)
{
    if (CV::FW::carriesProductFirmware())
        GTEST_SKIP() << "built with the product's images";
    const std::string note(reinterpret_cast<const char*>(CV::FW::VarantoSelaMK2Atmel), 20);
    EXPECT_EQ(note, "PLACEHOLDER FIRMWARE");
}

} // namespace
