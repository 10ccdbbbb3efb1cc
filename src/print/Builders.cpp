// The summary and list builders of TF_report: each runs its statements (BuilderStatements.h) through Query1 and
// saves the answer as its work table, which the report form then prints. The enterprise summary also refills
// the one-row count table through the main window's shared Table1.
#include "app/Main.h"
#include "print/BuilderStatements.h"
#include "print/Report.h"
#include "print/SaveAsTable.h"

void TF_report::OpenStatement(const std::vector<std::string>& lines)
{
    Query1->SQL.Clear();
    for (const std::string& line : lines) {
        Query1->SQL.Add(line);
    }
    Query1->Open();
}

void TF_report::SaveStatement(const print::Statement& statement)
{
    OpenStatement(statement.Lines(DataFolder));
    SaveAsTable(Query1, nullptr, statement.output);
}

void TF_report::BuildIndustrialList() { SaveStatement(print::IndustrialList()); }

void TF_report::BuildServiceList() { SaveStatement(print::ServiceList()); }

void TF_report::BuildLargeEnterpriseList(int mode)
{
    SaveStatement(print::LargeEnterpriseList(mode == 2 ? print::LargeListMode::Listed
                                                       : print::LargeListMode::TotalIncome));
}

void TF_report::BuildZoneSummary()
{
    for (const print::Statement& s : print::ZoneSums()) {
        SaveStatement(s);
    }

    // Every count is taken before the count table is touched, so that a failing statement leaves it as it was.
    std::vector<std::pair<std::string, std::int64_t>> counts;
    for (const print::CountStatement& c : print::ZoneCounts()) {
        OpenStatement({c.Line(DataFolder)});
        counts.emplace_back(c.alias, Query1->FieldByName(c.alias)->AsInteger());
    }
    TTable* counted = F_main->Table1;
    counted->Close();
    counted->SetTableName(print::kZoneCountTable);
    try {
        counted->EmptyTable();
        counted->Open();
        counted->Append();
        for (const auto& [alias, value] : counts) {
            counted->FieldByName(alias)->SetAsInteger(value);
        }
        counted->Post();
    } catch (...) {
        // the shared table goes back closed, with no record pending, for its next user
        if (counted->Active()) {
            counted->Cancel();
        }
        counted->Close();
        throw;
    }
    counted->Close();

    OpenStatement({print::kZoneSummaryLine});
    SaveAsTable(Query1, nullptr, print::kZoneSummaryTable);
}

void TF_report::BuildSoftwareSummary() { SaveStatement(print::SoftwareSummary()); }

void TF_report::BuildLocalProjectSummary() { SaveStatement(print::LocalProjectSummary()); }

void TF_report::BuildNationalProjectSummary() { SaveStatement(print::NationalProjectSummary()); }
