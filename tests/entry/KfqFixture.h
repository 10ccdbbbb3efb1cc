// The enterprise window in a fresh data folder, opened from the main window as "数据录入" opens it, with
// helpers that write the small fixture rows before the window opens and read the tables back afterwards.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/Main.h"
#include "entry/Kfq.h"
#include "support/ProgramTest.h"

namespace entrytest {

using Values = std::vector<std::pair<std::string, std::string>>;

class KfqTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        // The tests write the few rule rows they need, unless they work with the rules that come with the program.
        for (const char* rules : {"kfq1_chk.db", "kfq2_chk.db", "kfq5_chk.db"}) {
            if (ShippedRules()) {
                break;
            }
            TTable t;
            t.SetTableName(rules);
            t.EmptyTable();
        }
        StartProgram();
    }

    virtual bool ShippedRules() const { return false; }

public:
    static void AddRow(const std::string& table, const Values& values)
    {
        TTable t;
        t.SetTableName(table);
        t.Open();
        t.Append();
        for (const auto& [field, value] : values) {
            t.FieldByName(field)->SetAsString(value);
        }
        t.Post();
        t.Close();
    }
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

    // The given fields of every row, in the table's primary order, each row joined by '|'.
    static std::vector<std::string> Rows(const std::string& table, const std::vector<std::string>& fields)
    {
        TTable t;
        t.SetTableName(table);
        t.Open();
        std::vector<std::string> out;
        for (t.First(); !t.Eof(); t.Next()) {
            std::string row;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                row += (i ? "|" : "") + t.FieldByName(fields[i])->AsString();
            }
            out.push_back(row);
        }
        return out;
    }

protected:
    // Opens the window for a report item and runs act in it; the window is then left with "返回" unless act
    // closed it.
    void InKfq(const std::function<void(TF_kfq&)>& act, int item = 0)
    {
        User().InModal("TF_kfq", [act](TForm& f) {
            auto& k = dynamic_cast<TF_kfq&>(f);
            act(k);
            if (!k.ModalDone()) {
                EXPECT_TRUE(TScriptedUser::Press(*k.ToolButton10));
            }
        });
        ASSERT_TRUE(TScriptedUser::Choose(*F_main->RadioGroup1, item));
        ASSERT_TRUE(TScriptedUser::Press(*F_main->Button1));
    }

    TScriptedUser& Expect(const std::string& caption, const std::string& text, int answer = IDOK)
    {
        return User().ExpectMessage(caption, text, answer);
    }

    // The framework's error box, captioned with the application's title.
    TScriptedUser& ExpectError(const std::string& text) { return User().ExpectMessage(Application->Title, text); }

    // The edit of a master field on the window's pages.
    static TDBEdit* EditOf(TF_kfq& k, const std::string& field)
    {
        for (int i = 0; i < k.ComponentCount(); ++i) {
            if (auto* e = dynamic_cast<TDBEdit*>(k.Components(i)); e && SameName(e->DataField(), field)) {
                return e;
            }
        }
        ADD_FAILURE() << "no edit for " << field;
        return nullptr;
    }
    static bool TypeInto(TF_kfq& k, const std::string& field, const std::string& text)
    {
        TDBEdit* e = EditOf(k, field);
        return e != nullptr && TScriptedUser::Type(*e, text);
    }
    // Picks a page by its component name, as the user clicks its tab.
    static bool ShowPage(TF_kfq& k, const std::string& sheet)
    {
        for (int i = 0; i < k.PageControl1->PageCount(); ++i) {
            if (SameName(k.PageControl1->Pages(i)->Name(), sheet)) {
                return TScriptedUser::Choose(*k.PageControl1, i);
            }
        }
        return false;
    }
    static std::string Page(TF_kfq& k) { return k.PageControl1->ActivePage()->Name(); }
    static std::vector<std::string> VisiblePages(TF_kfq& k)
    {
        std::vector<std::string> out;
        for (int i = 0; i < k.PageControl1->PageCount(); ++i) {
            if (k.PageControl1->Pages(i)->TabVisible()) {
                out.push_back(k.PageControl1->Pages(i)->Name());
            }
        }
        return out;
    }
    static bool Press(TControl* c) { return TScriptedUser::Press(*c); }
};

}  // namespace entrytest
