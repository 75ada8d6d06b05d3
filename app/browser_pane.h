// What the program asks of the embedded browser: navigate, repaint now, and report title
// changes. The main window hosts the system's WebBrowser control behind this interface; the
// callers are tested against a recording fake.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace runlens {

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
};

}  // namespace runlens
