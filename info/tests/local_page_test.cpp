#include "info/local_page.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/fakes/fake_code_page.h"
#include "tests/fakes/recording_browser.h"

namespace runlens {
namespace {

using testing::FakeCodePage;
using testing::RecordingBrowser;

const FakeCodePage kAnsi;  // UTF-8: no double-byte characters, and the texts stay as they are
const FakeCodePage kShiftJis(FakeCodePage::Kind::kShiftJisBytes);

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ReplaceCase {
    const char* text;
    const char* pattern;
    const char* replacement;
    const char* expected;
};

class ReplaceExact : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceExact, LeftToRightWithoutRescan) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplaceAllExact(c.text, c.pattern, c.replacement), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceExact,
                         ::testing::Values(ReplaceCase{"aXbXc", "X", "YY", "aYYbYYc"},
                                           ReplaceCase{"aa", "a", "aa", "aaaa"},
                                           ReplaceCase{"aaa", "aa", "b", "ba"},
                                           ReplaceCase{"_File_ _file_", "_file_", "n", "_File_ n"},
                                           ReplaceCase{"abc", "", "x", "abc"},
                                           ReplaceCase{"", "a", "x", ""},
                                           ReplaceCase{"abc", "d", "x", "abc"}));

TEST(ReplaceNoCase, IgnoresLetterCaseButNotTrailBytes) {
    EXPECT_EQ(ReplaceAllNoCase("x%HOME%y%home%z", "%Home%", "H", kAnsi), "xHyHz");
    EXPECT_EQ(ReplaceAllNoCase("aaa", "AA", "b", kAnsi), "ba");
    EXPECT_EQ(ReplaceAllNoCase("", "a", "b", kAnsi), "");
    // 表 is 0x95 0x5C in code page 932: its second byte is no backslash.
    EXPECT_EQ(ReplaceAllNoCase("\x95\\a\\a", "\\A", "!", kShiftJis), "\x95\\a!");
    EXPECT_EQ(ReplaceAllNoCase("\x95\\a\\a", "\\A", "!", kAnsi), "\x95!!");
}

struct RowCase {
    const char* name;
    ProcessRow row;
    RowValues expected;
};

