// The table helpers: empty numbers become 0 and nothing else is touched; packing a table reclaims the space of
// deleted rows, and a table that is missing or open is left alone without a word.
#include <gtest/gtest.h>

#include <filesystem>

#include "KfqFixture.h"
#include "entry/TableHelpers.h"

namespace {

using TableHelpers = entrytest::KfqTest;

TEST_F(TableHelpers, ZeroNullNumericFieldsSetsOnlyEmptyNumbers)
{
    TTable t;
    t.SetTableName("kfq_1.db");
    t.Open();
    t.Append();
    t.FieldByName("Id")->SetAsString("100001");
    t.FieldByName("QA01")->SetAsString("100001");
    t.FieldByName("QC04")->SetAsFloat(2.5);
    ZeroNullNumericFields(&t);
    t.Post();
    EXPECT_EQ(t.FieldByName("QC02")->AsString(), "0");      // float
    EXPECT_EQ(t.FieldByName("Qa_one")->AsString(), "0");    // small integer
    EXPECT_EQ(t.FieldByName("QC04")->AsString(), "2.5");    // kept
    EXPECT_TRUE(t.FieldByName("QA04")->IsNull());           // text
    EXPECT_TRUE(t.FieldByName("QA12")->IsNull());           // date
}

TEST_F(TableHelpers, PackShrinksAClosedTableAndLeavesOthersAlone)
{
    {
        TTable t;
        t.SetTableName("kfq_5.db");
        t.Open();
        for (int i = 0; i < 300; ++i) {
            t.Append();
            t.FieldByName("Id")->SetAsString("100001" + std::to_string(1000 + i));
            t.FieldByName("Xmmc")->SetAsString(std::string(40, 'x'));
            t.Post();
        }
        while (!t.IsEmpty()) {
            t.Delete();
        }
        t.FlushBuffers();
    }
    const auto full = std::filesystem::file_size("kfq_5.db");
    PackParadoxTable(F_main->Database1->Handle(), "kfq_5.db");
    EXPECT_LT(std::filesystem::file_size("kfq_5.db"), full / 2);

    const auto never = std::filesystem::file_size("kfq_2.db");
    PackParadoxTable(F_main->Database1->Handle(), "kfq_2.db");  // never modified
    EXPECT_LE(std::filesystem::file_size("kfq_2.db"), never);
    EXPECT_TRUE(Rows("kfq_2.db", {"ID"}).empty());

    PackParadoxTable(F_main->Database1->Handle(), "no_such.db");
    EXPECT_FALSE(std::filesystem::exists("no_such.db"));
}

}  // namespace
