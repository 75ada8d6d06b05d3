#include "info/version_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "info/version_layout.h"
#include "tests/fakes/version_blocks.h"
#include "tests/oracle/version_block.h"

namespace runlens {
namespace {

using testing::Binary;
using testing::BlockNode;
using testing::Branch;
using testing::BuildBlock;
using testing::Text;

// A block as resource compilers write it. In the 16-bit-character layout the empty FileVersion
// ends two bytes short of a four-byte boundary, so its empty value stands just past its end and
// its parents'.
BlockNode WellFormedTree() {
    return Binary("VS_VERSION_INFO", std::string(52, '\x01'),
                  {Branch("StringFileInfo", {Branch("040904B0", {Text("FileDescription", "Tool"),
                                                                 Text("CompanyName", "Firm"),
                                                                 Text("FileVersion", "")})}),
                   Branch("VarFileInfo", {Binary("Translation", "\x09\x04\xB0\x04")})});
}

// The buffer the version functions fill: the block, then zeros.
std::vector<std::uint8_t> InBuffer(const std::vector<std::uint8_t>& block, std::size_t size) {
    std::vector<std::uint8_t> buffer(std::max(size, block.size()), 0);
    std::copy(block.begin(), block.end(), buffer.begin());
    return buffer;
}

std::vector<std::uint8_t> Buffer(const BlockNode& tree, bool wide) {
    const auto block = BuildBlock(tree, wide);
    return InBuffer(block, VersionBufferSize(block));
}

TEST(VersionGuard, AcceptsWellFormedBlocksOfBothLayouts) {
    for (const bool wide : {true, false}) {
        EXPECT_TRUE(IsWellFormedVersionBlock(Buffer(WellFormedTree(), wide))) << wide;
        EXPECT_TRUE(IsWellFormedVersionBlock(Buffer(Text("VS_VERSION_INFO", ""), wide))) << wide;
    }
}

struct Forgery {
    const char* what;
    std::function<void(BlockNode&)> forge;
};

BlockNode& Strings(BlockNode& root) {
    return root.children[0].children[0];
}

void Lengthen(BlockNode& node, int by) {
    node.length = static_cast<std::uint16_t>(*node.length + by);
}

const Forgery kForgeries[] = {
    {"root longer than the buffer", [](BlockNode& root) { root.length = 0xFFFC; }},
    {"root reaching into the zeros behind the block", [](BlockNode& root) { Lengthen(root, 8); }},
    {"child longer than the whole block", [](BlockNode& root) { Strings(root).length = 0xFFF0; }},
    {"child running into its parent's sibling",
     [](BlockNode& root) { Lengthen(root.children[0], 8); }},
    {"grandchild running past its parent",
     [](BlockNode& root) { Lengthen(Strings(root).children[1], 40); }},
    {"child of length zero", [](BlockNode& root) { Strings(root).children[0].length = 0; }},
    {"last child of length zero", [](BlockNode& root) { Strings(root).children[2].length = 0; }},
    {"child shorter than its header",
     [](BlockNode& root) { Strings(root).children[0].length = 2; }},
    {"key not terminated inside its node",
     [](BlockNode& root) { Strings(root).children[2].length = 6 + 4; }},
    {"lone root whose key runs past it",
     [](BlockNode& root) {
         root = Text("VS_VERSION_INFO", "");
         root.length = 6 + 4;
     }},
    {"text value past its node",
     [](BlockNode& root) { Strings(root).children[1].valueLength = 40; }},
    {"binary value past its node",
     [](BlockNode& root) { root.children[1].children[0].valueLength = 0xFFFF; }},
    {"root value past the root", [](BlockNode& root) { root.valueLength = 0x7FFF; }},
};

// Fills in the true lengths first, so that a forgery can start from them.
BlockNode WithTrueLengths(BlockNode node, bool wide) {
    for (BlockNode& child : node.children)
        child = WithTrueLengths(child, wide);
    const auto block = BuildBlock(node, wide);
    node.length = static_cast<std::uint16_t>(block[0] | block[1] << 8);
    return node;
}

TEST(VersionGuard, RefusesForgedBlocks) {
    for (const bool wide : {true, false}) {
        for (const Forgery& forgery : kForgeries) {
            BlockNode tree = WithTrueLengths(WellFormedTree(), wide);
            forgery.forge(tree);
            const auto block = BuildBlock(tree, wide);
            // The buffer the true block would have been given.
            const auto buffer = InBuffer(block, VersionBufferSize(block));
            EXPECT_FALSE(IsWellFormedVersionBlock(buffer))
                << forgery.what << (wide ? "" : " (8-bit layout)");
        }
    }
}

TEST(VersionGuard, ConvertedTextsMustFitBehindTheBlock) {
    const auto wide = BuildBlock(WellFormedTree(), true);
    const std::size_t room = version_layout::ConvertedBufferSize(wide.size());
    EXPECT_TRUE(IsWellFormedVersionBlock(InBuffer(wide, room)));
    EXPECT_FALSE(IsWellFormedVersionBlock(InBuffer(wide, room - 1)));
    // Nothing is converted in the 8-bit layout: the block itself is enough.
    const auto eightBit = BuildBlock(WellFormedTree(), false);
    EXPECT_TRUE(IsWellFormedVersionBlock(eightBit));
    EXPECT_FALSE(IsWellFormedVersionBlock(std::span(eightBit).first(eightBit.size() - 1)));
    for (const std::vector<std::uint8_t>& tiny :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0x06, 0x00}}) {
        EXPECT_FALSE(IsWellFormedVersionBlock(tiny));
    }
}

// Random damage to well-formed blocks: whatever the check accepts, a query that believes every
// length stays inside the buffer (the sanitizers watch). RUNLENS_FUZZ_ITERATIONS sets a longer
// run.
TEST(VersionGuard, WhatItAcceptsKeepsATrustingQueryInside) {
    const char* configured = std::getenv("RUNLENS_FUZZ_ITERATIONS");
    const long iterations = configured ? std::atol(configured) : 3000;
    std::mt19937 random(20261211);
    const std::vector<std::uint8_t> seeds[] = {Buffer(WellFormedTree(), true),
                                               Buffer(WellFormedTree(), false)};
    long accepted = 0;
    for (long i = 0; i < iterations; ++i) {
        std::vector<std::uint8_t> bytes = seeds[random() % std::size(seeds)];
        if (random() % 4 == 0)
            bytes.resize(random() % (bytes.size() + 1));
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips && !bytes.empty(); ++f) {
            // Mostly the low bytes of lengths, which sit at offsets of four.
            const std::size_t at = random() % 2 ? random() % bytes.size()
                                                : (random() % bytes.size()) & ~std::size_t{3};
            bytes[at] = static_cast<std::uint8_t>(random());
        }
        // A heap copy of exactly the buffer's size, so any step outside is seen.
        const auto exact = std::make_unique<std::uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), exact.get());
        const std::span<const std::uint8_t> buffer(exact.get(), bytes.size());
        if (!IsWellFormedVersionBlock(buffer))
            continue;
        ++accepted;
        testing::TrustingQuery(exact.get(), !version_layout::IsEightBitLayout(buffer)).VisitAll();
    }
    RecordProperty("accepted", static_cast<int>(accepted));
    EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace runlens
