// Building a data folder from the text form of data/: the one routine behind the set-up tool, also used by
// tests to start from a fresh data folder. Split from DataText.cpp, which only parses and formats.
#include <algorithm>
#include <filesystem>
#include <random>
#include <strings.h>

#include "platform/db/DataText.h"
#include "platform/db/Dbf.h"
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
        throw EDatabaseError("no folder " + tables.string());
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(tables, ec)) {
        if (e.path().extension() == ".txt" && e.is_regular_file(ec))
            files.push_back(e.path());
    }
    if (ec)
        throw EDatabaseError("cannot list " + tables.string() + ": " + ec.message());
    std::sort(files.begin(), files.end());
    std::vector<Loaded> out;
    for (const auto& f : files) {
        Loaded l{f, ParseFile(f.string())};
        const std::string& name = l.d.tableName;
        if (name.find_first_of("/\\") != std::string::npos || name == "." || name == "..")
            throw EDatabaseError(f.string() + ": table name " + name + " is not a plain file name");
        for (const auto& o : out) {
            if (strcasecmp(o.d.tableName.c_str(), name.c_str()) == 0)
                throw EDatabaseError(f.string() + ": table " + name + " is also described by " + o.file.string());
        }
        for (const char* w : kWorkFolders) {
            if (strcasecmp(w, name.c_str()) == 0)
                throw EDatabaseError(f.string() + ": table name " + name + " is the name of a work folder");
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
        throw EDatabaseError("table " + l.d.tableName + " (" + l.file.string() + ") could not be created: " +
                             e.Message);
    }
}

// A new folder with a name of its own in parent, for building a data folder before it is moved into place.
fs::path MakeStaging(const fs::path& parent, const std::string& stem)
{
    std::random_device rd;
    std::error_code ec;
    const fs::path staging = parent / (stem + ".setup-" + std::to_string(rd()));
    if (!fs::create_directory(staging, ec) || ec)
        throw EDatabaseError("cannot create " + staging.string() + (ec ? ": " + ec.message() : std::string()));
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
            throw EDatabaseError(folder + " exists and is not a folder");
        if (!fs::is_empty(named, ec))
            throw EDatabaseError(folder + " is not empty; the data folder is built only into a new or empty folder");
    }
    fs::create_directories(named.parent_path(), ec);
    if (ec)
        throw EDatabaseError("cannot create " + named.parent_path().string() + ": " + ec.message());

    const fs::path staging = MakeStaging(named.parent_path(), named.filename().string());
    try {
        for (const auto& l : all)
            WriteTable(staging, l);
        for (const char* w : kWorkFolders) {
            fs::create_directory(staging / w, ec);
            if (ec)
                throw EDatabaseError("cannot create the folder " + std::string(w) + ": " + ec.message());
        }
        if (fs::exists(named, ec))
            fs::remove(named, ec);  // empty, checked above
        fs::rename(staging, named, ec);
        if (ec)
            throw EDatabaseError("cannot move the new data folder to " + named.string() + ": " + ec.message());
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
        throw EDatabaseError(folder + " exists and is not a folder");
    std::vector<fs::path> made;  // taken out again on failure, last first
    for (fs::path p = named; !fs::exists(p, ec) && p.has_parent_path() && p != p.parent_path(); p = p.parent_path())
        made.insert(made.begin(), p);
    fs::create_directories(named, ec);
    if (ec)
        throw EDatabaseError("cannot create " + named.string() + ": " + ec.message());
    auto undo = [&made] {
        std::error_code ignored;
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            fs::remove(*it, ignored);
    };
    try {
        for (const auto& l : all) {
            if (const fs::path held = EntryNamed(named, l.d.tableName); !held.empty())
                throw EDatabaseError(folder + " already holds the table " + held.filename().string());
        }
        for (const char* w : kWorkFolders) {
            if (const fs::path held = EntryNamed(named, w); !held.empty() && !fs::is_directory(held, ec))
                throw EDatabaseError(folder + " holds a file " + held.filename().string() + " where the work folder " +
                                     w + " belongs");
        }
        const fs::path staging = MakeStaging(named, "");
        try {
            for (const auto& l : all)
                WriteTable(staging, l);
            for (const auto& l : all) {
                fs::rename(staging / l.d.tableName, named / l.d.tableName, ec);
                if (ec)
                    throw EDatabaseError("cannot move the table " + l.d.tableName + " into " + named.string() + ": " +
                                         ec.message());
                made.push_back(named / l.d.tableName);
            }
            for (const char* w : kWorkFolders) {
                if (!EntryNamed(named, w).empty())
                    continue;
                fs::create_directory(named / w, ec);
                if (ec)
                    throw EDatabaseError("cannot create the folder " + std::string(w) + ": " + ec.message());
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
