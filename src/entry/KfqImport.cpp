#include "entry/KfqImport.h"

#include "app/Main.h"
#include "entry/Bhcl.h"
#include "entry/ImportMarker.h"
#include "entry/Kfq.h"
#include "platform/ui/Application.h"

std::vector<ImportPosition> KfqImportPositions()
{
    std::vector<ImportPosition> p(3);
    p[0].keyFields = {"qa01"};
    p[0].countingField = "qa_one";
    p[0].keyIndex = "kfq_1";
    p[0].restoreIndexFieldNames = "id";
    p[0].title = "请选择企业数据库  文件名:kfq_1.db";
    p[0].question = "是否清空企业数据库";
    p[1].keyFields = {"qa01", "qe01"};
    p[1].countingField = "qe_one";
    p[1].masterFields = "qa01";
    p[1].title = "请选择产品数据库  文件名:kfq_2.db";
    p[1].question = "是否清空产品数据库";
    p[2].keyFields = {"qa01", "qh00"};
    p[2].countingField = "qh_one";
    p[2].masterFields = "qa01";
    p[2].title = "请选择科技项目情况数据库  文件名:kfq_5.db";
    p[2].question = "是否清空科技项目情况数据库";
    return p;
}

void KfqAppendData(TF_kfq& window) { AppendSubmittedTables(window, KfqImportPositions()); }

void KfqImportDisk(TF_kfq& window)
{
    TOpenDialog* dialog = F_main->OpenDialog1;
    dialog->Title = "请选择上报企业数据的磁盘目录";
    dialog->FileName.clear();
    dialog->Filter = "kfq_1.dbf|kfq_1.db";
    bool chosen = false;
    auto finish = [&] {
        F_main->Table1->Close();
        if (chosen) {
            RemoveBhclCopies();
        }
        dialog->FileName.clear();
        dialog->Filter = "*.db;*.dbf|*.db;*.dbf";
        window.curTable = window.Table1;
        window.curSource = window.DataSource1;
        window.PageControl1->SetActivePage(window.TabSheet1);
        window.SwitchPage();
    };
    try {
        if (dialog->Execute()) {
            chosen = true;
            ImportConfirmed = true;
            if (F_bhcl == nullptr) {
                Application->CreateForm(&F_bhcl);
            }
            // Only a passed check goes on: a modal loop that ended any other way (the program quitting) did not
            // check the numbers, whatever the flag still says.
            if (F_bhcl->ShowModal() != mrOk) {
                ImportConfirmed = false;
            }
            if (ImportConfirmed) {
                const std::vector<ImportPosition> positions = KfqImportPositions();
                TTable* targets[] = {window.Table1, window.Table2, window.Table5};
                EntryImportHost host(window);
                ImportMarker marker(window, "数据入库");
                marker.AddSource(dialog->FileName);
                for (std::size_t i = 0; i < positions.size(); ++i) {
                    F_main->Table1->Close();
                    F_main->Table1->SetTableName(BhclCopyName(static_cast<int>(i)));
                    window.curTable = targets[i];
                    ImportTable(host, positions[i]);
                }
            }
        }
    } catch (...) {
        try {
            finish();
        } catch (...) {
        }
        throw;
    }
    finish();
}
