// A drawing surface in device pixels with the classic canvas calls (TextOut, MoveTo/LineTo, Rectangle,
// FillRect, TextWidth/TextHeight) and its font, pen and brush. A canvas draws onto a target: an image (the
// preview bitmap) or the page model of a printer job. Font sizes are in points and turn into pixels at the
// target's resolution, so the same text measures larger on a 600 dpi printer than on a 96 dpi bitmap.
#pragma once

#include <QImage>
#include <functional>
#include <memory>
#include <string>

#include "platform/report/PageModel.h"
#include "platform/ui/Font.h"

struct TPoint {
    int X = 0, Y = 0;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
inline TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }

class TCanvasFont {
public:
    std::string Name = "宋体";
    int Size = 10;  // points
    TFontStyles Style = 0;
    int Charset = DEFAULT_CHARSET;  // kept for the record; text is Unicode inside
    TColor Color = clBlack;
};

enum class TPenStyle { psSolid, psClear };
enum class TBrushStyle { bsSolid, bsClear };

class TPen {
public:
    TColor Color = clBlack;
    int Width = 1;  // device pixels
    TPenStyle Style = TPenStyle::psSolid;
};

class TBrush {
public:
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
};

// Where a canvas draws, in device pixels.
class CanvasTarget {
public:
    virtual ~CanvasTarget() = default;
    virtual double Dpi() const = 0;
    virtual void DrawText(int x, int y, const std::string& text, const report::FontSpec& font) = 0;
    virtual void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t rgb, int width) = 0;
    virtual void DrawFrame(const TRect& r, std::uint32_t rgb, int width) = 0;
    virtual void Fill(const TRect& r, std::uint32_t rgb) = 0;
};

class TCanvas {
public:
    explicit TCanvas(CanvasTarget* target);

    TCanvasFont* const Font = &font_;
    TPen* const Pen = &pen_;
    TBrush* const Brush = &brush_;
    TPoint PenPos;

    // Text with its top-left corner at (x, y), drawn over what is there.
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;  // the font's line height (ascent + descent)
    void MoveTo(int x, int y);
    void LineTo(int x, int y);  // with the pen; the pen position moves to (x, y)
    void Rectangle(int x1, int y1, int x2, int y2);  // outline with the pen, inside with the brush
    void FillRect(const TRect& r);                    // with the brush, no outline

    CanvasTarget* Target() const { return target_; }
    void SetTarget(CanvasTarget* target) { target_ = target; }
    report::FontSpec FontSpecOf() const;

private:
    CanvasTarget* target_;
    TCanvasFont font_;
    TPen pen_;
    TBrush brush_;
};

// A bitmap in memory with a canvas on it (the preview image of a page printer); 96 pixels per inch.
class TBitmap {
public:
    TBitmap();
    ~TBitmap();
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    void SetWidth(int w) { SetSize(w, Height()); }
    void SetHeight(int h) { SetSize(Width(), h); }
    void SetSize(int w, int h);  // new pixels are white; what fits is kept
    TCanvas* Canvas() { return &canvas_; }
    const QImage& Image() const { return image_; }
    // Called after every change of the pixels or the size (an image control repaints).
    std::function<void()> OnChange;
    void Changed()
    {
        if (OnChange) {
            OnChange();
        }
    }

private:
    class Target;
    QImage image_;
    std::unique_ptr<Target> target_;
    TCanvas canvas_;
};

// The 0xRRGGBB value of a colour (system colours as on a white sheet: text black, faces white).
std::uint32_t RgbOf(TColor c);
