// The set-up tool as a user runs it: exit status, what it prints, and the folder it leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string out;  // stdout and stderr
};

ToolRun RunSetup(const std::string& args, const fs::path& scratch)
{
    const fs::path log = scratch / "setup.log";
    const std::string cmd = std::string("'") + VEMORA_BINARY_DIR + "/tools/vemora-setup' " + args + " > '" +
                            log.string() + "' 2>&1";
    const int rc = std::system(cmd.c_str());
    std::ifstream in(log);
    std::ostringstream s;
    s << in.rdbuf();
    fs::remove(log);
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, s.str()};
}

class SetupTool : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("vemora-tool-" + std::to_string(std::random_device{}()) +
                                            std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

TEST_F(SetupTool, BuildsTheShippedData)
{
    const fs::path folder = dir_ / "data folder";
    const ToolRun r = RunSetup(std::string("'") + VEMORA_SOURCE_DIR + "/data' '" + folder.string() + "'", dir_);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("tables written to"), std::string::npos) << r.out;
    for (const char* name : {"sendname.db", "check_db.DB", "gjxmqd.dbf", "tmp", "bak", "sendfile", "attach"})
        EXPECT_TRUE(fs::exists(folder / name)) << name;
}

TEST_F(SetupTool, BadDescriptionFailsWithFileAndLine)
{
    fs::create_directories(dir_ / "data" / "tables");
    std::ofstream(dir_ / "data" / "tables" / "a.db.txt") << "table a.db\nfield x A\n";
    const ToolRun r = RunSetup("'" + (dir_ / "data").string() + "' '" + (dir_ / "out").string() + "'", dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("a.db.txt:2: size missing for A"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dir_ / "out"));
}

TEST_F(SetupTool, WrongArgumentsShowUsage)
{
    const ToolRun r = RunSetup("only-one", dir_);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("usage: vemora-setup DATADIR FOLDER"), std::string::npos) << r.out;
}

}  // namespace
