// Export and hand-in end to end: each format written and read back (dBase through python3-dbfread, text
// through python's csv in GBK); the name offered is the table's own, so Enter never writes one table over
// another; a replacement is asked, the source itself refused; the hand-in of every report to a new folder,
// opened by another program, and its refusals and a failure midway that names what was written.
#include <gtest/gtest.h>

#include "MaintenanceFixture.h"
#include "app/Main.h"

namespace maintenancetest {
namespace {

using testsupport::ReadTable;

constexpr const char* kRjjdTitle = "保存软件产业基地情况库  文件名：rjjd.dbf";
constexpr const char* kRjjdqyTitle = "保存软件产业基地企业库  文件名：rjjdqy.dbf";
constexpr const char* kRjjdqycpTitle = "保存软件产业基地企业产品库  文件名：rjjdqycp.dbf";

// Each record of a table file, its values joined by "|" in field order (numbers in plain decimal).
std::vector<std::string> Lines(const std::string& table)
{
    std::vector<std::string> out;
    TTable t;
    t.SetTableName(table);
    t.Open();
    for (t.First(); !t.Eof(); t.Next()) {
        std::string line;
        for (int i = 0; i < t.FieldCount(); ++i) {
            line += (i ? "|" : "") + t.Fields()[i]->AsString();
        }
        out.push_back(line);
    }
    return out;
}

TEST_F(MaintenanceTest, ExportsEachFormatThatOtherReadersRead)
{
    const fs::path out = base_ / "out";
    fs::create_directories(out);
    InWindow([&](TF_xtwh& w) {
        Tick(w, {6});
        User().AnswerFile((out / "rjjd").string(), kRjjdTitle, 1)
            .AnswerFile((out / "企业.dbf").string(), kRjjdqyTitle)
            .AnswerFile((out / "rjjdqycp.txt").string(), kRjjdqycpTitle);
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
    });
    EXPECT_EQ(ReadTable((out / "rjjd.db").string()), ReadTable("rjjd.db"));

    const std::vector<std::string> enterprises = Lines("rjjdqy.db");
    ASSERT_FALSE(enterprises.empty());
    const std::vector<std::string> dbf = Python(
        "import sys, dbfread\n"
        "for r in dbfread.DBF(sys.argv[1], encoding='gbk', char_decode_errors='strict'):\n"
        "    print('|'.join('' if v is None else (('%.15g' % v) if isinstance(v, float) else str(v)) for v in r.values()))\n",
        {(out / "企业.dbf").string()});
    EXPECT_EQ(dbf, enterprises);

    const std::vector<std::string> products = Lines("rjjdqycp.db");
    ASSERT_FALSE(products.empty());
    const std::vector<std::string> text = Python(
        "import sys, csv\n"
        "with open(sys.argv[1], encoding='gbk', newline='') as f:\n"
        "    for r in csv.reader(f):\n"
        "        print('|'.join(r))\n",
        {(out / "rjjdqycp.txt").string()});
    EXPECT_EQ(text, products);
}

TEST_F(MaintenanceTest, EnterOnTheOfferedNameWritesEachTableUnderItsOwnName)
{
    const fs::path out = base_ / "out";
    fs::create_directories(out);
    InWindow([&](TF_xtwh& w) {
        Tick(w, {0});
        User().AcceptFile("保存高新区企业（区外企业）企业情况库  文件名：kfq_1.dbf").AcceptFile().AcceptFile();
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
        // The next export is offered in the folder of the last one.
        User().AnswerFile((out / "kfq_1.dbf").string()).AcceptFile().AcceptFile();
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
    });
    for (const fs::path& folder : {folder_, out}) {
        for (const char* t : {"kfq_1", "kfq_2", "kfq_5"}) {
            EXPECT_EQ(Lines((folder / (std::string(t) + ".dbf")).string()).size(), Lines(std::string(t) + ".db").size())
                << folder / t;
        }
    }
}

TEST_F(MaintenanceTest, AnExportAsksBeforeReplacingAndNeverWritesOverItsSource)
{
    const fs::path out = base_ / "out";
    fs::create_directories(out);
    std::ofstream(out / "kept.dbf") << "an earlier export";
    const std::string source = FileBytes(folder_ / "rjjd.db");
    InWindow([&](TF_xtwh& w) {
        Tick(w, {6});
        User().AnswerFile((folder_ / "RJJD.DB").string(), kRjjdTitle)
            .ExpectMessage("", "“" + (folder_ / "RJJD.DB").string() + "”就是要转存的表本身，不能转存到它自己；请换一个文件名")
            .AnswerFile((out / "kept.dbf").string(), kRjjdqyTitle)
            .ExpectMessage("提示", "文件“" + (out / "kept.dbf").string() + "”已存在，是否替换？", IDNO)
            .CancelFile(kRjjdqycpTitle);
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
        // Answered Yes, the file is replaced.
        User().CancelFile().AnswerFile((out / "kept.dbf").string())
            .ExpectMessage("提示", "文件“" + (out / "kept.dbf").string() + "”已存在，是否替换？", IDYES)
            .CancelFile();
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
    });
    EXPECT_EQ(FileBytes(folder_ / "rjjd.db"), source);
    EXPECT_EQ(Lines((out / "kept.dbf").string()).size(), Lines("rjjdqy.db").size());
    EXPECT_EQ(fs::current_path(), folder_);
}

TEST_F(MaintenanceTest, HandsInEveryReportToANewFolderThatAnotherProgramOpens)
{
    const fs::path stick = base_ / "stick" / "上报";
    fs::create_directories(stick);
    // Not every table comes with the program: those missing are named.
    std::vector<std::string> written, missing;
    for (const std::string& t : exchange::HandInTables()) {
        (fs::exists(folder_ / t) ? written : missing).push_back(t);
    }
    ASSERT_EQ(missing, (std::vector<std::string>{"fhqxm.db", "dxzfqyxm.db"}));
    std::string names;
    for (const std::string& t : written) {
        names += (names.empty() ? "" : "、") + t;
    }
    InWindow([&](TF_xtwh& w) {
        EXPECT_EQ(w.DirectoryListBox1->Directory(), "/");
        EXPECT_TRUE(w.DirectoryListBox1->OpenFolder(stick.string()));
        User().ExpectMessage("", "上报数据已完成\n\n已写入“" + stick.string() + "/”：" + names +
                                     "\n数据文件夹中没有，未上报：fhqxm.db、dxzfqyxm.db");
        EXPECT_TRUE(TScriptedUser::Press(*w.Button5));
    });
    EXPECT_EQ(fs::current_path(), folder_);
    EXPECT_EQ(BaseDir, folder_.string() + "/");
    // Another program (python's sqlite3) finds every table complete, with the rows of the data folder.
    std::vector<std::string> args, expected;
    for (const std::string& t : written) {
        args.push_back((stick / t).string());
        expected.push_back(t + " ok " + std::to_string(ReadTable(t).size()));
    }
    EXPECT_EQ(Python("import sys, sqlite3, os\n"
                     "for p in sys.argv[1:]:\n"
                     "    c = sqlite3.connect('file:' + p + '?mode=ro', uri=True)\n"
                     "    print(os.path.basename(p), c.execute('pragma integrity_check').fetchone()[0],\n"
                     "          c.execute('select count(*) from data').fetchone()[0])\n",
                     args),
              expected);
    for (const std::string& t : written) {
        EXPECT_EQ(ReadTable((stick / t).string()), ReadTable(t)) << t;
    }
}

// A hand-in that cannot start says why before any file is written; one that fails midway names what it wrote.
struct HandInCase {
    const char* name;
    std::function<std::string(const fs::path& stick, const fs::path& data)> prepare;  // returns the folder to pick
    std::function<std::string(const fs::path& stick, const fs::path& data)> message;  // part of it
    std::vector<std::string> written;                                               // files found afterwards
};
void PrintTo(const HandInCase& c, std::ostream* os) { *os << c.name; }

class HandInRefusal : public MaintenanceTest, public testing::WithParamInterface<HandInCase> {};

TEST_P(HandInRefusal, SaysWhyAndWritesNothingMore)
{
    const HandInCase& c = GetParam();
    const fs::path stick = base_ / "stick";
    fs::create_directories(stick);
    const std::string pick = c.prepare(stick, folder_);
    const std::string data = FileBytes(folder_ / "gjxm.db");
    InWindow([&](TF_xtwh& w) {
        EXPECT_TRUE(w.DirectoryListBox1->OpenFolder(pick));
        if (pick == stick.string()) {
            fs::remove_all(stick);  // the stick is pulled after the folder was chosen
        }
        User().ExpectMessageContaining("", c.message(stick, folder_));
        EXPECT_TRUE(TScriptedUser::Press(*w.Button5));
    });
    EXPECT_EQ(FileBytes(folder_ / "gjxm.db"), data);
    std::vector<std::string> found;
    if (fs::is_directory(stick / "sub")) {
        for (const std::string& t : exchange::HandInTables()) {
            if (fs::is_regular_file(stick / "sub" / t)) {
                found.push_back(t);
            }
        }
    }
    EXPECT_EQ(found, c.written);
}

const HandInCase kHandInCases[] = {
    {"FolderVanished", [](const fs::path& s, const fs::path&) { return s.string(); },
     [](const fs::path& s, const fs::path&) { return "数据上报没有进行：文件夹“" + s.string() + "/”不存在。"; }, {}},
    {"DataFolderItself", [](const fs::path&, const fs::path& d) { return d.string(); },
     [](const fs::path&, const fs::path& d) {
         return "数据上报没有进行：所选的文件夹“" + d.string() + "/”就是数据文件夹，不能把表上报到它自己";
     },
     {}},
    {"TargetIsAFolder",
     [](const fs::path& s, const fs::path&) {
         fs::create_directories(s / "sub" / "kfq_2.db");
         return (s / "sub").string();
     },
     [](const fs::path& s, const fs::path&) {
         return "数据上报没有完成：写入“" + (s / "sub" / "kfq_2.db").string() + "”时出错：";
     },
     {"gjxm.db", "fhq.db", "fhqzfqy.db", "dx.db", "dxzfqy.db", "kfq_1.db"}},
};
INSTANTIATE_TEST_SUITE_P(Cases, HandInRefusal, testing::ValuesIn(kHandInCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace maintenancetest
