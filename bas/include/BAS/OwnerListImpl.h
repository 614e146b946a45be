#pragma once
// A list that owns its items: they are made and freed by the owner class,
// which provides the static functions implNewItem() and implDeleteItem(item).

namespace CV {
namespace BAS {
namespace DETAIL {

template <class Base, class Owner> class OwnerListImpl : public Base {
public:
    using Item = typename Base::item_type;

protected:
    OwnerListImpl() = default;
    ~OwnerListImpl() = default;

    static Item* newItem() { return Owner::implNewItem(); }

    // Unlinks and frees one item.
    void deleteItem(Item* item)
    {
        this->unlink(item);
        Owner::implDeleteItem(item);
    }

    // Frees every item without unlinking them one by one.
    void deleteAllItems()
    {
        Item* item = this->m_pFirst;
        this->m_pFirst = this->m_pLast = nullptr;
        while (item) {
            Item* next = item->next;
            Owner::implDeleteItem(item);
            item = next;
        }
    }
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
