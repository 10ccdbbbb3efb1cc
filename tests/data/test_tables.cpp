// The tables that come with the program, opened by the engine in a fresh data folder: every table as described,
// the fields and indexes that the windows rely on, and a check catalogue, print list and query dictionary
// whose every reference names a table that exists.
#include <gtest/gtest.h>

#include <set>

#include "DataFolder.h"

using T = db::FieldType;

namespace {

std::string Text(const TTable& t, const std::string& field)
{
    return t.FieldByName(field)->AsString();
}

std::vector<std::string> FieldNames(const TTable& t)
{
    std::vector<std::string> out;
    for (const auto& f : t.Schema().fields)
        out.push_back(f.name);
    return out;
}

TEST_F(DataFolderTest, EveryTableOpensAsDescribed)
{
    for (const auto& path : Descriptions()) {
        const auto d = db::datatext::ParseFile(path.string());
        SCOPED_TRACE(d.tableName);
        auto t = Open(d.tableName);
        const auto& s = t->Schema();
        ASSERT_EQ(s.fields.size(), d.schema.fields.size());
        for (std::size_t i = 0; i < s.fields.size(); ++i) {
            EXPECT_EQ(s.fields[i].name, d.schema.fields[i].name);
            EXPECT_EQ(s.fields[i].type, d.schema.fields[i].type) << d.schema.fields[i].name;
            if (d.schema.fields[i].type == T::String && !d.tableName.ends_with(".dbf")) {
                EXPECT_EQ(s.fields[i].size, d.schema.fields[i].size) << d.schema.fields[i].name;
            }
        }
        if (!d.tableName.ends_with(".dbf")) {
            EXPECT_EQ(s.indexes, d.schema.indexes);
        }
        EXPECT_EQ(t->RecordCount(), static_cast<int>(d.rows.size()));
    }
}

// The fields that keys, record identities, imports and batch moves count on, as the reports give them.
TEST_F(DataFolderTest, KeyAndIdentityFieldsHaveTheirTypesAndSizes)
{
    struct Case {
        const char* table;
        const char* field;
        T type;
        int size;
    } cases[] = {
        {"kfq_1.db", "QA01", T::String, 6},    {"kfq_1.db", "QA03", T::String, 10},   {"kfq_1.db", "QA04", T::String, 100},
        {"kfq_1.db", "Id", T::String, 9},      {"kfq_1.db", "Qa_one", T::Smallint, 0}, {"kfq_1.db", "Pxh", T::String, 3},
        {"kfq_1.db", "QA12", T::Date, 0},      {"kfq_1.db", "QC05", T::Float, 0},     {"kfq_2.db", "ID", T::String, 13},
        {"kfq_2.db", "QE01", T::String, 4},    {"kfq_2.db", "QE_ONE", T::Float, 0},   {"kfq_5.db", "Id", T::String, 13},
        {"kfq_5.db", "Qh00", T::String, 4},    {"kfq_5.db", "Qh_one", T::Float, 0},   {"gjxm.db", "JB00", T::String, 9},
        {"gjxm.db", "JB01", T::String, 60},    {"gjxm.db", "Id", T::String, 12},      {"gjxm.db", "IS_CHGE", T::String, 1},
        {"gjxm.db", "GJ_ONE", T::Smallint, 0}, {"gj_wsb.db", "JB01", T::String, 46},  {"tzjg.db", "ID", T::String, 7},
        {"tsjd.db", "CODE", T::String, 6},     {"tsjd.db", "Id", T::String, 9},       {"sjgxq.db", "Bz", T::Memo, 0},
        {"rjjd.db", "Id", T::String, 7},       {"rjjdqy.db", "Id", T::String, 11},    {"rjjdqycp.db", "Id", T::String, 15},
        {"dx.db", "dx_one", T::Float, 0},      {"dxzfqy.db", "CODE2", T::String, 3},  {"dxzfqy.db", "Id", T::String, 10},
        {"dxxm.db", "dxxm_one", T::Smallint, 0}, {"fhq.db", "FHQ_ONE", T::Smallint, 0}, {"fhqzfqy.db", "Id", T::String, 11},
        {"bt_p.db", "表头文字", T::String, 255}, {"bt_p.db", "列宽度", T::Smallint, 0}, {"check_pt.db", "Text", T::String, 80},
        {"mailbox.db", "日期", T::String, 20}, {"mailbox.db", "内容", T::Memo, 0},    {"mailinit.db", "Smtp_p", T::String, 10},
        {"kfq4hz.db", "认定数", T::Integer, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.field);
        auto t = Open(c.table);
        const TField* f = t->FindField(c.field);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->FieldName(), c.field);  // as written, case included
        EXPECT_EQ(f->DataType(), c.type);
        EXPECT_EQ(f->Size(), c.size);
    }
}

