#include "FEN/StandaloneWindow.h"

#include "FEN/Application.h"
#include "FEN/DETAIL/WindowImpl.h"

namespace CV {
namespace FEN {

StandaloneWindow::~StandaloneWindow()
{
    Application::removeWindow(this);
    delete m_pImpl;
    m_pImpl = nullptr;
}

} // namespace FEN
} // namespace CV
