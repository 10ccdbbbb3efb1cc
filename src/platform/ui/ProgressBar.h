// TProgressBar: Min, Max and Position. A range with Max <= Min shows an empty bar (never Qt's busy bar).
#pragma once

#include "platform/ui/Control.h"

class QProgressBar;

class TProgressBar : public TControl {
public:
    explicit TProgressBar(TComponent* owner);
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetMin(int v);
    void SetMax(int v);
    void SetPosition(int v);
    int Step = 10;
    void StepIt() { SetPosition(position_ + Step); }
    void StepBy(int delta) { SetPosition(position_ + delta); }

private:
    void Apply();
    int min_ = 0, max_ = 100, position_ = 0;
};
