// The national project list of a region end to end: a list written by our dBase writer and one written by a
// small python writer give the same merge (update by statistics number without regard to case, append, empty
// numbers 0, kept fields, id and counting field, rows without jb00 skipped and named, other regions left
// alone); emptying first; a refused row (a repeated project name) that leaves the table whole, emptying
// included; a missing, broken or unsuitable list refused before the question; the send list cleared.
#include <gtest/gtest.h>

#include "MaintenanceFixture.h"
#include "exchange/RegionList.h"
#include "platform/db/Dbf.h"

namespace maintenancetest {
namespace {

using testsupport::Record;

constexpr const char* kEmptyQuestion = "是否清空国家级项目数据库";

// A list row: pxh, jb00, jb01, jc100, jbsj ("" for null).
using ListRow = std::array<const char*, 5>;

const std::vector<ListRow> kList = {
    {"110", "A001", "项目甲", "12.5", "2009-03-01"},
    {"120", "B001", "项目乙", "3", ""},
    {"110", "A002", "项目丙", "", ""},
    {"110", "", "项目丁", "1", ""},
    {"110", "A003", "项目戊", "7", ""},
    {"11", "A004", "项目己", "1", ""},
};

// The fields of gjxm.db that tell what a merge did, one line per record in id order.
std::vector<std::string> Projects()
{
    std::vector<std::string> out;
    for (const auto& r : testsupport::ReadTable("gjxm.db")) {
        std::string line;
        for (const char* f : {"Id", "PXH", "JB00", "JB01", "JBFZR", "JC100", "JBSJ", "GJ_ONE"}) {
            line += (line.empty() ? "" : "|") + r.at(f);
        }
        out.push_back(line);
    }
    return out;
}

// The issued list, written by our dBase writer.
void WriteList(const std::vector<ListRow>& rows)
{
    db::TableSchema schema;
    schema.fields = {testsupport::Text("PXH", 3), testsupport::Text("JB00", 9), testsupport::Text("JB01", 60),
                     testsupport::Number("JC100"), testsupport::Day("JBSJ")};
    std::vector<db::dbf::Row> out;
    for (const ListRow& r : rows) {
        db::dbf::Row row;
        for (std::size_t i = 0; i < r.size(); ++i) {
            const std::string v = r[i];
            if (v.empty()) {
                row.emplace_back();
            } else if (i == 3) {
                row.emplace_back(std::stod(v));
            } else if (i == 4) {
                db::Date d;
                db::ParseDate(v, d);
                row.emplace_back(d);
            } else {
                row.emplace_back(v);
            }
        }
        out.push_back(row);
    }
    db::dbf::Write(exchange::kIssuedListName, schema, out);
}

class RegionListTest : public MaintenanceTest {
protected:
    void SetUp() override
    {
        MaintenanceTest::SetUp();
        TTable projects;
        projects.SetTableName("gjxm.db");
        projects.EmptyTable();
        testsupport::AddRecord("gjxm.db", Record{{"Id", "110a003"}, {"PXH", "110"}, {"JB00", "a003"}, {"JB01", "旧名"}, {"JBFZR", "张三"},
                           {"JC100", "5"}, {"GJ_ONE", "1"}, {"IS_CHGE", "1"}});
        testsupport::AddRecord("gjxm.db", Record{{"Id", "120B009"}, {"PXH", "120"}, {"JB00", "B009"}, {"JB01", "外地项目"}, {"GJ_ONE", "1"}});
        TTable send;
        send.SetTableName("sendname.db");
        send.EmptyTable();
        for (const char* name : {"gjxm.db", "gjxm_r.db", "kfq_1.db"}) {
            testsupport::AddRecord("sendname.db", Record{{"id", "2"}, {"name", name}});
        }
        WriteList(kList);
    }

    // A dBase III file written by python, byte by byte, with the same rows.
    void WriteListWithPython(const std::vector<ListRow>& rows)
    {
        std::string data;
        for (const ListRow& r : rows) {
            for (const char* v : r) {
                data += std::string(v) + "\t";
            }
            data += "\n";
        }
        std::ofstream(base_ / "rows.txt") << data;
        Python("import sys, struct\n"
               "fields = [('PXH', 'C', 3, 0), ('JB00', 'C', 9, 0), ('JB01', 'C', 60, 0), ('JC100', 'N', 12, 2),\n"
               "          ('JBSJ', 'D', 8, 0)]\n"
               "rows = [l.split('\\t')[:5] for l in open(sys.argv[1], encoding='utf-8').read().splitlines()]\n"
               "with open(sys.argv[2], 'wb') as f:\n"
               "    f.write(struct.pack('<BBBBIHH20x', 3, 109, 1, 1, len(rows), 33 + 32 * len(fields),\n"
               "                        1 + sum(w for _, _, w, _ in fields)))\n"
               "    for name, t, w, d in fields:\n"
               "        f.write(struct.pack('<11sc4xBB14x', name.encode(), t.encode(), w, d))\n"
               "    f.write(b'\\r')\n"
               "    for r in rows:\n"
               "        f.write(b' ')\n"
               "        for (name, t, w, d), v in zip(fields, r):\n"
               "            if not v:\n"
               "                f.write(b' ' * w)\n"
               "            elif t == 'N':\n"
               "                f.write(('%.*f' % (d, float(v))).rjust(w).encode())\n"
               "            elif t == 'D':\n"
               "                f.write(v.replace('-', '').encode())\n"
               "            else:\n"
               "                f.write(v.encode('gbk').ljust(w, b' '))\n"
               "    f.write(b'\\x1a')\n",
               {(base_ / "rows.txt").string(), (folder_ / exchange::kIssuedListName).string()});
    }

