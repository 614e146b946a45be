#include "FEN/Font.h"
#include "FEN/StringCropper.h"

#include "BAS/MemoryStream.h"

#include "FontTestSupport.h"

#include <gtest/gtest.h>

namespace CV {
namespace FEN {
namespace {

TEST(FontStringCropperTest, CropsToThePixelsOfTheFont)
{
    auto engine = DETAIL::FreeType::create();
    std::vector<uint8_t> bytes = TEST::testFontBytes("test-1000.ttf");
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, bytes.data(), bytes.size());
    Font::CreateData data;
    data.name = "test-1000.ttf";
    data.size = 10;
    data.engine = engine.get();
    Font font(stream, data);

    StringCropper cropper;
    EXPECT_EQ("AAAAA", cropper.cropString("AAAAA", font, 35)) << "the default mode keeps the text";
    cropper.getCropper().mode = 1;
    cropper.getCropper().ellipsis = "a";
    // 10-pixel capitals and a 6-pixel ellipsis in 35 pixels.
    EXPECT_EQ("AAa", cropper.cropString("AAAAA", font, 35));
    EXPECT_EQ("AAA", cropper.cropString("AAA", font, 35));
    font.setBackingScaleFactor(0.5f);
    EXPECT_EQ("AAAAA", cropper.cropString("AAAAA", font, 35)) << "measured at the current scale";
}

} // namespace
} // namespace FEN
} // namespace CV
