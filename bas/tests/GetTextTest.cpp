#include "BAS/GetTextDomain.h"
#include "BAS/GetTextLoader.h"
#include "BAS/MemoryStream.h"
#include "BAS/MoCatalogReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using CV::BAS::GetTextLoader;
using Bytes = std::vector<unsigned char>;
using Texts = std::map<std::string, std::string>;

namespace {

Bytes catalogue(const char* order)
{
    std::ifstream in(std::string(VARANTO_TEST_CATALOG_DIR) + "/fr-" + order + ".mo", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Texts load(const Bytes& bytes)
{
    GetTextLoader loader;
    loader.loadDomain(bytes.data(), bytes.size());
    return loader.getLoadedTexts();
}

void putU32(Bytes& bytes, std::size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t u32(const Bytes& bytes, std::size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | bytes.at(offset + i);
    return value;
}

TEST(GetTextCatalogueTest, AStreamLoadsLikeItsBytesAndAnUnopenedOneLoadsNothing)
{
    Bytes big = catalogue("big");
    CV::BAS::MemoryStream stream;
    ASSERT_TRUE(stream.init(CV::BAS::IStorage::eAccessRead, big.data(), big.size()));
    GetTextLoader loader;
    loader.loadDomain(stream);
    EXPECT_EQ(loader.getLoadedTexts(), load(big));
    EXPECT_EQ(loader.getLoadedTexts().at("Yes"), "Oui");

    CV::BAS::MemoryStream closed;
    GetTextLoader nothing;
    nothing.loadDomain(closed);
    EXPECT_TRUE(nothing.getLoadedTexts().empty());
}

TEST(GetTextCatalogueTest, BothByteOrdersLoadTheSameTexts)
{
    const Bytes little = catalogue("little");
    const Bytes big = catalogue("big");
    ASSERT_GT(little.size(), 28u);
    ASSERT_EQ(big[0], 0x95);
    ASSERT_EQ(little[0], 0xde);
    const Texts texts = load(little);
    EXPECT_EQ(texts, load(big));
    EXPECT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts.count(""), 0u); // the header entry
    EXPECT_EQ(texts.at("Yes"), "Oui");
    EXPECT_EQ(texts.at("Retry"),
              "R\xc3\xa9"
              "essayer");
    EXPECT_EQ(texts.at("%d file"), "%d fichier"); // plural: the singular forms
}

// Each case damages the little-endian catalogue; none may load anything,
// nor read outside the block (the sanitizer build watches).
TEST(GetTextCatalogueTest, DamagedCataloguesLoadNothing)
{
    const Bytes good = catalogue("little");
    const uint32_t count = u32(good, 8);
    const uint32_t sources = u32(good, 12);
    const uint32_t translations = u32(good, 16);
    struct Case {
        const char* label;
        void (*damage)(Bytes&, uint32_t count, uint32_t sources, uint32_t translations);
    };
    const Case cases[] = {
        {"revision 1", [](Bytes& b, uint32_t, uint32_t, uint32_t) { putU32(b, 4, 1); }},
        {"wrong magic", [](Bytes& b, uint32_t, uint32_t, uint32_t) { putU32(b, 0, 0x12345678); }},
        {"no strings", [](Bytes& b, uint32_t, uint32_t, uint32_t) { putU32(b, 8, 0); }},
        {"huge count", [](Bytes& b, uint32_t, uint32_t, uint32_t) { putU32(b, 8, 0xFFFFFFFF); }},
        {"source table past the end", [](Bytes& b, uint32_t, uint32_t, uint32_t) { putU32(b, 12, 0xFFFFFFF8); }},
        {"translation table past the end",
         [](Bytes& b, uint32_t, uint32_t, uint32_t) { putU32(b, 16, uint32_t(b.size()) - 4); }},
        {"huge lengths and offsets everywhere",
         [](Bytes& b, uint32_t n, uint32_t s, uint32_t t) {
             for (uint32_t i = 0; i < n; ++i) {
                 putU32(b, s + 8 * i, i == 0 ? 0 : 0x7FFFFFFF);
                 putU32(b, t + 8 * i + 4, 0xFFFFFFF0);
             }
         }},
        {"strings that end one byte past the block",
         [](Bytes& b, uint32_t n, uint32_t s, uint32_t) {
             for (uint32_t i = 1; i < n; ++i) {
                 putU32(b, s + 8 * i, 4);
                 putU32(b, s + 8 * i + 4, uint32_t(b.size()) - 3);
             }
         }},
    };
    for (const Case& c : cases) {
        Bytes bytes = good;
        c.damage(bytes, count, sources, translations);
        EXPECT_TRUE(load(bytes).empty()) << c.label;
    }
    EXPECT_TRUE(load(Bytes(good.begin(), good.begin() + 27)).empty()) << "cut header";
    EXPECT_TRUE(load(Bytes(good.begin(), good.begin() + translations + 8 * count - 1)).empty()) << "cut table";
}

TEST(GetTextCatalogueTest, OnlyTheDamagedEntryIsSkipped)
{
    Bytes bytes = catalogue("little");
    const Texts all = load(bytes);
    const uint32_t translations = u32(bytes, 16);
    putU32(bytes, translations + 8 * 1, 0x10000000); // entry 1's translation
    const Texts damaged = load(bytes);
    EXPECT_EQ(damaged.size(), all.size() - 1);
}

TEST(GetTextLanguageTest, LanguageOfACode)
{
    const std::pair<const char*, const char*> cases[] = {
        {"JP-x", "JPN"},  {"jpn", "JPN"}, {"ja_JP", "JPN"}, {"sp", "SPA"}, {"es-MX", "SPA"}, {"Fr", "FRA"},
        {"de_DE", "DEU"}, {"it", "ITA"},  {"E", "ENG"},     {"", "ENG"},   {"nl", "ENG"},    {nullptr, "ENG"},
    };
    for (const auto& [code, language] : cases)
        EXPECT_STREQ(GetTextLoader::languageOf(code), language) << (code ? code : "null");
}

TEST(GetTextLanguageTest, OutsideABundleAnyCodeChoosesAndNullChoosesNone)
{
    GetTextLoader::initLocale("");
    EXPECT_STREQ(GetTextLoader::s_Locale, "ENG");
    GetTextLoader::initLocale("ja");
    EXPECT_STREQ(GetTextLoader::s_Locale, "JPN");
    GetTextLoader::initLocale(nullptr);
    EXPECT_STREQ(GetTextLoader::s_Locale, "\x01");
}

TEST(GetTextDomainTest, LookupsAreCachedByLiteral)
{
    CV::BAS::LibraryTextDomain domain;
    const Bytes bytes = catalogue("big");
    domain.loader().loadDomain(bytes.data(), bytes.size());
    const char* yes = "Yes";
    const std::string& first = domain.get(yes);
    EXPECT_EQ(first, "Oui");
    EXPECT_EQ(&domain.get(yes), &first);
    char copy[] = "Yes";
    const char* other = copy;
    EXPECT_NE(&domain.get(other), &first);
    const char* unknown = "Unknown";
    EXPECT_EQ(domain.get(unknown), "Unknown");
}

} // namespace
