#include "platform/ui/DBMemo.h"

#include <QMimeData>
#include <QPlainTextEdit>

#include "platform/ui/DBClasses.h"
#include "platform/ui/DBTextEdit.h"

namespace {

class DBPlainTextEdit : public DBTextEdit<QPlainTextEdit> {
public:
    DBPlainTextEdit()
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

protected:
    bool KeyChanges(const QKeyEvent* e) const override
    {
        return KeyChangesText(e) || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    }

    void insertFromMimeData(const QMimeData* source) override
    {
        if (BeginTypingGuarded(link)) {
            QPlainTextEdit::insertFromMimeData(source);
        }
    }

private:
    bool loading_ = false;
};

DBPlainTextEdit* memo(const TDBMemo* m)
{
    return static_cast<DBPlainTextEdit*>(m->Widget());
}

}  // namespace

TDBMemo::TDBMemo(TComponent* owner) : TDBTextControl(owner, new DBPlainTextEdit)
{
    LinkDataControlClasses();
    SetTabStop(true);
    QObject::connect(PlainTextEdit(), &QPlainTextEdit::textChanged, PlainTextEdit(), [this] { Fire(OnChange); });
}

TDBMemo::~TDBMemo() = default;

QPlainTextEdit* TDBMemo::PlainTextEdit() const { return memo(this); }
TFieldDataLink& TDBMemo::Link() const { return memo(this)->link; }

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
    DataFieldProperties(c);
    c.Enum("ScrollBars", ClassBuilder<TDBMemo>::Ordinals({"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}),
           [](TDBMemo& m, long long v) { m.SetScrollBars(static_cast<int>(v)); });
    c.Event("OnChange", &TControl::OnChange);
});

}  // namespace

void LinkDBMemoClass() {}
