#include "inventory/icon_guard.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fakes/icon_resources.h"

namespace runlens {
namespace {

using testing::BitmapIcon;
using testing::BitmapImage;
using testing::Bytes;
using testing::FakeIconResources;
using testing::GroupOf;
using testing::PngIcon;
using testing::PngImage;

struct ImageCase {
    const char* what;
    Bytes image;
    bool sound;
};

BitmapIcon Bitmap(void (*change)(BitmapIcon&)) {
    BitmapIcon icon;
    change(icon);
    return icon;
}

PngIcon Png(void (*change)(PngIcon&)) {
    PngIcon png;
    change(png);
    return png;
}

TEST(IconGuard, ImagesHoldTogetherOrAreRefused) {
    const ImageCase cases[] = {
        {"8-bit 32 x 32", BitmapImage({}), true},
        {"1-bit 16 x 16", BitmapImage(Bitmap([](BitmapIcon& i) { i.width = 16, i.height = 32, i.bits = 1; })), true},
        {"4-bit 48 x 48", BitmapImage(Bitmap([](BitmapIcon& i) { i.width = 48, i.height = 96, i.bits = 4; })), true},
        {"24-bit", BitmapImage(Bitmap([](BitmapIcon& i) { i.bits = 24; })), true},
        {"32-bit 256 x 256", BitmapImage(Bitmap([](BitmapIcon& i) { i.width = 256, i.height = 512, i.bits = 32; })), true},
        {"32-bit with colour masks", BitmapImage(Bitmap([](BitmapIcon& i) { i.bits = 32, i.compression = 3; })), true},
        {"8-bit with 16 colours used", BitmapImage(Bitmap([](BitmapIcon& i) { i.used = 16; })), true},
        {"core header", BitmapImage(Bitmap([](BitmapIcon& i) { i.headerSize = 12, i.bits = 4; })), true},
        {"longer header", BitmapImage(Bitmap([](BitmapIcon& i) { i.headerSize = 124, i.bits = 32; })), true},
        {"PNG 256 x 256", PngImage({}), true},

        {"one byte short", BitmapImage(Bitmap([](BitmapIcon& i) { i.trim = 1; })), false},
        {"no mask rows", BitmapImage(Bitmap([](BitmapIcon& i) { i.trim = 4 * 32; })), false},
        {"header only", BitmapImage(Bitmap([](BitmapIcon& i) { i.trim = 1024 + 32 * 32 + 4 * 32; })), false},
        {"three bytes", Bytes{40, 0, 0}, false},
        {"nothing", Bytes{}, false},
        {"width 0x7FFFFFFF", BitmapImage(Bitmap([](BitmapIcon& i) { i.writtenWidth = 0x7FFFFFFF; })), false},
        {"width 0", BitmapImage(Bitmap([](BitmapIcon& i) { i.writtenWidth = 0; })), false},
        {"width negative", BitmapImage(Bitmap([](BitmapIcon& i) { i.writtenWidth = -32; })), false},
        {"height 0x7FFFFFFF", BitmapImage(Bitmap([](BitmapIcon& i) { i.writtenHeight = 0x7FFFFFFF; })), false},
        {"height negative", BitmapImage(Bitmap([](BitmapIcon& i) { i.writtenHeight = -64; })), false},
        {"height 1", BitmapImage(Bitmap([](BitmapIcon& i) { i.writtenHeight = 1; })), false},
        {"width past the largest side", BitmapImage(Bitmap([](BitmapIcon& i) { i.width = 1025, i.bits = 1; })), false},
        {"width 0xFFFF in a core header", BitmapImage(Bitmap([](BitmapIcon& i) { i.headerSize = 12, i.writtenWidth = 0xFFFF; })), false},
        {"0 bits", BitmapImage(Bitmap([](BitmapIcon& i) { i.bits = 0; })), false},
        {"7 bits", BitmapImage(Bitmap([](BitmapIcon& i) { i.bits = 7; })), false},
        {"64 bits", BitmapImage(Bitmap([](BitmapIcon& i) { i.bits = 64; })), false},
        {"0xFFFF bits", BitmapImage(Bitmap([](BitmapIcon& i) { i.bits = 0xFFFF; })), false},
        {"0 planes", BitmapImage(Bitmap([](BitmapIcon& i) { i.planes = 0; })), false},
        {"2 planes", BitmapImage(Bitmap([](BitmapIcon& i) { i.planes = 2; })), false},
        {"8-bit claiming 257 colours", BitmapImage(Bitmap([](BitmapIcon& i) { i.writtenUsed = 257; })), false},
        {"8-bit claiming 0xFFFFFFFF colours", BitmapImage(Bitmap([](BitmapIcon& i) { i.writtenUsed = 0xFFFFFFFF; })), false},
        {"24-bit claiming 0xFFFFFFFF colours", BitmapImage(Bitmap([](BitmapIcon& i) { i.bits = 24, i.writtenUsed = 0xFFFFFFFF; })), false},
        {"24-bit claiming 1000 colours it lacks", BitmapImage(Bitmap([](BitmapIcon& i) { i.bits = 24, i.writtenUsed = 1000; })), false},
        {"run-length compressed", BitmapImage(Bitmap([](BitmapIcon& i) { i.compression = 1; })), false},
        {"colour masks at 8 bits", BitmapImage(Bitmap([](BitmapIcon& i) { i.compression = 3; })), false},
        {"header size 0", [] { Bytes b = BitmapImage({}); b[0] = 0; return b; }(), false},
        {"header size past the image", [] { Bytes b = BitmapImage({}); b[2] = 0x10; return b; }(), false},
        {"header size 0xFFFFFFFF", [] { Bytes b = BitmapImage({}); b[0] = b[1] = b[2] = b[3] = 0xFF; return b; }(), false},

        {"PNG chunk longer than the image", PngImage(Png([](PngIcon& p) { p.writtenDataLength = 17; })), false},
        {"PNG chunk length 0xFFFFFFFF", PngImage(Png([](PngIcon& p) { p.writtenDataLength = 0xFFFFFFFF; })), false},
        {"PNG without its end", PngImage(Png([](PngIcon& p) { p.end = false; })), false},
        {"PNG header of 12 bytes", PngImage(Png([](PngIcon& p) { p.headerLength = 12; })), false},
        {"PNG width 0", PngImage(Png([](PngIcon& p) { p.width = 0; })), false},
        {"PNG height 0x7FFFFFFF", PngImage(Png([](PngIcon& p) { p.height = 0x7FFFFFFF; })), false},
        {"PNG signature only", Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, false},
    };
    for (const ImageCase& c : cases)
        EXPECT_EQ(IsSoundIconImage(c.image), c.sound) << c.what;
}

TEST(IconGuard, PngImagesCutAnywhereAreRefused) {
    const Bytes whole = PngImage({});
    ASSERT_TRUE(IsSoundIconImage(whole));
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(IsSoundIconImage(ResourceBytes(whole).first(size))) << size;
}

TEST(IconGuard, GroupsReadOnlyTheEntriesTheyHold) {
    const Bytes two = GroupOf({{1, 100}, {2, 200}});
    const auto entries = ReadIconGroup(two);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[1].id, 2);
    EXPECT_EQ((*entries)[1].bytes, 200u);

