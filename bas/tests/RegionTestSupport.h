#pragma once
// Helpers shared by the region tests: comparison and printing of rectangles,
// building regions and reading their items.
#include "BAS/Region.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <vector>

namespace CV {
namespace BAS {

inline bool operator==(Rect const& a, Rect const& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline void PrintTo(Rect const& r, std::ostream* out)
{
    *out << "[" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "]";
}

} // namespace BAS
} // namespace CV

namespace regiontest {

using CV::BAS::Rect;
using CV::BAS::Region;

inline std::vector<Rect> itemsOf(Region const& region)
{
    std::vector<Rect> items;
    for (Region::ListItem const* item = region.first(); item; item = item->next)
        items.push_back(item->data);
    return items;
}

// Adds the rectangles one by one, in place.
inline void fill(Region& region, std::vector<Rect> const& rects)
{
    for (Rect const& r : rects)
        region.addFast(r);
}

// Starts the item pool for one test and checks that every item came back.
class RegionPoolTest : public testing::Test {
protected:
    RegionPoolTest() { Region::init(); }
    ~RegionPoolTest() override
    {
        EXPECT_EQ(Region::s_heap.usedSlotCount(), 0u) << "every item went back to the pool";
        Region::deInit();
    }
};

} // namespace regiontest
