// TF_change_c: the column dialog. It renames a result-grid column (EditColumn) and sets its width in characters
// of the grid font (GridCharWidth); the title and width are what a later save or print takes as the field's
// name and size.
#pragma once

#include "app/Forms.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"

class TDBGrid;

// The column dialog on the grid's selected column (EditColumn), created on first use and shown modally; nothing
// when no column is selected.
void EditSelectedColumn(TDBGrid* grid);

class TF_change_c : public TForm {
public:
    explicit TF_change_c(TComponent* owner);

    TEdit* Edit1;  // column title
    TEdit* Edit2;  // width in characters
    TButton* Button1;
    TButton* Button2;

    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void EditKeyPress(TObject* Sender, char& Key);

private:
    double CharWidth() const;  // pixels per character of the column's grid
};
