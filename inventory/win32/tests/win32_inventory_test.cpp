#include "inventory/win32/win32_inventory.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "core/win32/code_page.h"
#include "core/win32/text.h"
#include "inventory/image_path.h"
#include "lang/sprache_japan.h"
#include "tests/win32/test_environment.h"

namespace runlens {
namespace {

using testing::OwnImagePath;

// No process has this id: ids are multiples of four.
constexpr std::uint32_t kNoSuchProcess = 0x7FFFFFF1;

std::string TempFolder() {
    char buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathA(MAX_PATH + 1, buffer);
    return std::string(buffer, length);
}

TEST(Win32Inventory, SnapshotListsThisProcessWithItsImagePath) {
    Win32InventorySystem system;
    auto snapshot = system.TakeSnapshot();
    ASSERT_TRUE(snapshot);
    SnapshotEntry entry;
    bool found = false;
    int count = 0;
    while (snapshot->Next(entry)) {
        ++count;
        if (entry.processId == ::GetCurrentProcessId()) {
            found = true;
            EXPECT_EQ(entry.exeFile, "runlens_win_tests.exe");
        }
    }
    EXPECT_TRUE(found) << count << " entries";
    EXPECT_FALSE(snapshot->Next(entry)) << "stays at the end";
    EXPECT_EQ(GetProcessImagePath(::GetCurrentProcessId(), system, Win32CodePage()).text,
              OwnImagePath());
}

TEST(Win32Inventory, BothQueryMethodsFindThisProcess) {
    Win32InventorySystem system;
    EXPECT_EQ(system.QueryFullImageName(::GetCurrentProcessId()).path.text, OwnImagePath());
    EXPECT_EQ(system.QueryModuleFileName(::GetCurrentProcessId()).path.text, OwnImagePath());
}

TEST(Win32Inventory, UnknownProcessGivesAOneLineStatusText) {
    Win32InventorySystem system;
    const ImageQuery query = system.QueryFullImageName(kNoSuchProcess);
    EXPECT_TRUE(query.path.text.empty());
    EXPECT_NE(query.error, 0u);

    const std::string text = GetProcessImagePath(kNoSuchProcess, system, Win32CodePage()).text.text;
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text[0], ' ');
    EXPECT_NE(text[1], ' ');
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), '.') << text;
}

TEST(Win32Inventory, SystemMessageIsTheRawText) {
    Win32InventorySystem system;
    const std::string message = system.SystemMessage(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(TrimSystemMessage(message).find('\n'), std::string::npos);
    EXPECT_TRUE(system.SystemMessage(0xDEADBEEF).empty());
}

TEST(Win32Inventory, FileTestsAndSizes) {
    Win32InventorySystem system;
    const std::string file = TempFolder() + "runlens-size-test.bin";
    {
        std::ofstream out(file, std::ios::binary);
        out << std::string(12345, 'x');
    }
    EXPECT_TRUE(system.FileExists(file));
    EXPECT_EQ(system.GetFileSizeOf(file), 12345u);
    ::DeleteFileA(file.c_str());
    EXPECT_FALSE(system.FileExists(file));
    EXPECT_EQ(system.GetFileSizeOf(file), 0u);

    const std::string folder = system.WindowsDirectory();
    EXPECT_FALSE(system.FileExists(folder)) << "a directory is not a file";
    EXPECT_FALSE(system.FileExists(""));
    EXPECT_EQ(system.GetFileSizeOf(""), 0u);
}

TEST(Win32Inventory, NormalisesWithTheRealDirectories) {
    Win32InventorySystem system;
    const std::string windows = system.WindowsDirectory();
    const std::string system32 = system.SystemDirectory();
    ASSERT_FALSE(windows.empty());
    ASSERT_FALSE(system32.empty());
    EXPECT_NE(system32.back(), '\\');

    std::string path = "%SystemRoot%\\system32\\svchost.exe";
    NormalizeImagePath(path, system);
    EXPECT_EQ(path, windows + "\\system32\\svchost.exe");

    path = "\\SystemRoot\\\\SystemRoot\\System32\\smss.exe";
    NormalizeImagePath(path, system);
    EXPECT_EQ(path, windows + "\\System32\\smss.exe");

    path = "system32\\drivers\\x.sys";
    NormalizeImagePath(path, system);
    EXPECT_EQ(path, system32 + "\\drivers\\x.sys");
}

TEST(Win32Inventory, ExpandsPastTheUsualBuffer) {
    Win32InventorySystem system;
    const std::string longValue(400, 'v');
    ::SetEnvironmentVariableA("RUNLENS_LONG", longValue.c_str());
    EXPECT_EQ(system.ExpandEnvironment("%RUNLENS_LONG%\\x.exe"), longValue + "\\x.exe");
    ::SetEnvironmentVariableA("RUNLENS_LONG", nullptr);
}

TEST(Win32Inventory, ServiceManager) {
    Win32InventorySystem system;
    EXPECT_TRUE(system.IsNtFamily());
    const ServiceManagerAccess access = HasServiceManagerAccess(system);
    if (!access.granted) {
        EXPECT_NE(access.error, 0u);
    }
}

class JapaneseLocale : public testing::JapaneseLocaleTest {};

TEST_F(JapaneseLocale, StatusTextIsJapaneseAndSurvivesTrimming) {
    EXPECT_EQ(::GetUserDefaultLangID(), 0x0411);
    Win32InventorySystem system;
    const std::string text = GetProcessImagePath(kNoSuchProcess, system, Win32CodePage()).text.text;
    const std::wstring wide = ToWide(932, text);
    ASSERT_GE(wide.size(), 2u);
    EXPECT_EQ(wide[0], L' ');
    EXPECT_TRUE(std::any_of(wide.begin(), wide.end(), [](wchar_t c) { return c >= 0x3000; }))
        << "not Japanese";
    EXPECT_EQ(wide.find_first_of(L"\r\n"), std::wstring::npos);

    // The whole message comes through: only its line break is gone, and the ideographic full
    // stop that ends it stays.
    const std::uint32_t error = system.QueryModuleFileName(kNoSuchProcess).error;
    const std::wstring message = ToWide(932, system.SystemMessage(error));
    const std::wstring expected = message.substr(0, message.find_last_not_of(L"\r\n") + 1);
    EXPECT_EQ(wide.substr(1, expected.size()), expected);
    EXPECT_EQ(expected.back(), L'\u3002');
}

TEST_F(JapaneseLocale, AdministratorHintIs39BytesInCodePage932) {
    Win32InventorySystem system;
    const Win32CodePage ansi;
    const std::string hint = AdministratorHintRule(system, ansi).Text();
    EXPECT_EQ(hint.size(), 39u);
    EXPECT_EQ(ToWide(932, hint), WideFromUtf8(Sprache_Japan::AdministratorHint));
    EXPECT_EQ(hint.back(), '!');
}

}  // namespace
}  // namespace runlens
