// Fuzz target: arbitrary text read as a colon path and as a POSIX path,
// against a small table of volumes (one of them named with a '/'). Each
// conversion must stay inside its text and give a path of the promised form.
#include "platform/volumes/ColonPath.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using platform::volumes::ColonPath;
using platform::volumes::Volume;

namespace {

const std::vector<Volume>& volumes()
{
    static const std::vector<Volume> table = [] {
        std::vector<Volume> out(3);
        out[0].name = "Computer";
        out[0].mountPoint = "/";
        out[0].isBoot = true;
        out[1].name = "USB";
        out[1].mountPoint = "/media/me/USB";
        out[2].name = "a/b";
        out[2].mountPoint = "/mnt/a:b";
        return out;
    }();
    return table;
}

bool hasVolumeNameFirst(const std::string& colon)
{
    for (const Volume& volume : volumes()) {
        if (colon.compare(0, volume.name.size(), volume.name) == 0 &&
            (colon.size() == volume.name.size() || colon[volume.name.size()] == ':'))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input's size, so that a read past its end is seen.
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::string posix;
    if (ColonPath::toPosix(text, posix, volumes())) {
        if (posix.empty() || (posix.size() > 1 && posix.back() == '/'))
            std::abort();
        std::string colon;
        if (posix.front() == '/' && (!ColonPath::fromPosix(posix, colon, volumes()) || !hasVolumeNameFirst(colon)))
            std::abort();
    }

    const std::string absolute = ColonPath::normalisedAbsolute(text);
    if (!absolute.empty()) {
        if (absolute.front() != '/' || (absolute.size() > 1 && absolute.back() == '/') ||
            absolute.find("//") != std::string::npos)
            std::abort();
    }
    std::string colon;
    if (ColonPath::fromPosix(text, colon, volumes())) {
        if (!hasVolumeNameFirst(colon) || colon.back() == ':')
            std::abort();
    }
    return 0;
}
