// Arbitrary bytes as an icon image, and as a file's icon group and icons: the check may refuse
// them, but never reads outside what it is given.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "inventory/icon_guard.h"

namespace {

// The first two bytes say how long the group is; the rest is every icon, each id starting at
// its own offset into it.
class BytesAsIcons final : public runlens::IconResources {
  public:
    explicit BytesAsIcons(std::span<const std::uint8_t> bytes) {
        if (bytes.size() < 2)
            return;
        const std::size_t length =
            std::min<std::size_t>(bytes[0] | bytes[1] << 8, bytes.size() - 2);
        group_ = std::vector<std::uint8_t>(bytes.begin() + 2, bytes.begin() + 2 + length);
        icons_ = std::vector<std::uint8_t>(bytes.begin() + 2 + length, bytes.end());
    }
    std::vector<runlens::ResourceBytes> Groups() override {
        return {runlens::ResourceBytes(group_)};
    }
    std::optional<runlens::ResourceBytes> Icon(std::uint16_t id) override {
        if (id % 5 == 4)
            return std::nullopt;
        const std::size_t start = icons_.empty() ? 0 : (id * 7u) % icons_.size();
        return runlens::ResourceBytes(icons_).subspan(start);
    }

  private:
    // Copies, so that the sanitizers see every read past either end.
    std::vector<std::uint8_t> group_;
    std::vector<std::uint8_t> icons_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> image(data, data + size);
    runlens::IsSoundIconImage(image);
    runlens::ReadIconGroup(image);
    BytesAsIcons file({data, size});
    runlens::AreIconResourcesSound(file);
    return 0;
}
