#include "usx2/usb/USBDeviceDB.h"
#include "usx2/usb/VarantoUSBIds.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace CV {
namespace USX2 {
namespace {

// Each row is looked up by (vendor, product, kind) and, with vendorId 0, also
// by (product, kind) with the maker's vendor id.
struct FilterLookup {
    const char* name;
    std::uint16_t vendorId;
    std::uint16_t productId;
    eUSBDeviceType kind;
    const USBDeviceFilter* expected;
};

class GetDeviceFilter : public ::testing::TestWithParam<FilterLookup> { };

TEST_P(GetDeviceFilter, FindsTheRowsFilterOfTheKind)
{
    const FilterLookup& lookup = GetParam();
    if (lookup.vendorId == 0) {
        EXPECT_EQ(USBDeviceDB::getDeviceFilter(lookup.productId, lookup.kind), lookup.expected);
    }
    const std::uint16_t vendorId = lookup.vendorId ? lookup.vendorId : Ids::kVendorId;
    EXPECT_EQ(USBDeviceDB::getDeviceFilter(vendorId, lookup.productId, lookup.kind), lookup.expected);
}

const FilterLookup kLookups[] = {
    {"SelaDFU", 0, Ids::kSelaMK2ProductId, eUSBDeviceType_DFU, &USBDeviceDB::VarantoSelaMK2DFU},
    {"SelaHID", 0, Ids::kSelaMK2ProductId, eUSBDeviceType_HID, &USBDeviceDB::VarantoSelaMK2},
    {"SelaKind0IsFirstFilter", 0, Ids::kSelaMK2ProductId, eUSBDeviceType_USB, &USBDeviceDB::VarantoSelaMK2DFU},
    {"SelaAudioDriverNone", 0, Ids::kSelaMK2ProductId, eUSBDeviceType_AudioDriver, nullptr},
    {"RovaDFU", 0, Ids::kRovaMK2ProductId, eUSBDeviceType_DFU, &USBDeviceDB::VarantoRovaMK2DFU},
    {"TumoHID", 0, Ids::kTumoMK2ProductId, eUSBDeviceType_HID, &USBDeviceDB::VarantoTumoMK2},
    {"DFUModeIdHasNoRow", 0, Ids::dfuModeProductId(Ids::kSelaMK2ProductId), eUSBDeviceType_DFU, nullptr},
    {"GenericRowsNeverFound", 0, 0, eUSBDeviceType_USB, nullptr},
    {"OtherVendorFindsNothing", 0xBEEF, Ids::kSelaMK2ProductId, eUSBDeviceType_DFU, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Table, GetDeviceFilter, ::testing::ValuesIn(kLookups),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(USBDeviceDB, VendorLookupWithAZeroIdReturnsNull)
{
    EXPECT_EQ(USBDeviceDB::getDeviceFilter(0, Ids::kSelaMK2ProductId, eUSBDeviceType_DFU), nullptr);
    EXPECT_EQ(USBDeviceDB::getDeviceFilter(Ids::kVendorId, 0, eUSBDeviceType_USB), nullptr);
}

TEST(USBDeviceDB, KeyboardRowsListTheDFUFilterFirstAndCarryTheBaseId)
{
    for (std::uint16_t productId : {Ids::kRovaMK2ProductId, Ids::kSelaMK2ProductId, Ids::kTumoMK2ProductId}) {
        SCOPED_TRACE(productId);
        const USBDeviceFilter* dfu = USBDeviceDB::getDeviceFilter(productId, eUSBDeviceType_DFU);
        ASSERT_NE(dfu, nullptr);
        EXPECT_EQ(dfu->className, "IOUSBDevice");
        EXPECT_EQ(dfu->vendorId, Ids::kVendorId);
        EXPECT_EQ(dfu->productId, productId);
        EXPECT_EQ(dfu->guid.size(), 38u);
        EXPECT_EQ(Ids::baseProductId(Ids::dfuModeProductId(productId)), productId);
    }
}

TEST(USBDeviceFilter, NullTextsBecomeEmpty)
{
    const USBDeviceFilter filter(eUSBDeviceType_HID, static_cast<const char*>(nullptr), nullptr, 1, 2);
    EXPECT_TRUE(filter.guid.empty());
    EXPECT_TRUE(filter.className.empty());
}

TEST(UdevRule, GrantsTheDesktopUserTheKeyboardsInBothModes)
{
    std::ifstream file(VARANTO_UDEV_RULE);
    ASSERT_TRUE(file) << VARANTO_UDEV_RULE;
    std::stringstream text;
    text << file.rdbuf();
    for (std::uint16_t base : {Ids::kRovaMK2ProductId, Ids::kSelaMK2ProductId, Ids::kTumoMK2ProductId}) {
        for (std::uint16_t productId : {base, Ids::dfuModeProductId(base)}) {
            char ids[64];
            std::snprintf(ids, sizeof ids, "ATTR{idVendor}==\"%04x\", ATTR{idProduct}==\"%04x\", TAG+=\"uaccess\"",
                          Ids::kVendorId, productId);
            EXPECT_NE(text.str().find(ids), std::string::npos) << ids;
        }
    }
}

} // namespace
} // namespace USX2
} // namespace CV
