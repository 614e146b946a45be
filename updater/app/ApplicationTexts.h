#pragma once
// The updater's fixed texts: its names, the rights notice and the people
// behind it, the single-instance id and the addresses of the Help menu.
#include "updater/app/wizard/WizardTexts.h"

namespace CV {
namespace ApplicationTexts {

inline constexpr const char* kDeviceName = "VARANTO Q-SERIES MK2 Keyboard";
inline constexpr const char* kProductName = "VarantoMK2";
inline constexpr const char* kAppName = "Varanto MK2 Firmware Updater";
inline constexpr const char* kTitle = "VARANTO MK2 FIRMWARE UPDATER";
inline constexpr const char* kRightsNotice = "(c) 2026 Calvarine Instruments. All rights reserved.";
// Shown when the bundle carries no readable version.
inline constexpr const char* kVersion = "1.4.0 (R205)";
inline constexpr const char* kContributors1 = "Ilse Marwood, Tomas Brekke, Odile Fenwright";
inline constexpr const char* kContributors2 = "Rafael Quintal, Maren Ostby, Jun Halloran";
inline constexpr const char* kContributors3 = "Pieter Dunlevy, Anouk Sarrazin, Kofi Abernethy";
inline constexpr const char* kContributors4 = "Greta Lindqvist, Hamid Vasquez, Noor Whitcombe";
inline constexpr const char* kContributors5 = "";
inline constexpr const char* kInstanceId = "VarantoMK2Updater-5C1E7A93-2B4D-4F60-9A8E-13D7C2B6F048";

// The texts above that the wizard shows.
inline WizardTexts wizardTexts()
{
    return WizardTexts{kDeviceName,    kProductName,   kAppName,       kTitle,         kRightsNotice, kVersion,
                       kContributors1, kContributors2, kContributors3, kContributors4, kContributors5};
}

inline constexpr const char* kKnowledgeBaseUrl = "https://support.calvarine.example/varanto-mk2/knowledge-base";
inline constexpr const char* kHomePageUrl = "https://www.calvarine.example/";

} // namespace ApplicationTexts
} // namespace CV
