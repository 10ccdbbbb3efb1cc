// The enterprise window with the rule tables that come with the program: their conditions become constraints
// that a valid enterprise meets and a wrong value breaks, and their masks shape the edits.
#include <gtest/gtest.h>

#include "KfqFixture.h"

namespace {

class KfqShippedRules : public entrytest::KfqTest {
protected:
    bool ShippedRules() const override { return true; }
};

TEST_F(KfqShippedRules, AcceptAValidEnterpriseAndRefuseANegativeOutput)
{
    InKfq([this](TF_kfq& k) {
        EXPECT_GT(k.Table1->Constraints.Count(), 0);
        EXPECT_FALSE(k.Table1->FieldByName("QA01")->EditMask.empty());
        ASSERT_TRUE(Press(k.ToolButton5));
        ASSERT_TRUE(TypeInto(k, "QA01", "100001"));
        ASSERT_TRUE(TypeInto(k, "QA04", "北京某某科技有限公司"));
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_EQ(k.Table1->State(), TDataSetState::dsBrowse);
        ASSERT_TRUE(ShowPage(k, "TabSheet3"));
        ASSERT_TRUE(TypeInto(k, "QC02", "-5"));
        User().ExpectMessageContaining(Application->Title, "企业数据错误:工业总产值");
        ASSERT_TRUE(Press(k.ToolButton7));
        EXPECT_EQ(k.Table1->State(), TDataSetState::dsEdit);
        User().ExpectMessage("提示", "是否放弃当前记录的修改", IDYES);
        ASSERT_TRUE(Press(k.ToolButton8));
    });
    EXPECT_EQ(Rows("kfq_1.db", {"Id", "QA01", "QC02", "Qa_one"}), std::vector<std::string>{"100001|100001|0|1"});
}

}  // namespace
