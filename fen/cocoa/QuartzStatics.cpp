#include "FEN/DETAIL/QuartzStatics.h"

#include "platform/cg/CGDisplay.h"

namespace CV {
namespace FEN {
namespace DETAIL {

QuartzStatics::QuartzStatics()
    : m_colorSpace(CGDisplayCopyColorSpace(CGMainDisplayID()))
{
    if (m_colorSpace == nullptr)
        m_colorSpace = CGColorSpaceCreateDeviceRGB();
    if (m_colorSpace == nullptr)
        m_colorSpace = CGColorSpaceCreateWithName(kCGColorSpaceGenericRGB);
}

QuartzStatics::~QuartzStatics()
{
    CGColorSpaceRelease(m_colorSpace);
}

QuartzStatics& QuartzStatics::instance()
{
    static QuartzStatics s_statics;
    return s_statics;
}

} // namespace DETAIL
} // namespace FEN
} // namespace CV
