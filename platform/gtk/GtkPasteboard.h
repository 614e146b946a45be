#pragma once
// The general pasteboard over the desktop's CLIPBOARD selection.
//
// While this process owns the clipboard the items live here and other
// programs are offered what they understand: plain text (from the UTF-8 or
// UTF-16 flavour of the first item that has one) as the toolkit's text
// targets, file URLs as text/uri-list. Every other type (the process's
// internal format) stays inside the process.
//
// While another program owns it, what it offers is read on demand: text
// becomes the first item with both the UTF-16 and the UTF-8 plain-text
// flavours, a URI list one item per URI with the file-URL flavour. The
// change count goes up whenever the clipboard gets a new owner or is
// cleared here.
#include "platform/pasteboard/InProcessPasteboard.h"
#include "platform/peer/PasteboardPeer.h"

#include <vector>

typedef struct _GtkClipboard GtkClipboard;
typedef struct _GtkSelectionData GtkSelectionData;

namespace platform::gtk {

class GtkPasteboard : public peer::PasteboardPeer {
public:
    explicit GtkPasteboard(std::string name);
    ~GtkPasteboard() override;
    GtkPasteboard(const GtkPasteboard&) = delete;
    GtkPasteboard& operator=(const GtkPasteboard&) = delete;

    const std::string& name() const override { return m_name; }
    void clear() override;
    long changeCount() const override { return m_changeCount; }
    void put(std::size_t item, const std::string& type, std::vector<std::uint8_t> data) override;
    std::size_t itemCount() const override;
    std::vector<std::string> types(std::size_t item) const override;
    std::vector<std::uint8_t> data(std::size_t item, const std::string& type) const override;

    // Whether this process holds the clipboard's contents.
    bool ownsClipboard() const { return m_owned; }

private:
    // What another program offers, read once per change.
    struct Foreign {
        long readAt = -1;
        bool text = false;
        std::vector<std::string> uris;
    };

    void claim();
    const Foreign& foreign() const;
    void lose();

    static void onGet(GtkClipboard*, GtkSelectionData* selection, unsigned info, void* self);
    static void onClear(GtkClipboard*, void* self);
    static void onOwnerChange(GtkClipboard*, void* event, void* self);

    std::string m_name;
    GtkClipboard* m_clipboard;
    unsigned long m_ownerChangeHandler = 0;
    long m_changeCount = 0;
    bool m_owned = false;
    bool m_claiming = false;
    // What was put here while the clipboard is ours.
    pasteboard::InProcessPasteboard m_local;
    mutable Foreign m_foreign;
};

} // namespace platform::gtk
