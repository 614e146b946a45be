#include "FEN/DisplayManager.h"

namespace CV {
namespace FEN {

bool DisplayManager::s_bInited = false;

bool DisplayManager::init()
{
    s_bInited = true;
    return true;
}

BAS::Rect DisplayManager::getDisplayBounds()
{
    return BAS::Rect{0, 0, 0, 0};
}

void DisplayManager::deInit()
{
    s_bInited = false;
}

} // namespace FEN
} // namespace CV
