#include "app/sorting.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>

#include "core/text_rules.h"

namespace runlens {
namespace {

// Eight bytes of a text as one number, the first byte lowest.
std::uint64_t LoadWord(std::string_view text, std::size_t at) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < 8; ++i)
        word |= std::uint64_t{static_cast<unsigned char>(text[at + i])} << (8 * i);
    return word;
}

// UpperAsciiLetter on each byte of a word at once. Each byte's low seven bits plus a constant carry
// into its top bit exactly when the byte is at least "a" (or above "z"), and never into the
// next byte; bytes of 0x80 and above are left alone.
constexpr std::uint64_t FoldWordToUpper(std::uint64_t word) {
    constexpr std::uint64_t kEachByte = 0x0101010101010101;
    const std::uint64_t low = word & (0x7F * kEachByte);
    const std::uint64_t atLeastA = low + (0x80 - 'a') * kEachByte;
    const std::uint64_t aboveZ = low + (0x80 - 'z' - 1) * kEachByte;
    const std::uint64_t lower = atLeastA & ~aboveZ & ~word & (0x80 * kEachByte);
    return word - (lower >> 2);  // 0x80 >> 2 is the 0x20 between the cases
}

int CompareFolded(std::string_view text1, std::string_view text2) {
    const std::size_t common = std::min(text1.size(), text2.size());
    // Whole words first, up to the word that holds the first difference; the row comparison
    // runs for every pair the list control's sort compares.
    std::size_t start = 0;
    for (; start + 8 <= common; start += 8) {
        const std::uint64_t difference =
            FoldWordToUpper(LoadWord(text1, start)) ^ FoldWordToUpper(LoadWord(text2, start));
        if (difference != 0) {
            start += static_cast<std::size_t>(std::countr_zero(difference)) / 8;
            break;
        }
    }
    for (std::size_t i = start; i < common; ++i) {
        const int difference = UpperAsciiLetter(static_cast<unsigned char>(text1[i])) -
                               UpperAsciiLetter(static_cast<unsigned char>(text2[i]));
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
        const int difference = UpperAsciiLetter(static_cast<unsigned char>(byte1)) -
                               UpperAsciiLetter(static_cast<unsigned char>(byte2));
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
            return row.caption.text;
        case 1:
            return row.path.text;
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
