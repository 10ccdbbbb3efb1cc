// The one binder between a data-aware text control and a field: it follows the field through a data source,
// shows its value (through the field's edit mask where it has one), starts an edit when the user starts
// typing, and writes the typed text back to the field on exit and before every post. TDBEdit and TDBMemo
// differ only in the widget they drive (TextWidget).
//
// A binder lives in its widget. A data source that goes first tells it (DataSourceDestroyed), and it lets go
// of the source and the field.
// Invariant: Field() is valid only while the data set is open; every use checks that first, since a closing
// data set frees its fields before telling its links.
// Invariant: Modified() is true only while the widget holds text typed since the field was last shown; only
// then is anything written back, so a stored value that does not fit its mask survives being looked at.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QString>

#include "platform/db/DataSet.h"
#include "platform/ui/EditMask.h"

// What the binder needs of a text widget.
class TextWidget {
public:
    virtual ~TextWidget() = default;
    // Shows a text; with a non-empty Qt input mask the text is the full-width masked text.
    virtual void Show(const QString& text, const QString& qtInputMask) = 0;
    // The text as shown (full width with blanks under a mask).
    virtual QString ShownText() const = 0;
    virtual void SetReadOnly(bool on) = 0;
    virtual void SetMaxLength(int chars) = 0;  // 0: no limit
};

// The value to store for a text shown under the field's mask: nullopt (null) when only literals and blanks
// are shown. Raises EConvertError naming the field when a required slot is left empty.
std::optional<QString> MaskedValue(const TField& field, const TEditMask& mask, const QString& shown);

class TFieldDataLink : public TDataLink {
public:
    explicit TFieldDataLink(TextWidget* widget);
    ~TFieldDataLink() override;
    TFieldDataLink(const TFieldDataLink&) = delete;
    TFieldDataLink& operator=(const TFieldDataLink&) = delete;

    TDataSource* DataSource() const { return LinkedSource(); }
    void SetDataSource(TDataSource* source);
    void DataSourceDestroyed(TDataSource* source) override;
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& name);

    // The control's own ReadOnly property; the field's ReadOnly and an unmodifiable data set add to it.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);

    // A length limit of the control's own (0: the field's size).
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int chars);

    // The field shown, or nullptr when detached (no source, source disabled, data set closed, no such field).
    TField* Field() const { return field_; }
    bool CanModify() const;
    // True when the value is shown through the field's edit mask (false for a value that does not fit it).
    bool MaskActive() const { return maskActive_; }
    bool Modified() const { return modified_; }

    // The user is about to change the text: starts an edit of the data set (an insert on an empty one) where
    // it browses. Raises what the data set raises (a guard's silent abort, a read-only table); false when the
    // text may not be changed.
    bool BeginTyping();
    // The user changed the text.
    void TextEdited() { modified_ = true; }
    // Writes the typed text to the field when modified. Raises a conversion or engine error; refuses a
    // masked text with a required slot left empty.
    void WriteBack();
    // Shows the field's value again, dropping typed text.
    void Reset();
    // A field's edit mask is set without telling anyone (the windows set masks once the table is open):
    // shows the value again under the new mask, unless text has been typed.
    void CheckMask();

    // TDataLink
    void ActiveChanged() override;
    void DataSetChanged() override;
    void RecordChanged(TField* field) override;
    void StateChanged() override;
    void UpdateData() override;

private:
    void Bind();
    void Load();
    void ApplyReadOnly();

    TextWidget* widget_;
    std::string fieldName_;
    TField* field_ = nullptr;
    bool readOnly_ = false;
    int maxLength_ = 0;
    bool modified_ = false;
    bool maskActive_ = false;
    bool writing_ = false;
    TEditMask mask_;
    std::string maskText_;  // the field's EditMask that mask_ was made from
};
