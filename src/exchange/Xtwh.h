// TF_xtwh: system maintenance. It backs up the table files of the ticked reports into "bak", restores them
// from there, exports each one to a file the user names (table file, dBase or text), hands in a fixed set of
// report tables to a folder picked in its folder list, and merges the national project list of a region into
// "gjxm.db". It records the data folder in BaseDir when it is created.
#pragma once

#include <string>
#include <vector>

#include "app/Forms.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBoxes.h"

// What an operation of the window does with each table file.
enum MaintenanceMode { mmBackup = 0, mmRestore = 1, mmExport = 2, mmHandIn = 3 };

class TF_xtwh : public TForm {
public:
    explicit TF_xtwh(TComponent* owner);

    TCheckListBox* CheckListBox1;
    TButton* Button1;  // 数据备份
    TButton* Button2;  // 数据还原
    TButton* Button3;  // 数据转存
    TButton* Button4;  // 退出
    TButton* Button5;  // 数据上报
    TButton* Button7;  // 全部选定
    TButton* Button8;  // 全部清除
    TButton* Button9;  // 生成项目清单
    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    TComboBox* ComboBox2;
    TTable* Table1;

    // How CopyOrConvertTableFile ended for one file.
    enum class TFileResult { Written, NoSource, Skipped };

    // Export (title: the save dialog's title) or hand-in (title: the full target path) of one table file of
    // the data folder through SaveAsTable. Backup and restore do not come here: a report's tables are copied
    // together (RunMaintenanceOperation).
    TFileResult CopyOrConvertTableFile(const std::string& file, const std::string& title, int mode);
    // Backup, restore or export of the ticked reports, with the closing message of each.
    void RunMaintenanceOperation(int mode);

    void FormCreate(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void CheckListBox1DblClick(TObject* Sender);

private:
    std::vector<int> Ticked() const;
    std::string DataFile(const std::string& file) const;
    void CopyTickedReports(int mode);
    std::string exportFolder_;  // the folder of the last export, where the next one is offered
};
