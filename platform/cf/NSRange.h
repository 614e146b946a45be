#pragma once
// Ranges of the object interface (text ranges of input clients, in UTF-16
// units). The not-found location is all bits set: a client's "no range"
// location -1, widened with its sign to 64 bits, is exactly NSNotFound.
// Every call here treats a range at NSNotFound as empty and contained in
// nothing, so no end is computed past it.
#include <cstdint>

typedef long NSInteger;
typedef unsigned long NSUInteger;

constexpr NSUInteger NSNotFound = ~NSUInteger(0);

struct NSRange {
    NSUInteger location;
    NSUInteger length;
};

inline NSRange NSMakeRange(NSUInteger location, NSUInteger length)
{
    return NSRange{location, length};
}

// The range of a signed location (negative: no range) and length.
inline NSRange NSRangeFromSigned(int64_t location, int64_t length)
{
    if (location < 0)
        return NSRange{NSNotFound, 0};
    return NSRange{NSUInteger(location), length < 0 ? 0 : NSUInteger(length)};
}

inline bool NSRangeIsFound(NSRange range)
{
    return range.location != NSNotFound;
}

// The end of the range; NSNotFound for a range at NSNotFound, and clamped
// to NSNotFound - 1 when location + length would pass it.
inline NSUInteger NSMaxRange(NSRange range)
{
    if (!NSRangeIsFound(range))
        return NSNotFound;
    if (range.length >= NSNotFound - range.location)
        return NSNotFound - 1;
    return range.location + range.length;
}

inline bool NSLocationInRange(NSUInteger location, NSRange range)
{
    return NSRangeIsFound(range) && location != NSNotFound && location >= range.location &&
        location < NSMaxRange(range);
}

inline bool NSEqualRanges(NSRange a, NSRange b)
{
    return a.location == b.location && a.length == b.length;
}

// The common part; {NSNotFound, 0} when either is not found or they do not
// overlap.
inline NSRange NSIntersectionRange(NSRange a, NSRange b)
{
    if (!NSRangeIsFound(a) || !NSRangeIsFound(b))
        return NSRange{NSNotFound, 0};
    const NSUInteger start = a.location > b.location ? a.location : b.location;
    const NSUInteger endA = NSMaxRange(a);
    const NSUInteger endB = NSMaxRange(b);
    const NSUInteger end = endA < endB ? endA : endB;
    if (end <= start)
        return NSRange{NSNotFound, 0};
    return NSRange{start, end - start};
}
