// The fuzz targets run without a run loop: no scan of theirs watches for
// devices, so nothing is ever handed over.
#include "usx2/usb/linux/RunLoopHandOver.h"

namespace CV {
namespace USX2 {

void RunLoopHandOver::post(Work) { }

RunLoopHandOver::TimerId RunLoopHandOver::runAfter(std::chrono::nanoseconds, Work)
{
    return 0;
}

void RunLoopHandOver::cancel(TimerId) { }

} // namespace USX2
} // namespace CV
