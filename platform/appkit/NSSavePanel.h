#pragma once
// "NSSavePanel" (superclass "NSPanel") and "NSOpenPanel" (superclass
// "NSSavePanel"): file panels run modally by the backend's panel peer
// (scripted answers headless).
//
// Class: savePanel, openPanel. Instance: setTitle:, setPrompt:,
// setMessage:, setDirectoryURL: (a CFURL), setNameFieldStringValue:,
// setAllowedFileTypes: (a CFArray of CFStrings; nil: all),
// setAllowsOtherFileTypes:, setCanCreateDirectories:, setExtensionHidden:,
// setCanChooseFiles:, setCanChooseDirectories:,
// setAllowsMultipleSelection: (the last three for open panels), runModal
// (NSModalResponseOK 1 or NSModalResponseCancel 0), URL (the first chosen
// file as a CFURL the panel owns; null without one), URLs (a CFArray of
// CFURLs the panel owns).
#include <objc/runtime.h>

namespace platform::appkit {

enum : long { NSModalResponseCancel = 0, NSModalResponseOK = 1 };

Class NSSavePanelClass();
Class NSOpenPanelClass();

} // namespace platform::appkit
