// TDBMemo: a multi-line edit (QPlainTextEdit) bound to a text or memo field, with the same binder as TDBEdit:
// typing starts an edit, the text is written to the field on exit and before a post.
#pragma once

#include <string>

#include "platform/ui/Control.h"

class QPlainTextEdit;
class TDataSource;
class TField;
class TFieldDataLink;

class TDBMemo : public TControl {
public:
    explicit TDBMemo(TComponent* owner);
    ~TDBMemo() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    const std::string& DataField() const;
    void SetDataField(const std::string& name);
    bool ReadOnly() const;
    void SetReadOnly(bool on);
    TField* Field() const;

    // 0 none, 1 horizontal, 2 vertical, 3 both; without a horizontal bar long lines wrap.
    void SetScrollBars(int which);

    std::string Text() const override;
    void SetText(const std::string& text) override;  // counts as typed

    QPlainTextEdit* PlainTextEdit() const;
    TFieldDataLink& Link() const;
};
