#pragma once
// The links of a doubly linked list of ListItem records; the list neither
// creates nor frees items.

namespace CV {
namespace BAS {
namespace DETAIL {

template <class Item> class ListBase {
public:
    using item_type = Item;

    Item* first() const { return m_pFirst; }
    Item* last() const { return m_pLast; }

protected:
    ListBase() = default;
    ~ListBase() = default;

    // Links item before position; a null position appends.
    void linkBefore(Item* position, Item* item)
    {
        item->next = position;
        item->prev = position ? position->prev : m_pLast;
        if (item->prev)
            item->prev->next = item;
        else
            m_pFirst = item;
        if (position)
            position->prev = item;
        else
            m_pLast = item;
    }

    void unlink(Item* item)
    {
        if (item->prev)
            item->prev->next = item->next;
        else
            m_pFirst = item->next;
        if (item->next)
            item->next->prev = item->prev;
        else
            m_pLast = item->prev;
        item->prev = item->next = nullptr;
    }

    Item* m_pFirst = nullptr;
    Item* m_pLast = nullptr;
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
