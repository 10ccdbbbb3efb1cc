// Fonts and colours as the window descriptions give them. A font names only what a description sets; the rest
// comes from the parent control, so that a bold label keeps its window's family and height. Heights follow the
// classic convention: negative = character pixel height, positive = cell height; Size is in points.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QFont>
#include <QColor>

using TColor = std::int32_t;  // 0x00BBGGRR, or a system colour (0x80000000 | index)

inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                        clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                        clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                        clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
inline constexpr TColor clScrollBar = static_cast<TColor>(0x80000000), clBtnFace = static_cast<TColor>(0x8000000F),
                        clWindow = static_cast<TColor>(0x80000005), clWindowText = static_cast<TColor>(0x80000008),
                        clBtnText = static_cast<TColor>(0x80000012), clInfoBk = static_cast<TColor>(0x80000018),
                        clHighlight = static_cast<TColor>(0x8000000D), clDefault = 0x20000000;

QColor ToQColor(TColor c);
// Colour by its identifier ("clRed", "clBtnFace"); nullopt when unknown.
std::optional<TColor> ColorByName(const std::string& name);
// Every colour identifier with its value (for the property tables).
std::vector<std::pair<std::string, long long>> ColorNames();

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

inline constexpr int DEFAULT_CHARSET = 1, ANSI_CHARSET = 0, GB2312_CHARSET = 134;

struct TFont {
    std::optional<std::string> Name;
    std::optional<int> Height;
    std::optional<int> Size;
    std::optional<int> Charset;  // kept for the record; text is Unicode inside
    std::optional<TFontStyles> Style;
    std::optional<TColor> Color;

    // The Qt font carrying only the attributes set here (the rest resolves against the parent's font).
    QFont ToQFont() const;
};

// The installed family that stands in for a Windows family name ("宋体" -> a CJK family that is present).
std::string MapFontFamily(const std::string& name);
// The font families a user may choose (the screen's fonts), as the windows name them: "宋体" first, standing for
// the installed Chinese face, so that the windows' own font is there to be selected; then every other
// installed family in alphabetical order.
std::vector<std::string> ScreenFonts();
