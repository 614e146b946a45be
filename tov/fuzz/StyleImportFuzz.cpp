// Fuzz target: arbitrary bytes as a skin's style sheet, loaded through the
// skin resource manager from a small skin folder of the target's own, so that
// its imports reach real sheets: nested ones, one that imports itself, a chain
// deeper than the import limit, sheets with a byte-order mark, names with
// folders and container subpaths. The same bytes are also parsed as text
// with that skin behind the sheet. Nothing may crash, read outside a text or
// loop, nor read the sheet that lies beside the skin folder.
#include "TOV/Lib.h"
#include "TOV/ManagerContainer.h"
#include "TOV/StyleParser2.h"
#include "TOV/StyleSheet.h"

#include "BAS/FileName.h"

#include <boost/filesystem/path.hpp>

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using CV::TOV::ManagerContainer;

// The import limit of the parser and one more.
constexpr int kChainLength = CV::TOV::StyleParser2::kMaxImportDepth + 1;
// The property of the sheet beside the skin folder, which no import reaches.
constexpr const char* kOutsideProperty = "read-outside-the-skin";

class FuzzSkin {
public:
    FuzzSkin()
    {
        // In the working folder: a libFuzzer run ends without destructors,
        // and its script gives it an empty folder of its own.
        std::string pattern = (std::filesystem::current_path() / "style-import-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_root = pattern;
        writeSheets();
        CV::TOV::Lib::setSearchSkinDirectory(true);
        ManagerContainer::tLocations where;
        const std::string root = m_root.string();
        where.bundlePath = [root] { return boost::filesystem::path(root) / "App.app"; };
        where.currentDirectory = [root](CV::BAS::FileName& name) {
            name = CV::BAS::FileName(boost::filesystem::path(root));
            return true;
        };
        m_container = std::make_unique<ManagerContainer>(where);
    }
    ~FuzzSkin()
    {
        m_container.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    ManagerContainer& container() { return *m_container; }

    // Aborts when the sheet holds a rule of the sheet outside the skin.
    static void checkStayedInSkin(const CV::TOV::StyleSheet& sheet)
    {
        if (sheet.getRules().count(cv::symbol(std::string(kOutsideProperty))))
            std::abort();
    }

    void writeInput(const std::string& bytes) const { write("fuzz.txt", bytes); }

private:
    void write(const std::string& sheet, const std::string& bytes) const
    {
        const std::filesystem::path file = m_root / "skin" / "stylesheets" / sheet;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    }

    void writeSheets() const
    {
        std::filesystem::create_directories(m_root / "skin" / "pictures");
        std::ofstream(m_root / "outside.txt", std::ios::binary) << "Outside { " << kOutsideProperty << ": 1; }\n";
        write("app.txt",
              "@define $accent #204080;\n@import url(\"parts/buttons.txt\");\n"
              "Label#title { color: $accent; font-size: 13; }\n");
        write("parts/buttons.txt",
              "@import url(\"app.txt\");\n@import url(\"missing.txt\");\n"
              "Button.big:over:!down { width: 10 px; image: url(\"b.png\"); color: $accent; }\n");
        write("self.txt", "@import url(\"self.txt\");\nA { x: 1; }\n");
        write("bom.txt",
              "\xEF\xBB\xBF"
              "B[kind=primary] { margin: 4px; }\n");
        write("wide.txt", std::string("\xFE\xFF\0A\0{", 6));
        write("empty.txt", "");
        write("broken.txt", "C { color 1; }\n@import url(\"<\");\n/* open");
        for (int i = 0; i < kChainLength; ++i)
            write("chain" + std::to_string(i) + ".txt",
                  "@import url(\"chain" + std::to_string(i + 1) + ".txt\");\nD" + std::to_string(i) + " { y: 2; }\n");
    }

    std::filesystem::path m_root;
    std::unique_ptr<ManagerContainer> m_container;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSkin skin;
    const std::string text(reinterpret_cast<const char*>(data), size);
    skin.writeInput(text);
    {
        CV::TOV::StyleSheet sheet(skin.container());
        sheet.load("fuzz.txt");
        FuzzSkin::checkStayedInSkin(sheet);
    }
    {
        CV::TOV::StyleSheet sheet(skin.container());
        sheet.createDirect(CV::BAS::CharSequence<char>(text.data(), text.size()));
        FuzzSkin::checkStayedInSkin(sheet);
    }
    return 0;
}
