// The canvas calls and the bitmap target.
#include "platform/report/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "platform/report/Fonts.h"

std::uint32_t RgbOf(TColor c)
{
    if (c & 0x80000000u || c == clDefault) {
        const auto index = static_cast<unsigned>(c) & 0xFFu;
        // Text colours print black, window and face colours white.
        return (index == 8 || index == 18 || index == 7 || index == 9) ? 0x000000u : 0xFFFFFFu;
    }
    const auto v = static_cast<std::uint32_t>(c);
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

TCanvas::TCanvas(CanvasTarget* target) : target_(target) {}

report::FontSpec TCanvas::FontSpecOf() const
{
    report::FontSpec f;
    f.name = font_.Name;
    f.sizePt = font_.Size;
    f.style = font_.Style;
    f.color = RgbOf(font_.Color);
    return f;
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    if (target_) {
        target_->DrawText(x, y, text, FontSpecOf());
    }
    PenPos = TPoint{x + TextWidth(text), y};
}

int TCanvas::TextWidth(const std::string& text) const
{
    const double dpi = target_ ? target_->Dpi() : 96;
    return QFontMetrics(report::makeFont(FontSpecOf(), dpi)).horizontalAdvance(QString::fromStdString(text));
}

int TCanvas::TextHeight(const std::string&) const
{
    const double dpi = target_ ? target_->Dpi() : 96;
    const QFontMetrics fm(report::makeFont(FontSpecOf(), dpi));
    return fm.ascent() + fm.descent();
}

void TCanvas::MoveTo(int x, int y) { PenPos = TPoint{x, y}; }

void TCanvas::LineTo(int x, int y)
{
    if (target_ && pen_.Style != TPenStyle::psClear) {
        target_->DrawLine(PenPos.X, PenPos.Y, x, y, RgbOf(pen_.Color), std::max(1, pen_.Width));
    }
    PenPos = TPoint{x, y};
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (!target_) {
        return;
    }
    if (brush_.Style != TBrushStyle::bsClear) {
        target_->Fill(TRect{x1, y1, x2, y2}, RgbOf(brush_.Color));
    }
    if (pen_.Style != TPenStyle::psClear) {
        target_->DrawFrame(TRect{x1, y1, x2 - 1, y2 - 1}, RgbOf(pen_.Color), std::max(1, pen_.Width));
    }
}

void TCanvas::FillRect(const TRect& r)
{
    if (target_ && brush_.Style != TBrushStyle::bsClear) {
        target_->Fill(r, RgbOf(brush_.Color));
    }
}

class TBitmap::Target : public CanvasTarget {
public:
    explicit Target(TBitmap* bitmap) : bitmap_(bitmap), image_(&bitmap->image_) {}
    double Dpi() const override { return 96; }

    void DrawText(int x, int y, const std::string& text, const report::FontSpec& fontSpec) override
    {
        if (image_->isNull()) {
            return;
        }
        Notify notify{bitmap_};
        QPainter p(image_);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QFont f = report::makeFont(fontSpec, Dpi());
        p.setFont(f);
        p.setPen(QColor::fromRgb(fontSpec.color | 0xFF000000u));
        p.drawText(QPoint(x, y + QFontMetrics(f).ascent()), QString::fromStdString(text));
    }
    void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t rgb, int width) override
    {
        if (image_->isNull()) {
            return;
        }
        Notify notify{bitmap_};
        QPainter p(image_);
        p.setPen(QPen(QColor::fromRgb(rgb | 0xFF000000u), width));
        p.drawLine(x1, y1, x2, y2);
    }
    void DrawFrame(const TRect& r, std::uint32_t rgb, int width) override
    {
        if (image_->isNull()) {
            return;
        }
        Notify notify{bitmap_};
        QPainter p(image_);
        p.setPen(QPen(QColor::fromRgb(rgb | 0xFF000000u), width));
        p.drawRect(QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)));
    }
    void Fill(const TRect& r, std::uint32_t rgb) override
    {
        if (image_->isNull()) {
            return;
        }
        Notify notify{bitmap_};
        QPainter p(image_);
        p.fillRect(QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)), QColor::fromRgb(rgb | 0xFF000000u));
    }

private:
    // Tells the bitmap's owner once the painter is done.
    struct Notify {
        TBitmap* bitmap;
        ~Notify() { bitmap->Changed(); }
    };
    TBitmap* bitmap_;
    QImage* image_;
};

TBitmap::TBitmap() : target_(std::make_unique<Target>(this)), canvas_(target_.get()) {}

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    QImage next(w, h, QImage::Format_RGB32);
    next.fill(Qt::white);
    if (!image_.isNull() && w > 0 && h > 0) {
        QPainter p(&next);
        p.drawImage(0, 0, image_);
    }
    image_ = next;
    Changed();
}
