#include "platform/ui/DBNavigator.h"

#include <functional>

#include <QHBoxLayout>
#include <QToolButton>

#include "platform/ui/Application.h"
#include "platform/ui/DBClasses.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Registry.h"

namespace {

struct ButtonLook {
    const char* text;
    const char* hint;
};

const ButtonLook kLooks[kNavigateButtonCount] = {
    {"|◀", "第一条记录"}, {"◀", "上一条记录"}, {"▶", "下一条记录"}, {"▶|", "最后一条记录"},
    {"+", "插入记录"},    {"−", "删除记录"},   {"▲", "修改记录"},   {"✓", "保存修改"},
    {"✗", "取消修改"},    {"↻", "刷新数据"},
};

// Follows the data source for the buttons' states. It lives in the widget, which a window destroys (with
// all its widgets) before its components, data sources included.
class NavigatorLink : public TDataLink {
public:
    void Attach(TDataSource* source)
    {
        LinkTo(source);
        Changed();
    }

    void ActiveChanged() override { Changed(); }
    void DataSetChanged() override { Changed(); }
    void StateChanged() override { Changed(); }

    std::function<void()> changed;

private:
    void Changed()
    {
        if (changed) {
            changed();
        }
    }
};

class NavigatorWidget : public QWidget {
public:
    NavigatorWidget()
    {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        for (int i = 0; i < kNavigateButtonCount; ++i) {
            auto* b = new QToolButton(this);
            b->setText(QString::fromUtf8(kLooks[i].text));
            b->setToolTip(QString::fromUtf8(kLooks[i].hint));
            b->setFocusPolicy(Qt::NoFocus);  // pressing a button leaves the focus (and any typing) where it is
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            layout->addWidget(b);
            buttons[i] = b;
        }
    }
    QToolButton* buttons[kNavigateButtonCount] = {};
    NavigatorLink link;
};

NavigatorWidget* navWidget(const TDBNavigator* n)
{
    return static_cast<NavigatorWidget*>(n->Widget());
}

}  // namespace

TDBNavigator::TDBNavigator(TComponent* owner) : TControl(owner, new NavigatorWidget)
{
    LinkDataControlClasses();
    navWidget(this)->link.changed = [this] { UpdateButtons(); };
    for (int i = 0; i < kNavigateButtonCount; ++i) {
        QObject::connect(navWidget(this)->buttons[i], &QToolButton::clicked, navWidget(this),
                         [this, i] { RunGuarded([&] { Act(static_cast<TNavigateBtn>(i)); }); });
    }
    UpdateButtons();
}

TDBNavigator::~TDBNavigator()
{
    if (NavigatorWidget* w = navWidget(this)) {
        w->link.changed = nullptr;  // the widget may outlive this part of the navigator
    }
}

TDataSource* TDBNavigator::DataSource() const { return navWidget(this)->link.LinkedSource(); }
void TDBNavigator::SetDataSource(TDataSource* source) { navWidget(this)->link.Attach(source); }

void TDBNavigator::SetVisibleButtons(TButtonSet buttons)
{
    visible_ = buttons & kAllNavigateButtons;
    UpdateButtons();
}

bool TDBNavigator::ButtonEnabled(TNavigateBtn button) const
{
    const NavigatorWidget* w = navWidget(this);
    const TDataSet* ds = w != nullptr ? w->link.ShownDataSet() : nullptr;
    if (ds == nullptr) {
        return false;
    }
    const bool editing = ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert;
    const bool canModify = ds->CanModify();
    switch (button) {
    case nbFirst: case nbPrior: return editing || !ds->Bof();
    case nbNext: case nbLast: return editing || !ds->Eof();
    case nbInsert: return canModify;
    case nbDelete: return canModify && !ds->IsEmpty();
    case nbEdit: return canModify && !editing;
    case nbPost: case nbCancel: return editing;
    case nbRefresh: return !editing;
    }
    return false;
}

void TDBNavigator::UpdateButtons()
{
    NavigatorWidget* w = navWidget(this);
    if (w == nullptr) {
        return;
    }
    for (int i = 0; i < kNavigateButtonCount; ++i) {
        w->buttons[i]->setVisible((visible_ & (1u << i)) != 0);
        w->buttons[i]->setEnabled(ButtonEnabled(static_cast<TNavigateBtn>(i)));
    }
}

void TDBNavigator::BtnClick(TNavigateBtn button)
{
    if (!CanFocus() || (visible_ & (1u << button)) == 0 || !ButtonEnabled(button)) {
        return;
    }
    RunGuarded([&] { Act(button); });
}

void TDBNavigator::Act(TNavigateBtn button)
{
    TDataSet* ds = navWidget(this)->link.ShownDataSet();
    if (ds == nullptr) {
        return;
    }
    switch (button) {
    case nbFirst: ds->First(); break;
    case nbPrior: ds->Prior(); break;
    case nbNext: ds->Next(); break;
    case nbLast: ds->Last(); break;
    case nbInsert: ds->Insert(); break;
    case nbDelete:
        if (!ConfirmDelete || Application->MessageBox("删除当前记录吗？", "确认", MB_YESNO | MB_ICONQUESTION) == IDYES) {
            ds->Delete();
        }
        break;
    case nbEdit: ds->Edit(); break;
    case nbPost: ds->Post(); break;
    case nbCancel: ds->Cancel(); break;
    case nbRefresh: ds->Refresh(); break;
    }
}

namespace {

const ClassBuilder<TDBNavigator> kDBNavigatorClass("TDBNavigator", "TControl", [](ClassBuilder<TDBNavigator>& c) {
    c.Reference("DataSource", "TDataSource", [](TDBNavigator& n, TComponent* s) {
        n.SetDataSource(static_cast<TDataSourceComponent*>(s)->Object());
    });
    c.Set("VisibleButtons",
          {{"nbFirst", 1 << nbFirst}, {"nbPrior", 1 << nbPrior}, {"nbNext", 1 << nbNext}, {"nbLast", 1 << nbLast},
           {"nbInsert", 1 << nbInsert}, {"nbDelete", 1 << nbDelete}, {"nbEdit", 1 << nbEdit},
           {"nbPost", 1 << nbPost}, {"nbCancel", 1 << nbCancel}, {"nbRefresh", 1 << nbRefresh}},
          [](TDBNavigator& n, long long v) { n.SetVisibleButtons(static_cast<TButtonSet>(v)); });
    c.Bool("ConfirmDelete", [](TDBNavigator& n, bool v) { n.ConfirmDelete = v; });
    c.Bool("Flat", [](TDBNavigator&, bool) {});  // the buttons are always flat tool buttons
});

}  // namespace

void LinkDBNavigatorClass() {}
