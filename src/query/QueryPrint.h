// TF_query_p: the query-result page printer. It lays "query_p.db" out as a ruled table on the printer's page
// (a title, a heading row from "bt_p.db", the records as rows, the columns in bands as wide as the page, the
// first column optionally repeated on every page, the page number under the table), previews one page on its
// image and prints a range of pages. The layout (PrepareQueryPrintPage ... PaintQueryPrintTitle) lives in
// QueryPrintLayout.cpp.
#pragma once

#include <string>
#include <vector>

#include "app/Forms.h"
#include "platform/report/Image.h"
#include "platform/report/Printer.h"
#include "platform/ui/Button.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Containers.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"

// How the page printer is shown: modally (from the table tool) or beside its caller (from the query window).
enum class TQueryPrintShow { Modal, Modeless };

// Saves source (with the grid's titles and widths) as "query_p.db", its headings into "bt_p.db", and shows the
// page printer on it, creating it on first use. A page printer already open on the old result lets go of it
// first and shows the new one. With no source the printer shows what "query_p.db" already holds.
void ShowQueryPrint(TDataSet* source, TDBGrid* grid, TQueryPrintShow how);

class TF_query_p : public TForm {
public:
    explicit TF_query_p(TComponent* owner);

    TEdit* Edit1;  // first page to print
    TEdit* Edit2;  // last page to print
    TEdit* Edit3;  // page shown
    TEdit* Edit4;  // title text
    TComboBox* ComboBox1;  // body font
    TComboBox* ComboBox2;  // body size
    TComboBox* ComboBox3;  // title font
    TComboBox* ComboBox4;  // title size
    TComboBox* ComboBox5;  // title alignment
    TCheckBox* CheckBox1;  // horizontal lines
    TCheckBox* CheckBox2;  // vertical lines
    TCheckBox* CheckBox3;  // first column on every page
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TButton* Button4;
    TButton* Button5;
    TButton* Button6;
    TButton* Button7;
    TScrollBox* ScrollBox1;
    TImage* Image1;
    TPrinterSetupDialog* PrinterSetupDialog1;
    TTable* Table1;  // "query_p.db"
    TTable* Table2;  // "bt_p.db", "bt2_p.db"

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void ComboBox1Change(TObject* Sender);
    void ComboBox2Change(TObject* Sender);
    void ComboBox3Change(TObject* Sender);
    void ComboBox4Change(TObject* Sender);
    void ComboBox5Change(TObject* Sender);
    void Edit4KeyPress(TObject* Sender, char& Key);
    void Edit3KeyPress(TObject* Sender, char& Key);
    void CheckBox1Click(TObject* Sender);
    void CheckBox2Click(TObject* Sender);
    void CheckBox3Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);

    // The layout.
    void PrepareQueryPrintPage();
    void ApplyTitleFont();
    void ApplyBodyFont();
    void PaginateQueryPrint();
    void PaintQueryPrintPage();
    void PaintQueryPrintTitle();

    // One page: a band of columns and a run of records. x[k] is the right edge of the band's k-th column in
    // printer pixels from the band's start (x[0] = 0), so x has n + 1 entries.
    struct PrintPage {
        std::vector<int> x;
        int n = 0;
        int firstColumn = 0;
        int firstRecord = 0;
        int recordCount = 0;
    };
    const std::vector<PrintPage>& Pages() const { return pages_; }
    int CurrentPage() const { return currentPage_; }

private:
    struct Heading {
        std::string text;
        int width = 10;  // bytes of text
    };
    void ReadHeadings();
    // Both canvases take the font and size selected in the two lists (what is not selected stays as it is).
    void ApplySelectedFont(const TComboBox* font, const TComboBox* size);
    std::string PaddedHeading(int column) const;  // padded to its width in bytes, plus two blanks
    std::string HeadingText(int column) const;
    std::string CellText(int column) const;      // of Table1's current record
    void Relayout(bool withTitle);                // prepare, paginate, page 0, paint
    void ShowPage(int page);
    int CanvasX(int x) const;
    int CanvasY(int y, int top) const;
    int TitleBottom() const;  // preview y where the title area ends (T0)

    TCanvas* canvas_ = nullptr;  // the preview image's, or the printer's while printing
    double titleHScale_ = 1, titleWScale_ = 1, bodyHScale_ = 1, bodyWScale_ = 1, footerWScale_ = 1;
    int titleH_ = 15, pw_ = 0, ph_ = 0, fixedW_ = 0, footerH_ = 0;
    std::vector<Heading> headings_;
    std::vector<PrintPage> pages_;  // grows with the result: no fixed capacity
    int currentPage_ = 0;
    bool printing_ = false;
};
