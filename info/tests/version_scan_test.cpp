#include "info/version_strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace runlens {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// A text stored as 16-bit characters, with its terminating zero character.
std::string Wide(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c;
        out += '\0';
    }
    return out + std::string(2, '\0');
}

// A literal with its zero bytes.
template <std::size_t N>
std::string Raw(const char (&text)[N]) {
    return std::string(text, N - 1);
}

struct ScanCase {
    const char* name;
    std::string block;
    std::string key;
    std::string expected;
};

class Scan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(Scan, CutsTheValueAfterTheKey) {
    EXPECT_EQ(ScanVersionBlock(GetParam().key, Bytes(GetParam().block)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Scan,
    ::testing::Values(
        // Key, its zero character, two padding bytes, then the value.
        ScanCase{"ProductNameTool",
                 Raw("\x20\0\x05\0\x01\0") + Wide("ProductName") + std::string(2, '\0') +
                     Wide("Tool") + "rest",
                 "ProductName", "Tool"},
        ScanCase{"LowerCasedKeyIsFoundSecond",
                 "............" + Wide("Productname") + std::string(2, '\0') + Wide("Tool"),
                 "ProductName", "Tool"},
        ScanCase{"ExactMatchWins",
                 "............" + Wide("productname") + Wide("x") + Wide("ProductName") +
                     std::string(2, '\0') + Wide("Tool"),
                 "ProductName", "Tool"},
        ScanCase{"NoKey", "............" + Wide("CompanyName") + Wide("Firm"), "ProductName", ""},
        ScanCase{"TenBytesOrFewer", Raw("ProductN\0T"), "ProductN", ""},
        // The byte at index 0 is never taken; a lone zero byte vanishes.
        ScanCase{"ElevenBytes", Raw("xKey\0\0\0ab\0c"), "Key", "abc"},
        // The character right after the key goes whatever it is.
        ScanCase{"OneCharacterAfterTheKeyGoes", "..........Key=Value" + std::string(2, '\0'), "Key",
                 "Value"},
        // A run of n zero bytes between printable bytes gives n - 1 markers; leading markers go
        // and the value ends at the next one.
        ScanCase{"ZeroRuns", Raw(".........Key\0\0\0\0\0Val\0\0Next"), "Key", "Val"},
        ScanCase{"ZerosAtTheEndGiveNoMarkers", Raw("..........Key\0\0Val") + std::string(40, '\0'),
                 "Key", "Val"},
        // Bytes from 0x80 up count as printable; control bytes vanish.
        ScanCase{"HighBytes", "..........Key=\x01\xE6\x97\xA5\x80\xFF\x1F!" + std::string(2, '\0'),
                 "Key", "\xE6\x97\xA5\x80\xFF!"},
        // A 0xA8 byte of the block is taken for a marker.
        ScanCase{"GapMarkerByteInTheData",
                 "..........Key=ab\xA8"
                 "cd" +
                     std::string(2, '\0'),
                 "Key", "ab"},
        ScanCase{"KeyAtTheVeryEnd", "..........ProductName", "ProductName", ""},
        // An empty value yields what follows up to the next marker: the next string's
        // length byte, when printable, and its key.
        ScanCase{"EmptyValue",
                 "............" + Wide("CompanyName") + std::string(2, '\0') +
                     Raw("\x2C\0\x02\0\x01\0") + Wide("Comments") + std::string(2, '\0') +
                     Wide("c"),
                 "CompanyName", ",Comments"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Scan, EmptyBlock) {
    EXPECT_EQ(ScanVersionBlock("Key", {}), "");
}

}  // namespace
}  // namespace runlens
