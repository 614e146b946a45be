#include "TOV/StyleSheet.h"

#include "TOV/Lib.h"
#include "TOV/ManagerContainer.h"
#include "TOV/StyleParser2.h"
#include "TOV/StyleSheetErrorsLogSource.h"

#include "BAS/IStorage.h"
#include "BAS/Stream.h"
#include "FEN/FontEngine.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace CV::TOV {

namespace {

// What the sub-keys of one rule have said so far.
struct tShorthand {
    FEN::Font::CreateData font;
    bool familyGiven = false;
    std::string pictureAddress;
    std::string dyeMaskAddress;
    bool pictureGiven = false;
    bool dyeMaskGiven = false;
    FEN::PictureProperties picture;
    FEN::PictureProperties dyeMask;
    BAS::Point pictureDisplacement{0, 0};
    BAS::Point textDisplacement{0, 0};
    bool pictureDisplacementGiven = false;
    bool textDisplacementGiven = false;
};

// An integer sub-key: a float is rounded, anything else is skipped; both
// are logged.
bool intOf(Property const& property, int& out)
{
    if (auto const* number = std::get_if<int32_t>(&property.value)) {
        out = *number;
        return true;
    }
    if (auto const* number = std::get_if<float>(&property.value);
        number && std::isfinite(*number) && std::fabs(*number) < 2e9f) {
        out = static_cast<int>(std::lround(*number));
        StyleSheetErrorsLogSource::log(fmt::format("TOV::StyleSheet - warning: {0} expects an integer, {1} is rounded",
                                                   property.name.string(), *number));
        return true;
    }
    StyleSheetErrorsLogSource::log(
        fmt::format("TOV::StyleSheet - warning: {0} expects an integer, the value is ignored", property.name.string()));
    return false;
}

std::string const* textOf(Property const& property)
{
    auto const* text = std::get_if<std::string>(&property.value);
    if (!text)
        StyleSheetErrorsLogSource::log(
            fmt::format("TOV::StyleSheet - warning: {0} expects a text, the value is ignored", property.name.string()));
    return text;
}

bool unitIn(Property const& property, std::initializer_list<Property::eUnit> units)
{
    return std::find(units.begin(), units.end(), property.unit) != units.end();
}

void setFixed(tShorthand& state, int pixels, void (FEN::PictureProperties::*set)(int), bool vertical)
{
    pixels = std::max(pixels, 0);
    for (FEN::PictureProperties* properties : {&state.picture, &state.dyeMask}) {
        (properties->*set)(pixels);
        if (vertical)
            properties->setVertResizable(true);
        else
            properties->setHorzResizable(true);
    }
}

void setAllFixed(tShorthand& state, int pixels)
{
    setFixed(state, pixels, &FEN::PictureProperties::setFixedTop, true);
    setFixed(state, pixels, &FEN::PictureProperties::setFixedBottom, true);
    setFixed(state, pixels, &FEN::PictureProperties::setFixedLeft, false);
    setFixed(state, pixels, &FEN::PictureProperties::setFixedRight, false);
}

bool isPictureAddress(Property const& property)
{
    if (property.unit == Property::eURL)
        return true;
    auto const* text = std::get_if<std::string>(&property.value);
    return property.unit == Property::eIdentifier && text && *text == "no";
}

// Applies one declaration to the rule's shorthand state when its name and
// unit are those of a sub-key.
void applySubKey(tShorthand& state, Property const& property)
{
    std::string const& name = property.name.string();
    using U = Property::eUnit;
    int number = 0;
    if (name == "font-size" && unitIn(property, {U::eNone, U::ePixel})) {
        if (intOf(property, number))
            state.font.size = number;
    } else if (name == "font-hinting" && property.unit == U::eBool) {
        if (auto const* on = std::get_if<bool>(&property.value))
            state.font.flags =
                *on ? (state.font.flags | FEN::Font::eHinting) : (state.font.flags & ~uint32_t(FEN::Font::eHinting));
    } else if (name == "font-style" && property.unit == U::eIdentifier) {
        if (auto const* style = textOf(property)) {
            if (*style == "bold")
                state.font.flags |= 1;
            else if (*style == "italic")
                state.font.flags |= 2;
            else if (*style == "underline")
                state.font.flags |= 4;
        }
    } else if (name == "font-resid" && property.unit == U::eNone) {
        if (intOf(property, number))
            state.font.resourceId = static_cast<uint32_t>(std::max(number, 0));
    } else if (name == "font-name" && property.unit == U::eURL) {
        if (auto const* text = textOf(property))
            state.font.name = *text;
    } else if (name == "font-family" && unitIn(property, {U::eIdentifier, U::eNone})) {
        if (auto const* text = textOf(property)) {
            state.font.name = *text;
            state.familyGiven = true;
        }
    } else if ((name == "image" || name == "dye-mask") && isPictureAddress(property)) {
        std::string const address = property.unit == U::eURL ? std::get<std::string>(property.value) : std::string();
        if (name == "image") {
            state.pictureAddress = address;
            state.pictureGiven = true;
        } else {
            state.dyeMaskAddress = address;
            state.dyeMaskGiven = true;
        }
    } else if (name == "animations" && property.unit == U::eNone) {
        if (intOf(property, number))
            state.picture.setNumAnimations(unsigned(std::max(number, 0)));
    } else if (name == "dye-mask-animations" && property.unit == U::eNone) {
        if (intOf(property, number))
            state.dyeMask.setNumAnimations(unsigned(std::max(number, 0)));
    } else if (unitIn(property, {U::eNone, U::ePixel})) {
        if (name == "fixed") {
            if (intOf(property, number))
                setAllFixed(state, number);
        } else if (name == "fixed-top") {
            if (intOf(property, number))
                setFixed(state, number, &FEN::PictureProperties::setFixedTop, true);
        } else if (name == "fixed-bottom") {
            if (intOf(property, number))
                setFixed(state, number, &FEN::PictureProperties::setFixedBottom, true);
        } else if (name == "fixed-left") {
            if (intOf(property, number))
                setFixed(state, number, &FEN::PictureProperties::setFixedLeft, false);
        } else if (name == "fixed-right") {
            if (intOf(property, number))
                setFixed(state, number, &FEN::PictureProperties::setFixedRight, false);
        } else if (name == "relative-left" || name == "relative-top") {
            if (intOf(property, number)) {
                (name == "relative-left" ? state.pictureDisplacement.x : state.pictureDisplacement.y) = number;
                state.pictureDisplacementGiven = true;
            }
        } else if (name == "foreground-relative-left" || name == "foreground-relative-top") {
            if (intOf(property, number)) {
                (name == "foreground-relative-left" ? state.textDisplacement.x : state.textDisplacement.y) = number;
                state.textDisplacementGiven = true;
            }
        }
    }
}

bool sameFontData(FEN::Font::CreateData const& a, FEN::Font::CreateData const& b)
{
    return a.resourceId == b.resourceId && a.size == b.size && a.flags == b.flags;
}

bool isEmpty(BAS::Stream& stream)
{
    BAS::IStorage* storage = stream.getStorage();
    if (!storage)
        return false;
    storage->seek(0, BAS::IStorage::eSeekEnd);
    return storage->getPos() == 0;
}

// Why a sheet that was read gave no rules: empty, or its first error.
std::string whyNoRules(ManagerContainer::tResource const& sheet, StyleParser2 const& parser)
{
    if (isEmpty(*sheet.stream))
        return fmt::format("style sheet {} is empty", sheet.path);
    StyleParser2::tError const& error = parser.getFirstError();
    if (error.text.empty())
        return fmt::format("style sheet {} gives no rules", sheet.path);
    std::string const where = error.source.empty() ? std::string() : "in " + error.source + ": ";
    return fmt::format("style sheet {} gives no rules: {}{}", sheet.path, where, error.text);
}

} // namespace

