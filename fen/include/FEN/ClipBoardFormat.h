#pragma once
// Clipboard formats: what data leaves and enters the application through a
// pasteboard (the system clipboard or a drag's), as plain text, a list of
// files or a payload that only this process can read.
#include "BAS/FileName.h"
#include "platform/cf/CFData.h"
#include "platform/cf/CFString.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace CV {
namespace FEN {

class DragDropData;
class WindowBase;

namespace DETAIL {
// UTF-8 to UTF-16, invalid or incomplete sequences dropped.
std::u16string utf8ToUtf16(std::string const& text);
} // namespace DETAIL

// One pasteboard type identifier.
class ClipBoardFormatHandle {
public:
    // The names of the standard formats; a handle made from one of these
    // very pointers takes the platform's type, any other name becomes a
    // type of its own text.
    static const char* const s_StdTextFormat; // "calvarine.unicodetext"
    static const char* const s_StdFileListFormat; // "calvarine.filelist"

    explicit ClipBoardFormatHandle(const char* formatName);
    ~ClipBoardFormatHandle();
    ClipBoardFormatHandle(ClipBoardFormatHandle const&) = delete;
    ClipBoardFormatHandle& operator=(ClipBoardFormatHandle const&) = delete;

    CFStringRef getType() const { return m_type; }

private:
    CFStringRef m_type;
};

class ClipBoardFormat {
public:
    explicit ClipBoardFormat(ClipBoardFormatHandle const& handle)
        : m_pHandle(&handle)
    {
    }
    virtual ~ClipBoardFormat();
    // Told the number of pasteboard items before they are read.
    virtual void notifyNumItems(std::size_t count);
    // The data of one item; true when it was taken.
    virtual bool addRawData(unsigned char const* bytes, long length) = 0;
    // Appends one new data block (owned by the caller) per item to write.
    virtual void writeOSData(std::vector<CFDataRef>& blocks) const = 0;
    // Whether reading goes on after the first item taken.
    virtual bool canHoldMultipleItems() const;

    ClipBoardFormatHandle const& getHandle() const { return *m_pHandle; }

private:
    ClipBoardFormatHandle const* m_pHandle;
};

// A value kept as one block of bytes.
class RawDataClipBoardFormat : public ClipBoardFormat {
public:
    using ClipBoardFormat::ClipBoardFormat;
    bool addRawData(unsigned char const* bytes, long length) override;
    void writeOSData(std::vector<CFDataRef>& blocks) const override;
    // The bytes may sit at any address.
    virtual bool readRawData(void const* data, std::size_t length) = 0;
    virtual void writeRawData(void* destination) const = 0;
    virtual std::size_t getRawDataSize() const = 0;
};

// Plain text, held as UTF-16.
class TextClipBoardFormat : public RawDataClipBoardFormat {
public:
    static ClipBoardFormatHandle const& FormatHandle();

    TextClipBoardFormat();
    // Invalid or incomplete UTF-8 sequences are dropped.
    void setValue(std::string const& utf8);
    std::string getValue() const;
    std::u16string const& getText() const { return m_text; }

    // Up to the first zero unit; CR LF becomes CR; a leading byte-order
    // mark is dropped.
    bool readRawData(void const* data, std::size_t length) override;
    void writeRawData(void* destination) const override;
    std::size_t getRawDataSize() const override { return m_text.size() * 2; }

private:
    std::u16string m_text;
};

// Files, one pasteboard item (a file URL) each.
class FileListClipBoardFormat : public ClipBoardFormat {
public:
    static ClipBoardFormatHandle const& FormatHandle();

    FileListClipBoardFormat();
    void notifyNumItems(std::size_t count) override;
    // Takes a file URL (with the file's type); anything else is skipped
    // and answers false.
    bool addRawData(unsigned char const* bytes, long length) override;
    void writeOSData(std::vector<CFDataRef>& blocks) const override;
    bool canHoldMultipleItems() const override { return true; }

    std::vector<BAS::FileName> m_files;
};

// A drag's payload inside this process. The pasteboard carries only a
// random token; the pointers stay in a process-local registry while the
// format that wrote them lives, and only a block of exactly the token's
// size naming a live entry is read back.
class InternalClipBoardFormat : public RawDataClipBoardFormat {
public:
    static constexpr std::size_t kTokenSize = 16;
    using Token = std::array<unsigned char, kTokenSize>;

    static ClipBoardFormatHandle const& FormatHandle();
    // "calvarine.application.internalclipboardformat.0x..." of this process.
    static std::string formatName();

    InternalClipBoardFormat();
    ~InternalClipBoardFormat() override;
    InternalClipBoardFormat(InternalClipBoardFormat const&) = delete;
    InternalClipBoardFormat& operator=(InternalClipBoardFormat const&) = delete;

    bool readRawData(void const* data, std::size_t length) override;
    void writeRawData(void* destination) const override;
    std::size_t getRawDataSize() const override { return kTokenSize; }

    DragDropData const* m_pData = nullptr;
    WindowBase* m_pWindow = nullptr;

private:
    // The token under which this object's pointers were published.
    mutable Token m_token{};
    mutable bool m_bPublished = false;
};

} // namespace FEN
} // namespace CV
