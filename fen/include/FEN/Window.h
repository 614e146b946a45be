#pragma once
// A window that the application lists (Application::addWindow).
#include "FEN/WindowBase.h"

namespace CV {
namespace FEN {

class Window : public WindowBase {
public:
    struct CreateData : WindowBase::CreateData {
        uint32_t reserved = 0;
        void* parent = nullptr;
    };
};

} // namespace FEN
} // namespace CV