StyleSheet::StyleSheet(ManagerContainer& manager)
    : m_manager(manager)
{
    m_propertyCache.max_load_factor(1.0f);
    m_propertyCache.reserve(2048);
}

StyleSheet::StyleSheet(StyleSheet const& other)
    : m_manager(other.m_manager)
    , m_rules(other.m_rules)
    , m_temporary(other.m_temporary)
    , m_loadedFiles(other.m_loadedFiles)
{
    m_propertyCache.max_load_factor(1.0f);
    m_propertyCache.reserve(2048);
}

StyleSheet& StyleSheet::operator=(StyleSheet const& other)
{
    if (this != &other) {
        m_rules = other.m_rules;
        m_temporary = other.m_temporary;
        m_loadedFiles = other.m_loadedFiles;
        m_propertyCache.clear();
    }
    return *this;
}

void StyleSheet::clearPropertyCache()
{
    if (!m_propertyCache.empty())
        m_propertyCache.clear();
}

void StyleSheet::load(BAS::CharSequence<char> const& name)
{
    ManagerContainer::tResource const found = m_manager.findResource(name, ManagerContainer::eStyleSheet, true);
    if (found.stream) {
        StyleParser2 parser(this);
        bool const parsed = parser.processStream(*found.stream, name.str());
        if (parsed && !parser.getRules().empty()) {
            transferParsedRules(parser);
            m_loadedFiles = parser.getImports();
        } else if (!parser.wasRefusedForSize()) {
            m_manager.reportRefusal(whyNoRules(found, parser));
        }
    } else if (found.outcome == SkinFileOutcome::eMissing) {
        m_manager.reportRefusal(fmt::format("style sheet {} is missing", found.path));
    } else if (found.outcome == SkinFileOutcome::eUnreadable) {
        m_manager.reportRefusal(fmt::format("style sheet {} cannot be read: {}", found.path, found.problem));
    }
    clearPropertyCache();
}

