#pragma once
// The process-wide list of live panes, in the order they were made.
#include <vector>

#include "TOV/Forward.h"

namespace CV::TOV {

class DesignWidget {
public:
    static void paneCreated(Pane* pane);
    // Removes every entry of the pane, keeping the others in order.
    static void paneDestroyed(Pane* pane);
    static std::vector<Pane*> const& activePanes() { return s_ActivePanes; }

private:
    static std::vector<Pane*> s_ActivePanes;
};

} // namespace CV::TOV
