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

bool Picture::acceptDeclaredSize(uint64_t width, uint64_t height)
{
    bool const accepted = width <= kMaxReadSide && height <= kMaxReadSide && width * height <= kMaxReadPixels;
    m_refusedSize = accepted ? tDeclaredSize{} : tDeclaredSize{uint32_t(width), uint32_t(height)};
    return accepted;
}

// A file that one reader knows and refuses for its size is not tried as
// another format. A file that one reader knows and cannot decode keeps that
// reader's reason, whatever the later readers make of it.
bool Picture::readDetect(BAS::Stream& stream, eOrientation orientation, bool detectAlpha)
{
    BAS::IStorage* storage = stream.getStorage();
    int const start = storage ? storage->getPos() : -1;
    m_readWarnings.clear();
    if (readPNG(stream, orientation, detectAlpha))
        return true;
    if (wasRefusedForSize())
        return false;
    std::string failure = m_readFailure;
    rewind(stream, start);
    if (readJPG(stream, orientation, detectAlpha))
        return true;
    if (wasRefusedForSize())
        return false;
    if (failure.empty())
        failure = m_readFailure;
    rewind(stream, start);
    if (readTGA(stream, orientation, detectAlpha))
        return true;
    if (m_readFailure.empty())
        m_readFailure = std::move(failure);
    return false;
}

} // namespace FEN
} // namespace CV
