#include "style/SkinFile.h"

#include "BAS/FileStream.h"
#include "platform/system/SmallFile.h"

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <system_error>

namespace CV::TOV {

namespace {

void failedWith(SkinFile::tOpened& opened, platform::SmallFile::Outcome const& outcome)
{
    bool const missing = outcome.failure == platform::SmallFile::Failure::Missing;
    opened.outcome = missing ? SkinFile::eOutcome::eMissing : SkinFile::eOutcome::eUnreadable;
    opened.problem = outcome.reason();
}

// The part files a container file may go on in (pack.part1, pack.part2,
// ... beside pack.bin), as far as they exist: each must be a regular file
// like the container, since reading the item may open any of them.
platform::SmallFile::Outcome checkParts(std::filesystem::path const& container, std::size_t maxBytes, std::string& part)
{
    for (int index = 1;; ++index) {
        std::filesystem::path const next =
            container.parent_path() / (container.stem().string() + ".part" + std::to_string(index));
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(next, error)))
            return platform::SmallFile::Outcome{platform::SmallFile::Failure::None, 0, maxBytes};
        platform::SmallFile::Outcome const outcome =
            platform::SmallFile::check(next.string(), maxBytes, platform::SmallFile::Links::Refuse);
        if (!outcome) {
            part = next.string();
            return outcome;
        }
    }
}

} // namespace

SkinFile::SkinFile(std::string bytes)
    : m_bytes(std::move(bytes))
{
    init(BAS::IStorage::eAccessRead, m_bytes.data(), m_bytes.size());
}

bool SkinFile::liesBelow(std::filesystem::path const& item, std::filesystem::path const& folder)
{
    std::filesystem::path const below = item.lexically_relative(folder);
    return !below.empty() && below != "." && *below.begin() != "..";
}

SkinFile::tOpened SkinFile::open(std::filesystem::path const& item, std::filesystem::path const& folder,
                                 std::string const& subpath)
{
    tOpened opened;
    std::error_code error;
    std::filesystem::path const realFolder = std::filesystem::canonical(folder, error);
    if (error)
        return opened;
    opened.realPath = std::filesystem::canonical(item, error);
    if (error) {
        bool const missing = error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
        opened.outcome = missing ? eOutcome::eMissing : eOutcome::eUnreadable;
        opened.problem = error.message();
        return opened;
    }
    if (!liesBelow(opened.realPath, realFolder)) {
        opened.outcome = eOutcome::eOutside;
        return opened;
    }
    read(opened, subpath, eLinks::eRefuse);
    return opened;
}

SkinFile::tOpened SkinFile::openAnywhere(std::filesystem::path const& path, std::string const& subpath)
{
    tOpened opened;
    opened.realPath = path;
    read(opened, subpath, eLinks::eFollow);
    return opened;
}

// Reads opened.realPath, or the item subpath names in it.
void SkinFile::read(tOpened& opened, std::string const& subpath, eLinks links)
{
    std::string const path = opened.realPath.string();
    platform::SmallFile::Links const smallLinks =
        links == eLinks::eFollow ? platform::SmallFile::Links::Follow : platform::SmallFile::Links::Refuse;
    std::string bytes;
    if (subpath.empty()) {
        platform::SmallFile::Outcome const outcome = platform::SmallFile::read(path, kMaxBytes, bytes, smallLinks);
        if (!outcome) {
            failedWith(opened, outcome);
            return;
        }
    } else {
        platform::SmallFile::Outcome const outcome = platform::SmallFile::check(path, kMaxBytes, smallLinks);
        if (!outcome) {
            failedWith(opened, outcome);
            return;
        }
        std::string part;
        platform::SmallFile::Outcome const parts = checkParts(opened.realPath, kMaxBytes, part);
        if (!parts) {
            opened.outcome = eOutcome::eUnreadable;
            opened.problem = "its part " + part + ": " + parts.reason();
            return;
        }
        if (!readItem(path, subpath, bytes, opened))
            return;
    }
    opened.outcome = eOutcome::eRead;
    opened.problem.clear();
    opened.file = std::make_shared<SkinFile>(std::move(bytes));
}

// Reads the item of a regular container file into bytes; false with the
// outcome set when there is none or it is too large (its parts together may
// be larger than the first).
bool SkinFile::readItem(std::string const& container, std::string const& subpath, std::string& bytes, tOpened& opened)
{
    BAS::FileName item{boost::filesystem::path(container)};
    item.setFull(item.full + subpath);
    BAS::FileStream stream;
    stream.open(item, BAS::IStorage::eAccessRead, BAS::IStorage::eLockNone);
    BAS::IStorage* storage = stream.getStorage();
    if (!storage || !storage->isUsable()) {
        opened.outcome = eOutcome::eMissing;
        return false;
    }
    storage->seek64(0, BAS::IStorage::eSeekEnd);
    int64_t const size = storage->getPos64();
    if (size < 0 || uint64_t(size) > kMaxBytes) {
        opened.outcome = eOutcome::eUnreadable;
        opened.problem = size < 0 ? "its item cannot be read" : "larger than " + std::to_string(kMaxBytes) + " bytes";
        return false;
    }
    bytes.assign(std::size_t(size), '\0');
    storage->seek64(0, BAS::IStorage::eSeekBegin);
    if (size > 0 && stream.readRaw(bytes.data(), bytes.size()) != bytes.size()) {
        opened.outcome = eOutcome::eUnreadable;
        opened.problem = "its item cannot be read";
        return false;
    }
    return true;
}

} // namespace CV::TOV
