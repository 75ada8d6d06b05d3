// A browser pane that records what it is asked to do.
#pragma once

#include <string>
#include <vector>

#include "core/browser_pane.h"

namespace runlens::testing {

class RecordingBrowser : public BrowserPane {
  public:
    std::vector<std::u16string> calls;  // addresses navigated to, "<update>" and "<focus>"
    std::vector<KeyMessage> keys;       // keys offered to the page
    TitleChangeHandler handler;
    bool pageTakesKeys = false;  // what OfferKey answers

    void Navigate(std::u16string_view address) override { calls.emplace_back(address); }
    void Update() override { calls.emplace_back(u"<update>"); }
    void SetTitleChangeHandler(TitleChangeHandler newHandler) override {
        handler = std::move(newHandler);
    }
    void Focus() override { calls.emplace_back(u"<focus>"); }
    bool OfferKey(const KeyMessage& key) override {
        keys.push_back(key);
        return pageTakesKeys;
    }
    // Delivers a title change as the control would; the handler may clear itself.
    void ChangeTitle(std::u16string_view title) {
        const TitleChangeHandler current = handler;
        if (current)
            current(title);
    }
};

}  // namespace runlens::testing
