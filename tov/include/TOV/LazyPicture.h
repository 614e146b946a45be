#pragma once
// A skin picture that is read when it is first drawn, at the backing scale of
// the surface it is drawn on. Resolved pictures are kept per scale.
#include <functional>
#include <map>
#include <memory>
#include <set>

namespace CV::FEN {
class Picture;
}

namespace CV::TOV {

class LazyPicture {
public:
    using Loader = std::function<std::shared_ptr<FEN::Picture const>(float scale)>;

    LazyPicture();
    // No loader; a picture given here stands for scale 1.
    explicit LazyPicture(std::shared_ptr<FEN::Picture const> picture);
    explicit LazyPicture(Loader loader);
    LazyPicture(LazyPicture const&);
    LazyPicture(LazyPicture&&) noexcept;
    LazyPicture& operator=(LazyPicture const&);
    LazyPicture& operator=(LazyPicture&&) noexcept;
    ~LazyPicture();

    // The picture for that backing scale, or null. Loads it on first use, or
    // scales the picture of scale 1 when the loader has none for the scale.
    // The loader is asked once per scale; a miss is remembered.
    // The pointer stays valid while this object lives.
    FEN::Picture const* resolve(float scale) const;

    bool hasLoader() const { return static_cast<bool>(m_loader); }
    // Neither a loader nor any resolved picture: nothing can be drawn.
    bool isEmpty() const { return !m_loader && m_pictures.empty(); }

    // The absence of a picture where a reference is needed.
    static const LazyPicture gEmptyPicture;

private:
    FEN::Picture const* scaledFromNormal(std::shared_ptr<FEN::Picture const> const& normal, float scale) const;
    std::shared_ptr<FEN::Picture const> load(float scale) const;

    Loader m_loader;
    mutable std::map<float, std::shared_ptr<FEN::Picture const>> m_pictures;
    // Scales the loader had no picture for; not asked again.
    mutable std::set<float> m_misses;
};

} // namespace CV::TOV
