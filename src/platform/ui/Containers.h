// The plain containers: TGroupBox (a captioned frame), TPanel (a bevelled area with an optional centred
// caption) and TScrollBox (a scrolled area whose contents grow to hold every child).
#pragma once

#include "platform/ui/Control.h"

class QScrollArea;

class TGroupBox : public TControl {
public:
    explicit TGroupBox(TComponent* owner);
    void SetCaption(const std::string& text) override;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TControl {
public:
    explicit TPanel(TComponent* owner);
    void SetCaption(const std::string& text) override;
    void SetBevelOuter(TBevelCut b);
    void SetBevelInner(TBevelCut b);
    TBevelCut BevelOuter() const { return outer_; }

private:
    void UpdateFrame();
    TBevelCut outer_ = TBevelCut::bvRaised, inner_ = TBevelCut::bvNone;
};

class TScrollBox : public TControl {
public:
    explicit TScrollBox(TComponent* owner);
    QWidget* ClientWidget() const override { return contents_; }
    void Loaded() override { UpdateRange(); }
    void Realign() override;
    // Grows the scrolled contents to the children's extent (at least the visible area).
    void UpdateRange();

private:
    QScrollArea* area() const;
    QWidget* contents_;
};
