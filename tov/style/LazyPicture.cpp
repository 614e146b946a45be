#include "TOV/LazyPicture.h"

#include "FEN/Picture.h"

namespace CV::TOV {

LazyPicture::LazyPicture() = default;

LazyPicture::LazyPicture(std::shared_ptr<FEN::Picture const> picture)
{
    if (picture)
        m_pictures.emplace(1.0f, std::move(picture));
}

LazyPicture::LazyPicture(Loader loader)
    : m_loader(std::move(loader))
{
}

LazyPicture::LazyPicture(LazyPicture const&) = default;
LazyPicture::LazyPicture(LazyPicture&&) noexcept = default;
LazyPicture& LazyPicture::operator=(LazyPicture const&) = default;
LazyPicture& LazyPicture::operator=(LazyPicture&&) noexcept = default;
LazyPicture::~LazyPicture() = default;

FEN::Picture const* LazyPicture::resolve(float scale) const
{
    auto const found = m_pictures.find(scale);
    if (found != m_pictures.end())
        return found->second.get();
    if (auto picture = load(scale)) {
        FEN::Picture const* result = picture.get();
        m_pictures[scale] = std::move(picture);
        return result;
    }
    if (scale == 1.0f)
        return nullptr;

    // The picture of scale 1, scaled, stands in for a missing one.
    auto normal = m_pictures.find(1.0f);
    if (normal == m_pictures.end()) {
        auto picture = load(1.0f);
        if (!picture)
            return nullptr;
        normal = m_pictures.emplace(1.0f, std::move(picture)).first;
    }
    return scaledFromNormal(normal->second, scale);
}

std::shared_ptr<FEN::Picture const> LazyPicture::load(float scale) const
{
    if (!m_loader || m_misses.count(scale))
        return nullptr;
    auto picture = m_loader(scale);
    if (!picture)
        m_misses.insert(scale);
    return picture;
}

FEN::Picture const* LazyPicture::scaledFromNormal(std::shared_ptr<FEN::Picture const> const& normal, float scale) const
{
    std::shared_ptr<FEN::Picture const> scaled = normal->cloneAndScale(scale, FEN::Picture::Sampling(1));
    if (!scaled)
        return nullptr;
    FEN::Picture const* result = scaled.get();
    m_pictures[scale] = std::move(scaled);
    return result;
}

} // namespace CV::TOV
