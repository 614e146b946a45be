#pragma once
// The one colour space that the device contexts, picture images and
// cursors share, made on first use: the main display's, else device RGB,
// else generic RGB.
#include "platform/cg/CGContext.h"

namespace CV {
namespace FEN {
namespace DETAIL {

class QuartzStatics {
public:
    QuartzStatics();
    ~QuartzStatics();
    QuartzStatics(QuartzStatics const&) = delete;
    QuartzStatics& operator=(QuartzStatics const&) = delete;

    CGColorSpaceRef colorSpace() const { return m_colorSpace; }

    static QuartzStatics& instance();

private:
    CGColorSpaceRef m_colorSpace;
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
