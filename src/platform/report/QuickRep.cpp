// The report component: Print and Preview around the layout.
#include "platform/report/QuickRep.h"

#include "platform/db/DataSet.h"
#include "platform/report/PrintOutput.h"
#include "platform/report/ReportLayout.h"

double TQRPage::SheetWidthMm() const
{
    return Orientation == TPrinterOrientation::poPortrait ? PaperWidthMm : PaperHeightMm;
}

double TQRPage::SheetHeightMm() const
{
    return Orientation == TPrinterOrientation::poPortrait ? PaperHeightMm : PaperWidthMm;
}

TQuickRep::TQuickRep(TComponent* owner) : TControl(owner, new QWidget) {}

TQuickRep::~TQuickRep()
{
    for (TQRBand* b : bands_) {
        b->report_ = nullptr;
    }
}

TDataSet* TQuickRep::FindDataSet(const std::string& name) const
{
    if (DataSetByName) {
        return DataSetByName(name);
    }
    if (Owner()) {
        if (TDataSet* ds = DataSetOfComponent(Owner()->FindComponent(name))) {
            return ds;
        }
    }
    if (DataSet && SameName(DataSet->Name, name)) {
        return DataSet;
    }
    return nullptr;
}

TQRBand* TQuickRep::BandOf(TQRBandType type) const
{
    for (TQRBand* b : bands_) {
        if (b->BandType == type && b->Enabled()) {
            return b;
        }
    }
    return nullptr;
}

report::Document TQuickRep::Prepare()
{
    bool printReport = true;
    if (BeforePrint) {
        BeforePrint(this, printReport);
    }
    if (!printReport) {
        return {};
    }
    return report::layoutReport(*this);
}

namespace {

// Runs the output, then the closing event; the event runs on failure too (before the error goes on), so
// that the form's tables are closed and the next builder can replace their files.
void withClosingEvent(TQuickRep* rep, const TNotifyEvent& closing, const std::function<void()>& body)
{
    try {
        body();
    } catch (...) {
        if (closing) {
            try {
                closing(rep);
            } catch (...) {
            }
        }
        throw;
    }
    if (closing) {
        closing(rep);
    }
}

}  // namespace

void TQuickRep::Print()
{
    withClosingEvent(this, AfterPrint, [this] {
        last_ = report::Document{};
        last_ = Prepare();
        if (!last_.empty()) {
            report::printDocument(last_);
        }
    });
}

void TQuickRep::Preview()
{
    withClosingEvent(this, AfterPreview, [this] {
        last_ = report::Document{};
        last_ = Prepare();
        if (!last_.empty()) {
            report::previewDocument(last_);
        }
    });
}

report::ExprValue FieldValueOf(TDataSet* ds, const std::string& field)
{
    TField* f = ds->FieldByName(field);
    if (f->IsNull()) {
        return {};
    }
    const db::Variant v = f->Value();
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
        return static_cast<double>(*i);
    }
    if (const auto* d = std::get_if<double>(&v)) {
        return *d;
    }
    return f->AsString();
}
