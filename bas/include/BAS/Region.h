#pragma once
// A set of pixels held as non-overlapping rectangles sorted into horizontal
// bands, with a bounding rectangle.
//
// Representation:
// - Empty bounds: the region is empty and has no items (bounds stored as 0).
// - At most one item and non-empty bounds: the region is the rectangle
//   `bounds`; such a region may hold no item at all.
// - Otherwise the region is the union of its items and `bounds` holds them.
// - Items are ordered by top, then left; items with the same top form a band
//   and share top and bottom; bands do not overlap; items of a band neither
//   overlap nor touch. add and intersect merge vertically adjacent equal
//   bands; addFast may leave such pairs, so readers must not rely on it.
//
// Items come from a process-wide pool that Region::init starts and the last
// Region::deInit stops; every region must be emptied before that. A region
// is used by one thread at a time and is never copied by value.
#include <cstdint>

#include "BAS/CountedListImpl.h"
#include "BAS/ListBase.h"
#include "BAS/ListItem.h"
#include "BAS/OwnerListImpl.h"
#include "BAS/Point.h"
#include "BAS/Rect.h"
#include "BAS/RegularAllocator.h"

namespace CV {
namespace BAS {

class Region;

namespace DETAIL {
using RegionListBase = CountedListImpl<OwnerListImpl<ListBase<ListItem<Rect>>, Region>>;
}

class Region : public DETAIL::RegionListBase {
public:
    using ListItem = DETAIL::ListItem<Rect>;
    using OverlapFunction = void (Region::*)(ListItem* aBand, ListItem* aBandEnd, ListItem* bBand, ListItem* bBandEnd,
                                             int top, int bottom);

    // Result of testRect.
    enum { eInside = 0, eOutside = 1, ePartlyInside = 2 };

    // Walks the rectangles of a region that meet a clip rectangle; the user
    // drives it while mode != 2 (see getRect and advance).
    struct const_intersector {
        const_intersector(Region const* region, Rect const& clip, Point const& offset);
        const_intersector(Region const& region, Rect const& clip, Point const& offset)
            : const_intersector(&region, clip, offset)
        {
        }

        bool isDone() const { return mode == 2; }
        // The current rectangle, cut to the clip and moved by minus the offset.
        Rect getRect() const;
        void advance();

        Region const* region;
        bool single; // the region is its bounding rectangle
        ListItem const* current;
        int32_t mode; // 0 every item, 1 items meeting the clip, 2 done
        Rect clip;
        Point offset;
    };

    static DA::RegularAllocator s_heap;
    static int32_t s_iInitCnt;

    // Counted start and stop of the item pool.
    static bool init();
    static void deInit();

    Region() = default;
    ~Region();
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    Rect const& bounds() const { return m_bounds; }
    bool isEmpty() const;
    // Frees every item; count and bounds become 0.
    void clear();

    // out = a ∪ b; out may be a or b.
    static void add(Region& out, Region const& a, Region const& b);
    // out = a ∩ b; out may be a or b.
    static void intersect(Region& out, Region const& a, Region const& b);
    // this = this ∩ r.
    void intersect(Rect const& r);
    // this = this ∪ r, in place.
    void addFast(Rect const& r);

    // eInside, eOutside (also when r or the region is empty) or ePartlyInside.
    int testRect(Rect const& r) const;
    // The next item after `after` (null: from the first) that overlaps r.
    ListItem* getNextIntersectingRect(ListItem const* after, Rect const& r) const;

    void moveBy(int dx, int dy);
    // dest = this, reusing dest's items.
    void copyTo(Region& dest) const;
    // this takes other's content; other becomes empty.
    void expropriate(Region& other);

    // The steps of addFast.
    bool checkTrivials(Rect const& r);
    void mergeInBands(Rect r);
    void mergeRectInBand(ListItem*& bandStart, ListItem* bandEnd, Rect const& r);
    void insertRectBeforeCurrentBand(ListItem* bandStart, ListItem* bandEnd, ListItem* previousBandStart,
                                     Rect const& r);

    // The band sweep of add and intersect, into this (empty) region.
    void operation(Region const& a, Region const& b, OverlapFunction overlap, bool appendNonA, bool appendNonB);
    void unionOverlapped(ListItem* aBand, ListItem* aBandEnd, ListItem* bBand, ListItem* bBandEnd, int top, int bottom);
    void intersectOverlapped(ListItem* aBand, ListItem* aBandEnd, ListItem* bBand, ListItem* bBandEnd, int top,
                             int bottom);

    // Item pool access of the owning list.
    static ListItem* implNewItem();
    static void implDeleteItem(ListItem* item);

private:
    // Writes the result of one band sweep; see Region.cpp.
    class Sweep;

    bool isSingleRect() const;
    ListItem* insertRect(ListItem* position, Rect const& r);
    void appendRect(Rect const& r) { insertRect(nullptr, r); }
    void recomputeBounds();
    ListItem* splitBandAt(ListItem* band, ListItem* bandEnd, int y);
    void makeSingle(Rect const& r);
    static void runOperationInto(Region& out, Region const& a, Region const& b, OverlapFunction overlap,
                                 bool appendNonA, bool appendNonB);

    Rect m_bounds{0, 0, 0, 0};
};

} // namespace BAS
} // namespace CV
