// The start of the program: the data folder named on the command line (or the current folder) becomes the
// current folder; a folder that holds none of the system's tables is offered a new data folder made from the
// tables that come with the program, and declining leaves it untouched. The tables are installed with the
// program where it looks for them, and without a display the program ends with one line.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

#include "app/DataFolderStart.h"
#include "support/ProgramTest.h"

namespace fs = std::filesystem;

namespace {

const std::string kShipped = std::string(VEMORA_SOURCE_DIR) + "/data";

std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) {
        out.push_back(e.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

class StartFolder : public testsupport::ProgramTest {};

TEST_F(StartFolder, ADataFolderIsEnteredWithoutAQuestion)
{
    EnterFolder(Base());
    EXPECT_EQ(EnterDataFolder("data", kShipped), TStartFolder::Run);
    EXPECT_EQ(fs::current_path(), folder_);
    EnterFolder(folder_);
    EXPECT_EQ(EnterDataFolder("", kShipped), TStartFolder::Run);
    EXPECT_EQ(fs::current_path(), folder_);
}

// A folder without the tables (holding a file of the user's, or not there yet), and the user's answer.
struct Offer {
    const char* name;
    bool exists;
    int answer;
};
void PrintTo(const Offer& c, std::ostream* os) { *os << c.name; }

class StartFolderOffer : public StartFolder, public testing::WithParamInterface<Offer> {};

TEST_P(StartFolderOffer, BuildsTheTablesOnYesAndLeavesTheFolderAloneOnNo)
{
    const Offer& c = GetParam();
    const fs::path home = Base() / "home";
    if (c.exists) {
        fs::create_directories(home);
        std::ofstream(home / "notes.txt") << "mine";
    }
    EnterFolder(Base());
    User().ExpectMessage("提示",
                         "目录“" + home.string() + "”中没有本系统的数据表。\n是否在此建立新的数据目录（程序自带的各表，"
                                                   "尚无报表数据）？\n选“否”则不改动此目录，程序退出。",
                         c.answer);
    const TStartFolder result = EnterDataFolder(home.string(), kShipped);
    if (c.answer == IDNO) {
        EXPECT_EQ(result, TStartFolder::Quit);
        EXPECT_EQ(fs::current_path(), Base());
        EXPECT_EQ(fs::exists(home), c.exists);
        if (c.exists) {
            EXPECT_EQ(Listing(home), std::vector<std::string>{"notes.txt"});
        }
        return;
    }
    ASSERT_EQ(result, TStartFolder::Run);
    EXPECT_EQ(fs::current_path(), home);
    // the same tables as the set-up makes, ready for the main window
    std::vector<std::string> expected = Listing(TemplateFolder());
    if (c.exists) {
        expected.push_back("notes.txt");
        std::sort(expected.begin(), expected.end());
    }
    EXPECT_EQ(Listing(home), expected);
    TF_main& m = StartProgram();
    EXPECT_EQ(m.StatusBar1->SimpleText(), "数据目录: " + home.string());
}

INSTANTIATE_TEST_SUITE_P(Cases, StartFolderOffer, testing::Values(
    Offer{"YesInAFolderWithOtherFiles", true, IDYES}, Offer{"YesToAFolderNotThereYet", false, IDYES},
    Offer{"NoInAFolderWithOtherFiles", true, IDNO}, Offer{"NoToAFolderNotThereYet", false, IDNO}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartFolder, AFileOrAFolderWithoutTheShippedTablesIsTold)
{
    EnterFolder(Base());
    std::ofstream("file.txt") << "x";
    User().ExpectMessage("错误", "“" + (Base() / "file.txt").string() + "”不是目录，不能作为数据目录。");
    EXPECT_EQ(EnterDataFolder("file.txt", kShipped), TStartFolder::Failed);
    fs::create_directories("empty");
    User().ExpectMessage("错误", "目录“" + (Base() / "empty").string() +
                                     "”中没有本系统的数据表，也找不到程序自带的数据表，程序无法运行。");
    EXPECT_EQ(EnterDataFolder("empty", ""), TStartFolder::Failed);
    EXPECT_EQ(fs::current_path(), Base());
}

// The set-up accepted but impossible there: the user reads why, in Chinese, and the folder stays as it was.
TEST_F(StartFolder, ASetUpThatCannotBeMadeThereSaysWhy)
{
    EnterFolder(Base());
    fs::create_directories("home");
    std::ofstream("home/bak") << "mine";
    std::ofstream("file.txt") << "x";
    const std::string home = (Base() / "home").string(), under = (Base() / "file.txt" / "home").string();
    const struct {
        std::string folder, reason;
    } cases[] = {
        {home, "文件夹“" + home + "”中的“bak”是文件，工作文件夹“bak”无法建立"},
        {under, "无法建立文件夹“" + under + "”：路径中有一段是文件而不是文件夹"},
    };
    for (const auto& c : cases) {
        User().ExpectMessageContaining("提示", "是否在此建立新的数据目录", IDYES);
        User().ExpectMessage("错误", "无法在“" + c.folder + "”建立数据目录：" + c.reason);
        EXPECT_EQ(EnterDataFolder(c.folder, kShipped), TStartFolder::Failed);
    }
    EXPECT_EQ(Listing("home"), std::vector<std::string>{"bak"});
    EXPECT_EQ(fs::current_path(), Base());
}

// Runs a command; its output (stdout and stderr) and its exit status.
std::pair<std::string, int> RunCommand(const std::string& command)
{
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr) {
        return {"", -1};
    }
    std::array<char, 512> buf{};
    while (fgets(buf.data(), buf.size(), p) != nullptr) {
        out += buf.data();
    }
    const int status = pclose(p);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
}

TEST_F(StartFolder, TheInstalledProgramFindsTheTablesThatComeWithIt)
{
    const fs::path prefix = Base() / "prefix";
    const auto [out, status] =
        RunCommand("cmake --install '" + std::string(VEMORA_BINARY_DIR) + "' --prefix '" + prefix.string() + "'");
    ASSERT_EQ(status, 0) << out;
    EXPECT_TRUE(fs::exists(prefix / "bin" / "vemora"));
    const std::string shipped = ShippedDataFolder((prefix / "bin").string());
    EXPECT_EQ(shipped, (prefix / "share" / "vemora" / "data").string());
    EXPECT_EQ(Listing(fs::path(shipped) / "tables"), Listing(fs::path(kShipped) / "tables"));
    // the program in its build folder finds them too
    EXPECT_FALSE(ShippedDataFolder(VEMORA_BINARY_DIR).empty());
}

TEST_F(StartFolder, WithoutADisplayTheProgramEndsWithOneLine)
{
    const auto [out, status] = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                   std::string(VEMORA_BINARY_DIR) + "/vemora' '" + Base().string() + "'");
    EXPECT_NE(status, 0);
    EXPECT_LT(status, 128) << "ended by a signal";
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_NE(out.find("vemora: "), std::string::npos) << out;
    EXPECT_NE(out.find("DISPLAY"), std::string::npos) << out;
}

}  // namespace
