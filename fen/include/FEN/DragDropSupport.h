#pragma once
// The vocabulary of drag and drop: drop effects, drag results, drag
// images, the payload of a drag inside the process with its format id,
// and the record of the last mouse input a drag started here is built from.
#include "BAS/Point.h"

#include <objc/runtime.h>

#include <cstdint>

namespace CV {
namespace FEN {

class Picture;

class DragDropSupport {
public:
    // Bit mask of what a drop does.
    enum DropEffect : int32_t { eDropEffectNone = 0, eDropEffectCopy = 1, eDropEffectMove = 2, eDropEffectLink = 4 };
    // How a drag started here ended.
    enum DropResult : int32_t {
        eDropResultOther = 0,
        eDropResultCopy = 1,
        eDropResultMove = 2,
        eDropResultLink = 4,
        eDropResultGeneric = 8,
        eDropResultNone = 64,
        eDropResultDelete = 128,
    };

    // The picture under the pointer and the point of it at the pointer.
    struct DragImage {
        Picture const* picture = nullptr;
        BAS::Point hotSpot{0, 0};
    };

    // Platform drag operations (copy 1, link 2, generic 4, private 8,
    // move 16, delete 32) and the framework's values.
    static DropResult dropResultFromOperation(unsigned long operation);
    // The effects a source operation mask allows (copy, move, link).
    static int32_t effectsFromOperationMask(uint64_t mask);
    // The operation of one resulting effect; none for 0 or a mixture.
    static unsigned long operationFromEffect(int32_t effect);
    // The operation mask of allowed effects and how many effects it holds.
    static uint64_t operationMaskFromEffects(unsigned effects, int32_t& count);

    DragDropSupport() = delete;
};

// The format id of a payload, from DragDropManager::registerFormat.
class DragDropFormat {
public:
    explicit DragDropFormat(unsigned formatId = 0)
        : m_uFormatId(formatId)
    {
    }
    unsigned m_uFormatId;
};

// A drag's payload inside the process; passed by pointer, never copied.
class DragDropData {
public:
    explicit DragDropData(DragDropFormat const& format)
        : m_format(format)
    {
    }
    virtual ~DragDropData() = default;
    DragDropData(DragDropData const&) = delete;
    DragDropData& operator=(DragDropData const&) = delete;

    unsigned getFormatId() const { return m_format.m_uFormatId; }

    DragDropFormat m_format;
};

// What the platform view recorded of its last mouse input, and what the
// drag source adds before a drag starts.
struct DragViewData {
    id view = nil;
    id event = nil;
    double x = 0; // in the view's coordinates
    double y = 0;
    uint64_t sourceOperationMask = 0;
    int32_t allowedEffectCount = 0;
};

} // namespace FEN
} // namespace CV
