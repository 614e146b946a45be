// Untrusted bytes through the PNG reader: it must fail or decode, never
// touch memory outside what it owns.
#include <cstddef>
#include <cstdint>

#include "BAS/MemoryStream.h"
#include "FEN/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    CV::BAS::MemoryStream stream;
    stream.init(CV::BAS::IStorage::eAccessRead, const_cast<uint8_t*>(data), size);
    CV::FEN::Picture picture;
    picture.readPNG(stream, CV::FEN::PictureProperties::eStacked, true);
    return 0;
}
