// The national project list of a region: the rows of one region of the issued list "gjxmqd.dbf" merged into
// the national project table "gjxm.db" by statistics number (jb00). The merge works on a copy of the table
// that replaces it only when every row went in, so a refused row leaves the table as it was.
#pragma once

#include <string>
#include <vector>

class TDataSet;

namespace exchange {

inline constexpr const char* kIssuedListName = "gjxmqd.dbf";
inline constexpr const char* kProjectTableName = "gjxm.db";
// The statement by which a change of the national projects takes them off the send list.
inline constexpr const char* kProjectSendListStatement =
    "delete from sendname.db where name='gjxm.db' or name='gjxm_r.db'";

// Raises EDatabaseError, naming the file and field, unless the open issued list has the fields pxh and jb00.
void CheckIssuedList(TDataSet& list, const std::string& fileName);

struct RegionMergeResult {
    int added = 0, updated = 0;
    std::vector<int> withoutKey;  // record numbers of the region's rows that have no jb00 (skipped)
};

// Merges the rows of list whose pxh is exactly region into the table file projects: a row whose jb00 the
// table holds (without regard to case) updates that record, any other is appended; every field of the list
// that the table also has is copied (an empty number as 0), and gj_one = 1, pxh and id = pxh + jb00 are set.
// With emptyFirst the table is emptied before. Before the merged table replaces the old one, the national
// projects are taken off the send list (sendname.db beside the table), as any change of them does. Raises
// EDatabaseError naming the row and its jb00 when a row cannot be stored (a repeated project name included);
// the table and the send list are then unchanged.
RegionMergeResult MergeRegion(TDataSet& list, const std::string& region, const std::string& projects, bool emptyFirst);

}  // namespace exchange
