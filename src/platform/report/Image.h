// TImage: a control that shows a bitmap (the page printer's preview image). Drawing on its canvas draws on
// the bitmap, and the control repaints after every change.
#pragma once

#include "platform/report/Canvas.h"
#include "platform/ui/Control.h"

class TImage : public TControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    TBitmap* Bitmap() { return &bitmap_; }  // the picture's bitmap
    TCanvas* Canvas() { return bitmap_.Canvas(); }
    // With AutoSize the control takes the bitmap's size whenever that changes.
    bool AutoSize = false;

private:
    TBitmap bitmap_;
};
