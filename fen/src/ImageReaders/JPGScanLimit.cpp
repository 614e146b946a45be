#include "FEN/JPGScanLimit.h"

#include "FEN/JPGErrorManager.h"

namespace CV {
namespace FEN {

JPGScanLimit::JPGScanLimit()
    : pub()
{
    pub.progress_monitor = &monitor;
}

void JPGScanLimit::monitor(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    JPGScanLimit const* self = reinterpret_cast<JPGScanLimit const*>(cinfo->progress);
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number <= self->maxScans)
        return;
    refuse(cinfo, self->maxScans);
}

void JPGScanLimit::refuse(j_common_ptr cinfo, int maxScans)
{
    cinfo->err->msg_code = JPGErrorManager::kTooManyScans;
    cinfo->err->msg_parm.i[0] = maxScans;
    (*cinfo->err->error_exit)(cinfo);
}

} // namespace FEN
} // namespace CV
