#pragma once
// A stream over a caller's memory block, little-endian until told otherwise.
#include "BAS/MemoryStreamBase.h"
#include "BAS/Stream.h"

namespace CV {
namespace BAS {

class MemoryStream : public MemoryStreamBase<Stream> {
public:
    MemoryStream() = default;
};

} // namespace BAS
} // namespace CV
