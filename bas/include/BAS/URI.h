#pragma once
// Owns one platform URL (possibly none) and converts between file URLs and
// colon-path file names. Bytes of file names pass unchanged both ways.
#include "BAS/CharSequence.h"
#include "platform/cf/CFURL.h"

#include <string>

namespace CV {
namespace BAS {

class FileName;

class URI {
public:
    URI() = default;
    // Keeps and retains the URL (null stays null).
    explicit URI(const CFURLRef& url);
    explicit URI(const FileName& name);
    URI(const URI& other);
    URI& operator=(const URI& other);
    ~URI();

    // A file URL of the name's path; a directory URL for directory names.
    // No URL when the name has no POSIX path.
    void createFileLocation(const FileName& name);
    // A URL of the UTF-8 bytes (no base URL); true when one was made.
    bool createCanonicalLocation(const CharSequence<char>& text);
    // The URL's bytes; "" without a URL.
    std::string get() const;
    CFURLRef url() const { return m_url; }

    // The colon path of a file URL. False (out unchanged) without a URL or
    // path; false with out emptied when the percent-decoded URL is not
    // well-formed UTF-8.
    bool getFileNameString(std::string& out);
    // On success the name becomes that path (mode reset, split again); on
    // failure it is unchanged.
    bool getFileName(FileName& name);

private:
    void reset(CFURLRef url);

    CFURLRef m_url = nullptr;
};

} // namespace BAS
} // namespace CV
