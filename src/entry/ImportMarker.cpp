#include "entry/ImportMarker.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "entry/EntryWindow.h"
#include "platform/db/Names.h"
#include "platform/db/TableFile.h"
#include "platform/ui/Application.h"

namespace fs = std::filesystem;

namespace {

// "kfq_1.db" -> ".../kfq_1.import"
std::string MarkerPath(const TEntryWindow& window)
{
    fs::path p = db::ResolveTableName(window.Master()->TableName());
    p.replace_extension(".import");
    return p.string();
}

std::string Now()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

// Replaces the file only once the new text is on disk, so that a cut-off write leaves the old mark or the new.
void WriteDurably(const std::string& path, const std::string& text)
{
    const fs::path target(path);
    fs::path part = target;
    part += ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            std::error_code ec;
            fs::remove(part, ec);
            throw EDatabaseError("无法写入导入标记文件“" + part.string() + "”（磁盘已满或文件夹只读？），导入未开始");
        }
    }
    db::SyncFile(part.string());
    std::error_code ec;
    fs::rename(part, target, ec);
    if (ec) {
        fs::remove(part, ec);
        throw EDatabaseError("无法写入导入标记文件“" + path + "”：" + ec.message() + "，导入未开始");
    }
    db::SyncFile(target.parent_path().string(), true);
}

}  // namespace

ImportMarker::ImportMarker(const TEntryWindow& window, std::string command)
    : path_(MarkerPath(window)), command_(std::move(command)), caption_(window.Caption()), started_(Now())
{
}

ImportMarker::~ImportMarker()
{
    if (sources_.empty()) {
        return;
    }
    std::error_code ec;
    fs::remove(path_, ec);
}

void ImportMarker::AddSource(const std::string& file)
{
    std::error_code ec;
    sources_.push_back(fs::absolute(file, ec).lexically_normal().string());
    std::string text = command_ + "\n" + caption_ + "\n" + started_ + "\n";
    for (const std::string& s : sources_) {
        text += s + "\n";
    }
    try {
        WriteDurably(path_, text);
    } catch (...) {
        sources_.pop_back();
        throw;
    }
}

void ReportUnfinishedImport(const TEntryWindow& window)
{
    const std::string path = MarkerPath(window);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return;
    }
    std::string command, caption, started, line, sources;
    std::getline(in, command);
    std::getline(in, caption);
    std::getline(in, started);
    while (std::getline(in, line)) {
        if (!line.empty()) {
            sources += (sources.empty() ? "" : "\n    ") + line;
        }
    }
    in.close();
    std::error_code ec;
    fs::remove(path, ec);  // told once
    Application->MessageBox("上次的“" + command + "”没有完成（" + caption + "，开始于 " + started + "）。\n导入的文件：\n    " +
                                sources +
                                "\n\n导入在中途被打断（程序被关闭、崩溃或断电），已导入的记录可能不完整（例如缺少明细记录）。"
                                "请再次执行“" +
                                command + "”并选择同样的文件：导入按关键字合并，已有的记录不会重复，再次导入即可补全。",
                            "提示", MB_OK | MB_ICONWARNING);
}
