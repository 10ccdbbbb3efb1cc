#include "platform/ui/RadioGroup.h"

#include <QFontMetrics>
#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

#include "platform/ui/Registry.h"

TRadioGroup::TRadioGroup(TComponent* owner) : TControl(owner, new QGroupBox)
{
    group_ = new QButtonGroup(box());
    SetTabStop(true);
    SetBounds(0, 0, 185, 105);
}

QGroupBox* TRadioGroup::box() const
{
    return static_cast<QGroupBox*>(Widget());
}

void TRadioGroup::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    box()->setTitle(QString::fromStdString(text));
}

void TRadioGroup::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, width, height);
    Arrange();
}

void TRadioGroup::SetItems(const std::vector<std::string>& items)
{
    for (QRadioButton* b : buttons_) {
        delete b;
    }
    buttons_.clear();
    items_ = items;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        auto* b = new QRadioButton(QString::fromStdString(items_[i]), box());
        group_->addButton(b);
        b->setFocusPolicy(Qt::StrongFocus);
        const int index = static_cast<int>(i);
        // toggled covers mouse and keyboard; only the button that becomes checked reports.
        QObject::connect(b, &QRadioButton::toggled, b, [this, index](bool on) {
            if (on) {
                UserPicked(index);
            }
        });
        b->show();
        buttons_.push_back(b);
    }
    SetItemIndex(itemIndex_);  // an index given before the items takes effect now
    Arrange();
}

void TRadioGroup::SetItemIndex(int i)
{
    itemIndex_ = std::max(-1, i);
    group_->setExclusive(false);  // so that no item may be checked
    for (std::size_t k = 0; k < buttons_.size(); ++k) {
        QSignalBlocker block(buttons_[k]);
        buttons_[k]->setChecked(static_cast<int>(k) == i);
    }
    group_->setExclusive(true);
}

void TRadioGroup::SetColumns(int n)
{
    columns_ = std::max(1, n);
    Arrange();
}

void TRadioGroup::ClickItem(int i)
{
    if (i >= 0 && i < static_cast<int>(buttons_.size()) && CanFocus()) {
        buttons_[static_cast<std::size_t>(i)]->click();
    }
}

QRadioButton* TRadioGroup::Button(int i) const
{
    return i >= 0 && i < static_cast<int>(buttons_.size()) ? buttons_[static_cast<std::size_t>(i)] : nullptr;
}

QWidget* TRadioGroup::FocusWidget() const
{
    if (QRadioButton* b = Button(itemIndex_)) {
        return b;
    }
    return buttons_.empty() ? Widget() : buttons_.front();
}

int TRadioGroup::ItemIndex() const
{
    return itemIndex_ < static_cast<int>(items_.size()) ? itemIndex_ : -1;
}

void TRadioGroup::UserPicked(int i)
{
    if (i == itemIndex_) {
        return;
    }
    itemIndex_ = i;
    Fire(OnClick);
}

// Items fill the columns top to bottom, spread evenly over the height below the caption.
void TRadioGroup::Arrange()
{
    if (buttons_.empty()) {
        return;
    }
    const int n = static_cast<int>(buttons_.size());
    const int perColumn = (n + columns_ - 1) / columns_;
    const int textHeight = QFontMetrics(box()->font()).height();
    const int columnWidth = std::max(1, (Width() - 10) / columns_);
    const int usable = std::max(perColumn, Height() - textHeight - 5);
    const int rowHeight = usable / perColumn;
    const int topMargin = textHeight + 1 + (usable % perColumn) / 2;
    for (int i = 0; i < n; ++i) {
        buttons_[static_cast<std::size_t>(i)]->setGeometry((i / perColumn) * columnWidth + 8,
                                                            (i % perColumn) * rowHeight + topMargin, columnWidth,
                                                            rowHeight);
    }
}

namespace {
const ClassBuilder<TRadioGroup> kRadioGroupClass("TRadioGroup", "TControl", [](ClassBuilder<TRadioGroup>& c) {
    c.Strings("Items.Strings", [](TRadioGroup& g, const std::vector<std::string>& v) { g.SetItems(v); });
    c.Int("ItemIndex", [](TRadioGroup& g, int v) { g.SetItemIndex(v); });
    c.Int("Columns", [](TRadioGroup& g, int v) { g.SetColumns(v); });
});
}  // namespace
