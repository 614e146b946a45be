#pragma once
// Modal message boxes with a fixed set of buttons, answered by the button
// the user pressed. A process may install a replacement that receives every
// request instead of the alert.
#include "BAS/CharSequence.h"

#include <functional>

namespace platform {
class Alert;
}

namespace CV {
namespace BAS {

class Message {
public:
    // The buttons, in the order they are shown:
    // 0 OK; 1 OK Cancel; 2 Yes No; 3 Yes No Cancel; 4 Retry Cancel;
    // 5 Abort Retry Ignore.
    enum eType : int32_t {
        eTypeOK = 0,
        eTypeOKCancel = 1,
        eTypeYesNo = 2,
        eTypeYesNoCancel = 3,
        eTypeRetryCancel = 4,
        eTypeAbortRetryIgnore = 5,
    };
    enum eButton : int32_t {
        eButtonOK = 0,
        eButtonCancel = 1,
        eButtonYes = 2,
        eButtonNo = 3,
        eButtonAbort = 4,
        eButtonRetry = 5,
        eButtonIgnore = 6,
        eButtonNone = 7,
    };
    // 1 critical, 2 warning, 0, 3 and 4 informational; larger values keep
    // the default style.
    enum eIcon : int32_t {
        eIconNone = 0,
        eIconCritical = 1,
        eIconWarning = 2,
        eIconInformation = 3,
        eIconQuestion = 4,
    };

    using ShowMessageFunction = std::function<eButton(const CharSequence<char>& text, eType type, eButton defaultButton,
                                                      eIcon icon, const char* title)>;

    // Shows text under the heading title (null: the application's name) and
    // returns the pressed button. The default button (the one Return
    // presses) is defaultButton when the box has it, else the first button.
    // Closing the box without a button answers Cancel when the box has it,
    // else No, else OK, else Abort. A type above 5 shows nothing and returns
    // defaultButton. Main thread only.
    static eButton show(const CharSequence<char>& text, eType type, eButton defaultButton, eIcon icon,
                        const char* title = nullptr);

    // Builds the alert that show runs; false for a type above 5.
    static bool makeAlert(const CharSequence<char>& text, eType type, eButton defaultButton, eIcon icon,
                          const char* title, platform::Alert& alert);

    // When set, receives every request of show instead of the alert.
    static ShowMessageFunction s_showMessageFunctor;

    Message() = delete;
};

} // namespace BAS
} // namespace CV
