#pragma once
// Open and save panels as GtkFileChooserDialog, run modally in the
// modal-panel mode. Allowed extensions become a filter (with a second one
// for all files when other types are allowed); a save panel asks before
// it replaces a file.
#include "platform/peer/PanelPeer.h"

namespace platform::gtk {

class GtkPanel : public peer::PanelPeer {
public:
    peer::PanelResult runModal(const peer::PanelOptions& options) override;
};

} // namespace platform::gtk
