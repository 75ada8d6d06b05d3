// Arbitrary templates and values through the page filling: nothing the values hold may turn
// into markup. The bytes as UTF-8 through the conversions the page's texts take: what comes
// out is valid UTF-8 that converts back unchanged.
#include <cstdint>
#include <string>

#include "info/local_page.h"
#include "tests/fakes/fake_code_page.h"

using runlens::testing::FakeCodePage;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The input splits into a template and a value at the first zero byte.
    const std::size_t split = input.find('\0');
    const std::string_view templateText = input.substr(0, split);
    const std::string value(split == input.npos ? std::string_view() : input.substr(split + 1));
    const FakeCodePage ansi(FakeCodePage::Kind::kShiftJisBytes);
    runlens::PageInputs inputs{templateText, "C:\\runlens.exe",    "www.runlens.example", value,
                               value,        {value, value, value}};
    const std::string page = runlens::BuildLocalPage(inputs, ansi);
    // With a template of one placeholder, the value's markup characters are all escaped.
    const std::string filled =
        runlens::BuildLocalPage({"_name_", "p", "www.h.example", "f", "", {value, "", ""}}, ansi);
    if (filled.find('<') != std::string::npos && !value.empty())
        __builtin_trap();
    runlens::ReplaceAllNoCase(templateText, value, "x", ansi);
    runlens::ReplaceAllExact(templateText, value, "x");

    const std::u16string utf16 = runlens::Utf16FromUtf8(input);
    const std::string utf8 = runlens::Utf8FromUtf16(utf16);
    if (runlens::Utf16FromUtf8(utf8) != utf16)
        __builtin_trap();
    if (runlens::Utf8FromAnsi(FakeCodePage(), input) != utf8)
        __builtin_trap();
    return 0;
}
