// Fonts for paper: the family names the forms and the system use ("宋体", "黑体", "Arial") mapped to installed
// faces, and text measurement in millimetres that does not depend on any screen. Text is measured and painted
// with unhinted outlines at a fixed high resolution, so that a width taken during layout holds on every device.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <string>
#include <vector>

#include "platform/report/PageModel.h"

namespace report {

// Resolution of the measuring unit: sizes are exact in hundredths of a point.
constexpr double kLayoutDpi = 7200;

// The installed face that stands in for a family name; CJK names map to the installed Chinese face.
QString installedFamily(const std::string& name);
// The installed Simplified Chinese face ("WenQuanYi Zen Hei"), or empty when the machine has none.
QString chineseFamily();

// The Qt font of a FontSpec, its pixel size set for a device of the given resolution.
QFont makeFont(const FontSpec& fontSpec, double dpi);

// Measures single lines and wraps text for one font, in millimetres.
class TextMeasure {
public:
    explicit TextMeasure(const FontSpec& fontSpec);

    double width(const std::string& text) const;
    double height() const;   // ascent + descent: the height of one line
    double ascent() const;
    // Lines of the text broken at the line-break opportunities of Unicode (between Chinese characters,
    // at spaces), so that each fits widthMm; a piece wider than that on its own is broken between
    // characters. Line feeds in the text always break.
    std::vector<std::string> wrap(const std::string& text, double widthMm) const;

private:
    double toMm(double units) const { return pxToMm(units, kLayoutDpi); }
    QFont font_;
    QFontMetricsF metrics_;
};

}  // namespace report
