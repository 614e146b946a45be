#include "FEN/JPGErrorManager.h"

namespace CV {
namespace FEN {

JPGErrorManager::JPGErrorManager()
{
    jpeg_std_error(&pub);
    pub.error_exit = &errorExitHandler;
    pub.output_message = &outputMessageHandler;
}

void JPGErrorManager::errorExitHandler(j_common_ptr cinfo)
{
    JPGErrorManager* self = reinterpret_cast<JPGErrorManager*>(cinfo->err);
    std::longjmp(self->jumpBuffer, 1);
}

void JPGErrorManager::outputMessageHandler(j_common_ptr cinfo)
{
    JPGErrorManager* self = reinterpret_cast<JPGErrorManager*>(cinfo->err);
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    try {
        self->warnings.emplace_back(text);
    } catch (...) {
        // No exception may pass through the library's frames; the text is lost.
    }
}

} // namespace FEN
} // namespace CV
