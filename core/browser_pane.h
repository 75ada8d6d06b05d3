// What the program asks of the embedded browser: navigate, repaint now, report title changes,
// and take the keyboard while it has the focus. The main window hosts the system's WebBrowser
// control behind this interface; the callers are tested against a recording fake.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace runlens {

// A keyboard message of the program's message loop, field for field as the system's message
// record holds it.
struct KeyMessage {
    void* window = nullptr;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::uint32_t time = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class BrowserPane {
  public:
    using TitleChangeHandler = std::function<void(std::u16string_view title)>;

    virtual ~BrowserPane() = default;
    // Starts loading the address and returns at once.
    virtual void Navigate(std::u16string_view address) = 0;
    // Processes the pending repaint at once.
    virtual void Update() = 0;
    // While set, every change of the document's title calls the handler; an empty handler
    // clears it.
    virtual void SetTitleChangeHandler(TitleChangeHandler handler) = 0;
    // Takes the keyboard focus.
    virtual void Focus() = 0;
    // Offers a key of the message loop to the page while the pane has the focus, before the
    // window's own keys: the page's copy of selected text, its moves between links. True when
    // the page used it; the message then goes no further.
    virtual bool OfferKey(const KeyMessage& key) = 0;
};

}  // namespace runlens
