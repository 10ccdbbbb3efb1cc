#include "query/QueryPrint.h"

#include <algorithm>

#include "platform/ui/Application.h"
#include "platform/ui/Convert.h"
#include "platform/ui/Font.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"
#include "print/SaveAsTable.h"

namespace {

constexpr int kSizes = 127;        // the size lists hold "0" to "126"
constexpr int kDefaultSize = 11;   // selected at start
constexpr int kDefaultAlign = 1;   // "中"

// A stored index into a list of count items; the default when it is missing or outside the list.
int IndexOr(const TField* f, int count, int fallback)
{
    if (!f || f->IsNull()) {
        return fallback;
    }
    const auto v = f->AsInteger();
    return v >= 0 && v < count ? static_cast<int>(v) : fallback;
}

}  // namespace

void ShowQueryPrint(TDataSet* source, TDBGrid* grid, TQueryPrintShow how)
{
    if (!F_query_p) {
        TFormFactory::Obtain("TF_query_p");
    }
    TF_query_p* printer = F_query_p;
    const bool shown = printer->Visible();
    // The printer holds "query_p.db" open while it shows it: it lets go before the file is replaced.
    printer->Table1->Close();
    try {
        if (source) {
            SaveAsTable(source, grid, kPrintTableName);
        }
    } catch (...) {
        if (shown) {
            printer->FormActivate(printer);
        }
        throw;
    }
    if (how == TQueryPrintShow::Modal) {
        if (shown) {
            printer->Hide();  // a visible window cannot become modal
        }
        printer->ShowModal();
        return;
    }
    if (shown) {
        printer->FormActivate(printer);
    }
    printer->Show();
}

TF_query_p::TF_query_p(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_query_p");
    Edit1 = Get<TEdit>("Edit1");
    Edit2 = Get<TEdit>("Edit2");
    Edit3 = Get<TEdit>("Edit3");
    Edit4 = Get<TEdit>("Edit4");
    ComboBox1 = Get<TComboBox>("ComboBox1");
    ComboBox2 = Get<TComboBox>("ComboBox2");
    ComboBox3 = Get<TComboBox>("ComboBox3");
    ComboBox4 = Get<TComboBox>("ComboBox4");
    ComboBox5 = Get<TComboBox>("ComboBox5");
    CheckBox1 = Get<TCheckBox>("CheckBox1");
    CheckBox2 = Get<TCheckBox>("CheckBox2");
    CheckBox3 = Get<TCheckBox>("CheckBox3");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
    Button3 = Get<TButton>("Button3");
    Button4 = Get<TButton>("Button4");
    Button5 = Get<TButton>("Button5");
    Button6 = Get<TButton>("Button6");
    Button7 = Get<TButton>("Button7");
    ScrollBox1 = Get<TScrollBox>("ScrollBox1");
    Image1 = Get<TImage>("Image1");
    PrinterSetupDialog1 = Get<TPrinterSetupDialog>("PrinterSetupDialog1");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    canvas_ = Image1->Canvas();
}

void TF_query_p::FormCreate(TObject*)
{
    const std::vector<std::string> fonts = ScreenFonts();
    std::vector<std::string> sizes;
    for (int i = 0; i < kSizes; ++i) {
        sizes.push_back(std::to_string(i));
    }
    for (TComboBox* box : {ComboBox1, ComboBox3}) {
        box->SetItems(fonts);
        const auto songti = std::find(fonts.begin(), fonts.end(), "宋体");
        box->SetItemIndex(songti == fonts.end() ? -1 : static_cast<int>(songti - fonts.begin()));
    }
    for (TComboBox* box : {ComboBox2, ComboBox4}) {
        box->SetItems(sizes);
        box->SetItemIndex(kDefaultSize);
    }
    ComboBox5->SetItemIndex(kDefaultAlign);
}

void TF_query_p::FormActivate(TObject*)
{
    Table1->Open();
    Table2->Close();
    Table2->SetTableName("bt2_p.db");
    Table2->Open();
    Edit4->SetText(Table2->FieldByName("标题文字")->AsString());
    ComboBox5->SetItemIndex(IndexOr(Table2->FieldByName("标题对齐"), 3, kDefaultAlign));
    ComboBox4->SetItemIndex(IndexOr(Table2->FieldByName("标题字号"), kSizes, kDefaultSize));
    ComboBox2->SetItemIndex(IndexOr(Table2->FieldByName("正文字号"), kSizes, kDefaultSize));
    Table2->Close();
    Button1Click(Button1);
}

void TF_query_p::FormClose(TObject*, TCloseAction&)
{
    Table1->Close();
}

void TF_query_p::Relayout(bool withTitle)
{
    PrepareQueryPrintPage();
    PaginateQueryPrint();
    currentPage_ = 0;
    if (withTitle) {
        PaintQueryPrintTitle();
    }
    PaintQueryPrintPage();
}

void TF_query_p::ShowPage(int page)
{
    currentPage_ = page;
    PaintQueryPrintPage();
}

void TF_query_p::Button1Click(TObject*)
{
    canvas_ = Image1->Canvas();
    Relayout(true);
}

void TF_query_p::ComboBox1Change(TObject*)
{
    if (ComboBox1->ItemIndex() >= 0) {
        PaintQueryPrintPage();  // the columns stay where the last pagination put them
    }
}

void TF_query_p::ComboBox2Change(TObject*)
{
    if (ComboBox2->ItemIndex() >= 0) {
        Relayout(false);
    }
}

