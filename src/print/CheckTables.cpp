// Check result tables as the print list sees them, read from the check catalogue "check_db.DB" (which report
// writes which table) and the send list "sendname.db" (which check wrote it last).
#include "print/CheckTables.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

#include "app/Main.h"
#include "platform/db/Names.h"
#include "platform/db/Table.h"

namespace print {

namespace {

// Table names match as files do, without regard to case, whether or not the file exists yet.
bool SameName(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty()) {
        return false;
    }
    const std::string x = db::ResolveTableName(a), y = db::ResolveTableName(b);
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
        return std::tolower(static_cast<unsigned char>(p)) == std::tolower(static_cast<unsigned char>(q));
    });
}

struct Writer {
    int report;
    std::string result;  // the report's result table: the one its first catalogue record names
    std::string text;    // the result's line in the send list
    std::string steps;   // what the report's check runs: reports with the same steps write the same result
};

// The reports whose check writes the table, in catalogue order; of reports that run the same steps (reports
// 1 and 3, which share their tables) only the first.
std::vector<Writer> WritersOf(const std::string& table)
{
    std::vector<Writer> reports;
    TTable catalogue;
    catalogue.SetTableName("check_db.DB");
    catalogue.Open();
    for (catalogue.First(); !catalogue.Eof(); catalogue.Next()) {
        const int report = static_cast<int>(catalogue.FieldByName("id")->AsInteger());
        auto w = std::find_if(reports.begin(), reports.end(), [&](const Writer& r) { return r.report == report; });
        if (w == reports.end()) {
            w = reports.insert(reports.end(), {report, catalogue.FieldByName("check_result")->AsString(),
                                               catalogue.FieldByName("text3")->AsString(), {}});
        }
        for (const char* f : {"check_name", "field_name", "field_name2", "db_name", "check_result"}) {
            w->steps += catalogue.FieldByName(f)->AsString() + '\x1f';
        }
    }
    std::vector<Writer> out;
    for (const Writer& w : reports) {
        const bool same = std::any_of(out.begin(), out.end(), [&](const Writer& o) { return o.steps == w.steps; });
        if (SameName(w.result, table) && !same) {
            out.push_back(w);
        }
    }
    return out;
}

std::string ReportName(int report)
{
    const auto& names = F_main->RadioGroup1->Items();
    if (report >= 1 && report <= static_cast<int>(names.size())) {
        return names[static_cast<std::size_t>(report - 1)];
    }
    return "报表" + std::to_string(report);
}

std::string JoinedOr(const std::vector<std::string>& parts)
{
    std::string out;
    for (const std::string& p : parts) {
        out += (out.empty() ? "" : "或") + p;
    }
    return out;
}

// The send list's text for the table as a check result (id 1), or empty.
std::string LastCheckText(const std::string& table)
{
    TTable send;
    send.SetTableName("sendname.db");
    send.Open();
    for (send.First(); !send.Eof(); send.Next()) {
        if (send.FieldByName("id")->AsString() == "1" && SameName(send.FieldByName("name")->AsString(), table)) {
            return send.FieldByName("text")->AsString();
        }
    }
    return {};
}

}  // namespace

bool CheckTableMade(const std::string& table)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(db::ResolveTableName(table), ec)) {
        return false;
    }
    TTable result;
    result.SetTableName(table);
    result.Open();
    return !result.IsEmpty();
}

std::string MissingCheckTableText(const std::string& entry, const std::string& table)
{
    std::vector<std::string> reports;
    for (const Writer& w : WritersOf(table)) {
        reports.push_back("“" + ReportName(w.report) + "”");
    }
    const std::string which = reports.empty() ? std::string("该报表") : JoinedOr(reports);
    return "“" + entry + "”的校验结果表" + table + "还没有生成，请先对" + which + "作“报表校验”。";
}

std::string CheckTableHeading(const std::string& entry, const std::string& table)
{
    const std::vector<Writer> writers = WritersOf(table);
    if (writers.size() < 2) {
        return entry;
    }
    const std::string last = LastCheckText(table);
    if (!last.empty()) {
        return last;
    }
    std::vector<std::string> texts;
    for (const Writer& w : writers) {
        texts.push_back(w.text);
    }
    return JoinedOr(texts) + "（最后一次校验的结果）";
}

}  // namespace print
