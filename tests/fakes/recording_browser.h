// A browser pane that records what it is asked to do.
#pragma once

#include <string>
#include <vector>

#include "app/browser_pane.h"

namespace runlens::testing {

class RecordingBrowser : public BrowserPane {
  public:
    std::vector<std::u16string> calls;  // addresses navigated to, and "<update>"
    TitleChangeHandler handler;

    void Navigate(std::u16string_view address) override { calls.emplace_back(address); }
    void Update() override { calls.emplace_back(u"<update>"); }
    void SetTitleChangeHandler(TitleChangeHandler newHandler) override {
        handler = std::move(newHandler);
    }
    // Delivers a title change as the control would; the handler may clear itself.
    void ChangeTitle(std::u16string_view title) {
        const TitleChangeHandler current = handler;
        if (current)
            current(title);
    }
};

}  // namespace runlens::testing
