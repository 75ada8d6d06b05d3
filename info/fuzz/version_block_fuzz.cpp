// Arbitrary bytes as a program file and as a version block: the reader, the lookups, the scan
// and the check before the system's query may find nothing, but never read outside what they
// are given.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "info/version_guard.h"
#include "info/version_layout.h"
#include "info/version_strings.h"
#include "tests/fakes/fake_code_page.h"
#include "tests/fakes/version_blocks.h"
#include "tests/oracle/version_block.h"

namespace {

using runlens::testing::FakeCodePage;

class BytesAsFile : public runlens::FileReader {
  public:
    explicit BytesAsFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::optional<std::vector<std::uint8_t>> ReadFile(std::string_view) override {
        return std::vector<std::uint8_t>(bytes_.begin(), bytes_.end());
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const FakeCodePage ansi(FakeCodePage::Kind::kLatin1);

    // The bytes as a version block.
    std::vector<std::uint8_t> block(bytes.begin(), bytes.end());
    runlens::QueryVersionText(block, "StringFileInfo\\040904E4\\FileDescription\\", ansi);
    runlens::QueryVersionTranslation(block, ansi);
    runlens::ScanVersionBlock("ProductName", block);

    // The bytes as the buffer the system filled: whatever the check lets through, a query that
    // believes every length stays inside it.
    if (runlens::IsWellFormedVersionBlock(bytes)) {
        std::vector<std::uint8_t> trusted(bytes.begin(), bytes.end());
        runlens::testing::TrustingQuery(trusted.data(),
                                        !runlens::version_layout::IsEightBitLayout(trusted))
            .VisitAll();
    }

    // The bytes as a program file, through the whole lookup.
    BytesAsFile file(bytes);
    runlens::PortableVersionApi api(file, ansi, 0x0411);
    runlens::VersionStrings strings;
    runlens::GetVersionStrings("fuzz.dll", api, strings);
    return 0;
}
