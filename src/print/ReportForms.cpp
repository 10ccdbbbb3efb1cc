// The report forms' shared behaviour and the registration of each class with its handlers and variable.
#include "print/ReportForms.h"

#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

TReportForm::TReportForm(TComponent* owner, const std::string& className) : TForm(owner)
{
    LoadDescription(className);
    Table1 = Get<TTable>("Table1");
    QuickRep1 = Get<TQuickRep>("QuickRep1");
    QRLabel1 = Get<TQRLabel>("QRLabel1");
}

void TReportForm::QuickRep1BeforePrint(TQuickRep*, bool&)
{
    if (!Table1->Active()) {
        Table1->Open();
    }
}

void TReportForm::QuickRep1AfterPrint(TObject*) { Table1->Close(); }

void TReportForm::QuickRep1AfterPreview(TObject*) { Table1->Close(); }

namespace {

template <class F>
struct ReportFormClass {
    ReportFormClass(const char* className, F** variable)
        : cls(className, "TForm",
              [](ClassBuilder<F>& c) {
                  c.NotCreatable();
                  c.Handler("QuickRep1BeforePrint",
                            static_cast<void (F::*)(TQuickRep*, bool&)>(&TReportForm::QuickRep1BeforePrint));
                  c.Handler("QuickRep1AfterPrint", static_cast<void (F::*)(TObject*)>(&TReportForm::QuickRep1AfterPrint));
                  c.Handler("QuickRep1AfterPreview",
                            static_cast<void (F::*)(TObject*)>(&TReportForm::QuickRep1AfterPreview));
              }),
          slot(className, variable)
    {
    }
    ClassBuilder<F> cls;
    FormSlot<F> slot;
};

const ReportFormClass<TF_dqy_p> kDqy("TF_dqy_p", &F_dqy_p);
const ReportFormClass<TF_gyqy_p> kGyqy("TF_gyqy_p", &F_gyqy_p);
const ReportFormClass<TF_fwqy_p> kFwqy("TF_fwqy_p", &F_fwqy_p);
const ReportFormClass<TF_gjwsb_p> kGjwsb("TF_gjwsb_p", &F_gjwsb_p);
const ReportFormClass<TF_gjhz_p> kGjhz("TF_gjhz_p", &F_gjhz_p);
const ReportFormClass<TF_dfhz_p> kDfhz("TF_dfhz_p", &F_dfhz_p);
const ReportFormClass<TF_qyhz_p> kQyhz("TF_qyhz_p", &F_qyhz_p);
const ReportFormClass<TF_rjqyhz_p> kRjqyhz("TF_rjqyhz_p", &F_rjqyhz_p);
const ReportFormClass<TF_dfwsb_p> kDfwsb("TF_dfwsb_p", &F_dfwsb_p);
const ReportFormClass<TF_xmdcb_p> kXmdcb("TF_xmdcb_p", &F_xmdcb_p);

}  // namespace
