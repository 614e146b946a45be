// Replays a fuzz target's saved inputs as ordinary tests: the target's entry
// function runs over every file of the folders named on the command line
// (its seed corpus and the inputs that once failed), so that each test build
// keeps checking them without libFuzzer.
//
//   <target>_replay [GoogleTest options] <folder>...
//
// The folders are listed when the program runs, so a file added to one is
// replayed without a rebuild. Each file is a test of its own, named after
// the file (its folder's name as the suite); a folder that is missing or
// holds no file is a failing test, so that nothing passes for want of
// inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// One test made at run time: its body is given.
class FuzzReplay : public testing::Test {
public:
    explicit FuzzReplay(std::function<void()> body)
        : m_body(std::move(body))
    {
    }

    void TestBody() override { m_body(); }

private:
    std::function<void()> m_body;
};

void replay(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in) << "cannot read " << file;
    // A block of exactly the file's size, so that a read past its end is seen.
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    EXPECT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0) << file;
}

// The regular files below the folder, in name order.
std::vector<fs::path> filesIn(const fs::path& folder, std::error_code& error)
{
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file())
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The text in the letters a test name may hold ('-' and ':' would split a
// --gtest_filter pattern).
std::string testNameOf(const std::string& text)
{
    std::string name = text.empty() ? std::string("_") : text;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '.' && c != '/'; }, '_');
    return name;
}

void registerTest(const std::string& suite, const std::string& name, std::function<void()> body)
{
    testing::RegisterTest(suite.c_str(), name.c_str(), nullptr, nullptr, __FILE__, __LINE__,
                          [body = std::move(body)]() -> FuzzReplay* { return new FuzzReplay(body); });
}

// One test per file of the folder, named by its path inside the folder; a
// single failing one when the folder cannot be listed or holds no file.
void registerFolder(const std::string& argument)
{
    const fs::path folder = fs::path(argument).lexically_normal();
    const fs::path named = folder.has_filename() ? folder : folder.parent_path();
    const std::string suite = testNameOf(named.filename().string());
    std::error_code error;
    const std::vector<fs::path> files = filesIn(folder, error);
    if (error) {
        const std::string problem = error.message();
        registerTest(suite, "FolderCanBeListed", [folder, problem] { FAIL() << folder << ": " << problem; });
        return;
    }
    if (files.empty()) {
        registerTest(suite, "FolderHoldsInputs", [folder] { FAIL() << folder << " holds no input to replay"; });
        return;
    }
    for (const fs::path& file : files)
        registerTest(suite, testNameOf(file.lexically_relative(folder).generic_string()), [file] { replay(file); });
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " [GoogleTest options] <folder of inputs>...\n";
        return 2;
    }
    for (int i = 1; i < argc; ++i)
        registerFolder(argv[i]);
    return RUN_ALL_TESTS();
}