class RowValuesTable : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowValuesTable, FolderOnlyWhenUsable) {
    const RowValues values = MakeRowValues(GetParam().row, kAnsi);
    EXPECT_EQ(values.fileName, GetParam().expected.fileName);
    EXPECT_EQ(values.folder, GetParam().expected.folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowValuesTable,
    ::testing::Values(RowCase{"PathRow",
                              {"svchost.exe", "C:\\Windows\\System32\\svchost.exe", "", 2},
                              {"svchost.exe", "C:\\Windows\\System32\\"}},
                      RowCase{"StatusRow", {"x.exe", " Access is denied", "", 1}, {"x.exe", ""}},
                      RowCase{"DriveRoot", {"X.EXE", "C:\\x.exe", "", 1}, {"X.EXE", ""}},
                      RowCase{"EmptyDetail", {"y.exe", "", "", 1}, {"y.exe", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

PageInputs SvchostInputs(const std::string& templateText) {
    return {templateText,
            "C:\\Program Files\\Runlens\\runlens.exe",
            "www.runlens.example",
            "svchost.exe",
            "C:\\Windows\\System32\\",
            {"Host Process for Windows Services",
             "Microsoft\xC2\xAE Windows\xC2\xAE Operating System", "Microsoft Corporation"}};
}

const std::string kTemplate = ReadFile(RUNLENS_SOURCE_DIR "/resources/proc_cn.html");

TEST(LocalPage, MatchesTheExpectedPageByteForByte) {
    const std::string page = BuildLocalPage(SvchostInputs(kTemplate), kAnsi);
    const std::string expected = ReadFile(RUNLENS_SOURCE_DIR "/info/tests/expected/svchost.html");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(page, expected);
}

TEST(LocalPage, HostileValuesStayText) {
    PageInputs inputs = SvchostInputs(kTemplate);
    inputs.strings.description = "<script>alert(\"x\")</script>";
    inputs.strings.company = "A & B";
    inputs.fileName = "a\"onload=\"x.exe";
    const std::string page = BuildLocalPage(inputs, kAnsi);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(page.find("A &amp; B"), std::string::npos);
    EXPECT_EQ(page.find("\"onload=\""), std::string::npos);
}

TEST(LocalPage, ControlCharactersBecomeReplacementCharacters) {
    PageInputs inputs = SvchostInputs(kTemplate);
    inputs.strings.description = std::string(
                                     "a\x01"
                                     "b\x1F\tc\r\n") +
                                 std::string(1, '\0');
    inputs.strings.company = "\x0B";
    const std::string page = BuildLocalPage(inputs, kAnsi);
    // XML allows only tab, line feed and carriage return below 0x20.
    EXPECT_NE(page.find("<b>a\xEF\xBF\xBD"
                        "b\xEF\xBF\xBD\tc\r\n\xEF\xBF\xBD</b>"),
              std::string::npos);
    EXPECT_NE(page.find("<b>\xEF\xBF\xBD</b>"), std::string::npos);
    for (const char c : page) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte >= 0x20 || c == '\t' || c == '\r' || c == '\n') << int{byte};
    }
}

TEST(LocalPage, ValuesHoldingPlaceholdersShowAsTheyAre) {
    PageInputs inputs = SvchostInputs(kTemplate);
    inputs.strings.description = "_company_ and _file_";
    const std::string page = BuildLocalPage(inputs, kAnsi);
    EXPECT_NE(page.find("<b>_company_ and _file_</b>"), std::string::npos);
}

TEST(LocalPage, GifInTheProgramFolderKeepsThePictures) {
    PageInputs inputs = SvchostInputs(kTemplate);
    inputs.programPath = "D:\\my.GIF.tools\\runlens.exe";
    const std::string page = BuildLocalPage(inputs, kAnsi);
    EXPECT_NE(page.find("src=\"res://D:\\my.GIF.tools\\runlens.exe/GIF/file\""), std::string::npos);
    EXPECT_NE(page.find("href=\"res://D:\\my.GIF.tools\\runlens.exe/CSS/file_cn\""),
              std::string::npos);
}

TEST(LocalPage, ProgramFolderHoldingPlaceholdersKeepsItsName) {
    PageInputs inputs = SvchostInputs(kTemplate);
    inputs.programPath = "C:\\tools\\my_name_dir\\_file_\\runlens.exe";
    const std::string page = BuildLocalPage(inputs, kAnsi);
    EXPECT_NE(page.find("src=\"res://C:\\tools\\my_name_dir\\_file_\\runlens.exe/GIF/file\""),
              std::string::npos);
}

TEST(LocalPage, WithoutFolderOrStringsTheDefaultsShow) {
    PageInputs inputs = SvchostInputs(kTemplate);
    inputs.folder.clear();
    inputs.strings = {};
    const std::string page = BuildLocalPage(inputs, kAnsi);
    EXPECT_NE(
        page.find(
            "プロセス<b>svchost.exe</b>は、<b>不明</b>製ソフトウェア <b>不明</b>に属します。"),
        std::string::npos);
    EXPECT_NE(page.find("<p></p>"), std::string::npos) << "no description sentence";
}

TEST(LocalPage, PlaceholdersInOtherCase) {
    const std::string page = BuildLocalPage(
        {"%home% %FILES% _File_ _DESC_ _file_", "p", "www.h.example", "f.exe", "", {}}, kAnsi);
    EXPECT_EQ(page, "ホーム ファイル _File_ _DESC_ f.exe");
}

// The system as the page sees it: records the page written.
class FakePageSystem : public LocalPageSystem {
  public:
    std::string templateText = kTemplate;
    bool versionFound = true;
    VersionStrings version{"Desc", "Prod", "Firm", "Notes"};  // in the ANSI code page
    std::string askedVersionOf;
    std::vector<std::string> written;

    std::string LoadTextResource(std::string_view name) override {
        return name == "PROC_CN_HTML" ? templateText : std::string();
    }
    std::string ProgramPathUtf8() override { return "C:\\Program Files\\Runlens\\runlens.exe"; }
    bool ReadVersionStrings(std::string_view fileName, VersionStrings& strings) override {
        askedVersionOf = fileName;
        strings = version;
        return versionFound;
    }
    std::u16string WriteTemporaryPage(std::string_view page) override {
        written.emplace_back(page);
        const std::string file = "C:\\Temp\\htm" + std::to_string(written.size()) + ".tmp";
        return std::u16string(file.begin(), file.end());
    }
};

TEST(ShowLocalInfoPage, WithoutARowThePaneStaysBlank) {
    FakePageSystem system;
    RecordingBrowser pane;
    ShowLocalInfoPage(nullptr, system, kAnsi, pane);
    EXPECT_EQ(pane.calls, (std::vector<std::u16string>{u"about:blank", u"<update>"}));
    EXPECT_TRUE(system.written.empty());
}

TEST(ShowLocalInfoPage, WritesTheFilledPageAndShowsIt) {
    FakePageSystem system;
    RecordingBrowser pane;
    const ProcessRow row{"svchost.exe", "C:\\Windows\\System32\\svchost.exe", "", 2};
    ShowLocalInfoPage(&row, system, kAnsi, pane);
    ShowLocalInfoPage(&row, system, kAnsi, pane);
    EXPECT_EQ(system.askedVersionOf, "svchost.exe") << "the bare file name";
    ASSERT_EQ(system.written.size(), 2u);
    EXPECT_EQ(system.written[0], system.written[1]);
    EXPECT_NE(system.written[0].find("<b>Desc</b>"), std::string::npos);
    EXPECT_EQ(pane.calls,
              (std::vector<std::u16string>{u"about:blank", u"<update>", u"C:\\Temp\\htm1.tmp",
                                           u"about:blank", u"<update>", u"C:\\Temp\\htm2.tmp"}));
}

TEST(ShowLocalInfoPage, NoVersionResourceAndNoTemplate) {
    FakePageSystem system;
    system.versionFound = false;
    RecordingBrowser pane;
    const ProcessRow row{"x.exe", " Access is denied", "", 1};
    ShowLocalInfoPage(&row, system, kAnsi, pane);
    EXPECT_EQ(system.askedVersionOf, "x.exe");
    EXPECT_NE(system.written.at(0).find("<b>x.exe</b>"), std::string::npos);
    EXPECT_EQ(system.written.at(0).find("Desc"), std::string::npos);

    system.templateText.clear();
    ShowLocalInfoPage(&row, system, kAnsi, pane);
    EXPECT_EQ(system.written.at(1), "");
}

// The row's texts and the version strings are in the ANSI code page; the page is UTF-8.
TEST(ShowLocalInfoPage, ConvertsTheSystemsTextsToUtf8) {
    FakePageSystem system;
    system.templateText = "_file_|_desc_|_name_|_product_|_company_";
    system.version = {"D\xE9j\xE0", "\xAE", "Caf\xE9", ""};
    RecordingBrowser pane;
    const ProcessRow row{"\xE9.exe", "C:\\\xC5\\\xE9.exe", "", 2};
    ShowLocalInfoPage(&row, system, FakeCodePage(FakeCodePage::Kind::kLatin1), pane);
    EXPECT_EQ(system.askedVersionOf, "\xE9.exe") << "the file is asked for in the code page";
    EXPECT_EQ(system.written.at(0), "é.exe| é.exeは、フォルダーC:\\Å\\にあります。|Déjà|®|Café");
}

// A name the code page could not hold exactly names no file: no version strings are read
// under it, whether it comes from the path or, without a folder, from the caption.
TEST(ShowLocalInfoPage, InexactNamesReadNoVersionStrings) {
    ProcessRow fromPath{"svchost.exe", "C:\\Windows?System32\\svc?host.exe", "", 1};
    fromPath.path.exact = false;
    ProcessRow fromCaption{"svc?host.exe", " Access is denied", "", 1};
    fromCaption.caption.exact = false;
    for (const ProcessRow& row : {fromPath, fromCaption}) {
        FakePageSystem system;
        RecordingBrowser pane;
        ShowLocalInfoPage(&row, system, kAnsi, pane);
        EXPECT_EQ(system.askedVersionOf, "") << row.path.text;
        EXPECT_NE(system.written.at(0).find("<b>svc?host.exe</b>"), std::string::npos);
        EXPECT_EQ(system.written.at(0).find("Desc"), std::string::npos);
    }
}

}  // namespace
}  // namespace runlens
