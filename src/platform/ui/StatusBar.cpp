#include "platform/ui/StatusBar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

#include "platform/ui/Registry.h"

TStatusBar::TStatusBar(TComponent* owner) : TControl(owner, new QFrame)
{
    auto* frame = static_cast<QFrame*>(Widget());
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    label_ = new QLabel(frame);
    label_->setTextFormat(Qt::PlainText);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(label_);
    SetBounds(0, 0, 150, 19);
    SetAlign(TAlign::alBottom);
}

void TStatusBar::SetSimpleText(const std::string& text)
{
    simpleText_ = text;
    label_->setText(QString::fromStdString(text));
}

namespace {
const ClassBuilder<TStatusBar> kStatusBarClass("TStatusBar", "TControl", [](ClassBuilder<TStatusBar>& c) {
    c.Bool("SimplePanel", [](TStatusBar& s, bool v) { s.SimplePanel = v; });
    c.String("SimpleText", [](TStatusBar& s, const std::string& v) { s.SetSimpleText(v); });
});
}  // namespace
