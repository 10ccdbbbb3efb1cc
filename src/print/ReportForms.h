// The banded report forms of report printing, one class per printed table, never shown as windows. Each holds
// Table1 (the table its description names) and QuickRep1 with the title QRLabel1; the table is open only while
// a print or preview runs, so that a builder can replace the file between prints.
#pragma once

#include <string>

#include "app/Forms.h"
#include "platform/report/QuickRep.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Form.h"

class TReportForm : public TForm {
public:
    TReportForm(TComponent* owner, const std::string& className);

    TTable* Table1;
    TQuickRep* QuickRep1;
    TQRLabel* QRLabel1;  // the title

    void QuickRep1BeforePrint(TQuickRep* Sender, bool& PrintReport);
    void QuickRep1AfterPrint(TObject* Sender);
    void QuickRep1AfterPreview(TObject* Sender);
};

// List forms: one row per record under column headings.
class TF_dqy_p : public TReportForm {
public:
    explicit TF_dqy_p(TComponent* owner) : TReportForm(owner, "TF_dqy_p") {}
};
class TF_gyqy_p : public TReportForm {
public:
    explicit TF_gyqy_p(TComponent* owner) : TReportForm(owner, "TF_gyqy_p") {}
};
class TF_fwqy_p : public TReportForm {
public:
    explicit TF_fwqy_p(TComponent* owner) : TReportForm(owner, "TF_fwqy_p") {}
};
class TF_gjwsb_p : public TReportForm {
public:
    explicit TF_gjwsb_p(TComponent* owner) : TReportForm(owner, "TF_gjwsb_p") {}
};

// Sheet forms: the first record as a grid of labelled values.
class TF_gjhz_p : public TReportForm {
public:
    explicit TF_gjhz_p(TComponent* owner) : TReportForm(owner, "TF_gjhz_p") {}
};
class TF_dfhz_p : public TReportForm {
public:
    explicit TF_dfhz_p(TComponent* owner) : TReportForm(owner, "TF_dfhz_p") {}
};
class TF_qyhz_p : public TReportForm {
public:
    explicit TF_qyhz_p(TComponent* owner) : TReportForm(owner, "TF_qyhz_p") {}
};
class TF_rjqyhz_p : public TReportForm {
public:
    explicit TF_rjqyhz_p(TComponent* owner) : TReportForm(owner, "TF_rjqyhz_p") {}
};
class TF_dfwsb_p : public TReportForm {
public:
    explicit TF_dfwsb_p(TComponent* owner) : TReportForm(owner, "TF_dfwsb_p") {}
};
class TF_xmdcb_p : public TReportForm {
public:
    explicit TF_xmdcb_p(TComponent* owner) : TReportForm(owner, "TF_xmdcb_p") {}
};
