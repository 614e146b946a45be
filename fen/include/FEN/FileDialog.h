#pragma once
// The platform's modal open and save panels: choose a file to open, a file
// name to save to, or a folder, handed back as a file name.
#include "BAS/FileName.h"

#include <objc/runtime.h>

#include <functional>
#include <string>
#include <vector>

namespace CV {
namespace BAS {
struct FileTypeGroupDescr;
} // namespace BAS

namespace FEN {

class WindowBase;

class FileDialog {
public:
    enum eFileAction : int32_t { eOpenFile = 0, eSaveFile = 1, eChooseFolder = 2 };

    FileDialog();
    ~FileDialog();

    void setCaption(std::string const& caption) { m_strCaption = caption; }
    void setInitialFileOrDirectory(BAS::FileName const& start) { m_fnInitial = start; }
    // Empty before the first confirmed run and after a cancelled one.
    BAS::FileName const& getFileName() const { return m_fnResult; }

    // Runs the panel application-modal (parent is not used); true when the
    // user confirmed a usable choice.
    bool doModal(eFileAction action, WindowBase* parent);

    BAS::FileName m_fnResult;
    BAS::FileName m_fnInitial;
    eFileAction m_eAction = eOpenFile;
    // The file-type groups offered as filters (the all-files group allows
    // any file besides the others).
    std::vector<BAS::FileTypeGroupDescr const*> m_vecTypeGroups;
    bool m_bCanCreateFolders = true;
    bool m_bShowExtension = false;
    std::string m_strCaption;
    // Called with the save panel just before it runs.
    std::function<void(id)> m_fnSavePanelHook;

private:
    id makePanel(eFileAction action) const;
    void setStartLocation(id panel, eFileAction action) const;
    void setFilters(id panel) const;
    bool takeResult(id panel, eFileAction action);
};

} // namespace FEN
} // namespace CV
