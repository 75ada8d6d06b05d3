#include "app/sorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "inventory/process_figures.h"

namespace runlens {
namespace {

ProcessRow Row(std::string caption, std::string path = "C:\\x.exe", std::string size = "") {
    return ProcessRow{std::move(caption), std::move(path), std::move(size), 1};
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

struct CompareCase {
    const char* name;
    ProcessRow row1;
    ProcessRow row2;
    int sortKey;
    bool rightAligned;
    int expectedSign;
};

class CompareRowsTable : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareRowsTable, GivesTheExpectedOrder) {
    const CompareCase& c = GetParam();
    EXPECT_EQ(Sign(CompareRows(c.row1, c.row2, c.sortKey, c.rightAligned)), c.expectedSign);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareRowsTable,
    ::testing::Values(
        CompareCase{"AscendingCaption", Row("a.exe"), Row("b.exe"), 1, false, -1},
        CompareCase{"DescendingCaption", Row("a.exe"), Row("b.exe"), -1, false, 1},
        CompareCase{"CaseOnlyIsEqual", Row("SVCHOST.EXE"), Row("svchost.exe"), 1, false, 0},
        // Folding to upper case puts the underscore (0x5F) after every letter.
        CompareCase{"UnderscoreAfterLetters", Row("svc_host.exe"), Row("svcxhost.exe"), 1, false,
                    1},
        CompareCase{"PrefixSortsFirst", Row("abc"), Row("abcd"), 1, false, -1},
        // Texts longer than a word of eight bytes, which are compared a word at a time up to
        // the first difference.
        CompareCase{"LongCaseOnlyIsEqual", Row("C:\\WINDOWS\\SYSTEM32\\X.EXE"),
                    Row("c:\\windows\\system32\\x.exe"), 1, false, 0},
        CompareCase{"LongFirstDifferenceDecides", Row("processname_b.exe"), Row("PROCESSNAMEA.EXE"),
                    1, false, 1},
        CompareCase{"LongUnderscoreAfterLetters", Row("abcdefgh_"), Row("ABCDEFGHZ"), 1, false, 1},
        CompareCase{"LongFirstAndLastLettersFold", Row("azazazaz"), Row("AZAZAZAZ"), 1, false, 0},
        CompareCase{"LongByteBeforeLettersDoesNotFold", Row("````````"), Row("@@@@@@@@"), 1, false,
                    1},
        CompareCase{"LongByteAfterLettersDoesNotFold", Row("{{{{{{{{"), Row("[[[[[[[["), 1, false,
                    1},
        // Bytes from 0x80 up are not letters, however their low bits read.
        CompareCase{"LongHighBytesDoNotFold", Row("\xe1\xe1\xe1\xe1\xe1\xe1\xe1\xe1"),
                    Row("\xc1\xc1\xc1\xc1\xc1\xc1\xc1\xc1"), 1, false, 1},
        CompareCase{"LongPrefixSortsFirst", Row("abcdefghij"), Row("ABCDEFGHIJK"), 1, false, -1},
        CompareCase{"HighBytesUnsigned", Row("\x82\xa0"), Row("z"), 1, false, 1},
        CompareCase{"PathColumn", Row("a", "C:\\b"), Row("b", "C:\\a"), 2, false, 1},
        CompareCase{"StatusTextBeforePaths", Row("a", " Access is denied"), Row("b", "C:\\a"), 2,
                    false, -1},
        CompareCase{"RightAlignedByMagnitude", Row("a", "p", "512.000 byte"),
                    Row("b", "p", "1.024.000 byte"), 3, true, -1},
        CompareCase{"LeftAlignedByText", Row("a", "p", "512.000 byte"),
                    Row("b", "p", "1.024.000 byte"), 3, false, 1},
        CompareCase{"NoSizeBeforeAnySize", Row("a", " denied"), Row("b", "p", "4 byte"), 3, true,
                    -1},
        CompareCase{"NoSizeLastDescending", Row("a", " denied"), Row("b", "p", "4 byte"), -3, true,
                    1},
        CompareCase{"BothEmptyAreEqual", Row("a", " x"), Row("b", " y"), 3, true, 0},
        CompareCase{"ColumnBeyondTheRow", Row("a"), Row("b"), 4, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnClick, FirstClickDescendsThenAlternatesPerColumn) {
    int flags[3] = {0, 0, 0};
    EXPECT_EQ(NextSortKey(0, flags[0]), -1);
    EXPECT_EQ(NextSortKey(0, flags[0]), 1);
    EXPECT_EQ(NextSortKey(2, flags[2]), -3);
    EXPECT_EQ(NextSortKey(0, flags[0]), -1);
    EXPECT_EQ(NextSortKey(2, flags[2]), 3);
}

TEST(ColumnClick, SizeColumnSortsNumbersAndGathersEmptyRows) {
    std::vector<ProcessRow> rows = {Row("a", "p", "1.024.000 byte"), Row("b", " denied"),
                                    Row("c", "p", "512.000 byte"), Row("d", "p", "4 byte")};
    std::stable_sort(rows.begin(), rows.end(), [](const ProcessRow& x, const ProcessRow& y) {
        return CompareRows(x, y, -3, true) < 0;
    });
    std::vector<std::string> order;
    for (const ProcessRow& row : rows)
        order.push_back(row.caption.text);
    EXPECT_EQ(order, (std::vector<std::string>{"a", "c", "d", "b"}));
}

// The figures' texts, right-aligned, compare as the size column's do: the larger number sorts
// as the larger.
TEST(ProcessFigureTexts, SortByMagnitudeAsARightAlignedColumn) {
    const struct {
        std::string larger;
        std::string smaller;
    } pairs[] = {{ProcessorShareText(100.0), ProcessorShareText(9.0)},
                 {ProcessorShareText(12.0), ProcessorShareText(2.0)},
                 {MemoryText(12'345 * 1024ull), MemoryText(999 * 1024ull)},
                 {MemoryText(1'000'000 * 1024ull), MemoryText(999'999 * 1024ull)}};
    for (const auto& p : pairs) {
        ProcessRow larger;
        larger.sizeText = p.larger;
        ProcessRow smaller;
        smaller.sizeText = p.smaller;
        // The size column stands in for the new ones: the same comparison of padded texts.
        EXPECT_GT(CompareRows(larger, smaller, 3, true), 0) << p.larger << " vs " << p.smaller;
        EXPECT_LT(CompareRows(larger, smaller, -3, true), 0) << p.larger << " vs " << p.smaller;
    }
}

}  // namespace
}  // namespace runlens
