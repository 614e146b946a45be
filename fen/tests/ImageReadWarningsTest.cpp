// The image readers keep what a library warns about a file for the caller
// instead of writing it to standard error; each read starts without them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BAS/MemoryStream.h"
#include "FEN/Picture.h"
#include "ImageFixtures.h"

namespace CV {
namespace FEN {
namespace {

using test::Bytes;
using Texts = std::vector<std::string>;

// The JPEG with junk bytes between its data and its end marker.
Bytes withJunkBeforeTheEnd(int junk)
{
    Bytes file = test::smallGreyJPEG();
    file.insert(file.end() - 2, size_t(junk), 0x55);
    return file;
}

Bytes truncatedJPEG()
{
    Bytes file = test::smallGreyJPEG();
    file.resize(file.size() - 40);
    return file;
}

struct WarningCase {
    char const* name;
    std::function<Bytes()> file;
    bool decodes;
    std::string warning; // the one warning starts with this; empty: none
};

class ImageReadWarnings : public testing::TestWithParam<WarningCase> { };

TEST_P(ImageReadWarnings, AreKeptForTheCallerAndNotWritten)
{
    WarningCase const& c = GetParam();
    Bytes file = c.file();
    Picture picture;
    for (bool const detect : {false, true}) {
        SCOPED_TRACE(detect ? "readDetect" : "readJPG");
        BAS::MemoryStream stream;
        stream.init(BAS::IStorage::eAccessRead, file.data(), file.size());
        testing::internal::CaptureStderr();
        bool const decoded = detect ? picture.readDetect(stream, Picture::eOrientation(0), true)
                                    : picture.readJPG(stream, Picture::eOrientation(0), true);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(decoded, c.decodes);
        Texts const& warnings = picture.getReadWarnings();
        if (c.warning.empty()) {
            EXPECT_EQ(warnings, Texts());
            continue;
        }
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0].rfind(c.warning, 0), 0u) << warnings[0];
    }
    // The next read starts afresh.
    Bytes clean = test::smallGreyJPEG();
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, clean.data(), clean.size());
    ASSERT_TRUE(picture.readDetect(stream, Picture::eOrientation(0), true));
    EXPECT_EQ(picture.getReadWarnings(), Texts());
}

INSTANTIATE_TEST_SUITE_P(Table, ImageReadWarnings,
                         testing::Values(WarningCase{"clean", test::smallGreyJPEG, true, ""},
                                         // The decoder reads a few of the bytes ahead as data: their count varies.
                                         WarningCase{"junkBeforeTheEndMarker", [] { return withJunkBeforeTheEnd(40); },
                                                     true, "Corrupt JPEG data: "},
                                         // A suspension at the end of the data fails the read without a warning.
                                         WarningCase{"truncated", truncatedJPEG, false, ""}),
                         [](auto const& info) { return std::string(info.param.name); });

} // namespace
} // namespace FEN
} // namespace CV
