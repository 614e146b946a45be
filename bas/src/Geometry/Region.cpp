#include "BAS/Region.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

namespace CV {
namespace BAS {

namespace {

using Item = Region::ListItem;

constexpr int kItemRecordSize = 32;
constexpr size_t kFirstPacketSlots = 8192;
constexpr size_t kPacketSlotCap = (size_t(1) << 28) / 40;

static_assert(sizeof(Item) == kItemRecordSize, "a region item fills one 32-byte pool record");

constexpr Rect kNoRect{0, 0, 0, 0};

bool isEmptyRect(Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

bool overlap(Rect const& a, Rect const& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool holds(Rect const& outer, Rect const& inner)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
        inner.bottom <= outer.bottom;
}

Rect intersection(Rect const& a, Rect const& b)
{
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return isEmptyRect(r) ? kNoRect : r;
}

Rect enclosing(Rect const& a, Rect const& b)
{
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// The pool hands out the slots of a packet from its end towards its start,
// so items made one after another lie this far apart.
constexpr intptr_t kNextSlotStep = -intptr_t(DETAIL::RegularAllocatorBase::kSlotHeaderSize + kItemRecordSize);

// item->next, read so that a walk over items that lie one slot apart need
// not wait for each link: the next item's address is guessed and the link
// only confirms it (the branch stays a branch, so the processor runs ahead
// on the guess).
inline __attribute__((always_inline)) Item* followLink(Item const* item)
{
    Item* next = item->next;
    Item* guess = reinterpret_cast<Item*>(reinterpret_cast<intptr_t>(item) + kNextSlotStep);
    if (__builtin_expect(next != guess, 0)) {
        __asm__("" : "+r"(next));
        return next;
    }
    return guess;
}

// The first item after `item` that starts another band, or null.
Item* endOfBand(Item* item)
{
    const int32_t top = item->data.top;
    Item* next = followLink(item);
    while (next && next->data.top == top)
        next = followLink(next);
    return next;
}

// Two bands with the same number of items and equal left and right edges.
bool sameColumns(Item* a, Item* aEnd, Item* b, Item* bEnd)
{
    for (; a != aEnd && b != bEnd; a = a->next, b = b->next) {
        if (a->data.left != b->data.left || a->data.right != b->data.right)
            return false;
    }
    return a == aEnd && b == bEnd;
}

// The band [newBand, last] has as many items as the band before it, which
// starts at previous, with the same left and right edges pairwise.
bool continuesWithSameColumns(Item const* previous, Item const* newBand, Item const* last)
{
    Item const* b = newBand;
    for (Item const* a = previous; a != newBand; a = a->next, b = b->next) {
        if (a->data.left != b->data.left || a->data.right != b->data.right)
            return false;
        if (b == last)
            return a->next == newBand;
    }
    return false;
}

bool isLoneItemOfBand(Item* item)
{
    return endOfBand(item) == item->next;
}

} // namespace

DA::RegularAllocator Region::s_heap;
int32_t Region::s_iInitCnt = 0;

bool Region::init()
{
    if (s_iInitCnt++ == 0)
        s_heap.start(kItemRecordSize, kFirstPacketSlots, kPacketSlotCap);
    return true;
}

void Region::deInit()
{
    if (s_iInitCnt == 0)
        return;
    if (--s_iInitCnt == 0)
        s_heap.stop();
}

Region::ListItem* Region::implNewItem()
{
    return new (s_heap.allocate(kItemRecordSize)) ListItem{nullptr, nullptr, kNoRect};
}

void Region::implDeleteItem(ListItem* item)
{
    s_heap.deallocate(item);
}

Region::~Region()
{
    freeAllItems();
}

bool Region::isEmpty() const
{
    return isEmptyRect(m_bounds);
}

bool Region::isSingleRect() const
{
    return m_pFirst == m_pLast && !isEmptyRect(m_bounds);
}

void Region::clear()
{
    freeAllItems();
    m_bounds = kNoRect;
}

void Region::makeSingle(Rect const& r)
{
    freeAllItems();
    m_bounds = isEmptyRect(r) ? kNoRect : r;
}

Region::ListItem* Region::insertRect(ListItem* position, Rect const& r)
{
    ListItem* item = insertNewItem(position);
    item->data = r;
    return item;
}

void Region::recomputeBounds()
{
    if (!m_pFirst) {
        if (isEmptyRect(m_bounds))
            m_bounds = kNoRect;
        return;
    }
    Rect bounds = m_pFirst->data;
    for (ListItem* item = m_pFirst->next; item; item = item->next)
        bounds = enclosing(bounds, item->data);
    m_bounds = bounds;
}

// ---------------------------------------------------------------- the band sweep

// The steps of the sweep are inlined into one loop, which keeps its writer
// in registers.
#define REGION_SWEEP_STEP inline __attribute__((always_inline))

namespace {

// Writes a rectangle as two pairs of edges: two plain stores, where the
// compiler would otherwise gather the four edges through vector lanes.
inline __attribute__((always_inline)) void storeRect(Rect& rect, int32_t l, int32_t t, int32_t r, int32_t b)
{
    static_assert(sizeof(Rect) == 16 && offsetof(Rect, top) == 4 && offsetof(Rect, bottom) == 12,
                  "a rectangle is four packed edges");
    const uint64_t leftTop = uint64_t(uint32_t(l)) | (uint64_t(uint32_t(t)) << 32);
    const uint64_t rightBottom = uint64_t(uint32_t(r)) | (uint64_t(uint32_t(b)) << 32);
    char* bytes = reinterpret_cast<char*>(&rect);
    std::memcpy(bytes, &leftTop, sizeof leftTop);
    std::memcpy(bytes + sizeof leftTop, &rightBottom, sizeof rightBottom);
}

// A new item when no spare one is left.
__attribute__((noinline)) Item* newItemFrom(DETAIL::RegularAllocatorBase& pool)
{
    return static_cast<Item*>(pool.allocate(kItemRecordSize));
}

// The chain of items that one band sweep builds. New items come first from
// a spare chain (the output's former items, then the bands merged into the
// band above them) and only then from the pool, whose lock the caller holds;
// the horizontal bounds grow with every band. The chain hangs behind a head
// item of the sweep's own, so that appending never asks whether it is empty,
// and the last item's next link is only set when the sweep ends. The writer
// lives in the sweep's registers: nothing takes its address.
struct ChainWriter {
    DETAIL::RegularAllocatorBase& pool;
    Item* spare;
    Item* head;
    Item* last = head;
    int32_t count = 0;
    int32_t left = INT32_MAX;
    int32_t right = INT32_MIN;

    Item* firstItem() const { return count ? head->next : nullptr; }
    Item* lastItem() const { return last; }

    REGION_SWEEP_STEP void append(int32_t l, int32_t t, int32_t r, int32_t b)
    {
        Item* item = spare;
        if (__builtin_expect(item != nullptr, 1))
            spare = followLink(item);
        else
            item = newItemFrom(pool);
        item->prev = last;
        storeRect(item->data, l, t, r, b);
        last->next = item;
        last = item;
        ++count;
    }

    // The horizontal bounds grow by a band once it is appended (its first
    // item is leftmost, its last rightmost).
    REGION_SWEEP_STEP void bandAppended(Item* band)
    {
        left = std::min(left, band->data.left);
        right = std::max(right, last->data.right);
    }

    // Drops the `dropped` items after lastBefore; they become spare.
    REGION_SWEEP_STEP void dropAfter(Item* lastBefore, int32_t dropped)
    {
        last->next = spare;
        spare = lastBefore->next;
        last = lastBefore;
        count -= dropped;
    }

    // Ends the chain; its first item forgets the head.
    void finish()
    {
        last->next = nullptr;
        if (count)
            head->next->prev = nullptr;
    }
};

// The union of two bands over [top, bottom): their items in order of left
// edges, touching and overlapping ones merged. At least one band has items.
struct UnionBands {
    template <class Out>
    REGION_SWEEP_STEP void operator()(Out& out, Item* a, Item* aEnd, Item* b, Item* bEnd, int32_t top,
                                      int32_t bottom) const
    {
        Item* item;
        if (a != aEnd && (b == bEnd || a->data.left < b->data.left)) {
            item = a;
            a = a->next;
        } else {
            item = b;
            b = b->next;
        }
        int32_t x1 = item->data.left;
        int32_t x2 = item->data.right;
        for (;;) {
            if (a != aEnd && (b == bEnd || a->data.left < b->data.left)) {
                item = a;
                a = a->next;
            } else if (b != bEnd) {
                item = b;
                b = b->next;
            } else {
                break;
            }
            if (item->data.left <= x2) {
                x2 = std::max(x2, item->data.right);
            } else {
                out.append(x1, top, x2, bottom);
                x1 = item->data.left;
                x2 = item->data.right;
            }
        }
        out.append(x1, top, x2, bottom);
    }
};

// The intersection of two bands over [top, bottom).
struct IntersectBands {
    template <class Out>
    REGION_SWEEP_STEP void operator()(Out& out, Item* a, Item* aEnd, Item* b, Item* bEnd, int32_t top,
                                      int32_t bottom) const
    {
        while (a != aEnd && b != bEnd) {
            const int32_t aRight = a->data.right;
            const int32_t bRight = b->data.right;
            const int32_t x1 = std::max(a->data.left, b->data.left);
            const int32_t x2 = std::min(aRight, bRight);
            if (x1 < x2)
                out.append(x1, top, x2, bottom);
            if (aRight == x2)
                a = a->next;
            if (bRight == x2)
                b = b->next;
        }
    }
};

template <class Out>
REGION_SWEEP_STEP void appendBandCopies(Out& out, Item* band, Item* bandEnd, int32_t top, int32_t bottom)
{
    for (Item* item = band; item != bandEnd; item = item->next)
        out.append(item->data.left, top, item->data.right, bottom);
}

// Merges the band appended after `lastBefore` into the previous band when
// the two touch vertically and have the same columns.
template <class Out> REGION_SWEEP_STEP void coalesceAppendedBand(Out& out, Item*& previousBand, Item* lastBefore)
{
    if (out.lastItem() == lastBefore)
        return;
    Item* newBand = lastBefore ? lastBefore->next : out.firstItem();
    out.bandAppended(newBand);
    if (!previousBand) {
        previousBand = out.firstItem();
        return;
    }
    if (previousBand->data.bottom != newBand->data.top ||
        !continuesWithSameColumns(previousBand, newBand, out.lastItem())) {
        previousBand = newBand;
        return;
    }
    const int32_t bottom = newBand->data.bottom;
    int32_t merged = 0;
    for (Item* item = previousBand; item != newBand; item = item->next) {
        item->data.bottom = bottom;
        ++merged;
    }
    out.dropAfter(lastBefore, merged);
}

// The band sweep of union and intersection: the bands of a and b from top
// to bottom, the parts of a band that only one operand covers copied when
// asked for, the overlapping parts combined by `overlap`; each appended band
// is merged into the band above when it continues it.
template <class Out, class Overlap>
void sweepBands(Out& out, Region const& a, Region const& b, Overlap overlap, bool appendNonA, bool appendNonB)
{
    // An operand without items is the one rectangle of its bounds.
    Item aOnly{nullptr, nullptr, a.bounds()};
    Item bOnly{nullptr, nullptr, b.bounds()};
    Item* aItem = a.first() ? a.first() : (a.isEmpty() ? nullptr : &aOnly);
    Item* bItem = b.first() ? b.first() : (b.isEmpty() ? nullptr : &bOnly);
    // Band ends are found once per band.
    Item* aEnd = aItem ? endOfBand(aItem) : nullptr;
    Item* bEnd = bItem ? endOfBand(bItem) : nullptr;

    Item* previousBand = nullptr;
    int32_t ybot = (aItem && bItem) ? std::min(aItem->data.top, bItem->data.top) : 0;

    while (aItem && bItem) {
        const Rect ra = aItem->data;
        const Rect rb = bItem->data;
        int32_t ytop;
        if (ra.top < rb.top) {
            if (appendNonA) {
                const int32_t top = std::max(ra.top, ybot);
                const int32_t bot = std::min(ra.bottom, rb.top);
                if (top != bot) {
                    Item* lastBefore = out.lastItem();
                    appendBandCopies(out, aItem, aEnd, top, bot);
                    coalesceAppendedBand(out, previousBand, lastBefore);
                }
            }
            ytop = rb.top;
        } else if (rb.top < ra.top) {
            if (appendNonB) {
                const int32_t top = std::max(rb.top, ybot);
                const int32_t bot = std::min(rb.bottom, ra.top);
                if (top != bot) {
                    Item* lastBefore = out.lastItem();
                    appendBandCopies(out, bItem, bEnd, top, bot);
                    coalesceAppendedBand(out, previousBand, lastBefore);
                }
            }
            ytop = ra.top;
        } else {
            ytop = ra.top;
        }

        ybot = std::min(ra.bottom, rb.bottom);
        if (ytop < ybot) {
            Item* lastBefore = out.lastItem();
            overlap(out, aItem, aEnd, bItem, bEnd, ytop, ybot);
            coalesceAppendedBand(out, previousBand, lastBefore);
        }

        if (ra.bottom == ybot) {
            aItem = aEnd;
            if (aItem)
                aEnd = endOfBand(aItem);
        }
        if (rb.bottom == ybot) {
            bItem = bEnd;
            if (bItem)
                bEnd = endOfBand(bItem);
        }
    }

    Item* rest = nullptr;
    Item* restEnd = nullptr;
    if (aItem && appendNonA) {
        rest = aItem;
        restEnd = aEnd;
    } else if (bItem && appendNonB) {
        rest = bItem;
        restEnd = bEnd;
    }
    if (!rest)
        return;
    Item* lastBefore = out.lastItem();
    appendBandCopies(out, rest, restEnd, std::max(rest->data.top, ybot), rest->data.bottom);
    coalesceAppendedBand(out, previousBand, lastBefore);
    for (Item* item = restEnd; item; item = item->next) {
        out.append(item->data.left, item->data.top, item->data.right, item->data.bottom);
        out.bandAppended(out.lastItem());
    }
}

} // namespace

// Runs one band sweep into an empty region while holding the pool's lock
// once; the region's former items (`spare`) are used first and whatever of
// them is left goes back to the pool.
class Region::Sweep {
public:
    Sweep(Region& out, ListItem* spare)
        : m_out(out)
        , m_spare(spare)
    {
        s_heap.lockRecord().lock();
    }
    ~Sweep()
    {
        giveBack(m_spare);
        s_heap.lockRecord().unlock();
    }
    Sweep(const Sweep&) = delete;
    Sweep& operator=(const Sweep&) = delete;

    // Frees a chain of items linked by next.
    static void giveBack(ListItem* item)
    {
        while (item) {
            ListItem* next = item->next;
            s_heap.DETAIL::RegularAllocatorBase::deallocate(item);
            item = next;
        }
    }

    void run(Region const& a, Region const& b, OverlapFunction overlap, bool appendNonA, bool appendNonB)
    {
        if (overlap == &Region::unionOverlapped)
            runChain(a, b, UnionBands{}, appendNonA, appendNonB);
        else if (overlap == &Region::intersectOverlapped)
            runChain(a, b, IntersectBands{}, appendNonA, appendNonB);
        else
            runMember(a, b, overlap, appendNonA, appendNonB);
    }

    // The bounds of the items appended, or none.
    void setBounds()
    {
        if (m_bMemberOverlap) {
            m_out.recomputeBounds();
            return;
        }
        ListItem* first = m_out.m_pFirst;
        m_out.m_bounds = first ? Rect{m_left, first->data.top, m_right, m_out.m_pLast->data.bottom} : kNoRect;
    }

private:
    template <class Overlap>
    void runChain(Region const& a, Region const& b, Overlap overlap, bool appendNonA, bool appendNonB)
    {
        ListItem head{};
        ChainWriter writer{s_heap, m_spare, &head};
        m_spare = nullptr;
        try {
            sweepBands(writer, a, b, overlap, appendNonA, appendNonB);
        } catch (...) {
            take(writer);
            throw;
        }
        take(writer);
    }

    // The chain goes to the region (which was empty), the rest stays spare.
    void take(ChainWriter& writer)
    {
        writer.finish();
        m_out.m_pFirst = writer.firstItem();
        m_out.m_pLast = writer.count ? writer.last : nullptr;
        m_out.m_iCount = writer.count;
        m_spare = writer.spare;
        m_left = writer.left;
        m_right = writer.right;
    }

    // Any other overlap step appends to the region itself.
    void runMember(Region const& a, Region const& b, OverlapFunction overlap, bool appendNonA, bool appendNonB)
    {
        struct RegionWriter {
            Region& region;
            Item* firstItem() const { return region.m_pFirst; }
            Item* lastItem() const { return region.m_pLast; }
            void append(int32_t l, int32_t t, int32_t r, int32_t b) { region.appendRect(Rect{l, t, r, b}); }
            void bandAppended(Item*) { }
            void dropAfter(Item* lastBefore, int32_t)
            {
                while (lastBefore->next)
                    region.freeItem(lastBefore->next);
            }
        } writer{m_out};
        auto member = [overlap](RegionWriter& out, Item* a, Item* aEnd, Item* b, Item* bEnd, int32_t top,
                                int32_t bottom) { (out.region.*overlap)(a, aEnd, b, bEnd, top, bottom); };
        m_bMemberOverlap = true;
        sweepBands(writer, a, b, member, appendNonA, appendNonB);
    }

    Region& m_out;
    ListItem* m_spare;
    int32_t m_left = INT32_MAX;
    int32_t m_right = INT32_MIN;
    bool m_bMemberOverlap = false;
};

// ---------------------------------------------------------------- union and intersection

void Region::add(Region& out, Region const& a, Region const& b)
{
    if (&a == &b) {
        a.copyTo(out);
        return;
    }
    if (!a.m_pFirst && a.isEmpty()) {
        b.copyTo(out);
        return;
    }
    if (!b.m_pFirst && b.isEmpty()) {
        a.copyTo(out);
        return;
    }
    if (a.isSingleRect() && holds(a.m_bounds, b.m_bounds)) {
        a.copyTo(out);
        return;
    }
    if (b.isSingleRect() && holds(b.m_bounds, a.m_bounds)) {
        b.copyTo(out);
        return;
    }
    runOperationInto(out, a, b, &Region::unionOverlapped, true, true);
}

void Region::intersect(Region& out, Region const& a, Region const& b)
{
    if (a.isEmpty() || b.isEmpty() || !overlap(a.m_bounds, b.m_bounds)) {
        out.clear();
        return;
    }
    if (&a == &b) {
        a.copyTo(out);
        return;
    }
    if (a.isSingleRect() && b.isSingleRect()) {
        out.makeSingle(intersection(a.m_bounds, b.m_bounds));
        return;
    }
    if (a.isSingleRect() && holds(a.m_bounds, b.m_bounds)) {
        b.copyTo(out);
        return;
    }
    if (b.isSingleRect() && holds(b.m_bounds, a.m_bounds)) {
        a.copyTo(out);
        return;
    }
    runOperationInto(out, a, b, &Region::intersectOverlapped, false, false);
}

// The sweep writes into out directly, reusing out's items, or into a
// temporary when out is an operand.
void Region::runOperationInto(Region& out, Region const& a, Region const& b, OverlapFunction overlap, bool appendNonA,
                              bool appendNonB)
{
    const bool inPlace = &out == &a || &out == &b;
    ListItem* former = out.m_pFirst;
    if (!inPlace) {
        out.m_pFirst = out.m_pLast = nullptr;
        out.m_iCount = 0;
        out.m_bounds = kNoRect;
    }
    Region result;
    Region& target = inPlace ? result : out;
    Sweep sweep(target, inPlace ? nullptr : former);
    sweep.run(a, b, overlap, appendNonA, appendNonB);
    sweep.setBounds();
    if (!inPlace)
        return;
    sweep.giveBack(former);
    out.m_pFirst = result.m_pFirst;
    out.m_pLast = result.m_pLast;
    out.m_iCount = result.m_iCount;
    out.m_bounds = result.m_bounds;
    result.m_pFirst = result.m_pLast = nullptr;
    result.m_iCount = 0;
    result.m_bounds = kNoRect;
}

void Region::intersect(Rect const& r)
{
    Region clip;
    clip.m_bounds = isEmptyRect(r) ? kNoRect : r;
    intersect(*this, *this, clip);
}

void Region::operation(Region const& a, Region const& b, OverlapFunction overlap, bool appendNonA, bool appendNonB)
{
    Sweep sweep(*this, nullptr);
    sweep.run(a, b, overlap, appendNonA, appendNonB);
}

void Region::unionOverlapped(ListItem* aBand, ListItem* aBandEnd, ListItem* bBand, ListItem* bBandEnd, int top,
                             int bottom)
{
    struct Appender {
        Region& region;
        void append(int32_t l, int32_t t, int32_t r, int32_t b) { region.appendRect(Rect{l, t, r, b}); }
    } out{*this};
    if (aBand != aBandEnd || bBand != bBandEnd)
        UnionBands{}(out, aBand, aBandEnd, bBand, bBandEnd, top, bottom);
}

void Region::intersectOverlapped(ListItem* aBand, ListItem* aBandEnd, ListItem* bBand, ListItem* bBandEnd, int top,
                                 int bottom)
{
    struct Appender {
        Region& region;
        void append(int32_t l, int32_t t, int32_t r, int32_t b) { region.appendRect(Rect{l, t, r, b}); }
    } out{*this};
    IntersectBands{}(out, aBand, aBandEnd, bBand, bBandEnd, top, bottom);
}

// ---------------------------------------------------------------- adding one rectangle

void Region::addFast(Rect const& r)
{
    if (checkTrivials(r))
        return;
    if (!m_pFirst)
        appendRect(m_bounds);
    m_bounds = enclosing(m_bounds, r);
    mergeInBands(r);
}

bool Region::checkTrivials(Rect const& r)
{
    if (isEmptyRect(r))
        return true;
    if (isEmpty()) {
        m_bounds = r;
        m_iCount = 0;
        return true;
    }
    if (m_pFirst != m_pLast)
        return false;
    if (holds(m_bounds, r))
        return true;
    if (holds(r, m_bounds)) {
        makeSingle(r);
        return true;
    }
    return false;
}

// Splits a band at y: copies of its items above y go before the band, the
// band's own items start at y. Returns the first copy.
Region::ListItem* Region::splitBandAt(ListItem* band, ListItem* bandEnd, int y)
{
    ListItem* firstCopy = nullptr;
    for (ListItem* item = band; item != bandEnd; item = item->next) {
        ListItem* copy = insertRect(band, Rect{item->data.left, item->data.top, item->data.right, y});
        if (!firstCopy)
            firstCopy = copy;
        item->data.top = y;
    }
    return firstCopy;
}

void Region::mergeInBands(Rect r)
{
    ListItem* previousBand = nullptr;
    ListItem* band = m_pFirst;
    while (band) {
        ListItem* bandEnd = endOfBand(band);
        if (band->data.bottom <= r.top) {
            previousBand = band;
            band = bandEnd;
            continue;
        }
        if (band->data.top > r.top) {
            const int bandTop = band->data.top;
            insertRectBeforeCurrentBand(band, bandEnd, previousBand,
                                        Rect{r.left, r.top, r.right, std::min(r.bottom, bandTop)});
            r.top = bandTop;
            if (r.top >= r.bottom)
                return;
            // The band's first item is still `band`; when the piece was merged
            // into it, it spans r and the band is passed below.
        }

        bool spans = false;
        for (ListItem* item = band; item != bandEnd; item = item->next) {
            if (item->data.left <= r.left && item->data.right >= r.right) {
                spans = true;
                break;
            }
        }
        if (spans) {
            r.top = band->data.bottom;
            if (r.top >= r.bottom)
                return;
            previousBand = band;
            band = bandEnd;
            continue;
        }

        if (band->data.top < r.top) {
            splitBandAt(band, bandEnd, r.top);
            previousBand = nullptr;
        }
        ListItem* lowerPart = bandEnd;
        if (band->data.bottom > r.bottom) {
            lowerPart = band;
            band = splitBandAt(band, bandEnd, r.bottom);
            bandEnd = lowerPart;
        }
        mergeRectInBand(band, bandEnd, r);

        if (previousBand && previousBand->data.bottom == band->data.top &&
            sameColumns(previousBand, band, band, bandEnd)) {
            const int32_t top = previousBand->data.top;
            for (ListItem* item = band; item != bandEnd; item = item->next)
                item->data.top = top;
            while (previousBand != band) {
                ListItem* next = previousBand->next;
                freeItem(previousBand);
                previousBand = next;
            }
        }

        r.top = band->data.bottom;
        if (r.top >= r.bottom)
            return;
        previousBand = band;
        band = bandEnd;
    }
    appendRect(r);
}

void Region::mergeRectInBand(ListItem*& bandStart, ListItem* bandEnd, Rect const& r)
{
    const int32_t top = bandStart->data.top;
    const int32_t bottom = bandStart->data.bottom;
    for (ListItem* item = bandStart; item != bandEnd; item = item->next) {
        if (item->data.left > r.right) {
            ListItem* inserted = insertRect(item, Rect{r.left, top, r.right, bottom});
            if (item == bandStart)
                bandStart = inserted;
            return;
        }
        if (item->data.right >= r.left) {
            item->data.left = std::min(item->data.left, r.left);
            item->data.right = std::max(item->data.right, r.right);
            while (item->next != bandEnd && item->next->data.left <= item->data.right) {
                item->data.right = std::max(item->data.right, item->next->data.right);
                freeItem(item->next);
            }
            return;
        }
    }
    insertRect(bandEnd, Rect{r.left, top, r.right, bottom});
}

void Region::insertRectBeforeCurrentBand(ListItem* bandStart, ListItem* bandEnd, ListItem* previousBandStart,
                                         Rect const& r)
{
    const bool bandContinuesPiece = bandStart->next == bandEnd && bandStart->data.left == r.left &&
        bandStart->data.right == r.right && bandStart->data.top == r.bottom;
    if (!bandContinuesPiece) {
        insertRect(bandStart, r);
        return;
    }
    ListItem* above = previousBandStart;
    if (above && isLoneItemOfBand(above) && above->data.left == r.left && above->data.right == r.right &&
        above->data.bottom >= r.top) {
        bandStart->data.top = above->data.top;
        freeItem(above);
    } else {
        bandStart->data.top = r.top;
    }
}

// ---------------------------------------------------------------- queries

int Region::testRect(Rect const& r) const
{
    if (isEmpty() || isEmptyRect(r) || !overlap(m_bounds, r))
        return eOutside;
    if (m_pFirst == m_pLast)
        return holds(m_bounds, r) ? eInside : ePartlyInside;

    int ry = r.top;
    bool partIn = false;
    bool partOut = false;
    for (ListItem const* item = m_pFirst; item; item = item->next) {
        Rect const& box = item->data;
        if (box.bottom <= ry)
            continue;
        if (box.top > ry) {
            partOut = true;
            if (partIn || box.top >= r.bottom)
                break;
            ry = box.top;
        }
        if (box.right <= r.left)
            continue;
        if (box.left > r.left) {
            partOut = true;
            if (partIn)
                break;
        }
        if (box.left < r.right) {
            partIn = true;
            if (partOut)
                break;
        }
        if (box.right >= r.right) {
            ry = box.bottom;
            if (ry >= r.bottom)
                break;
        } else {
            break;
        }
    }
    if (!partIn)
        return eOutside;
    return ry < r.bottom ? ePartlyInside : eInside;
}

Region::ListItem* Region::getNextIntersectingRect(ListItem const* after, Rect const& r) const
{
    ListItem* item = after ? after->next : m_pFirst;
    for (; item; item = item->next) {
        Rect const& box = item->data;
        if (box.bottom <= r.top)
            continue;
        if (box.top >= r.bottom)
            return nullptr;
        if (box.right <= r.left)
            continue;
        if (box.left < r.right)
            return item;
        if (box.bottom >= r.bottom)
            return nullptr;
    }
    return nullptr;
}

// ---------------------------------------------------------------- moving and copying

void Region::moveBy(int dx, int dy)
{
    if (!m_pFirst && isEmpty())
        return;
    m_bounds = Rect{m_bounds.left + dx, m_bounds.top + dy, m_bounds.right + dx, m_bounds.bottom + dy};
    for (ListItem* item = m_pFirst; item; item = item->next) {
        Rect& box = item->data;
        box = Rect{box.left + dx, box.top + dy, box.right + dx, box.bottom + dy};
    }
}

void Region::copyTo(Region& dest) const
{
    if (&dest == this)
        return;
    if (isSingleRect()) {
        dest.freeAllItems();
        dest.m_bounds = m_bounds;
        return;
    }
    ListItem* target = dest.m_pFirst;
    for (ListItem const* item = m_pFirst; item; item = item->next) {
        if (target) {
            target->data = item->data;
            target = target->next;
        } else {
            dest.appendRect(item->data);
        }
    }
    while (target) {
        ListItem* next = target->next;
        dest.freeItem(target);
        target = next;
    }
    dest.m_bounds = m_bounds;
}

void Region::expropriate(Region& other)
{
    if (&other == this)
        return;
    freeAllItems();
    if (other.isSingleRect()) {
        m_bounds = other.m_bounds;
        other.clear();
        return;
    }
    m_pFirst = other.m_pFirst;
    m_pLast = other.m_pLast;
    m_iCount = other.m_iCount;
    m_bounds = other.m_bounds;
    other.m_pFirst = other.m_pLast = nullptr;
    other.m_iCount = 0;
    other.m_bounds = kNoRect;
}

// ---------------------------------------------------------------- walking

Region::const_intersector::const_intersector(Region const* region_, Rect const& clip_, Point const& offset_)
    : region(region_)
    , single(!region_->isEmpty() && region_->first() == region_->last())
    , current(nullptr)
    , mode(1)
    , clip(clip_)
    , offset(offset_)
{
    Rect const& bounds = region->bounds();
    if (isEmptyRect(clip) || isEmptyRect(bounds) || !overlap(clip, bounds)) {
        mode = 2;
    } else if (single) {
        mode = 1;
    } else if (holds(clip, bounds)) {
        mode = 0;
        current = region->first();
    } else {
        current = region->getNextIntersectingRect(nullptr, clip);
        mode = current ? 1 : 2;
    }
}

Rect Region::const_intersector::getRect() const
{
    Rect r = intersection(single ? region->bounds() : current->data, clip);
    return Rect{r.left - offset.x, r.top - offset.y, r.right - offset.x, r.bottom - offset.y};
}

void Region::const_intersector::advance()
{
    if (mode == 2)
        return;
    if (single) {
        mode = 2;
        return;
    }
    current = mode == 0 ? current->next : region->getNextIntersectingRect(current, clip);
    if (!current)
        mode = 2;
}

} // namespace BAS
} // namespace CV
