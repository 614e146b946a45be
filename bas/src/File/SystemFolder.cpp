#include "BAS/SystemFolder.h"

#include "BAS/FileTypeMacMagic.h"
#include "BAS/URI.h"
#include "platform/volumes/FileSystemItem.h"

#include <glib.h>

#include <sys/stat.h>

namespace CV {
namespace BAS {

namespace {

std::string userSpecialFolder(GUserDirectory which)
{
    const gchar* folder = g_get_user_special_dir(which);
    return folder ? std::string(folder) : std::string();
}

std::string firstSystemDataFolder()
{
    const gchar* const* folders = g_get_system_data_dirs();
    return folders && folders[0] ? std::string(folders[0]) : std::string();
}

std::string posixFolderOf(unsigned folderType)
{
    switch (folderType) {
    case makeFileTypeMacMagic('c', 'u', 's', 'r'): return g_get_home_dir();
    case makeFileTypeMacMagic('d', 'o', 'c', 's'): return userSpecialFolder(G_USER_DIRECTORY_DOCUMENTS);
    case 0xB5646F63u: return userSpecialFolder(G_USER_DIRECTORY_MUSIC);
    case makeFileTypeMacMagic('p', 'd', 'o', 'c'): return userSpecialFolder(G_USER_DIRECTORY_PICTURES);
    case makeFileTypeMacMagic('a', 'p', 'p', 's'): return "/usr/share/applications";
    case makeFileTypeMacMagic('a', 's', 'u', 'p'): return firstSystemDataFolder();
    default: return std::string();
    }
}

} // namespace

bool getSystemFolder(short /*domain*/, unsigned folderType, FileName& out, bool create)
{
    const std::string folder = posixFolderOf(folderType);
    if (folder.empty())
        return false;
    if (create && !platform::volumes::FileSystemItem::isFolder(folder))
        g_mkdir_with_parents(folder.c_str(), 0755);
    if (!platform::volumes::FileSystemItem::isFolder(folder))
        return false;
    CFURLRef url = platform::cf::URL::createWithPosixPath(folder, true);
    URI uri(url);
    CFRelease(url);
    std::string colon;
    const bool ok = uri.getFileNameString(colon);
    if (ok) {
        out.mode = FileName::eNone;
        out.full = colon;
        out.init();
    }
    return ok;
}

} // namespace BAS
} // namespace CV
