// TSplitter: a thin bar between aligned controls. Dragging it resizes the control it is aligned against (for a
// bar aligned to the bottom, the bottom-aligned control just below it; likewise for top, left and right) and
// the client-aligned control takes the rest. Neither side becomes smaller than MinSize.
#pragma once

#include "platform/ui/Control.h"

class TSplitter : public TControl {
public:
    explicit TSplitter(TComponent* owner);
    void Loaded() override;  // aligned to the left unless the description aligns it
    int MinSize = 30;
    // Moves the bar by pixels (down or right when positive) as the user's drag does; returns the distance
    // actually moved.
    int DragBy(int pixels);
    TNotifyEvent OnMoved;

private:
    TControl* Controlled() const;  // the control that the bar resizes; nullptr when none is adjacent
    TControl* ClientSibling() const;
};