    struct Case {
        const char* what;
        Bytes group;
    };
    const Case refused[] = {
        {"count 65,535 over two entries", GroupOf({{1, 100}, {2, 200}}, 0xFFFF)},
        {"count 3 over two entries", GroupOf({{1, 100}, {2, 200}}, 3)},
        {"count 0", GroupOf({}, 0)},
        {"a cursor group", GroupOf({{1, 100}}, std::nullopt, 2)},
        {"a short header", Bytes{0, 0, 1, 0, 1}},
        {"a cut entry",
         [] {
             Bytes b = GroupOf({{1, 100}});
             b.pop_back();
             return b;
         }()},
        {"a reserved word set",
         [] {
             Bytes b = GroupOf({{1, 100}});
             b[0] = 1;
             return b;
         }()},
    };
    for (const Case& c : refused)
        EXPECT_FALSE(ReadIconGroup(c.group)) << c.what;
}

TEST(IconGuard, AFileIsSoundOnlyWhenEveryGroupAndIconIs) {
    const Bytes image = BitmapImage({});
    const auto size = static_cast<std::uint32_t>(image.size());
    struct Case {
        const char* what;
        std::vector<Bytes> groups;
        bool sound;
    };
    const Case cases[] = {
        {"no groups", {}, true},
        {"one group, two icons", {GroupOf({{1, size}, {2, size}})}, true},
        {"an entry smaller than its icon", {GroupOf({{1, size - 1 - 4 * 32}})}, false},
        {"two groups sharing an icon", {GroupOf({{1, size}}), GroupOf({{1, size}})}, true},
        {"an entry naming a missing icon", {GroupOf({{1, size}, {9, size}})}, false},
        {"an entry of 0 bytes", {GroupOf({{1, 0}})}, false},
        {"an entry of 0xFFFFFFFF bytes", {GroupOf({{1, 0xFFFFFFFF}})}, false},
        {"an entry one byte past its icon", {GroupOf({{1, size + 1}})}, false},
        {"a sound group, then a forged one",
         {GroupOf({{1, size}}), GroupOf({{1, size}}, 0xFFFF)},
         false},
        {"a group that could not be read", {Bytes{}}, false},
        {"a group naming a forged icon", {GroupOf({{3, size}})}, false},
    };
    for (const Case& c : cases) {
        FakeIconResources file;
        file.icons[1] = image;
        file.icons[2] = image;
        file.icons[3] = BitmapImage(Bitmap([](BitmapIcon& i) { i.writtenUsed = 0xFFFFFFFF; }));
        file.groups = c.groups;
        EXPECT_EQ(AreIconResourcesSound(file), c.sound) << c.what;
    }
}

// A sound image passes whole, and refused once the entry's size leaves out its last row: the
// size that counts is the smaller of the entry's and the resource's.
TEST(IconGuard, TheEntrysSizeBoundsTheImage) {
    FakeIconResources file;
    const Bytes image = BitmapImage({});
    file.icons[1] = image;
    file.groups = {GroupOf({{1, static_cast<std::uint32_t>(image.size())}})};
    EXPECT_TRUE(AreIconResourcesSound(file));
    file.groups = {GroupOf({{1, static_cast<std::uint32_t>(image.size() - 1)}})};
    EXPECT_FALSE(AreIconResourcesSound(file));
}

}  // namespace
}  // namespace runlens
