#pragma once

namespace CV {
namespace BAS {
namespace DETAIL {

// One item of a doubly linked list.
template <class T> struct ListItem {
    ListItem* prev;
    ListItem* next;
    T data;
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
