// The merge of a region's issued projects, on a staged copy of "gjxm.db" that replaces the table once the
// whole merge has gone in.
#include "exchange/RegionList.h"

#include <filesystem>

#include "exchange/TableCopy.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"

namespace exchange {

void CheckIssuedList(TDataSet& list, const std::string& fileName)
{
    for (const char* field : {"pxh", "jb00"}) {
        if (!list.FindField(field)) {
            throw EDatabaseError("国家级项目清单“" + fileName + "”中没有字段 " + field + "，不能用它生成项目清单");
        }
    }
}

namespace {

// Copies one row of the list into the current record of the table (in edit or insert state).
void CopyRow(TDataSet& list, TTable& table)
{
    for (const auto& from : list.Fields()) {
        TField* to = table.FindField(from->FieldName());
        if (!to) {
            continue;
        }
        if (from->IsNumeric() && from->IsNull()) {
            to->SetAsInteger(0);
        } else {
            to->SetValue(from->Value());
        }
    }
    const std::string pxh = list.FieldByName("pxh")->AsString();
    table.FieldByName("gj_one")->SetAsInteger(1);
    table.FieldByName("pxh")->SetAsString(pxh);
    table.FieldByName("id")->SetAsString(pxh + table.FieldByName("jb00")->AsString());
}

}  // namespace

RegionMergeResult MergeRegion(TDataSet& list, const std::string& region, const std::string& projects, bool emptyFirst)
{
    RegionMergeResult result;
    ReplacementSet set(ReplacementSet::Previous::Discard);
    TTable table;
    table.SetTableName(set.Stage(projects, projects));
    table.Open();
    try {
        table.SetIndexName("gjxm");
        if (emptyFirst) {
            table.EmptyTable();
        }
        table.BeginBatch();
        int recNo = 0;
        for (list.First(); !list.Eof(); list.Next()) {
            ++recNo;
            if (list.FieldByName("pxh")->AsString() != region) {
                continue;
            }
            const std::string key = list.FieldByName("jb00")->AsString();
            if (key.empty()) {
                result.withoutKey.push_back(recNo);
                continue;
            }
            table.EditKey();
            table.FieldByName("jb00")->SetAsString(key);
            if (table.GotoKey()) {
                table.Edit();
                ++result.updated;
            } else {
                table.Append();
                ++result.added;
            }
            try {
                CopyRow(list, table);
                table.Post();
            } catch (const Exception& e) {
                table.Cancel();
                throw EDatabaseError("清单第" + std::to_string(recNo) + "条记录（统计编号 " + key + "）不能写入“" +
                                     projects + "”：" + e.Message);
            }
        }
        table.EndBatch();
        table.Close();
    } catch (...) {
        table.Close();
        throw;
    }
    TQuery clear;
    clear.DatabaseName = std::filesystem::path(projects).parent_path().string();
    clear.SQL.Add(kProjectSendListStatement);
    clear.ExecSQL();
    set.Commit();
    return result;
}

}  // namespace exchange
