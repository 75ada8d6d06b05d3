#include "app/sorting.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace runlens {
namespace {

constexpr unsigned char FoldToUpper(unsigned char byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 0x20) : byte;
}

int CompareFolded(std::string_view text1, std::string_view text2) {
    const std::size_t common = std::min(text1.size(), text2.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = FoldToUpper(static_cast<unsigned char>(text1[i])) -
                               FoldToUpper(static_cast<unsigned char>(text2[i]));
        if (difference != 0)
            return difference;
    }
    if (text1.size() == text2.size())
        return 0;
    return text1.size() < text2.size() ? -1 : 1;
}

// As if the shorter text were padded on the left to the longer one's length, so that numbers
// compare by magnitude.
int CompareRightAligned(std::string_view text1, std::string_view text2) {
    const std::size_t length = std::max(text1.size(), text2.size());
    const std::size_t pad1 = length - text1.size();
    const std::size_t pad2 = length - text2.size();
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte1 = i < pad1 ? kRightAlignPad : text1[i - pad1];
        const auto byte2 = i < pad2 ? kRightAlignPad : text2[i - pad2];
        const int difference = FoldToUpper(static_cast<unsigned char>(byte1)) -
                               FoldToUpper(static_cast<unsigned char>(byte2));
        if (difference != 0)
            return difference;
    }
    return 0;
}

}  // namespace

int NextSortKey(int column, int& flag) {
    flag = flag == 0 ? 1 : 0;
    return flag == 1 ? -(column + 1) : column + 1;
}

std::string_view ColumnText(const ProcessRow& row, int column) {
    switch (column) {
        case 0:
            return row.caption;
        case 1:
            return row.path;
        case 2:
            return row.sizeText;
        default:
            return {};
    }
}

int CompareRows(const ProcessRow& row1, const ProcessRow& row2, int sortKey, bool rightAligned) {
    const int sign = sortKey > 0 ? 1 : -1;
    const int column = std::abs(sortKey) - 1;
    std::string_view text1 = ColumnText(row1, column);
    std::string_view text2 = ColumnText(row2, column);
    if (rightAligned)
        return sign * CompareRightAligned(text1, text2);
    return sign * CompareFolded(text1, text2);
}

}  // namespace runlens
