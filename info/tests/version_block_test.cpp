#include "tests/oracle/version_block.h"
#include "tests/fakes/fake_code_page.h"
#include "tests/fakes/version_blocks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace runlens {
namespace {

using testing::Branch;
using testing::BuildBlock;
using testing::FakeCodePage;
using testing::Text;

std::vector<std::uint8_t> EightBitBlock() {
    auto block = BuildBlock(
        Branch("VS_VERSION_INFO",
               {Branch("StringFileInfo", {Branch("040904E4", {Text("FileDescription", "Old tool"),
                                                              Text("CompanyName", "Old firm")})})}),
        false);
    block.resize(block.size() * 2, 0);
    return block;
}

TEST(VersionBlock, ReadsTheEightBitLayout) {
    auto block = EightBitBlock();
    const FakeCodePage ansi(FakeCodePage::Kind::kLatin1);
    EXPECT_EQ(QueryVersionText(block, "StringFileInfo\\040904E4\\FileDescription\\", ansi),
              "Old tool");
    EXPECT_EQ(QueryVersionText(block, "\\stringfileinfo\\040904e4\\companyname", ansi), "Old firm");
    EXPECT_EQ(QueryVersionText(block, "StringFileInfo\\040904E4\\ProductName\\", ansi),
              std::nullopt);
    EXPECT_EQ(QueryVersionTranslation(block, ansi), std::nullopt);
}

std::vector<std::uint8_t> Fixture(const char* name) {
    std::ifstream in(std::string(RUNLENS_VERSION_FIXTURES) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(VersionBlock, FindsTheResourceInPe32AndPe32Plus) {
    for (const char* name : {"ja_1252-x86_64.dll", "ja_1252-i686.dll"}) {
        const auto file = Fixture(name);
        const auto resource = FindVersionResource(file, 0x0411);
        ASSERT_TRUE(resource) << name;
        std::vector<std::uint8_t> block(VersionBufferSize(*resource));
        std::copy(resource->begin(), resource->end(), block.begin());
        const FakeCodePage ansi(FakeCodePage::Kind::kLatin1);
        EXPECT_EQ(QueryVersionText(block, "StringFileInfo\\041104E4\\ProductName\\", ansi),
                  "Japanese product");
        EXPECT_EQ(QueryVersionTranslation(block, ansi), 0x04E40411u);
    }
    EXPECT_FALSE(FindVersionResource(Fixture("no_version-x86_64.dll"), 0x0411));
}

TEST(VersionBlock, MalformedInputIsNotFound) {
    const FakeCodePage ansi(FakeCodePage::Kind::kLatin1);
    const std::vector<std::vector<std::uint8_t>> blocks = {
        {},
        {0x06, 0x00},
        // A node whose key runs to the end of the block without a terminator.
        {0x40, 0x00, 0x00, 0x00, 0x01, 0x00, 'V', 0x00, 'S', 0x00},
        // A child of length zero.
        {0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 'V',  0x00, 0x00, 0x00,
         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};
    for (auto block : blocks) {
        EXPECT_EQ(QueryVersionText(block, "StringFileInfo\\040904E4\\FileDescription\\", ansi),
                  std::nullopt);
        EXPECT_EQ(QueryVersionTranslation(block, ansi), std::nullopt);
    }
    for (const std::vector<std::uint8_t>& file : std::vector<std::vector<std::uint8_t>>{
             {}, {'M', 'Z'}, std::vector<std::uint8_t>(64, 0xFF)}) {
        EXPECT_FALSE(FindVersionResource(file, 0x0409));
    }
}

// Random damage to real blocks and files: nothing may read outside them (the sanitizers watch).
// RUNLENS_FUZZ_ITERATIONS sets a longer run.
TEST(VersionBlock, SurvivesRandomDamage) {
    const char* configured = std::getenv("RUNLENS_FUZZ_ITERATIONS");
    const long iterations = configured ? std::atol(configured) : 3000;
    std::mt19937 random(20261210);
    const FakeCodePage ansi(FakeCodePage::Kind::kLatin1);
    const std::vector<std::vector<std::uint8_t>> seeds = {
        Fixture("ja_1252-x86_64.dll"), Fixture("ja_1252-i686.dll"),
        Fixture("no_translation-x86_64.dll"), EightBitBlock()};
    const char* paths[] = {"StringFileInfo\\041104E4\\ProductName\\",
                           "StringFileInfo\\040904E4\\FileDescription\\", "\\", "\\\\\\",
                           "StringFileInfo"};
    long found = 0;
    for (long i = 0; i < iterations; ++i) {
        std::vector<std::uint8_t> bytes = seeds[random() % seeds.size()];
        if (random() % 4 == 0) {
            bytes.resize(random() % (bytes.size() + 1));
        }
        const int flips = 1 + static_cast<int>(random() % 16);
        for (int f = 0; f < flips && !bytes.empty(); ++f) {
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        }
        std::vector<std::uint8_t> block = bytes;
        if (const auto resource = FindVersionResource(bytes, 0x0411)) {
            ++found;
            block.assign(VersionBufferSize(*resource), 0);
            std::copy(resource->begin(), resource->end(), block.begin());
        }
        for (const char* path : paths)
            QueryVersionText(block, path, ansi);
        QueryVersionTranslation(block, ansi);
        ScanVersionBlock("ProductName", block);
    }
    RecordProperty("iterations", static_cast<int>(iterations));
    EXPECT_GT(found, 0);
}

}  // namespace
}  // namespace runlens
