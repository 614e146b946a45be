#pragma once
// A pane whose window services go to the framework window it is the
// content of: cursors, screen coordinates, relative mouse mode, text input
// and key focus. The clipboard, the file dialog and the pointer position
// need no window. While getWindow() is null the window services do nothing.
#include "TOV/Pane.h"

namespace CV::TOV {

class WindowingPane : public Pane {
public:
    WindowingPane() = default;
    ~WindowingPane() override;

    void setCursor(int stdCursor) override;
    void setCursorPos(BAS::Point const& position) override;
    void setCursor(void* cursorHandle) override;
    void resetCursor() override;
    BAS::Point translateToScreen(BAS::Point point) const override;
    void startRelativeMouseMove() override;
    void stopRelativeMouseMove() override;
    std::string getTextFromClipboard() override;
    void copyToClipboard(std::string const& text) override;
    void textInputStart(FEN::TextInputBase* client) override;
    void textInputEnd() override;
    void textInputResetMarkedRange() override;
    void openFileDialog(bool save, std::string const& caption, boost::filesystem::path const& initial,
                        std::function<void(boost::filesystem::path)> onChosen) override;
    // Resigning key clears the focus widget; a lost capture forgets the over
    // and down widgets; drag-and-drop codes go to onDragDrop; the rest goes
    // to the pane's mouse and key routing.
    bool onEvent(unsigned code, FEN::EventData* data) override;
    // A drag request goes to the widget under its position, then up the
    // ancestors, each seeing the position in its own coordinates, until one
    // handles it; the request's position is the window's again afterwards.
    // Other drag-and-drop codes are not handled here.
    bool onDragDrop(unsigned code, FEN::EventData* data);
    void setModalKeyInput(bool modal) override;
    void setKeyFocus() override;
    void killFocus() override;

private:
    FEN::WindowBase const* window() const { return const_cast<WindowingPane*>(this)->getWindow(); }
};

} // namespace CV::TOV
