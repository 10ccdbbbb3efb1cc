#include "platform/ui/ComboBox.h"

#include <QComboBox>
#include <QLineEdit>

#include "platform/ui/Registry.h"

TComboBox::TComboBox(TComponent* owner) : TControl(owner, new QComboBox)
{
    SetTabStop(true);
    SetBounds(0, 0, 145, 21);
    SetStyle(TComboBoxStyle::csDropDown);
    QObject::connect(combo(), &QComboBox::activated, combo(), [this](int) { Fire(OnChange); });
}

QComboBox* TComboBox::combo() const
{
    return static_cast<QComboBox*>(Widget());
}

void TComboBox::SetStyle(TComboBoxStyle s)
{
    style_ = s;
    const bool editable = s == TComboBoxStyle::csDropDown || s == TComboBoxStyle::csSimple;
    combo()->setEditable(editable);
    if (editable) {
        combo()->setInsertPolicy(QComboBox::NoInsert);
        QObject::connect(combo()->lineEdit(), &QLineEdit::textEdited, combo(), [this] { Fire(OnChange); });
    }
}

std::string TComboBox::Text() const
{
    return combo()->currentText().toStdString();
}

void TComboBox::SetText(const std::string& text)
{
    setting_ = true;
    const int i = combo()->findText(QString::fromStdString(text));
    if (combo()->isEditable()) {
        combo()->setEditText(QString::fromStdString(text));
    } else {
        combo()->setCurrentIndex(i);
    }
    setting_ = false;
}

std::vector<std::string> TComboBox::Items() const
{
    std::vector<std::string> out;
    for (int i = 0; i < combo()->count(); ++i) {
        out.push_back(combo()->itemText(i).toStdString());
    }
    return out;
}

void TComboBox::SetItems(const std::vector<std::string>& items)
{
    QSignalBlocker block(combo());
    const QString text = combo()->currentText();
    combo()->clear();
    for (const std::string& s : items) {
        combo()->addItem(QString::fromStdString(s));
    }
    combo()->setCurrentIndex(pendingIndex_ < combo()->count() ? pendingIndex_ : -1);
    if (combo()->isEditable() && pendingIndex_ < 0) {
        combo()->setEditText(text);
    }
    pendingIndex_ = -1;
}

void TComboBox::AddItem(const std::string& item)
{
    QSignalBlocker block(combo());
    const int keep = combo()->currentIndex();
    combo()->addItem(QString::fromStdString(item));
    combo()->setCurrentIndex(keep);
}

void TComboBox::ClearItems()
{
    SetItems({});
}

int TComboBox::ItemIndex() const
{
    return combo()->currentIndex();
}

void TComboBox::SetItemIndex(int i)
{
    QSignalBlocker block(combo());
    pendingIndex_ = std::max(-1, i);  // an index given before the items takes effect with them
    combo()->setCurrentIndex(i >= 0 && i < combo()->count() ? i : -1);
}

void TComboBox::ChooseItem(int i)
{
    if (!CanFocus() || i < 0 || i >= combo()->count()) {
        return;
    }
    {
        QSignalBlocker block(combo());
        combo()->setCurrentIndex(i);
    }
    emit combo()->activated(i);
}

namespace {
const ClassBuilder<TComboBox> kComboBoxClass("TComboBox", "TControl", [](ClassBuilder<TComboBox>& c) {
    c.Enum("Style",
           ClassBuilder<TComboBox>::Ordinals({"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                              "csOwnerDrawVariable"}),
           [](TComboBox& b, long long v) { b.SetStyle(static_cast<TComboBoxStyle>(v)); });
    c.Strings("Items.Strings", [](TComboBox& b, const std::vector<std::string>& v) { b.SetItems(v); });
    c.Int("ItemIndex", [](TComboBox& b, int v) { b.SetItemIndex(v); });
    c.String("Text", [](TComboBox& b, const std::string& v) { b.SetText(v); });
    c.Int("DropDownCount", [](TComboBox& b, int v) { b.DropDownCount = v; });
    c.Int("ItemHeight", [](TComboBox&, int) {});
    c.Event("OnChange", &TControl::OnChange);
});
}  // namespace
