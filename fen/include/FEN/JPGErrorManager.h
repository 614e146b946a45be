#pragma once
// libjpeg's standard error record whose fatal handler jumps back to the
// reader instead of ending the process. Warnings keep the library's output.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace CV {
namespace FEN {

struct JPGErrorManager {
    jpeg_error_mgr pub; // first member: libjpeg sees this record
    std::jmp_buf jumpBuffer;

    JPGErrorManager();
    // Installs the record on a decompressor before it is created.
    void install(j_decompress_ptr cinfo) { cinfo->err = &pub; }

    [[noreturn]] static void errorExitHandler(j_common_ptr cinfo);
};

} // namespace FEN
} // namespace CV
