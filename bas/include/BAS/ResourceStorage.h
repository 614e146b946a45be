#pragma once
// A read-only storage over a resource of the bundle's linked resources or,
// when the bundle has none of that type and id (or name), of the resources
// compiled into the program. The type is the first four characters of the
// type text as a four-character code ("PICTURE" looks for 'PICT').
#include "BAS/IStorage.h"
#include "BAS/MemoryStorage.h"

#include <memory>

namespace CV {
namespace BAS {

class ResourceStorage : public IStorage {
public:
    ResourceStorage() = default;
    ~ResourceStorage() override;

    // bundle: the bundle whose linked resources are searched (a CFBundleRef),
    // or null for the compiled resources alone. False when neither holds the
    // resource; a missing resource is reported on standard error as
    // "cannot resolve resource: <type> <id>" or "... <name>". An open
    // storage releases its resource first.
    bool init(void* bundle, unsigned int id, const char* type);
    bool init(void* bundle, const char* name, const char* type);

    // Reads, writes and seeks go to the view over the resource bytes, whose
    // status the storage takes over; writes fail (read only).
    size_t read(void* buffer, size_t count) override;
    size_t write(const void* data, size_t count) override;
    int64_t getPos64() const override;
    void seek64(int64_t offset, eSeekMode origin) override;

    // The resource's bytes (null when closed).
    const void* getData() const;
    size_t getSize() const;

private:
    using Handle = char**;

    void release();
    void openView(const void* data, size_t size);
    void takeViewStatus() { m_status = m_view->getStatus(); }

    std::unique_ptr<MemoryStorage> m_view;
    Handle m_handle = nullptr;
};

} // namespace BAS
} // namespace CV
