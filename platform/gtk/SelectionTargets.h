#pragma once
// How pasteboard data travels as the toolkit's selection targets (the
// clipboard and drag and drop): plain text, from the first item with a
// UTF-8 or UTF-16 plain-text flavour, as the toolkit's text targets; file
// URLs, one per item, as text/uri-list; and, in drags only, every other
// type under its own name for this program alone (the framework's internal
// format). Received text becomes item 0 with both plain-text flavours,
// received URIs one file-URL item each.
#include <gdk/gdk.h>

#include <string>
#include <vector>

typedef struct _GtkSelectionData GtkSelectionData;
typedef struct _GtkTargetList GtkTargetList;

namespace platform::peer {
class PasteboardPeer;
}

namespace platform::gtk {

class SelectionTargets {
public:
    static const char* const kUtf8Type;
    static const char* const kUtf16Type;
    static const char* const kFileUrlType;

    // Whether a target name is a type kept inside the program: a dotted
    // type name, not a MIME type nor an X atom like UTF8_STRING.
    static bool isPrivateType(const std::string& target);

    static bool hasText(const peer::PasteboardPeer& pasteboard);
    static std::string text(const peer::PasteboardPeer& pasteboard);
    static std::vector<std::string> uris(const peer::PasteboardPeer& pasteboard);

    // The targets the pasteboard's data is offered as (a new list, maybe
    // empty).
    static GtkTargetList* offered(const peer::PasteboardPeer& pasteboard, bool withPrivateTypes);
    // Fills selection with the pasteboard's data for its target.
    static void serve(const peer::PasteboardPeer& pasteboard, GtkSelectionData* selection);

    // Of the targets offered, those worth asking for.
    static std::vector<GdkAtom> wanted(const std::vector<GdkAtom>& offered);
    // Adds data received for one of them to the pasteboard.
    static void receive(peer::PasteboardPeer& pasteboard, GtkSelectionData* selection);

    // Text and its UTF-16 flavour's bytes (machine byte order).
    static std::vector<std::uint8_t> utf16Bytes(const std::string& utf8);
    static std::string fromUtf16Bytes(const std::vector<std::uint8_t>& bytes);
};

} // namespace platform::gtk
