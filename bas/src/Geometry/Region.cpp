#include "BAS/Region.h"

#include <algorithm>
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
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return isEmptyRect(r) ? kNoRect : r;
}

Rect enclosing(Rect const& a, Rect const& b)
{
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// The first item after `item` that starts another band, or null.
Item* endOfBand(Item* item)
{
    const int32_t top = item->data.top;
    Item* next = item->next;
    while (next && next->data.top == top)
        next = next->next;
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

// The sweep writes into out directly, or through a temporary when out is an
// operand; the bounds are recomputed from the items.
void Region::runOperationInto(Region& out, Region const& a, Region const& b, OverlapFunction overlap,
                              bool appendNonA, bool appendNonB)
{
    if (&out == &a || &out == &b) {
        Region result;
        result.operation(a, b, overlap, appendNonA, appendNonB);
        out.expropriate(result);
    } else {
        out.clear();
        out.operation(a, b, overlap, appendNonA, appendNonB);
    }
    out.recomputeBounds();
}

void Region::intersect(Rect const& r)
{
    Region clip;
    clip.m_bounds = isEmptyRect(r) ? kNoRect : r;
    intersect(*this, *this, clip);
}

void Region::appendBandCopies(ListItem* band, ListItem* bandEnd, int top, int bottom)
{
    for (ListItem* item = band; item != bandEnd; item = item->next)
        appendRect(Rect{item->data.left, top, item->data.right, bottom});
}

void Region::appendItemsFrom(ListItem* item)
{
    for (; item; item = item->next)
        appendRect(item->data);
}

// Merges the band appended after `lastBefore` into the previous band when
// the two touch vertically and have the same columns.
void Region::coalesceAppendedBand(ListItem*& previousBand, ListItem* lastBefore)
{
    ListItem* newBand = lastBefore ? lastBefore->next : m_pFirst;
    if (!newBand)
        return;
    if (!previousBand) {
        previousBand = m_pFirst;
        return;
    }
    if (previousBand->data.bottom == newBand->data.top &&
        sameColumns(previousBand, newBand, newBand, nullptr)) {
        const int32_t bottom = newBand->data.bottom;
        for (ListItem* item = previousBand; item != newBand; item = item->next)
            item->data.bottom = bottom;
        while (newBand) {
            ListItem* next = newBand->next;
            freeItem(newBand);
            newBand = next;
        }
        return;
    }
    previousBand = newBand;
}

void Region::operation(Region const& a, Region const& b, OverlapFunction overlap, bool appendNonA,
                       bool appendNonB)
{
    // An operand without items is the one rectangle of its bounds.
    ListItem aOnly{nullptr, nullptr, a.m_bounds};
    ListItem bOnly{nullptr, nullptr, b.m_bounds};
    ListItem* aItem = a.m_pFirst ? a.m_pFirst : (a.isEmpty() ? nullptr : &aOnly);
    ListItem* bItem = b.m_pFirst ? b.m_pFirst : (b.isEmpty() ? nullptr : &bOnly);

    ListItem* previousBand = nullptr;
    int ybot = (aItem && bItem) ? std::min(aItem->data.top, bItem->data.top) : 0;
    ListItem* aEnd = nullptr;
    ListItem* bEnd = nullptr;

    while (aItem && bItem) {
        aEnd = endOfBand(aItem);
        bEnd = endOfBand(bItem);
        Rect const& ra = aItem->data;
        Rect const& rb = bItem->data;
        int ytop;
        if (ra.top < rb.top) {
            if (appendNonA) {
                const int top = std::max(ra.top, ybot);
                const int bot = std::min(ra.bottom, rb.top);
                if (top != bot) {
                    ListItem* lastBefore = m_pLast;
                    appendBandCopies(aItem, aEnd, top, bot);
                    coalesceAppendedBand(previousBand, lastBefore);
                }
            }
            ytop = rb.top;
        } else if (rb.top < ra.top) {
            if (appendNonB) {
                const int top = std::max(rb.top, ybot);
                const int bot = std::min(rb.bottom, ra.top);
                if (top != bot) {
                    ListItem* lastBefore = m_pLast;
                    appendBandCopies(bItem, bEnd, top, bot);
                    coalesceAppendedBand(previousBand, lastBefore);
                }
            }
            ytop = ra.top;
        } else {
            ytop = ra.top;
        }

        ybot = std::min(ra.bottom, rb.bottom);
        if (ytop < ybot) {
            ListItem* lastBefore = m_pLast;
            (this->*overlap)(aItem, aEnd, bItem, bEnd, ytop, ybot);
            coalesceAppendedBand(previousBand, lastBefore);
        }

        const bool aDone = ra.bottom == ybot;
        const bool bDone = rb.bottom == ybot;
        if (aDone)
            aItem = aEnd;
        if (bDone)
            bItem = bEnd;
    }

    ListItem* rest = nullptr;
    if (aItem && appendNonA)
        rest = aItem;
    else if (bItem && appendNonB)
        rest = bItem;
    if (!rest)
        return;
    ListItem* restEnd = endOfBand(rest);
    ListItem* lastBefore = m_pLast;
    appendBandCopies(rest, restEnd, std::max(rest->data.top, ybot), rest->data.bottom);
    coalesceAppendedBand(previousBand, lastBefore);
    appendItemsFrom(restEnd);
}

void Region::unionOverlapped(ListItem* aBand, ListItem* aBandEnd, ListItem* bBand, ListItem* bBandEnd, int top,
                             int bottom)
{
    bool havePiece = false;
    int x1 = 0;
    int x2 = 0;
    auto take = [&](ListItem* item) {
        if (!havePiece) {
            x1 = item->data.left;
            x2 = item->data.right;
            havePiece = true;
        } else if (item->data.left <= x2) {
            x2 = std::max(x2, item->data.right);
        } else {
            appendRect(Rect{x1, top, x2, bottom});
            x1 = item->data.left;
            x2 = item->data.right;
        }
    };
    while (aBand != aBandEnd && bBand != bBandEnd) {
        if (aBand->data.left < bBand->data.left) {
            take(aBand);
            aBand = aBand->next;
        } else {
            take(bBand);
            bBand = bBand->next;
        }
    }
    for (; aBand != aBandEnd; aBand = aBand->next)
        take(aBand);
    for (; bBand != bBandEnd; bBand = bBand->next)
        take(bBand);
    if (havePiece)
        appendRect(Rect{x1, top, x2, bottom});
}

void Region::intersectOverlapped(ListItem* aBand, ListItem* aBandEnd, ListItem* bBand, ListItem* bBandEnd,
                                 int top, int bottom)
{
    while (aBand != aBandEnd && bBand != bBandEnd) {
        const int x1 = std::max(aBand->data.left, bBand->data.left);
        const int x2 = std::min(aBand->data.right, bBand->data.right);
        if (x1 < x2)
            appendRect(Rect{x1, top, x2, bottom});
        const bool aDone = aBand->data.right == x2;
        const bool bDone = bBand->data.right == x2;
        if (aDone)
            aBand = aBand->next;
        if (bDone)
            bBand = bBand->next;
    }
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
    : region(region_),
      single(!region_->isEmpty() && region_->first() == region_->last()),
      current(nullptr),
      mode(1),
      clip(clip_),
      offset(offset_)
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
