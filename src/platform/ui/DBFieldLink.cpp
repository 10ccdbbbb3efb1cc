#include "platform/ui/DBFieldLink.h"

#include "platform/ui/DBFieldText.h"

std::optional<QString> MaskedValue(const TField& field, const TEditMask& mask, const QString& shown)
{
    if (!mask.IsComplete(shown)) {
        const std::string& label = field.DisplayLabel.empty() ? field.FieldName() : field.DisplayLabel;
        throw EConvertError(
            QStringLiteral("字段“%1”的输入不完整：%2").arg(QString::fromStdString(label), shown).toStdString());
    }
    return mask.StoredValue(shown);
}

TFieldDataLink::TFieldDataLink(TextWidget* widget) : widget_(widget) {}

TFieldDataLink::~TFieldDataLink() = default;

void TFieldDataLink::DataSourceDestroyed(TDataSource*) { field_ = nullptr; }

void TFieldDataLink::SetDataSource(TDataSource* source)
{
    if (source == LinkedSource()) {
        return;
    }
    LinkTo(source);
    Bind();
}

void TFieldDataLink::SetFieldName(const std::string& name)
{
    fieldName_ = name;
    Bind();
}

void TFieldDataLink::SetReadOnly(bool on)
{
    readOnly_ = on;
    ApplyReadOnly();
}

void TFieldDataLink::SetMaxLength(int chars)
{
    maxLength_ = chars > 0 ? chars : 0;
    if (!modified_) {
        Load();
    }
}

bool TFieldDataLink::CanModify() const
{
    const TDataSet* ds = ShownDataSet();
    return ds != nullptr && field_ != nullptr && !readOnly_ && !field_->ReadOnly && ds->CanModify();
}

void TFieldDataLink::Bind()
{
    TDataSet* ds = ShownDataSet();
    field_ = ds != nullptr && !fieldName_.empty() ? ds->FindField(fieldName_) : nullptr;
    Load();
}

void TFieldDataLink::Load()
{
    modified_ = false;
    maskActive_ = false;
    if (field_ == nullptr) {
        mask_ = TEditMask();
        maskText_.clear();
        widget_->Show(QString(), QString());
        widget_->SetMaxLength(0);
        ApplyReadOnly();
        return;
    }
    maskText_ = field_->EditMask;
    mask_ = TEditMask(QString::fromStdString(maskText_));
    const QString text = FieldDisplayText(*field_);
    if (!mask_.IsEmpty()) {
        if (const std::optional<QString> shown = mask_.DisplayText(text)) {
            maskActive_ = true;
            widget_->Show(*shown, mask_.QtInputMask());
        }
    }
    if (!maskActive_) {
        widget_->Show(text, QString());  // a value that does not fit its mask is shown as it is
    }
    widget_->SetMaxLength(maskActive_ ? 0
                          : maxLength_ > 0 ? maxLength_
                          : field_->DataType() == TFieldType::String ? field_->Size()
                                                                     : 0);
    ApplyReadOnly();
}

void TFieldDataLink::ApplyReadOnly()
{
    widget_->SetReadOnly(!CanModify());
}

void TFieldDataLink::CheckMask()
{
    if (ShownDataSet() == nullptr) {
        if (field_ != nullptr) {
            Bind();
        }
        return;
    }
    if (field_ != nullptr && !modified_ && field_->EditMask != maskText_) {
        Load();
    }
}

bool TFieldDataLink::BeginTyping()
{
    CheckMask();
    if (!CanModify()) {
        return false;
    }
    TDataSet* ds = ShownDataSet();
    if (ds->State() == TDataSetState::dsBrowse) {
        ds->Edit();
    }
    return ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert;
}

void TFieldDataLink::WriteBack()
{
    if (!modified_ || field_ == nullptr || writing_ || ShownDataSet() == nullptr) {
        return;
    }
    const QString shown = widget_->ShownText();
    std::optional<QString> value = shown;
    if (maskActive_) {
        value = MaskedValue(*field_, mask_, shown);
    }
    writing_ = true;
    modified_ = false;
    try {
        if (value.has_value()) {
            SetFieldText(*field_, *value);
        } else {
            field_->Clear();
        }
    } catch (...) {
        writing_ = false;
        modified_ = true;
        throw;
    }
    writing_ = false;
}

void TFieldDataLink::Reset()
{
    Load();
}

void TFieldDataLink::ActiveChanged()
{
    Bind();
}

void TFieldDataLink::DataSetChanged()
{
    Bind();
}

void TFieldDataLink::RecordChanged(TField* field)
{
    if (ShownDataSet() == nullptr) {
        Bind();
    } else if (field == nullptr || field == field_) {
        Load();
    }
}

void TFieldDataLink::StateChanged()
{
    // a closing data set tells its state before it is inactive: its fields may be gone already
    const TDataSet* ds = ShownDataSet();
    if (ds == nullptr || ds->State() == TDataSetState::dsBrowse) {
        Bind();  // a stored or cancelled record is shown as it is now
    } else {
        ApplyReadOnly();
    }
}

void TFieldDataLink::UpdateData()
{
    WriteBack();
}
