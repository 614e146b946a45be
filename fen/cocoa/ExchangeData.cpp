#include "FEN/ExchangeData.h"

#include "BAS/StringUtil.h"
#include "FEN/ClipBoardFormat.h"

#include <cstring>
#include <string>
#include <vector>

namespace CV {
namespace FEN {

namespace {

bool isUTF16Text(CFStringRef type)
{
    return CFEqual(type, kUTTypeUTF16PlainText);
}

PasteboardItemID itemNumber(std::size_t k)
{
    return reinterpret_cast<PasteboardItemID>(k);
}

// Other programs on this desktop offer and read text as UTF-8 only: plain
// text goes on the pasteboard in both forms.
CFDataRef utf8Copy(CFDataRef utf16)
{
    const CFIndex length = CFDataGetLength(utf16);
    std::u16string units(std::size_t(length) / 2, u'\0');
    if (!units.empty())
        std::memcpy(&units[0], CFDataGetBytePtr(utf16), units.size() * 2);
    const std::string text = BAS::StringUtil::fromUTF_filter<char16_t>(units);
    return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(text.data()), CFIndex(text.size()));
}

bool readCount(PasteboardRef pasteboard, ItemCount& count)
{
    return PasteboardGetItemCount(pasteboard, &count) == noErr;
}

// The item's flavour types (null when they cannot be read).
CFArrayRef copyFlavours(PasteboardRef pasteboard, CFIndex index, PasteboardItemID& item)
{
    if (PasteboardGetItemIdentifier(pasteboard, index, &item) != noErr)
        return nullptr;
    CFArrayRef flavours = nullptr;
    if (PasteboardCopyItemFlavors(pasteboard, item, &flavours) != noErr)
        return nullptr;
    return flavours;
}

CFStringRef flavourAt(CFArrayRef flavours, CFIndex i)
{
    return static_cast<CFStringRef>(CFArrayGetValueAtIndex(flavours, i));
}

// The first flavour conforming to type, null when none does.
CFStringRef findConforming(CFArrayRef flavours, CFStringRef type)
{
    for (CFIndex i = 0; i < CFArrayGetCount(flavours); ++i)
        if (UTTypeConformsTo(flavourAt(flavours, i), type))
            return flavourAt(flavours, i);
    return nullptr;
}

bool offersFormat(CFArrayRef flavours, CFStringRef type)
{
    return findConforming(flavours, type) != nullptr ||
        (isUTF16Text(type) && findConforming(flavours, kUTTypeUTF8PlainText) != nullptr);
}

// Hands the data of one UTF-8 flavour to the format as UTF-16.
bool addUTF8Text(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavour, ClipBoardFormat& format)
{
    CFDataRef data = nullptr;
    if (PasteboardCopyItemFlavorData(pasteboard, item, flavour, &data) != noErr || data == nullptr)
        return false;
    const std::string text(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), std::size_t(CFDataGetLength(data)));
    CFRelease(data);
    const std::u16string units = DETAIL::utf8ToUtf16(text);
    std::vector<unsigned char> bytes(units.size() * 2);
    if (!bytes.empty())
        std::memcpy(bytes.data(), units.data(), bytes.size());
    return format.addRawData(bytes.data(), long(bytes.size()));
}

bool addFlavourData(PasteboardRef pasteboard, PasteboardItemID item, CFStringRef flavour, ClipBoardFormat& format)
{
    CFDataRef data = nullptr;
    if (PasteboardCopyItemFlavorData(pasteboard, item, flavour, &data) != noErr || data == nullptr)
        return false;
    const bool taken = format.addRawData(CFDataGetBytePtr(data), long(CFDataGetLength(data)));
    CFRelease(data);
    return taken;
}

} // namespace

ExchangeData::ExchangeData(PasteboardRef pasteboard)
    : m_pasteboard(pasteboard)
{
    if (m_pasteboard != nullptr)
        CFRetain(m_pasteboard);
}

