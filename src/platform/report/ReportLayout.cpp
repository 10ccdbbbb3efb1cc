// Band layout. Every band is first measured (its texts, wrapped where asked, and its height), then placed.
#include "platform/report/ReportLayout.h"

#include <algorithm>
#include <map>

#include "platform/db/DataSet.h"
#include "platform/report/Canvas.h"
#include "platform/report/Fonts.h"
#include "platform/report/QuickRep.h"

namespace report {

namespace {

constexpr double kThinLineMm = 0.2;

// Lines of a text without wrapping: only its line feeds break.
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        if (text[i] == '\n') {
            out.emplace_back();
        } else {
            out.back() += text[i];
        }
    }
    return out;
}

// A band ready to be placed: its items relative to the band's top-left corner and its height.
struct MeasuredBand {
    double height = 0;
    std::vector<PageItem> items;
};

class Layout {
public:
    explicit Layout(TQuickRep& rep) : rep_(rep) {}

    Document run();

private:
    const TextMeasure& measure(const FontSpec& f)
    {
        auto key = f.name + '\x1f' + std::to_string(f.sizePt) + '\x1f' + std::to_string(f.style);
        auto it = measures_.find(key);
        if (it == measures_.end()) {
            it = measures_.emplace(key, std::make_unique<TextMeasure>(f)).first;
        }
        return *it->second;
    }

    FontSpec reportFont() const { return ResolveFont(FontSpec{}, rep_.Font()); }
    MeasuredBand measureBand(const TQRBand& band);
    void place(const MeasuredBand& b, double top);
    void startPage();
    void endPage(bool last);
    void printFlowing(const TQRBand* band);

    TQuickRep& rep_;
    std::map<std::string, std::unique_ptr<TextMeasure>> measures_;
    Document doc_;
    double left_ = 0, top_ = 0, bottom_ = 0;
    double y_ = 0;
    double footerHeight_ = 0;
    bool pageHasBody_ = false;
    TQRBand *pageHeader_ = nullptr, *title_ = nullptr, *columnHeader_ = nullptr, *detail_ = nullptr,
            *footer_ = nullptr, *summary_ = nullptr;
};

MeasuredBand Layout::measureBand(const TQRBand& band)
{
    MeasuredBand out;
    out.height = band.HeightMm;
    TQRPrintContext ctx;
    ctx.PageNumber = static_cast<int>(doc_.pages.size());
    const FontSpec base = ResolveFont(reportFont(), band.Font());
    std::vector<const TQRPrintable*> shapes;
    for (const TQRPrintable* p : band.Printables()) {
        if (!p->Enabled() || !p->Visible()) {
            continue;
        }
        if (p->IsShape()) {
            shapes.push_back(p);
            continue;
        }
        const FontSpec font = ResolveFont(base, p->Font());
        const TextMeasure& m = measure(font);
        const std::string text = p->PrintText(ctx);
        const HAlign align = p->Alignment == TQRAlignment::taRightJustify ? HAlign::Right
                             : p->Alignment == TQRAlignment::taCenter     ? HAlign::Center
                                                                          : HAlign::Left;
        const double lineH = m.height();
        const std::vector<std::string> lines = p->WordWrap ? m.wrap(text, p->WidthMm) : splitLines(text);
        double y = p->TopMm;
        for (const std::string& line : lines) {
            if (p->WordWrap) {
                out.items.push_back(TextItem{RectMm{p->LeftMm, y, p->WidthMm, lineH}, line, font, align, false});
            } else if (p->AutoSize) {
                const double w = m.width(line);
                double x = p->LeftMm;
                if (align == HAlign::Right) {
                    x = p->LeftMm + p->WidthMm - w;
                } else if (align == HAlign::Center) {
                    x = p->LeftMm + (p->WidthMm - w) / 2;
                }
                out.items.push_back(TextItem{RectMm{x, y, w, lineH}, line, font, align, false});
            } else if (y == p->TopMm || y + lineH <= p->TopMm + p->HeightMm + 1e-6) {
                // Cut at the component's box; lines below it are not printed.
                out.items.push_back(TextItem{RectMm{p->LeftMm, y, p->WidthMm, std::max(p->HeightMm, lineH)}, line,
                                             font, align, true});
            }
            y += lineH;
        }
        if (p->WordWrap) {
            // The band keeps the gap below the component that the design has.
            const double gap = std::max(0.0, band.HeightMm - (p->TopMm + p->HeightMm));
            const double needed = p->TopMm + std::max(p->HeightMm, lineH * static_cast<double>(lines.size())) + gap;
            out.height = std::max(out.height, needed);
        }
    }
    // Shapes last in measuring, first on paper would hide nothing: they are outlines. Those spanning the
    // band's design height follow its grown height.
    for (const TQRPrintable* s : shapes) {
        const auto* shape = static_cast<const TQRShape*>(s);
        double h = shape->HeightMm;
        if (shape->TopMm <= 0.3 && shape->TopMm + shape->HeightMm >= band.HeightMm - 0.3) {
            h = out.height - shape->TopMm;
        }
        const double pen = std::max(kThinLineMm, DesignPxToMm(shape->PenWidth) * 0.75);
        const RectMm box{shape->LeftMm, shape->TopMm, shape->WidthMm, h};
        switch (shape->Shape) {
        case TQRShapeType::qrsRectangle:
            out.items.insert(out.items.begin(), FrameItem{box, pen, 0});
            break;
        case TQRShapeType::qrsVertLine: {
            const double x = box.x + box.w / 2;
            out.items.insert(out.items.begin(), LineItem{x, box.y, x, box.bottom(), pen, 0});
            break;
        }
        case TQRShapeType::qrsHorLine: {
            const double y = box.y + box.h / 2;
            out.items.insert(out.items.begin(), LineItem{box.x, y, box.right(), y, pen, 0});
            break;
        }
        }
    }
    return out;
}

