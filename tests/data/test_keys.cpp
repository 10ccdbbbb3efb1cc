// Every key and unique index of the report tables is enforced on the tables that come with the program: a
// duplicate primary key fails with exactly "Key violation.", a duplicate in a unique secondary index names
// that index (and no other), case-insensitive indexes ignore letter case, and the other indexes allow repeats.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "DataFolder.h"

namespace {

using Values = std::map<std::string, std::string>;

void Store(TTable& t, const Values& values)
{
    t.Append();
    for (const auto& [field, value] : values)
        t.FieldByName(field)->SetAsString(value);
    t.Post();
}

bool NamesWholeWord(const std::string& message, const std::string& name)
{
    return std::regex_search(message, std::regex("(^|[^A-Za-z0-9_])" + name + "($|[^A-Za-z0-9_])"));
}

TEST_F(DataFolderTest, KeysAndUniqueIndexesAreEnforced)
{
    struct Case {
        const char* what;
        const char* table;
        Values first, second;
        const char* violated;  // "" stored, "primary" the primary index, else the unique index named
    } cases[] = {
        {"enterprise id", "kfq_1.db", {{"Id", "100001"}, {"QA01", "100001"}, {"QA03", "11111111-1"}, {"QA04", "甲公司"}},
         {{"Id", "100001"}, {"QA01", "100002"}, {"QA03", "22222222-2"}, {"QA04", "乙公司"}}, "primary"},
        {"report number", "kfq_1.db", {{"Id", "100001"}, {"QA01", "100001"}, {"QA03", "11111111-1"}, {"QA04", "甲公司"}},
         {{"Id", "P10100001"}, {"QA01", "100001"}, {"QA03", "22222222-2"}, {"QA04", "乙公司"}}, "kfq_1"},
        {"report number in other case", "kfq_1.db", {{"Id", "a00001"}, {"QA01", "a00001"}, {"QA03", "1"}, {"QA04", "甲"}},
         {{"Id", "A00001"}, {"QA01", "A00001"}, {"QA03", "2"}, {"QA04", "乙"}}, "kfq_1"},
        {"legal-person code", "kfq_1.db", {{"Id", "100001"}, {"QA01", "100001"}, {"QA03", "11111111-x"}, {"QA04", "甲公司"}},
         {{"Id", "100002"}, {"QA01", "100002"}, {"QA03", "11111111-X"}, {"QA04", "乙公司"}}, "kfq_12"},
        {"enterprise name", "kfq_1.db", {{"Id", "100001"}, {"QA01", "100001"}, {"QA03", "1"}, {"QA04", "ABC科技有限公司"}},
         {{"Id", "100002"}, {"QA01", "100002"}, {"QA03", "2"}, {"QA04", "abc科技有限公司"}}, "kfq_13"},
        {"new enterprise", "kfq_1.db", {{"Id", "100001"}, {"QA01", "100001"}, {"QA03", "1"}, {"QA04", "甲"}},
         {{"Id", "100002"}, {"QA01", "100002"}, {"QA03", "2"}, {"QA04", "乙"}}, ""},
        {"product id", "kfq_2.db", {{"ID", "1000010001"}, {"QA01", "100001"}, {"QE01", "0001"}},
         {{"ID", "1000010001"}, {"QA01", "100002"}, {"QE01", "0002"}}, "primary"},
        {"product serial repeated", "kfq_2.db", {{"ID", "1000010001"}, {"QA01", "100001"}, {"QE01", "0001"}},
         {{"ID", "P011000010001"}, {"QA01", "100001"}, {"QE01", "0001"}}, ""},
        {"project id", "kfq_5.db", {{"Id", "1000010001"}, {"Qa01", "100001"}, {"Qh00", "0001"}},
         {{"Id", "1000010001"}, {"Qa01", "100001"}, {"Qh00", "0002"}}, "primary"},
        {"national project id", "gjxm.db", {{"Id", "110000001"}, {"JB00", "110000001"}, {"JB01", "甲项目"}},
         {{"Id", "110000001"}, {"JB00", "110000002"}, {"JB01", "乙项目"}}, "primary"},
        {"statistics number", "gjxm.db", {{"Id", "110000001"}, {"JB00", "11000000a"}, {"JB01", "甲项目"}},
         {{"Id", "110110000001"}, {"JB00", "11000000A"}, {"JB01", "乙项目"}}, "gjxm"},
        {"project name", "gjxm.db", {{"Id", "110000001"}, {"JB00", "110000001"}, {"JB01", "Web平台"}},
         {{"Id", "110000002"}, {"JB00", "110000002"}, {"JB01", "WEB平台"}}, "gjxm2"},
        {"institution id", "tzjg.db", {{"ID", "0001"}, {"code", "0001"}}, {{"ID", "0001"}, {"code", "0002"}}, "primary"},
        {"institution code repeated", "tzjg.db", {{"ID", "0001"}, {"code", "0001"}}, {{"ID", "P010001"}, {"code", "0001"}}, ""},
        {"industry base id", "tsjd.db", {{"Id", "110001"}, {"CODE", "110001"}}, {{"Id", "110001"}, {"CODE", "110002"}}, "primary"},
        {"provincial zone id", "sjgxq.db", {{"Id", "0001"}, {"Code", "0001"}}, {{"Id", "0001"}, {"Code", "0002"}}, "primary"},
        {"software base id", "rjjd.db", {{"Id", "0001"}, {"Code", "0001"}}, {{"Id", "0001"}, {"Code", "0002"}}, "primary"},
        {"software enterprise id", "rjjdqy.db", {{"Id", "00010001"}, {"Code", "0001"}, {"Code2", "0001"}},
         {{"Id", "00010001"}, {"Code", "0001"}, {"Code2", "0002"}}, "primary"},
        {"software product id", "rjjdqycp.db", {{"Id", "000100010001"}, {"Code", "0001"}},
         {{"Id", "000100010001"}, {"Code", "0002"}}, "primary"},
        {"science park id", "dx.db", {{"Id", "0001"}, {"CODE", "0001"}}, {{"Id", "0001"}, {"CODE", "0002"}}, "primary"},
        {"park enterprise id", "dxzfqy.db", {{"Id", "0001001"}, {"CODE", "0001"}, {"CODE2", "001"}},
         {{"Id", "0001001"}, {"CODE", "0001"}, {"CODE2", "002"}}, "primary"},
        {"park project id", "dxxm.db", {{"Id", "00010001"}, {"Code", "0001"}}, {{"Id", "00010001"}, {"Code", "0002"}}, "primary"},
        {"incubator id", "fhq.db", {{"Id", "0001"}, {"CODE", "0001"}}, {{"Id", "0001"}, {"CODE", "0002"}}, "primary"},
        {"incubator code repeated", "fhq.db", {{"Id", "0001"}, {"CODE", "0001"}}, {{"Id", "P010001"}, {"CODE", "0001"}}, ""},
        {"incubated enterprise id", "fhqzfqy.db", {{"Id", "00010001"}, {"CODE", "0001"}, {"CODE2", "0001"}},
         {{"Id", "00010001"}, {"CODE", "0001"}, {"CODE2", "0002"}}, "primary"},
        {"zone overview has no key", "kfqzh.db", {{"KA01", "某高新区"}}, {{"KA01", "某高新区"}}, ""},
        {"unreported list has no key", "gj_wsb.db", {{"JB00", "110000001"}}, {{"JB00", "110000001"}}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto t = Open(c.table);
        t->EmptyTable();
        Store(*t, c.first);
        std::string message;
        try {
            Store(*t, c.second);
        } catch (const EDatabaseError& e) {
            message = e.Message;
            t->Cancel();
        }
        const std::string violated = c.violated;
        if (violated.empty()) {
            EXPECT_EQ(message, "");
            EXPECT_EQ(t->RecordCount(), 2);
        } else if (violated == "primary") {
            EXPECT_EQ(message, "Key violation.");
            EXPECT_EQ(t->RecordCount(), 1);
        } else {
            EXPECT_TRUE(NamesWholeWord(message, violated)) << message;
            for (const auto& ix : t->Schema().indexes) {
                if (!ix.primary && ix.name != violated) {
                    EXPECT_FALSE(NamesWholeWord(message, ix.name)) << message;
                }
            }
            EXPECT_EQ(t->RecordCount(), 1);
        }
    }
}

}  // namespace
