// The page printer's layout: fonts and scale factors between printer and preview, pagination into bands of
// columns and runs of records, and the painting of a page and of the title on the current canvas. Positions are
// worked out in printer pixels and turned into canvas pixels by the scale factors (all 1 while printing).
#include <cstdlib>

#include "platform/db/DataSet.h"
#include "query/QueryPrint.h"

namespace {

constexpr const char* kMeasure = "宋";
constexpr const char* kFooterFont = "宋体";
constexpr int kFooterSize = 9;

// The ratio of a printer extent to the preview's; 1 when the preview measures nothing.
double Scale(int printer, int preview)
{
    return preview > 0 && printer > 0 ? static_cast<double>(printer) / preview : 1.0;
}

// Length of a text in GBK bytes: a Chinese character counts two.
int GbkBytes(const std::string& text)
{
    int bytes = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        bytes += c < 0x80 ? 1 : 2;
        i += len;
    }
    return bytes;
}

void SetCanvasFont(TCanvas* canvas, const std::string& name, int size)
{
    canvas->Font->Name = name;
    canvas->Font->Size = size;
}

}  // namespace

void TF_query_p::ApplySelectedFont(const TComboBox* font, const TComboBox* size)
{
    for (TCanvas* c : {Printer()->Canvas(), Image1->Canvas()}) {
        if (font->ItemIndex() >= 0) {
            c->Font->Name = font->Text();
        }
        if (size->ItemIndex() >= 0) {
            c->Font->Size = std::atoi(size->Text().c_str());
        }
    }
}

void TF_query_p::ReadHeadings()
{
    headings_.clear();
    Table2->Close();
    Table2->SetTableName("bt_p.db");
    Table2->Open();
    for (Table2->First(); !Table2->Eof(); Table2->Next()) {
        Heading h;
        h.text = Table2->Fields()[0]->AsString();
        h.width = Table2->Fields()[1]->IsNull() ? 0 : static_cast<int>(Table2->Fields()[1]->AsInteger());
        headings_.push_back(h);
    }
    Table2->Close();
}

std::string TF_query_p::HeadingText(int column) const
{
    if (column < static_cast<int>(headings_.size())) {
        return headings_[static_cast<std::size_t>(column)].text;
    }
    // A column without a heading row is headed by its field name.
    return column < Table1->FieldCount() ? Table1->Fields()[column]->FieldName() : std::string();
}

std::string TF_query_p::PaddedHeading(int column) const
{
    const int width = column < static_cast<int>(headings_.size()) ? headings_[static_cast<std::size_t>(column)].width : 10;
    std::string text = HeadingText(column);
    const int bytes = GbkBytes(text);
    if (bytes < width) {
        text.append(static_cast<std::size_t>(width - bytes), ' ');
    }
    return text + "  ";
}

std::string TF_query_p::CellText(int column) const
{
    const TField* f = Table1->Fields()[column];
    if (f->IsNull()) {
        return {};
    }
    return f->DataType() == TFieldType::Memo ? std::string("备注") : f->AsString();
}

void TF_query_p::ApplyTitleFont()
{
    TCanvas* printer = Printer()->Canvas();
    TCanvas* preview = Image1->Canvas();
    ApplySelectedFont(ComboBox3, ComboBox4);
    titleHScale_ = Scale(printer->TextHeight(kMeasure), preview->TextHeight(kMeasure));
    titleWScale_ = Scale(printer->TextWidth(kMeasure), preview->TextWidth(kMeasure));
    titleH_ = Edit4->Text().empty() ? 15 : printer->TextHeight(kMeasure) + 10 + 15;
}

void TF_query_p::ApplyBodyFont()
{
    TCanvas* printer = Printer()->Canvas();
    TCanvas* preview = Image1->Canvas();
    ApplySelectedFont(ComboBox1, ComboBox2);
    bodyHScale_ = Scale(printer->TextHeight(kMeasure), preview->TextHeight(kMeasure));
    bodyWScale_ = Scale(printer->TextWidth(kMeasure), preview->TextWidth(kMeasure));
    pw_ = Printer()->PageWidth() - 10;
    ph_ = Printer()->PageHeight() - 10;
    fixedW_ = CheckBox3->Checked() ? printer->TextWidth(PaddedHeading(0)) : 0;
}

void TF_query_p::PrepareQueryPrintPage()
{
    TCanvas* printer = Printer()->Canvas();
    TCanvas* preview = Image1->Canvas();
    SetCanvasFont(printer, kFooterFont, kFooterSize);
    SetCanvasFont(preview, kFooterFont, kFooterSize);
    footerWScale_ = Scale(printer->TextWidth(kMeasure), preview->TextWidth(kMeasure));
    footerH_ = printer->TextHeight(kMeasure);
    ReadHeadings();
    ApplyTitleFont();
    ApplyBodyFont();
    Image1->Bitmap()->SetSize(static_cast<int>(pw_ / bodyWScale_ + 10), static_cast<int>(ph_ / bodyHScale_ + titleH_));
    ScrollBox1->UpdateRange();
    ph_ -= footerH_ + 20;
}

