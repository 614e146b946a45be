// FileTypeManager::determineType: the type of a file name from its
// extension and, where that is not enough, from the item it names.
#include "BAS/FileTypeManager.h"

#include "BAS/FileContainer.h"
#include "BAS/FileName.h"

#include "platform/volumes/FileSystemItem.h"

namespace CV {
namespace BAS {

namespace {

using platform::volumes::FileSystemItem;

// Whether the container file the name's path names holds the item of its
// subpath.
bool containerHoldsSubpath(const FileName& name)
{
    return FileContainer::isContainerFileContent(name, name.subpath);
}

const FileTypeDescr* typeOfExtension(const FileName& name)
{
    if (name.extension.empty())
        return nullptr;
    const std::string withoutDot = name.extension.front() == '.' ? name.extension.substr(1) : name.extension;
    return FileTypeManager::getUniqueTypeForExtension(withoutDot);
}

bool isKnownType(const FileTypeDescr* type)
{
    return type && type != FileTypeManager::getStdType(FileTypeManager::eUnknown);
}

// Whether the item the name names settles its type by the extension alone:
// a folder, a plain file, or a container holding the subpath.
bool itemDecides(const FileName& name)
{
    FSRef ref;
    unsigned char isDirectory = 0;
    if (!name.getFSRef(ref, false, &isDirectory))
        return false;
    return isDirectory || name.subpath.empty() || containerHoldsSubpath(name);
}

} // namespace

bool FileTypeManager::determineType(FileName& name)
{
    if (name.mode != FileName::eFile)
        return false;
    const FileTypeDescr* candidate = typeOfExtension(name);

    if (!itemDecides(name) && !isKnownType(candidate)) {
        FSRef ref;
        bool isFolder = false;
        if (FileSystemItem::makeRef(name.getSystemPath(true, true), ref, &isFolder)) {
            if (isFolder) {
                name.setType(getStdType(eDirectory));
                return true;
            }
            FSCatalogInfo info;
            if (FileSystemItem::getCatalogInfo(ref, info))
                candidate = getUniqueTypeForMacMagic(FileTypeMacMagic(info.finderInfo.fileType));
        }
    }

    if (!isKnownType(candidate))
        return false;
    return name.setType(candidate);
}

} // namespace BAS
} // namespace CV
