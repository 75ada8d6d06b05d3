#include "info/version_layout.h"

namespace runlens::version_layout {

std::optional<Node> ReadNode(const Reader& bytes, std::size_t start, bool wide) {
    Node node;
    node.start = start;
    const auto length = bytes.U16(start);
    const auto valueLength = bytes.U16(start + 2);
    if (!length || !valueLength)
        return std::nullopt;
    node.length = *length;
    node.valueLength = *valueLength;
    const std::size_t unit = wide ? 2 : 1;
    if (wide) {
        const auto type = bytes.U16(start + 4);
        if (!type)
            return std::nullopt;
        node.text = *type != 0;
    }
    node.key = start + (wide ? 6 : 4);
    for (std::size_t at = node.key;; at += unit) {
        const auto character = wide ? bytes.U16(at) : bytes.U8(at);
        if (!character)
            return std::nullopt;
        if (*character == 0) {
            node.keyLength = (at - node.key) / unit;
            node.value = start + Align4(at + unit - start);
            break;
        }
    }
    node.valueBytes = node.valueLength * (wide && node.text ? 2 : 1);
    node.children = node.value + Align4(node.valueBytes);
    return node;
}

}  // namespace runlens::version_layout
