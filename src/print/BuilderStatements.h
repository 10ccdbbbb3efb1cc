// The statements of the summary and list builders, kept as data: each column's expression and alias, the source
// file and what follows it on the FROM line. The aliases become the field names of the work tables that the
// report forms bind to, so they are written here once; the builders turn the data into statement lines and the
// tests read the same data to check the forms and to recompute the sums.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace print {

struct Column {
    std::string expr;   // "qa01", "sum(a.QC02)"
    std::string alias;  // the field name in the work table
};

enum class FromBlank { Leading, None };  // whether the FROM line starts with a blank

// One select statement of a builder: the select line with the first column, one line per further column
// (starting with a comma), the FROM line and, for one statement, a separate WHERE line.
struct Statement {
    Statement(std::string output_, std::vector<Column> columns_, std::string file_, std::string rest_,
              std::string where_ = {}, FromBlank fromBlank_ = FromBlank::Leading)
        : output(std::move(output_)), columns(std::move(columns_)), file(std::move(file_)), rest(std::move(rest_)),
          where(std::move(where_)), fromBlank(fromBlank_)
    {
    }

    std::string output;  // the work table it is saved to
    std::vector<Column> columns;
    std::string file;    // the source table file, quoted on the FROM line with DataFolder in front
    std::string rest;    // what follows the closing quote on the FROM line
    std::string where;   // a separate last line, or empty
    FromBlank fromBlank = FromBlank::Leading;

    // The statement's lines, with dataFolder in front of the file name.
    std::vector<std::string> Lines(const std::string& dataFolder) const;
    const Column* Find(const std::string& alias) const;
};

// One count of the enterprise summary: a single line, head + quoted file + rest, whose answer field is alias.
struct CountStatement {
    std::string alias;
    std::string head;
    std::string rest;

    std::string Line(const std::string& dataFolder) const;
};

enum class LargeListMode { TotalIncome = 1, Listed = 2 };

const Statement& IndustrialList();                    // gyqy.db
const Statement& ServiceList();                       // fwqy.db
const Statement& LargeEnterpriseList(LargeListMode);  // dqy.db
// The enterprise summary: the three sum statements (kfq1hz.db, kfq2hz.db, kfq3hz.db), the five counts
// written into kfq4hz.db, and the product of the four one-row tables saved as qyhz.db.
const std::vector<Statement>& ZoneSums();
const std::vector<CountStatement>& ZoneCounts();
inline constexpr const char* kZoneCountTable = "kfq4hz.db";
inline constexpr const char* kZoneCountSource = "kfq_1.db";
inline constexpr const char* kZoneSummaryLine = "select * from kfq1hz.db,kfq2hz.db,kfq3hz.db,kfq4hz.db";
inline constexpr const char* kZoneSummaryTable = "qyhz.db";
const Statement& SoftwareSummary();                   // rjqyhz.db
const Statement& LocalProjectSummary();               // dfhz.db
const Statement& NationalProjectSummary();            // gjhz.db

}  // namespace print
