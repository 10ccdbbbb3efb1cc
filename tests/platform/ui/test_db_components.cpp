// The engine's objects declared in a description: tables, queries, data sources and the database get their
// settings, references between them are checked by class, and their events reach the window's handlers.
#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/ProbeWindow.h"
#include "support/ScriptedTest.h"

namespace {

class DbComponents : public testsupport::ScriptedTest {
protected:
    void SetUp() override
    {
        ScriptedTest::SetUp();
        EnterFolder(Base());
        TTable t;
        t.SetTableName("kfq_1.db");
        t.FieldDefs.Add("QA01", db::FieldType::String, 6);
        t.FieldDefs.Add("Id", db::FieldType::String, 9);
        t.CreateTable();
        TTable d;
        d.SetTableName("kfq_2.db");
        d.FieldDefs.Add("QA01", db::FieldType::String, 6);
        d.FieldDefs.Add("QE01", db::FieldType::String, 4);
        d.CreateTable();
    }
    std::unique_ptr<TF_probe> Make(const std::string& body)
    {
        auto f = std::make_unique<TF_probe>(nullptr);
        f->Load(body);
        return f;
    }
};

const char* kTables =
    "  object Database1: TDatabase\n    Connected = True\n    DatabaseName = '.'\n    DriverName = 'STANDARD'\n  end\n"
    "  object Table2: TTable\n    TableName = 'kfq_2.db'\n    MasterSource = DataSource1\n    MasterFields = 'QA01'\n"
    "    Active = True\n  end\n"
    "  object Table1: TTable\n    TableName = 'kfq_1.db'\n    IndexFieldNames = 'Id'\n    Active = True\n"
    "    BeforePost = DataSetEvent\n    AfterPost = DataSetEvent\n  end\n"
    "  object DataSource1: TDataSource\n    DataSet = Table1\n    OnStateChange = SourceState\n  end\n"
    "  object Query1: TQuery\n    SQL.Strings = (\n      'select * from \"kfq_1.db\"'\n      'where QA01 is not null')\n  end\n";

TEST_F(DbComponents, AreConfiguredLinkedAndBoundToHandlers)
{
    auto f = Make(kTables);
    TTable* t1 = f->Get<TTable>("Table1");
    TTable* t2 = f->Get<TTable>("Table2");
    TDataSource* ds = f->Get<TDataSource>("DataSource1");
    EXPECT_TRUE(f->Get<TDatabase>("Database1")->Connected());
    EXPECT_TRUE(t1->Active());
    EXPECT_TRUE(t2->Active());  // opened after its master source existed
    EXPECT_EQ(t1->Name, "Table1");
    EXPECT_EQ(ds->Name, "DataSource1");
    EXPECT_EQ(t1->IndexFieldNames(), "Id");
    EXPECT_EQ(t2->MasterSource(), ds);
    EXPECT_EQ(t2->MasterFields(), "QA01");
    EXPECT_EQ(ds->DataSet(), t1);
    EXPECT_EQ(f->Get<TQuery>("Query1")->SQL.Count(), 2);
    EXPECT_THROW(f->Get<TQuery>("Table1"), Exception);

    f->log.clear();
    t1->Append();
    t1->FieldByName("QA01")->SetAsString("000001");
    t1->Post();
    // Insert state, the store, browse state, then the after-post event.
    EXPECT_EQ(f->log, (std::vector<std::string>{"state DataSource1", "dataset Table1", "state DataSource1",
                                                "dataset Table1"}));
}

struct Fault {
    const char* body;
    const char* message;
};
void PrintTo(const Fault& c, std::ostream* os) { *os << c.message; }

class DbComponentFaults : public DbComponents, public testing::WithParamInterface<Fault> {};

TEST_P(DbComponentFaults, AreReportedWithTheirPlace)
{
    try {
        Make(GetParam().body);
        FAIL() << "loaded";
    } catch (const EFormError& e) {
        EXPECT_NE(e.Message.find(GetParam().message), std::string::npos) << e.Message;
        EXPECT_EQ(e.Message.rfind("TF_probe.form:", 0), 0u) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DbComponentFaults,
    testing::Values(
        Fault{"  object Table1: TTable\n  end\n  object Table2: TTable\n    MasterSource = Table1\n  end\n",
              "expects a TDataSource, 'Table1' is a TTable"},
        Fault{"  object B: TButton\n  end\n  object DataSource1: TDataSource\n    DataSet = B\n  end\n",
              "DataSet must name a TTable or TQuery"},
        Fault{"  object Table1: TTable\n    AfterPost = Clicked\n  end\n", "does not fit event AfterPost"},
        Fault{"  object Table1: TTable\n    TableName = 'missing.db'\n    Active = True\n  end\n", "2:3: "},
        Fault{"  object Table1: TTable\n    object B: TButton\n    end\n  end\n", "'Table1' (TTable) cannot hold components"}));

}  // namespace
