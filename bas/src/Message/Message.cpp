#include "BAS/Message.h"

#include "BAS/Application.h"
#include "BAS/CFString.h"
#include "BAS/GetTextDomain.h"
#include "BAS/StringCF.h"
#include "platform/alert/Alert.h"

#include <algorithm>
#include <iterator>

namespace CV {
namespace BAS {

Message::ShowMessageFunction Message::s_showMessageFunctor;

namespace {

struct ButtonSpec {
    const char* label;
    Message::eButton tag;
};

constexpr ButtonSpec kOK{"OK", Message::eButtonOK};
constexpr ButtonSpec kCancel{"Cancel", Message::eButtonCancel};
constexpr ButtonSpec kYes{"Yes", Message::eButtonYes};
constexpr ButtonSpec kNo{"No", Message::eButtonNo};
constexpr ButtonSpec kAbort{"Abort", Message::eButtonAbort};
constexpr ButtonSpec kRetry{"Retry", Message::eButtonRetry};
constexpr ButtonSpec kIgnore{"Ignore", Message::eButtonIgnore};

struct TypeSpec {
    ButtonSpec buttons[3];
    int count;
};

const TypeSpec kTypes[] = {
    {{kOK}, 1},
    {{kOK, kCancel}, 2},
    {{kYes, kNo}, 2},
    {{kYes, kNo, kCancel}, 3},
    {{kRetry, kCancel}, 2},
    {{kAbort, kRetry, kIgnore}, 3},
};

// Closing the box without a button must never agree to anything.
Message::eButton dismissAnswerOf(const TypeSpec& type)
{
    for (Message::eButton preferred :
         {Message::eButtonCancel, Message::eButtonNo, Message::eButtonOK, Message::eButtonAbort}) {
        const ButtonSpec* end = type.buttons + type.count;
        if (std::any_of(type.buttons, end, [&](const ButtonSpec& b) { return b.tag == preferred; }))
            return preferred;
    }
    return type.buttons[0].tag;
}

platform::Alert::Style styleOf(Message::eIcon icon)
{
    switch (icon) {
    case Message::eIconCritical: return platform::Alert::Style::Critical;
    case Message::eIconWarning: return platform::Alert::Style::Warning;
    default: return platform::Alert::Style::Informational;
    }
}

// The UTF-8 text as the platform's string, and back: malformed sequences
// are dropped on the way.
std::string nativeText(const CharSequence<char>& text)
{
    CFString native(text);
    return StringCF(native).str();
}

} // namespace

bool Message::makeAlert(const CharSequence<char>& text, eType type, eButton defaultButton, eIcon icon,
                        const char* title, platform::Alert& alert)
{
    if (type < 0 || static_cast<std::size_t>(type) >= std::size(kTypes))
        return false;
    const TypeSpec& spec = kTypes[type];
    alert.setMessageText(nativeText(title ? title : Application::s_pAppName));
    alert.setInformativeText(nativeText(text));
    for (int i = 0; i < spec.count; ++i)
        alert.addButton(GetLibraryTextDomain().get(spec.buttons[i].label), spec.buttons[i].tag);
    if (defaultButton != eButtonNone)
        alert.setDefaultButton(defaultButton);
    alert.setDismissAnswer(dismissAnswerOf(spec));
    alert.setStyle(styleOf(icon));
    return true;
}

Message::eButton Message::show(const CharSequence<char>& text, eType type, eButton defaultButton, eIcon icon,
                               const char* title)
{
    if (s_showMessageFunctor)
        return s_showMessageFunctor(text, type, defaultButton, icon, title);
    platform::Alert alert;
    if (!makeAlert(text, type, defaultButton, icon, title, alert))
        return defaultButton;
    return static_cast<eButton>(alert.runModal());
}

} // namespace BAS
} // namespace CV
