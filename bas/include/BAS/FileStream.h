#pragma once
// A stream over a file, little-endian until told otherwise. Destroying it
// closes the file.
#include "BAS/FileStreamBase.h"
#include "BAS/Stream.h"

namespace CV {
namespace BAS {

class FileStream : public FileStreamBase<Stream> {
public:
    FileStream() = default;
};

} // namespace BAS
} // namespace CV
