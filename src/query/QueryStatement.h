// The SQL builder of the query window: from a plain description of the user's choices (ticked output, sum and
// group fields, ticked tables, AND and OR conditions, sort keys, the report's filter) it writes the query and the
// statistics statement as the lines of a TQuery's SQL, one fragment per line. Pure functions: no window, no
// table is touched, so every line form can be checked on its own.
#pragma once

#include <string>
#include <vector>

namespace query {

using Lines = std::vector<std::string>;

// One entry of a field list: the column expression, the display name (also the column alias) and the table
// reference of its table ("\"kfq_1.db\" a").
struct QueryField {
    std::string name;
    std::string text;
    std::string table;
};

// A condition as the user composed it, with the table text recorded beside it.
struct QueryCondition {
    std::string text;
    std::string table;
};

struct SortKey {
    std::string text;  // display name
    bool descending = false;
};

// How the AND group and the OR group meet ("与" / "或").
enum class GroupJoin { And, Or };

struct QueryChoices {
    QueryField key;                       // the dictionary's key field: its table leads every FROM list
    std::vector<QueryField> output;       // ticked output fields, in list order
    std::vector<QueryField> sums;         // ticked sum fields, in list order
    std::vector<QueryField> groups;       // ticked group fields, in list order
    std::vector<std::string> tables;      // ticked tables
    std::vector<QueryCondition> allOf;    // the AND conditions
    std::vector<QueryCondition> anyOf;    // the OR conditions
    GroupJoin between = GroupJoin::And;
    std::vector<SortKey> sort;
    std::string extraFilter;              // the report's own condition, without "and"
};

// A dictionary row's table: the file name, alone or followed by one blank and a one-letter alias ("kfq_1.db a").
struct DictionaryTable {
    std::string file;
    std::string alias;  // empty when the row gives none
};
DictionaryTable SplitTableName(const std::string& dbName);

// The text that stands for a dictionary row's table in FROM lists: the file name in double quotes with the data
// folder in front, followed by a blank and the alias letter when the row gives one.
std::string TableReference(const std::string& dbName, const std::string& dataFolder);

// Appends a table reference to the FROM list unless the same text (case-sensitive) is there. An empty
// reference (a condition recorded while the table box was empty) names no table and is left out.
void AddQueryTable(std::vector<std::string>& fromList, const std::string& reference);

// Appends the FROM line, the joins of every further table to the first on the key column, the report's filter
// and the condition groups. Adds the ticked tables and the conditions' tables to fromList first.
void BuildFromWhere(const QueryChoices& c, std::vector<std::string>& fromList, Lines& statement);

// "进行查询": the ticked fields (or every column of the tables named when none is ticked), sorted by the keys.
// With nothing ticked only the key's table, the ticked tables and the conditions' tables are joined, so a
// master record shows once and one without detail records still shows. fromList (when given) receives the
// statement's FROM list.
Lines QueryStatement(const QueryChoices& c, std::vector<std::string>* fromList = nullptr);

// "进行统计": the sums of the ticked sum fields, grouped by the ticked group fields. Empty when no sum field is
// ticked.
Lines StatisticsStatement(const QueryChoices& c, std::vector<std::string>* fromList = nullptr);

// The ticked sum fields whose records the statistic's joins repeat: a field's record stands once for every
// matching record of another joined detail table (a master's figure once per product), so its total comes out
// too large. Empty when every sum counts each record once.
std::vector<QueryField> RepeatedSums(const QueryChoices& c);

}  // namespace query