// An identity is the three-character prefix followed by the key fields: the Id field must hold all of them.
TEST_F(DataFolderTest, IdentitiesHoldPrefixAndKey)
{
    struct Case {
        const char* table;
        const char* id;
        std::vector<std::string> key;
    } cases[] = {
        {"kfq_1.db", "Id", {"QA01"}},           {"kfq_2.db", "ID", {"QA01", "QE01"}},
        {"kfq_5.db", "Id", {"Qa01", "Qh00"}},   {"gjxm.db", "Id", {"JB00"}},
        {"tzjg.db", "ID", {"code"}},            {"tsjd.db", "Id", {"CODE"}},
        {"sjgxq.db", "Id", {"Code"}},           {"rjjd.db", "Id", {"Code"}},
        {"rjjdqy.db", "Id", {"Code", "Code2"}}, {"rjjdqycp.db", "Id", {"Code", "Code2", "Code3"}},
        {"dx.db", "Id", {"CODE"}},              {"dxzfqy.db", "Id", {"CODE", "CODE2"}},
        {"dxxm.db", "Id", {"Code", "Code2"}},   {"fhq.db", "Id", {"CODE"}},
        {"fhqzfqy.db", "Id", {"CODE", "CODE2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        auto t = Open(c.table);
        int size = 3;
        for (const auto& k : c.key)
            size += t->FieldByName(k)->Size();
        EXPECT_EQ(t->FieldByName(c.id)->Size(), size);
        ASSERT_NE(t->Schema().primaryIndex(), nullptr);
        EXPECT_EQ(t->Schema().primaryIndex()->fields, std::vector<std::string>{c.id});
    }
}

// Tables that receive rows by position: their leading fields in order.
TEST_F(DataFolderTest, BatchMoveTargetsHaveTheirColumnsInOrder)
{
    const std::vector<std::string> result = {"编号", "字段值", "字段名", "错误信息", "状态", "序号"};
    const std::vector<std::string> withKind = {"编号", "字段值", "is_chge", "字段名", "错误信息", "状态", "序号"};
    const std::vector<std::string> withDetail = {"编号", "字段值", "code2", "字段名", "错误信息", "状态", "序号"};
    struct Case {
        const char* table;
        std::vector<std::string> fields;
    } cases[] = {
        {"kfq_r.db", result},
        {"kfqzh_r.db", result},
        {"kfqzh3_r.db", result},
        {"tsjd_r.db", result},
        {"gjxm_r.db", withKind},
        {"rjjd_r.db", withDetail},
        {"dx_r.db", withDetail},
        {"fhq_r.db", withDetail},
        {"tmp_r.DB", {"编号", "字段值", "is_chge", "code2"}},
        {"gj_wsb.db", {"JB00", "JB01", "JB02", "YY"}},
        {"bhcl.DB", {"原报表编号", "修改后编号", "法人代码", "企业名称"}},
        {"kfq1_chk.db", {"status", "field_value", "field_text", "field_mask", "field_name", "disp_field", "link", "group"}},
        {"mailbox.db", {"发件人", "日期", "长度", "内容", "附件"}},
        {"mailinit.db", {"Smtp_s", "Smtp_u", "Smtp_p", "Pop3_s", "Pop3_u", "Pop3_p", "Address", "Name"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        EXPECT_EQ(FieldNames(*Open(c.table)), c.fields);
    }
}

// The report tables list their page fields in page order: spot checks at page boundaries and the hidden fields.
TEST_F(DataFolderTest, ReportTablesKeepThePageOrder)
{
    struct Case {
        const char* table;
        int position;
        const char* field;
    } cases[] = {
        {"kfq_1.db", 0, "QA01"},     {"kfq_1.db", 16, "QA14"},   {"kfq_1.db", 17, "QB02"},  {"kfq_1.db", 199, "Qj80"},
        {"kfq_1.db", 200, "Id"},     {"kfq_2.db", 0, "QE01"},    {"kfq_2.db", 16, "ID"},    {"kfq_5.db", 0, "Qh00"},
        {"gjxm.db", 0, "JB00"},      {"gjxm.db", 81, "Id"},      {"tzjg.db", 0, "code"},    {"sjgxq.db", 27, "Bz"},
        {"rjjdqycp.db", 0, "Code3"}, {"fhqzfqy.db", 2, "TDF730"}, {"kfqzh.db", 0, "KA01"},   {"dxzfqy.db", 0, "CODE2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.field);
        const auto names = FieldNames(*Open(c.table));
        ASSERT_GT(names.size(), static_cast<std::size_t>(c.position));
        EXPECT_EQ(names[static_cast<std::size_t>(c.position)], c.field);
    }
}

// Every table that the check catalogue, the print list and the query dictionary name exists, and each report
// that has a check has its result table named once, on its first catalogue record.
TEST_F(DataFolderTest, CatalogueListsAndDictionariesNameExistingTables)
{
    auto catalogue = Open("check_db.DB");
    std::set<int> reports;
    for (catalogue->First(); !catalogue->Eof(); catalogue->Next()) {
        const int report = static_cast<int>(catalogue->FieldByName("id")->AsInteger());
        const std::string rules = Text(*catalogue, "check_name");
        std::string data = Text(*catalogue, "db_name");
        SCOPED_TRACE(std::to_string(report) + " " + rules);
        EXPECT_TRUE(Exists(rules + ".db"));
        ASSERT_FALSE(data.empty());
        // A join step names two tables, each followed by its closing quote and alias: a.db" a,b.db" b.
        std::vector<std::string> files;
        if (data.find(',') != std::string::npos) {
            for (const std::string& side : {data.substr(0, data.find(',')), data.substr(data.find(',') + 1)}) {
                ASSERT_NE(side.find('"'), std::string::npos) << data;
                files.push_back(side.substr(0, side.find('"')));
            }
        } else {
            EXPECT_TRUE(data.back() == '"' || data.back() == ';');
            data.pop_back();
            if (data.back() == '"')
                data.pop_back();
            files.push_back(data);
        }
        for (const std::string& file : files)
            EXPECT_TRUE(Exists(file)) << file;
        if (reports.insert(report).second) {
            const std::string result = Text(*catalogue, "check_result");
            EXPECT_TRUE(Exists(result)) << result;
            EXPECT_FALSE(Text(*catalogue, "text1").empty());
        }
    }
    EXPECT_EQ(reports, (std::set<int>{1, 3, 4, 6, 7, 8, 9, 10, 11}));

    const std::set<std::string> keys = {"xmdcb", "gjwsb", "gjhz", "dfwsb", "dfhz", "kfqhz",
                                        "dqy",   "gyqy",  "fwqy", "rjqyhz", "shqy"};
    auto list = Open("rept_db.db");
    for (list->First(); !list->Eof(); list->Next()) {
        const std::string p = Text(*list, "report_p");
        EXPECT_TRUE(keys.count(p) || Exists(p)) << p;
    }

    auto query = Open("query_db.db");
    EXPECT_GT(query->RecordCount(), 0);
    for (query->First(); !query->Eof(); query->Next()) {
        const std::string dict = Text(*query, "db_name");
        SCOPED_TRACE(dict);
        ASSERT_TRUE(Exists(dict));
        EXPECT_EQ(FieldNames(*Open(dict)), (std::vector<std::string>{"db_name", "field_name", "field_type", "field_text"}));
    }
}

}  // namespace
