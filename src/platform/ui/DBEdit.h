// TDBEdit: a one-line edit (QLineEdit) bound to a field through a data source. It shows the field through
// the field's EditMask, limits the length to the field's size, starts an edit (or an insert on an empty table)
// when the user starts typing, and writes the text to the field when the focus leaves it and before a post.
#pragma once

#include <string>

#include "platform/ui/DBTextControl.h"

class QLineEdit;

class TDBEdit : public TDBTextControl {
public:
    explicit TDBEdit(TComponent* owner);
    ~TDBEdit() override;

    // The text shown (without mask blanks). Setting it counts as typed: it is written to the field on exit
    // and before a post.
    std::string Text() const override;
    void SetText(const std::string& text) override;

    QLineEdit* LineEdit() const;
    TFieldDataLink& Link() const override;
};
