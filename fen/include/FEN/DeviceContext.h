#pragma once
// The drawing context a window hands to its Paint handler: bound to the
// platform's graphics context while the view draws.
#include <objc/runtime.h>

namespace CV {
namespace FEN {

class DeviceContext {
public:
    DeviceContext(int width, int height)
        : m_width(width)
        , m_height(height)
    {
    }
    virtual ~DeviceContext() = default;

    void attach(void* graphicsContext) { m_context = graphicsContext; }
    void detach() { m_context = nullptr; }
    void* getGraphicsContext() const { return m_context; }

private:
    int m_width;
    int m_height;
    void* m_context = nullptr;
};

} // namespace FEN
} // namespace CV
