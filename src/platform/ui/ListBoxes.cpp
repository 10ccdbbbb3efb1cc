#include "platform/ui/ListBoxes.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QListWidget>
#include <QMouseEvent>

#include <functional>

#include "platform/ui/Registry.h"

namespace {

// Tells which mouse and key events reach a list (its viewport gets the mouse, the list itself the keys).
class ListViewportFilter : public QObject {
public:
    ListViewportFilter(QObject* parent, std::function<void(QEvent::Type)> seen) : QObject(parent), seen_(std::move(seen)) {}
    bool eventFilter(QObject*, QEvent* ev) override
    {
        const QEvent::Type t = ev->type();
        if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick ||
            t == QEvent::KeyPress || t == QEvent::KeyRelease) {
            seen_(t);
        }
        return false;
    }

private:
    std::function<void(QEvent::Type)> seen_;
};

}  // namespace

TCustomListBox::TCustomListBox(TComponent* owner) : TControl(owner, new QListWidget)
{
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
    // As with the system's lists: press, release (click), double-click, release; the last release is no click.
    list()->installEventFilter(new ListViewportFilter(list(), [this](QEvent::Type t) {
        keyDown_ = t == QEvent::KeyPress;
    }));
    list()->viewport()->installEventFilter(new ListViewportFilter(list(), [this](QEvent::Type t) {
        if (t == QEvent::MouseButtonDblClick) {
            afterDouble_ = true;
            Fire(OnDblClick);
            return;
        }
        swallowClick_ = t == QEvent::MouseButtonRelease && afterDouble_;
        afterDouble_ = false;
    }));
    // A mouse selection is told once, when the click is complete; the keyboard's at once. The view's own moves
    // (the first item made current when the list gets the focus) are no choice of the user's.
    QObject::connect(list(), &QListWidget::itemClicked, list(), [this](QListWidgetItem*) {
        if (!swallowClick_) {
            Fire(OnClick);
        }
        swallowClick_ = false;
    });
    QObject::connect(list(), &QListWidget::currentRowChanged, list(), [this](int) {
        if (!setting_ && keyDown_) {
            Fire(OnClick);
        }
    });
}

QListWidget* TCustomListBox::list() const
{
    return static_cast<QListWidget*>(Widget());
}

std::vector<std::string> TCustomListBox::Items() const
{
    std::vector<std::string> out;
    for (int i = 0; i < list()->count(); ++i) {
        out.push_back(list()->item(i)->text().toStdString());
    }
    return out;
}

void TCustomListBox::SetItems(const std::vector<std::string>& items)
{
    Clear();
    for (const std::string& s : items) {
        Add(s);
    }
}

int TCustomListBox::Count() const
{
    return list()->count();
}

std::string TCustomListBox::Item(int i) const
{
    const QListWidgetItem* item = list()->item(i);
    return item ? item->text().toStdString() : std::string();
}

int TCustomListBox::Add(const std::string& text)
{
    setting_ = true;
    list()->addItem(QString::fromStdString(text));
    const int index = list()->count() - 1;
    ItemAdded(index);
    setting_ = false;
    return index;
}

void TCustomListBox::Delete(int i)
{
    if (i < 0 || i >= list()->count()) {
        return;
    }
    setting_ = true;
    delete list()->takeItem(i);
    setting_ = false;
}

void TCustomListBox::Clear()
{
    setting_ = true;
    list()->clear();
    setting_ = false;
}

int TCustomListBox::IndexOf(const std::string& text) const
{
    const QString q = QString::fromStdString(text);
    for (int i = 0; i < list()->count(); ++i) {
        if (list()->item(i)->text() == q) {
            return i;
        }
    }
    return -1;
}

int TCustomListBox::ItemIndex() const
{
    return list()->currentRow();
}

void TCustomListBox::SetItemIndex(int i)
{
    setting_ = true;
    list()->setCurrentRow(i >= 0 && i < list()->count() ? i : -1);
    setting_ = false;
}

bool TCustomListBox::ClickItem(int i)
{
    return SendMouse(i, false);
}

bool TCustomListBox::DblClickItem(int i)
{
    return SendMouse(i, true);
}

bool TCustomListBox::SendMouse(int i, bool doubleClick)
{
    QListWidgetItem* item = list()->item(i);
    if (!item || !CanFocus()) {
        return false;
    }
    list()->scrollToItem(item);
    const QPointF at = list()->visualItemRect(item).center();
    QWidget* port = list()->viewport();
    const QPointF global = port->mapToGlobal(at);
    auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent ev(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &ev);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    if (doubleClick) {
        send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
    return true;
}

TListBox::TListBox(TComponent* owner) : TCustomListBox(owner) {}

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner)
{
    QObject::connect(list(), &QListWidget::itemChanged, list(), [this](QListWidgetItem*) {
        if (!setting_) {
            Fire(OnClickCheck);
        }
    });
}

void TCheckListBox::ItemAdded(int index)
{
    QListWidgetItem* item = list()->item(index);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
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
        const std::string path = item->data(Qt::UserRole).toString().toStdString();
        RunHandler([this, path] { OpenFolder(path); });
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

std::vector<std::string> TDirectoryListBox::Items() const
{
    std::vector<std::string> out;
    for (int i = 0; i < list()->count(); ++i) {
        out.push_back(list()->item(i)->text().toStdString());
    }
    return out;
}

void TDirectoryListBox::Fill()
{
    // As the system's folder list: the path from the root down to the folder shown, each level indented one
    // step further, the folder itself selected, then its subfolders one step deeper. Every item opens its folder.
    list()->clear();
    auto add = [this](const QString& text, int depth, const QString& path) {
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + text, list());
        item->setData(Qt::UserRole, path);
        return item;
    };
    QDir q(QString::fromStdString(directory_));
    QStringList chain;
    for (QDir up = q; !up.isRoot(); up.cdUp()) {
        chain.prepend(up.dirName());
    }
    QString path = QStringLiteral("/");
    QListWidgetItem* shown = add(path, 0, path);
    for (int i = 0; i < chain.size(); ++i) {
        path = QDir(path).filePath(chain[i]);
        shown = add(chain[i], i + 1, path);
    }
    list()->setCurrentItem(shown);
    for (const QString& sub : q.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        add(sub, static_cast<int>(chain.size()) + 1, q.filePath(sub));
    }
}

TDriveComboBox::TDriveComboBox(TComponent* owner) : TControl(owner, new QComboBox)
{
    SetTabStop(true);
    SetBounds(0, 0, 145, 19);
    static_cast<QComboBox*>(Widget())->addItem(QStringLiteral("/"));
}

namespace {

const ClassBuilder<TCustomListBox> kCustomListBoxClass("TCustomListBox", "TControl", [](ClassBuilder<TCustomListBox>& c) {
    c.NotCreatable();
    c.Strings("Items.Strings", [](TCustomListBox& l, const std::vector<std::string>& v) { l.SetItems(v); });
    c.Int("ItemIndex", [](TCustomListBox& l, int v) { l.SetItemIndex(v); });
    c.Int("ItemHeight", [](TCustomListBox&, int) {});
});

const ClassBuilder<TListBox> kListBoxClass("TListBox", "TCustomListBox");

const ClassBuilder<TCheckListBox> kCheckListBoxClass("TCheckListBox", "TCustomListBox", [](ClassBuilder<TCheckListBox>& c) {
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
