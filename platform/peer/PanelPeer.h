#pragma once
// Open and save panels, run modally (GtkFileChooserDialog on the desktop;
// scripted answers headless). The panel runs a nested loop in the
// modal-panel run-loop mode.
#include <string>
#include <vector>

namespace platform::peer {

struct PanelOptions {
    bool save = false;
    std::string title;
    std::string prompt; // the accept button's label
    std::string message;
    std::string directory; // POSIX path to start in
    std::string nameField; // save panels: the proposed name
    std::vector<std::string> allowedTypes; // file-name extensions; empty: all
    bool allowsOtherTypes = false;
    bool canChooseFiles = true;
    bool canChooseDirectories = false;
    bool allowsMultipleSelection = false;
    bool canCreateDirectories = true;
    bool extensionHidden = false;
};

struct PanelResult {
    bool accepted = false;
    std::vector<std::string> paths; // POSIX paths
};

class PanelPeer {
public:
    virtual ~PanelPeer() = default;
    virtual PanelResult runModal(const PanelOptions& options) = 0;
};

} // namespace platform::peer
