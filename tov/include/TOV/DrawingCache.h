#pragma once
// The painting values of one widget (colours, palettes, font, alignments,
// pictures, animation frames, displacements) resolved from the style sheet
// once per style change into short lists per state condition, so that
// painting only tests the widget's current states.
#include <array>
#include <utility>
#include <vector>

#include "BAS/Point.h"
#include "TOV/Forward.h"
#include "TOV/LazyPicture.h"
#include "TOV/Selector.h"
#include "TOV/StyleProperties.h"
#include "TOV/WidgetAlignment.h"
#include "cv/symbol.h"

namespace CV::FEN {
class Font;
}

namespace CV::TOV {

class DrawingCache {
public:
    static constexpr int kRoleCount = 7;
    template <typename T> using List = std::vector<std::pair<StateSelector, T>>;

    // The colour and palette tags in the order the cache fills its lists.
    static const std::array<tColorTag, 7> s_ColorTags;
    static const std::array<tColorTag, 7> s_ColorPaletteTags;

    DrawingCache(Widget const& widget, ManagerContainer& manager);
    DrawingCache(DrawingCache&& other) noexcept;
    DrawingCache& operator=(DrawingCache&&) = delete;
    ~DrawingCache();

    // Refills every list from the sheet that governs the widget's pane.
    void rebuildCache();

    // The colour of the role (or of its border role) for the widget's
    // current states; a palette number sends the question to the pane's
    // root widget. 0 when no rule gives one.
    unsigned getColor(eRole role, bool border, unsigned long paletteIndex) const;
    BAS::Point const& getPictureDisplacement() const;
    BAS::Point const& getTextDisplacement() const;

    // The value of the first entry whose states accept the widget's current
    // states, or null.
    template <typename T> T const* firstApplicable(List<T> const& list) const
    {
        for (auto const& [states, value] : list)
            if (states.doesApply(m_widget))
                return &value;
        return nullptr;
    }

    // The name of a palette colour, "palette<number>-color<index>", made
    // once per pair for the process.
    static cv::symbol getColorAttribute(int palette, unsigned long index);

    Widget const& m_widget;
    std::array<List<unsigned>, kRoleCount> m_colors;
    std::array<List<int>, kRoleCount> m_palettes;
    List<FEN::Font const*> m_fonts;
    FEN::Font const* m_pDefaultFont;
    List<eTextAlignment> m_horizontalAlignments;
    List<eTextAlignment> m_verticalAlignments;
    List<LazyPicture> m_pictures;
    List<LazyPicture> m_dyeMasks;
    List<int> m_animationIndexes;
    List<int> m_dyeMaskAnimationIndexes;
    List<BAS::Point> m_pictureDisplacements;
    List<BAS::Point> m_textDisplacements;
    List<bool> m_pictureIncludesMargin;

private:
    template <typename F> void rebuildRules(cv::symbol const& property, F filter);
};

} // namespace CV::TOV
