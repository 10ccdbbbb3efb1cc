#include "platform/ui/DBMemo.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

#include "platform/ui/DBClasses.h"
#include "platform/ui/DBFieldLink.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Registry.h"
#include "platform/ui/DBTyping.h"

namespace {

class DBPlainTextEdit : public QPlainTextEdit, public TextWidget {
public:
    DBPlainTextEdit() : link(this)
    {
        connect(this, &QPlainTextEdit::textChanged, this, [this] {
            if (!loading_) {
                link.TextEdited();
            }
        });
    }

    // TextWidget
    void Show(const QString& text, const QString& /*qtInputMask: memos take no mask*/) override
    {
        if (toPlainText() != text) {
            loading_ = true;
            setPlainText(text);
            loading_ = false;
        }
    }
    QString ShownText() const override { return toPlainText(); }
    void SetReadOnly(bool on) override { setReadOnly(on); }
    void SetMaxLength(int) override {}

    TFieldDataLink link;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape && link.Modified()) {
            link.Reset();
            e->accept();
            return;
        }
        const bool changes = KeyChangesText(e) || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (changes && !BeginTypingGuarded(link)) {
            e->accept();
            return;
        }
        QPlainTextEdit::keyPressEvent(e);
    }

    void inputMethodEvent(QInputMethodEvent* e) override
    {
        if (!e->commitString().isEmpty() && !BeginTypingGuarded(link)) {
            e->accept();
            return;
        }
        QPlainTextEdit::inputMethodEvent(e);
    }

    void insertFromMimeData(const QMimeData* source) override
    {
        if (BeginTypingGuarded(link)) {
            QPlainTextEdit::insertFromMimeData(source);
        }
    }

    void focusInEvent(QFocusEvent* e) override
    {
        link.CheckMask();
        QPlainTextEdit::focusInEvent(e);
    }

    void focusOutEvent(QFocusEvent* e) override
    {
        QPlainTextEdit::focusOutEvent(e);
        if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason || exiting_) {
            return;
        }
        exiting_ = true;
        bool ok = false;
        RunGuarded([&] {
            link.WriteBack();
            ok = true;
        });
        exiting_ = false;
        if (!ok) {
            QPointer<DBPlainTextEdit> self(this);
            QTimer::singleShot(0, this, [self] {
                if (self) {
                    self->setFocus(Qt::OtherFocusReason);
                }
            });
        }
    }

private:
    bool loading_ = false;
    bool exiting_ = false;
};

DBPlainTextEdit* memo(const TDBMemo* m)
{
    return static_cast<DBPlainTextEdit*>(m->Widget());
}

}  // namespace

TDBMemo::TDBMemo(TComponent* owner) : TControl(owner, new DBPlainTextEdit)
{
    LinkDataControlClasses();
    SetTabStop(true);
    QObject::connect(PlainTextEdit(), &QPlainTextEdit::textChanged, PlainTextEdit(), [this] { Fire(OnChange); });
}

TDBMemo::~TDBMemo() = default;

QPlainTextEdit* TDBMemo::PlainTextEdit() const { return memo(this); }
TFieldDataLink& TDBMemo::Link() const { return memo(this)->link; }

TDataSource* TDBMemo::DataSource() const { return Link().DataSource(); }
void TDBMemo::SetDataSource(TDataSource* source) { Link().SetDataSource(source); }
const std::string& TDBMemo::DataField() const { return Link().FieldName(); }
void TDBMemo::SetDataField(const std::string& name) { Link().SetFieldName(name); }
bool TDBMemo::ReadOnly() const { return Link().ReadOnly(); }
void TDBMemo::SetReadOnly(bool on) { Link().SetReadOnly(on); }
TField* TDBMemo::Field() const { return Link().Field(); }

std::string TDBMemo::Text() const
{
    return PlainTextEdit()->toPlainText().toStdString();
}

void TDBMemo::SetScrollBars(int which)
{
    QPlainTextEdit* e = PlainTextEdit();
    const bool horizontal = which == 1 || which == 3;
    const bool vertical = which == 2 || which == 3;
    e->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
}

void TDBMemo::SetText(const std::string& text)
{
    PlainTextEdit()->setPlainText(QString::fromStdString(text));  // textChanged marks it modified
}

namespace {

const ClassBuilder<TDBMemo> kDBMemoClass("TDBMemo", "TControl", [](ClassBuilder<TDBMemo>& c) {
    c.Reference("DataSource", "TDataSource", [](TDBMemo& m, TComponent* s) {
        m.SetDataSource(static_cast<TDataSourceComponent*>(s)->Object());
    });
    c.String("DataField", [](TDBMemo& m, const std::string& v) { m.SetDataField(v); });
    c.Bool("ReadOnly", [](TDBMemo& m, bool v) { m.SetReadOnly(v); });
    c.Enum("ScrollBars", ClassBuilder<TDBMemo>::Ordinals({"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}),
           [](TDBMemo& m, long long v) { m.SetScrollBars(static_cast<int>(v)); });
    c.Event("OnChange", &TControl::OnChange);
});

}  // namespace

void LinkDBMemoClass() {}
