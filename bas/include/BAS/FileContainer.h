#pragma once
// The container file format: recognising a container and asking whether an
// item exists. A container begins with meta blocks (a 256-byte meta header
// and its payload) and/or a chain of tables of contents (TOC blocks), all
// little-endian.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace CV {
namespace BAS {
class FileName;

namespace FileContainer {

// The name of an info that names no item, and of a container's top level.
extern const std::string INVALID_ENTRY;

constexpr std::size_t META_HEADER_SIZE = 256;
constexpr std::size_t META_MAGIC_SIZE = 16;
extern const std::array<uint8_t, META_MAGIC_SIZE> META_MAGIC;
extern const std::array<uint8_t, META_MAGIC_SIZE> TOC_MAGIC;

// One 256-byte meta header, kept as its raw bytes.
struct tMetaHeader {
    enum eType : uint32_t { eText = 1, eParts = 2 };
    static constexpr std::size_t TEXT_OFFSET = 66;
    static constexpr std::size_t TEXT_ROOM_UNITS = 33;
    static constexpr std::size_t TEXT_MAX_UNITS = 32;
    static constexpr std::size_t TYPE_OFFSET = 132;
    static constexpr std::size_t VALUE_OFFSET = 136;
    static constexpr std::size_t PART_COUNT_OFFSET = 144;
    static constexpr std::size_t PAYLOAD_OFFSET = 148;

    std::array<uint8_t, META_HEADER_SIZE> bytes{};

    bool hasMagic() const;
    uint32_t getType() const { return getU32(TYPE_OFFSET); }
    uint32_t getValue() const { return getU32(VALUE_OFFSET); }
    uint32_t getPartCount() const { return getU32(PART_COUNT_OFFSET); }
    uint32_t getPayloadLength() const { return getU32(PAYLOAD_OFFSET); }
    // The UTF-16 text of a text header, up to its first 0 unit or the end
    // of its room, as UTF-8.
    std::string getText() const;
    // Clears the text room and fills it with the text cut to 32 units and
    // ended by a 0 unit.
    void setText(const std::string& text);
    // A new parts record: magic, type 2, the value and the part count.
    static tMetaHeader makePartsRecord(uint32_t value, uint32_t partCount);

    uint32_t getU32(std::size_t offset) const;
    void setU32(std::size_t offset, uint32_t value);
};

// Whether the file of the name's full path is a container: it begins with
// a meta header, or (without one) with a valid TOC header. With a list, the
// meta headers at the file's start are appended to it.
bool isContainerFile(const FileName& name, std::vector<tMetaHeader>* metaHeaders);
// Whether the container file of the name holds the item the subpath names.
bool isContainerFileContent(const FileName& name, const std::string& subpath);

} // namespace FileContainer
} // namespace BAS
} // namespace CV
