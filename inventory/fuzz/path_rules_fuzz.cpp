// Arbitrary image paths through the path rules and the path split.
#include <cstdint>
#include <string>

#include "core/text_rules.h"
#include "inventory/image_path.h"
#include "tests/fakes/fake_code_page.h"

namespace {

using runlens::testing::FakeCodePage;

class Environment : public runlens::PathEnvironment {
  public:
    std::optional<std::string> ExpandEnvironment(std::string_view text) override {
        if (text.size() % 3 == 0)
            return std::nullopt;
        return std::string(text) + "x";
    }
    std::string SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Environment environment;
    std::string path = text;
    runlens::NormalizeImagePath(path, environment);
    runlens::TrimSystemMessage(text);
    const runlens::PathParts parts =
        runlens::SplitPath(text, FakeCodePage(FakeCodePage::Kind::kShiftJisBytes));
    if (parts.folder.size() + parts.name.size() != text.size())
        __builtin_trap();
    return 0;
}
