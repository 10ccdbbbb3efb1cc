// TF_check_p: the report form of a check result table, never shown as a window. Table1 is the result table to
// print, Table2 the heading table "check_pt.db"; both are open only while QuickRep1 prints or previews. The
// check window and the print list both print through it.
#pragma once

#include <string>

#include "app/Forms.h"
#include "platform/report/QuickRep.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Form.h"

class TF_check_p : public TForm {
public:
    explicit TF_check_p(TComponent* owner);

    TTable* Table1;
    TTable* Table2;
    TQuickRep* QuickRep1;

    // Points Table1 at a result table and stores the heading to print over it in Table2. A failed store leaves
    // no record pending in the heading table.
    void SetResult(const std::string& table, const std::string& heading);

    void QuickRep1BeforePrint(TQuickRep* Sender, bool& PrintReport);
    void QuickRep1AfterPrint(TObject* Sender);
    void QuickRep1AfterPreview(TObject* Sender);
};
