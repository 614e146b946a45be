#pragma once
// libjpeg's standard error record whose fatal handler jumps back to the
// reader instead of ending the process. The library's messages (its
// warnings: "Corrupt JPEG data: ...") are kept for the reader instead of
// being written to standard error.
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace CV {
namespace FEN {

struct JPGErrorManager {
    jpeg_error_mgr pub; // first member: libjpeg sees this record
    std::jmp_buf jumpBuffer;
    std::vector<std::string> warnings; // the messages output, in order

    JPGErrorManager();
    // Installs the record on a decompressor before it is created.
    void install(j_decompress_ptr cinfo) { cinfo->err = &pub; }

    [[noreturn]] static void errorExitHandler(j_common_ptr cinfo);
    // Keeps the formatted message in warnings.
    static void outputMessageHandler(j_common_ptr cinfo);
};

} // namespace FEN
} // namespace CV
