#pragma once
// An owning list that counts its items. Whatever is left in it when it goes
// away is freed through the owner.
#include <cstdint>

namespace CV {
namespace BAS {
namespace DETAIL {

template <class Base> class CountedListImpl : public Base {
public:
    using Item = typename Base::Item;

    int32_t count() const { return m_iCount; }

protected:
    CountedListImpl() = default;
    ~CountedListImpl() { freeAllItems(); }

    // A new item, linked before position (null: at the end).
    Item* insertNewItem(Item* position)
    {
        Item* item = Base::newItem();
        this->linkBefore(position, item);
        ++m_iCount;
        return item;
    }

    void freeItem(Item* item)
    {
        this->deleteItem(item);
        --m_iCount;
    }

    void freeAllItems()
    {
        this->deleteAllItems();
        m_iCount = 0;
    }

    int32_t m_iCount = 0;
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
