// The local page's template is read byte for byte and filled by placeholder; these are the
// properties the filling relies on.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadTemplate() {
    std::ifstream in(RUNLENS_SOURCE_DIR "/resources/proc_cn.html", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t Count(const std::string& text, const std::string& pattern) {
    std::size_t count = 0;
    for (auto at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1)) {
        ++count;
    }
    return count;
}

TEST(PageTemplate, CrLfLinesAndNoLineEndAfterTheLast) {
    const std::string page = ReadTemplate();
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(Count(page, "\n"), Count(page, "\r\n"));
    EXPECT_EQ(Count(page, "\r"), Count(page, "\r\n"));
    EXPECT_TRUE(page.ends_with("</html>"));
}

TEST(PageTemplate, DeclaresXhtmlInUtf8) {
    const std::string page = ReadTemplate();
    EXPECT_TRUE(
        page.starts_with("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\""));
    EXPECT_NE(page.find("content=\"text/html; charset=utf-8\""), std::string::npos);
    EXPECT_NE(page.find("<base target=\"_blank\" />"), std::string::npos);
}

TEST(PageTemplate, CarriesEveryPlaceholderWhereTheFillingExpectsIt) {
    const std::string page = ReadTemplate();
    const std::pair<const char*, std::size_t> placeholders[] = {{"%MetaLang%", 3},
                                                                {"_file_", 2},
                                                                {"%orvane%", 3},
                                                                {"%Files%", 3},
                                                                {"%Home%", 1},
                                                                {"%Software%", 1},
                                                                {"%News%", 1},
                                                                {"_ProcessFolder_", 1},
                                                                {"%file_information%", 1},
                                                                {"%process_belongs_to%", 1},
                                                                {"_desc_", 1}};
    for (const auto& [placeholder, count] : placeholders) {
        EXPECT_EQ(Count(page, placeholder), count) << placeholder;
    }
    // Every picture address begins with a double quote, which the rewrite to res:// needs.
    EXPECT_EQ(Count(page, "\"../img/"), 6u);
    EXPECT_EQ(Count(page, ".gif"), 6u);
    EXPECT_EQ(Count(page, "href=\"../file.css\""), 1u);
    for (const char* id : {"id=\"wrap\"", "id=\"header\"", "id=\"navi\"", "id=\"navilist\"",
                           "id=\"contentAd\"", "id=\"box\"", "class=\"legend\"", "id=\"footer\""}) {
        EXPECT_EQ(Count(page, id), 1u) << id;
    }
}

}  // namespace
