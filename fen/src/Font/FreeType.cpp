#include "FEN/DETAIL/FreeType.h"

#include "FEN/DETAIL/FTRenderCache.h"

#include <cstddef>
#include <string>

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

// FreeType's text for its error codes, from its own list.
struct ErrorText {
    FT_Error code;
    char const* text;
};

// Gives nullptr, after putting the reason in *failure when it is wanted.
std::nullptr_t fail(std::string* failure, std::string const& reason)
{
    if (failure)
        *failure = reason;
    return nullptr;
}

// clang-format off
#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {e, s},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}};
ErrorText const kErrorTexts[] =
#include FT_ERRORS_H

std::string errorText(FT_Error error)
{
    for (ErrorText const* entry = kErrorTexts; entry->text; ++entry)
        if (entry->code == error)
            return entry->text;
    return "FreeType error " + std::to_string(error);
}
// clang-format on

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
                                                           std::vector<uint8_t> bytes, std::string* failure)
{
    auto found = m_fonts.find(key);
    if (found == m_fonts.end()) {
        if (bytes.empty())
            return fail(failure, "the file is empty");
        return generateFontFace(addFont(key, std::move(bytes)), sizeAndHinting, failure);
    }
    return generateFontFace(found->second, sizeAndHinting, failure);
}

std::shared_ptr<FTRenderCache> FreeType::generateFontFace(FTFontData& fontData, SizeAndHinting sizeAndHinting,
                                                          std::string* failure)
{
    auto known = fontData.caches.find(sizeAndHinting);
    if (known != fontData.caches.end()) {
        if (auto live = known->second.lock())
            return live;
        fontData.caches.erase(known);
    }
    if (!m_library)
        return fail(failure, "the font library could not be started");
    if (fontData.bytes.empty())
        return fail(failure, "the file is empty");

    FT_Face rawFace = nullptr;
    if (FT_Error const error = FT_New_Memory_Face(m_library.get(), fontData.bytes.data(),
                                                  static_cast<FT_Long>(fontData.bytes.size()), 0, &rawFace))
        return fail(failure, "not a font the font library knows (" + errorText(error) + ")");
    FTRenderCache::FacePtr face = noFace();
    face.reset(rawFace);
    if (FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE) != 0)
        return fail(failure, "the font has no Unicode character map");
    if (sizeAndHinting.first <= 0)
        return fail(failure, "its size of " + std::to_string(sizeAndHinting.first) + " pixels is not above 0");
    if (FT_Error const error = FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(sizeAndHinting.first)))
        return fail(failure, errorText(error));

    auto cache = std::make_shared<FTRenderCache>(std::move(face), sizeAndHinting, shared_from_this());
    fontData.caches[sizeAndHinting] = cache;
    return cache;
}

} // namespace DETAIL
} // namespace FEN
} // namespace CV
