#pragma once
// The process-wide registry of file types and file-type groups.
//
// init() registers 16 standard types and 5 standard groups (each type also
// gets a group of its own, so the registry then holds 16 types and 20
// groups); deInit() removes everything and clears the standard slots.
// Types and groups can be added only while a registration is open;
// registrations are undone last first with unregister().
//
// Lookups by extension or code give the one type carrying it, the
// "Unknown" type when none does, and null when several do (or before
// init). Extensions match ignoring case; one that is not well-formed UTF-8
// matches no type.
#include "BAS/FileTypeDescr.h"
#include "BAS/FileTypeGroupDescr.h"
#include "BAS/FileTypeMacMagic.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace CV {
namespace BAS {

class FileName;

namespace DETAIL {
// Guards the owning vectors and every descriptor's lists.
extern std::mutex s_mtxTypesGroups;
} // namespace DETAIL

class FileTypeManager {
public:
    enum eStdFileType : int32_t {
        eUnknown = 0,
        eDirectory,
        eVolume,
        eWAV,
        eAIFF,
        eSD2,
        eMIDI,
        eExecutable,
        eDynamicLibrary,
        eGIF,
        eBitmap,
        ePicture,
        eJPEG,
        ePNG,
        eTrueTypeFont,
        eXML,
        eNumStdFileTypes
    };

    enum eStdGroupType : int32_t {
        eGroupAllFiles = 0,
        eGroupAudio,
        eGroupSample,
        eGroupBitmap,
        eGroupMidi,
        eNumStdGroupTypes
    };

    struct RegistrationHandle {
        int32_t number = -1;
        int32_t typePosition = -1;
        int32_t groupPosition = -1;
    };

    // Builds the standard types and groups once; always true.
    static bool init();
    static void deInit();

    static const FileTypeDescr* registerType(const char* name, const char* pluralName, const char* extension,
                                             const FileTypeMacMagic& code);
    static FileTypeGroupDescr* registerGroup(const char* name, const char* pluralName);
    static void registerExtensionForType(const char* extension, const FileTypeDescr* type);
    // Undoes the latest closed registration; anything else changes nothing.
    static void unregister(RegistrationHandle& handle);

    static const FileTypeDescr* getUniqueTypeForExtension(const std::string& extension);
    static const FileTypeDescr* getUniqueTypeForMacMagic(const FileTypeMacMagic& code);

    // Sets the type of a file-mode name from its extension and, when that
    // gives no known type, from the item its path names ("Directory" for a
    // folder); true when the type changed. Other names give false.
    static bool determineType(FileName& name);

    static const FileTypeDescr* getStdType(eStdFileType type);
    static const FileTypeGroupDescr* getStdGroup(eStdGroupType group);
    // The group itself, or the all-files group for null.
    static const FileTypeGroupDescr* getGroupDescrFor(const FileTypeGroupDescr* group);

    static std::vector<std::unique_ptr<FileTypeDescr>> s_registeredTypes;
    static std::vector<std::unique_ptr<FileTypeGroupDescr>> s_registeredGroups;
    static bool s_initialized;
    static int32_t s_registrationCount;
    static int32_t s_currentRegistrationPosType;
    static int32_t s_currentRegistrationPosGroup;
    static RegistrationHandle s_stdRegistration;
    static std::vector<const FileTypeDescr*> s_stdTypes;
    static std::vector<const FileTypeGroupDescr*> s_stdGroups;

    FileTypeManager() = delete;

private:
    static RegistrationHandle openRegistration();
    static void closeRegistration(const RegistrationHandle& handle);
    static bool isRegistrationOpen();
    static void addMacMagicForType(const FileTypeMacMagic& code, const FileTypeDescr* type);
    static void registerStdTypes();
    static void registerStdGroups();
};

} // namespace BAS
} // namespace CV
