#pragma once
// A pasteboard holding data in clipboard formats: made for writing one
// format (the clipboard or a new drag pasteboard), or wrapping a
// pasteboard to read from (a drop's).
#include "platform/pasteboard/Pasteboard.h"

namespace CV {
namespace FEN {

class ClipBoardFormat;
class ClipBoardFormatHandle;

class ExchangeData {
public:
    // Retains the pasteboard.
    explicit ExchangeData(PasteboardRef pasteboard);
    // Writes the format onto the system clipboard (clipboard true) or onto
    // a new pasteboard of a unique name. The data is built first: a format
    // without data leaves the pasteboard untouched and this object holds
    // none, as when the platform refuses.
    ExchangeData(ClipBoardFormat const& format, bool clipboard);
    ~ExchangeData();
    ExchangeData(ExchangeData const&) = delete;
    ExchangeData& operator=(ExchangeData const&) = delete;

    PasteboardRef getPasteboard() const { return m_pasteboard; }
    bool isValid() const { return m_pasteboard != nullptr; }

    // Whether an item offers the format's type (plain text also as UTF-8).
    bool containsFormat(ClipBoardFormatHandle const& handle) const;
    // Reads the format from the items; true when an item was taken.
    bool getFormat(ClipBoardFormat& format) const;

private:
    PasteboardRef m_pasteboard = nullptr;
};

// The system clipboard.
class ClipBoard {
public:
    // Replaces the clipboard's contents by the format; false (clipboard
    // unchanged) when the format has no data or the platform refuses.
    static bool setFormat(ClipBoardFormat const& format);
    static bool getFormat(ClipBoardFormat& format);

    ClipBoard() = delete;
};

} // namespace FEN
} // namespace CV
