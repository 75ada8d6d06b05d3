// Prints the local information page for a sample row (svchost.exe in the system folder, with a
// Japanese description), for looking at the page in a browser: tools/render-page.sh.
#include <fstream>
#include <iostream>
#include <iterator>

#include "core/site.h"
#include "info/local_page.h"
#include "tests/fakes/fake_code_page.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: runlens_page_demo TEMPLATE PROGRAM_PATH\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const runlens::testing::FakeCodePage ansi;  // UTF-8
    const runlens::PageInputs inputs{
        page,
        argv[2],
        runlens::kSiteHost,
        "svchost.exe",
        "C:\\Windows\\System32\\",
        {"Windows サービスのホスト プロセス", "Microsoft® Windows® Operating System",
         "Microsoft Corporation"}};
    std::cout << runlens::BuildLocalPage(inputs, ansi) << "\r\n";
}
