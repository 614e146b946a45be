#pragma once
// The widget library's process-wide switches and its resource manager.
#include "TOV/Forward.h"

#include <memory>

namespace CV::TOV {

class Lib {
public:
    // Checks the core library's version, opens the region item pool and
    // creates the resource manager. A second init without deInit is a fatal
    // error.
    static bool init();
    // Releases the resource manager and closes the region pool; returns at
    // once when the library was not started.
    static void deInit();
    static bool isInitialized() { return s_initialized; }

    // Whether skin resources are looked for in a "skin" folder beside the
    // bundle or in the working directory before the bundle. Off until the
    // application switches it on; read once, at the first resource request.
    static void setSearchSkinDirectory(bool search) { s_bSearchSkinDirectory = search; }
    static bool getSearchSkinDirectory() { return s_bSearchSkinDirectory; }

    // Whether style-sheet fonts are hinted by default. On: hinted glyphs are
    // crisper at the small sizes of dialog text on common desktop screens.
    static void setFontHinting(bool hinting) { s_bFontHinting = hinting; }
    static bool getFontHinting() { return s_bFontHinting; }

    // Whether the canvases composite translucent drawing the legacy way
    // (Picture::setUseLegacyAlphaCompositing). Off; nothing changes it.
    static bool s_useLegacyAlphaCompositing;

    // The resource manager of the process, filled by the library's start-up.
    static std::unique_ptr<ManagerContainer> s_managerContainer;

private:
    static bool s_initialized;
    static bool s_bSearchSkinDirectory;
    static bool s_bFontHinting;
};

} // namespace CV::TOV
