#include "FEN/IDragDropDelegate.h"

#include "BAS/StringUtil.h"
#include "FEN/ClipBoardFormat.h"
#include "FEN/DragDropManager.h"
#include "FEN/EventData.h"
#include "FEN/ExchangeData.h"

namespace CV {
namespace FEN {

namespace {

class NOPDragDropDelegate : public IDragDropDelegate {
public:
    bool getFormat(DragEventData const&, ClipBoardFormat&) const override { return false; }
    bool containsFormat(DragEventData const&, ClipBoardFormatHandle const&) const override { return false; }
    DragDropData const* getFormat(DragEventData const&, DragDropFormat const&) const override { return nullptr; }
    bool containsFormat(DragEventData const&, DragDropFormat const&) const override { return false; }
    const void* getOSHandle(DragEventData const&) const override { return nullptr; }
    std::optional<std::vector<BAS::FileName>> getExternalFileList(DragEventData const&) const override
    {
        return std::nullopt;
    }
    std::optional<std::string> getExternalText(DragEventData const&) const override { return std::nullopt; }
    DragDropData const* getInternalDragDropData(DragEventData const&) const override { return nullptr; }
    bool isExternalText(DragEventData const&) const override { return false; }
    bool isExternalFileList(DragEventData const&) const override { return false; }
    unsigned registerDNDFormat(const char*) const override { return 0; }
    void DoDragText(std::string const&, DragDropSupport::DropEffect) const override { }
    void DoDrag(DragDropData const&, DragDropSupport::DropEffect, WindowBase*,
                DragDropSupport::DragImage const*) const override
    {
    }
    void DoDragWithCallback(EventTarget*, DragDropData const&, DragDropSupport::DropEffect, WindowBase*,
                            DragDropSupport::DragImage const*) const override
    {
    }
};

class WindowingDragDropDelegate : public IDragDropDelegate {
public:
    bool getFormat(DragEventData const& event, ClipBoardFormat& format) const override
    {
        return event.data != nullptr && event.data->getFormat(format);
    }
    bool containsFormat(DragEventData const& event, ClipBoardFormatHandle const& handle) const override
    {
        return event.data != nullptr && event.data->containsFormat(handle);
    }
    DragDropData const* getFormat(DragEventData const& event, DragDropFormat const& format) const override
    {
        DragDropData const* data = getInternalDragDropData(event);
        return data != nullptr && data->getFormatId() == format.m_uFormatId ? data : nullptr;
    }
    bool containsFormat(DragEventData const& event, DragDropFormat const& format) const override
    {
        return getFormat(event, format) != nullptr;
    }
    const void* getOSHandle(DragEventData const& event) const override
    {
        return event.data != nullptr ? event.data->getPasteboard() : nullptr;
    }
    std::optional<std::vector<BAS::FileName>> getExternalFileList(DragEventData const& event) const override
    {
        FileListClipBoardFormat files;
        if (!getFormat(event, files))
            return std::nullopt;
        return std::move(files.m_files);
    }
    std::optional<std::string> getExternalText(DragEventData const& event) const override
    {
        TextClipBoardFormat text;
        if (!getFormat(event, text))
            return std::nullopt;
        return BAS::StringUtil::fromUTF_filter<char>(text.getValue());
    }
    DragDropData const* getInternalDragDropData(DragEventData const& event) const override
    {
        InternalClipBoardFormat internal;
        return getFormat(event, internal) ? internal.m_pData : nullptr;
    }
    bool isExternalText(DragEventData const& event) const override
    {
        return containsFormat(event, TextClipBoardFormat::FormatHandle());
    }
    bool isExternalFileList(DragEventData const& event) const override
    {
        return containsFormat(event, FileListClipBoardFormat::FormatHandle());
    }
    unsigned registerDNDFormat(const char* name) const override { return DragDropManager::registerFormat(name); }
    void DoDragText(std::string const& text, DragDropSupport::DropEffect allowed) const override
    {
        TextClipBoardFormat format;
        format.setValue(text);
        DragDropManager::DoDragWithCallback(nullptr, format, unsigned(allowed), nullptr);
    }
    void DoDrag(DragDropData const& data, DragDropSupport::DropEffect allowed, WindowBase* window,
                DragDropSupport::DragImage const* image) const override
    {
        DoDragWithCallback(nullptr, data, allowed, window, image);
    }
    void DoDragWithCallback(EventTarget* receiver, DragDropData const& data, DragDropSupport::DropEffect allowed,
                            WindowBase* window, DragDropSupport::DragImage const* image) const override
    {
        // The format lives for the whole drag: its token stays valid until
        // the drag has ended.
        InternalClipBoardFormat format;
        format.m_pData = &data;
        format.m_pWindow = window;
        DragDropManager::DoDragWithCallback(receiver, format, unsigned(allowed), image);
    }
};

std::unique_ptr<IDragDropDelegate> gDragDropDelegate = std::make_unique<NOPDragDropDelegate>();

} // namespace

void setDragDropDelegate(std::unique_ptr<IDragDropDelegate> delegate)
{
    gDragDropDelegate = delegate ? std::move(delegate) : std::make_unique<NOPDragDropDelegate>();
}

IDragDropDelegate* getDragDropDelegate()
{
    return gDragDropDelegate.get();
}

std::unique_ptr<IDragDropDelegate> makeWindowingDragDropDelegate()
{
    return std::make_unique<WindowingDragDropDelegate>();
}

bool DragEventData::getFormat(ClipBoardFormat& format) const
{
    return getDragDropDelegate()->getFormat(*this, format);
}

bool DragEventData::containsFormat(ClipBoardFormatHandle const& handle) const
{
    return getDragDropDelegate()->containsFormat(*this, handle);
}

} // namespace FEN
} // namespace CV
