// Replays a fuzz target's saved inputs as ordinary tests: the target's entry
// function runs over every file of the folders listed in VARANTO_FUZZ_INPUTS
// ('|' between them; the seed corpus and the inputs that once failed), one
// test per file, so that each test build keeps checking them without
// libFuzzer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputFolders()
{
    std::vector<fs::path> folders;
    const std::string list = VARANTO_FUZZ_INPUTS;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find('|', start), list.size());
        if (end > start)
            folders.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

std::vector<fs::path> filesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file())
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> inputFiles()
{
    std::vector<fs::path> files;
    for (const fs::path& folder : inputFolders()) {
        const std::vector<fs::path> found = filesIn(folder);
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

// The folder and file name, in the letters a test name may hold.
std::string testNameOf(const testing::TestParamInfo<fs::path>& info)
{
    std::string name = info.param.parent_path().filename().string() + "_" + info.param.filename().string();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return std::to_string(info.index) + "_" + name;
}

class FuzzReplay : public testing::TestWithParam<fs::path> { };

TEST_P(FuzzReplay, EntryFunctionEndsWithoutAFault)
{
    std::ifstream in(GetParam(), std::ios::binary);
    ASSERT_TRUE(in) << GetParam();
    // A block of exactly the file's size, so that a read past its end is seen.
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    EXPECT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(SavedInputs, FuzzReplay, testing::ValuesIn(inputFiles()), testNameOf);

// A folder moved or emptied would otherwise leave nothing replayed.
TEST(FuzzReplayFolders, EachFolderHoldsInputs)
{
    for (const fs::path& folder : inputFolders())
        EXPECT_FALSE(filesIn(folder).empty()) << folder;
}

} // namespace