void TF_query_p::PaginateQueryPrint()
{
    TCanvas* printer = Printer()->Canvas();
    const int rowH = printer->TextHeight("宋体") + 10;
    const int columns = Table1->Active() ? Table1->FieldCount() : 0;
    const int records = Table1->Active() ? Table1->RecordCount() : 0;
    const int limit = ph_ - titleH_ - 2 * rowH;
    pages_.clear();
    for (int c = CheckBox3->Checked() ? 1 : 0; c < columns;) {
        PrintPage band;
        band.firstColumn = c;
        band.x = {0};
        for (int k = c; k < columns; ++k) {
            const int right = band.x.back() + printer->TextWidth(PaddedHeading(k));
            if (right >= pw_ - 10 - fixedW_ && band.n > 0) {
                break;
            }
            band.x.push_back(right);
            ++band.n;
            if (right >= pw_ - 10 - fixedW_) {
                break;  // a column wider than the page stands alone
            }
        }
        // Every band repeats all records; a page ends with the record that crosses the limit.
        PrintPage page = band;
        int y = rowH;
        for (int r = 0; r < records; ++r) {
            ++page.recordCount;
            if (y < limit) {
                y += rowH;
                continue;
            }
            pages_.push_back(page);
            page = band;
            page.firstRecord = r + 1;
            y = rowH;
        }
        if (page.recordCount > 0 || page.firstRecord == 0) {
            pages_.push_back(page);
        }
        c += band.n;
    }
    Edit1->SetText("1");
    Edit2->SetText(std::to_string(pages_.size()));
}

int TF_query_p::CanvasX(int x) const
{
    return static_cast<int>(x / bodyWScale_ + 10);
}

int TF_query_p::CanvasY(int y, int top) const
{
    return static_cast<int>(y / bodyHScale_ + top);
}

int TF_query_p::TitleBottom() const
{
    return Edit4->Text().empty() ? 0 : static_cast<int>((titleH_ - 10 - 15) / titleHScale_ + 10);
}

void TF_query_p::PaintQueryPrintPage()
{
    const bool hasTitle = !Edit4->Text().empty();
    const int top = hasTitle ? static_cast<int>((titleH_ - 10 - 15) / titleHScale_ + 10 + 15) : 15;
    TCanvas* printer = Printer()->Canvas();
    TCanvas* preview = Image1->Canvas();
    ApplySelectedFont(ComboBox1, ComboBox2);
    if (!printing_) {
        preview->Brush->Color = clWhite;
        preview->FillRect(Rect(0, TitleBottom(), Image1->Bitmap()->Width(), Image1->Bitmap()->Height()));
    }
    if (currentPage_ < 0 || currentPage_ >= static_cast<int>(pages_.size())) {
        Image1->Bitmap()->Changed();
        return;  // no page: the title alone
    }
    const PrintPage& p = pages_[static_cast<std::size_t>(currentPage_)];
    const bool fixed = CheckBox3->Checked();
    const bool rows = CheckBox1->Checked();
    const int rowH = printer->TextHeight("宋体") + 10;
    TCanvas* c = canvas_;
    c->Pen->Color = clBlack;
    auto rule = [&](int y) {
        c->MoveTo(CanvasX(p.x[0]) - 2, CanvasY(y, top) - 2);
        c->LineTo(CanvasX(p.x[static_cast<std::size_t>(p.n)] + fixedW_), CanvasY(y, top) - 2);
    };
    int y = 0;
    if (fixed) {
        c->TextOut(CanvasX(p.x[0]), CanvasY(y, top), HeadingText(0));
    }
    for (int i = 0; i < p.n; ++i) {
        c->TextOut(CanvasX(p.x[static_cast<std::size_t>(i)] + fixedW_), CanvasY(y, top), HeadingText(p.firstColumn + i));
    }
    if (rows) {
        rule(y);
        rule(y + rowH);
    }
    y += rowH;
    if (p.recordCount > 0) {
        Table1->DisableControls();
        Table1->SetRecNo(p.firstRecord + 1);
        for (int r = 0; r < p.recordCount && !Table1->Eof(); ++r, Table1->Next()) {
            if (fixed) {
                c->TextOut(CanvasX(p.x[0]), CanvasY(y, top), CellText(0));
            }
            for (int i = 0; i < p.n; ++i) {
                c->TextOut(CanvasX(p.x[static_cast<std::size_t>(i)] + fixedW_), CanvasY(y, top), CellText(p.firstColumn + i));
            }
            y += rowH;
            if (rows) {
                rule(y);
            }
        }
        Table1->EnableControls();
    }
    if (CheckBox2->Checked()) {
        auto column = [&](int x) {
            c->MoveTo(x, top - 2);
            c->LineTo(x, CanvasY(y, top) - 2);
        };
        if (fixed) {
            column(CanvasX(p.x[0]) - 2);
        }
        for (int i = 0; i < p.n; ++i) {
            column(CanvasX(p.x[static_cast<std::size_t>(i)] + fixedW_) - 2);
        }
        column(CanvasX(p.x[static_cast<std::size_t>(p.n)] + fixedW_));
    }
    Edit3->SetText(std::to_string(currentPage_ + 1));
    SetCanvasFont(c, kFooterFont, kFooterSize);
    SetCanvasFont(printer, kFooterFont, kFooterSize);
    const int numberW = printer->TextWidth(Edit3->Text());
    c->TextOut(static_cast<int>(((pw_ - numberW) / 2) / footerWScale_), CanvasY(y, top) + 20, Edit3->Text());
    Image1->Bitmap()->Changed();
}

void TF_query_p::PaintQueryPrintTitle()
{
    const std::string title = Edit4->Text();
    if (title.empty()) {
        return;
    }
    TCanvas* printer = Printer()->Canvas();
    TCanvas* preview = Image1->Canvas();
    ApplySelectedFont(ComboBox3, ComboBox4);
    if (!printing_) {
        preview->Brush->Color = clWhite;
        preview->FillRect(Rect(0, 0, Image1->Bitmap()->Width(), TitleBottom()));
    }
    const int free = pw_ - printer->TextWidth(title);
    const std::string align = ComboBox5->Text();
    const int x = align == "左"   ? 10
                  : align == "右" ? static_cast<int>(free / titleWScale_ - 10)
                                  : static_cast<int>((free / 2) / titleWScale_);
    canvas_->TextOut(x, 10, title);
    Image1->Bitmap()->Changed();
}
