// Building a data folder from the text form of data/: the one routine behind the set-up tool, also used by
// tests to start from a fresh data folder. Split from DataText.cpp, which only parses and formats.
#include <algorithm>
#include <filesystem>
#include <random>
#include <strings.h>

#include "platform/db/DataText.h"
#include "platform/db/Dbf.h"
#include "platform/db/Messages.h"
#include "platform/db/TableFile.h"

namespace fs = std::filesystem;

namespace db::datatext {
namespace {

const char* const kWorkFolders[] = {"tmp", "bak", "sendfile", "attach"};

bool IsDbase(const std::string& name)
{
    return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".dbf") == 0;
}

struct Loaded {
    fs::path file;
    Description d;
};

std::vector<Loaded> LoadAll(const fs::path& tables)
{
    std::error_code ec;
    if (!fs::is_directory(tables, ec))
        throw EDatabaseError("找不到数据表说明的文件夹“" + tables.string() + "”");
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(tables, ec)) {
        if (e.path().extension() == ".txt" && e.is_regular_file(ec))
            files.push_back(e.path());
    }
    if (ec)
        throw EDatabaseError("无法读取文件夹“" + tables.string() + "”" + msg::Because(ec));
    std::sort(files.begin(), files.end());
    std::vector<Loaded> out;
    for (const auto& f : files) {
        Loaded l{f, ParseFile(f.string())};
        const std::string& name = l.d.tableName;
        if (name.find_first_of("/\\") != std::string::npos || name == "." || name == "..")
            throw EDatabaseError(f.string() + "：表名“" + name + "”不是单纯的文件名");
        for (const auto& o : out) {
            if (strcasecmp(o.d.tableName.c_str(), name.c_str()) == 0)
                throw EDatabaseError(f.string() + "：数据表“" + name + "”也由“" + o.file.string() + "”说明");
        }
        for (const char* w : kWorkFolders) {
            if (strcasecmp(w, name.c_str()) == 0)
                throw EDatabaseError(f.string() + "：表名“" + name + "”是工作文件夹的名字");
        }
        out.push_back(std::move(l));
    }
    return out;
}

void WriteTable(const fs::path& folder, const Loaded& l)
{
    const std::string path = (folder / l.d.tableName).string();
    try {
        if (IsDbase(l.d.tableName))
            dbf::Write(path, l.d.schema, l.d.rows);
        else
            CreateTableFile(path, l.d.schema, l.d.rows);
    } catch (const EDatabaseError& e) {
        throw EDatabaseError("无法建立数据表“" + l.d.tableName + "”（据“" + l.file.string() + "”）：" + e.Message);
    }
}

// A new folder with a name of its own in parent, for building a data folder before it is moved into place.
fs::path MakeStaging(const fs::path& parent, const std::string& stem)
{
    std::random_device rd;
    std::error_code ec;
    const fs::path staging = parent / (stem + ".setup-" + std::to_string(rd()));
    if (!fs::create_directory(staging, ec) || ec)
        throw EDatabaseError("无法建立文件夹“" + staging.string() + "”" + msg::Because(ec));
    return staging;
}

// The entry of folder whose name equals name without regard to case, or an empty path.
fs::path EntryNamed(const fs::path& folder, const std::string& name)
{
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        if (strcasecmp(e.path().filename().c_str(), name.c_str()) == 0)
            return e.path();
    }
    return {};
}

}  // namespace

int BuildDataFolder(const std::string& dataDir, const std::string& folder)
{
    const std::vector<Loaded> all = LoadAll(fs::path(dataDir) / "tables");

    std::error_code ec;
    const fs::path target = fs::absolute(fs::path(folder)).lexically_normal();
    const fs::path named = target.has_filename() ? target : target.parent_path();
    if (fs::exists(named, ec)) {
        if (!fs::is_directory(named, ec))
            throw EDatabaseError("“" + folder + "”不是文件夹");
        if (!fs::is_empty(named, ec))
            throw EDatabaseError("文件夹“" + folder + "”不是空的：数据目录只建在新的或空的文件夹中");
    }
    fs::create_directories(named.parent_path(), ec);
    if (ec)
        throw EDatabaseError("无法建立文件夹“" + named.parent_path().string() + "”" + msg::Because(ec));

    const fs::path staging = MakeStaging(named.parent_path(), named.filename().string());
    try {
        for (const auto& l : all)
            WriteTable(staging, l);
        for (const char* w : kWorkFolders) {
            fs::create_directory(staging / w, ec);
            if (ec)
                throw EDatabaseError("无法建立工作文件夹“" + std::string(w) + "”" + msg::Because(ec));
        }
        if (fs::exists(named, ec))
            fs::remove(named, ec);  // empty, checked above
        fs::rename(staging, named, ec);
        if (ec)
            throw EDatabaseError("无法把建好的数据目录移到“" + named.string() + "”" + msg::Because(ec));
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(staging, ignored);
        throw;
    }
    return static_cast<int>(all.size());
}

int BuildDataFolderIn(const std::string& dataDir, const std::string& folder)
{
    const std::vector<Loaded> all = LoadAll(fs::path(dataDir) / "tables");

    std::error_code ec;
    const fs::path target = fs::absolute(fs::path(folder)).lexically_normal();
    const fs::path named = target.has_filename() ? target : target.parent_path();
    if (fs::exists(named, ec) && !fs::is_directory(named, ec))
        throw EDatabaseError("“" + folder + "”不是文件夹");
    std::vector<fs::path> made;  // taken out again on failure, last first
    for (fs::path p = named; !fs::exists(p, ec) && p.has_parent_path() && p != p.parent_path(); p = p.parent_path())
        made.insert(made.begin(), p);
    fs::create_directories(named, ec);
    if (ec)
        throw EDatabaseError("无法建立文件夹“" + named.string() + "”" + msg::Because(ec));
    auto undo = [&made] {
        std::error_code ignored;
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            fs::remove(*it, ignored);
    };
    try {
        for (const auto& l : all) {
            if (const fs::path held = EntryNamed(named, l.d.tableName); !held.empty())
                throw EDatabaseError("文件夹“" + folder + "”中已有数据表“" + held.filename().string() + "”");
        }
        for (const char* w : kWorkFolders) {
            if (const fs::path held = EntryNamed(named, w); !held.empty() && !fs::is_directory(held, ec))
                throw EDatabaseError("文件夹“" + folder + "”中的“" + held.filename().string() + "”是文件，工作文件夹“" +
                                     w + "”无法建立");
        }
        const fs::path staging = MakeStaging(named, "");
        try {
            for (const auto& l : all)
                WriteTable(staging, l);
            for (const auto& l : all) {
                fs::rename(staging / l.d.tableName, named / l.d.tableName, ec);
                if (ec)
                    throw EDatabaseError("无法把数据表“" + l.d.tableName + "”移入“" + named.string() + "”" +
                                         msg::Because(ec));
                made.push_back(named / l.d.tableName);
            }
            for (const char* w : kWorkFolders) {
                if (!EntryNamed(named, w).empty())
                    continue;
                fs::create_directory(named / w, ec);
                if (ec)
                    throw EDatabaseError("无法建立工作文件夹“" + std::string(w) + "”" + msg::Because(ec));
                made.push_back(named / w);
            }
        } catch (...) {
            std::error_code ignored;
            fs::remove_all(staging, ignored);
            throw;
        }
        fs::remove_all(staging, ec);
    } catch (...) {
        undo();
        throw;
    }
    return static_cast<int>(all.size());
}

}  // namespace db::datatext
