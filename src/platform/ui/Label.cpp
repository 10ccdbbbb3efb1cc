#include "platform/ui/Label.h"

#include <QFontMetrics>
#include <QLabel>

#include "platform/ui/Registry.h"

TLabel::TLabel(TComponent* owner) : TControl(owner, new QLabel)
{
    label()->setTextFormat(Qt::PlainText);
    label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetBounds(0, 0, 32, 13);
}

QLabel* TLabel::label() const
{
    return static_cast<QLabel*>(Widget());
}

std::string TLabel::StripAccelerator(const std::string& caption)
{
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

std::string TLabel::DisplayText() const
{
    return StripAccelerator(Caption());
}

void TLabel::SetCaption(const std::string& text)
{
    TControl::SetCaption(text);
    label()->setText(QString::fromStdString(DisplayText()));
    FitToText();
}

void TLabel::ApplyFont()
{
    TControl::ApplyFont();
    FitToText();
}

void TLabel::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, width, height);
    if (!fitting_) {
        FitToText();
    }
}

void TLabel::SetAutoSize(bool on)
{
    autoSize_ = on;
    FitToText();
}

void TLabel::SetAlignment(TAlignment a)
{
    Qt::Alignment h = a == TAlignment::taCenter ? Qt::AlignHCenter
                      : a == TAlignment::taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    label()->setAlignment(h | Qt::AlignTop);
}

void TLabel::SetWordWrap(bool on)
{
    label()->setWordWrap(on);
    if (on) {
        autoSize_ = false;
    }
}

void TLabel::FitToText()
{
    if (!autoSize_ || fitting_ || DisplayText().empty()) {
        return;
    }
    fitting_ = true;
    // The font the label shows with: its own attributes resolved against the parent's.
    const QFontMetrics fm(label()->font());
    const QSize s = fm.size(0, label()->text());
    TControl::SetBounds(Left(), Top(), s.width(), s.height());
    fitting_ = false;
}

namespace {
const ClassBuilder<TLabel> kLabelClass("TLabel", "TControl", [](ClassBuilder<TLabel>& c) {
    c.Bool("AutoSize", [](TLabel& l, bool v) { l.SetAutoSize(v); });
    c.Bool("WordWrap", [](TLabel& l, bool v) { l.SetWordWrap(v); });
    c.Bool("Transparent", [](TLabel& l, bool v) { l.Transparent = v; });
    c.Enum("Alignment", ClassBuilder<TLabel>::Ordinals({"taLeftJustify", "taRightJustify", "taCenter"}),
           [](TLabel& l, long long v) { l.SetAlignment(static_cast<TAlignment>(v)); });
    c.Reference("FocusControl", "TControl", [](TLabel&, TComponent*) {});
});
}  // namespace
