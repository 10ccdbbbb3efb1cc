#include "app/Main.h"

#include <filesystem>
#include <system_error>

#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

int ReportKind = 0;
TColumn* EditColumn = nullptr;
double GridCharWidth = 0;
TTable* LocateTable = nullptr;
std::string LocateField;
std::string LocateValue;
std::string LocateValue2;
std::string LocateFaultField;
std::string LocateIndex;
bool LocatePending = false;
bool TableDeleted = false;
bool SendNameCleared = false;
bool ImportConfirmed = false;
bool MailConnected = false;
std::string MailMarker;
std::string ExtraFilter;
std::string DataFolder;
std::string CaptionSuffix;
std::string IdPrefix;
std::string BaseDir;
TForm* TmpForm = nullptr;

namespace {

// The data-entry window of each report (index = item of the report list) and its caption.
struct EntryWindow {
    const char* className;
    const char* caption;
};

constexpr EntryWindow kEntryWindows[] = {
    {"TF_kfq", "高新区企业"},
    {"TF_kfqzh", "高新区综合情况"},
    {"TF_kfq", "区外企业"},
    {"TF_gjxm", "国家级项目"},
    {"TF_gjwsb", "国家级项目未上报原因"},
    {"TF_tzjg", "国家高新区创业投资机构情况表"},
    {"TF_rjjd", "软件产业基地情况"},
    {"TF_dxkjy", "大学科技园情况"},
    {"TF_fhq", "科技企业孵化器情况"},
    {"TF_tsjd", "特色产业基地情况"},
    {"TF_sjgxq", "省级高新区"},
};

}  // namespace

TForm* OpenWindow(const std::string& className)
{
    if (TForm* f = TFormFactory::Obtain(className)) {
        return f;
    }
    Application->MessageBox("此版本尚未提供窗口 " + className, "提示", MB_OK | MB_ICONINFORMATION);
    return nullptr;
}

TF_main::TF_main(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_main");
    RadioGroup1 = Get<TRadioGroup>("RadioGroup1");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
    Button3 = Get<TButton>("Button3");
    Button4 = Get<TButton>("Button4");
    Button5 = Get<TButton>("Button5");
    Button6 = Get<TButton>("Button6");
    Button7 = Get<TButton>("Button7");
    Button8 = Get<TButton>("Button8");
    Button9 = Get<TButton>("Button9");
    Button10 = Get<TButton>("Button10");
    Button11 = Get<TButton>("Button11");
    StatusBar1 = Get<TStatusBar>("StatusBar1");
    OpenDialog1 = Get<TOpenDialog>("OpenDialog1");
    SaveDialog1 = Get<TSaveDialog>("SaveDialog1");
    Database1 = Get<TDatabase>("Database1");
    Query1 = Get<TQuery>("Query1");
    Table1 = Get<TTable>("Table1");
    ReportKind = 0;
    BaseDir.clear();
    MailMarker = "***Vemora计划统计软件***";
    std::error_code ec;
    StatusBar1->SetSimpleText("数据目录: " + std::filesystem::current_path(ec).string());
}

void TF_main::Button1Click(TObject*)
{
    LocatePending = false;
    const int i = RadioGroup1->ItemIndex();
    if (i < 0 || i >= static_cast<int>(std::size(kEntryWindows))) {
        return;
    }
    TForm* f = OpenWindow(kEntryWindows[i].className);
    if (!f) {
        return;
    }
    TmpForm = f;
    TmpForm->SetCaption(kEntryWindows[i].caption + CaptionSuffix);
    TmpForm->ShowModal();
}

void TF_main::RadioGroup1Click(TObject*)
{
    const int i = RadioGroup1->ItemIndex();
    const bool on = i != 1 && i != 4;  // the zone overview and the unreported projects have no check or query
    Button7->SetEnabled(on);
    Button5->SetEnabled(on);
}

void TF_main::Button7Click(TObject*)
{
    ReportKind = RadioGroup1->ItemIndex() + 1;
    if (TForm* f = OpenWindow("TF_check")) {
        f->ShowModal();
    }
}

void TF_main::Button5Click(TObject*)
{
    ReportKind = RadioGroup1->ItemIndex() + 1;
    if (TForm* f = OpenWindow("TF_query")) {
        // The user works in this window: the query window, already open or not, is activated by its showing and
        // so follows the report chosen here.
        Application->FormShown(this);
        f->Show();
    }
}

void TF_main::Button6Click(TObject*)
{
    ReportKind = RadioGroup1->ItemIndex() + 1;
    if (TForm* f = OpenWindow("TF_report")) {
        f->SetCaption("报表打印" + CaptionSuffix);
        f->ShowModal();
    }
}

void TF_main::Button10Click(TObject*)
{
    if (TForm* f = OpenWindow("TF_db_tool")) {
        f->ShowModal();
    }
}

void TF_main::Button11Click(TObject*)
{
    if (TForm* f = OpenWindow("TF_xtwh")) {
        f->SetCaption("系统维护" + CaptionSuffix);
        f->ShowModal();
    }
}

void TF_main::Button9Click(TObject*)
{
    ReportKind = 1;
    if (TForm* f = OpenWindow("TF_smtp")) {
        f->ShowModal();
    }
}

void TF_main::Button3Click(TObject*)
{
    ReportKind = 2;
    if (TForm* f = OpenWindow("TF_smtp")) {
        f->ShowModal();
    }
}

void TF_main::Button8Click(TObject*)
{
    ReportKind = 0;
    if (TForm* f = OpenWindow("TF_smtp")) {
        f->ShowModal();
    }
}

void TF_main::Button2Click(TObject*)
{
    if (TForm* f = OpenWindow("TF_pop3")) {
        f->ShowModal();
    }
}

void TF_main::Button4Click(TObject*)
{
    Close();
}

namespace {

const ClassBuilder<TF_main> kMainClass("TF_main", "TForm", [](ClassBuilder<TF_main>& c) {
    c.NotCreatable();
    c.Handler("Button1Click", &TF_main::Button1Click);
    c.Handler("RadioGroup1Click", &TF_main::RadioGroup1Click);
    c.Handler("Button7Click", &TF_main::Button7Click);
    c.Handler("Button5Click", &TF_main::Button5Click);
    c.Handler("Button6Click", &TF_main::Button6Click);
    c.Handler("Button10Click", &TF_main::Button10Click);
    c.Handler("Button11Click", &TF_main::Button11Click);
    c.Handler("Button9Click", &TF_main::Button9Click);
    c.Handler("Button3Click", &TF_main::Button3Click);
    c.Handler("Button8Click", &TF_main::Button8Click);
    c.Handler("Button2Click", &TF_main::Button2Click);
    c.Handler("Button4Click", &TF_main::Button4Click);
});

const FormSlot<TF_main> kMainSlot("TF_main", &F_main);

}  // namespace
