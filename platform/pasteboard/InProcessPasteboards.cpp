#include "platform/pasteboard/InProcessPasteboards.h"

namespace platform::pasteboard {

InProcessPasteboard& InProcessPasteboards::named(const std::string& name)
{
    std::unique_ptr<InProcessPasteboard>& board = m_pasteboards[name];
    if (!board)
        board = std::make_unique<InProcessPasteboard>(name);
    return *board;
}

} // namespace platform::pasteboard
