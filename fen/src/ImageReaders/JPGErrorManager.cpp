#include "FEN/JPGErrorManager.h"

namespace CV {
namespace FEN {

JPGErrorManager::JPGErrorManager()
{
    jpeg_std_error(&pub);
    pub.error_exit = &errorExitHandler;
}

void JPGErrorManager::errorExitHandler(j_common_ptr cinfo)
{
    JPGErrorManager* self = reinterpret_cast<JPGErrorManager*>(cinfo->err);
    std::longjmp(self->jumpBuffer, 1);
}

} // namespace FEN
} // namespace CV
