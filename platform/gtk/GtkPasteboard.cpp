#include "platform/gtk/GtkPasteboard.h"

#include "platform/gtk/SelectionTargets.h"

#include <gtk/gtk.h>

namespace platform::gtk {

namespace {

const char* const kUtf8Type = SelectionTargets::kUtf8Type;
const char* const kUtf16Type = SelectionTargets::kUtf16Type;
const char* const kFileUrlType = SelectionTargets::kFileUrlType;

// The target of a clipboard that offers nothing outside the process.
const unsigned kTargetNothing = 99;

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

} // namespace

GtkPasteboard::GtkPasteboard(std::string name)
    : m_name(name)
    , m_clipboard(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD))
    , m_local(std::move(name))
{
    m_ownerChangeHandler =
        g_signal_connect(m_clipboard, "owner-change", G_CALLBACK(&GtkPasteboard::onOwnerChange), this);
    // The server tells of owner changes only a client whose request (made
    // with the clipboard) it has seen: a program that takes the clipboard
    // before the main loop next flushes the display is noticed too.
    gdk_display_sync(gtk_clipboard_get_display(m_clipboard));
}

GtkPasteboard::~GtkPasteboard()
{
    g_signal_handler_disconnect(m_clipboard, m_ownerChangeHandler);
    if (m_owned) {
        // The toolkit must not call back into a pasteboard that is gone.
        m_claiming = true;
        gtk_clipboard_clear(m_clipboard);
    }
}

void GtkPasteboard::clear()
{
    m_local.clear();
    ++m_changeCount;
    claim();
}

void GtkPasteboard::put(std::size_t item, const std::string& type, std::vector<std::uint8_t> data)
{
    if (!m_owned)
        clear();
    m_local.put(item, type, std::move(data));
    claim();
}

std::size_t GtkPasteboard::itemCount() const
{
    if (m_owned)
        return m_local.itemCount();
    const Foreign& offered = foreign();
    return std::max<std::size_t>(offered.text ? 1 : 0, offered.uris.size());
}

std::vector<std::string> GtkPasteboard::types(std::size_t item) const
{
    if (m_owned)
        return m_local.types(item);
    std::vector<std::string> names;
    const Foreign& offered = foreign();
    if (item == 0 && offered.text) {
        names.push_back(kUtf16Type);
        names.push_back(kUtf8Type);
    }
    if (item < offered.uris.size())
        names.push_back(kFileUrlType);
    return names;
}

std::vector<std::uint8_t> GtkPasteboard::data(std::size_t item, const std::string& type) const
{
    if (m_owned)
        return m_local.data(item, type);
    const Foreign& offered = foreign();
    if (type == kFileUrlType)
        return item < offered.uris.size() ? bytesOf(offered.uris[item]) : std::vector<std::uint8_t>();
    if (item != 0 || !offered.text || (type != kUtf8Type && type != kUtf16Type))
        return {};
    gchar* text = gtk_clipboard_wait_for_text(m_clipboard);
    const std::string utf8 = text ? text : "";
    g_free(text);
    return type == kUtf8Type ? bytesOf(utf8) : SelectionTargets::utf16Bytes(utf8);
}

// Takes the clipboard with the targets the items can be offered as. With
// nothing to offer outside, a private target keeps others' contents away.
void GtkPasteboard::claim()
{
    // The targets come from the items held here.
    m_owned = true;
    GtkTargetList* list = SelectionTargets::offered(*this, false);
    gint count = 0;
    GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
    gtk_target_list_unref(list);
    GtkTargetEntry nothing{const_cast<gchar*>("application/x-varanto-private"), GTK_TARGET_SAME_APP, kTargetNothing};
    m_claiming = true;
    const gboolean taken =
        gtk_clipboard_set_with_data(m_clipboard, count > 0 ? targets : &nothing, count > 0 ? guint(count) : 1u,
                                    &GtkPasteboard::onGet, &GtkPasteboard::onClear, this);
    m_claiming = false;
    // A clipboard manager may keep what is offered after the program ends.
    if (taken && count > 0)
        gtk_clipboard_set_can_store(m_clipboard, nullptr, 0);
    gtk_target_table_free(targets, count);
    m_owned = taken;
}

// Another program took the clipboard: what was put here is gone.
void GtkPasteboard::lose()
{
    m_owned = false;
    m_local.clear();
    ++m_changeCount;
}

const GtkPasteboard::Foreign& GtkPasteboard::foreign() const
{
    if (m_foreign.readAt == m_changeCount)
        return m_foreign;
    m_foreign = Foreign{};
    m_foreign.readAt = m_changeCount;
    GdkAtom* targets = nullptr;
    gint count = 0;
    if (gtk_clipboard_wait_for_targets(m_clipboard, &targets, &count)) {
        m_foreign.text = gtk_targets_include_text(targets, count);
        if (gtk_targets_include_uri(targets, count)) {
            gchar** uris = gtk_clipboard_wait_for_uris(m_clipboard);
            for (gchar** uri = uris; uri && *uri; ++uri)
                m_foreign.uris.emplace_back(*uri);
            g_strfreev(uris);
        }
        g_free(targets);
    }
    return m_foreign;
}

void GtkPasteboard::onGet(GtkClipboard*, GtkSelectionData* selection, unsigned info, void* self)
{
    if (info != kTargetNothing)
        SelectionTargets::serve(*static_cast<GtkPasteboard*>(self), selection);
}

void GtkPasteboard::onClear(GtkClipboard*, void* self)
{
    auto* pasteboard = static_cast<GtkPasteboard*>(self);
    if (!pasteboard->m_claiming)
        pasteboard->lose();
}

void GtkPasteboard::onOwnerChange(GtkClipboard*, void*, void* self)
{
    auto* pasteboard = static_cast<GtkPasteboard*>(self);
    if (!pasteboard->m_owned)
        ++pasteboard->m_changeCount;
}

} // namespace platform::gtk
