#pragma once
// A stream over an embedded file storage, closed until the owner opens it.
#include "BAS/FileStorage.h"

namespace CV {
namespace BAS {

template <class StreamType> class FileStreamBase : public StreamType {
public:
    FileStreamBase() { StreamType::setStorage(&m_fileStorage); }
    FileStreamBase(const FileStreamBase&) = delete;
    FileStreamBase& operator=(const FileStreamBase&) = delete;

    FileStorage& getFileStorage() { return m_fileStorage; }

private:
    FileStorage m_fileStorage;
};

} // namespace BAS
} // namespace CV
