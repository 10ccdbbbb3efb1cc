// TDBEdit: a one-line edit (QLineEdit) bound to a field through a data source. It shows the field through
// the field's EditMask, limits the length to the field's size, starts an edit (or an insert on an empty table)
// when the user starts typing, and writes the text to the field when the focus leaves it and before a post.
#pragma once

#include <string>

#include "platform/ui/Control.h"

class QLineEdit;
class TDataSource;
class TField;
class TFieldDataLink;

class TDBEdit : public TControl {
public:
    explicit TDBEdit(TComponent* owner);
    ~TDBEdit() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    const std::string& DataField() const;
    void SetDataField(const std::string& name);
    bool ReadOnly() const;
    void SetReadOnly(bool on);
    TField* Field() const;  // nullptr when detached

    // The text shown (without mask blanks). Setting it counts as typed: it is written to the field on exit
    // and before a post.
    std::string Text() const override;
    void SetText(const std::string& text) override;

    QLineEdit* LineEdit() const;
    TFieldDataLink& Link() const;
};
