#pragma once
// The mouse cursor on the desktop: the shape the program sets is the cursor
// of every window's content area (the areas attach themselves while they
// live); named shapes are the cursor theme's, pictures become cursors of
// their own. Positions are screen points (the first screen's top-left at
// (0, 0)).
#include "platform/peer/CursorPeer.h"

#include <vector>

typedef struct _GdkCursor GdkCursor;
typedef struct _GdkDisplay GdkDisplay;
typedef struct _GtkWidget GtkWidget;

namespace platform::gtk {

class GtkCursor : public peer::CursorPeer {
public:
    explicit GtkCursor(GdkDisplay* display);
    ~GtkCursor() override;
    GtkCursor(const GtkCursor&) = delete;
    GtkCursor& operator=(const GtkCursor&) = delete;

    void setCursor(const peer::CursorImage& cursor) override;
    void setHidden(bool hidden) override;
    void warp(peer::Point screenLocation) override;
    // Kept for the program to read; the pointer is not held in place.
    void setAssociated(bool associated) override { m_associated = associated; }
    peer::Point location() const override;

    bool isAssociated() const { return m_associated; }
    // The theme's name of a standard shape ("ibeam" gives "text"); the
    // default cursor's name for unknown ones.
    static const char* themeName(const std::string& shape);

    // A window's content area shows the cursor from now on / no longer.
    void attach(GtkWidget* area);
    void detach(GtkWidget* area);

private:
    static void onRealize(GtkWidget* area, void* self);
    GdkCursor* makeCursor(const peer::CursorImage& image) const;
    GdkCursor* shownCursor() const;
    void showOn(GtkWidget* area) const;
    void showEverywhere() const;

    GdkDisplay* m_display;
    GdkCursor* m_cursor = nullptr; // owned; null for the default
    GdkCursor* m_blank = nullptr; // owned; made when first hidden
    bool m_hidden = false;
    bool m_associated = true;
    std::vector<GtkWidget*> m_areas;
};

} // namespace platform::gtk
