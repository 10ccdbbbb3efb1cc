// The main window TF_main: the list of the eleven reports and the buttons that open every other window, and
// the data folder it works in; it owns the work components the other windows borrow. The unit's globals carry requests between windows.
#pragma once

#include <string>

#include "app/Forms.h"
#include "platform/ui/Button.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"
#include "platform/ui/RadioGroup.h"
#include "platform/ui/StatusBar.h"

class TColumn;

// Requests between windows; each is set just before the window that reads it is shown.
extern int ReportKind;          // report number 1..11, or the send mode of the mail window
extern TColumn* EditColumn;     // the column dialog's column
extern double GridCharWidth;    // pixel width of one character of the grid font
extern TTable* LocateTable;
extern std::string LocateField;
extern std::string LocateValue;
extern std::string LocateValue2;
// The field that the check found at fault (字段名 of its result row): of two details, the one that holds it is
// the one LocateValue2 names.
extern std::string LocateFaultField;
extern std::string LocateIndex;
extern bool LocatePending;
extern bool TableDeleted;
extern bool SendNameCleared;
extern bool ImportConfirmed;
extern bool MailConnected;
extern std::string MailMarker;  // the subject of the system's mails
extern std::string ExtraFilter;
extern std::string DataFolder;     // never assigned: stays empty
extern std::string CaptionSuffix;  // never assigned: stays empty
extern std::string IdPrefix;       // never assigned: stays empty
extern std::string BaseDir;
extern TForm* TmpForm;

class TF_main : public TForm {
public:
    explicit TF_main(TComponent* owner);

    TRadioGroup* RadioGroup1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TButton* Button4;
    TButton* Button5;
    TButton* Button6;
    TButton* Button7;
    TButton* Button8;
    TButton* Button9;
    TButton* Button10;
    TButton* Button11;
    TStatusBar* StatusBar1;  // the data folder the program works in
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;
    TDatabase* Database1;
    TQuery* Query1;
    TTable* Table1;

    void Button1Click(TObject* Sender);
    void RadioGroup1Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button10Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button4Click(TObject* Sender);
};

// The window of a class, created on first use into its variable. A class that this version does not contain
// is told to the user (caption "提示") and gives nullptr.
TForm* OpenWindow(const std::string& className);
