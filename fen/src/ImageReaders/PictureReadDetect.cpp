// Image files of any of the known formats into pictures.
#include "BAS/IStorage.h"
#include "BAS/Stream.h"
#include "FEN/Picture.h"

namespace CV {
namespace FEN {

namespace {

void rewind(BAS::Stream& stream, int position)
{
    BAS::IStorage* storage = stream.getStorage();
    if (storage)
        storage->seek(position, BAS::IStorage::eSeekBegin);
}

} // namespace

bool Picture::readDetect(BAS::Stream& stream, eOrientation orientation, bool detectAlpha)
{
    BAS::IStorage* storage = stream.getStorage();
    int const start = storage ? storage->getPos() : -1;
    if (readPNG(stream, orientation, detectAlpha))
        return true;
    rewind(stream, start);
    if (readJPG(stream, orientation, detectAlpha))
        return true;
    rewind(stream, start);
    return readTGA(stream, orientation, detectAlpha);
}

} // namespace FEN
} // namespace CV
