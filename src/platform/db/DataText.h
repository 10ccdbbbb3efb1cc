// The text form of the tables that come with the program (data/tables/NAME.txt, described in data/README.md):
// a parser that turns one description into a table name, its description and its rows, and a writer (Format)
// that dumps a table back into that form. Every error of the parser names the source and the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Exception.h"
#include "platform/db/Schema.h"

namespace db::datatext {

struct Description {
    std::string tableName;  // the file name as the program opens it: "kfq_1.db", "gjxmqd.dbf"
    TableSchema schema;
    std::vector<std::vector<Variant>> rows;  // one value per schema field, in field order; null where not given
};

// A fault in a description; Message reads "source:line: what".
class ParseError : public EDatabaseError {
public:
    ParseError(std::string source, int line, const std::string& what)
        : EDatabaseError(source + ":" + std::to_string(line) + ": " + what), Source(std::move(source)), Line(line) {}

    std::string Source;  // the file (or name) the text came from
    int Line;            // 1-based
};

// Parses one description. source names the text in error messages. Values are typed by their field:
// A and M text (A no longer than its size in characters), N and $ float, S small and I/+ 32-bit integers,
// D date (yyyy-mm-dd), L 0 or 1 (read as the integers 0 and 1), T hh:mm:ss and @ yyyy-mm-dd hh:mm:ss (kept as
// text), B text.
Description Parse(std::string_view text, const std::string& source);

// Reads and parses a file; its `table` line must name the file's own name without ".txt".
Description ParseFile(const std::string& path);

// The text form of a table: every field, the indexes, and the rows (all fields, in field order) when there
// are any. Parse(Format(d)) gives d back for every table whose text values have no leading or trailing blanks
// that matter and whose values fit their fields.
std::string Format(const Description& d);

// Makes a data folder from a data directory: every dataDir/tables/*.txt becomes a table file in folder
// (dBase for ".dbf" names, an SQLite table file for every other name), and the work folders "tmp", "bak",
// "sendfile" and "attach" are created beside the tables. folder must be missing or empty. Every description
// is parsed before anything is written, and the folder is built under a temporary name beside it and renamed
// only when complete: on any failure nothing is left behind and the error names the description (and line)
// or the table that failed. Returns the number of tables written.
int BuildDataFolder(const std::string& dataDir, const std::string& folder);

// Makes folder a data folder in place (the program's first start in a folder): it may be missing or hold
// other files, but none of the tables, and nothing but a folder where a work folder belongs. The tables are
// built in a temporary folder inside it and moved in once all are complete; on any failure what was moved in
// or created is taken out again, so the folder is left as it was. Work folders that exist are kept. Returns
// the number of tables written.
int BuildDataFolderIn(const std::string& dataDir, const std::string& folder);

}  // namespace db::datatext
