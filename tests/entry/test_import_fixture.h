// Submitted tables for the import tests: a folder "sub" beside the data folder that holds tables written as a
// reporting unit hands them in (the enterprise tables' fields, or a chosen few, and no indexes), and the
// enterprise window opened from the main window (KfqTest).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "KfqFixture.h"
#include "app/Main.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DBTextControl.h"
#include "platform/ui/DataSetModel.h"
#include "platform/ui/Label.h"
#include "platform/ui/StatusBar.h"

namespace importtest {

using entrytest::Lines;
using entrytest::Values;

class ImportTest : public entrytest::KfqTest {
protected:
    void SetUp() override
    {
        KfqTest::SetUp();
        std::filesystem::create_directories(SubmittedFolder());
    }

    std::filesystem::path SubmittedFolder() const { return base_ / "sub"; }
    std::string Submitted(const std::string& name) const { return (SubmittedFolder() / name).string(); }

    // Creates the submitted table `name` with the fields of the data folder's table `like` (only `fields`
    // when given) and no index.
    std::string MakeSubmitted(const std::string& name, const std::string& like,
                              const std::vector<std::string>& fields = {}) const
    {
        TTable model;
        model.SetTableName(like);
        model.Open();
        TTable t;
        t.SetTableName(Submitted(name));
        for (const db::FieldDesc& f : model.Schema().fields) {
            bool wanted = fields.empty();
            for (const std::string& w : fields) {
                wanted = wanted || SameName(w, f.name);
            }
            if (wanted) {
                t.FieldDefs.Add(f.name, f.type, f.size);
            }
        }
        model.Close();
        t.CreateTable();
        return Submitted(name);
    }
    // The three submitted enterprise tables, empty.
    void MakeSubmittedDisk() const
    {
        MakeSubmitted("kfq_1.db", "kfq_1.db");
        MakeSubmitted("kfq_2.db", "kfq_2.db");
        MakeSubmitted("kfq_5.db", "kfq_5.db");
    }
    void SubmitEnterprise(const std::string& code, const std::string& legal, const std::string& name = {}) const
    {
        AddRow(Submitted("kfq_1.db"),
               {{"QA01", code}, {"QA03", legal}, {"QA04", name.empty() ? "上报" + code : name}});
    }
    void SubmitProduct(const std::string& code, const std::string& serial, const std::string& name) const
    {
        AddRow(Submitted("kfq_2.db"), {{"QA01", code}, {"QE01", serial}, {"QE02", name}});
    }
    void SubmitProject(const std::string& code, const std::string& serial, const std::string& name) const
    {
        AddRow(Submitted("kfq_5.db"), {{"Qa01", code}, {"Qh00", serial}, {"Xmmc", name}});
    }

    static bool CopiesLeft()
    {
        for (const char* n : {"kfq_1.db", "kfq_2.db", "kfq_5.db"}) {
            if (std::filesystem::exists(std::filesystem::path("tmp") / n)) {
                return true;
            }
        }
        return false;
    }

    // What the window shows: every edit's text and whether it takes typing, every grid's rows and current row,
    // the status bar, the key label, the pages, each table's record and the master's last key.
    static Lines Shown(TF_kfq& k)
    {
        Lines out;
        for (int i = 0; i < k.ComponentCount(); ++i) {
            TComponent* c = k.Components(i);
            if (auto* edit = dynamic_cast<TDBTextControl*>(c)) {
                out.push_back(edit->Name() + "=" + edit->Text() + (edit->ReadOnly() ? " (read-only)" : ""));
            } else if (auto* grid = dynamic_cast<TDBGrid*>(c)) {
                const TDataSetModel* m = grid->Model();
                out.push_back(grid->Name() + ": " + std::to_string(m->rowCount()) + " rows, current " +
                              std::to_string(m->CurrentRow()));
                for (int r = 0; r < m->rowCount(); ++r) {
                    std::string row = "  ";
                    for (int col = 0; col < m->columnCount(); ++col) {
                        row += m->data(m->index(r, col)).toString().toStdString() + "|";
                    }
                    out.push_back(row);
                }
            }
        }
        out.push_back("status: " + k.StatusBar1->SimpleText());
        out.push_back("key label: " + k.Get<TLabel>("Label2")->Caption());
        out.push_back("page: " + Page(k));
        for (const std::string& page : VisiblePages(k)) {
            out.push_back("visible: " + page);
        }
        for (TTable* t : {k.Table1, k.Table2, k.Table5}) {
            out.push_back(t->Name + ": record " + std::to_string(t->RecNo()) + " of " +
                          std::to_string(t->RecordCount()));
        }
        out.push_back("last code: " + k.lastCode);
        return out;
    }
    // What the window shows once each table has shown its current record again (and the status bar is
    // brought up to date): where an import left a control behind, this differs from Shown.
    static Lines ShownAfresh(TF_kfq& k)
    {
        for (TTable* t : {k.Table1, k.Table2, k.Table5}) {
            t->Refresh();
        }
        k.UpdateStatusBar();
        return Shown(k);
    }

    // The window's normal state outside an import.
    static void ExpectNormalState(TF_kfq& k)
    {
        EXPECT_EQ(k.curTable, k.Table1);
        EXPECT_TRUE(k.cascadeEnabled);
        EXPECT_TRUE(k.scrollUpkeep);
        EXPECT_FALSE(k.ProgressBar1->Visible());
        EXPECT_NE(k.TabSheet1->Cursor(), crHourGlass);
        EXPECT_EQ(k.Table1->IndexName(), "");
        EXPECT_TRUE(SameName(k.Table1->IndexFieldNames(), "id"));
        for (TTable* t : {k.Table1, k.Table2, k.Table5}) {
            EXPECT_FALSE(t->ConstraintsDisabled()) << t->TableName();
        }
        EXPECT_TRUE(SameName(k.Table2->MasterFields(), "qa01"));
        EXPECT_TRUE(SameName(k.Table5->MasterFields(), "qa01"));
        EXPECT_FALSE(F_main->Table1->Active());
    }
};

}  // namespace importtest
