#pragma once
// Shortens a UTF-8 text so that it fits a width. The cropper knows no fonts:
// the caller measures through two callbacks, in its own unit.
//   widthOf(p)         width of the NUL-terminated text at p;
//   prefixBytes(p, w)  bytes at the start of p whose whole code points fit
//                      into w (never splitting a code point).
//
// The mode picks the strategy:
//   0 (and any value outside 1..11)  the text unchanged
//   1  keep the start, ellipsis at the end        cropStringAppend
//   2  keep the end, ellipsis at the start        cropStringPrepend
//   3  colon path: keep first and last parts      cropStringFileName
//   4  as 3, a system folder shown by its alias   cropStringFileName
//   5  as 3, one trailing ':' dropped             cropStringFileName
//   6  as 4 and 5 together                        cropStringFileName
//   7  compress characters                        cropStringShrink
//   8  compress words                             cropStringShrink2
//   9  abbreviations, then as 8                   cropStringShrink3
//  10  keep start and end, ellipsis in between    cropStringMiddle
//  11  balanced cut around the ellipsis           cropStringMiddle2
//
// Texts are walked by code point; malformed UTF-8 throws std::out_of_range.
// An empty callback throws std::bad_function_call when it is needed.
// Main thread only (the folder alias table is filled behind a plain flag).
#include "BAS/CharSequence.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace CV {
namespace BAS {

class FileName;

class StringCropper {
public:
    using WidthOf = std::function<int(const char*)>;
    using PrefixBytes = std::function<int(const char*, int)>;

    // Longer keys first, so that a word is abbreviated before its parts;
    // keys of equal length in byte order.
    struct AbbreviationCompare {
        bool operator()(const std::string& a, const std::string& b) const;
    };

    StringCropper() = default;

    std::string cropString(const CharSequence<char>& text, int width, const WidthOf& widthOf,
                           const PrefixBytes& prefixBytes) const;

    std::string cropStringAppend(const CharSequence<char>& text, const WidthOf& widthOf, const PrefixBytes& prefixBytes,
                                 int width) const;
    std::string cropStringPrepend(const CharSequence<char>& text, const WidthOf& widthOf,
                                  const PrefixBytes& prefixBytes, int width) const;
    std::string cropStringFileName(const CharSequence<char>& text, const WidthOf& widthOf,
                                   const PrefixBytes& prefixBytes, int width) const;
    std::string cropStringShrink(const CharSequence<char>& text, const WidthOf& widthOf, const PrefixBytes& prefixBytes,
                                 int width) const;
    std::string cropStringShrink2(const CharSequence<char>& text, const WidthOf& widthOf,
                                  const PrefixBytes& prefixBytes, int width) const;
    std::string cropStringShrink3(const CharSequence<char>& text, const WidthOf& widthOf,
                                  const PrefixBytes& prefixBytes, int width) const;
    std::string cropStringMiddle(const CharSequence<char>& text, const WidthOf& widthOf, const PrefixBytes& prefixBytes,
                                 int width) const;
    std::string cropStringMiddle2(const CharSequence<char>& text, const WidthOf& widthOf,
                                  const PrefixBytes& prefixBytes, int width) const;

    // Fills the folder alias table from the system folders, once per process.
    static void initFileNameAliasMap();
    // Adds the alias "[name]" of a folder under its colon path (no final ':').
    static void addAlias(const FileName& folder);

    int32_t mode = 0;
    std::string ellipsis;
    std::map<std::string, std::string, AbbreviationCompare> abbreviations;

    // Colon path of a system folder -> its alias ("[Documents]").
    static std::map<std::string, std::string> s_mapSymbolicFolders;
    static bool s_bSymbolicFoldersInitialized;

private:
    std::string replaceFolderByAlias(const std::string& path) const;
};

} // namespace BAS
} // namespace CV
