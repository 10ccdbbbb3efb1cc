// TEdit: a one-line text field. OnChange fires on every change of the text, typed or assigned, as the
// original control does.
#pragma once

#include "platform/ui/Control.h"

class QLineEdit;

class TEdit : public TControl {
public:
    explicit TEdit(TComponent* owner);
    std::string Text() const override;
    void SetText(const std::string& text) override;
    bool ReadOnly() const;
    void SetReadOnly(bool on);
    void SetMaxLength(int n);
    void SetPasswordChar(const std::string& c);
    void SelectAll();

protected:
    QLineEdit* edit() const;
};
