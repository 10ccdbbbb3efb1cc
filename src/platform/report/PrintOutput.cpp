// Sending pages to a printer, or to a PDF file when the set-up chose one or no printer is installed. When
// a PDF cannot be written the user is told and may choose another file: the pages are not lost silently.
#include "platform/report/PrintOutput.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/report/PagePainter.h"
#include "platform/report/PreviewForm.h"
#include "platform/report/Printer.h"
#include "platform/ui/Application.h"

namespace report {

namespace {

PrintSink& sink()
{
    static PrintSink s;
    return s;
}

QPrinterInfo choosePrinter()
{
    const std::string& name = Printer()->PrinterName;
    if (!name.empty()) {
        return QPrinterInfo::printerInfo(QString::fromStdString(name));
    }
    return QPrinterInfo::defaultPrinter();
}

void saveAsPdf(const Document& doc, std::string suggested);

// False when the printer cannot start the job (nothing has been printed then).
bool printOn(const QPrinterInfo& info, const Document& doc)
{
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(doc.title));
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutOf(doc.pages.front()));
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    bool first = true;
    for (const Page& page : doc.pages) {
        if (!first) {
            printer.setPageLayout(pageLayoutOf(page));
            printer.newPage();
        }
        first = false;
        paintPage(painter, page, printer.resolution());
    }
    return painter.end();
}

void offerPdf(const std::string& question, const Document& doc)
{
    if (Application->MessageBox(question, "提示", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        saveAsPdf(doc, doc.title.empty() ? std::string("report.pdf") : doc.title + ".pdf");
    }
}

std::string withPdfExtension(std::string path)
{
    if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) {
        path += ".pdf";
    }
    return path;
}

// Asks for a file until the pages are written or the user gives up.
void saveAsPdf(const Document& doc, std::string suggested)
{
    for (;;) {
        TFileDialogRequest request;
        request.save = true;
        request.title = "保存为PDF文件";
        request.filter = "PDF文件 (*.pdf)|*.pdf";
        request.defaultExt = "pdf";
        request.fileName = suggested;
        if (!Application->ExecuteFileDialog(request)) {
            return;
        }
        const std::string path = withPdfExtension(request.fileName);
        if (writePdf(doc, QString::fromStdString(path))) {
            return;
        }
        Application->MessageBox("无法写入文件“" + path + "”，请另选一个位置保存。", "提示", MB_OK | MB_ICONWARNING);
        suggested = path;
    }
}

}  // namespace

void setPrintSink(PrintSink s) { sink() = std::move(s); }

void printDocument(const Document& doc)
{
    if (doc.empty()) {
        return;
    }
    if (sink()) {
        sink()(doc);
        return;
    }
    const std::string& file = Printer()->OutputFile;
    if (!file.empty()) {
        if (!writePdf(doc, QString::fromStdString(withPdfExtension(file)))) {
            Application->MessageBox("无法写入文件“" + withPdfExtension(file) + "”，请另选一个位置保存。", "提示",
                                    MB_OK | MB_ICONWARNING);
            saveAsPdf(doc, file);
        }
        return;
    }
    const QPrinterInfo info = choosePrinter();
    if (info.isNull()) {
        const std::string& chosen = Printer()->PrinterName;
        offerPdf(chosen.empty() ? std::string("没有安装打印机，无法打印。是否保存为PDF文件？")
                                : "找不到打印机“" + chosen + "”，无法打印。是否保存为PDF文件？",
                 doc);
        return;
    }
    if (!printOn(info, doc)) {
        offerPdf("打印机“" + info.printerName().toStdString() + "”无法打印。是否保存为PDF文件？", doc);
    }
}

void previewDocument(const Document& doc)
{
    if (doc.empty()) {
        return;
    }
    TQRPreviewForm form(Application, doc);
    form.ShowModal();
}

}  // namespace report
