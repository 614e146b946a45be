#include "FEN/StandaloneWindow.h"

#include "FEN/Application.h"
#include "FEN/COCOA/StandaloneWindowImpl.h"

namespace CV {
namespace FEN {

bool StandaloneWindow::create(Window::CreateData const& data)
{
    auto* impl = new COCOA::StandaloneWindowImpl(*this);
    m_pImpl = impl;
    impl->setDeleteWindowObject(m_bAutoDelete);
    const bool created = impl->createWindowAndAttach(data, COCOA::WindowImplBase::eNormal);
    if (!created && m_pImpl == impl) {
        // No native window: the object stays a window without one.
        m_pImpl = nullptr;
        delete impl;
    }
    Application::addWindow(this);
    if (Application* application = Application::getApplication())
        application->setMainWindow(this);
    return created;
}

} // namespace FEN
} // namespace CV
