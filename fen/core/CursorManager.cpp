#include "FEN/CursorManager.h"

namespace CV {
namespace FEN {

void* CursorManager::s_hStdCursors[kStdCursorCount] = {};
bool CursorManager::s_bInit = false;

void CursorManager::init()
{
    s_bInit = true;
}

void CursorManager::setSystemCursor(void*) {}

void CursorManager::resetSystemCursor() {}

void CursorManager::deInit()
{
    s_bInit = false;
}

} // namespace FEN
} // namespace CV
