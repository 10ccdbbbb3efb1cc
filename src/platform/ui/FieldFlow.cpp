#include "platform/ui/FieldFlow.h"

#include <algorithm>
#include <utility>

#include "platform/ui/Label.h"
#include "platform/ui/Registry.h"

TFieldFlow::TFieldFlow(TComponent* owner) : TControl(owner, new QWidget)
{
    SetBounds(0, 0, 400, 300);
}

void TFieldFlow::Realign()
{
    TControl::Realign();
    // Declaration order is creation order; the tab order may have been changed since.
    std::vector<TControl*> children;
    if (Owner()) {
        for (int i = 0; i < Owner()->ComponentCount(); ++i) {
            if (auto* c = dynamic_cast<TControl*>(Owner()->Components(i)); c && c->Parent() == this && c->Visible()) {
                children.push_back(c);
            }
        }
    }
    std::vector<std::pair<TLabel*, TControl*>> rows;
    for (std::size_t i = 0; i < children.size(); ++i) {
        auto* label = dynamic_cast<TLabel*>(children[i]);
        if (label && i + 1 < children.size() && !dynamic_cast<TLabel*>(children[i + 1])) {
            rows.emplace_back(label, children[i + 1]);
            ++i;
        } else if (label) {
            rows.emplace_back(label, nullptr);
        } else {
            rows.emplace_back(nullptr, children[i]);
        }
    }
    if (rows.empty()) {
        return;
    }
    const int columns = std::max(1, Columns);
    const int perColumn = static_cast<int>((rows.size() + static_cast<std::size_t>(columns) - 1) / static_cast<std::size_t>(columns));
    const int columnWidth = std::max(1, (ClientWidget()->width() - Margin) / columns);
    // A column's labels take the width of its widest one (at least LabelWidth), so that none runs under its
    // field.
    std::vector<int> labelWidth(static_cast<std::size_t>(columns), LabelWidth);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (TLabel* label = rows[r].first) {
            int& w = labelWidth[r / static_cast<std::size_t>(perColumn)];
            w = std::max(w, label->Width());
        }
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int col = static_cast<int>(r) / perColumn, row = static_cast<int>(r) % perColumn;
        const int x = Margin + col * columnWidth;
        const int y = Margin + row * RowHeight;
        auto [label, field] = rows[r];
        // a field without a label lines up with the fields above it, as part of the row before
        const int fieldX = x + labelWidth[static_cast<std::size_t>(col)] + Spacing;
        if (label) {
            label->SetBounds(x, y + 3, label->Width(), label->Height());
        }
        if (field) {
            const int w = FieldWidth > 0 ? FieldWidth : std::max(20, x + columnWidth - Margin - fieldX);
            field->SetBounds(fieldX, y, w, std::min(field->Height() > 0 ? field->Height() : RowHeight, RowHeight - 2));
        }
    }
}

namespace {
const ClassBuilder<TFieldFlow> kFieldFlowClass("TFieldFlow", "TControl", [](ClassBuilder<TFieldFlow>& c) {
    c.AcceptsControls();
    c.Int("Columns", [](TFieldFlow& f, int v) { f.Columns = v; });
    c.Int("RowHeight", [](TFieldFlow& f, int v) { f.RowHeight = v; });
    c.Int("LabelWidth", [](TFieldFlow& f, int v) { f.LabelWidth = v; });
    c.Int("FieldWidth", [](TFieldFlow& f, int v) { f.FieldWidth = v; });
    c.Int("Spacing", [](TFieldFlow& f, int v) { f.Spacing = v; });
    c.Int("Margin", [](TFieldFlow& f, int v) { f.Margin = v; });
});
}  // namespace
