#include "BAS/FileTypeManager.h"

#include "CaselessName.h"

#include <algorithm>

namespace CV {
namespace BAS {

namespace DETAIL {
std::mutex s_mtxTypesGroups;
} // namespace DETAIL

std::vector<std::unique_ptr<FileTypeDescr>> FileTypeManager::s_registeredTypes;
std::vector<std::unique_ptr<FileTypeGroupDescr>> FileTypeManager::s_registeredGroups;
bool FileTypeManager::s_initialized = false;
int32_t FileTypeManager::s_registrationCount = 0;
int32_t FileTypeManager::s_currentRegistrationPosType = -1;
int32_t FileTypeManager::s_currentRegistrationPosGroup = -1;
FileTypeManager::RegistrationHandle FileTypeManager::s_stdRegistration;
std::vector<const FileTypeDescr*> FileTypeManager::s_stdTypes(eNumStdFileTypes, nullptr);
std::vector<const FileTypeGroupDescr*> FileTypeManager::s_stdGroups(eNumStdGroupTypes, nullptr);

namespace {

using Lock = std::lock_guard<std::mutex>;

struct StdTypeRow {
    const char* name;
    const char* pluralName;
    std::vector<const char*> extensions;
    std::vector<FileTypeMacMagic> codes;
};

FileTypeMacMagic code(const char (&text)[5])
{
    return makeFileTypeMacMagic(text[0], text[1], text[2], text[3]);
}

// In the order of eStdFileType.
std::vector<StdTypeRow> stdTypeRows()
{
    return {
        {"Unknown", "All Files", {"*"}, {code("????")}},
        {"Directory", "Directories", {"*"}, {code("????")}},
        {"Volume", "Volumes", {"*"}, {code("????")}},
        {"WAV File", "WAV Files", {"wav"}, {code("WAVE"), code("WAV "), code(".WAV")}},
        {"AIFF File", "AIFF Files", {"aif", "aiff"}, {code("AIFF")}},
        {"SD2 File", "SD2 Files", {"sd2"}, {code("Sd2f")}},
        {"MIDI File", "MIDI Files", {"mid"}, {code("Midi")}},
        {"Executable File", "Executable Files", {"app"}, {code("APPL")}},
        {"Dynamic Link Library", "Dynamic Link Libraries", {"dylib"}, {code("BNDL"), code("aPcs")}},
        {"GIF File", "GIF Files", {"gif"}, {code("GIF ")}},
        {"Bitmap File", "Bitmap Files", {"bmp"}, {code("BMPf")}},
        {"Picture File", "Picture Files", {"pic"}, {code("PICT")}},
        {"JPEG File", "JPEG Files", {"jpeg", "jpg", "jpe", "jfif", "jif"}, {code("JPEG")}},
        {"PNG File", "PNG Files", {"png"}, {code("PNGf")}},
        {"True Type Font", "True Type Fonts", {"ttf"}, {code("tfil")}},
        {"XML File", "XML Files", {"xml"}, {code("????")}},
    };
}

// The one type among all that matches, "Unknown" for none, null for several.
template <typename Matches> const FileTypeDescr* uniqueType(const Matches& matches)
{
    const FileTypeDescr* found = nullptr;
    for (const auto& type : FileTypeManager::s_registeredTypes) {
        if (!matches(*type))
            continue;
        if (found)
            return nullptr;
        found = type.get();
    }
    return found ? found : FileTypeManager::s_stdTypes[FileTypeManager::eUnknown];
}

} // namespace

bool FileTypeManager::isRegistrationOpen()
{
    return s_currentRegistrationPosType >= 0 && s_currentRegistrationPosGroup >= 0;
}

FileTypeManager::RegistrationHandle FileTypeManager::openRegistration()
{
    if (isRegistrationOpen())
        return RegistrationHandle();
    Lock lock(DETAIL::s_mtxTypesGroups);
    s_currentRegistrationPosType = int32_t(s_registeredTypes.size());
    s_currentRegistrationPosGroup = int32_t(s_registeredGroups.size());
    return RegistrationHandle{s_registrationCount++, s_currentRegistrationPosType, s_currentRegistrationPosGroup};
}

void FileTypeManager::closeRegistration(const RegistrationHandle& handle)
{
    if (handle.number >= 0 && handle.typePosition == s_currentRegistrationPosType &&
        handle.groupPosition == s_currentRegistrationPosGroup && s_registrationCount == handle.number + 1) {
        s_currentRegistrationPosType = -1;
        s_currentRegistrationPosGroup = -1;
    }
}

void FileTypeManager::unregister(RegistrationHandle& handle)
{
    if (handle.number < 0 || isRegistrationOpen() || s_registrationCount != handle.number + 1 ||
        handle.typePosition < 0 || handle.groupPosition < 0)
        return;
    {
        Lock lock(DETAIL::s_mtxTypesGroups);
        if (s_registeredGroups.size() > std::size_t(handle.groupPosition))
            s_registeredGroups.resize(std::size_t(handle.groupPosition));
        if (s_registeredTypes.size() > std::size_t(handle.typePosition))
            s_registeredTypes.resize(std::size_t(handle.typePosition));
    }
    --s_registrationCount;
    handle = RegistrationHandle();
}

FileTypeGroupDescr* FileTypeManager::registerGroup(const char* name, const char* pluralName)
{
    if (!s_initialized || !isRegistrationOpen())
        return nullptr;
    auto group = std::make_unique<FileTypeGroupDescr>();
    group->name = name ? name : "";
    group->pluralName = pluralName ? pluralName : "";
    Lock lock(DETAIL::s_mtxTypesGroups);
    s_registeredGroups.push_back(std::move(group));
    return s_registeredGroups.back().get();
}

const FileTypeDescr* FileTypeManager::registerType(const char* name, const char* pluralName, const char* extension,
                                                   const FileTypeMacMagic& code)
{
    if (!s_initialized || !isRegistrationOpen())
        return nullptr;
    FileTypeGroupDescr* group = registerGroup(name, pluralName);
    FileTypeDescr* type = nullptr;
    {
        auto descr = std::make_unique<FileTypeDescr>();
        descr->name = name ? name : "";
        descr->pluralName = pluralName ? pluralName : "";
        descr->group = group;
        Lock lock(DETAIL::s_mtxTypesGroups);
        s_registeredTypes.push_back(std::move(descr));
        type = s_registeredTypes.back().get();
    }
    registerExtensionForType(extension, type);
    addMacMagicForType(code, type);
    {
        Lock lock(DETAIL::s_mtxTypesGroups);
        const bool groupRegistered =
            std::any_of(s_registeredGroups.begin(), s_registeredGroups.end(),
                        [group](const std::unique_ptr<FileTypeGroupDescr>& g) { return g.get() == group; });
        if (group && groupRegistered)
            group->types.push_back(type);
    }
    return type;
}

void FileTypeManager::registerExtensionForType(const char* extension, const FileTypeDescr* type)
{
    if (!extension || !type)
        return;
    Lock lock(DETAIL::s_mtxTypesGroups);
    for (auto& registered : s_registeredTypes) {
        if (registered.get() == type) {
            registered->extensions.emplace_back(extension);
            return;
        }
    }
}

void FileTypeManager::addMacMagicForType(const FileTypeMacMagic& code, const FileTypeDescr* type)
{
    Lock lock(DETAIL::s_mtxTypesGroups);
    for (auto& registered : s_registeredTypes) {
        if (registered.get() == type) {
            registered->macMagics.push_back(code);
            return;
        }
    }
}

void FileTypeManager::registerStdTypes()
{
    const std::vector<StdTypeRow> rows = stdTypeRows();
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const StdTypeRow& row = rows[index];
        const FileTypeDescr* type = registerType(row.name, row.pluralName, row.extensions.front(), row.codes.front());
        s_stdTypes[index] = type;
        for (std::size_t e = 1; e < row.extensions.size(); ++e)
            registerExtensionForType(row.extensions[e], type);
        for (std::size_t c = 1; c < row.codes.size(); ++c)
            addMacMagicForType(row.codes[c], type);
    }
}

void FileTypeManager::registerStdGroups()
{
    const FileTypeDescr* unknown = s_stdTypes[eUnknown];
    s_stdGroups[eGroupAllFiles] = unknown ? unknown->group : nullptr;

    auto addMembers = [](FileTypeGroupDescr* group, std::initializer_list<eStdFileType> members) {
        if (!group)
            return;
        Lock lock(DETAIL::s_mtxTypesGroups);
        for (eStdFileType member : members)
            group->types.push_back(s_stdTypes[member]);
    };
    FileTypeGroupDescr* audio = registerGroup("Audio File", "Audio Files");
    addMembers(audio, {eWAV, eAIFF, eSD2});
    s_stdGroups[eGroupAudio] = audio;
    s_stdGroups[eGroupSample] = registerGroup("Sample File", "Sample Files");
    s_stdGroups[eGroupBitmap] = registerGroup("Bitmap File", "Bitmap Files");
    FileTypeGroupDescr* midi = registerGroup("Midi Sequence", "Midi Sequences");
    addMembers(midi, {eMIDI});
    s_stdGroups[eGroupMidi] = midi;
}

bool FileTypeManager::init()
{
    if (s_initialized)
        return true;
    s_initialized = true;
    s_stdRegistration = openRegistration();
    registerStdTypes();
    registerStdGroups();
    closeRegistration(s_stdRegistration);
    return true;
}

void FileTypeManager::deInit()
{
    if (!s_initialized)
        return;
    unregister(s_stdRegistration);
    {
        Lock lock(DETAIL::s_mtxTypesGroups);
        s_registeredTypes.clear();
        s_registeredGroups.clear();
    }
    // The descriptors are gone: lookups after this must give null.
    std::fill(s_stdTypes.begin(), s_stdTypes.end(), nullptr);
    std::fill(s_stdGroups.begin(), s_stdGroups.end(), nullptr);
    s_initialized = false;
}

const FileTypeDescr* FileTypeManager::getUniqueTypeForExtension(const std::string& extension)
{
    const bool comparable = DETAIL::CaselessName::isWellFormedUtf8(extension);
    Lock lock(DETAIL::s_mtxTypesGroups);
    return uniqueType([&](const FileTypeDescr& type) {
        return comparable && std::any_of(type.extensions.begin(), type.extensions.end(), [&](const std::string& e) {
                   return DETAIL::CaselessName::equal(e, extension);
               });
    });
}

const FileTypeDescr* FileTypeManager::getUniqueTypeForMacMagic(const FileTypeMacMagic& code)
{
    const FileTypeDescr* unknown = s_stdTypes[eUnknown];
    if (!unknown)
        return nullptr;
    if (!unknown->macMagics.empty() && code == unknown->macMagics.front())
        return unknown;
    Lock lock(DETAIL::s_mtxTypesGroups);
    return uniqueType([&](const FileTypeDescr& type) {
        return std::find(type.macMagics.begin(), type.macMagics.end(), code) != type.macMagics.end();
    });
}

const FileTypeDescr* FileTypeManager::getStdType(eStdFileType type)
{
    return type >= 0 && type < eNumStdFileTypes ? s_stdTypes[std::size_t(type)] : nullptr;
}

const FileTypeGroupDescr* FileTypeManager::getStdGroup(eStdGroupType group)
{
    return group >= 0 && group < eNumStdGroupTypes ? s_stdGroups[std::size_t(group)] : nullptr;
}

const FileTypeGroupDescr* FileTypeManager::getGroupDescrFor(const FileTypeGroupDescr* group)
{
    return group ? group : s_stdGroups[eGroupAllFiles];
}

} // namespace BAS
} // namespace CV
