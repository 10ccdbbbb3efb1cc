#include "platform/ui/Font.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <utility>

namespace {

struct NamedColor {
    const char* name;
    TColor value;
};

constexpr std::array kColors{
    NamedColor{"clBlack", clBlack},         NamedColor{"clMaroon", clMaroon},     NamedColor{"clGreen", clGreen},
    NamedColor{"clOlive", clOlive},         NamedColor{"clNavy", clNavy},         NamedColor{"clPurple", clPurple},
    NamedColor{"clTeal", clTeal},           NamedColor{"clGray", clGray},         NamedColor{"clSilver", clSilver},
    NamedColor{"clRed", clRed},             NamedColor{"clLime", clLime},         NamedColor{"clYellow", clYellow},
    NamedColor{"clBlue", clBlue},           NamedColor{"clFuchsia", clFuchsia},   NamedColor{"clAqua", clAqua},
    NamedColor{"clWhite", clWhite},         NamedColor{"clScrollBar", clScrollBar}, NamedColor{"clBtnFace", clBtnFace},
    NamedColor{"clWindow", clWindow},       NamedColor{"clWindowText", clWindowText},
    NamedColor{"clBtnText", clBtnText},     NamedColor{"clInfoBk", clInfoBk},     NamedColor{"clHighlight", clHighlight},
    NamedColor{"clDefault", clDefault},
};

// Windows families that have no Linux namesake: all of them are Chinese families, so one CJK family serves.
constexpr std::array kCjkFamilies{"宋体", "新宋体", "黑体", "楷体_GB2312", "仿宋_GB2312", "SimSun", "NSimSun",
                                  "SimHei", "MS Song"};

}  // namespace

QColor ToQColor(TColor c)
{
    if (c == clDefault) {
        return {};
    }
    if (static_cast<std::uint32_t>(c) & 0x80000000u) {
        const QPalette pal = QGuiApplication::palette();
        switch (c & 0xFF) {
        case 0x05: return pal.color(QPalette::Base);
        case 0x08: return pal.color(QPalette::Text);
        case 0x0D: return pal.color(QPalette::Highlight);
        case 0x12: return pal.color(QPalette::ButtonText);
        case 0x18: return pal.color(QPalette::ToolTipBase);
        default: return pal.color(QPalette::Button);
        }
    }
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

std::optional<TColor> ColorByName(const std::string& name)
{
    for (const auto& nc : kColors) {
        if (name == nc.name) {
            return nc.value;
        }
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, long long>> ColorNames()
{
    std::vector<std::pair<std::string, long long>> out;
    for (const auto& nc : kColors) {
        out.emplace_back(nc.name, nc.value);
    }
    return out;
}

std::string MapFontFamily(const std::string& name)
{
    for (const char* f : kCjkFamilies) {
        if (name == f) {
            static const std::string cjk = [] {
                const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
                for (const char* preferred : {"WenQuanYi Zen Hei", "Noto Sans CJK SC", "Noto Serif CJK SC"}) {
                    if (families.contains(QString::fromUtf8(preferred))) {
                        return std::string(preferred);
                    }
                }
                return families.isEmpty() ? std::string("WenQuanYi Zen Hei") : families.front().toStdString();
            }();
            return cjk;
        }
    }
    return name;
}

QFont TFont::ToQFont() const
{
    QFont f;
    if (Name) {
        f.setFamily(QString::fromStdString(MapFontFamily(*Name)));
    }
    if (Height && *Height != 0) {
        // Negative: character height in pixels. Positive: cell height, of which the character takes about 7/8.
        f.setPixelSize(*Height < 0 ? -*Height : std::max(1, *Height * 7 / 8));
    } else if (Size && *Size > 0) {
        f.setPointSize(*Size);
    }
    if (Style) {
        f.setBold(*Style & fsBold);
        f.setItalic(*Style & fsItalic);
        f.setUnderline(*Style & fsUnderline);
        f.setStrikeOut(*Style & fsStrikeOut);
    }
    return f;
}

std::vector<std::string> ScreenFonts()
{
    std::vector<std::string> out{"宋体"};
    const QString chinese = QString::fromStdString(MapFontFamily("宋体"));
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    for (const QString& f : families) {
        // "宋体" stands for the Chinese face; private families and generic aliases are no choice for a user.
        if (f != chinese && !QFontDatabase::isPrivateFamily(f) && QFontDatabase::hasFamily(f)) {
            out.push_back(f.toStdString());
        }
    }
    return out;
}
