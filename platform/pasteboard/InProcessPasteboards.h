#pragma once
// The pasteboards a backend keeps in the process, by name, each made on
// first use and kept as long as the set.
#include "platform/pasteboard/InProcessPasteboard.h"

#include <map>
#include <memory>
#include <string>

namespace platform::pasteboard {

class InProcessPasteboards {
public:
    InProcessPasteboard& named(const std::string& name);

private:
    std::map<std::string, std::unique_ptr<InProcessPasteboard>> m_pasteboards;
};

} // namespace platform::pasteboard
