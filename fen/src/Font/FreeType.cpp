#include "FEN/DETAIL/FreeType.h"

#include "FEN/DETAIL/FTRenderCache.h"

namespace CV {
namespace FEN {
namespace DETAIL {

namespace {

FT_Library initLibrary()
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return nullptr;
    return library;
}

FTRenderCache::FacePtr noFace()
{
    return FTRenderCache::FacePtr(nullptr, &FT_Done_Face);
}

} // namespace

FreeType::FreeType()
    : m_library(initLibrary(), &FT_Done_FreeType)
{
}

FreeType::~FreeType()
{
    // The caches hold the engine, so none is left: the fonts go first, then
    // the library.
    m_fonts.clear();
}

std::shared_ptr<FreeType> FreeType::create()
{
    return std::shared_ptr<FreeType>(new FreeType());
}

FTFontData& FreeType::addFont(const FontKey& key, std::vector<uint8_t> bytes)
{
    auto found = m_fonts.find(key);
    if (found != m_fonts.end())
        return found->second;
    FTFontData& data = m_fonts[key];
    data.bytes = std::move(bytes);
    return data;
}

std::shared_ptr<FTRenderCache> FreeType::createRenderCache(const FontKey& key, SizeAndHinting sizeAndHinting,
                                                           std::vector<uint8_t> bytes)
{
    auto found = m_fonts.find(key);
    if (found == m_fonts.end()) {
        if (bytes.empty())
            return nullptr;
        return generateFontFace(addFont(key, std::move(bytes)), sizeAndHinting);
    }
    return generateFontFace(found->second, sizeAndHinting);
}

std::shared_ptr<FTRenderCache> FreeType::generateFontFace(FTFontData& fontData, SizeAndHinting sizeAndHinting)
{
    auto known = fontData.caches.find(sizeAndHinting);
    if (known != fontData.caches.end()) {
        if (auto live = known->second.lock())
            return live;
        fontData.caches.erase(known);
    }
    if (!m_library || fontData.bytes.empty())
        return nullptr;

    FT_Face rawFace = nullptr;
    if (FT_New_Memory_Face(m_library.get(), fontData.bytes.data(), static_cast<FT_Long>(fontData.bytes.size()), 0,
                           &rawFace) != 0)
        return nullptr;
    FTRenderCache::FacePtr face = noFace();
    face.reset(rawFace);
    if (FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE) != 0)
        return nullptr;
    if (sizeAndHinting.first <= 0 || FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(sizeAndHinting.first)) != 0)
        return nullptr;

    auto cache = std::make_shared<FTRenderCache>(std::move(face), sizeAndHinting, shared_from_this());
    fontData.caches[sizeAndHinting] = cache;
    return cache;
}

} // namespace DETAIL
} // namespace FEN
} // namespace CV
