// The page model: what a report or a printer job puts on paper, as items positioned in millimetres from the
// top-left corner of the sheet. Layout fills it; one painter turns it into pixels for the preview, a PDF or a
// printer, so every output shows the same pages and tests can read the pages without rendering them.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace report {

enum FontStyleBits : unsigned { fsBoldBit = 1, fsItalicBit = 2, fsUnderlineBit = 4, fsStrikeOutBit = 8 };

struct FontSpec {
    std::string name = "宋体";  // the family as a form names it; mapped to an installed face when painted
    double sizePt = 10;
    unsigned style = 0;         // FontStyleBits
    std::uint32_t color = 0x000000;  // 0xRRGGBB
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

enum class HAlign { Left, Center, Right };

struct RectMm {
    double x = 0, y = 0, w = 0, h = 0;
    double right() const { return x + w; }
    double bottom() const { return y + h; }
    friend bool operator==(const RectMm&, const RectMm&) = default;
};

// One line of text. Word wrapping happens in layout, so a wrapped text is several items, one per line.
// The baseline sits at the font's ascent below box.y; the text is aligned horizontally in the box and, when
// clip is set, cut at the box.
struct TextItem {
    RectMm box;
    std::string text;
    FontSpec font;
    HAlign align = HAlign::Left;
    bool clip = false;
};

struct LineItem {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double widthMm = 0.2;
    std::uint32_t color = 0x000000;
};

// A rectangle outline (pen only).
struct FrameItem {
    RectMm box;
    double widthMm = 0.2;
    std::uint32_t color = 0x000000;
};

// A filled area without outline.
struct FillItem {
    RectMm box;
    std::uint32_t color = 0xFFFFFF;
};

using PageItem = std::variant<TextItem, LineItem, FrameItem, FillItem>;

struct Page {
    double widthMm = 210, heightMm = 297;
    std::vector<PageItem> items;

    // The texts of the page in item order, for tests and searches.
    std::vector<std::string> texts() const;
    // Text items whose text equals the given one.
    std::vector<const TextItem*> findText(const std::string& text) const;
};

struct Document {
    std::string title;  // the job name shown by the print system
    std::vector<Page> pages;
    bool empty() const { return pages.empty(); }
};

// Conversions used throughout the engine.
constexpr double kMmPerInch = 25.4;
inline double pxToMm(double px, double dpi) { return px * kMmPerInch / dpi; }
inline double mmToPx(double mm, double dpi) { return mm * dpi / kMmPerInch; }

}  // namespace report
