#include "app/DataFolderStart.h"

#include <filesystem>
#include <system_error>

#include "platform/db/DataText.h"
#include "platform/db/Messages.h"
#include "platform/ui/Application.h"
#include "print/SaveTarget.h"

namespace fs = std::filesystem;

const char* const ProgramTitle = "2009年度Vemora计划录入统计系统";

namespace {

// True when the folder holds one of the tables that come with the program (named without regard to case, as
// table names resolve).
bool HoldsTables(const fs::path& folder)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (IsShippedTableName(entry.path().filename().string())) {
            return true;
        }
    }
    return false;
}

TStartFolder Fail(const std::string& text)
{
    Application->MessageBox(text, "错误", MB_OK | MB_ICONERROR);
    return TStartFolder::Failed;
}

TStartFolder Enter(const fs::path& path)
{
    std::error_code ec;
    fs::current_path(path, ec);
    if (ec) {
        return Fail("无法进入数据目录“" + path.string() + "”" + db::msg::Because(ec));
    }
    return TStartFolder::Run;
}

}  // namespace

std::string ShippedDataFolder(const std::string& programDir)
{
    for (const char* relative : {VEMORA_INSTALLED_DATA, "data"}) {
        std::error_code ec;
        const fs::path candidate = (fs::path(programDir) / relative).lexically_normal();
        if (fs::is_directory(candidate / "tables", ec)) {
            return candidate.string();
        }
    }
    return {};
}

TStartFolder EnterDataFolder(const std::string& folder, const std::string& shippedData)
{
    std::error_code ec;
    const fs::path path = folder.empty() ? fs::current_path(ec) : fs::absolute(folder, ec);
    const std::string shown = path.string();
    const bool exists = fs::exists(path, ec);
    if (exists && !fs::is_directory(path, ec)) {
        return Fail("“" + shown + "”不是目录，不能作为数据目录。");
    }
    if (exists && HoldsTables(path)) {
        return Enter(path);
    }
    if (shippedData.empty()) {
        return Fail("目录“" + shown + "”中没有本系统的数据表，也找不到程序自带的数据表，程序无法运行。");
    }
    if (Application->MessageBox("目录“" + shown + "”中没有本系统的数据表。\n是否在此建立新的数据目录（程序自带的各表，" +
                                    "尚无报表数据）？\n选“否”则不改动此目录，程序退出。",
                                "提示", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return TStartFolder::Quit;
    }
    try {
        db::datatext::BuildDataFolderIn(shippedData, shown);
    } catch (const std::exception& e) {
        return Fail("无法在“" + shown + "”建立数据目录：" + e.what());
    }
    return Enter(path);
}
