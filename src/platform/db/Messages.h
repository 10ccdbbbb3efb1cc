// The engine's messages to the user, in Chinese, in one place so that they read alike: each names the table
// file it is about (and the field where there is one). The key-violation texts are not here: the windows match
// them exactly ("Key violation.", "Key violation in unique index kfq_13."), so they stay as they are.
#pragma once

#include <string>
#include <system_error>
#include <vector>

namespace db::msg {

// A table file as the user should recognise it: relative to the current folder when it lies inside it, else the
// full path.
std::string ShownName(const std::string& path);

// "数据表“kfq_1.db”" (several files: "数据表“a.db”、“b.db”"); "数据表" alone when none is known.
std::string Table(const std::string& name);
std::string Tables(const std::vector<std::string>& names);

std::string TableMissing(const std::string& name);
// A file that is not a sound table file; a table of the data folder (a name that is not a full path) is pointed
// to the backup folder from which it can be restored.
std::string TableCorrupt(const std::string& name, const std::string& detail = {});
std::string TableCorrupt(const std::vector<std::string>& names);
std::string OldParadoxTable(const std::string& name);
std::string TableUnreadable(const std::string& name);
std::string TableLocked(const std::vector<std::string>& names);
std::string DiskFull(const std::vector<std::string>& names);
std::string TableReadOnly(const std::vector<std::string>& names);
std::string MediaFault(const std::vector<std::string>& names);
std::string CannotOpen(const std::string& name, const std::string& detail);
// Another run holds the table for its whole length (a check writing its result).
std::string TableHeld(const std::string& name);

// A data set described for a message: "数据表“kfq_1.db”", "查询“Query1”".
std::string DataSetClosed(const std::string& described);
std::string DataSetEmpty(const std::string& described);
std::string DataSetReadOnly(const std::string& described);
std::string FieldNotFound(const std::string& described, const std::string& field);
// "数据表“kfq_1.db”：" + message, unless the message names the file already.
std::string InTable(const std::string& described, const std::string& message);

// Values that a field cannot take. kind: "整数", "数值", "日期", "逻辑值".
std::string BadValue(const std::string& field, const std::string& text, const char* kind);
std::string ValueTooLong(const std::string& field, int size);
std::string OutOfRange(const std::string& field, long long value, long long low, long long high);
std::string FieldRequired(const std::string& field);

// Why a file or folder operation failed, in words the user can act on (the system's own text for the rare rest).
std::string FileSystemReason(const std::error_code& ec);
// "：" + the reason, or nothing when there is no error code.
std::string Because(const std::error_code& ec);

std::string IndexMissing(const std::string& table, const std::string& index);
std::string IndexFieldMissing(const std::string& index, const std::string& field);

}  // namespace db::msg
