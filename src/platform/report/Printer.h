// The printer as the system draws on it: page size in device pixels, a canvas, and the document calls
// (BeginDoc, NewPage, EndDoc, Abort). A job is recorded as pages of the page model; EndDoc hands them to the
// print output (a real printer, or a PDF file when none is installed), so tests read what a job printed
// through LastDocument() without any printer.
#pragma once

#include <memory>
#include <string>

#include "platform/report/Canvas.h"
#include "platform/report/PageModel.h"
#include "platform/ui/Component.h"

enum class TPrinterOrientation { poPortrait, poLandscape };

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Device pixels of the printable sheet at Resolution() (A4 in the chosen orientation).
    int PageWidth() const;
    int PageHeight() const;
    int Resolution() const { return dpi_; }  // pixels per inch

    TPrinterOrientation Orientation() const { return orientation_; }
    void SetOrientation(TPrinterOrientation o);  // raises while a job is running
    std::string Title;  // the job name
    // Where jobs go, as the printer set-up dialog chose: a printer by name (empty: the default printer),
    // or a PDF file when OutputFile is set.
    std::string PrinterName;
    std::string OutputFile;
    // Pages of a job that go out (1-based, inclusive); 0 means from the first or to the last.
    int FromPage = 0, ToPage = 0;

    TCanvas* Canvas() { return &canvas_; }
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return printing_ ? static_cast<int>(job_.pages.size()) : 0; }

    void BeginDoc();  // raises when a job is already running
    void NewPage();
    void EndDoc();    // sends the job's pages out; raises when no job is running
    void Abort();     // drops the job's pages

    // The pages of the last job that went out (kept until the next EndDoc).
    const report::Document& LastDocument() const { return last_; }

private:
    class Target;
    report::Page blankPage() const;

    int dpi_ = 600;
    TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
    bool printing_ = false, aborted_ = false;
    report::Document job_, last_;
    report::Page scratch_;  // what is drawn outside a job goes here and is dropped
    std::unique_ptr<Target> target_;
    TCanvas canvas_;
};

// The one printer of the program.
TPrinter* Printer();

// The printer set-up dialog: asks through the application object which printer (or PDF file) to use.
class TPrinterSetupDialog : public TComponent {
public:
    explicit TPrinterSetupDialog(TComponent* owner) : TComponent(owner) {}
    bool Execute();  // true when the user confirmed; the choice is then Printer()'s
};
