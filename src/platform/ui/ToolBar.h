// TToolBar lines up its children from left to right in the order of their Left values (tool buttons and
// other controls such as a combo box); TToolButton is a flat button on it, with its caption shown when the bar
// has ShowCaptions.
#pragma once

#include "platform/ui/Control.h"

class QToolButton;

class TToolBar : public TControl {
public:
    explicit TToolBar(TComponent* owner);
    // The buttons are lined up once the description is loaded (or when ArrangeNow is called for a bar made in
    // code), so that the Left values of the description decide the order.
    void Realign() override;
    void Loaded() override { ArrangeNow(); }
    void ArrangeNow()
    {
        arranged_ = true;
        Realign();
    }
    int ButtonWidth = 23;
    int ButtonHeight = 22;
    bool Flat = false;
    bool ShowCaptions = false;
    void SetShowCaptions(bool on);
    void SetFlat(bool on);

protected:
    void AttachChild(TControl* child) override;

private:
    bool arranged_ = false;
};

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TControl {
public:
    explicit TToolButton(TComponent* owner);
    void SetCaption(const std::string& text) override;
    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle s);
    // Presses the button as the user would; nothing while disabled or hidden.
    void Click();
    void ApplyBar(const TToolBar& bar);

private:
    QToolButton* button() const;
    TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
};
