// The tables that come with the program are known by name from data/tables at build time (ShippedTables.inc).
#include "print/SaveTarget.h"

#include <filesystem>
#include <string_view>

#include "platform/db/Names.h"
#include "platform/ui/Application.h"
#include "platform/ui/Component.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kShippedTables[] = {
#include "ShippedTables.inc"
};

// The extension of each entry of the save dialog's filter, by FilterIndex.
constexpr const char* kFilterExtensions[] = {".db", ".dbf", ".txt"};

}  // namespace

bool IsShippedTableName(const std::string& name)
{
    for (std::string_view shipped : kShippedTables) {
        if (SameName(name, std::string(shipped))) {
            return true;
        }
    }
    return false;
}

bool IsSystemTable(const std::string& path)
{
    const fs::path p(path);
    std::error_code ec;
    return fs::equivalent(p.parent_path(), fs::current_path(), ec) && IsShippedTableName(p.filename().string());
}

std::string WithFilterExtension(const std::string& fileName, int filterIndex)
{
    if (fs::path(fileName).extension().empty() && filterIndex >= 1 && filterIndex <= 3) {
        return fileName + kFilterExtensions[filterIndex - 1];
    }
    return fileName;
}

bool ConfirmSaveTarget(const std::string& fileName)
{
    const std::string path = db::ResolveTableName(fileName);
    if (IsSystemTable(path)) {
        Application->MessageBox("“" + fs::path(path).filename().string() + "”是本系统自带的表，不能用它的名字存盘，请换一个文件名",
                                "错误窗口", MB_OK | MB_ICONERROR);
        return false;
    }
    std::error_code ec;
    if (fs::exists(path, ec)) {
        return Application->MessageBox("文件“" + path + "”已存在，是否替换？", "提示", MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    return true;
}
