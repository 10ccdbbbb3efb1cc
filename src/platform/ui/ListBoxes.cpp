#include "platform/ui/ListBoxes.h"

#include <QComboBox>
#include <QDir>
#include <QListWidget>

#include "platform/ui/Registry.h"

TCheckListBox::TCheckListBox(TComponent* owner) : TControl(owner, new QListWidget)
{
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
    QObject::connect(list(), &QListWidget::itemChanged, list(), [this](QListWidgetItem*) {
        if (!setting_) {
            Fire(OnClickCheck);
        }
    });
    QObject::connect(list(), &QListWidget::itemClicked, list(), [this](QListWidgetItem*) { Fire(OnClick); });
}

QListWidget* TCheckListBox::list() const
{
    return static_cast<QListWidget*>(Widget());
}

std::vector<std::string> TCheckListBox::Items() const
{
    std::vector<std::string> out;
    for (int i = 0; i < list()->count(); ++i) {
        out.push_back(list()->item(i)->text().toStdString());
    }
    return out;
}

void TCheckListBox::SetItems(const std::vector<std::string>& items)
{
    setting_ = true;
    list()->clear();
    for (const std::string& s : items) {
        auto* item = new QListWidgetItem(QString::fromStdString(s), list());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    setting_ = false;
}

int TCheckListBox::Count() const
{
    return list()->count();
}

bool TCheckListBox::Checked(int i) const
{
    const QListWidgetItem* item = list()->item(i);
    return item && item->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int i, bool on)
{
    if (QListWidgetItem* item = list()->item(i)) {
        setting_ = true;
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        setting_ = false;
    }
}

int TCheckListBox::ItemIndex() const
{
    return list()->currentRow();
}

void TCheckListBox::SetItemIndex(int i)
{
    list()->setCurrentRow(i);
}

void TCheckListBox::ToggleItem(int i)
{
    if (QListWidgetItem* item = list()->item(i); item && CanFocus()) {
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TControl(owner, new QListWidget)
{
    SetTabStop(true);
    SetBounds(0, 0, 145, 97);
    QObject::connect(list(), &QListWidget::itemDoubleClicked, list(), [this](QListWidgetItem* item) {
        RunHandler([this, item] { OpenFolder(item->text().toStdString()); });
    });
    Fill();
}

QListWidget* TDirectoryListBox::list() const
{
    return static_cast<QListWidget*>(Widget());
}

void TDirectoryListBox::SetDirectory(const std::string& dir)
{
    std::string d = dir;
    for (char& c : d) {
        if (c == '\\') {
            c = '/';
        }
    }
    const QDir q(QString::fromStdString(d.empty() ? "/" : d));
    directory_ = q.absolutePath().toStdString();
    Fill();
}

bool TDirectoryListBox::OpenFolder(const std::string& name)
{
    QDir q(QString::fromStdString(directory_));
    if (!q.cd(QString::fromStdString(name))) {
        return false;
    }
    directory_ = q.absolutePath().toStdString();
    Fill();
    Fire(OnChange);
    return true;
}

void TDirectoryListBox::Fill()
{
    list()->clear();
    const QDir q(QString::fromStdString(directory_));
    if (!q.isRoot()) {
        list()->addItem(QStringLiteral(".."));
    }
    for (const QString& sub : q.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        list()->addItem(sub);
    }
}

TDriveComboBox::TDriveComboBox(TComponent* owner) : TControl(owner, new QComboBox)
{
    SetTabStop(true);
    SetBounds(0, 0, 145, 19);
    static_cast<QComboBox*>(Widget())->addItem(QStringLiteral("/"));
}

namespace {

const ClassBuilder<TCheckListBox> kCheckListBoxClass("TCheckListBox", "TControl", [](ClassBuilder<TCheckListBox>& c) {
    c.Strings("Items.Strings", [](TCheckListBox& l, const std::vector<std::string>& v) { l.SetItems(v); });
    c.Int("ItemHeight", [](TCheckListBox&, int) {});
    c.Event("OnClickCheck", &TCheckListBox::OnClickCheck);
});

const ClassBuilder<TDirectoryListBox> kDirectoryListBoxClass("TDirectoryListBox", "TControl",
                                                             [](ClassBuilder<TDirectoryListBox>& c) {
    c.String("Directory", [](TDirectoryListBox& d, const std::string& v) { d.SetDirectory(v); });
    c.Int("ItemHeight", [](TDirectoryListBox&, int) {});
    c.Event("OnChange", &TControl::OnChange);
});

const ClassBuilder<TDriveComboBox> kDriveComboBoxClass("TDriveComboBox", "TControl", [](ClassBuilder<TDriveComboBox>& c) {
    c.Reference("DirList", "TDirectoryListBox", [](TDriveComboBox& d, TComponent* t) {
        d.DirList = static_cast<TDirectoryListBox*>(t);
    });
    c.Event("OnChange", &TControl::OnChange);
});

}  // namespace
