// ImportTable on its own, behind a small host that stands in for a window: the single-table windows' keys
// (code, with or without Pxh), the order given back afterwards, and the host's state during and after an
// import that succeeds or that a failing row ends.
#include <gtest/gtest.h>

#include <memory>

#include "entry/Import.h"
#include "platform/ui/ProgressBar.h"
#include "platform/ui/StatusBar.h"
#include "support/ProgramTest.h"

namespace {

// Records what the import asks of its window.
class TestHost : public ImportHost {
public:
    TestHost() : bar(std::make_unique<TProgressBar>(nullptr)), status(std::make_unique<TStatusBar>(nullptr))
    {
        status->SetBounds(0, 300, 400, 20);
        bar->SetVisible(false);
    }
    TTable* ImportTarget() override { return &target; }
    TProgressBar* ImportProgress() override { return bar.get(); }
    TStatusBar* ImportStatusBar() override { return status.get(); }
    void SetCascadeEnabled(bool on) override
    {
        cascade = on;
        log.push_back(on ? "cascade on" : "cascade off");
    }
    void SetImportCursor(TCursor c) override { log.push_back(c == crHourGlass ? "hourglass" : "arrow"); }

    TTable target;
    std::unique_ptr<TProgressBar> bar;
    std::unique_ptr<TStatusBar> status;
    bool cascade = true;
    std::vector<std::string> log;
};

struct HostCase {
    const char* name;
    const char* table;
    const char* countingField;
    const char* index;
    bool writesPxh;
    std::vector<std::string> ids;  // Id of the held row updated and of the new one
};
void PrintTo(const HostCase& c, std::ostream* os) { *os << c.name; }

class ImportTableAlone : public testsupport::ProgramTest, public testing::WithParamInterface<HostCase> {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        StartProgram();
        IdPrefix = "9";  // shows which windows write Pxh
        hostPtr = std::make_unique<TestHost>();
        const HostCase& c = GetParam();
        position.keyFields = {"code"};
        position.countingField = c.countingField;
        position.keyIndex = c.index;
        position.restoreIndexFieldNames = "code";
        position.writesPxh = c.writesPxh;
        host().target.SetTableName(c.table);
        host().target.SetIndexFieldNames("id");
    }

    // A submitted table of the target's fields, the name field widened so that a row can be too long.
    std::string Source(const std::vector<std::pair<std::string, std::string>>& rows)
    {
        TTable model;
        model.SetTableName(GetParam().table);
        model.Open();
        TTable s;
        s.SetTableName((base_ / "source.db").string());
        s.FieldDefs.Add("code", TFieldType::String, 4);
        s.FieldDefs.Add(NameField(), TFieldType::String, 100);
        model.Close();
        s.CreateTable();
        s.Open();
        for (const auto& [code, name] : rows) {
            s.Append();
            s.FieldByName("code")->SetAsString(code);
            s.FieldByName(NameField())->SetAsString(name);
            s.Post();
        }
        s.Close();
        return s.TableName();
    }
    static std::string NameField() { return SameName(GetParam().table, "tzjg.db") ? "KZ00" : "Mc"; }

    std::vector<std::string> Held()
    {
        TTable t;
        t.SetTableName(GetParam().table);
        t.Open();
        std::vector<std::string> out;
        for (t.First(); !t.Eof(); t.Next()) {
            out.push_back(t.FieldByName("Id")->AsString() + "|" + t.FieldByName(NameField())->AsString() + "|" +
                          t.FieldByName(GetParam().countingField)->AsString());
        }
        return out;
    }

    void ExpectRestored()
    {
        EXPECT_TRUE(host().cascade);
        EXPECT_FALSE(host().target.ConstraintsDisabled());
        EXPECT_EQ(host().target.IndexName(), "");
        EXPECT_EQ(host().target.IndexFieldNames(), "code");
        EXPECT_EQ(host().target.State(), TDataSetState::dsBrowse);
        EXPECT_FALSE(host().bar->Visible());
        EXPECT_FALSE(F_main->Table1->Active());
        EXPECT_EQ(host().log, (std::vector<std::string>{"hourglass", "cascade off", "cascade on", "arrow"}));
    }

    void TearDown() override
    {
        IdPrefix.clear();
        hostPtr.reset();
        ProgramTest::TearDown();
    }

    ImportPosition position;
    std::unique_ptr<TestHost> hostPtr;
    TestHost& host() { return *hostPtr; }
};

TEST_P(ImportTableAlone, MergesByCodeAndGivesTheWindowItsStateBack)
{
    host().target.Open();
    host().target.Append();
    host().target.FieldByName("code")->SetAsString("0001");
    host().target.FieldByName("Id")->SetAsString("0001");
    host().target.FieldByName(NameField())->SetAsString("旧名称");
    host().target.Post();
    F_main->Table1->SetTableName(Source({{"0001", "新名称"}, {"0002", "新机构"}}));
    ImportTable(host(), position);
    ExpectRestored();
    EXPECT_EQ(host().bar->Max(), 2);
    EXPECT_EQ(host().bar->Position(), 2);
    EXPECT_EQ(host().bar->Top(), host().status->Top());
    EXPECT_EQ(host().bar->Width(), host().status->Width());
    EXPECT_EQ(host().target.RecNo(), 1);
    host().target.Close();
    EXPECT_EQ(Held(), (std::vector<std::string>{GetParam().ids[0] + "|新名称|1", GetParam().ids[1] + "|新机构|1"}));
}

TEST_P(ImportTableAlone, ARowThatCannotBeStoredEndsTheImportKeepingEarlierRows)
{
    host().target.Open();
    F_main->Table1->SetTableName(Source({{"0001", "甲"}, {"0002", std::string(70, 'x')}, {"0003", "丙"}}));
    EXPECT_THROW(ImportTable(host(), position), Exception);
    ExpectRestored();
    host().target.Close();
    EXPECT_EQ(Held(), std::vector<std::string>{GetParam().ids[0] + "|甲|1"});
}

TEST_P(ImportTableAlone, AnEmptySourceShowsAndHidesTheBar)
{
    host().target.Open();
    F_main->Table1->SetTableName(Source({}));
    ImportTable(host(), position);
    ExpectRestored();
    EXPECT_EQ(host().bar->Max(), 0);
    EXPECT_EQ(host().target.RecordCount(), 0);
}

// A row filter (the projects' kind, for example) leaves out the rows whose field is null; the others merge.
TEST_P(ImportTableAlone, ARowFilterLeavesOutRowsWithoutItsField)
{
    host().target.Open();
    position.requiredField = NameField();
    F_main->Table1->SetTableName(Source({{"0001", "甲"}, {"0002", ""}, {"0003", "丙"}}));
    ImportTable(host(), position);
    ExpectRestored();
    host().target.Close();
    const std::string prefix = GetParam().writesPxh ? "9" : "";
    EXPECT_EQ(Held(), (std::vector<std::string>{prefix + "0001|甲|1", prefix + "0003|丙|1"}));
}

INSTANTIATE_TEST_SUITE_P(Windows, ImportTableAlone,
                         testing::Values(HostCase{"WithPxh", "tzjg.db", "tzjg_one", "tzjg", true, {"90001", "90002"}},
                                         HostCase{"WithoutPxh", "sjgxq.db", "Sjgxq_one", "sjgxq", false,
                                                  {"0001", "0002"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
