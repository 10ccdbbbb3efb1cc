// The enterprise window in a fresh data folder, opened from the main window as "数据录入" opens it, with
// helpers that write enterprises, products and projects before the window opens.
#pragma once

#include "EntryFixture.h"
#include "entry/Kfq.h"

namespace entrytest {

class KfqTest : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        // The tests write the few rule rows they need, unless they work with the rules that come with the program.
        if (!ShippedRules()) {
            EmptyTables({"kfq1_chk.db", "kfq2_chk.db", "kfq5_chk.db"});
        }
        StartProgram();
    }

    virtual bool ShippedRules() const { return false; }

public:
    static void AddEnterprise(const std::string& code, const std::string& legal = {}, const std::string& name = {})
    {
        AddRow("kfq_1.db", {{"Id", code}, {"QA01", code}, {"QA03", legal.empty() ? "L" + code : legal},
                            {"QA04", name.empty() ? "企业" + code : name}, {"Qa_one", "1"}});
    }
    static void AddProduct(const std::string& code, const std::string& serial)
    {
        AddRow("kfq_2.db", {{"ID", code + serial}, {"QA01", code}, {"QE01", serial}, {"QE02", "产品" + serial}});
    }
    static void AddProject(const std::string& code, const std::string& serial)
    {
        AddRow("kfq_5.db", {{"Id", code + serial}, {"Qa01", code}, {"Qh00", serial}, {"Xmmc", "项目" + serial}});
    }

protected:
    // Opens the window for a report item and runs act in it; the window is then left with "返回" unless act
    // closed it.
    void InKfq(const std::function<void(TF_kfq&)>& act, int item = 0) { InWindow<TF_kfq>("TF_kfq", item, act); }
};

}  // namespace entrytest
