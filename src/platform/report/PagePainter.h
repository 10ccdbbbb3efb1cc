// Paints pages of the page model with a QPainter. The same code serves the preview window (an image at
// screen resolution and zoom), PDF files and printers, so what is previewed is what is printed.
#pragma once

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QString>

#include "platform/report/PageModel.h"

namespace report {

// Paints the page with its top-left corner at the painter's current origin, for a device of dpi pixels
// per inch. The painter's state is restored afterwards.
void paintPage(QPainter& painter, const Page& page, double dpi);

// The page as an image on white at the given resolution.
QImage renderPage(const Page& page, double dpi);

// The sheet of a page (size, orientation, no margins) for PDF writers and printers.
QPageLayout pageLayoutOf(const Page& page);

// Writes every page into a PDF file; false when the file cannot be written.
bool writePdf(const Document& doc, const QString& path);

}  // namespace report
