#pragma once
// libjpeg's standard error record whose fatal handler jumps back to the
// reader instead of ending the process. The library's messages (its
// warnings: "Corrupt JPEG data: ...") are kept for the reader instead of
// being written to standard error, and so is the text of the error that
// ended the read. The reader's own errors (kTooManyScans) are messages of
// the record's add-on table.
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace CV {
namespace FEN {

struct JPGErrorManager {
    // The add-on message codes, after libjpeg's own.
    enum : int {
        kFirstAddonMessage = 1000,
        kTooManyScans = kFirstAddonMessage, // parameters: the limit
    };

    jpeg_error_mgr pub; // first member: libjpeg sees this record
    std::jmp_buf jumpBuffer;
    std::vector<std::string> warnings; // the messages output, in order
    char failure[JMSG_LENGTH_MAX] = {}; // the error that ended the read; empty: none

    JPGErrorManager();
    // Installs the record on a decompressor before it is created.
    void install(j_decompress_ptr cinfo) { cinfo->err = &pub; }
    // The message code of the error that ended the read (0: none yet).
    int failureCode() const { return failure[0] ? pub.msg_code : 0; }

    // Keeps the error's text in failure, then jumps.
    [[noreturn]] static void errorExitHandler(j_common_ptr cinfo);
    // Keeps the formatted message in warnings.
    static void outputMessageHandler(j_common_ptr cinfo);
};

} // namespace FEN
} // namespace CV
