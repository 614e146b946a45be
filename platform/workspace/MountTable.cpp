#include "platform/workspace/MountTable.h"

#include "platform/system/SmallFile.h"

#include <cstdio>
#include <sstream>

namespace platform {

const char* const MountTable::kDefaultPath = "/proc/self/mountinfo";

namespace {

bool isOctal(char c)
{
    return c >= '0' && c <= '7';
}

std::string unescape(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream stream(line);
    std::string field;
    while (stream >> field)
        fields.push_back(field);
    return fields;
}

// mountinfo: id parent major:minor root mount-point options [optional...] - type source super-options
bool parseMountInfoLine(const std::vector<std::string>& fields, MountEntry& entry)
{
    size_t separator = 6;
    while (separator < fields.size() && fields[separator] != "-")
        ++separator;
    if (separator + 2 >= fields.size())
        return false;
    entry.mountPoint = unescape(fields[4]);
    entry.fileSystemType = unescape(fields[separator + 1]);
    entry.source = unescape(fields[separator + 2]);
    return true;
}

// /proc/mounts: source mount-point type options dump pass
bool parseMountsLine(const std::vector<std::string>& fields, MountEntry& entry)
{
    if (fields.size() < 3 || fields[1].empty() || fields[1][0] != '/')
        return false;
    entry.source = unescape(fields[0]);
    entry.mountPoint = unescape(fields[1]);
    entry.fileSystemType = unescape(fields[2]);
    return true;
}

bool looksLikeMountInfo(const std::vector<std::string>& fields)
{
    return fields.size() >= 10 && fields[2].find(':') != std::string::npos &&
        fields[0].find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

std::vector<MountEntry> MountTable::parse(const std::string& text)
{
    std::vector<MountEntry> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::vector<std::string> fields = fieldsOf(line);
        MountEntry entry;
        const bool parsed =
            looksLikeMountInfo(fields) ? parseMountInfoLine(fields, entry) : parseMountsLine(fields, entry);
        if (parsed)
            entries.push_back(entry);
    }
    return entries;
}

std::vector<MountEntry> MountTable::read(const std::string& path)
{
    std::vector<MountEntry> entries;
    std::string problem;
    if (!read(path, entries, problem))
        sayUnread(path, problem);
    return entries;
}

bool MountTable::read(const std::string& path, std::vector<MountEntry>& entries, std::string& problem)
{
    entries.clear();
    problem.clear();
    std::string text;
    const SmallFile::Outcome outcome = SmallFile::read(path, kMaxTableBytes, text);
    if (outcome) {
        entries = parse(text);
        return true;
    }
    if (outcome.failure == SmallFile::Failure::Missing)
        return true;
    problem = outcome.reason();
    return false;
}

void MountTable::sayUnread(const std::string& path, const std::string& problem)
{
    std::fprintf(stderr, "mount table %s: %s\n", path.c_str(), problem.c_str());
}

} // namespace platform
