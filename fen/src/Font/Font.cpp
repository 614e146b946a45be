#include "FEN/Font.h"

#include "BAS/StreamToVector.h"
#include "FEN/ResourceFacade.h"

#include <cmath>
#include <memory>

namespace CV {
namespace FEN {

Font::Font(const CreateData& data)
{
    create(data);
}

Font::Font(BAS::Stream& stream, const CreateData& data)
{
    create(stream, data);
}

Font::~Font()
{
    // The caches go before the engine they keep.
    m_current = nullptr;
    m_renderCaches.clear();
}

bool Font::create(const CreateData& data)
{
    if (!m_renderCaches.empty() || data.resourceId == 0)
        return false;
    std::unique_ptr<BAS::Stream> stream(
        ResourceFacade::getResource(data.resourceId, "TTFd", BAS::Endian::eLittleEndian));
    if (!stream)
        return false;
    return create(*stream, data);
}

bool Font::create(BAS::Stream& stream, const CreateData& data)
{
    if (!m_renderCaches.empty())
        return false;
    auto bytes = BAS::toStdVectorRaw<uint8_t>(stream);
    if (!bytes)
        return false;
    return allocateFont(data, std::move(*bytes));
}

bool Font::allocateFont(const CreateData& data, std::vector<uint8_t> bytes)
{
    m_engine = data.engine != nullptr ? data.engine->shared_from_this() : nullptr;
    m_resourceId = data.resourceId;
    m_name = data.name;
    m_size = data.size;
    m_underline = (data.flags & eUnderline) != 0;
    m_hinting = (data.flags & eHinting) != 0;
    if (!m_engine)
        return false;
    m_loadFailure.clear();
    auto cache = m_engine->createRenderCache(key(), {m_size, m_hinting}, std::move(bytes), &m_loadFailure);
    if (!cache)
        return false;
    m_renderCaches.emplace(1.0f, std::move(cache));
    m_current = currentCache();
    return true;
}

DETAIL::FontKey Font::key() const
{
    return DETAIL::makeFontKey(m_resourceId, m_name);
}

void Font::setBackingScaleFactor(float scale) const
{
    if (scale == m_backingScale)
        return;
    m_backingScale = scale;
    if (m_renderCaches.count(scale) == 0 && m_engine) {
        const float scaled = static_cast<float>(m_size) * scale;
        const int pixelSize = static_cast<int>(std::lroundf(scaled));
        if (auto cache = m_engine->createRenderCache(key(), {pixelSize, m_hinting}, {}))
            m_renderCaches.emplace(scale, std::move(cache));
    }
    m_current = currentCache();
}

DETAIL::FTRenderCache* Font::currentCache() const
{
    auto found = m_renderCaches.find(m_backingScale);
    return found == m_renderCaches.end() ? nullptr : found->second.get();
}

} // namespace FEN
} // namespace CV
