// TDBMemo: a multi-line edit (QPlainTextEdit) bound to a text or memo field, with the same binder as TDBEdit:
// typing starts an edit, the text is written to the field on exit and before a post.
#pragma once

#include <string>

#include "platform/ui/DBTextControl.h"

class QPlainTextEdit;

class TDBMemo : public TDBTextControl {
public:
    explicit TDBMemo(TComponent* owner);
    ~TDBMemo() override;

    // 0 none, 1 horizontal, 2 vertical, 3 both; without a horizontal bar long lines wrap.
    void SetScrollBars(int which);

    std::string Text() const override;
    void SetText(const std::string& text) override;  // counts as typed

    QPlainTextEdit* PlainTextEdit() const;
    TFieldDataLink& Link() const override;
};
