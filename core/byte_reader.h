// Reads of numbers inside a block of bytes that fail outside it: the readers of the resources
// that files bring (version blocks, icons) take every offset from the file itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace runlens {

class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Size() const { return bytes_.size(); }
    bool Has(std::size_t offset, std::size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    std::optional<std::uint16_t> U8(std::size_t offset) const {
        if (!Has(offset, 1))
            return std::nullopt;
        return bytes_[offset];
    }
    // Little-endian, as Windows' own structures are.
    std::optional<std::uint16_t> U16(std::size_t offset) const {
        if (!Has(offset, 2))
            return std::nullopt;
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::optional<std::uint32_t> U32(std::size_t offset) const {
        if (!Has(offset, 4))
            return std::nullopt;
        return static_cast<std::uint32_t>(bytes_[offset] | bytes_[offset + 1] << 8 |
                                          bytes_[offset + 2] << 16 |
                                          static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
    }
    // Big-endian, as PNG's.
    std::optional<std::uint32_t> U32BigEndian(std::size_t offset) const {
        if (!Has(offset, 4))
            return std::nullopt;
        return static_cast<std::uint32_t>(static_cast<std::uint32_t>(bytes_[offset]) << 24 |
                                          bytes_[offset + 1] << 16 | bytes_[offset + 2] << 8 |
                                          bytes_[offset + 3]);
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace runlens
