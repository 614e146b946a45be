#include "platform/gtk/SelectionTargets.h"

#include "platform/cf/CFString.h"
#include "platform/peer/PasteboardPeer.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace platform::gtk {

const char* const SelectionTargets::kUtf8Type = "public.utf8-plain-text";
const char* const SelectionTargets::kUtf16Type = "public.utf16-plain-text";
const char* const SelectionTargets::kFileUrlType = "public.file-url";

namespace {

enum Info : unsigned { kInfoText = 1, kInfoUris = 2, kInfoPrivate = 3 };

bool isTextType(const std::string& type)
{
    return type == SelectionTargets::kUtf8Type || type == SelectionTargets::kUtf16Type;
}

std::string atomName(GdkAtom atom)
{
    gchar* name = gdk_atom_name(atom);
    std::string text = name ? name : "";
    g_free(name);
    return text;
}

} // namespace

bool SelectionTargets::isPrivateType(const std::string& target)
{
    return target.find('.') != std::string::npos && target.find('/') == std::string::npos;
}

bool SelectionTargets::hasText(const peer::PasteboardPeer& pasteboard)
{
    for (std::size_t item = 0; item < pasteboard.itemCount(); ++item)
        for (const std::string& type : pasteboard.types(item))
            if (isTextType(type))
                return true;
    return false;
}

std::string SelectionTargets::text(const peer::PasteboardPeer& pasteboard)
{
    for (std::size_t item = 0; item < pasteboard.itemCount(); ++item) {
        const std::vector<std::string> types = pasteboard.types(item);
        if (std::find(types.begin(), types.end(), kUtf8Type) != types.end()) {
            const std::vector<std::uint8_t> bytes = pasteboard.data(item, kUtf8Type);
            return std::string(bytes.begin(), bytes.end());
        }
        if (std::find(types.begin(), types.end(), kUtf16Type) != types.end())
            return fromUtf16Bytes(pasteboard.data(item, kUtf16Type));
    }
    return {};
}

std::vector<std::string> SelectionTargets::uris(const peer::PasteboardPeer& pasteboard)
{
    std::vector<std::string> list;
    for (std::size_t item = 0; item < pasteboard.itemCount(); ++item) {
        const std::vector<std::uint8_t> bytes = pasteboard.data(item, kFileUrlType);
        if (!bytes.empty())
            list.emplace_back(bytes.begin(), bytes.end());
    }
    return list;
}

GtkTargetList* SelectionTargets::offered(const peer::PasteboardPeer& pasteboard, bool withPrivateTypes)
{
    GtkTargetList* list = gtk_target_list_new(nullptr, 0);
    if (hasText(pasteboard))
        gtk_target_list_add_text_targets(list, kInfoText);
    if (!uris(pasteboard).empty())
        gtk_target_list_add_uri_targets(list, kInfoUris);
    if (withPrivateTypes)
        for (std::size_t item = 0; item < pasteboard.itemCount(); ++item)
            for (const std::string& type : pasteboard.types(item))
                if (isPrivateType(type) && !isTextType(type) && type != kFileUrlType)
                    gtk_target_list_add(list, gdk_atom_intern(type.c_str(), FALSE), GTK_TARGET_SAME_APP, kInfoPrivate);
    return list;
}

void SelectionTargets::serve(const peer::PasteboardPeer& pasteboard, GtkSelectionData* selection)
{
    const std::string target = atomName(gtk_selection_data_get_target(selection));
    if (target == "text/uri-list") {
        const std::vector<std::string> list = uris(pasteboard);
        std::vector<gchar*> pointers;
        for (const std::string& uri : list)
            pointers.push_back(const_cast<gchar*>(uri.c_str()));
        pointers.push_back(nullptr);
        gtk_selection_data_set_uris(selection, pointers.data());
        return;
    }
    if (isPrivateType(target)) {
        for (std::size_t item = 0; item < pasteboard.itemCount(); ++item) {
            const std::vector<std::string> types = pasteboard.types(item);
            if (std::find(types.begin(), types.end(), target) == types.end())
                continue;
            const std::vector<std::uint8_t> bytes = pasteboard.data(item, target);
            gtk_selection_data_set(selection, gtk_selection_data_get_target(selection), 8, bytes.data(),
                                   gint(bytes.size()));
            return;
        }
        return;
    }
    const std::string utf8 = text(pasteboard);
    gtk_selection_data_set_text(selection, utf8.data(), gint(utf8.size()));
}

std::vector<GdkAtom> SelectionTargets::wanted(const std::vector<GdkAtom>& offered)
{
    std::vector<GdkAtom> chosen;
    for (GdkAtom atom : offered)
        if (isPrivateType(atomName(atom)))
            chosen.push_back(atom);
    GdkAtom* targets = const_cast<GdkAtom*>(offered.data());
    const gint count = gint(offered.size());
    const GdkAtom uriList = gdk_atom_intern_static_string("text/uri-list");
    if (std::find(offered.begin(), offered.end(), uriList) != offered.end())
        chosen.push_back(uriList);
    if (gtk_targets_include_text(targets, count)) {
        // The richest text target offered.
        for (const char* name :
             {"UTF8_STRING", "text/plain;charset=utf-8", "COMPOUND_TEXT", "TEXT", "STRING", "text/plain"}) {
            const GdkAtom atom = gdk_atom_intern(name, FALSE);
            if (std::find(offered.begin(), offered.end(), atom) != offered.end()) {
                chosen.push_back(atom);
                break;
            }
        }
    }
    return chosen;
}

void SelectionTargets::receive(peer::PasteboardPeer& pasteboard, GtkSelectionData* selection)
{
    if (gtk_selection_data_get_length(selection) < 0)
        return;
    const GdkAtom target = gtk_selection_data_get_target(selection);
    const std::string name = atomName(target);
    if (name == "text/uri-list") {
        gchar** list = gtk_selection_data_get_uris(selection);
        std::size_t item = 0;
        for (gchar** uri = list; uri && *uri; ++uri, ++item) {
            const std::string text = *uri;
            pasteboard.put(item, kFileUrlType, std::vector<std::uint8_t>(text.begin(), text.end()));
        }
        g_strfreev(list);
    } else if (isPrivateType(name)) {
        const guchar* bytes = gtk_selection_data_get_data(selection);
        pasteboard.put(0, name, std::vector<std::uint8_t>(bytes, bytes + gtk_selection_data_get_length(selection)));
    } else if (guchar* text = gtk_selection_data_get_text(selection)) {
        const std::string utf8 = reinterpret_cast<const char*>(text);
        g_free(text);
        pasteboard.put(0, kUtf16Type, utf16Bytes(utf8));
        pasteboard.put(0, kUtf8Type, std::vector<std::uint8_t>(utf8.begin(), utf8.end()));
    }
}

std::vector<std::uint8_t> SelectionTargets::utf16Bytes(const std::string& utf8)
{
    const cf::String* string = cf::String::createFromUTF8(utf8);
    const std::u16string& units = string->characters();
    const auto* first = reinterpret_cast<const std::uint8_t*>(units.data());
    std::vector<std::uint8_t> bytes(first, first + units.size() * 2);
    CFRelease(string);
    return bytes;
}

std::string SelectionTargets::fromUtf16Bytes(const std::vector<std::uint8_t>& bytes)
{
    std::u16string units(bytes.size() / 2, u'\0');
    if (!units.empty())
        std::memcpy(&units[0], bytes.data(), units.size() * 2);
    return cf::String(std::move(units), true).utf8();
}

} // namespace platform::gtk
