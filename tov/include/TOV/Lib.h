#pragma once
// The widget library's process-wide switches and its resource manager.
#include "TOV/Forward.h"

#include <memory>

namespace CV::TOV {

class Lib {
public:
    // Whether skin resources are looked for in a "skin" folder beside the
    // bundle or in the working directory before the bundle. Off until the
    // application switches it on; read once, at the first resource request.
    static void setSearchSkinDirectory(bool search) { s_bSearchSkinDirectory = search; }
    static bool getSearchSkinDirectory() { return s_bSearchSkinDirectory; }

    // Whether style-sheet fonts are hinted by default. On: hinted glyphs are
    // crisper at the small sizes of dialog text on common desktop screens.
    static void setFontHinting(bool hinting) { s_bFontHinting = hinting; }
    static bool getFontHinting() { return s_bFontHinting; }

    // The resource manager of the process, filled by the library's start-up.
    static std::unique_ptr<ManagerContainer> s_managerContainer;

private:
    static bool s_bSearchSkinDirectory;
    static bool s_bFontHinting;
};

} // namespace CV::TOV
