// Icon resources made in memory: images with the headers a test chooses, groups that name them,
// and a file that holds both.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "inventory/icon_guard.h"

namespace runlens::testing {

using Bytes = std::vector<std::uint8_t>;

inline void PutLe(Bytes& bytes, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(i < 8 ? static_cast<std::uint8_t>(value >> (8 * i)) : 0);
}
inline void PutBe32(Bytes& bytes, std::uint32_t value) {
    for (int i = 3; i >= 0; --i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A bitmap icon image: the header, a colour table, colour rows and mask rows, as large as its
// header says unless `trim` bytes are cut off its end. The height counts both kinds of row.
struct BitmapIcon {
    std::uint32_t headerSize = 40;
    std::int32_t width = 32;
    std::int32_t height = 64;
    std::uint16_t planes = 1;
    std::uint16_t bits = 8;
    std::uint32_t compression = 0;
    std::uint32_t used = 0;
    std::size_t trim = 0;
    // Header fields as written, when they differ from those the size is worked out from.
    std::optional<std::int32_t> writtenWidth;
    std::optional<std::int32_t> writtenHeight;
    std::optional<std::uint32_t> writtenUsed;
};

inline Bytes BitmapImage(const BitmapIcon& icon) {
    Bytes bytes;
    if (icon.headerSize == 12) {
        PutLe(bytes, 12, 4);
        PutLe(bytes, static_cast<std::uint16_t>(icon.writtenWidth.value_or(icon.width)), 2);
        PutLe(bytes, static_cast<std::uint16_t>(icon.writtenHeight.value_or(icon.height)), 2);
        PutLe(bytes, icon.planes, 2);
        PutLe(bytes, icon.bits, 2);
    } else {
        PutLe(bytes, icon.headerSize, 4);
        PutLe(bytes, static_cast<std::uint32_t>(icon.writtenWidth.value_or(icon.width)), 4);
        PutLe(bytes, static_cast<std::uint32_t>(icon.writtenHeight.value_or(icon.height)), 4);
        PutLe(bytes, icon.planes, 2);
        PutLe(bytes, icon.bits, 2);
        PutLe(bytes, icon.compression, 4);
        PutLe(bytes, 0, 4 * 3);  // image size, resolution
        PutLe(bytes, icon.writtenUsed.value_or(icon.used), 4);
        PutLe(bytes, 0, 4);  // important colours
        bytes.resize(icon.headerSize >= 40 ? icon.headerSize : bytes.size(), 0);
    }
    const std::size_t entrySize = icon.headerSize == 12 ? 3 : 4;
    std::size_t colours = icon.used;
    if (colours == 0 && icon.bits <= 8)
        colours = std::size_t{1} << icon.bits;
    if (icon.compression == 3 && icon.headerSize == 40)
        bytes.resize(bytes.size() + 12, 0xFF);
    bytes.resize(bytes.size() + colours * entrySize, 0x40);
    const std::size_t width = icon.width > 0 ? static_cast<std::size_t>(icon.width) : 0;
    const std::size_t rows = icon.height > 0 ? static_cast<std::size_t>(icon.height) / 2 : 0;
    const std::size_t colourRow = (width * icon.bits + 31) / 32 * 4;
    const std::size_t maskRow = (width + 31) / 32 * 4;
    bytes.resize(bytes.size() + (colourRow + maskRow) * rows, 0x5A);
    bytes.resize(bytes.size() - std::min(icon.trim, bytes.size()));
    return bytes;
}

// A PNG image: its signature, a header chunk, one data chunk and the end chunk, each as the
// test says.
struct PngIcon {
    std::uint32_t width = 256;
    std::uint32_t height = 256;
    std::uint32_t headerLength = 13;
    std::uint32_t dataLength = 16;
    std::uint32_t writtenDataLength = 16;
    bool end = true;
};

inline Bytes PngImage(const PngIcon& png) {
    Bytes bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, std::uint32_t written, const Bytes& data) {
        PutBe32(bytes, written);
        bytes.insert(bytes.end(), type, type + 4);
        bytes.insert(bytes.end(), data.begin(), data.end());
        PutBe32(bytes, 0x12345678);  // the checksum, which the check does not read
    };
    Bytes header;
    PutBe32(header, png.width);
    PutBe32(header, png.height);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    header.resize(png.headerLength, 0);
    chunk("IHDR", png.headerLength, header);
    chunk("IDAT", png.writtenDataLength, Bytes(png.dataLength, 0x78));
    if (png.end)
        chunk("IEND", 0, {});
    return bytes;
}

// An icon group naming the entries; `count` is the count its header claims, the number of
// entries unless set.
inline Bytes GroupOf(const std::vector<IconGroupEntry>& entries,
                     std::optional<std::uint16_t> count = std::nullopt, std::uint16_t type = 1) {
    Bytes bytes;
    PutLe(bytes, 0, 2);
    PutLe(bytes, type, 2);
    PutLe(bytes, count.value_or(static_cast<std::uint16_t>(entries.size())), 2);
    for (const IconGroupEntry& entry : entries) {
        bytes.insert(bytes.end(), {32, 32, 0, 0});
        PutLe(bytes, 1, 2);
        PutLe(bytes, 8, 2);
        PutLe(bytes, entry.bytes, 4);
        PutLe(bytes, entry.id, 2);
    }
    return bytes;
}

class FakeIconResources final : public IconResources {
  public:
    std::vector<ResourceBytes> Groups() override {
        return std::vector<ResourceBytes>(groups.begin(), groups.end());
    }
    std::optional<ResourceBytes> Icon(std::uint16_t id) override {
        const auto found = icons.find(id);
        if (found == icons.end())
            return std::nullopt;
        return ResourceBytes(found->second);
    }

    // Adds the image as the icon `id` and a group that names it with its true size.
    void AddGroupOf(std::uint16_t id, Bytes image) {
        groups.push_back(GroupOf({{id, static_cast<std::uint32_t>(image.size())}}));
        icons[id] = std::move(image);
    }

    std::vector<Bytes> groups;
    std::map<std::uint16_t, Bytes> icons;
};

}  // namespace runlens::testing
