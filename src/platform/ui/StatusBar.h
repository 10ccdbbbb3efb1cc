// TStatusBar: the bar along the bottom of a window; with SimplePanel it shows one text, SimpleText.
#pragma once

#include "platform/ui/Control.h"

class QLabel;

class TStatusBar : public TControl {
public:
    explicit TStatusBar(TComponent* owner);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& text);
    bool SimplePanel = true;
    // Double-clicks as the user would.
    void DblClick() { Fire(OnDblClick); }

private:
    QLabel* label_;
    std::string simpleText_;
};
