#include "tools/bench/bare_fill.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <climits>
#include <string>
#include <unordered_map>

#include "core/win32/handles.h"
#include "core/win32/text.h"

namespace runlens::bench {
namespace {

// What one file costs the bare fill: the existence test, the icon extraction into both image
// lists and the size search.
struct BareFileWork {
    int image = 1;
    std::string sizeText;
};

BareFileWork DoBareFileWork(const std::string& path, HIMAGELIST small, HIMAGELIST large) {
    BareFileWork work;
    if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        HICON largeIcon = nullptr, smallIcon = nullptr;
        if (::ExtractIconExA(path.c_str(), 0, &largeIcon, &smallIcon, 1) && smallIcon) {
            ::ImageList_AddIcon(small, smallIcon);
            work.image = ::ImageList_AddIcon(large, largeIcon ? largeIcon : smallIcon);
        }
        if (largeIcon)
            ::DestroyIcon(largeIcon);
        if (smallIcon)
            ::DestroyIcon(smallIcon);
    }
    WIN32_FIND_DATAA found;
    const HANDLE find = ::FindFirstFileA(path.c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        work.sizeText = std::to_string(found.nFileSizeLow) + " byte";
        ::FindClose(find);
    }
    return work;
}

void BareInsert(HWND list, const char* caption, const std::string& path, const BareFileWork& work) {
    std::wstring texts[3] = {WideFromAnsi(caption), WideFromAnsi(path),
                             WideFromAnsi(work.sizeText)};
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = INT_MAX;
    item.pszText = texts[0].data();
    item.iImage = work.image;
    const int index =
        static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = 1; column < 3; ++column) {
        LVITEMW sub{};
        sub.iSubItem = column;
        sub.pszText = texts[column].data();
        ::SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
    }
}

}  // namespace

void AddColumns(HWND list) {
    for (int column = 0; column < 3; ++column) {
        LVCOLUMNW columnInfo{};
        columnInfo.mask = LVCF_WIDTH | LVCF_FMT;
        columnInfo.fmt = column == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        columnInfo.cx = 100;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&columnInfo));
    }
}

std::size_t BareFill(HWND list, HIMAGELIST small, HIMAGELIST large, bool oncePerFile) {
    std::unordered_map<std::string, BareFileWork> files;
    const UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        if (entry.th32ProcessID <= 8)
            continue;
        std::string path;
        if (const UniqueHandle process = AdoptProcessHandle(
                ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID))) {
            wchar_t buffer[MAX_PATH];
            DWORD size = MAX_PATH;
            if (::QueryFullProcessImageNameW(process.get(), 0, buffer, &size))
                path = AnsiFromWide({buffer, size});
        }
        auto file = files.find(path);
        if (!oncePerFile || file == files.end())
            file = files.insert_or_assign(path, DoBareFileWork(path, small, large)).first;
        BareInsert(list, entry.szExeFile, path, file->second);
    }
    return files.size();
}

}  // namespace runlens::bench
