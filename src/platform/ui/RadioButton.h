// TRadioButton: one radio button; the radio buttons placed directly on one parent exclude each other (and no
// others: a radio group inside the same parent keeps its own). OnClick fires when the user
// checks it (mouse or keyboard); setting Checked in code fires nothing.
#pragma once

#include "platform/ui/Control.h"

class QRadioButton;

class TRadioButton : public TControl {
public:
    explicit TRadioButton(TComponent* owner);
    void SetCaption(const std::string& text) override;
    bool Checked() const;
    void SetChecked(bool on);
    // Checks the button as the user would; nothing while disabled.
    void Click();
    void SetParent(TControl* parent) override;

private:
    QRadioButton* button() const;
    bool setting_ = false;
};
