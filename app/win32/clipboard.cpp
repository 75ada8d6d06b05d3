#include "app/win32/clipboard.h"

#include <cstring>
#include <cwchar>

#include "core/win32/handles.h"

namespace runlens {
namespace {

using UniqueGlobal = Unique<HGLOBAL, &::GlobalFree>;

constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMilliseconds = 20;

// The memory of a global block while it is locked.
class GlobalLock {
  public:
    explicit GlobalLock(HGLOBAL block) noexcept : block_(block), data_(::GlobalLock(block)) {}
    ~GlobalLock() {
        if (data_)
            ::GlobalUnlock(block_);
    }
    GlobalLock(const GlobalLock&) = delete;
    GlobalLock& operator=(const GlobalLock&) = delete;

    void* Data() const noexcept { return data_; }

  private:
    HGLOBAL block_;
    void* data_;
};

}  // namespace

OpenedClipboard::OpenedClipboard(HWND owner) noexcept {
    for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
        if (attempt > 0)
            ::Sleep(kOpenRetryMilliseconds);
        open_ = ::OpenClipboard(owner) != FALSE;
    }
}

OpenedClipboard::~OpenedClipboard() {
    if (open_)
        ::CloseClipboard();
}

bool CopyTextToClipboard(HWND owner, std::wstring_view text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block)
        return false;
    {
        const GlobalLock lock(block.get());
        if (!lock.Data())
            return false;
        std::memcpy(lock.Data(), text.data(), text.size() * sizeof(wchar_t));
        static_cast<wchar_t*>(lock.Data())[text.size()] = L'\0';
    }
    const OpenedClipboard clipboard(owner);
    if (!clipboard || !::EmptyClipboard())
        return false;
    if (!::SetClipboardData(CF_UNICODETEXT, block.get()))
        return false;
    // The system owns the block now.
    block.release();
    return true;
}

std::wstring ClipboardText(HWND owner) {
    const OpenedClipboard clipboard(owner);
    if (!clipboard)
        return {};
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return {};
    const GlobalLock lock(data);
    if (!lock.Data())
        return {};
    const auto* text = static_cast<const wchar_t*>(lock.Data());
    return std::wstring(text, ::wcsnlen(text, ::GlobalSize(data) / sizeof(wchar_t)));
}

}  // namespace runlens
