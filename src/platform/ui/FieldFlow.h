// TFieldFlow: a container that flows label/field pairs into columns, so that long field pages need no
// hand-written coordinates. Children are taken in declaration order: a TLabel followed by another control makes
// one row (label left, control right); any other control makes a row of its own, a control under the fields
// and a label at the left. Rows fill the first column top to bottom, then the next; a column's labels are as
// wide as its widest one. The children keep their names, so the logic finds them as declared.
#pragma once

#include "platform/ui/Control.h"

class TFieldFlow : public TControl {
public:
    explicit TFieldFlow(TComponent* owner);
    void Loaded() override { Realign(); }
    void Realign() override;

    int Columns = 2;
    int RowHeight = 24;
    int LabelWidth = 120;  // at least; a wider label widens its column's
    int FieldWidth = 0;  // 0: the rest of the column
    int Spacing = 4;
    int Margin = 8;
};
