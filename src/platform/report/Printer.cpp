// The printer stand-in: a job is recorded into the page model, then sent out by the print output.
#include "platform/report/Printer.h"

#include <cmath>

#include "platform/db/Exception.h"
#include "platform/report/Fonts.h"
#include "platform/report/PrintOutput.h"
#include "platform/report/PrinterSetup.h"
#include "platform/ui/Application.h"
#include "platform/ui/Registry.h"

using report::pxToMm;

class TPrinter::Target : public CanvasTarget {
public:
    explicit Target(TPrinter* printer) : printer_(printer) {}
    double Dpi() const override { return printer_->dpi_; }

    void DrawText(int x, int y, const std::string& text, const report::FontSpec& fontSpec) override
    {
        report::TextItem t;
        t.font = fontSpec;
        // The canvas measures with whole device pixels; paint at exactly that size.
        const double px = std::max(1.0, std::round(fontSpec.sizePt * Dpi() / 72.0));
        t.font.sizePt = px * 72.0 / Dpi();
        const report::TextMeasure m(t.font);
        t.text = text;
        t.box = report::RectMm{mm(x), mm(y), m.width(text), m.height()};
        page().items.push_back(std::move(t));
    }
    void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t rgb, int width) override
    {
        page().items.push_back(report::LineItem{mm(x1), mm(y1), mm(x2), mm(y2), mm(width), rgb});
    }
    void DrawFrame(const TRect& r, std::uint32_t rgb, int width) override
    {
        page().items.push_back(report::FrameItem{
            report::RectMm{mm(r.Left), mm(r.Top), mm(r.Right - r.Left), mm(r.Bottom - r.Top)}, mm(width), rgb});
    }
    void Fill(const TRect& r, std::uint32_t rgb) override
    {
        page().items.emplace_back(std::in_place_type<report::FillItem>,
            report::FillItem{report::RectMm{mm(r.Left), mm(r.Top), mm(r.Right - r.Left), mm(r.Bottom - r.Top)}, rgb});
    }

private:
    double mm(int px) const { return pxToMm(px, Dpi()); }
    report::Page& page()
    {
        if (printer_->printing_ && !printer_->job_.pages.empty()) {
            return printer_->job_.pages.back();
        }
        printer_->scratch_.items.clear();
        return printer_->scratch_;
    }
    TPrinter* printer_;
};

TPrinter::TPrinter() : target_(std::make_unique<Target>(this)), canvas_(target_.get()) {}

TPrinter::~TPrinter() = default;

int TPrinter::PageWidth() const
{
    const double mm = orientation_ == TPrinterOrientation::poPortrait ? 210 : 297;
    return static_cast<int>(report::mmToPx(mm, dpi_));
}

int TPrinter::PageHeight() const
{
    const double mm = orientation_ == TPrinterOrientation::poPortrait ? 297 : 210;
    return static_cast<int>(report::mmToPx(mm, dpi_));
}

void TPrinter::SetOrientation(TPrinterOrientation o)
{
    if (printing_) {
        throw Exception("Cannot change the orientation while printing");
    }
    orientation_ = o;
}

report::Page TPrinter::blankPage() const
{
    report::Page p;
    p.widthMm = orientation_ == TPrinterOrientation::poPortrait ? 210 : 297;
    p.heightMm = orientation_ == TPrinterOrientation::poPortrait ? 297 : 210;
    return p;
}

void TPrinter::BeginDoc()
{
    if (printing_) {
        throw Exception("Printing in progress");
    }
    job_ = report::Document{};
    job_.title = Title;
    job_.pages.push_back(blankPage());
    printing_ = true;
    aborted_ = false;
}

void TPrinter::NewPage()
{
    if (!printing_) {
        throw Exception("Printer is not currently printing");
    }
    job_.pages.push_back(blankPage());
}

void TPrinter::EndDoc()
{
    if (!printing_) {
        throw Exception("Printer is not currently printing");
    }
    printing_ = false;
    report::Document out;
    out.title = job_.title;
    const int count = static_cast<int>(job_.pages.size());
    const int first = FromPage > 0 ? FromPage : 1;
    const int last = ToPage > 0 ? std::min(ToPage, count) : count;
    for (int i = first; i <= last; ++i) {
        out.pages.push_back(std::move(job_.pages[static_cast<std::size_t>(i - 1)]));
    }
    job_ = report::Document{};
    last_ = std::move(out);
    report::printDocument(last_);
}

void TPrinter::Abort()
{
    if (!printing_) {
        return;
    }
    printing_ = false;
    aborted_ = true;
    job_ = report::Document{};
}

TPrinter* Printer()
{
    static TPrinter printer;
    return &printer;
}

bool TPrinterSetupDialog::Execute()
{
    TPrinterRequest request;
    request.title = "打印设置";
    request.printerName = Printer()->PrinterName;
    request.outputFile = Printer()->OutputFile;
    request.landscape = Printer()->Orientation() == TPrinterOrientation::poLandscape;
    if (!Application->RealPrinterDialog) {
        Application->RealPrinterDialog = report::runPrinterSetup;
    }
    if (!Application->ExecutePrinterDialog(request)) {
        return false;
    }
    Printer()->PrinterName = request.printerName;
    Printer()->OutputFile = request.outputFile;
    Printer()->SetOrientation(request.landscape ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait);
    return true;
}

namespace {

const ClassBuilder<TPrinterSetupDialog> kPrinterSetup("TPrinterSetupDialog", "TComponent");

}  // namespace
