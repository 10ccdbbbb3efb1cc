#include "exchange/Staging.h"

#include <filesystem>
#include <system_error>

#include "app/Main.h"
#include "exchange/FileCopy.h"
#include "platform/db/Exception.h"
#include "platform/db/Names.h"

namespace fs = std::filesystem;

namespace {

const char* kStaging = "sendfile\\";

void CheckBareName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
        throw Exception("附件名“" + name + "”不是文件名");
    }
}

}  // namespace

std::string StartFolderPath(const std::string& name)
{
    return db::ResolveTableName(BaseDir + name);
}

std::string StagingFolder()
{
    const std::string folder = StartFolderPath(kStaging);
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        throw Exception("附件暂存文件夹 " + BaseDir + kStaging + " 不存在（数据文件夹应带有此文件夹）");
    }
    return folder;
}

std::string StagedPath(const std::string& bareName)
{
    CheckBareName(bareName);
    return (fs::path(StartFolderPath(kStaging)) / bareName).string();
}

void StageFile(const std::string& source, const std::string& bareName)
{
    CheckBareName(bareName);
    const fs::path target = fs::path(StagingFolder()) / bareName;
    std::error_code ec;
    if (fs::exists(target, ec) && fs::equivalent(source, target, ec)) {
        throw Exception("文件 " + source + " 已在附件暂存文件夹 " + BaseDir + kStaging + " 中，不能作为附件复制到它自己");
    }
    CopyWholeFile(source, target.string());
}

void UnstageFile(const std::string& bareName)
{
    std::error_code ec;
    fs::remove(StagedPath(bareName), ec);
}
