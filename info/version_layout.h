// The bytes of a version block, as the reader and the check before the system's query both walk
// them: bounded little-endian reads and one node's header, key and value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/byte_reader.h"

namespace runlens::version_layout {

// Little-endian reads that fail outside the bytes.
using Reader = ByteReader;

constexpr std::size_t Align4(std::size_t value) {
    return (value + 3) & ~std::size_t{3};
}

// The system marks the end of a 16-bit-character block with these bytes.
inline constexpr char kTailSignature[4] = {'F', 'E', '2', 'X'};

// The buffer the system keeps a 16-bit-character block of `length` bytes in: the block, its end
// mark, and behind the mark as much again for the ANSI texts the query converts, each at its
// value's own offset.
constexpr std::size_t ConvertedBufferSize(std::size_t length) {
    return length * 2 + sizeof(kTailSignature);
}

inline bool IsEightBitLayout(std::span<const std::uint8_t> block) {
    // The 8-bit layout has its key where the 16-bit-character layout has its type word.
    return block.size() > 4 && block[4] >= ' ';
}

struct Node {
    std::size_t start = 0;
    std::size_t length = 0;  // the node's wLength: its own bytes and its children's
    std::size_t valueLength = 0;
    std::size_t valueBytes = 0;  // valueLength in bytes: characters for text of 16 bits
    bool text = false;
    std::size_t key = 0;        // offset of the key
    std::size_t keyLength = 0;  // in characters
    std::size_t value = 0;
    std::size_t children = 0;
};

// The node at `start`, or nothing when its header or key runs past the bytes. Its lengths are
// as the block states them: nothing here holds them against the bytes or the parent.
std::optional<Node> ReadNode(const Reader& bytes, std::size_t start, bool wide);

}  // namespace runlens::version_layout