void TF_query_p::ComboBox3Change(TObject*)
{
    if (ComboBox3->ItemIndex() >= 0) {
        PaintQueryPrintTitle();
    }
}

void TF_query_p::ComboBox4Change(TObject*)
{
    if (ComboBox4->ItemIndex() >= 0) {
        Relayout(true);
    }
}

void TF_query_p::ComboBox5Change(TObject*)
{
    PaintQueryPrintTitle();
}

void TF_query_p::Edit4KeyPress(TObject*, char& Key)
{
    if (Key != 13) {
        return;
    }
    Key = 0;
    if (Edit4->Text().empty() || titleH_ == 15) {
        Relayout(false);
    }
    PaintQueryPrintTitle();
}

void TF_query_p::Edit3KeyPress(TObject*, char& Key)
{
    if (Key != 13) {
        return;
    }
    Key = 0;
    const int n = StrToInt(Edit3->Text()) - 1;
    if (n >= 0 && n < static_cast<int>(pages_.size())) {
        ShowPage(n);
    }
}

void TF_query_p::CheckBox1Click(TObject*)
{
    PaintQueryPrintPage();
}

void TF_query_p::CheckBox2Click(TObject*)
{
    PaintQueryPrintPage();
}

void TF_query_p::CheckBox3Click(TObject*)
{
    Relayout(false);
}

void TF_query_p::Button2Click(TObject*)
{
    if (PrinterSetupDialog1->Execute()) {
        Relayout(true);
    }
}

void TF_query_p::Button3Click(TObject*)
{
    if (currentPage_ > 0) {
        ShowPage(currentPage_ - 1);
    }
}

void TF_query_p::Button4Click(TObject*)
{
    if (currentPage_ + 1 < static_cast<int>(pages_.size())) {
        ShowPage(currentPage_ + 1);
    }
}

void TF_query_p::Button5Click(TObject*)
{
    const int first = StrToInt(Edit1->Text());
    const int last = StrToInt(Edit2->Text());
    if (first < 1 || first > last || last > static_cast<int>(pages_.size())) {
        return;
    }
    // Every position is in printer pixels while printing: the scale factors are 1 for the job.
    const double saved[] = {titleHScale_, titleWScale_, bodyHScale_, bodyWScale_, footerWScale_};
    auto restore = [&] {
        canvas_ = Image1->Canvas();
        titleHScale_ = saved[0];
        titleWScale_ = saved[1];
        bodyHScale_ = saved[2];
        bodyWScale_ = saved[3];
        footerWScale_ = saved[4];
        printing_ = false;
    };
    canvas_ = Printer()->Canvas();
    titleHScale_ = titleWScale_ = bodyHScale_ = bodyWScale_ = footerWScale_ = 1;
    printing_ = true;
    try {
        Printer()->Title = Edit4->Text().empty() ? std::string("查询统计结果") : Edit4->Text();
        Printer()->BeginDoc();
        for (int k = first; k <= last; ++k) {
            if (k > first) {
                Printer()->NewPage();
            }
            currentPage_ = k - 1;
            PaintQueryPrintTitle();
            PaintQueryPrintPage();
        }
        Printer()->EndDoc();
    } catch (...) {
        Printer()->Abort();
        restore();
        throw;
    }
    restore();
}

void TF_query_p::Button6Click(TObject*)
{
    Close();
}

void TF_query_p::Button7Click(TObject*)
{
    if (TForm* editor = TFormFactory::Obtain("TF_bt_p")) {
        editor->ShowModal();
    }
    Button1Click(Button1);
}

namespace {

const ClassBuilder<TF_query_p> kQueryPClass("TF_query_p", "TForm", [](ClassBuilder<TF_query_p>& c) {
    c.NotCreatable();
    c.Handler("FormCreate", &TF_query_p::FormCreate);
    c.Handler("FormActivate", &TF_query_p::FormActivate);
    c.Handler("FormClose", &TF_query_p::FormClose);
    c.Handler("ComboBox1Change", &TF_query_p::ComboBox1Change);
    c.Handler("ComboBox2Change", &TF_query_p::ComboBox2Change);
    c.Handler("ComboBox3Change", &TF_query_p::ComboBox3Change);
    c.Handler("ComboBox4Change", &TF_query_p::ComboBox4Change);
    c.Handler("ComboBox5Change", &TF_query_p::ComboBox5Change);
    c.Handler("Edit4KeyPress", &TF_query_p::Edit4KeyPress);
    c.Handler("Edit3KeyPress", &TF_query_p::Edit3KeyPress);
    c.Handler("CheckBox1Click", &TF_query_p::CheckBox1Click);
    c.Handler("CheckBox2Click", &TF_query_p::CheckBox2Click);
    c.Handler("CheckBox3Click", &TF_query_p::CheckBox3Click);
    c.Handler("Button1Click", &TF_query_p::Button1Click);
    c.Handler("Button2Click", &TF_query_p::Button2Click);
    c.Handler("Button3Click", &TF_query_p::Button3Click);
    c.Handler("Button4Click", &TF_query_p::Button4Click);
    c.Handler("Button5Click", &TF_query_p::Button5Click);
    c.Handler("Button6Click", &TF_query_p::Button6Click);
    c.Handler("Button7Click", &TF_query_p::Button7Click);
});

const FormSlot<TF_query_p> kQueryPSlot("TF_query_p", &F_query_p);

}  // namespace