ExchangeData::ExchangeData(ClipBoardFormat const& format, bool clipboard)
{
    std::vector<CFDataRef> blocks;
    format.writeOSData(blocks);
    std::vector<CFDataRef> usable;
    for (CFDataRef block : blocks)
        if (block != nullptr)
            usable.push_back(block);
    auto releaseBlocks = [&usable] {
        for (CFDataRef block : usable)
            CFRelease(block);
    };
    if (usable.empty())
        return; // nothing to offer: leave the pasteboard as it is
    PasteboardRef pasteboard = nullptr;
    if (PasteboardCreate(clipboard ? kPasteboardClipboard : nullptr, &pasteboard) != noErr || pasteboard == nullptr) {
        releaseBlocks();
        return;
    }
    if (PasteboardClear(pasteboard) != noErr ||
        (PasteboardSynchronize(pasteboard) & (kPasteboardModified | kPasteboardClientIsOwner)) !=
            kPasteboardClientIsOwner) {
        releaseBlocks();
        CFRelease(pasteboard);
        return;
    }
    const CFStringRef type = format.getHandle().getType();
    const bool text = isUTF16Text(type);
    std::size_t put = 0;
    for (std::size_t k = 0; k < usable.size(); ++k) {
        if (PasteboardPutItemFlavor(pasteboard, itemNumber(k + 1), type, usable[k], kPasteboardFlavorNoFlags) != noErr)
            continue;
        ++put;
        if (text) {
            CFDataRef utf8 = utf8Copy(usable[k]);
            PasteboardPutItemFlavor(pasteboard, itemNumber(k + 1), kUTTypeUTF8PlainText, utf8,
                                    kPasteboardFlavorNoFlags);
            CFRelease(utf8);
        }
    }
    releaseBlocks();
    if (put == 0) {
        CFRelease(pasteboard);
        return;
    }
    m_pasteboard = pasteboard;
}

ExchangeData::~ExchangeData()
{
    if (m_pasteboard != nullptr)
        CFRelease(m_pasteboard);
}

bool ExchangeData::containsFormat(ClipBoardFormatHandle const& handle) const
{
    ItemCount count = 0;
    if (m_pasteboard == nullptr || !readCount(m_pasteboard, count) || count == 0)
        return false;
    for (ItemCount index = 1; index <= count; ++index) {
        PasteboardItemID item = nullptr;
        CFArrayRef flavours = copyFlavours(m_pasteboard, CFIndex(index), item);
        if (flavours == nullptr)
            return false;
        const bool found = offersFormat(flavours, handle.getType());
        CFRelease(flavours);
        if (found)
            return true;
    }
    return false;
}

bool ExchangeData::getFormat(ClipBoardFormat& format) const
{
    ItemCount count = 0;
    if (!containsFormat(format.getHandle()) || !readCount(m_pasteboard, count))
        return false;
    format.notifyNumItems(std::size_t(count));
    if (count == 0)
        return false;
    const CFStringRef type = format.getHandle().getType();
    bool result = false;
    for (ItemCount index = 1; index <= count; ++index) {
        PasteboardItemID item = nullptr;
        CFArrayRef flavours = copyFlavours(m_pasteboard, CFIndex(index), item);
        if (flavours == nullptr)
            break;
        bool taken = false;
        if (isUTF16Text(type)) {
            CFStringRef utf8 = findConforming(flavours, kUTTypeUTF8PlainText);
            taken = utf8 != nullptr && addUTF8Text(m_pasteboard, item, utf8, format);
        }
        if (!taken) {
            CFStringRef flavour = findConforming(flavours, type);
            taken = flavour != nullptr && addFlavourData(m_pasteboard, item, flavour, format);
        }
        CFRelease(flavours);
        result = result || taken;
        if (result && !format.canHoldMultipleItems())
            break;
    }
    return result;
}

bool ClipBoard::setFormat(ClipBoardFormat const& format)
{
    return ExchangeData(format, true).isValid();
}

bool ClipBoard::getFormat(ClipBoardFormat& format)
{
    PasteboardRef pasteboard = nullptr;
    if (PasteboardCreate(kPasteboardClipboard, &pasteboard) != noErr || pasteboard == nullptr)
        return false;
    PasteboardSynchronize(pasteboard);
    const ExchangeData data(pasteboard);
    CFRelease(pasteboard);
    return data.getFormat(format);
}

} // namespace FEN
} // namespace CV
