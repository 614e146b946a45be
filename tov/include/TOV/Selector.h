#pragma once
// Which widgets a style rule applies to: the widget's class, style and id,
// conditions on its attributes and states, and steps up its ancestors.
#include "TOV/Forward.h"
#include "cv/symbol.h"

#include <boost/logic/tribool.hpp>

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <utility>
#include <variant>

namespace CV::TOV {

// The interned empty text: a selector part equal to it matches anything.
extern const cv::symbol emptyStdString;

class ClassSelector {
public:
    void set(std::string const& cls, std::string const& style, std::string const& id);

    // True when the class is any, the widget's class, or the widget's class
    // without its subtype ("Button" matches "Button<Big>").
    bool doesClassIDapply(cv::symbol widgetClass) const;

    cv::symbol m_class;
    cv::symbol m_style;
    cv::symbol m_id;
};

class AttibuteSelector {
public:
    enum eRule : int32_t {
        eEquals = 2, // =
        eBeginsWith = 3, // ^=
        eEndsWith = 4, // $=
        eContains = 5, // *=
        eNotEquals = 6, // !=
    };
    using Conditions = std::map<eRule, std::string>;

    // Stores the condition; an earlier value for the same name and operator
    // is replaced.
    void setAttribute(cv::symbol name, eRule rule, std::string const& value);

    bool empty() const { return m_attributes.empty(); }

    // An attribute as a widget gives it: absent, a yes/no value or a text.
    struct tDoesntExist { };
    using tValue = std::variant<tDoesntExist, bool, std::string>;
    // A built-in attribute; the table ends with an entry of the empty name.
    struct tDescriptor {
        cv::symbol name;
        std::function<tValue(Widget const&)> getter;
    };
    static tDescriptor const s_Descriptors[];
    struct tCheckValueVisitor;

    // Every condition holds for the widget (its own attributes first, then
    // the built-in ones).
    bool doesApply(Widget const& widget) const;
    static bool doesBuiltInApply(Widget const& widget, std::pair<cv::symbol const, Conditions> const& entry);
    // Every condition holds for the value; for a yes/no value the operator
    // is not looked at.
    static bool doesMatch(tValue const& value, Conditions const& conditions);

    std::map<cv::symbol, Conditions> m_attributes;
};

// The text of a widget's symbol or text property, as an attribute value.
AttibuteSelector::tValue getWidgetAttribute(Widget const& widget, cv::symbol (Widget::*getter)() const);
AttibuteSelector::tValue getWidgetAttribute(Widget const& widget, std::string const& (Widget::*getter)() const);
// Whether a bar stacks its children horizontally; absent for other widgets.
AttibuteSelector::tValue isBarOrSliderHorizonzal(Widget const& widget);

class StateSelector {
public:
    enum eState { eEnabled, eSelected, eDown, eOver, eFocus, eInput, eDormant, eStateCount };

    StateSelector();

    // On or off for the state of that name; other names are ignored.
    void setState(cv::symbol name, bool on);

    // The names of the seven states, in their order.
    static std::array<cv::symbol, eStateCount> const& stateNames();

    struct tStateDescriptor {
        cv::symbol name;
        std::function<bool(Widget const&)> getter;
    };
    static tStateDescriptor const s_StateDescriptors[eStateCount];

    // Every state that is not indeterminate equals the widget's.
    bool doesApply(Widget const& widget) const;

    std::array<boost::logic::tribool, eStateCount> m_states;
};

class Selector : public ClassSelector {
public:
    struct tParentSelector {
        tParentSelector(std::string const& cls, std::string const& style, std::string const& id, bool direct);

        cv::symbol m_class;
        cv::symbol m_style;
        cv::symbol m_id;
        AttibuteSelector m_attributes;
        bool m_direct = false; // must be the immediate parent of the step before
    };

    Selector(int line, std::string const& source);
    Selector(int line, cv::symbol source);

    // Rules sort from the highest weight down; equal weights are equivalent.
    bool operator<(Selector const& other) const { return getWeight() > other.getWeight(); }
    // Ids weigh 0x1000000, styles 0x10000, each attribute name 16 and classes
    // 1, summed over the selector and its ancestor steps (unsigned, wrapping),
    // plus 256 for each state condition.
    uint32_t getWeight() const;

    // Class, style, id, ancestors and (when asked) attribute conditions hold
    // for the widget; states are not tested here.
    bool doesWidgetApply(Widget const& widget, bool checkAttributes) const;
    // The ancestor steps from the cursor upward; the cursor is left null
    // when the ancestors ran out.
    bool doesClassChainApply(Widget const*& cursor, bool checkAttributes) const;

    AttibuteSelector m_attributes;
    std::list<tParentSelector> m_parents; // nearest ancestor first
    StateSelector m_states;
    cv::symbol m_source;
    int32_t m_line = 0;
};

} // namespace CV::TOV
