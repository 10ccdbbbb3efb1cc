// Registration of the report classes with the class registry, so that report forms declare their report,
// bands and printables in window descriptions. Bands sit only in a report, printables only in a band.
#include "platform/report/QuickRep.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Registry.h"

TDataSet* DataSetOfComponent(TComponent* c) { return DataSetOf(c); }

namespace {

TDataSet* requireDataSet(TComponent* c)
{
    TDataSet* ds = DataSetOfComponent(c);
    if (!ds) {
        throw Exception("'" + (c ? c->Name() : std::string()) + "' is not a table or query");
    }
    return ds;
}

// Size values are in the report's units.
double unitsToMm(const TQuickRep* rep, double v)
{
    switch (rep ? rep->Units : TQRUnit::MM) {
    case TQRUnit::MM:
        return v;
    case TQRUnit::Inches:
        return v * report::kMmPerInch;
    case TQRUnit::Pixels:
        return DesignPxToMm(v);
    }
    return v;
}

const ClassBuilder<TQuickRep> kQuickRep("TQuickRep", "TControl", [](ClassBuilder<TQuickRep>& c) {
    c.AcceptsControls();
    c.Reference("DataSet", "TComponent", [](TQuickRep& r, TComponent* ds) { r.DataSet = requireDataSet(ds); });
    c.Enum("Page.Orientation", ClassBuilder<TQuickRep>::Ordinals({"poPortrait", "poLandscape"}),
           [](TQuickRep& r, long long v) { r.Page.Orientation = static_cast<TPrinterOrientation>(v); });
    c.Enum("Page.PaperSize", ClassBuilder<TQuickRep>::Ordinals({"A4"}), [](TQuickRep& r, long long) {
        r.Page.PaperWidthMm = 210;
        r.Page.PaperHeightMm = 297;
    });
    c.Float("Page.LeftMargin", [](TQuickRep& r, double v) { r.Page.LeftMargin = v; });
    c.Float("Page.RightMargin", [](TQuickRep& r, double v) { r.Page.RightMargin = v; });
    c.Float("Page.TopMargin", [](TQuickRep& r, double v) { r.Page.TopMargin = v; });
    c.Float("Page.BottomMargin", [](TQuickRep& r, double v) { r.Page.BottomMargin = v; });
    c.Int("Page.Columns", [](TQuickRep& r, int v) {
        if (v != 1) {
            throw Exception("Only one column is supported");
        }
        r.Page.Columns = v;
    });
    c.Set("Options", {{"FirstPageHeader", FirstPageHeader}, {"LastPageFooter", LastPageFooter}},
          [](TQuickRep& r, long long v) { r.Options = static_cast<TQuickRepOptions>(v); });
    c.Bool("PrintIfEmpty", [](TQuickRep& r, bool v) { r.PrintIfEmpty = v; });
    c.Int("Zoom", [](TQuickRep& r, int v) {
        if (v <= 0) {
            throw Exception("Zoom must be positive");
        }
        r.Zoom = v;
    });
    c.Enum("Units", ClassBuilder<TQuickRep>::Ordinals({"MM", "Inches", "Pixels"}),
           [](TQuickRep& r, long long v) { r.Units = static_cast<TQRUnit>(v); });
    c.String("ReportTitle", [](TQuickRep& r, const std::string& v) { r.ReportTitle = v; });
    c.Event("BeforePrint", &TQuickRep::BeforePrint);
    c.Event("AfterPrint", &TQuickRep::AfterPrint);
    c.Event("AfterPreview", &TQuickRep::AfterPreview);
});

const ClassBuilder<TQRBand> kBand("TQRBand", "TControl", [](ClassBuilder<TQRBand>& c) {
    c.AcceptsControls();
    c.ParentClass("TQuickRep");
    c.Enum("BandType",
           ClassBuilder<TQRBand>::Ordinals(
               {"rbTitle", "rbPageHeader", "rbColumnHeader", "rbDetail", "rbPageFooter", "rbSummary"}),
           [](TQRBand& b, long long v) { b.BandType = static_cast<TQRBandType>(v); });
    c.Float("Size.Height", [](TQRBand& b, double v) { b.HeightMm = unitsToMm(b.Report(), v); });
});

template <class T>
void printableProperties(ClassBuilder<T>& c)
{
    c.ParentClass("TQRBand");
    c.Enum("Alignment", ClassBuilder<T>::Ordinals({"taLeftJustify", "taRightJustify", "taCenter"}),
           [](T& p, long long v) { p.Alignment = static_cast<TQRAlignment>(v); });
    c.Bool("AutoSize", [](T& p, bool v) { p.AutoSize = v; });
    c.Bool("WordWrap", [](T& p, bool v) { p.WordWrap = v; });
    c.Float("Size.Left", [](T& p, double v) { p.SetBoundsMm(unitsToMm(p.Report(), v), p.TopMm, p.WidthMm, p.HeightMm); });
    c.Float("Size.Top", [](T& p, double v) { p.SetBoundsMm(p.LeftMm, unitsToMm(p.Report(), v), p.WidthMm, p.HeightMm); });
    c.Float("Size.Width", [](T& p, double v) { p.SetBoundsMm(p.LeftMm, p.TopMm, unitsToMm(p.Report(), v), p.HeightMm); });
    c.Float("Size.Height", [](T& p, double v) { p.SetBoundsMm(p.LeftMm, p.TopMm, p.WidthMm, unitsToMm(p.Report(), v)); });
}

const ClassBuilder<TQRPrintable> kPrintable("TQRPrintable", "TControl", [](ClassBuilder<TQRPrintable>& c) {
    c.NotCreatable();
    printableProperties(c);
});

// The parent class is not inherited: each printable class names it.
const ClassBuilder<TQRLabel> kLabel("TQRLabel", "TQRPrintable", [](ClassBuilder<TQRLabel>& c) {
    c.ParentClass("TQRBand");
});

const ClassBuilder<TQRMemo> kMemo("TQRMemo", "TQRPrintable", [](ClassBuilder<TQRMemo>& c) {
    c.ParentClass("TQRBand");
    c.Strings("Lines.Strings", [](TQRMemo& m, const std::vector<std::string>& v) { m.Lines = v; });
});

const ClassBuilder<TQRDBText> kDBText("TQRDBText", "TQRPrintable", [](ClassBuilder<TQRDBText>& c) {
    c.ParentClass("TQRBand");
    c.Reference("DataSet", "TComponent", [](TQRDBText& t, TComponent* ds) { t.DataSet = requireDataSet(ds); });
    c.String("DataField", [](TQRDBText& t, const std::string& v) { t.DataField = v; });
    c.String("Mask", [](TQRDBText& t, const std::string& v) { t.Mask = v; });
});

const ClassBuilder<TQRExpr> kExpr("TQRExpr", "TQRPrintable", [](ClassBuilder<TQRExpr>& c) {
    c.ParentClass("TQRBand");
    c.String("Expression", [](TQRExpr& e, const std::string& v) { e.SetExpression(v); });
    c.String("Mask", [](TQRExpr& e, const std::string& v) { e.Mask = v; });
});

const ClassBuilder<TQRSysData> kSysData("TQRSysData", "TQRPrintable", [](ClassBuilder<TQRSysData>& c) {
    c.ParentClass("TQRBand");
    c.Enum("Data", ClassBuilder<TQRSysData>::Ordinals({"qrsPageNumber"}),
           [](TQRSysData& s, long long v) { s.Data = static_cast<TQRSysDataType>(v); });
    c.String("Text", [](TQRSysData& s, const std::string& v) { s.Text = v; });
});

const ClassBuilder<TQRShape> kShape("TQRShape", "TQRPrintable", [](ClassBuilder<TQRShape>& c) {
    c.ParentClass("TQRBand");
    c.Enum("Shape", ClassBuilder<TQRShape>::Ordinals({"qrsRectangle", "qrsHorLine", "qrsVertLine"}),
           [](TQRShape& s, long long v) { s.Shape = static_cast<TQRShapeType>(v); });
    c.Int("Pen.Width", [](TQRShape& s, int v) { s.PenWidth = v; });
});

}  // namespace
