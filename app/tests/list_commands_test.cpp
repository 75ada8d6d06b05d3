#include "app/list_commands.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace runlens {
namespace {

ProcessRow Listed(std::uint32_t processId, std::string caption, std::string path) {
    ProcessRow row{std::move(caption), std::move(path), "", kProgramImage};
    row.processId = processId;
    return row;
}

// The rows of a second fill, in the order the list shows them: several instances of one
// program, and an id that the system gave to another program meanwhile.
const ProcessRow kRefilled[] = {
    Listed(1208, "svchost.exe", "C:\\Windows\\System32\\svchost.exe"),
    Listed(1304, "svchost.exe", "C:\\Windows\\System32\\svchost.exe"),
    Listed(2048, "notepad.exe", "C:\\Windows\\notepad.exe"),
    Listed(400, "csrss.exe", " Access is denied"),
    Listed(0, "unlisted.exe", "C:\\unlisted.exe"),
};

struct ReselectCase {
    const char* name;
    ProcessRow selected;  // the row selected before the refresh
    std::optional<std::size_t> expected;
};

class Reselect : public ::testing::TestWithParam<ReselectCase> {};

TEST_P(Reselect, FindsTheSameProcessOnly) {
    const ReselectCase& c = GetParam();
    std::vector<const ProcessRow*> rows;
    for (const ProcessRow& row : kRefilled)
        rows.push_back(&row);
    EXPECT_EQ(FindProcessRow(IdentityOf(c.selected), rows), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Reselect,
    ::testing::Values(
        // One of many instances of a program: its own row, not the first of its name.
        ReselectCase{"InstanceByItsId", Listed(1304, "svchost.exe", "C:\\x"), 1},
        ReselectCase{"EndedInstanceIsNotAnother", Listed(1400, "svchost.exe", "C:\\x"), {}},
        ReselectCase{"IdReusedByAnotherProgram", Listed(2048, "calc.exe", "C:\\calc.exe"), {}},
        // The path may change between fills; the process is the same.
        ReselectCase{"PathChangedMeanwhile", Listed(400, "csrss.exe", "C:\\csrss.exe"), 3},
        ReselectCase{"NameMatchedExactly", Listed(2048, "NOTEPAD.EXE", "C:\\x"), {}},
        ReselectCase{"RowNoSnapshotListed", Listed(0, "unlisted.exe", "C:\\unlisted.exe"), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reselect, NothingInAnEmptyList) {
    EXPECT_EQ(FindProcessRow(IdentityOf(kRefilled[0]), {}), std::nullopt);
}

struct CopyCase {
    const char* name;
    std::u16string_view caption, path, size;
    std::u16string_view expected;
};

class CopiedRow : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopiedRow, IsOneLineOfThreeFields) {
    const CopyCase& c = GetParam();
    EXPECT_EQ(RowClipboardText(c.caption, c.path, c.size), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopiedRow,
    ::testing::Values(
        CopyCase{"PathRow", u"svchost.exe", u"C:\\Windows\\System32\\svchost.exe", u"51.712 byte",
                 u"svchost.exe\tC:\\Windows\\System32\\svchost.exe\t51.712 byte"},
        // A row without a size still has three fields.
        CopyCase{"StatusRow", u"csrss.exe",
                 u" \u30a2\u30af\u30bb\u30b9\u304c\u62d2\u5426\u3055\u308c\u307e\u3057\u305f", u"",
                 u"csrss.exe\t \u30a2\u30af\u30bb\u30b9\u304c\u62d2\u5426\u3055\u308c\u307e\u3057"
                 u"\u305f\t"},
        CopyCase{"LineBreaksInAMessage", u"a.exe", u" The first line\r\nthe second", u"",
                 u"a.exe\t The first line  the second\t"},
        CopyCase{"TabsInsideAText", u"a\tb.exe", u"C:\\a\tb.exe", u"4 byte",
                 u"a b.exe\tC:\\a b.exe\t4 byte"},
        CopyCase{"NothingShown", u"", u"", u"", u"\t\t"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace runlens
