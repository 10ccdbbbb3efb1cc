// The bands and printable components of a banded report. They are controls of the report form (which is
// never shown), nested as the description nests them: a band's parent is its report, a printable's parent
// its band. Positions are kept in millimetres; Left/Top/Width/Height are design pixels at the report's zoom
// (96 per inch at zoom 100), and the *Mm fields hold the same bounds in millimetres.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/report/Expression.h"
#include "platform/report/PageModel.h"
#include "platform/ui/Control.h"

class TDataSet;
class TQuickRep;
class TQRBand;

enum class TQRBandType { rbTitle, rbPageHeader, rbColumnHeader, rbDetail, rbPageFooter, rbSummary };
enum class TQRAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TQRShapeType { qrsRectangle, qrsHorLine, qrsVertLine };
enum class TQRSysDataType { qrsPageNumber };

// Design pixels at zoom 100 are screen pixels at 96 per inch.
constexpr double kDesignDpi = 96;

// What a printable needs while it is laid out: the page being made.
struct TQRPrintContext {
    int PageNumber = 1;
};

class TQRPrintable : public TControl {
public:
    explicit TQRPrintable(TComponent* owner);
    ~TQRPrintable() override;

    TQRBand* Band() const { return band_; }
    void SetParent(TControl* parent) override;  // a band, or nullptr
    TQuickRep* Report() const;

    // Bounds in millimetres relative to the band; SetBounds (design pixels) sets them too.
    double LeftMm = 0, TopMm = 0, WidthMm = 20, HeightMm = 4.5;
    void SetBounds(int left, int top, int width, int height) override;
    void SetBoundsMm(double left, double top, double width, double height);

    // Font(): unset attributes come from the band's and then the report's font.
    TQRAlignment Alignment = TQRAlignment::taLeftJustify;
    bool AutoSize = false;
    bool WordWrap = false;

    // The text printed for the current record; empty for shapes.
    virtual std::string PrintText(const TQRPrintContext& ctx) const = 0;
    virtual bool IsShape() const { return false; }

protected:
    friend class TQRBand;
    TQRBand* band_ = nullptr;
    bool boundsSet_ = false;  // the millimetres have been set once
};

// Caption() is the text; the system may set it at run time.
class TQRLabel : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    std::string PrintText(const TQRPrintContext&) const override { return Caption(); }
};

class TQRMemo : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    std::vector<std::string> Lines;
    std::string PrintText(const TQRPrintContext&) const override;
};

// The value of one field of a data set, optionally through a display mask (numbers only).
class TQRDBText : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    TDataSet* DataSet = nullptr;
    std::string DataField;
    std::string Mask;
    std::string PrintText(const TQRPrintContext&) const override;
};

// The value of an expression over the fields of the form's tables.
class TQRExpr : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    const std::string& Expression() const { return text_; }
    void SetExpression(const std::string& text);  // raises EExpressionError for a malformed text
    std::string Mask;
    std::string PrintText(const TQRPrintContext&) const override;

private:
    std::string text_;
    std::optional<report::Expression> parsed_;
};

class TQRSysData : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    TQRSysDataType Data = TQRSysDataType::qrsPageNumber;
    std::string Text;  // printed before the value
    std::string PrintText(const TQRPrintContext& ctx) const override;
};

class TQRShape : public TQRPrintable {
public:
    using TQRPrintable::TQRPrintable;
    TQRShapeType Shape = TQRShapeType::qrsRectangle;
    int PenWidth = 1;  // design pixels
    std::string PrintText(const TQRPrintContext&) const override { return {}; }
    bool IsShape() const override { return true; }
};

class TQRBand : public TControl {
    friend class TQuickRep;
public:
    explicit TQRBand(TComponent* owner);
    ~TQRBand() override;

    TQuickRep* Report() const { return report_; }
    void SetParent(TControl* parent) override;  // the report, or nullptr

    TQRBandType BandType = TQRBandType::rbTitle;
    double HeightMm = 10;  // SetBounds (design pixels) sets it too
    void SetBounds(int left, int top, int width, int height) override;

    const std::vector<TQRPrintable*>& Printables() const { return printables_; }

private:
    friend class TQRPrintable;
    TQuickRep* report_ = nullptr;
    std::vector<TQRPrintable*> printables_;  // in creation order, which is the painting order
};

// Converts design pixels at zoom 100 into millimetres.
inline double DesignPxToMm(double px) { return report::pxToMm(px, kDesignDpi); }

// A font with the attributes that a component's font sets on top of it.
report::FontSpec ResolveFont(const report::FontSpec& base, const TFont& own);