void StyleSheet::createDirect(BAS::CharSequence<char> const& text)
{
    StyleParser2 parser(this);
    if (parser.processString(text))
        transferParsedRules(parser);
    clearPropertyCache();
}

void StyleSheet::insertRulesIntoTemporary(std::vector<Selector> const& selectors, Property property)
{
    auto& sorted = m_temporary[property.name];
    for (auto const& selector : selectors)
        sorted.emplace(selector, property);
}

void StyleSheet::transferParsedRules(StyleParser2 const& parser)
{
    m_rules.clear();
    m_temporary.clear();
    m_propertyCache.clear();

    FEN::Font::CreateData const& defaultFont = m_manager.getDefaultFontData();
    for (auto const& rule : parser.getRules()) {
        tShorthand state;
        state.font = defaultFont;
        for (auto const& property : rule.properties) {
            applySubKey(state, property);
            insertRulesIntoTemporary(rule.selectors, property);
        }
        if (state.pictureGiven)
            insertRulesIntoTemporary(rule.selectors,
                                     Property(state.pictureAddress.empty()
                                                  ? LazyPicture()
                                                  : m_manager.getImage(state.pictureAddress, state.picture),
                                              cv::symbol(std::string("picture")), Property::ePicture));
        if (state.dyeMaskGiven)
            insertRulesIntoTemporary(rule.selectors,
                                     Property(state.dyeMaskAddress.empty()
                                                  ? LazyPicture()
                                                  : m_manager.getImage(state.dyeMaskAddress, state.dyeMask),
                                              cv::symbol(std::string("dye-mask-picture")), Property::ePicture));
        if (state.pictureDisplacementGiven)
            insertRulesIntoTemporary(
                rule.selectors,
                Property(state.pictureDisplacement, cv::symbol(std::string("picture-displacement")), Property::ePoint));
        if (state.textDisplacementGiven)
            insertRulesIntoTemporary(
                rule.selectors,
                Property(state.textDisplacement, cv::symbol(std::string("text-displacement")), Property::ePoint));

        bool const named = !state.font.name.empty();
        if (named || !sameFontData(state.font, defaultFont)) {
            FEN::Font::CreateData data = state.font;
            if (named) {
                data.resourceId = 0;
                if (state.familyGiven)
                    data.flags |= FEN::Font::eLoadFromResource;
            }
            data.engine = defaultFont.engine;
            insertRulesIntoTemporary(
                rule.selectors,
                Property(m_manager.getFontOrDefault(data), cv::symbol(std::string("font")), Property::eFont));
        }
    }
    for (auto const& [name, sorted] : m_temporary) {
        auto& list = m_rules[name];
        for (auto const& entry : sorted)
            list.emplace_back(entry.first, entry.second);
    }
}

} // namespace CV::TOV