void Layout::place(const MeasuredBand& b, double top)
{
    Page& page = doc_.pages.back();
    for (PageItem item : b.items) {
        std::visit(
            [&](auto& it) {
                using T = std::decay_t<decltype(it)>;
                if constexpr (std::is_same_v<T, LineItem>) {
                    it.x1 += left_, it.x2 += left_, it.y1 += top, it.y2 += top;
                } else {
                    it.box.x += left_, it.box.y += top;
                }
            },
            item);
        page.items.push_back(std::move(item));
    }
}

void Layout::startPage()
{
    Page page;
    page.widthMm = rep_.Page.SheetWidthMm();
    page.heightMm = rep_.Page.SheetHeightMm();
    doc_.pages.push_back(std::move(page));
    y_ = top_;
    pageHasBody_ = false;
    const bool first = doc_.pages.size() == 1;
    if (pageHeader_ && (!first || (rep_.Options & FirstPageHeader))) {
        const MeasuredBand b = measureBand(*pageHeader_);
        place(b, y_);
        y_ += b.height;
    }
    if (first && title_) {
        const MeasuredBand b = measureBand(*title_);
        place(b, y_);
        y_ += b.height;
    }
    if (columnHeader_) {
        const MeasuredBand b = measureBand(*columnHeader_);
        place(b, y_);
        y_ += b.height;
    }
}

void Layout::endPage(bool last)
{
    if (footer_ && (!last || (rep_.Options & LastPageFooter))) {
        const MeasuredBand b = measureBand(*footer_);
        place(b, bottom_ - b.height);
    }
}

// A band that goes where the flow is, on a new page when it does not fit on this one. A band taller than a
// whole page is placed anyway on a page of its own, so that the flow always moves on.
void Layout::printFlowing(const TQRBand* band)
{
    const MeasuredBand b = measureBand(*band);
    if (y_ + b.height > bottom_ - footerHeight_ + 1e-6 && pageHasBody_) {
        endPage(false);
        startPage();
    }
    place(b, y_);
    y_ += b.height;
    pageHasBody_ = true;
}

Document Layout::run()
{
    doc_ = Document{};
    doc_.title = rep_.ReportTitle;
    pageHeader_ = rep_.BandOf(TQRBandType::rbPageHeader);
    title_ = rep_.BandOf(TQRBandType::rbTitle);
    columnHeader_ = rep_.BandOf(TQRBandType::rbColumnHeader);
    detail_ = rep_.BandOf(TQRBandType::rbDetail);
    footer_ = rep_.BandOf(TQRBandType::rbPageFooter);
    summary_ = rep_.BandOf(TQRBandType::rbSummary);
    left_ = rep_.Page.LeftMargin;
    top_ = rep_.Page.TopMargin;
    bottom_ = rep_.Page.SheetHeightMm() - rep_.Page.BottomMargin;
    footerHeight_ = footer_ ? footer_->HeightMm : 0;

    TDataSet* ds = rep_.DataSet;
    // Controls showing the data set do not follow the report through its rows.
    struct ControlsOff {
        TDataSet* ds;
        ~ControlsOff()
        {
            if (ds) {
                ds->EnableControls();
            }
        }
    } controlsOff{ds};
    if (ds) {
        ds->DisableControls();
        if (!ds->Active()) {
            ds->Open();
        }
        ds->First();
        if (ds->Eof() && !rep_.PrintIfEmpty) {
            return doc_;
        }
    }
    startPage();
    if (detail_) {
        if (ds) {
            for (; !ds->Eof(); ds->Next()) {
                printFlowing(detail_);
            }
        } else {
            printFlowing(detail_);
        }
    }
    if (summary_) {
        printFlowing(summary_);
    }
    endPage(true);
    return doc_;
}

}  // namespace

Document layoutReport(TQuickRep& rep) { return Layout(rep).run(); }

}  // namespace report
