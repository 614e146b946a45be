#include "BAS/FileContainerParser.h"

#include "ContainerReader.h"

#include <limits>

namespace CV {
namespace BAS {

FileContainerParser::FileContainerParser(IStorage& storage, FileContainerParser* parent, const tContentParseInfo& info)
    : m_info(info)
    , m_storage(storage)
    , m_parent(parent)
{
}

FileContainerParser::~FileContainerParser() = default;

FileContainerParser* FileContainerParser::openChild(const tContentParseInfo& info)
{
    m_child.reset(new FileContainerParser(m_storage, this, info));
    return m_child.get();
}

int64_t FileContainerParser::getStorageSizeForParsing()
{
    return m_parent ? m_parent->getStorageSizeForParsing() : std::numeric_limits<int64_t>::max();
}

bool FileContainerParser::getAvailableContentTocs()
{
    DETAIL::ContainerReader reader(m_storage, getStorageSizeForParsing());
    return reader.readTocChain(m_tocs, m_info.range.offset, m_info.range.length);
}

bool FileContainerParser::getContentInfoOfItem(const std::string&, unsigned int, tContentParseInfo&)
{
    return false;
}

bool FileContainerParser::getContentInfoOfItem(unsigned int, unsigned int, tContentParseInfo&)
{
    return false;
}

bool FileContainerParser::getContentRangeOfItem(const std::string&, unsigned int, FileContentRange&)
{
    return false;
}

bool FileContainerParser::getContentRangeOfItem(unsigned int, unsigned int, FileContentRange&)
{
    return false;
}

bool FileContainerParser::getContentParentSubpath(std::string& subpath) const
{
    return m_parent ? m_parent->getContentFullSubpath(subpath) : false;
}

bool FileContainerParser::getContentFullSubpath(std::string& subpath) const
{
    const std::size_t before = subpath.size();
    std::string path = "<" + m_info.name;
    for (const FileContainerParser* level = m_parent; level && level->m_parent; level = level->m_parent)
        path = "<" + level->m_info.name + path;
    subpath += path;
    return subpath.size() - before > 1;
}

} // namespace BAS
} // namespace CV
