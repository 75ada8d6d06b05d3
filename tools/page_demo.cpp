// Prints the local information page for a sample row (svchost.exe in the system folder, with a
// Japanese description), for looking at the page in a browser: tools/render-page.sh.
#include <fstream>
#include <iostream>
#include <iterator>

#include "core/site.h"
#include "core/text_rules.h"
#include "info/local_page.h"

namespace {
std::string Upper(std::string_view text) {
    return runlens::AsciiUpper(text);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: runlens_page_demo TEMPLATE PROGRAM_PATH\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const runlens::LocaleRules rules{&Upper, &runlens::NoLeadBytes};
    const runlens::PageInputs inputs{
        page,
        argv[2],
        runlens::kSiteHost,
        "svchost.exe",
        "C:\\Windows\\System32\\",
        {"Windows サービスのホスト プロセス", "Microsoft® Windows® Operating System",
         "Microsoft Corporation", ""}};
    std::cout << runlens::BuildLocalPage(inputs, rules) << "\r\n";
}
