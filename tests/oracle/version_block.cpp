#include "tests/oracle/version_block.h"

#include <algorithm>
#include <cstring>

#include "core/text_rules.h"
#include "info/version_guard.h"
#include "info/version_layout.h"

namespace runlens {
namespace {

constexpr std::uint16_t kVsFileInfo = 16;    // resource type of version resources
constexpr std::uint16_t kVsVersionInfo = 1;  // their resource id
using version_layout::Align4;
using version_layout::ConvertedBufferSize;
using version_layout::IsEightBitLayout;
using version_layout::kTailSignature;
using version_layout::Node;
using version_layout::Reader;
using version_layout::ReadNode;

// ---- The PE file's resource directory ----

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class PeImage {
  public:
    explicit PeImage(std::span<const std::uint8_t> file) : file_(file), reader_(file) { Parse(); }

    std::optional<std::size_t> ResourceRoot() const { return resourceRoot_; }

    // The file offset of `count` bytes at a relative virtual address.
    std::optional<std::size_t> Offset(std::uint32_t rva, std::size_t count) const {
        for (const Section& section : sections_) {
            const std::uint32_t extent = std::max(section.virtualSize, section.rawSize);
            if (rva < section.virtualAddress || rva - section.virtualAddress >= extent)
                continue;
            const std::size_t inSection = rva - section.virtualAddress;
            if (inSection > section.rawSize || count > section.rawSize - inSection) {
                return std::nullopt;
            }
            const std::size_t offset = std::size_t{section.rawOffset} + inSection;
            if (!reader_.Has(offset, count))
                return std::nullopt;
            return offset;
        }
        return std::nullopt;
    }

    const Reader& Bytes() const { return reader_; }
    std::span<const std::uint8_t> File() const { return file_; }

  private:
    void Parse() {
        if (reader_.U16(0) != 0x5A4D)
            return;  // "MZ"
        const auto peOffset = reader_.U32(0x3C);
        if (!peOffset || reader_.U32(*peOffset) != 0x00004550)
            return;  // "PE\0\0"
        const std::size_t coff = *peOffset + 4;
        const auto sectionCount = reader_.U16(coff + 2);
        const auto optionalSize = reader_.U16(coff + 16);
        const std::size_t optional = coff + 20;
        const auto magic = reader_.U16(optional);
        if (!sectionCount || !optionalSize || !magic)
            return;
        std::size_t directories = 0;
        std::size_t directoryCountAt = 0;
        if (*magic == 0x10B) {  // 32-bit
            directoryCountAt = optional + 92;
            directories = optional + 96;
        } else if (*magic == 0x20B) {  // 64-bit
            directoryCountAt = optional + 108;
            directories = optional + 112;
        } else {
            return;
        }
        const auto directoryCount = reader_.U32(directoryCountAt);
        if (!directoryCount || *directoryCount <= 2)
            return;
        const auto resourceRva = reader_.U32(directories + 2 * 8);
        if (!resourceRva || *resourceRva == 0)
            return;

        const std::size_t table = optional + *optionalSize;
        for (std::size_t i = 0; i < *sectionCount; ++i) {
            const std::size_t at = table + i * 40;
            const auto virtualSize = reader_.U32(at + 8);
            const auto virtualAddress = reader_.U32(at + 12);
            const auto rawSize = reader_.U32(at + 16);
            const auto rawOffset = reader_.U32(at + 20);
            if (!virtualSize || !virtualAddress || !rawSize || !rawOffset)
                return;
            sections_.push_back({*virtualAddress, *virtualSize, *rawSize, *rawOffset});
        }
        resourceRoot_ = Offset(*resourceRva, 16);
    }

    std::span<const std::uint8_t> file_;
    Reader reader_;
    std::vector<Section> sections_;
    std::optional<std::size_t> resourceRoot_;
};

struct DirectoryEntry {
    std::uint32_t name;
    std::uint32_t data;
};

// Entries of a resource directory at `directory` (a file offset); `root` is the offset that
// the entries' data offsets count from.
std::vector<DirectoryEntry> Entries(const Reader& bytes, std::size_t directory) {
    std::vector<DirectoryEntry> entries;
    const auto named = bytes.U16(directory + 12);
    const auto numbered = bytes.U16(directory + 14);
    if (!named || !numbered)
        return entries;
    for (std::size_t i = 0; i < std::size_t{*named} + *numbered; ++i) {
        const auto name = bytes.U32(directory + 16 + i * 8);
        const auto data = bytes.U32(directory + 20 + i * 8);
        if (!name || !data)
            break;
        entries.push_back({*name, *data});
    }
    return entries;
}

constexpr std::uint32_t kHighBit = 0x80000000u;

std::optional<std::uint32_t> EntryById(const std::vector<DirectoryEntry>& entries,
                                       std::uint16_t id) {
    for (const DirectoryEntry& entry : entries) {
        if (!(entry.name & kHighBit) && (entry.name & 0xFFFF) == id)
            return entry.data;
    }
    return std::nullopt;
}

// A subdirectory's file offset.
std::optional<std::size_t> Subdirectory(const PeImage& image, std::size_t root,
                                        std::optional<std::uint32_t> data) {
    if (!data || !(*data & kHighBit))
        return std::nullopt;
    const std::size_t offset = root + (*data & ~kHighBit);
    if (!image.Bytes().Has(offset, 16))
        return std::nullopt;
    return offset;
}

// The languages the system's resource lookup tries, in order, before taking the first entry.
std::vector<std::uint16_t> LanguageOrder(std::uint16_t language) {
    const auto primary = static_cast<std::uint16_t>(language & 0x3FF);
    return {0x0000, language, static_cast<std::uint16_t>(primary),
            static_cast<std::uint16_t>(primary | 0x0400), 0x0409};
}

// ---- Version blocks ----

bool KeyMatches(const Reader& bytes, const Node& node, std::u16string_view key, bool wide) {
    if (node.keyLength != key.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const std::size_t at = node.key + i * (wide ? 2 : 1);
        const auto c = wide ? bytes.U16(at) : bytes.U8(at);
        if (!c || UpperAsciiLetter(static_cast<char16_t>(*c)) != UpperAsciiLetter(key[i]))
            return false;
    }
    return true;
}

std::optional<Node> FindChild(const Reader& bytes, const Node& parent, std::u16string_view key,
                              bool wide) {
    const std::size_t end = parent.start + parent.length;
    std::size_t at = parent.children;
    while (at < end) {
        const auto child = ReadNode(bytes, at, wide);
        if (!child)
            return std::nullopt;
        if (KeyMatches(bytes, *child, key, wide))
            return child;
        if (child->length == 0)
            return std::nullopt;
        at += Align4(child->length);
    }
    return std::nullopt;
}

// The node a backslash-separated path names; empty components are skipped.
std::optional<Node> FindPath(std::span<const std::uint8_t> block, std::u16string_view path,
                             bool wide) {
    const Reader bytes(block);
    auto node = ReadNode(bytes, 0, wide);
    while (node && !path.empty()) {
        const std::size_t slash = path.find(u'\\');
        const std::u16string_view component = path.substr(0, slash);
        path = slash == std::u16string_view::npos ? std::u16string_view() : path.substr(slash + 1);
        if (component.empty())
            continue;
        node = FindChild(bytes, *node, component, wide);
    }
    return node;
}

std::string TextAt(std::span<const std::uint8_t> block, std::size_t offset) {
    if (offset >= block.size())
        return {};
    const auto* begin = reinterpret_cast<const char*>(block.data()) + offset;
    return std::string(begin, ::strnlen(begin, block.size() - offset));
}

}  // namespace

std::optional<std::span<const std::uint8_t>> FindVersionResource(std::span<const std::uint8_t> file,
                                                                 std::uint16_t language) {
    const PeImage image(file);
    const auto root = image.ResourceRoot();
    if (!root)
        return std::nullopt;
    const Reader& bytes = image.Bytes();
    const auto types = Subdirectory(image, *root, EntryById(Entries(bytes, *root), kVsFileInfo));
    if (!types)
        return std::nullopt;
    const auto names =
        Subdirectory(image, *root, EntryById(Entries(bytes, *types), kVsVersionInfo));
    if (!names)
        return std::nullopt;

    const auto languages = Entries(bytes, *names);
    std::optional<std::uint32_t> leaf;
    for (const std::uint16_t candidate : LanguageOrder(language)) {
        if ((leaf = EntryById(languages, candidate)))
            break;
    }
    if (!leaf && !languages.empty())
        leaf = languages.front().data;
    if (!leaf || (*leaf & kHighBit))
        return std::nullopt;

    const std::size_t entry = *root + *leaf;
    const auto rva = bytes.U32(entry);
    const auto size = bytes.U32(entry + 4);
    if (!rva || !size || *size == 0)
        return std::nullopt;
    const auto offset = image.Offset(*rva, *size);
    if (!offset)
        return std::nullopt;
    return file.subspan(*offset, *size);
}

std::size_t VersionBufferSize(std::span<const std::uint8_t> resource) {
    return resource.empty() ? 0 : ConvertedBufferSize(resource.size());
}

std::optional<std::string> QueryVersionText(std::span<std::uint8_t> block,
                                            std::string_view subBlock, const CodePage& ansi) {
    const bool wide = !IsEightBitLayout(block);
    const auto node = FindPath(block, ansi.ToUtf16(subBlock), wide);
    if (!node)
        return std::nullopt;
    if (!wide || !node->text)
        return TextAt(block, node->value);

    // The system converts the value into the space behind the block, at the value's own
    // offset, and hands out the converted text from there.
    const Reader bytes(block);
    std::u16string value;
    for (std::size_t i = 0; i < node->valueLength; ++i) {
        const auto unit = bytes.U16(node->value + i * 2);
        if (!unit)
            break;
        value.push_back(static_cast<char16_t>(*unit));
    }
    const std::string converted = value.empty() ? std::string() : ansi.FromUtf16(value);
    const std::size_t rootLength = *bytes.U16(0);
    const std::size_t tail = rootLength + sizeof(kTailSignature) + node->value;
    if (node->value > rootLength || converted.size() > rootLength - node->value ||
        tail >= block.size()) {
        // No room: the system writes nothing there.
        return tail < block.size() ? TextAt(block, tail) : std::string();
    }
    const std::size_t fits = std::min(converted.size(), block.size() - tail);
    std::memcpy(block.data() + tail, converted.data(), fits);
    return TextAt(block, tail);
}

std::optional<std::uint32_t> QueryVersionTranslation(std::span<std::uint8_t> block,
                                                     const CodePage& ansi) {
    const auto node =
        FindPath(block, ansi.ToUtf16("\\VarFileInfo\\Translation"), !IsEightBitLayout(block));
    if (!node)
        return std::nullopt;
    return Reader(block).U32(node->value);
}

bool PortableVersionApi::Load(std::string_view fileName) {
    if (fileName != loadedName_ || loadedName_.empty()) {
        loadedName_.assign(fileName);
        resource_ = {};
        auto file = files_.ReadFile(fileName);
        loadedFile_ = file ? std::move(*file) : std::vector<std::uint8_t>();
        if (const auto resource = FindVersionResource(loadedFile_, language_))
            resource_ = *resource;
    }
    return !resource_.empty();
}

std::uint32_t PortableVersionApi::VersionInfoSize(std::string_view fileName) {
    if (!Load(fileName))
        return 0;
    return static_cast<std::uint32_t>(VersionBufferSize(resource_));
}

bool PortableVersionApi::ReadVersionInfo(std::string_view fileName, std::span<std::uint8_t> block) {
    if (!Load(fileName))
        return false;
    const std::size_t count = std::min(block.size(), resource_.size());
    std::memcpy(block.data(), resource_.data(), count);
    // The system marks a 16-bit-character block's end.
    const Reader bytes(block);
    if (!IsEightBitLayout(block)) {
        if (const auto length = bytes.U16(0); length && bytes.Has(*length, 4)) {
            std::memcpy(block.data() + *length, kTailSignature, sizeof(kTailSignature));
        }
    }
    return IsWellFormedVersionBlock(block);
}

}  // namespace runlens