    // Picks the region item (none: -1) and presses "生成项目清单" with the script given.
    void Generate(int region, const std::function<void(TScriptedUser&)>& script)
    {
        InWindow([&](TF_xtwh& w) {
            EXPECT_EQ(w.ComboBox2->Items().size(), 45u);
            if (region >= 0) {
                EXPECT_TRUE(TScriptedUser::Choose(*w.ComboBox2, region));
            }
            script(User());
            EXPECT_TRUE(TScriptedUser::Press(*w.Button9));
        });
    }

    static std::vector<std::string> SendList()
    {
        std::vector<std::string> out;
        for (const auto& r : testsupport::ReadTable("sendname.db")) {
            out.push_back(r.at("name"));
        }
        return out;
    }
};

class RegionMerge : public RegionListTest, public testing::WithParamInterface<bool> {};

TEST_P(RegionMerge, UpdatesAndAppendsTheRowsOfTheRegion)
{
    if (GetParam()) {
        WriteListWithPython(kList);
    }
    Generate(0, [](TScriptedUser& u) {
        u.ExpectMessage("", kEmptyQuestion, IDNO)
            .ExpectMessage("", "项目清单已完成\n\n地区 110 北京：新增2个项目，更新1个项目\n"
                               "清单第4条记录没有统计编号（jb00），没有写入");
    });
    EXPECT_EQ(Projects(), (std::vector<std::string>{"110A001|110|A001|项目甲||12.5|2009-03-01|1",
                                                    "110A002|110|A002|项目丙||0||1",
                                                    "110A003|110|A003|项目戊|张三|7||1",
                                                    "120B009|120|B009|外地项目||||1"}));
    EXPECT_EQ(SendList(), std::vector<std::string>{"kfq_1.db"});
}
INSTANTIATE_TEST_SUITE_P(Writers, RegionMerge, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Python" : "OurWriter"; });

TEST_F(RegionListTest, EmptyingFirstLeavesOnlyTheRegion)
{
    Generate(0, [](TScriptedUser& u) {
        u.ExpectMessage("", kEmptyQuestion, IDYES).ExpectMessageContaining("", "新增3个项目，更新0个项目");
    });
    EXPECT_EQ(Projects(), (std::vector<std::string>{"110A001|110|A001|项目甲||12.5|2009-03-01|1",
                                                    "110A002|110|A002|项目丙||0||1",
                                                    "110A003|110|A003|项目戊||7||1"}));
    // A region without rows in the list, after Yes: an empty table.
    Generate(44, [](TScriptedUser& u) {
        u.ExpectMessage("", kEmptyQuestion, IDYES)
            .ExpectMessage("", "项目清单已完成\n\n地区 651 新疆兵团：清单中没有这个地区的项目");
    });
    EXPECT_TRUE(Projects().empty());
}

// A list or a row that cannot be used: the table stays as it was, byte for byte, and the send list too.
struct RegionRefusal {
    const char* name;
    std::function<void(const fs::path& data)> prepare;
    bool asked;  // the emptying question comes (answered Yes)
    const char* message;
};
void PrintTo(const RegionRefusal& c, std::ostream* os) { *os << c.name; }

class RegionRefused : public RegionListTest, public testing::WithParamInterface<RegionRefusal> {};

TEST_P(RegionRefused, LeavesTheTableAsItWas)
{
    const RegionRefusal& c = GetParam();
    c.prepare(folder_);
    const std::string before = FileBytes(folder_ / "gjxm.db");
    Generate(0, [&](TScriptedUser& u) {
        if (c.asked) {
            u.ExpectMessage("", kEmptyQuestion, IDYES);
        }
        u.ExpectMessageContaining("", c.message);
    });
    EXPECT_EQ(FileBytes(folder_ / "gjxm.db"), before);
    EXPECT_EQ(SendList().size(), 3u);
    EXPECT_EQ(Leftovers(folder_), std::vector<std::string>{});
}

const RegionRefusal kRegionRefusals[] = {
    {"RepeatedProjectName",
     [](const fs::path&) {
         auto rows = kList;
         rows.push_back({"110", "A009", "项目甲", "1", ""});
         WriteList(rows);
     },
     true, "项目清单没有生成，国家级项目数据库保持原样。\n\n清单第7条记录（统计编号 A009）不能写入"},
    {"MissingList", [](const fs::path& d) { fs::remove(d / exchange::kIssuedListName); }, false,
     "项目清单没有生成：找不到国家级项目清单"},
    {"BrokenList", [](const fs::path& d) { std::ofstream(d / exchange::kIssuedListName) << "not a dBase file"; },
     false, "项目清单没有生成："},
    {"ListWithoutJb00",
     [](const fs::path& d) {
         db::TableSchema schema;
         schema.fields = {testsupport::Text("PXH", 3), testsupport::Text("JB01", 60)};
         db::dbf::Write((d / exchange::kIssuedListName).string(), schema, {{std::string("110"), std::string("x")}});
     },
     false, "中没有字段 jb00，不能用它生成项目清单"},
};
INSTANTIATE_TEST_SUITE_P(Cases, RegionRefused, testing::ValuesIn(kRegionRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegionListTest, NoRegionChosenDoesNothing)
{
    const std::string before = FileBytes(folder_ / "gjxm.db");
    Generate(-1, [](TScriptedUser&) {});
    EXPECT_EQ(FileBytes(folder_ / "gjxm.db"), before);
    EXPECT_TRUE(User().Messages().empty());
}

}  // namespace
}  // namespace maintenancetest
