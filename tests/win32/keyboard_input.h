// Keys sent as the keyboard sends them, to the window that has the focus, and the thread's
// messages run through a message loop until it is idle.
#pragma once

#include <windows.h>

#include <iterator>
#include <vector>

namespace runlens::testing {

// Presses the keys in order, each held while the next goes down, and lets them go in the
// reverse order: {VK_CONTROL, 'C'} is Ctrl+C.
inline void PressKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (const WORD key : keys)
        add(key, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        add(*key, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Hands every message of the thread to `handle` until none has come for a few rounds. The quit
// message of a window destroyed earlier is passed over.
template <typename Handle>
void PumpMessages(Handle&& handle) {
    constexpr int kQuietRounds = 5;
    constexpr DWORD kRoundMilliseconds = 10;
    for (int quiet = 0; quiet < kQuietRounds;) {
        MSG message;
        if (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            quiet = 0;
            if (message.message != WM_QUIT)
                handle(message);
        } else {
            ++quiet;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kRoundMilliseconds, QS_ALLINPUT);
        }
    }
}

}  // namespace runlens::testing
