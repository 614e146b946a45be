#include "TOV/DrawingCache.h"

#include <cstdio>
#include <map>

#include "TOV/Algorithm.h"
#include "TOV/ManagerContainer.h"
#include "TOV/Pane.h"
#include "TOV/Property.h"
#include "TOV/StyleProperties.h"
#include "TOV/StyleSheetManager.h"
#include "TOV/Widget.h"

namespace CV::TOV {

namespace {

bool isNo(Property const& property)
{
    auto const* text = std::get_if<std::string>(&property.value);
    return property.unit == Property::eIdentifier && text && *text == "no";
}

// Keeps rules of the expected kind whose value has the list's type; the
// word no stores the no value.
template <typename T> struct tTestUnitCacheFunctor {
    DrawingCache::List<T>* target;
    Property::eUnit kind;
    T noValue;

    void operator()(StateSelector const& states, Property const& property) const
    {
        if (isNo(property)) {
            target->emplace_back(states, noValue);
        } else if (property.unit == kind) {
            if (T const* value = std::get_if<T>(&property.value))
                target->emplace_back(states, *value);
        }
    }
};

struct tGetAlignmentFunctor {
    DrawingCache::List<eTextAlignment>* target;
    bool horizontal;

    void operator()(StateSelector const& states, Property const& property) const
    {
        auto const* text = std::get_if<std::string>(&property.value);
        if (property.unit != Property::eIdentifier || !text)
            return;
        target->emplace_back(states, horizontal ? getHorizontalAlignment(*text) : getVerticalAlignment(*text));
    }
};

struct tGetBoolFunctor {
    DrawingCache::List<bool>* target;

    void operator()(StateSelector const& states, Property const& property) const
    {
        if (bool const* value = property.getBoolValue())
            target->emplace_back(states, *value);
    }
};

BAS::Point const& zeroPoint()
{
    static BAS::Point const s_zero{0, 0};
    return s_zero;
}

} // namespace

DrawingCache::DrawingCache(Widget const& widget, ManagerContainer& manager)
    : m_widget(widget)
    , m_pDefaultFont(manager.getFont(manager.getDefaultFontData()))
{
}

DrawingCache::DrawingCache(DrawingCache&& other) noexcept = default;

DrawingCache::~DrawingCache() = default;

template <typename F> void DrawingCache::rebuildRules(cv::symbol const& property, F filter)
{
    auto const rules = Algorithm::collectPropertyRules(m_widget, property);
    filter.target->clear();
    filter.target->reserve(rules.size());
    for (auto const& rule : rules)
        filter(rule.get().first.m_states, rule.get().second);
}

void DrawingCache::rebuildCache()
{
    for (size_t i = 0; i < s_ColorTags.size(); ++i) {
        rebuildRules(s_ColorTags[i].name,
                     tTestUnitCacheFunctor<unsigned>{&m_colors[s_ColorTags[i].role], Property::eColor, 0u});
        rebuildRules(s_ColorPaletteTags[i].name,
                     tTestUnitCacheFunctor<int>{&m_palettes[s_ColorPaletteTags[i].role], Property::eNone, 0});
    }
    namespace n = properties;
    rebuildRules(n::font, tTestUnitCacheFunctor<FEN::Font const*>{&m_fonts, Property::eFont, nullptr});
    rebuildRules(n::horizontalAlignment, tGetAlignmentFunctor{&m_horizontalAlignments, true});
    rebuildRules(n::verticalAlignment, tGetAlignmentFunctor{&m_verticalAlignments, false});
    rebuildRules(n::picture, tTestUnitCacheFunctor<LazyPicture>{&m_pictures, Property::ePicture, LazyPicture()});
    rebuildRules(n::animationIndex, tTestUnitCacheFunctor<int>{&m_animationIndexes, Property::eNone, 0});
    rebuildRules(n::dyeMaskPicture, tTestUnitCacheFunctor<LazyPicture>{&m_dyeMasks, Property::ePicture, LazyPicture()});
    rebuildRules(n::dyeMaskAnimationIndex, tTestUnitCacheFunctor<int>{&m_dyeMaskAnimationIndexes, Property::eNone, 0});
    rebuildRules(n::pictureDisplacement,
                 tTestUnitCacheFunctor<BAS::Point>{&m_pictureDisplacements, Property::ePoint, BAS::Point{0, 0}});
    rebuildRules(n::textDisplacement,
                 tTestUnitCacheFunctor<BAS::Point>{&m_textDisplacements, Property::ePoint, BAS::Point{0, 0}});
    rebuildRules(n::pictureIncludesMargin, tGetBoolFunctor{&m_pictureIncludesMargin});
}

unsigned DrawingCache::getColor(eRole role, bool border, unsigned long paletteIndex) const
{
    eRole const used = !border ? role : (role == eBackgroundColor ? eBackgroundBorderColor : eForegroundBorderColor);
    unsigned const* color = firstApplicable(m_colors[used]);
    int const* palette = firstApplicable(m_palettes[used]);
    unsigned const own = color ? *color : 0u;
    if (!palette || *palette == 0)
        return own;
    Pane const* pane = m_widget.getPane();
    Widget const* root = pane ? pane->getRoot().get() : nullptr;
    if (!root)
        return own;
    return root->getStyleProperty<unsigned>(getColorAttribute(*palette, paletteIndex), own);
}

BAS::Point const& DrawingCache::getPictureDisplacement() const
{
    BAS::Point const* point = firstApplicable(m_pictureDisplacements);
    return point ? *point : zeroPoint();
}

BAS::Point const& DrawingCache::getTextDisplacement() const
{
    BAS::Point const* point = firstApplicable(m_textDisplacements);
    return point ? *point : zeroPoint();
}

cv::symbol DrawingCache::getColorAttribute(int palette, unsigned long index)
{
    static std::map<std::pair<int, unsigned long>, cv::symbol> gDictionary;
    auto const key = std::make_pair(palette, index);
    auto it = gDictionary.find(key);
    if (it != gDictionary.end())
        return it->second;
    char name[64];
    std::snprintf(name, sizeof name, "palette%d-color%lu", palette, index);
    return gDictionary.emplace(key, cv::symbol(std::string(name))).first->second;
}

// ---- the manager's caches ----------------------------------------------------------

DrawingCache& StyleSheetManager::getDrawingCache(Widget const& widget)
{
    return m_drawingCaches.try_emplace(&widget, widget, m_container).first->second;
}

void StyleSheetManager::eraseDrawingCache(Widget const& widget)
{
    m_drawingCaches.erase(&widget);
}

} // namespace CV::TOV
