#include "platform/gtk/GtkPasteboard.h"

#include "platform/cf/CFString.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace platform::gtk {

namespace {

const char* const kUtf8Type = "public.utf8-plain-text";
const char* const kUtf16Type = "public.utf16-plain-text";
const char* const kFileUrlType = "public.file-url";

// What the clipboard is offered as.
enum Target : unsigned { kTargetText = 1, kTargetUris = 2, kTargetNothing = 3 };

struct TargetListDeleter {
    void operator()(GtkTargetList* list) const { gtk_target_list_unref(list); }
};

// UTF-16 in the machine's byte order, as the UTF-16 flavour holds it.
std::string utf8FromUtf16Bytes(const std::vector<std::uint8_t>& bytes)
{
    std::u16string units(bytes.size() / 2, u'\0');
    if (!units.empty())
        std::memcpy(&units[0], bytes.data(), units.size() * 2);
    return cf::String(std::move(units), true).utf8();
}

std::vector<std::uint8_t> utf16BytesFromUtf8(const std::string& text)
{
    const cf::String* string = cf::String::createFromUTF8(text);
    const std::u16string& units = string->characters();
    const auto* first = reinterpret_cast<const std::uint8_t*>(units.data());
    std::vector<std::uint8_t> bytes(first, first + units.size() * 2);
    CFRelease(string);
    return bytes;
}

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

} // namespace

GtkPasteboard::GtkPasteboard(std::string name)
    : m_name(std::move(name))
    , m_clipboard(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD))
{
    m_ownerChangeHandler =
        g_signal_connect(m_clipboard, "owner-change", G_CALLBACK(&GtkPasteboard::onOwnerChange), this);
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
    m_items.clear();
    ++m_changeCount;
    claim();
}

void GtkPasteboard::put(std::size_t item, const std::string& type, std::vector<std::uint8_t> data)
{
    if (!m_owned)
        clear();
    if (item >= m_items.size())
        m_items.resize(item + 1);
    Item& entries = m_items[item];
    auto existing =
        std::find_if(entries.begin(), entries.end(), [&](const auto& entry) { return entry.first == type; });
    if (existing != entries.end())
        existing->second = std::move(data);
    else
        entries.emplace_back(type, std::move(data));
    claim();
}

std::size_t GtkPasteboard::itemCount() const
{
    if (m_owned)
        return m_items.size();
    const Foreign& offered = foreign();
    return std::max<std::size_t>(offered.text ? 1 : 0, offered.uris.size());
}

std::vector<std::string> GtkPasteboard::types(std::size_t item) const
{
    std::vector<std::string> names;
    if (m_owned) {
        if (item < m_items.size())
            for (const auto& entry : m_items[item])
                names.push_back(entry.first);
        return names;
    }
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
        return ownedData(item, type);
    const Foreign& offered = foreign();
    if (type == kFileUrlType)
        return item < offered.uris.size() ? bytesOf(offered.uris[item]) : std::vector<std::uint8_t>();
    if (item != 0 || !offered.text || (type != kUtf8Type && type != kUtf16Type))
        return {};
    gchar* text = gtk_clipboard_wait_for_text(m_clipboard);
    const std::string utf8 = text ? text : "";
    g_free(text);
    return type == kUtf8Type ? bytesOf(utf8) : utf16BytesFromUtf8(utf8);
}

std::vector<std::uint8_t> GtkPasteboard::ownedData(std::size_t item, const std::string& type) const
{
    if (item < m_items.size())
        for (const auto& entry : m_items[item])
            if (entry.first == type)
                return entry.second;
    return {};
}

bool GtkPasteboard::ownedHasText() const
{
    for (const Item& item : m_items)
        for (const auto& entry : item)
            if (entry.first == kUtf8Type || entry.first == kUtf16Type)
                return true;
    return false;
}

// The text of the first item with a plain-text flavour, UTF-8 preferred.
std::string GtkPasteboard::ownedText() const
{
    for (const Item& item : m_items) {
        const std::vector<std::uint8_t>* utf16 = nullptr;
        for (const auto& entry : item) {
            if (entry.first == kUtf8Type)
                return std::string(entry.second.begin(), entry.second.end());
            if (entry.first == kUtf16Type)
                utf16 = &entry.second;
        }
        if (utf16)
            return utf8FromUtf16Bytes(*utf16);
    }
    return {};
}

std::vector<std::string> GtkPasteboard::ownedUris() const
{
    std::vector<std::string> uris;
    for (const Item& item : m_items)
        for (const auto& entry : item)
            if (entry.first == kFileUrlType && !entry.second.empty())
                uris.emplace_back(entry.second.begin(), entry.second.end());
    return uris;
}

// Takes the clipboard with the targets the items can be offered as. With
// nothing to offer outside, a private target keeps others' contents away.
void GtkPasteboard::claim()
{
    std::unique_ptr<GtkTargetList, TargetListDeleter> list(gtk_target_list_new(nullptr, 0));
    if (ownedHasText())
        gtk_target_list_add_text_targets(list.get(), kTargetText);
    if (!ownedUris().empty())
        gtk_target_list_add_uri_targets(list.get(), kTargetUris);
    gint count = 0;
    GtkTargetEntry* targets = gtk_target_table_new_from_list(list.get(), &count);
    GtkTargetEntry nothing{const_cast<gchar*>("application/x-varanto-private"), GTK_TARGET_SAME_APP,
                           kTargetNothing};
    m_claiming = true;
    const gboolean taken = gtk_clipboard_set_with_data(m_clipboard, count > 0 ? targets : &nothing,
                                                       count > 0 ? guint(count) : 1u, &GtkPasteboard::onGet,
                                                       &GtkPasteboard::onClear, this);
    m_claiming = false;
    gtk_target_table_free(targets, count);
    m_owned = taken;
}

void GtkPasteboard::serve(GtkSelectionData* selection, unsigned info) const
{
    if (info == kTargetText) {
        const std::string text = ownedText();
        gtk_selection_data_set_text(selection, text.data(), gint(text.size()));
    } else if (info == kTargetUris) {
        const std::vector<std::string> uris = ownedUris();
        std::vector<gchar*> list;
        for (const std::string& uri : uris)
            list.push_back(const_cast<gchar*>(uri.c_str()));
        list.push_back(nullptr);
        gtk_selection_data_set_uris(selection, list.data());
    }
}

// Another program took the clipboard: what was put here is gone.
void GtkPasteboard::lose()
{
    m_owned = false;
    m_items.clear();
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
    static_cast<GtkPasteboard*>(self)->serve(selection, info);
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
