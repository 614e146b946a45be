// Fuzz target: arbitrary text decoded as a URI and made into a URL, whose
// file name is then asked for; and the text as a file name made into a file
// URL and read back. Nothing may read outside the texts.
#include "BAS/DecodeURI.h"
#include "BAS/FileName.h"
#include "BAS/FileTypeManager.h"
#include "BAS/URI.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using CV::BAS::FileName;
using CV::BAS::URI;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool typesReady = (CV::BAS::FileTypeManager::init(), true);
    (void)typesReady;
    // A copy of exactly the input's size, so that a read past its end is seen.
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Decoding only ever shortens the text.
    if (CV::BAS::util::decodeURI(text).size() > size)
        std::abort();

    URI location;
    if (location.createCanonicalLocation(CV::BAS::CharSequence<char>(text.data(), text.size()))) {
        (void)location.get();
        FileName name;
        location.getFileName(name);
    }

    URI fileLocation{FileName(text)};
    const std::string url = fileLocation.get();
    URI again;
    if (!url.empty() && again.createCanonicalLocation(CV::BAS::CharSequence<char>(url.data(), url.size()))) {
        FileName name;
        again.getFileName(name);
    }
    return 0;
}
