// Bands and printables: ownership links and the text each prints.
#include "platform/report/QRComponents.h"

#include <algorithm>

#include "platform/db/DataSet.h"
#include "platform/report/Canvas.h"
#include "platform/report/QuickRep.h"
#include "platform/report/ValueFormat.h"

TQRPrintable::TQRPrintable(TComponent* owner) : TControl(owner, new QWidget) {}

// Only the band's list is left here: the control's own teardown detaches it from its parent (whose widget
// may already be gone with the form's).
TQRPrintable::~TQRPrintable()
{
    if (band_) {
        auto& list = band_->printables_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TQRPrintable::SetParent(TControl* parent)
{
    TControl::SetParent(parent);
    auto* band = dynamic_cast<TQRBand*>(parent);
    if (band_ == band) {
        return;
    }
    if (band_) {
        auto& list = band_->printables_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    band_ = band;
    if (band_) {
        band_->printables_.push_back(this);
    }
}

TQuickRep* TQRPrintable::Report() const { return band_ ? band_->Report() : nullptr; }

namespace {

// Design pixels were placed at the report's zoom.
double zoomed(const TQuickRep* rep, int px) { return DesignPxToMm(px) * 100.0 / (rep ? rep->Zoom : 100); }

}  // namespace

// Only the pixel values that change replace their millimetres, so that exact millimetres set through
// SetBoundsMm survive a later pixel setter of another side.
void TQRPrintable::SetBounds(int left, int top, int width, int height)
{
    const TQuickRep* rep = Report();
    const int oldLeft = Left(), oldTop = Top(), oldWidth = Width(), oldHeight = Height();
    TControl::SetBounds(left, top, width, height);
    if (left != oldLeft || !boundsSet_) {
        LeftMm = zoomed(rep, left);
    }
    if (top != oldTop || !boundsSet_) {
        TopMm = zoomed(rep, top);
    }
    if (width != oldWidth || !boundsSet_) {
        WidthMm = zoomed(rep, width);
    }
    if (height != oldHeight || !boundsSet_) {
        HeightMm = zoomed(rep, height);
    }
    boundsSet_ = true;
}

void TQRPrintable::SetBoundsMm(double left, double top, double width, double height)
{
    const auto px = [](double mm) { return static_cast<int>(report::mmToPx(mm, kDesignDpi) + 0.5); };
    TControl::SetBounds(px(left), px(top), px(width), px(height));
    boundsSet_ = true;
    LeftMm = left;
    TopMm = top;
    WidthMm = width;
    HeightMm = height;
}

std::string TQRMemo::PrintText(const TQRPrintContext&) const
{
    std::string out;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (i) {
            out += '\n';
        }
        out += Lines[i];
    }
    return out;
}

namespace {

std::string masked(const report::ExprValue& v, const std::string& mask)
{
    if (!mask.empty()) {
        if (const auto* d = std::get_if<double>(&v)) {
            return report::formatNumberMask(*d, mask);
        }
    }
    return report::exprValueText(v);
}

}  // namespace

std::string TQRDBText::PrintText(const TQRPrintContext&) const
{
    if (!DataSet) {
        return {};
    }
    return masked(FieldValueOf(DataSet, DataField), Mask);
}

void TQRExpr::SetExpression(const std::string& text)
{
    parsed_.emplace(text);
    text_ = text;
}

std::string TQRExpr::PrintText(const TQRPrintContext&) const
{
    if (!parsed_) {
        return {};
    }
    TQuickRep* rep = Report();
    const report::ExprValue v = parsed_->evaluate([&](const std::string& table, const std::string& field) {
        TDataSet* ds = nullptr;
        if (table.empty()) {
            ds = rep ? rep->DataSet : nullptr;
        } else if (rep) {
            ds = rep->FindDataSet(table);
        }
        if (!ds) {
            throw EDatabaseError(Name() + ": no table '" + table + "' for expression '" + text_ + "'");
        }
        return FieldValueOf(ds, field);
    });
    return masked(v, Mask);
}

std::string TQRSysData::PrintText(const TQRPrintContext& ctx) const
{
    switch (Data) {
    case TQRSysDataType::qrsPageNumber:
        return Text + std::to_string(ctx.PageNumber);
    }
    return Text;
}

TQRBand::TQRBand(TComponent* owner) : TControl(owner, new QWidget) {}

TQRBand::~TQRBand()
{
    for (TQRPrintable* p : printables_) {
        p->band_ = nullptr;
    }
    if (report_) {
        auto& list = report_->bands_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TQRBand::SetParent(TControl* parent)
{
    TControl::SetParent(parent);
    auto* report = dynamic_cast<TQuickRep*>(parent);
    if (report_ == report) {
        return;
    }
    if (report_) {
        auto& list = report_->bands_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    report_ = report;
    if (report_) {
        report_->bands_.push_back(this);
    }
}

void TQRBand::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, width, height);
    HeightMm = zoomed(report_, height);
}

report::FontSpec ResolveFont(const report::FontSpec& base, const TFont& own)
{
    report::FontSpec f = base;
    if (own.Name) {
        f.name = *own.Name;
    }
    if (own.Height && *own.Height != 0) {
        // Negative: character height in design pixels; positive: cell height (7/8 of it is the character).
        const double px = *own.Height < 0 ? -*own.Height : *own.Height * 7.0 / 8.0;
        f.sizePt = px * 72.0 / kDesignDpi;
    } else if (own.Size && *own.Size > 0) {
        f.sizePt = *own.Size;
    }
    if (own.Style) {
        f.style = *own.Style;
    }
    if (own.Color) {
        f.color = RgbOf(*own.Color);
    }
    return f;
}
