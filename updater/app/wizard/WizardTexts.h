#pragma once
// The eleven texts the wizard shows: the keyboard's name (every page), the
// product name (the keyboard picture's attribute), the application's name,
// title, rights notice and version, and five contributor lines (the about
// box). The configuration keeps them; the wizard keeps a copy.
#include <string>

namespace CV {

struct WizardTexts {
    std::string deviceName;
    std::string productName;
    std::string appName;
    std::string title;
    std::string rightsNotice;
    std::string version;
    std::string contributors1;
    std::string contributors2;
    std::string contributors3;
    std::string contributors4;
    std::string contributors5;
};

} // namespace CV
