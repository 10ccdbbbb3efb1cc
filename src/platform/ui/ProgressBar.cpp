#include "platform/ui/ProgressBar.h"

#include <QProgressBar>

#include <algorithm>

#include "platform/ui/Registry.h"

TProgressBar::TProgressBar(TComponent* owner) : TControl(owner, new QProgressBar)
{
    static_cast<QProgressBar*>(Widget())->setTextVisible(false);
    SetBounds(0, 0, 150, 16);
    Apply();
}

void TProgressBar::SetMin(int v)
{
    min_ = v;
    Apply();
}

void TProgressBar::SetMax(int v)
{
    max_ = v;
    Apply();
}

void TProgressBar::SetPosition(int v)
{
    position_ = max_ > min_ ? std::clamp(v, min_, max_) : min_;
    Apply();
}

void TProgressBar::Apply()
{
    auto* bar = static_cast<QProgressBar*>(Widget());
    if (max_ > min_) {
        bar->setRange(min_, max_);
        bar->setValue(std::clamp(position_, min_, max_));
    } else {
        bar->setRange(0, 1);
        bar->setValue(0);
    }
}

namespace {
const ClassBuilder<TProgressBar> kProgressBarClass("TProgressBar", "TControl", [](ClassBuilder<TProgressBar>& c) {
    c.Int("Min", [](TProgressBar& p, int v) { p.SetMin(v); });
    c.Int("Max", [](TProgressBar& p, int v) { p.SetMax(v); });
    c.Int("Position", [](TProgressBar& p, int v) { p.SetPosition(v); });
    c.Int("Step", [](TProgressBar& p, int v) { p.Step = v; });
    c.Bool("Smooth", [](TProgressBar&, bool) {});
});
}  // namespace
