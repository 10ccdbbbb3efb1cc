// The banded report: page settings, the report's data set, its bands and the calls the system makes
// (Print, Preview). Print and Preview first lay the report out into the page model (ReportLayout.h); the
// pages then go to the printer or the preview window, and stay readable through LastDocument().
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/report/PageModel.h"
#include "platform/report/Printer.h"
#include "platform/report/QRComponents.h"
#include "platform/ui/Control.h"

enum TQuickRepOption : unsigned { FirstPageHeader = 1, LastPageFooter = 2 };
using TQuickRepOptions = unsigned;

enum class TQRUnit { MM, Inches, Pixels };

// Paper and margins in millimetres.
struct TQRPage {
    TPrinterOrientation Orientation = TPrinterOrientation::poPortrait;
    double PaperWidthMm = 210, PaperHeightMm = 297;  // as for portrait
    double LeftMargin = 10, RightMargin = 10, TopMargin = 10, BottomMargin = 10;
    int Columns = 1;

    double SheetWidthMm() const;   // in the page's orientation
    double SheetHeightMm() const;
};

using TQRBeforePrintEvent = std::function<void(TQuickRep* Sender, bool& PrintReport)>;

// Font() is the report font: every text takes from it what it does not set itself.
class TQuickRep : public TControl {
public:
    explicit TQuickRep(TComponent* owner);
    ~TQuickRep() override;

    TDataSet* DataSet = nullptr;
    TQRPage Page;
    TQuickRepOptions Options = 0;
    bool PrintIfEmpty = true;
    int Zoom = 100;
    TQRUnit Units = TQRUnit::MM;
    std::string ReportTitle;

    TQRBeforePrintEvent BeforePrint;
    TNotifyEvent AfterPrint, AfterPreview;

    // Tables of the form by name, for expressions such as "Table2.Text". Unset: the owner's components
    // that are data sets.
    std::function<TDataSet*(const std::string& name)> DataSetByName;
    TDataSet* FindDataSet(const std::string& name) const;

    const std::vector<TQRBand*>& Bands() const { return bands_; }
    // The first enabled band of a type, or nullptr.
    TQRBand* BandOf(TQRBandType type) const;

    // Runs BeforePrint and lays the report out. An empty document when BeforePrint declines or when the
    // data set is empty and PrintIfEmpty is off.
    report::Document Prepare();
    // Prepares and sends the pages to the printer (no dialog), then AfterPrint.
    void Print();
    // Prepares and shows the pages in the modal preview window; returns when it closes, then AfterPreview.
    void Preview();
    // A failure in either still runs AfterPrint / AfterPreview before it goes on to the caller.

    const report::Document& LastDocument() const { return last_; }

private:
    friend class TQRBand;
    std::vector<TQRBand*> bands_;
    report::Document last_;
};

// The data set that a component of a form holds (a declared table or query), or nullptr.
TDataSet* DataSetOfComponent(TComponent* c);

// The report's printables read a data set's field this way.
report::ExprValue FieldValueOf(TDataSet* ds, const std::string& field);
