// The window tools run as programs: a scenario drives the main window and reports every message, a failing
// line ends it with its number, and a rendering of the main window has the window's client size.
#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <cstdio>
#include <fstream>

#include "support/ProgramTest.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string output;
};

ToolRun RunTool(const std::string& command)
{
    ToolRun r;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) {
        return r;
    }
    std::array<char, 4096> buf{};
    while (fgets(buf.data(), buf.size(), p)) {
        r.output += buf.data();
    }
    const int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class WindowTools : public testsupport::ProgramTest {
protected:
    std::string Tool(const char* name) const { return std::string(VEMORA_BINARY_DIR) + "/tools/" + name; }
    std::string Script(const std::string& text)
    {
        const auto path = Base() / "script.txt";
        std::ofstream(path) << text;
        return path.string();
    }
};

struct ScenarioCase {
    const char* name;
    const char* script;
    int status;
    std::vector<const char*> output;  // lines expected in the output, in order
};
void PrintTo(const ScenarioCase& c, std::ostream* os) { *os << c.name; }

class Scenarios : public WindowTools, public testing::WithParamInterface<ScenarioCase> {};

TEST_P(Scenarios, RunAsTheUserWould)
{
    const ScenarioCase& c = GetParam();
    const ToolRun r = RunTool(Tool("vemora-scenario") + " " + folder_.string() + " " + Script(c.script));
    EXPECT_EQ(r.status, c.status) << r.output;
    std::size_t at = 0;
    for (const char* line : c.output) {
        const std::size_t found = r.output.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing \"" << line << "\" in:\n" << r.output;
        at = found;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Scenarios,
    testing::Values(
        ScenarioCase{"ReportListAndButtons",
                     "choose RadioGroup1 国家高新技术产业开发区综合情况报表\nexpect Button7 disabled\n"
                     "expect Button5 disabled\nchoose RadioGroup1 0\nexpect Button7 enabled\n"
                     "expect RadioGroup1 text 国家高新技术产业开发区企业统计报表\nexpect F_main caption "
                     "2009年度Vemora计划录入统计系统\npress Button4\n",
                     0, {"ok: Button7 disabled", "ok: Button7 enabled", "scenario done"}},
        ScenarioCase{"MailButtonCannotBePressed", "press Button9\n", 1,
                     {"error: line 1: Button9 cannot be pressed", "scenario failed"}},
        ScenarioCase{"WrongExpectation", "# a comment\n\nexpect Button1 disabled\n", 1,
                     {"error: line 3: Button1 is enabled"}},
        ScenarioCase{"UnknownCommand", "jump Button1\n", 1, {"error: line 1: unknown command jump"}},
        ScenarioCase{"AnswerWithoutQuestion", "message 提示 * ok\n", 1, {"no question is asked here"}}),
    [](const testing::TestParamInfo<ScenarioCase>& i) { return std::string(i.param.name); });

TEST_F(WindowTools, RenderWritesTheMainWindowAtItsClientSize)
{
    const std::string png = (Base() / "main.png").string();
    const ToolRun r = RunTool(Tool("vemora-render") + " " + folder_.string() + " TF_main " + png);
    ASSERT_EQ(r.status, 0) << r.output;
    const QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(693, 496));
    const ToolRun missing = RunTool(Tool("vemora-render") + " " + folder_.string() + " TF_nosuch " + png);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("no window TF_nosuch"), std::string::npos) << missing.output;
}

}  // namespace
