// The report list and the hand-in list of the maintenance window, the target folder check, and backup and
// restore report by report through ReplacementSet.
#include "exchange/Maintenance.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "exchange/TableCopy.h"
#include "platform/db/Exception.h"

namespace fs = std::filesystem;

namespace exchange {

namespace {

const std::vector<MaintenanceTable> kEnterpriseTables = {
    {"kfq_1.db", "保存高新区企业（区外企业）企业情况库  文件名：kfq_1.dbf"},
    {"kfq_2.db", "保存高新区企业（区外企业）产品情况库  文件名：kfq_2.dbf"},
    {"kfq_5.db", "保存高新区企业（区外企业）项目情况库  文件名：kfq_5.dbf"},
};

}  // namespace

const std::vector<MaintenanceReport>& MaintenanceReports()
{
    // By item of the window's report list; items 0 and 2 (the enterprises in and outside the zones) share
    // their tables.
    static const std::vector<MaintenanceReport> reports = {
        {kEnterpriseTables},
        {{{"kfqzh.db", "保存高新区综合情况库  文件名：kfqzh.dbf"}}},
        {kEnterpriseTables},
        {{{"gjxm.db", "保存国家项目库  文件名：gjxm.dbf"}}},
        {{{"gj_wsb.db", "保存国家级项目未上报清单  文件名：gj_wsb.dbf"}}},
        {{{"tzjg.db", "保存创业投资机构数据  文件名：tzjg.dbf"}}},
        {{{"rjjd.db", "保存软件产业基地情况库  文件名：rjjd.dbf"},
          {"rjjdqy.db", "保存软件产业基地企业库  文件名：rjjdqy.dbf"},
          {"rjjdqycp.db", "保存软件产业基地企业产品库  文件名：rjjdqycp.dbf"}}},
        {{{"dx.db", "保存大学科技园情况库  文件名：dx.dbf"},
          {"dxzfqy.db", "保存大学科技园在孵企业库  文件名：dxzfqy.dbf"},
          {"dxxm.db", "大学科技园项目库（大学园填）  文件名：dxxm.dbf"},
          {"dxzfqyxm.db", "保存大学科技园项目库（企业填）  文件名：dxzfqyxm.dbf"}}},
        {{{"fhq.db", "保存科技企业孵化器库  文件名：fhq.dbf"},
          {"fhqzfqy.db", "保存科技企业孵化器在孵企业库  文件名：fhqzfqy.dbf"}}},
        {{{"tsjd.db", "特色产业基地  文件名：tsjd.dbf"}}},
        {{{"sjgxq.db", "省级高新区情况调查表  文件名：sjgxq.dbf"}}},
    };
    return reports;
}

const std::vector<std::string>& HandInTables()
{
    static const std::vector<std::string> tables = {
        "gjxm.db",  "fhq.db",   "fhqxm.db", "fhqzfqy.db", "dx.db",   "dxzfqy.db", "dxzfqyxm.db", "kfq_1.db",    "kfq_2.db",
        "kfq_5.db", "kfqzh.db", "tzjg.db",  "tsjd.db",    "rjjd.db", "rjjdqy.db", "rjjdqycp.db", "gj_wsb.db", "sjgxq.db",
    };
    return tables;
}

std::string FolderProblem(const std::string& folder)
{
    std::error_code ec;
    const fs::file_status st = fs::status(folder, ec);
    if (!fs::exists(st)) {
        return "文件夹“" + folder + "”不存在";
    }
    if (!fs::is_directory(st)) {
        return "“" + folder + "”不是文件夹";
    }
    const std::string probe = (fs::path(folder) / (".vemora-probe-" + std::to_string(getpid()))).string();
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        return "文件夹“" + folder + "”不能写入（" + std::strerror(errno) + "）";
    }
    close(fd);
    unlink(probe.c_str());
    return {};
}

CopyOutcome CopyReports(const std::string& dataDir, const std::vector<int>& reports, CopyDirection direction)
{
    const fs::path data(dataDir);
    const fs::path backup = data / kBackupFolder;
    const auto& list = MaintenanceReports();
    CopyOutcome out;
    std::vector<std::string> seen;
    for (int r : reports) {
        if (r < 0 || r >= static_cast<int>(list.size())) {
            continue;
        }
        struct Copy {
            std::string file;
            fs::path source, target;
        };
        std::vector<Copy> copies;
        for (const MaintenanceTable& t : list[static_cast<std::size_t>(r)].tables) {
            if (std::find(seen.begin(), seen.end(), t.file) != seen.end()) {
                continue;  // items 0 and 2 share their tables
            }
            seen.push_back(t.file);
            const fs::path live = data / t.file, kept = backup / t.file;
            Copy c{t.file, direction == CopyDirection::Backup ? live : kept,
                   direction == CopyDirection::Backup ? kept : live};
            std::error_code ec;
            if (fs::exists(c.source, ec)) {
                copies.push_back(c);
            } else {
                out.missing.push_back(t.file);
            }
        }
        ReplacementSet set(direction == CopyDirection::Backup ? ReplacementSet::Previous::Keep
                                                              : ReplacementSet::Previous::Discard);
        std::vector<std::string> files;
        try {
            for (const Copy& c : copies) {
                files.push_back(c.file);
                set.Stage(c.source.string(), c.target.string());
            }
            set.Commit();
            out.copied.insert(out.copied.end(), files.begin(), files.end());
            if (direction == CopyDirection::Backup) {
                for (const std::string& replaced : set.Replaced()) {
                    out.previous.push_back(fs::path(PreviousGeneration(replaced)).filename().string());
                }
            }
        } catch (const Exception& e) {
            for (auto i = files.size(); i < copies.size(); ++i) {
                files.push_back(copies[i].file);
            }
            out.failed.push_back({files, e.Message});
        }
    }
    return out;
}

}  // namespace exchange
