#pragma once
// The standard folders of the platform's folder lookup (a domain and a
// four-character folder type), found the Linux way:
//
//   'cusr' the user's home                  g_get_home_dir
//   'docs' documents                        XDG documents folder
//   0xB5646F63 ('µdoc') music               XDG music folder
//   'pdoc' pictures                         XDG pictures folder
//   'desk' desktop                          XDG desktop folder
//   'sdat' shared user data                 XDG public-share folder
//   'asup' application support              user domain: XDG data home;
//                                           other domains: /usr/local/share
//   'apps' applications                     /opt
//
// The domain matters only for 'asup'. XDG folders come from the user's
// user-dirs configuration (g_get_user_special_dir).
#include <cstdint>
#include <string>

namespace platform {

class StandardFolders {
public:
    static constexpr std::int16_t kUserDomain = -32763;
    static constexpr std::int16_t kLocalDomain = -32765;
    static constexpr std::int16_t kOnAppropriateDisk = -32767;

    // The folder's POSIX path; false for an unknown type, a folder the user
    // has not configured, or one that does not exist (and is not created
    // because create is false or creating it failed).
    static bool find(std::int16_t domain, std::uint32_t folderType, bool create, std::string& path);
};

} // namespace platform
