#pragma once
// A libjpeg progress monitor that ends the read of a progressive file once
// it starts more scans than the limit: each scan walks the whole picture,
// so a small file of thousands of empty scans would keep the decoder busy
// for minutes. The reader refuses most such files before the first scan by
// counting their scans ahead (JPGScanCounter); the monitor holds for the
// streams it cannot count. The error goes through the decompressor's error record (a
// JPGErrorManager: JPGErrorManager::kTooManyScans).
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace CV {
namespace FEN {

struct JPGScanLimit {
    // libjpeg's standard progression writes 10 scans (6 for grey), and
    // scripts that give every band and bit of precision a scan of its own
    // stay within a few dozen; 100 leaves room for any of them, and bounds
    // the work of a refused file to that of a few real pictures of its size.
    static constexpr int kMaxScans = 100;

    jpeg_progress_mgr pub; // first member: libjpeg sees this record
    int maxScans = kMaxScans;

    JPGScanLimit();
    // Installs the monitor on a decompressor; it must outlive the read.
    void install(j_decompress_ptr cinfo) { cinfo->progress = &pub; }

    static void monitor(j_common_ptr cinfo);
    // Ends the read through the decompressor's error handler, naming the
    // limit the file passes.
    static void refuse(j_common_ptr cinfo, int maxScans);
};

} // namespace FEN
} // namespace CV
