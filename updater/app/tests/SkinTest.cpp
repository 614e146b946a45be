// The shipped skin: the updater's style sheet loads from the staged bundle
// without a message, and every picture and font it names is there, each
// picture with a high-resolution variant of twice its size.
#include "SkinFixture.h"

#include "BAS/Stream.h"
#include "FEN/HiDPIUrl.h"
#include "FEN/Picture.h"
#include "TOV/LazyPicture.h"
#include "TOV/StyleSheet.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <variant>

namespace CV::test {
namespace {

class ShippedSkin : public SkinFixture { };

// The size of the picture resource, or (0, 0) when it cannot be read.
BAS::Point sizeOf(TOV::ManagerContainer& container, std::string const& name)
{
    FEN::Picture picture;
    auto stream = container.getResourceStream(name, TOV::ManagerContainer::ePicture, true);
    if (!stream)
        return {0, 0};
    stream->setByteOrder(BAS::Endian::eLittleEndian);
    if (!picture.readDetect(*stream, FEN::PictureProperties::eOrientation(0), true))
        return {0, 0};
    return {picture.getWidth(), picture.getHeight()};
}

// The texts of every declaration of the property written as url("...").
std::set<std::string> urlsOf(TOV::StyleSheet const& sheet, const char* property)
{
    std::set<std::string> urls;
    auto const found = sheet.getRules().find(cv::symbol(std::string(property)));
    if (found == sheet.getRules().end())
        return urls;
    for (auto const& rule : found->second)
        if (rule.second.unit == TOV::Property::eURL)
            urls.insert(std::get<std::string>(rule.second.value));
    return urls;
}

TEST_F(ShippedSkin, SheetLoadsWithoutMessagesAndReplacesTheBuiltInRules)
{
    TOV::StyleSheet const& sheet = loadShippedSheet();
    EXPECT_EQ(log, Lines());
    EXPECT_TRUE(sheet.getRules().count(cv::symbol(std::string("picture"))));
    EXPECT_TRUE(sheet.getRules().count(cv::symbol(std::string("font"))));
}

TEST_F(ShippedSkin, EveryPictureHasADoubleSizeVariant)
{
    TOV::StyleSheet const& sheet = loadShippedSheet();
    std::set<std::string> const pictures = urlsOf(sheet, "image");
    ASSERT_GE(pictures.size(), 20u);
    for (std::string const& name : pictures) {
        SCOPED_TRACE(name);
        BAS::Point const normal = sizeOf(container(), name);
        BAS::Point const high = sizeOf(container(), FEN::resolveHiDPIUrl(name, 2.0f));
        ASSERT_GT(normal.x, 0);
        EXPECT_EQ(high.x, 2 * normal.x);
        EXPECT_EQ(high.y, 2 * normal.y);
    }
    EXPECT_EQ(log, Lines());
}

TEST_F(ShippedSkin, EveryPictureRuleResolvesAtBothScales)
{
    TOV::StyleSheet const& sheet = loadShippedSheet();
    auto const& rules = sheet.getRules().at(cv::symbol(std::string("picture")));
    for (auto const& rule : rules) {
        SCOPED_TRACE(rule.first.m_source.string() + ":" + std::to_string(rule.first.m_line));
        auto const& picture = std::get<TOV::LazyPicture>(rule.second.value);
        FEN::Picture const* normal = picture.resolve(1.0f);
        FEN::Picture const* high = picture.resolve(2.0f);
        ASSERT_NE(normal, nullptr);
        ASSERT_NE(high, nullptr);
        EXPECT_EQ(high->getWidth(), 2 * normal->getWidth());
    }
    EXPECT_EQ(log, Lines());
}

TEST_F(ShippedSkin, EveryFontLoads)
{
    TOV::StyleSheet const& sheet = loadShippedSheet();
    for (std::string const& name : urlsOf(sheet, "font-name")) {
        SCOPED_TRACE(name);
        EXPECT_NE(container().getResourceStream(name, TOV::ManagerContainer::eFont, true), nullptr);
    }
    for (auto const& rule : sheet.getRules().at(cv::symbol(std::string("font")))) {
        SCOPED_TRACE(rule.first.m_line);
        EXPECT_NE(std::get<FEN::Font const*>(rule.second.value), nullptr);
    }
    EXPECT_EQ(log, Lines());
}

} // namespace
} // namespace CV::test
