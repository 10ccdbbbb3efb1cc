// TCheckBox: a captioned tick box. OnClick fires when the user ticks or unticks it (mouse or keyboard);
// setting Checked in code fires nothing.
#pragma once

#include "platform/ui/Control.h"

class QCheckBox;

class TCheckBox : public TControl {
public:
    explicit TCheckBox(TComponent* owner);
    void SetCaption(const std::string& text) override;
    bool Checked() const;
    void SetChecked(bool on);
    // Toggles the box as the user would; nothing while disabled or hidden.
    void Click();

private:
    QCheckBox* box() const;
    bool setting_ = false;
};
