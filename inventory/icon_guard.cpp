#include "inventory/icon_guard.h"

#include <algorithm>
#include <array>

#include "core/byte_reader.h"

namespace runlens {
namespace {

constexpr std::size_t kGroupHeader = 6;
constexpr std::size_t kGroupEntry = 14;
constexpr std::uint16_t kIconType = 1;

constexpr std::uint32_t kCoreHeader = 12;  // BITMAPCOREHEADER
constexpr std::uint32_t kInfoHeader = 40;  // BITMAPINFOHEADER, and the longer ones after it
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kPngChunkFrame = 12;  // length, type and checksum
constexpr std::uint32_t kPngHeaderLength = 13;

// A number the checks below have already found room for; 0 where a read would leave the bytes.
std::uint16_t Le16(const ByteReader& bytes, std::size_t at) {
    return bytes.U16(at).value_or(0);
}
std::uint32_t Le32(const ByteReader& bytes, std::size_t at) {
    return bytes.U32(at).value_or(0);
}
std::uint32_t Be32(const ByteReader& bytes, std::size_t at) {
    return bytes.U32BigEndian(at).value_or(0);
}

bool IsSide(std::uint64_t side) {
    return side >= 1 && side <= kLargestIconSide;
}

// The chunks from the header on, each inside the image, up to the end chunk.
bool IsSoundPng(ResourceBytes image) {
    const ByteReader bytes(image);
    std::size_t at = kPngSignature.size();
    bool first = true;
    while (image.size() - at >= kPngChunkFrame) {
        const std::uint32_t length = Be32(bytes, at);
        const ResourceBytes type = image.subspan(at + 4, 4);
        if (length > image.size() - at - kPngChunkFrame)
            return false;
        const auto named = [&](const char* name) {
            return std::equal(type.begin(), type.end(), name);
        };
        if (first) {
            if (!named("IHDR") || length != kPngHeaderLength)
                return false;
            if (!IsSide(Be32(bytes, at + 8)) || !IsSide(Be32(bytes, at + 12)))
                return false;
            first = false;
        }
        if (named("IEND"))
            return true;
        at += kPngChunkFrame + length;
    }
    return false;
}

bool IsSoundBitmap(ResourceBytes image) {
    const ByteReader bytes(image);
    if (image.size() < 4)
        return false;
    const std::uint32_t headerSize = Le32(bytes, 0);
    std::uint64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bits = 0;
    std::uint64_t colours = 0;
    std::uint64_t colourSize = 4;
    std::uint64_t masks = 0;
    if (headerSize == kCoreHeader) {
        if (image.size() < kCoreHeader)
            return false;
        width = Le16(bytes, 4);
        height = Le16(bytes, 6);
        planes = Le16(bytes, 8);
        bits = Le16(bytes, 10);
        colourSize = 3;
        if (bits <= 8)
            colours = std::uint64_t{1} << bits;
    } else {
        if (headerSize < kInfoHeader || headerSize > image.size())
            return false;
        const auto signedWidth = static_cast<std::int32_t>(Le32(bytes, 4));
        if (signedWidth <= 0)
            return false;
        width = static_cast<std::uint64_t>(signedWidth);
        height = static_cast<std::int32_t>(Le32(bytes, 8));
        planes = Le16(bytes, 12);
        bits = Le16(bytes, 14);
        const std::uint32_t compression = Le32(bytes, 16);
        const std::uint32_t used = Le32(bytes, 32);
        if (compression == kBitFields && (bits == 16 || bits == 32)) {
            if (headerSize == kInfoHeader)
                masks = 12;  // the three colour masks behind the short header
        } else if (compression != kRgb) {
            return false;
        }
        if (bits <= 8 && used > (std::uint32_t{1} << bits))
            return false;
        colours = used != 0 || bits > 8 ? used : std::uint64_t{1} << bits;
    }
    if (planes != 1 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
        return false;
    }
    // The height counts the colour rows and the mask rows below them.
    if (height < 2 || !IsSide(width) || !IsSide(static_cast<std::uint64_t>(height / 2)))
        return false;
    const std::uint64_t rows = static_cast<std::uint64_t>(height / 2);
    const std::uint64_t colourRow = (width * bits + 31) / 32 * 4;
    const std::uint64_t maskRow = (width + 31) / 32 * 4;
    const std::uint64_t needed =
        headerSize + masks + colours * colourSize + (colourRow + maskRow) * rows;
    return needed <= image.size();
}

}  // namespace

std::optional<std::vector<IconGroupEntry>> ReadIconGroup(ResourceBytes group) {
    const ByteReader bytes(group);
    if (group.size() < kGroupHeader || Le16(bytes, 0) != 0 || Le16(bytes, 2) != kIconType)
        return std::nullopt;
    const std::size_t count = Le16(bytes, 4);
    if (count == 0 || count > (group.size() - kGroupHeader) / kGroupEntry)
        return std::nullopt;
    std::vector<IconGroupEntry> entries;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kGroupHeader + i * kGroupEntry;
        entries.push_back({Le16(bytes, at + 12), Le32(bytes, at + 8)});
    }
    return entries;
}

bool IsSoundIconImage(ResourceBytes image) {
    if (image.size() >= kPngSignature.size() &&
        std::equal(kPngSignature.begin(), kPngSignature.end(), image.begin())) {
        return IsSoundPng(image);
    }
    return IsSoundBitmap(image);
}

bool AreIconResourcesSound(IconResources& resources) {
    for (const ResourceBytes group : resources.Groups()) {
        const auto entries = ReadIconGroup(group);
        if (!entries)
            return false;
        for (const IconGroupEntry& entry : *entries) {
            const auto icon = resources.Icon(entry.id);
            if (!icon || entry.bytes == 0 || entry.bytes > icon->size())
                return false;
            if (!IsSoundIconImage(icon->first(entry.bytes)))
                return false;
        }
    }
    return true;
}

}  // namespace runlens
