// The local page's pictures and style sheet, as resources of the program. The browser pane's
// res:// addresses name them by type and name, in either letter case.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace runlens {
namespace {

std::string Resource(const wchar_t* type, const wchar_t* name) {
    const HRSRC found = ::FindResourceW(nullptr, name, type);
    if (!found)
        return {};
    const HGLOBAL loaded = ::LoadResource(nullptr, found);
    const auto* bytes = static_cast<const char*>(::LockResource(loaded));
    return std::string(bytes, ::SizeofResource(nullptr, found));
}

struct Picture {
    const wchar_t* name;
    int width;
    int height;
};

TEST(PageResources, PicturesAreGifsOfTheirSizes) {
    for (const Picture& picture :
         {Picture{L"FILE", 67, 69}, Picture{L"HOME", 16, 16}, Picture{L"FILES", 16, 16},
          Picture{L"SOFTWARE", 16, 16}, Picture{L"NEWS", 15, 16}}) {
        const std::string gif = Resource(L"GIF", picture.name);
        ASSERT_GT(gif.size(), 13u) << picture.name;
        EXPECT_EQ(gif.substr(0, 6), "GIF89a");
        const auto byte = [&gif](int i) { return static_cast<unsigned char>(gif[i]); };
        EXPECT_EQ(byte(6) | byte(7) << 8, picture.width) << picture.name;
        EXPECT_EQ(byte(8) | byte(9) << 8, picture.height) << picture.name;
    }
}

TEST(PageResources, FoundByNameInAnyLetterCase) {
    EXPECT_EQ(Resource(L"gif", L"software"), Resource(L"GIF", L"SOFTWARE"));
    EXPECT_FALSE(Resource(L"css", L"file_cn").empty());
    // The wide calls take the raw-data type as the same number.
    EXPECT_FALSE(Resource(reinterpret_cast<LPCWSTR>(RT_RCDATA), L"PROC_CN_HTML").empty());
}

}  // namespace
}  // namespace runlens
