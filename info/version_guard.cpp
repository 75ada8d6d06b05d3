#include "info/version_guard.h"

#include <vector>

#include "info/version_layout.h"

namespace runlens {
namespace {

using version_layout::Align4;
using version_layout::ConvertedBufferSize;
using version_layout::Node;
using version_layout::Reader;
using version_layout::ReadNode;

// The node, its key with the key's terminator, and its value lie inside `end`. A node that holds
// its key is longer than its header, so a walk from node to node always moves on.
bool FitsInside(const Node& node, std::size_t end, bool wide) {
    const std::size_t nodeEnd = node.start + node.length;
    const std::size_t keyEnd = node.key + (node.keyLength + 1) * (wide ? 2 : 1);
    // An empty value may sit at the aligned offset just past the node's end.
    const bool valueInside = node.valueBytes == 0 || node.value + node.valueBytes <= nodeEnd;
    return nodeEnd <= end && keyEnd <= nodeEnd && valueInside;
}

}  // namespace

bool IsWellFormedVersionBlock(std::span<const std::uint8_t> buffer) {
    const bool wide = !version_layout::IsEightBitLayout(buffer);
    const Reader bytes(buffer);
    const auto root = ReadNode(bytes, 0, wide);
    if (!root || !FitsInside(*root, buffer.size(), wide))
        return false;
    if (wide && ConvertedBufferSize(root->length) > buffer.size())
        return false;

    // Depth first, by the same steps the query takes from a node to its next sibling; a stack
    // rather than recursion, as a forged block may nest thousands of nodes deep.
    std::vector<Node> open{*root};
    std::size_t at = root->children;
    while (!open.empty()) {
        const Node parent = open.back();
        const std::size_t end = parent.start + parent.length;
        if (at >= end) {
            open.pop_back();
            at = parent.start + Align4(parent.length);
            continue;
        }
        const auto child = ReadNode(bytes, at, wide);
        if (!child || !FitsInside(*child, end, wide))
            return false;
        open.push_back(*child);
        at = child->children;
    }
    return true;
}

}  // namespace runlens
