#include "style/SkinFile.h"

#include "platform/system/SmallFile.h"

#include <system_error>

namespace CV::TOV {

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

SkinFile::tOpened SkinFile::open(std::filesystem::path const& item, std::filesystem::path const& folder, bool read)
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
    if (!read) {
        opened.outcome = eOutcome::eFound;
        return opened;
    }
    std::string bytes;
    platform::SmallFile::Outcome const outcome =
        platform::SmallFile::read(opened.realPath.string(), kMaxBytes, bytes, platform::SmallFile::Links::Refuse);
    if (!outcome) {
        opened.outcome =
            outcome.failure == platform::SmallFile::Failure::Missing ? eOutcome::eMissing : eOutcome::eUnreadable;
        opened.problem = outcome.reason();
        return opened;
    }
    opened.outcome = eOutcome::eRead;
    opened.file = std::make_shared<SkinFile>(std::move(bytes));
    return opened;
}

} // namespace CV::TOV
