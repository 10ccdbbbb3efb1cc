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

namespace importtest {

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
