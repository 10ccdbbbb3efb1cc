// The check window in a fresh data folder, driven through the main window by the scripted user. Tests write
// their own small catalogue, rule, code and data tables: the data table "dat.db" (key code), its rule table
// "dat_chk.db" and the result table "dat_r.db", plus whatever a test adds.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "check/Check.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"
#include "support/ProgramTest.h"
#include "support/TableFiles.h"

namespace checktest {

using testsupport::MakeTable;
using testsupport::Number;
using testsupport::ReadTable;
using testsupport::Record;
using testsupport::Text;

// A catalogue step: report, check_name, field_name, field_name2, db_name, check_result, text1, text3, Text2.
using Step = std::vector<std::string>;

// A rule row: status, field_value, field_text, field_name, and for join rules disp_field, link, group.
struct Rule {
    Rule(std::string status_, std::string value_, std::string text_, std::string field_, std::string disp_ = {},
         std::string link_ = {}, std::string group_ = {})
        : status(std::move(status_)), value(std::move(value_)), text(std::move(text_)), field(std::move(field_)),
          disp(std::move(disp_)), link(std::move(link_)), group(std::move(group_))
    {
    }
    std::string status, value, text, field, disp, link, group;
};

class CheckTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        MakeTable("dat_r.db", ResultFields());
    }

    static std::vector<db::FieldDesc> ResultFields(const std::vector<db::FieldDesc>& extra = {})
    {
        std::vector<db::FieldDesc> f = {Text("编号", 10), Text("字段值", 10)};
        f.insert(f.end(), extra.begin(), extra.end());
        for (const auto& d : {Text("字段名", 10), Text("错误信息", 80), Text("状态", 4), Text("序号", 10)}) {
            f.push_back(d);
        }
        return f;
    }

    // The data table dat.db: code, name, val, val2, is_chge, code2.
    static void MakeData(const std::vector<std::vector<std::string>>& rows)
    {
        MakeTable("dat.db",
                  {Text("code", 10), Text("name", 20), Number("val"), Number("val2"), Text("is_chge", 1),
                   Text("code2", 4)},
                  rows);
    }

    static void MakeRules(const std::string& table, const std::vector<Rule>& rules)
    {
        std::vector<std::vector<std::string>> rows;
        for (const Rule& r : rules) {
            rows.push_back({r.status, r.value, r.text, "", r.field, r.disp, r.link, r.group});
        }
        MakeTable(table,
                  {Text("status", 4), Text("field_value", 255), Text("field_text", 80), Text("field_mask", 40),
                   Text("field_name", 40), Text("disp_field", 40), Text("link", 255), Text("group", 120)},
                  rows);
    }

    static void MakeCodes(const std::string& table, const std::vector<std::string>& codes)
    {
        std::vector<std::vector<std::string>> rows;
        for (const auto& c : codes) {
            rows.push_back({c});
        }
        MakeTable(table, {Text("code", 10)}, rows);
    }

    // Replaces the catalogue's rows.
    static void MakeCatalogue(const std::vector<Step>& steps)
    {
        std::vector<std::vector<std::string>> rows(steps.begin(), steps.end());
        MakeTable("check_db.DB",
                  {{"id", db::FieldType::Integer, 0, false}, Text("check_name", 20), Text("field_name", 60),
                   Text("field_name2", 60), Text("db_name", 80), Text("check_result", 20), Text("text1", 80),
                   Text("text3", 120), Text("Text2", 120)},
                  rows);
    }

    // Opens the check window for a report from the main window and acts in it; the window is closed after.
    void InCheck(int report, const std::function<void(TF_check&)>& act)
    {
        if (!F_main) {
            StartProgram();
        }
        ASSERT_TRUE(TScriptedUser::Choose(*F_main->RadioGroup1, report - 1));
        User().InModal("TF_check", [&](TForm& f) {
            act(static_cast<TF_check&>(f));
            f.Close();
        });
        ASSERT_TRUE(TScriptedUser::Press(*F_main->Button7));
    }

    // Opens the check window for a report, runs the check and returns the result table's rows.
    std::vector<Record> Run(int report, const std::string& result = "dat_r.db")
    {
        InCheck(report, [](TF_check& w) { EXPECT_TRUE(TScriptedUser::Press(*w.Button3)); });
        return ReadTable(result);
    }
};

}  // namespace checktest
