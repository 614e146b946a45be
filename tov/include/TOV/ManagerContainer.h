#pragma once
// Finds, opens and caches the skin resources: style sheets, pictures and
// fonts, from a "skin" folder beside the bundle or in the working directory,
// or else from the bundle and its linked resources.
#include "TOV/Forward.h"
#include "TOV/LazyPicture.h"
#include "TOV/SkinFileOutcome.h"

#include "BAS/CharSequence.h"
#include "BAS/FileName.h"
#include "FEN/Font.h"
#include "FEN/PictureProperties.h"

#include <boost/filesystem/path.hpp>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace CV::BAS {
class Stream;
}
namespace CV::FEN {
class Picture;
}

namespace CV::TOV {

class ManagerContainer {
public:
    enum eResourceType : int32_t { ePicture = 0, eStyleSheet = 1, eFont = 2 };
    enum eResourceMode : int32_t { eUndecided = 0, eBundle = 1, eSkinFolder = 2 };

    static const char* const s_pResTypePath[]; // folder of each type, null-ended
    static const char* const s_pResTypes[]; // linked-resource type of each type, null-ended

    // Where the running program lies; the defaults ask the core library.
    struct tLocations {
        std::function<boost::filesystem::path()> bundlePath;
        std::function<bool(BAS::FileName& folder)> currentDirectory;
        void* bundle = nullptr; // for the linked resources; null: the running bundle
    };

    struct tPictureKey {
        std::string name;
        FEN::PictureProperties properties;
        // By name, then frames, fixed top, bottom, left, right, orientation
        // and the two resizable bits; the alpha flag is not part of the key.
        bool operator<(tPictureKey const& other) const;
    };

    ManagerContainer();
    explicit ManagerContainer(tLocations locations);
    ~ManagerContainer();
    ManagerContainer(ManagerContainer const&) = delete;
    ManagerContainer& operator=(ManagerContainer const&) = delete;

    // The container of the widget library; null before its start-up.
    static ManagerContainer* get();

    StyleSheetManager& getStyleSheetManager() { return *m_styleSheetManager; }

    // Decides once where resources come from: a "skin" folder beside the
    // bundle, else one in the working directory, when it is there and
    // belongs to the user or root, with nobody else able to change it
    // (platform::FolderTrust); else the bundle. A folder passed over for its
    // owner or permissions is said on standard error.
    void checkResourcesLocation();
    eResourceMode getResourceMode() const { return m_resourceMode; }
    BAS::FileName const& getSkinFolder() const { return m_skinFolder; }

    // A resource looked up, and why it is missing when it is.
    struct tResource {
        std::shared_ptr<BAS::Stream> stream; // null unless read
        std::string path; // the POSIX path looked at last (the name for a linked resource)
        SkinFileOutcome outcome = SkinFileOutcome::eMissing; // eOutside: refused and said already
        std::string problem; // why it could not be read (eUnreadable)
    };

    // The named resource of the type ('/' separates folders). A skin file is
    // read only when its name leads into the skin folder, symbolic links
    // resolved; one leading outside is refused and, with warn set, said on
    // standard error. A picture or font that is there but cannot be read (a
    // folder, fifo or device, too large, no permission) is said there too; a
    // style sheet's reader says that with where it was asked for. With warn
    // set a missing resource is logged.
    tResource findResource(BAS::CharSequence<char> const& name, eResourceType type, bool warn);
    // The stream of findResource, or null.
    std::shared_ptr<BAS::Stream> getResourceStream(BAS::CharSequence<char> const& name, eResourceType type, bool warn);

    // Says on standard error that a skin file is refused (SkinRefusal::report)
    // or a remark about the skin (SkinRefusal::remark); each text once.
    void reportRefusal(std::string const& what);
    void reportRemark(std::string const& what);
    // The most lines remembered as said.
    static constexpr std::size_t kMaxRemembered = 4096;

    // Empty name, resource 1, 12 pixels, hinted when the library hints fonts.
    FEN::Font::CreateData const& getDefaultFontData() const;
    // The cached font of that data, made on first use; null when it cannot
    // be made or has no glyphs (asked again next time).
    FEN::Font const* getFont(FEN::Font::CreateData const& data);
    // The font of that data, or the default font when that cannot be made.
    FEN::Font const* getFontOrDefault(FEN::Font::CreateData const& data);

    // A picture read when it is first drawn, per backing scale.
    LazyPicture getImage(std::string const& name, FEN::PictureProperties const& properties);
    // Reads and decodes the picture resource path into picture (made when
    // null) and applies the properties with the fixed borders scaled; null
    // on failure. A missing file is logged only at scale 1.
    std::shared_ptr<FEN::Picture>& loadImage(std::shared_ptr<FEN::Picture>& picture, std::string const& path,
                                             FEN::PictureProperties const& properties, float scale);

private:
    struct tFontDataLess {
        bool operator()(FEN::Font::CreateData const& a, FEN::Font::CreateData const& b) const;
    };

    bool firstTimeSaid(std::string const& line);
    bool mayUseSkinFolder(boost::filesystem::path const& folder);
    tResource fromSkinFolder(std::string const& file, std::string const& skinFolder, std::string const& name,
                             eResourceType type, bool warn);
    tResource fromBundle(std::string const& name, std::string const& path, eResourceType type, bool warn);
    tResource refusedIfUnreadable(tResource found, eResourceType type);
    void refuseOutside(std::string const& name, eResourceType type, std::string const& skinFolder,
                       std::string const& leadsTo, bool warn);
    std::shared_ptr<FEN::Picture const> loadCachedImage(std::string const& name,
                                                        FEN::PictureProperties const& properties, float scale);

    std::unique_ptr<StyleSheetManager> m_styleSheetManager;
    eResourceMode m_resourceMode = eUndecided;
    BAS::FileName m_skinFolder;
    std::string m_skinFolderPath; // colon path ending with the separator
    std::map<FEN::Font::CreateData, std::shared_ptr<FEN::Font>, tFontDataLess> m_fontCache;
    std::map<tPictureKey, std::shared_ptr<FEN::Picture>> m_pictureCache;
    std::set<std::string> m_said; // the lines said on standard error
    tLocations m_locations;
};

} // namespace CV::TOV
