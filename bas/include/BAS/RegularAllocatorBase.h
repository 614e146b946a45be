#pragma once
// The core of a pool of equal-sized records. The pool carves large blocks
// ("packets") into slots, keeps the free slots of each packet on a list of
// its own and hands out records in constant time. Packets grow by doubling up
// to a cap; an emptied packet goes back to the heap at once, except the first.
//
// Packet memory: a header of seven words (see Packet), then the slots. A slot
// is one header word and the record; the word links to the next free slot of
// the packet while the slot is free and names the owning packet while used.
//
// This class takes no lock; DA::RegularAllocator adds it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "BAS/TUResourceTracker.h"

namespace CV {
namespace BAS {
namespace DETAIL {

class RegularAllocatorBase {
public:
    enum : uint32_t {
        eFlagSinglePacket = 1u << 0, // never create a packet after the first
        eFlagAlignSlots32 = 1u << 2, // first slot of a packet on a 32-byte boundary
    };

    static constexpr size_t kPacketHeaderSize = 56;
    static constexpr size_t kSlotHeaderSize = 8;

    // Link pair of the list of packets with free slots.
    struct PacketLink {
        PacketLink* prev;
        PacketLink* next;
    };

    struct Packet {
        Packet* prevPacket;
        Packet* nextPacket;
        PacketLink freeLink;
        void* freeSlots; // head of the free-slot list
        size_t usedSlots;
        size_t slotCount;
    };
    static_assert(sizeof(Packet) == kPacketHeaderSize, "packet header is seven words");

    constexpr RegularAllocatorBase() = default;
    RegularAllocatorBase(const RegularAllocatorBase&) = delete;
    RegularAllocatorBase& operator=(const RegularAllocatorBase&) = delete;

    virtual void* allocatePacket(size_t bytes) = 0;
    virtual void deallocatePacket(void* packet) = 0;
    virtual ~RegularAllocatorBase();

    // Fills in the sizes for records of `itemSize` bytes; the pool's owner then
    // requests the first packet. Leaves the pool unconfigured until then.
    void configure(size_t itemSize, size_t firstPacketSlots, size_t packetSlotCap, uint32_t flags = 0);
    // Marks the pool configured after its first packet was requested.
    void setConfigured() { m_bConfigured = true; }
    bool isConfigured() const { return m_bConfigured; }

    // Unlocked core: a record of the configured size (the argument is ignored);
    // throws std::bad_alloc when no packet can be obtained.
    void* allocate(size_t size);
    // Unlocked core: gives a record back; null is ignored.
    void deallocate(void* record);
    // Creates and links one packet; null when none can be obtained.
    Packet* allocNewPacket();

    // Gives back every packet and leaves the pool unconfigured. Records must
    // all be freed before: debug builds assert it. A packet that still holds
    // used records is kept instead (detached from the pool) and goes back to
    // the heap when its last record is freed.
    void releasePackets();

    size_t itemSize() const { return m_uItemSize; }
    size_t slotStride() const { return m_uSlotStride; }
    size_t nextPacketSlots() const { return m_uNextPacketSlots; }
    size_t largestPacketSlots() const { return m_uLargestPacketSlots; }
    size_t packetSlotCap() const { return m_uPacketSlotCap; }
    size_t packetBytes() const { return m_uPacketBytes; }
    uint32_t flags() const { return m_uFlags; }
    // Slot counts of the packets held, in creation order.
    std::vector<size_t> packetSlotCounts() const;
    size_t usedSlotCount() const;

    TUResourceTracker& tracker() { return m_tracker; }

private:
    size_t bytesOfPacket(size_t slotCount) const;
    char* firstSlotOf(Packet* packet) const;
    void chainFreeSlots(Packet* packet);
    void appendToPackets(Packet* packet);
    void unlinkFromPackets(Packet* packet);
    void appendToFreePackets(Packet* packet);
    void unlinkFromFreePackets(Packet* packet);
    void releaseEmptyPacket(Packet* packet);
    void giveBackOrDetach(Packet* packet);
    static Packet* packetOfLink(PacketLink* link);
    static bool isDetached(const Packet* packet);

    size_t m_uItemSize = 0;
    size_t m_uSlotStride = 0;
    size_t m_uNextPacketSlots = 0;
    size_t m_uLargestPacketSlots = 0;
    size_t m_uPacketSlotCap = 0;
    size_t m_uPacketBytes = 0;
    size_t m_uPacketHeaderSize = 0;
    size_t m_uSlotHeaderSize = 0;
    uint32_t m_uFlags = 0;
    bool m_bConfigured = false;
    Packet* m_pFirstPacket = nullptr;
    Packet* m_pLastPacket = nullptr;
    PacketLink* m_pFirstFree = nullptr;
    PacketLink* m_pLastFree = nullptr;
    TUResourceTracker m_tracker;
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
