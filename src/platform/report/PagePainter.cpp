// Painting of the page model. Coordinates are converted to the measuring unit of Fonts.h and scaled to the
// device once, so that text widths come out exactly as layout measured them.
#include "platform/report/PagePainter.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>

#include "platform/report/Fonts.h"

namespace report {

namespace {

double u(double mm) { return mmToPx(mm, kLayoutDpi); }

QRectF unitsRect(const RectMm& r) { return QRectF(u(r.x), u(r.y), u(r.w), u(r.h)); }

QColor colour(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u)); }

// Thin lines stay visible: at least one device pixel wide.
QPen pen(std::uint32_t rgb, double widthMm, double dpi)
{
    const double minUnits = kLayoutDpi / dpi;
    QPen p(colour(rgb));
    p.setWidthF(std::max(u(widthMm), minUnits));
    p.setCapStyle(Qt::SquareCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

void paintText(QPainter& painter, const TextItem& t)
{
    const QFont font = makeFont(t.font, kLayoutDpi);
    const QFontMetricsF fm(font);
    const QString text = QString::fromStdString(t.text);
    const QRectF box = unitsRect(t.box);
    const double w = fm.horizontalAdvance(text);
    double x = box.left();
    if (t.align == HAlign::Right) {
        x = box.right() - w;
    } else if (t.align == HAlign::Center) {
        x = box.left() + (box.width() - w) / 2;
    }
    painter.save();
    if (t.clip) {
        painter.setClipRect(box, Qt::IntersectClip);
    }
    painter.setFont(font);
    painter.setPen(colour(t.font.color));
    painter.drawText(QPointF(x, box.top() + fm.ascent()), text);
    painter.restore();
}

}  // namespace

void paintPage(QPainter& painter, const Page& page, double dpi)
{
    painter.save();
    painter.scale(dpi / kLayoutDpi, dpi / kLayoutDpi);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const auto& item : page.items) {
        if (const auto* t = std::get_if<TextItem>(&item)) {
            paintText(painter, *t);
        } else if (const auto* l = std::get_if<LineItem>(&item)) {
            painter.setPen(pen(l->color, l->widthMm, dpi));
            painter.drawLine(QPointF(u(l->x1), u(l->y1)), QPointF(u(l->x2), u(l->y2)));
        } else if (const auto* f = std::get_if<FrameItem>(&item)) {
            painter.setPen(pen(f->color, f->widthMm, dpi));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(unitsRect(f->box));
        } else if (const auto* fill = std::get_if<FillItem>(&item)) {
            painter.fillRect(unitsRect(fill->box), colour(fill->color));
        }
    }
    painter.restore();
}

QImage renderPage(const Page& page, double dpi)
{
    const int w = std::max(1, static_cast<int>(mmToPx(page.widthMm, dpi) + 0.5));
    const int h = std::max(1, static_cast<int>(mmToPx(page.heightMm, dpi) + 0.5));
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    const int dpm = static_cast<int>(dpi / kMmPerInch * 1000 + 0.5);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    QPainter painter(&img);
    paintPage(painter, page, dpi);
    return img;
}

QPageLayout pageLayoutOf(const Page& page)
{
    const bool landscape = page.widthMm > page.heightMm;
    const QSizeF portrait = landscape ? QSizeF(page.heightMm, page.widthMm) : QSizeF(page.widthMm, page.heightMm);
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter), landscape ? QPageLayout::Landscape
                                                                             : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool writePdf(const Document& doc, const QString& path)
{
    QPdfWriter writer(path);
    if (!writer.setPageLayout(doc.pages.empty() ? QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                              QMarginsF())
                                                : pageLayoutOf(doc.pages.front()))) {
        return false;
    }
    writer.setResolution(1200);
    writer.setTitle(QString::fromStdString(doc.title));
    writer.setCreator(QStringLiteral("Vemora"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    bool first = true;
    for (const Page& page : doc.pages) {
        if (!first) {
            writer.setPageLayout(pageLayoutOf(page));
            if (!writer.newPage()) {
                painter.end();
                return false;
            }
        }
        first = false;
        paintPage(painter, page, writer.resolution());
    }
    return painter.end();
}

}  // namespace report
