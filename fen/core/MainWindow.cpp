#include "FEN/MainWindow.h"

#include "FEN/Application.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"

namespace CV {
namespace FEN {

MainWindow::~MainWindow()
{
    // An auto-deleted main window dies with its native window: the
    // application must not route commands to it any more.
    Application* application = Application::getApplication();
    if (application != nullptr && application->getMainWindow() == this)
        application->setMainWindow(nullptr);
}

bool MainWindow::onEvent(unsigned code, EventData* data)
{
    Application* application = Application::getApplication();
    if (application == nullptr)
        return false;
    if (code == eWindowEvent::Closed) {
        if (application->isQuitting())
            return false;
        application->postQuit();
        return true;
    }
    if (code == eWindowEvent::ShouldClose) {
        AnswerEventData mayQuit;
        application->sendWndEvent(eApplicationEvent::MayQuit, &mayQuit, Application::WndEventExtra{this});
        if (data != nullptr)
            static_cast<AnswerEventData*>(data)->answer = mayQuit.answer;
        return true;
    }
    if (isDragDropEvent(code))
        return application->sendWndEvent(code, data, Application::WndEventExtra{this});
    return false;
}

} // namespace FEN
} // namespace CV
