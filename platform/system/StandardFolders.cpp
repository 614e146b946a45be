#include "platform/system/StandardFolders.h"

#include <glib.h>
#include <glib/gstdio.h>

namespace platform {

namespace {

constexpr std::uint32_t code(const char (&text)[5])
{
    return (std::uint32_t(std::uint8_t(text[0])) << 24) | (std::uint32_t(std::uint8_t(text[1])) << 16) |
        (std::uint32_t(std::uint8_t(text[2])) << 8) | std::uint32_t(std::uint8_t(text[3]));
}

constexpr std::uint32_t kMusicFolder = 0xB5646F63;

std::string special(GUserDirectory directory)
{
    const char* path = g_get_user_special_dir(directory);
    return path ? path : "";
}

std::string folderPath(std::int16_t domain, std::uint32_t folderType)
{
    switch (folderType) {
    case code("cusr"): return g_get_home_dir();
    case code("docs"): return special(G_USER_DIRECTORY_DOCUMENTS);
    case kMusicFolder: return special(G_USER_DIRECTORY_MUSIC);
    case code("pdoc"): return special(G_USER_DIRECTORY_PICTURES);
    case code("desk"): return special(G_USER_DIRECTORY_DESKTOP);
    case code("sdat"): return special(G_USER_DIRECTORY_PUBLIC_SHARE);
    case code("asup"): return domain == StandardFolders::kUserDomain ? g_get_user_data_dir() : "/usr/local/share";
    case code("apps"): return "/opt";
    default: return "";
    }
}

} // namespace

bool StandardFolders::find(std::int16_t domain, std::uint32_t folderType, bool create, std::string& path)
{
    const std::string found = folderPath(domain, folderType);
    if (found.empty())
        return false;
    if (!g_file_test(found.c_str(), G_FILE_TEST_IS_DIR) && (!create || g_mkdir_with_parents(found.c_str(), 0755) != 0))
        return false;
    path = found;
    return true;
}

} // namespace platform
