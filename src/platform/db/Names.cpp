#include "platform/db/Names.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace db {

namespace {

bool equalNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

// The entry of folder that matches name without regard to case; name itself when it exists as written or
// nothing matches.
std::string matchEntry(const fs::path& folder, const std::string& name)
{
    std::error_code ec;
    if (fs::exists(folder / name, ec))
        return name;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    if (ec)
        return name;
    for (const auto& entry : it) {
        std::string entryName = entry.path().filename().string();
        if (equalNoCase(entryName, name))
            return entryName;
    }
    return name;
}

}  // namespace

std::string ResolveTableName(const std::string& name, const std::string& databaseName)
{
    std::string n = name;
    std::replace(n.begin(), n.end(), '\\', '/');
    // Blanks around a name typed into a dialog are not part of it.
    while (!n.empty() && n.back() == ' ')
        n.pop_back();
    fs::path p(n);
    if (!p.has_extension() && p.has_filename())
        p += ".db";
    if (p.is_relative()) {
        std::string base = databaseName;
        std::replace(base.begin(), base.end(), '\\', '/');
        if (!base.empty() && base != ".")
            p = fs::path(base) / p;
    }
    p = fs::absolute(p).lexically_normal();

    // A path that exists as written is its own match (each folder on it exists as written too): one look.
    std::error_code ec;
    if (fs::exists(p, ec))
        return p.string();
    fs::path resolved = p.root_path();
    for (const auto& part : p.relative_path())
        resolved /= matchEntry(resolved, part.string());
    return resolved.string();
}

TableFormat FormatOfPath(const std::string& path)
{
    std::string ext = fs::path(path).extension().string();
    if (equalNoCase(ext, ".dbf"))
        return TableFormat::DBase;
    if (equalNoCase(ext, ".txt"))
        return TableFormat::Text;
    return TableFormat::Sqlite;
}

}  // namespace db
