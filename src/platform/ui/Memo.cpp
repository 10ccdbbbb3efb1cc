#include "platform/ui/Memo.h"

#include <QPlainTextEdit>

#include "platform/ui/Registry.h"

TMemo::TMemo(TComponent* owner) : TControl(owner, new QPlainTextEdit)
{
    SetTabStop(true);
    SetBounds(0, 0, 185, 89);
    QObject::connect(memo(), &QPlainTextEdit::textChanged, memo(), [this] { Fire(OnChange); });
}

QPlainTextEdit* TMemo::memo() const
{
    return static_cast<QPlainTextEdit*>(Widget());
}

std::string TMemo::Text() const
{
    return memo()->toPlainText().toStdString();
}

void TMemo::SetText(const std::string& text)
{
    memo()->setPlainText(QString::fromStdString(text));
}

std::vector<std::string> TMemo::Lines() const
{
    std::vector<std::string> out;
    const QString text = memo()->toPlainText();
    if (text.isEmpty()) {
        return out;
    }
    for (const QString& l : text.split('\n')) {
        out.push_back(l.toStdString());
    }
    return out;
}

void TMemo::SetLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i ? "\n" : "") + lines[i];
    }
    SetText(text);
}

void TMemo::AddLine(const std::string& line)
{
    memo()->appendPlainText(QString::fromStdString(line));
}

void TMemo::SetReadOnly(bool on)
{
    memo()->setReadOnly(on);
}

void TMemo::SetWordWrap(bool on)
{
    memo()->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle s)
{
    const bool h = s == TScrollStyle::ssHorizontal || s == TScrollStyle::ssBoth;
    const bool v = s == TScrollStyle::ssVertical || s == TScrollStyle::ssBoth;
    memo()->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    memo()->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
}

namespace {
const ClassBuilder<TMemo> kMemoClass("TMemo", "TControl", [](ClassBuilder<TMemo>& c) {
    c.Strings("Lines.Strings", [](TMemo& m, const std::vector<std::string>& v) { m.SetLines(v); });
    c.Bool("ReadOnly", [](TMemo& m, bool v) { m.SetReadOnly(v); });
    c.Bool("WordWrap", [](TMemo& m, bool v) { m.SetWordWrap(v); });
    c.Enum("ScrollBars", ClassBuilder<TMemo>::Ordinals({"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}),
           [](TMemo& m, long long v) { m.SetScrollBars(static_cast<TScrollStyle>(v)); });
    c.Event("OnChange", &TControl::OnChange);
});
}  // namespace
