// A data folder for the query tests: the program's tables with a few enterprises (with products and projects)
// and national projects whose answers can be worked out by hand, and readers of a query's answer.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "support/ProgramTest.h"

namespace querytest {

using Row = std::vector<std::string>;

// Appends records to a table file: one map of field name to text per record.
inline void AppendRecords(const std::string& table, const std::vector<std::map<std::string, std::string>>& records)
{
    TTable t;
    t.SetTableName(table);
    t.Open();
    for (const auto& r : records) {
        t.Append();
        for (const auto& [field, value] : r) {
            t.FieldByName(field)->SetAsString(value);
        }
        t.Post();
    }
}

// Replaces every record of a table file.
inline void ReplaceRows(const std::string& table, const std::vector<std::map<std::string, std::string>>& records)
{
    TTable t;
    t.SetTableName(table);
    t.EmptyTable();
    AppendRecords(table, records);
}

// Deletes the records of a table file whose field holds the value.
inline void DeleteRows(const std::string& table, const std::string& field, const std::string& value)
{
    TTable t;
    t.SetTableName(table);
    t.Open();
    for (t.First(); !t.Eof();) {
        if (t.FieldByName(field)->AsString() == value) {
            t.Delete();
        } else {
            t.Next();
        }
    }
}

// The hand-made reports:
//   kfq_1  QA01    QA02 QB07 QC02 Qa_one   kfq_2  QA01   QE01 QE02 QE03 QE15   kfq_5  Qa01   Qh00 Xmmc   Qh12
//          100001  1    1    100  1               100001 1    甲一 01   10            100001 1    甲项目 7
//          100002  2    1    50   1               100001 2    甲二 02   20            100003 1    丙项目 3
//          100003  1    2    30   1               100002 1    乙一 01   5
//   gjxm   JB00 000000001 (IS_CHGE 1, JC100 10), 000000002 (none, 20), 000000003 (2, 40); GJ_ONE 1 each.
inline void FillHandMadeReports()
{
    AppendRecords("kfq_1.db",
                  {{{"Id", "100001"}, {"QA01", "100001"}, {"QA03", "10000001-1"}, {"QA04", "甲公司"},
                    {"QA02", "1"}, {"QB07", "1"}, {"QC02", "100"}, {"Qa_one", "1"}},
                   {{"Id", "100002"}, {"QA01", "100002"}, {"QA03", "10000002-1"}, {"QA04", "乙公司"},
                    {"QA02", "2"}, {"QB07", "1"}, {"QC02", "50"}, {"Qa_one", "1"}},
                   {{"Id", "100003"}, {"QA01", "100003"}, {"QA03", "10000003-1"}, {"QA04", "丙公司"},
                    {"QA02", "1"}, {"QB07", "2"}, {"QC02", "30"}, {"Qa_one", "1"}}});
    AppendRecords("kfq_2.db",
                  {{{"ID", "1000011"}, {"QA01", "100001"}, {"QE01", "1"}, {"QE02", "甲一"}, {"QE03", "01"},
                    {"QE15", "10"}, {"QE_ONE", "1"}},
                   {{"ID", "1000012"}, {"QA01", "100001"}, {"QE01", "2"}, {"QE02", "甲二"}, {"QE03", "02"},
                    {"QE15", "20"}, {"QE_ONE", "1"}},
                   {{"ID", "1000021"}, {"QA01", "100002"}, {"QE01", "1"}, {"QE02", "乙一"}, {"QE03", "01"},
                    {"QE15", "5"}, {"QE_ONE", "1"}}});
    AppendRecords("kfq_5.db",
                  {{{"Id", "1000011"}, {"Qa01", "100001"}, {"Qh00", "1"}, {"Xmmc", "甲项目"}, {"Qh12", "7"},
                    {"Qh_one", "1"}},
                   {{"Id", "1000031"}, {"Qa01", "100003"}, {"Qh00", "1"}, {"Xmmc", "丙项目"}, {"Qh12", "3"},
                    {"Qh_one", "1"}}});
    AppendRecords("gjxm.db",
                  {{{"Id", "000000001"}, {"JB00", "000000001"}, {"JB01", "项目一"}, {"IS_CHGE", "1"},
                    {"JC100", "10"}, {"GJ_ONE", "1"}},
                   {{"Id", "000000002"}, {"JB00", "000000002"}, {"JB01", "项目二"}, {"JC100", "20"},
                    {"GJ_ONE", "1"}},
                   {{"Id", "000000003"}, {"JB00", "000000003"}, {"JB01", "项目三"}, {"IS_CHGE", "2"},
                    {"JC100", "40"}, {"GJ_ONE", "1"}}});
}

// The rows of an open data set as text: the named columns, or every column when none is named.
inline std::vector<Row> Answer(TDataSet& d, const std::vector<std::string>& columns = {})
{
    std::vector<Row> out;
    for (d.First(); !d.Eof(); d.Next()) {
        Row& row = out.emplace_back();
        if (columns.empty()) {
            for (int i = 0; i < d.FieldCount(); ++i) {
                row.push_back(d.Fields()[i]->AsString());
            }
        }
        for (const std::string& c : columns) {
            row.push_back(d.FieldByName(c)->AsString());
        }
    }
    return out;
}

// Runs a statement given as lines and returns its answer.
inline std::vector<Row> Run(const std::vector<std::string>& lines, const std::vector<std::string>& columns = {})
{
    TQuery q;
    for (const std::string& l : lines) {
        q.SQL.Add(l);
    }
    q.Open();
    return Answer(q, columns);
}

}  // namespace querytest
