#include "TOV/DesignWidget.h"

#include <algorithm>

namespace CV::TOV {

std::vector<Pane*> DesignWidget::s_ActivePanes;

void DesignWidget::paneCreated(Pane* pane)
{
    s_ActivePanes.push_back(pane);
}

void DesignWidget::paneDestroyed(Pane* pane)
{
    s_ActivePanes.erase(std::remove(s_ActivePanes.begin(), s_ActivePanes.end(), pane), s_ActivePanes.end());
}

} // namespace CV::TOV
