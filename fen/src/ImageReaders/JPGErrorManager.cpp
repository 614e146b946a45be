#include "FEN/JPGErrorManager.h"

namespace CV {
namespace FEN {

namespace {

char const* const kAddonMessages[] = {
    "progressive JPEG with more than %d scans, more than any picture needs",
    nullptr,
};

} // namespace

JPGErrorManager::JPGErrorManager()
{
    jpeg_std_error(&pub);
    pub.error_exit = &errorExitHandler;
    pub.output_message = &outputMessageHandler;
    pub.addon_message_table = kAddonMessages;
    pub.first_addon_message = kFirstAddonMessage;
    pub.last_addon_message = kTooManyScans;
}

void JPGErrorManager::errorExitHandler(j_common_ptr cinfo)
{
    JPGErrorManager* self = reinterpret_cast<JPGErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, self->failure);
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
