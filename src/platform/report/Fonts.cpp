// Family mapping and millimetre text metrics.
#include "platform/report/Fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <QTextBoundaryFinder>
#include <cmath>

namespace report {

namespace {

const QString kCjkFace = QStringLiteral("WenQuanYi Zen Hei");

bool isCjkName(const QString& name)
{
    static const QStringList names = {
        QStringLiteral("宋体"), QStringLiteral("新宋体"), QStringLiteral("黑体"), QStringLiteral("仿宋"),
        QStringLiteral("仿宋_GB2312"), QStringLiteral("楷体"), QStringLiteral("楷体_GB2312"),
        QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("SimHei"), QStringLiteral("KaiTi"),
        QStringLiteral("FangSong"),
    };
    if (names.contains(name, Qt::CaseInsensitive)) {
        return true;
    }
    for (QChar c : name) {
        if (c.unicode() >= 0x3000) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString chineseFamily()
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        if (families.contains(kCjkFace)) {
            return kCjkFace;
        }
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}

QString installedFamily(const std::string& name)
{
    const QString n = QString::fromStdString(name);
    if (n.isEmpty() || isCjkName(n)) {
        return chineseFamily();
    }
    if (n.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0
        || n.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0
        || n.compare(QLatin1String("Tahoma"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("DejaVu Sans");
    }
    if (n.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("DejaVu Serif");
    }
    if (n.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("DejaVu Sans Mono");
    }
    if (QFontDatabase::hasFamily(n)) {
        return n;
    }
    return chineseFamily();
}

QFont makeFont(const FontSpec& fontSpec, double dpi)
{
    QFont f;
    // Chinese text in a Latin face falls back to the Chinese face, never to boxes.
    f.setFamilies({installedFamily(fontSpec.name), chineseFamily()});
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(fontSpec.sizePt * dpi / 72.0))));
    f.setBold(fontSpec.style & fsBoldBit);
    f.setItalic(fontSpec.style & fsItalicBit);
    f.setUnderline(fontSpec.style & fsUnderlineBit);
    f.setStrikeOut(fontSpec.style & fsStrikeOutBit);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::ForceOutline);
    f.setKerning(false);
    return f;
}

TextMeasure::TextMeasure(const FontSpec& fontSpec)
    : font_(makeFont(fontSpec, kLayoutDpi)), metrics_(font_)
{
}

double TextMeasure::width(const std::string& text) const
{
    return toMm(metrics_.horizontalAdvance(QString::fromStdString(text)));
}

double TextMeasure::height() const { return toMm(metrics_.ascent() + metrics_.descent()); }

double TextMeasure::ascent() const { return toMm(metrics_.ascent()); }

std::vector<std::string> TextMeasure::wrap(const std::string& text, double widthMm) const
{
    std::vector<std::string> lines;
    const double limit = widthMm * kLayoutDpi / kMmPerInch;
    const QString all = QString::fromStdString(text);
    const QStringList paragraphs = QString(all).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(u'\n');
    for (const QString& para : paragraphs) {
        if (para.isEmpty()) {
            lines.emplace_back();
            continue;
        }
        // Pieces between break opportunities; a line collects pieces while they fit.
        QStringList pieces;
        QTextBoundaryFinder finder(QTextBoundaryFinder::Line, para);
        qsizetype start = 0;
        for (qsizetype pos = finder.toNextBoundary(); pos != -1; pos = finder.toNextBoundary()) {
            if (pos > start) {
                pieces.append(para.mid(start, pos - start));
            }
            start = pos;
        }
        if (start < para.size()) {
            pieces.append(para.mid(start));
        }
        QString line;
        auto flush = [&] {
            lines.push_back(line.trimmed().isEmpty() ? std::string() : line.toStdString());
            line.clear();
        };
        for (const QString& piece : pieces) {
            if (metrics_.horizontalAdvance(line + piece) <= limit || line.isEmpty()) {
                line += piece;
            } else {
                // Trailing blanks of a full line do not count against its width.
                QString trimmed = line;
                while (trimmed.endsWith(u' ')) {
                    trimmed.chop(1);
                }
                line = trimmed;
                flush();
                line = piece;
            }
            // A piece wider than the whole line is cut between characters.
            while (metrics_.horizontalAdvance(line) > limit && line.size() > 1) {
                qsizetype n = 1;
                while (n < line.size() && metrics_.horizontalAdvance(line.left(n + 1)) <= limit) {
                    ++n;
                }
                if (n < line.size() && line.at(n - 1).isHighSurrogate()) {
                    --n;
                }
                if (n <= 0) {
                    n = 1;
                }
                QString rest = line.mid(n);
                line = line.left(n);
                flush();
                line = rest;
            }
        }
        flush();
    }
    return lines;
}

}  // namespace report
