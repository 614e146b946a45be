#pragma once
// Standard folders by domain and four-character folder type. On Linux:
//   'cusr'  the home folder
//   'docs'  XDG documents folder          0xB5646F63 ('µdoc')  XDG music folder
//   'pdoc'  XDG pictures folder           'apps'  /usr/share/applications
//   'asup'  the first system data folder (XDG_DATA_DIRS, /usr/local/share)
// Other types ('sdat' among them) have no counterpart. The domain is
// accepted for the call's shape only.
#include "BAS/FileName.h"

namespace CV {
namespace BAS {

// Sets out to the folder (split as a colon path); false when the type is
// unknown or the folder does not exist (with create, it is made first).
bool getSystemFolder(short domain, unsigned folderType, FileName& out, bool create);

} // namespace BAS
} // namespace CV
