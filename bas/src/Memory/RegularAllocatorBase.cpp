#include "BAS/RegularAllocatorBase.h"

#include <algorithm>
#include <cassert>
#include <new>

namespace CV {
namespace BAS {
namespace DETAIL {

namespace {

constexpr size_t kAlignedSlotsExtraBytes = 24;
constexpr size_t kSlotAlignment = 32;

// The header word at the start of every slot.
void*& slotHeader(void* slot)
{
    return *static_cast<void**>(slot);
}

size_t roundUp(size_t value, size_t multiple)
{
    return (value + multiple - 1) / multiple * multiple;
}

} // namespace

RegularAllocatorBase::~RegularAllocatorBase() = default;

void RegularAllocatorBase::configure(size_t itemSize, size_t firstPacketSlots, size_t packetSlotCap, uint32_t flags)
{
    m_uItemSize = itemSize;
    m_uSlotHeaderSize = kSlotHeaderSize;
    m_uSlotStride = kSlotHeaderSize + roundUp(itemSize, sizeof(void*));
    m_uPacketHeaderSize = kPacketHeaderSize;
    m_uNextPacketSlots = firstPacketSlots;
    m_uLargestPacketSlots = firstPacketSlots;
    m_uPacketSlotCap = packetSlotCap;
    m_uPacketBytes = 0;
    m_uFlags = flags;
}

size_t RegularAllocatorBase::bytesOfPacket(size_t slotCount) const
{
    size_t bytes = slotCount * m_uSlotStride + m_uPacketHeaderSize;
    if (m_uFlags & eFlagAlignSlots32)
        bytes += kAlignedSlotsExtraBytes;
    return bytes;
}

char* RegularAllocatorBase::firstSlotOf(Packet* packet) const
{
    auto address = reinterpret_cast<uintptr_t>(packet) + m_uPacketHeaderSize;
    if (m_uFlags & eFlagAlignSlots32)
        address = roundUp(address, kSlotAlignment);
    return reinterpret_cast<char*>(address);
}

RegularAllocatorBase::Packet* RegularAllocatorBase::packetOfLink(PacketLink* link)
{
    return reinterpret_cast<Packet*>(reinterpret_cast<char*>(link) - offsetof(Packet, freeLink));
}

// A packet that was kept by releasePackets() while records still lived in it
// links to itself and belongs to no list of the pool.
bool RegularAllocatorBase::isDetached(const Packet* packet)
{
    return packet->prevPacket == packet;
}

void RegularAllocatorBase::appendToPackets(Packet* packet)
{
    packet->prevPacket = m_pLastPacket;
    packet->nextPacket = nullptr;
    if (m_pLastPacket)
        m_pLastPacket->nextPacket = packet;
    else
        m_pFirstPacket = packet;
    m_pLastPacket = packet;
}

void RegularAllocatorBase::unlinkFromPackets(Packet* packet)
{
    if (packet->prevPacket)
        packet->prevPacket->nextPacket = packet->nextPacket;
    else
        m_pFirstPacket = packet->nextPacket;
    if (packet->nextPacket)
        packet->nextPacket->prevPacket = packet->prevPacket;
    else
        m_pLastPacket = packet->prevPacket;
    packet->prevPacket = packet->nextPacket = nullptr;
}

void RegularAllocatorBase::appendToFreePackets(Packet* packet)
{
    PacketLink* link = &packet->freeLink;
    link->prev = m_pLastFree;
    link->next = nullptr;
    if (m_pLastFree)
        m_pLastFree->next = link;
    else
        m_pFirstFree = link;
    m_pLastFree = link;
}

void RegularAllocatorBase::unlinkFromFreePackets(Packet* packet)
{
    PacketLink* link = &packet->freeLink;
    if (link->prev)
        link->prev->next = link->next;
    else
        m_pFirstFree = link->next;
    if (link->next)
        link->next->prev = link->prev;
    else
        m_pLastFree = link->prev;
    link->prev = link->next = nullptr;
}

// Slots are chained so that the last slot is handed out first: successive
// records of a fresh packet lie at decreasing addresses.
void RegularAllocatorBase::chainFreeSlots(Packet* packet)
{
    char* slot = firstSlotOf(packet);
    void* previous = nullptr;
    for (size_t i = 0; i < packet->slotCount; ++i, slot += m_uSlotStride) {
        slotHeader(slot) = previous;
        previous = slot;
    }
    packet->freeSlots = previous;
}

RegularAllocatorBase::Packet* RegularAllocatorBase::allocNewPacket()
{
    if ((m_uFlags & eFlagSinglePacket) && m_pFirstPacket)
        return nullptr;
    const size_t slots = m_uNextPacketSlots;
    const size_t bytes = bytesOfPacket(slots);
    void* memory = nullptr;
    try {
        memory = allocatePacket(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!memory)
        return nullptr;

    auto* packet = static_cast<Packet*>(memory);
    packet->usedSlots = 0;
    packet->slotCount = slots;
    m_uPacketBytes += bytes;
    appendToPackets(packet);
    appendToFreePackets(packet);
    chainFreeSlots(packet);

    m_uLargestPacketSlots = std::max(m_uLargestPacketSlots, slots);
    if (slots >= m_uLargestPacketSlots)
        m_uNextPacketSlots = std::min(2 * slots, m_uPacketSlotCap);
    return packet;
}

void* RegularAllocatorBase::allocate(size_t /*size*/)
{
    Packet* packet = m_pFirstFree ? packetOfLink(m_pFirstFree) : allocNewPacket();
    if (!packet)
        throw std::bad_alloc();

    void* slot = packet->freeSlots;
    packet->freeSlots = slotHeader(slot);
    slotHeader(slot) = packet;
    ++packet->usedSlots;
    if (packet->usedSlots == packet->slotCount)
        unlinkFromFreePackets(packet);
    return static_cast<char*>(slot) + m_uSlotHeaderSize;
}

void RegularAllocatorBase::deallocate(void* record)
{
    if (!record)
        return;
    void* slot = static_cast<char*>(record) - kSlotHeaderSize;
    auto* packet = static_cast<Packet*>(slotHeader(slot));
    const bool wasFull = packet->usedSlots == packet->slotCount;

    slotHeader(slot) = packet->freeSlots;
    packet->freeSlots = slot;
    --packet->usedSlots;

    if (isDetached(packet)) {
        if (packet->usedSlots == 0)
            deallocatePacket(packet);
        return;
    }
    if (wasFull)
        appendToFreePackets(packet);
    if (packet->usedSlots == 0 && packet != m_pFirstPacket)
        releaseEmptyPacket(packet);
}

// An emptied packet beyond the first goes back to the heap; the next packet
// is then made as large as the largest one, not twice as large.
void RegularAllocatorBase::releaseEmptyPacket(Packet* packet)
{
    m_uPacketBytes -= bytesOfPacket(packet->slotCount);
    if (packet->slotCount >= m_uLargestPacketSlots)
        m_uNextPacketSlots = m_uLargestPacketSlots;
    unlinkFromPackets(packet);
    unlinkFromFreePackets(packet);
    deallocatePacket(packet);
}

void RegularAllocatorBase::giveBackOrDetach(Packet* packet)
{
    if (packet->usedSlots == 0) {
        deallocatePacket(packet);
        return;
    }
    packet->prevPacket = packet->nextPacket = packet;
    packet->freeLink.prev = packet->freeLink.next = nullptr;
}

void RegularAllocatorBase::releasePackets()
{
    if (!m_bConfigured)
        return;
    assert(usedSlotCount() == 0 && "records are still in use when their pool stops");
    Packet* packet = m_pFirstPacket;
    while (packet) {
        Packet* next = packet->nextPacket;
        giveBackOrDetach(packet);
        packet = next;
    }
    m_pFirstPacket = m_pLastPacket = nullptr;
    m_pFirstFree = m_pLastFree = nullptr;
    m_uPacketBytes = 0;
    m_bConfigured = false;
}

std::vector<size_t> RegularAllocatorBase::packetSlotCounts() const
{
    std::vector<size_t> counts;
    for (const Packet* packet = m_pFirstPacket; packet; packet = packet->nextPacket)
        counts.push_back(packet->slotCount);
    return counts;
}

size_t RegularAllocatorBase::usedSlotCount() const
{
    size_t used = 0;
    for (const Packet* packet = m_pFirstPacket; packet; packet = packet->nextPacket)
        used += packet->usedSlots;
    return used;
}

} // namespace DETAIL
} // namespace BAS
} // namespace CV
