// Writes one deterministic stand-in firmware image.
//
//   firmware_placeholder <image name> <size in bytes> <output file>
//
// The bytes come from a fixed-seed generator keyed by the image name, so
// every build produces the same nine images and no two images are alike.
// Each image starts with a readable note saying what it is.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::uint64_t seedFromName(const std::string& name)
{
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::uint64_t nextSplitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::vector<unsigned char> makeImage(const std::string& name, std::size_t size)
{
    std::vector<unsigned char> image(size);
    std::uint64_t state = seedFromName(name);
    for (std::size_t i = 0; i < size; ++i) {
        if (i % 8 == 0) {
            std::uint64_t word = nextSplitMix(state);
            for (std::size_t k = 0; k < 8 && i + k < size; ++k)
                image[i + k] = static_cast<unsigned char>(word >> (8 * k));
        }
    }
    const std::string note = "PLACEHOLDER FIRMWARE " + name + " - NOT PRODUCT FIRMWARE\n";
    for (std::size_t i = 0; i < note.size() && i < size; ++i)
        image[i] = static_cast<unsigned char>(note[i]);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: firmware_placeholder <image name> <size> <output file>\n";
        return 2;
    }
    const std::string name = argv[1];
    char* end = nullptr;
    const unsigned long long size = std::strtoull(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || size == 0 || size > (64ull << 20)) {
        std::cerr << "firmware_placeholder: bad size '" << argv[2] << "'\n";
        return 2;
    }
    const std::vector<unsigned char> image = makeImage(name, static_cast<std::size_t>(size));
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
        std::cerr << "firmware_placeholder: cannot write '" << argv[3] << "'\n";
        return 1;
    }
    return 0;
}
