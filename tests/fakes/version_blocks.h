// Version blocks for the tests, in both layouts, built from a tree in which any length can be
// forged; and a model of the system's query, which believes every length it reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace runlens::testing {

struct BlockNode {
    std::string key;
    // A text value, given a terminator by the builder; with `binary`, the value's raw bytes.
    std::string value;
    bool binary = false;
    std::vector<BlockNode> children;
    // Written in place of the true lengths.
    std::optional<std::uint16_t> length;
    std::optional<std::uint16_t> valueLength;
};

inline BlockNode Text(std::string key, std::string value) {
    BlockNode node;
    node.key = std::move(key);
    node.value = std::move(value);
    return node;
}
inline BlockNode Branch(std::string key, std::vector<BlockNode> children) {
    BlockNode node;
    node.key = std::move(key);
    node.children = std::move(children);
    return node;
}
inline BlockNode Binary(std::string key, std::string bytes, std::vector<BlockNode> children = {}) {
    BlockNode node = Branch(std::move(key), std::move(children));
    node.value = std::move(bytes);
    node.binary = true;
    return node;
}

namespace detail {

inline void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::size_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void Pad4(std::vector<std::uint8_t>& out) {
    while (out.size() % 4)
        out.push_back(0);
}

inline void Append(std::vector<std::uint8_t>& out, const BlockNode& node, bool wide) {
    const std::size_t start = out.size();
    const std::size_t unit = wide ? 2 : 1;
    out.resize(start + (wide ? 6 : 4), 0);
    if (wide)
        out[start + 4] = node.binary ? 0 : 1;
    const auto putText = [&](const std::string& text) {
        for (const char c : text) {
            out.push_back(static_cast<std::uint8_t>(c));
            if (wide)
                out.push_back(0);
        }
        out.resize(out.size() + unit, 0);
    };
    putText(node.key);
    if (!node.value.empty())
        Pad4(out);
    std::size_t valueLength = 0;
    if (node.binary) {
        out.insert(out.end(), node.value.begin(), node.value.end());
        valueLength = node.value.size();
    } else if (!node.value.empty()) {
        putText(node.value);
        valueLength = node.value.size() + 1;
    }
    for (const BlockNode& child : node.children) {
        Pad4(out);
        Append(out, child, wide);
    }
    Put16(out, start, node.length.value_or(out.size() - start));
    Put16(out, start + 2, node.valueLength.value_or(valueLength));
}

}  // namespace detail

// The block as a resource compiler lays it out: a node's length leaves out the padding after it.
inline std::vector<std::uint8_t> BuildBlock(const BlockNode& root, bool wide) {
    std::vector<std::uint8_t> out;
    detail::Append(out, root, wide);
    return out;
}

// A query that takes every length as the block states it, as the system's does: it reads each
// key up to its terminator, steps from child to child by their lengths, reads each value, and
// writes each text value of a 16-bit-character block, converted, at the value's own offset
// behind the block and its end mark. It checks no bound; over a heap copy of exactly the
// buffer's size the sanitizers see every step outside. Only for blocks the check accepted: a
// length of zero would hold it in place.
class TrustingQuery {
  public:
    TrustingQuery(std::uint8_t* buffer, bool wide)
        : buffer_(buffer), wide_(wide), rootLength_(U16(0)) {}
    void VisitAll() { Visit(0); }

  private:
    std::size_t U16(std::size_t at) const { return buffer_[at] | buffer_[at + 1] << 8; }
    static std::size_t Align4(std::size_t value) { return (value + 3) & ~std::size_t{3}; }

    void Visit(std::size_t start) {
        const std::size_t unit = wide_ ? 2 : 1;
        const bool text = wide_ && U16(start + 4) != 0;
        std::size_t at = start + (wide_ ? 6 : 4);
        while (wide_ ? U16(at) != 0 : buffer_[at] != 0)
            at += unit;
        const std::size_t value = start + Align4(at + unit - start);
        const std::size_t valueBytes = U16(start + 2) * (text ? 2 : 1);
        // A double-byte code page may take as many bytes as the 16-bit value has.
        const std::size_t converted = rootLength_ + 4 + value;
        for (std::size_t i = 0; i < valueBytes; ++i) {
            const std::uint8_t byte = buffer_[value + i];
            if (text)
                buffer_[converted + i] = byte;
        }
        const std::size_t end = start + U16(start);
        for (std::size_t child = value + Align4(valueBytes); child < end;
             child += Align4(U16(child))) {
            Visit(child);
        }
    }

    std::uint8_t* buffer_;
    bool wide_;
    std::size_t rootLength_;
};

}  // namespace runlens::testing
