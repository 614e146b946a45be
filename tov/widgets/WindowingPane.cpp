#include "TOV/WindowingPane.h"

#include "BAS/FileName.h"
#include "FEN/ClipBoardFormat.h"
#include "FEN/CursorManager.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/ExchangeData.h"
#include "FEN/FileDialog.h"
#include "FEN/InputState.h"
#include "FEN/WindowBase.h"
#include "TOV/Widget.h"

namespace CV::TOV {

namespace {

std::shared_ptr<Widget> lockedParentOf(Widget const& widget)
{
    Widget* parent = widget.getParent();
    return parent ? parent->weak_from_this().lock() : nullptr;
}

} // namespace

WindowingPane::~WindowingPane() = default;

void WindowingPane::setCursor(int stdCursor)
{
    if (stdCursor < 0 || stdCursor >= FEN::CursorManager::kStdCursorCount)
        return;
    setCursor(FEN::CursorManager::s_hStdCursors[stdCursor]);
}

void WindowingPane::setCursorPos(BAS::Point const& position)
{
    FEN::CursorManager::setCursorPos(position);
}

void WindowingPane::setCursor(void* cursorHandle)
{
    if (FEN::WindowBase* w = getWindow())
        w->setCursor(cursorHandle);
}

void WindowingPane::resetCursor()
{
    if (FEN::WindowBase* w = getWindow())
        w->resetCursor();
}

BAS::Point WindowingPane::translateToScreen(BAS::Point point) const
{
    BAS::Point q = translateToWindow(point);
    if (FEN::WindowBase const* w = window())
        w->toScreen(q);
    return q;
}

void WindowingPane::startRelativeMouseMove()
{
    if (FEN::WindowBase* w = getWindow())
        w->startRelativeMouseMove();
}

void WindowingPane::stopRelativeMouseMove()
{
    if (FEN::WindowBase* w = getWindow())
        w->stopRelativeMouseMove();
}

std::string WindowingPane::getTextFromClipboard()
{
    FEN::TextClipBoardFormat format;
    if (!FEN::ClipBoard::getFormat(format))
        return {};
    return format.getValue();
}

void WindowingPane::copyToClipboard(std::string const& text)
{
    FEN::TextClipBoardFormat format;
    format.setValue(text);
    FEN::ClipBoard::setFormat(format);
}

void WindowingPane::textInputStart(FEN::TextInputBase* client)
{
    if (FEN::WindowBase* w = getWindow())
        w->setTextInputClient(client);
}

void WindowingPane::textInputEnd()
{
    if (FEN::WindowBase* w = getWindow())
        w->setTextInputClient(nullptr);
}

void WindowingPane::textInputResetMarkedRange()
{
    if (FEN::WindowBase* w = getWindow())
        w->textInputResetMarkedRange();
}

void WindowingPane::openFileDialog(bool save, std::string const& caption, boost::filesystem::path const& initial,
                                   std::function<void(boost::filesystem::path)> onChosen)
{
    FEN::FileDialog dialog;
    dialog.setCaption(caption);
    dialog.setInitialFileOrDirectory(BAS::FileName(initial));
    bool const chosen = dialog.doModal(save ? FEN::FileDialog::eSaveFile : FEN::FileDialog::eOpenFile, nullptr);
    // Without a function to tell, the choice has nowhere to go.
    if (chosen && onChosen)
        onChosen(dialog.getFileName().getFilesystemPath());
}

bool WindowingPane::onEvent(unsigned code, FEN::EventData* data)
{
    if (FEN::isDragDropEvent(code))
        return onDragDrop(code, data);
    if (code == FEN::eWindowEvent::ResignedKey) {
        killFocus();
        return true;
    }
    if (code == FEN::eWindowEvent::CaptureLost) {
        setOver(nullptr);
        setDown(nullptr);
        return true;
    }
    return Pane::onEvent(code, data);
}

bool WindowingPane::onDragDrop(unsigned code, FEN::EventData* data)
{
    if (code != FEN::eDragDropEvent::DragRequest || data == nullptr)
        return false;
    auto* request = static_cast<FEN::DragDropRequestEventData*>(data);
    BAS::Point const inWindow = request->position;
    setLastMousePosition(inWindow);
    auto const [consumed, target] = filterDragDropRequestEventAndLocateTarget(code, request);
    if (consumed)
        return true;
    for (std::shared_ptr<Widget> widget = target; widget; widget = lockedParentOf(*widget)) {
        BAS::Point const origin = widget->getAbsPos();
        request->position = {inWindow.x - origin.x, inWindow.y - origin.y};
        bool const handled = widget->onEvent(code, request);
        request->position = inWindow;
        if (handled)
            return true;
    }
    return false;
}

void WindowingPane::setModalKeyInput(bool modal)
{
    if (FEN::InputState::getModalKeyInput())
        FEN::InputState::setModalKeyInput(modal);
}

void WindowingPane::setKeyFocus()
{
    if (FEN::WindowBase* w = getWindow())
        w->setKeyFocus();
}

void WindowingPane::killFocus()
{
    if (Widget* focus = getFocus()) {
        focus->setInvalid(0);
        clearFocus();
    }
}

} // namespace CV::TOV
