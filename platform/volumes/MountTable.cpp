#include "platform/volumes/MountTable.h"

#include <fstream>
#include <mutex>
#include <sstream>

namespace platform::volumes {

namespace {

struct TablePathSetting {
    std::mutex mutex;
    std::string path = MountTable::kDefaultPath;
};

TablePathSetting& tablePathSetting()
{
    static TablePathSetting setting;
    return setting;
}

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

} // namespace

std::string MountTable::decodeField(const std::string& field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) &&
            isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            out.push_back(static_cast<char>(value & 0xFF));
            i += 3;
            continue;
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<MountEntry> MountTable::read(const std::string& tablePath)
{
    std::vector<MountEntry> entries;
    std::ifstream in(tablePath);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type))
            continue;
        entries.push_back({decodeField(device), decodeField(mountPoint), decodeField(type)});
    }
    return entries;
}

std::vector<MountEntry> MountTable::read()
{
    return read(path());
}

std::string MountTable::path()
{
    TablePathSetting& setting = tablePathSetting();
    std::lock_guard<std::mutex> lock(setting.mutex);
    return setting.path;
}

void MountTable::setPath(const std::string& tablePath)
{
    TablePathSetting& setting = tablePathSetting();
    std::lock_guard<std::mutex> lock(setting.mutex);
    setting.path = tablePath.empty() ? std::string(kDefaultPath) : tablePath;
}

MountTable::ScopedPath::ScopedPath(const std::string& tablePath)
    : m_previous(MountTable::path())
{
    MountTable::setPath(tablePath);
}

MountTable::ScopedPath::~ScopedPath()
{
    MountTable::setPath(m_previous);
}

} // namespace platform::volumes
