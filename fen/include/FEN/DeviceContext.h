#pragma once
// The drawing context a window hands to its Paint handler: bound to the
// platform's graphics context while the view draws, it copies a finished
// picture into it.
#include "platform/cg/CGContext.h"

#include <cstdint>

namespace CV {
namespace FEN {

class Picture;

class DeviceContext {
public:
    DeviceContext(int width, int height);
    virtual ~DeviceContext();
    DeviceContext(DeviceContext const&) = delete;
    DeviceContext& operator=(DeviceContext const&) = delete;

    // Binds the context for one draw: saves its graphics state and sets
    // aliasing, no interpolation, the shared colour space, a hairline and
    // the normal blend mode. detachOSHandle restores the state and unbinds.
    void attachOSHandle(CGContextRef context);
    void detachOSHandle();
    CGContextRef getOSHandle() const { return m_context; }

    // Pixels per point of the target (only x is used).
    void setBackingScaleFactor(float x, float y)
    {
        m_scaleX = x;
        m_scaleY = y;
    }
    float getBackingScaleFactorX() const { return m_scaleX; }

    // Copies the picture, first row at the top, at the context's origin,
    // scaled down by the backing scale. Straight alpha when alpha is true,
    // opaque otherwise. Nothing happens without an attached context, for an
    // empty picture or for a backing scale that is not positive.
    void updateFromPicture(Picture const& picture, bool alpha);

private:
    struct QuartzState;

    CGContextRef m_context = nullptr;
    uint64_t m_reserved = 0;
    int m_width;
    int m_height;
    QuartzState* m_quartz;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
};

} // namespace FEN
} // namespace CV
