// Fuzz target: arbitrary text set as a file name, then split again through
// the calls that rebuild it. No text may read outside itself, and every split
// must leave parts that add up to the full path.
#include "BAS/FileName.h"
#include "BAS/FileTypeManager.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using CV::BAS::FileName;

namespace {

// A volume's name keeps the mode the caller set: the volume is the whole
// path and the directory ":".
bool isVolumeForm(const FileName& name)
{
    return name.volume == name.full && name.directory == ":" && name.name.empty() && name.extension.empty();
}

void checkParts(const FileName& name)
{
    if (isVolumeForm(name))
        return;
    if (name.mode == FileName::eFile || name.mode == FileName::eDirectory) {
        if (name.volume + name.directory + name.name + name.extension != name.full)
            std::abort();
    }
    if (name.mode == FileName::eDirectory && (!name.name.empty() || !name.extension.empty() || !name.subpath.empty()))
        std::abort();
    if (name.mode == FileName::eVolume && name.volume != name.full)
        std::abort();
    if (!name.subpath.empty() && name.subpath.front() != '<')
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool typesReady = (CV::BAS::FileTypeManager::init(), true);
    (void)typesReady;
    // A copy of exactly the input's size, so that a read past its end is seen.
    const std::string text(reinterpret_cast<const char*>(data), size);

    FileName name(text);
    checkParts(name);
    (void)name.getSystemPath(false, true);

    // The text split at its middle byte: the first half as a folder of the
    // name, the second as a name of its own.
    FileName moved(text.substr(size / 2));
    moved.setPath(text.substr(0, size / 2), FileName::eWithoutVolume);
    checkParts(moved);
    moved.setPath(text.substr(0, size / 2), FileName::eWithVolumeInPath);
    checkParts(moved);

    const std::string colon = FileName::POSIX2HFSPath(reinterpret_cast<const unsigned char*>(text.c_str()));
    FileName fromPosix(colon);
    checkParts(fromPosix);
    return 0;
}
