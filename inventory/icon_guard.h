// The check a file's icon resources pass before the system's icon extraction sees them. The
// extraction believes the resources: a group that claims more entries than it holds, or an
// image header that claims more pixels than its resource holds, sends its reads past the
// resource, and one such running program would fault the whole fill.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace runlens {

using ResourceBytes = std::span<const std::uint8_t>;

// The icon resources of one file, as the system finds them.
class IconResources {
  public:
    virtual ~IconResources() = default;
    // The bytes of every icon group resource (RT_GROUP_ICON) of the file.
    virtual std::vector<ResourceBytes> Groups() = 0;
    // The bytes of the icon resource (RT_ICON) with this number; nothing when there is none.
    virtual std::optional<ResourceBytes> Icon(std::uint16_t id) = 0;
};

// One entry of an icon group: the icon resource it names and the size it gives for it.
struct IconGroupEntry {
    std::uint16_t id = 0;
    std::uint32_t bytes = 0;
};

// The icon format gives a side up to 256 pixels; the check allows four times that.
inline constexpr std::uint32_t kLargestIconSide = 1024;

// The entries of a group resource; nothing when its header is not an icon group's or its count
// claims more entries than the resource holds.
std::optional<std::vector<IconGroupEntry>> ReadIconGroup(ResourceBytes group);

// True when the image of an icon resource holds together within `image`: a bitmap whose
// header, colour table, colour rows and mask rows fit, or a PNG image whose chunks all do, up
// to its end chunk. Sides from 1 to kLargestIconSide.
bool IsSoundIconImage(ResourceBytes image);

// True when every group of the file is sound, every entry names an icon that exists, and each
// such icon's image is sound within the smaller of its entry's size and its resource's. A file
// without icon groups passes: it has nothing to extract.
bool AreIconResourcesSound(IconResources& resources);

}  // namespace runlens
