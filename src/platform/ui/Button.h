// TButton: a push button. ModalResult closes a modal window with that result when the button is pressed.
#pragma once

#include "platform/ui/Control.h"

class QPushButton;

class TButton : public TControl {
public:
    explicit TButton(TComponent* owner);
    void SetCaption(const std::string& text) override;
    // Presses the button as the user would (nothing happens while it is disabled or hidden).
    void Click();

    int ModalResult = 0;
    bool Default = false;
    bool Cancel = false;

private:
    QPushButton* button() const;
    void Clicked();
};
