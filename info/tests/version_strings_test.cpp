#include "info/version_strings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "tests/fakes/fake_code_page.h"
#include "tests/oracle/version_block.h"

namespace runlens {
namespace {

class FixtureFiles : public FileReader {
  public:
    std::optional<std::vector<std::uint8_t>> ReadFile(std::string_view fileName) override {
        std::ifstream in(std::string(RUNLENS_VERSION_FIXTURES) + "/" + std::string(fileName),
                         std::ios::binary);
        if (!in)
            return std::nullopt;
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>());
    }
};

struct FixtureCase {
    const char* file;
    std::uint16_t language;
    bool found;
    VersionStrings expected;
};

class Fixtures : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(Fixtures, GiveTheStringsOfTheirLanguagePaths) {
    const FixtureCase& c = GetParam();
    FixtureFiles files;
    const testing::FakeCodePage ansi;  // UTF-8
    PortableVersionApi api(files, ansi, c.language);
    VersionStrings strings{"stale", "stale", "stale", "stale"};
    EXPECT_EQ(GetVersionStrings(c.file, api, strings), c.found);
    EXPECT_EQ(strings.description, c.expected.description);
    EXPECT_EQ(strings.product, c.expected.product);
    EXPECT_EQ(strings.company, c.expected.company);
    EXPECT_EQ(strings.comments, c.expected.comments);
}

const std::string kLong = std::string(150, 'L') + std::string(105, 'M');

INSTANTIATE_TEST_SUITE_P(
    Cases, Fixtures,
    ::testing::Values(
        // The user's language in code page 1252 wins over the other table.
        FixtureCase{"ja_1252-x86_64.dll",
                    0x0411,
                    true,
                    {"Japanese table description", "Japanese product", "Japanese company",
                     "Japanese comments"}},
        FixtureCase{"ja_1252-i686.dll",
                    0x0411,
                    true,
                    {"Japanese table description", "Japanese product", "Japanese company",
                     "Japanese comments"}},
        // United States English 1252 is the third path; the translation table then names the
        // Japanese table, which has the company.
        FixtureCase{"ja_1252-x86_64.dll",
                    0x0409,
                    true,
                    {"English table description", "English product", "Japanese company",
                     "Japanese comments"}},
        // Only through the translation table's entry (the fourth path).
        FixtureCase{"us_unicode-x86_64.dll",
                    0x0411,
                    true,
                    {"Unicode description", "Unicode product", "Unicode company", ""}},
        FixtureCase{"us_unicode-x86_64.dll",
                    0x0409,
                    true,
                    {"Unicode description", "Unicode product", "Unicode company", ""}},
        // Present but empty on the first path: the later paths are not tried.
        FixtureCase{"empty_first-x86_64.dll", 0x0411, true, {"", "First product", "", ""}},
        // The entry names a table that is not there: empty, and no scan.
        FixtureCase{"missing_table-x86_64.dll", 0x0411, true, {"", "", "", ""}},
        // Without a translation table the scan digs the values out; Productname is found when
        // ProductName is asked for; an empty value yields what follows it: the next entry's
        // length byte (58, a colon) and its key.
        FixtureCase{"no_translation-x86_64.dll",
                    0x0411,
                    true,
                    {"Scanned description", "Scanned product", ":Comments", "Scanned comments"}},
        FixtureCase{"long_value-x86_64.dll", 0x0409, true, {kLong, "", "", ""}},
        FixtureCase{"no_version-x86_64.dll", 0x0411, false, {}},
        // A forged length: nothing, not even what the raw scan would find.
        FixtureCase{"root_too_long-x86_64.dll", 0x0409, false, {}},
        FixtureCase{"child_too_long-x86_64.dll", 0x0409, false, {}},
        FixtureCase{"zero_length-x86_64.dll", 0x0409, false, {}},
        FixtureCase{"does-not-exist.dll", 0x0411, false, {}}),
    [](const auto& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.')) + "_" + std::to_string(info.param.language);
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return name;
    });

// Records the paths asked for and answers from a table.
class ScriptedApi : public VersionApi {
  public:
    std::map<std::string, std::string> strings;
    std::optional<std::uint32_t> translation;
    std::vector<std::string> asked;
    std::uint16_t language = 0x0411;
    bool throwOnQuery = false;

    std::uint32_t VersionInfoSize(std::string_view) override { return 64; }
    bool ReadVersionInfo(std::string_view, std::span<std::uint8_t>) override { return true; }
    std::optional<std::string> QueryString(std::span<std::uint8_t>,
                                           std::string_view path) override {
        if (throwOnQuery)
            throw std::bad_alloc();
        asked.emplace_back(path);
        const auto found = strings.find(std::string(path));
        if (found == strings.end())
            return std::nullopt;
        return found->second;
    }
    std::optional<std::uint32_t> QueryTranslation(std::span<std::uint8_t>) override {
        asked.emplace_back("\\VarFileInfo\\Translation");
        return translation;
    }
    std::uint16_t UserDefaultLangId() override { return language; }
};

TEST(QueryVersionString, TriesThePathsInOrder) {
    ScriptedApi api;
    api.translation = 0x04B00409;
    std::vector<std::uint8_t> block(64);
    EXPECT_EQ(QueryVersionString(block, "FileDescription", api), "");
    EXPECT_EQ(api.asked, (std::vector<std::string>{"StringFileInfo\\041104E4\\FileDescription\\",
                                                   "StringFileInfo\\041104B0\\FileDescription\\",
                                                   "StringFileInfo\\040904E4\\FileDescription\\",
                                                   "\\VarFileInfo\\Translation",
                                                   "StringFileInfo\\040904B0\\FileDescription\\"}));
}

TEST(QueryVersionString, CutsLongValuesAndStopsAtZero) {
    ScriptedApi api;
    api.strings["StringFileInfo\\041104E4\\A\\"] = std::string(400, 'x');
    api.strings["StringFileInfo\\041104E4\\B\\"] = std::string("ab\0cd", 5);
    std::vector<std::uint8_t> block(64);
    EXPECT_EQ(QueryVersionString(block, "A", api), std::string(255, 'x'));
    EXPECT_EQ(QueryVersionString(block, "B", api), "ab");
}

TEST(GetVersionStrings, AnErrorInsideBecomesFalse) {
    ScriptedApi api;
    api.throwOnQuery = true;
    VersionStrings strings;
    EXPECT_FALSE(GetVersionStrings("x.exe", api, strings));
}

TEST(StringPath, UpperCaseHexadecimalKey) {
    EXPECT_EQ(StringPath(0x0411, 0x04E4, "ProductName"), "StringFileInfo\\041104E4\\ProductName\\");
    EXPECT_EQ(StringPath(0x0c0a, 0xfde9, "x"), "StringFileInfo\\0C0AFDE9\\x\\");
}

}  // namespace
}  // namespace runlens
