// Parser and writer of the text form of data/. The parser is line based: keyword lines (table, field,
// primary, index, rows) build the description, and the lines between `rows` and `end` are records whose
// values are separated by unescaped "|".
#include "platform/db/DataText.h"

#include <climits>
#include <fstream>
#include <sstream>
#include <unordered_map>
#include <strings.h>

#include "platform/db/TextFileValue.h"

namespace db::datatext {
namespace {

std::vector<std::string> Words(std::string_view line)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            out.emplace_back(line.substr(start, i - start));
    }
    return out;
}

std::vector<std::string> SplitList(const std::string& s, char sep)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t p = s.find(sep, start);
        out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos)
            break;
        start = p + 1;
    }
    return out;
}

std::size_t CharCount(std::string_view utf8)
{
    std::size_t n = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    }
    return n;
}

bool IsDigits(std::string_view s, std::size_t from, std::size_t len)
{
    for (std::size_t i = from; i < from + len; ++i) {
        if (i >= s.size() || s[i] < '0' || s[i] > '9')
            return false;
    }
    return true;
}

bool IsTime(std::string_view s)
{
    if (s.size() != 8 || s[2] != ':' || s[5] != ':' || !IsDigits(s, 0, 2) || !IsDigits(s, 3, 2) || !IsDigits(s, 6, 2))
        return false;
    const int h = (s[0] - '0') * 10 + (s[1] - '0');
    const int m = (s[3] - '0') * 10 + (s[4] - '0');
    const int sec = (s[6] - '0') * 10 + (s[7] - '0');
    return h < 24 && m < 60 && sec < 60;
}

class Parser {
public:
    explicit Parser(std::string source) : source_(std::move(source)) {}

    Description Run(std::string_view text)
    {
        std::size_t pos = 0;
        int lineNo = 0;
        while (pos <= text.size()) {
            std::size_t eol = text.find('\n', pos);
            if (eol == std::string_view::npos)
                eol = text.size();
            std::string_view line = text.substr(pos, eol - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            ++lineNo;
            line_ = lineNo;
            Line(line);
            if (eol == text.size())
                break;
            pos = eol + 1;
        }
        if (inRows_)
            throw ParseError(source_, rowsLine_, "rows without end");
        if (d_.tableName.empty())
            throw ParseError(source_, lineNo, "no table line");
        if (d_.schema.fields.empty())
            throw ParseError(source_, tableLine_, "table " + d_.tableName + " has no fields");
        return std::move(d_);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const { throw ParseError(source_, line_, what); }

    void Line(std::string_view line)
    {
        if (!line.empty() && line[0] == '#')
            return;
        if (inRows_) {
            if (line == "end") {
                inRows_ = false;
                ended_ = true;
            } else if (!line.empty()) {
                Record(line);
            }
            return;
        }
        const auto w = Words(line);
        if (w.empty())
            return;
        if (ended_)
            Fail("text after end");
        const std::string& kw = w[0];
        if (d_.tableName.empty() && kw != "table")
            Fail("the description must start with a table line");
        if (kw == "table")
            Table(w);
        else if (kw == "field")
            Field(w);
        else if (kw == "primary")
            Primary(w);
        else if (kw == "index")
            Index(w);
        else if (kw == "rows")
            Rows(w);
        else if (kw == "end")
            Fail("end without rows");
        else
            Fail("unknown keyword '" + kw + "'");
    }

    void Table(const std::vector<std::string>& w)
    {
        if (!d_.tableName.empty())
            Fail("a second table line");
        if (w.size() != 2)
            Fail("table takes one name");
        d_.tableName = w[1];
        tableLine_ = line_;
    }

    void Field(const std::vector<std::string>& w)
    {
        if (indexesStarted_)
            Fail("field after primary or index");
        if (w.size() != 3)
            Fail("field takes a name and a type");
        const std::string& name = w[1];
        if (name.find_first_of("|;") != std::string::npos)
            Fail("field name '" + name + "' contains '|' or ';'");
        if (FieldAt(name) >= 0)
            Fail("duplicate field '" + name + "'");
        const std::string& t = w[2];
        const auto type = fieldTypeFromLetter(t[0]);
        if (!type)
            Fail("unknown type letter '" + t.substr(0, 1) + "' for field " + name);
        FieldDesc f;
        f.name = name;
        f.type = *type;
        const std::string sizeText = t.substr(1);
        if (!sizeText.empty()) {
            const auto size = text::ParseInteger(sizeText);
            if (!fieldTypeHasSize(*type))
                Fail("type " + t.substr(0, 1) + " takes no size (field " + name + ")");
            if (!size || sizeText[0] == '+' || sizeText[0] == '-')
                Fail("bad size '" + sizeText + "' for field " + name);
            if (*size < 1 || (*type == FieldType::String && *size > 255) || *size > 65535)
                Fail("size " + sizeText + " out of range for field " + name);
            f.size = static_cast<int>(*size);
        } else if (*type == FieldType::String) {
            Fail("size missing for A (field " + name + ")");
        }
        fieldAt_.emplace(Folded(name), static_cast<int>(d_.schema.fields.size()));
        d_.schema.fields.push_back(f);
    }

    // Field names match without regard to (ASCII) case, as the schema's own lookup does; a map keeps a table
    // of many fields from costing a scan per field.
    static std::string Folded(const std::string& name)
    {
        std::string out = name;
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    }
    int FieldAt(const std::string& name) const
    {
        const auto it = fieldAt_.find(Folded(name));
        return it == fieldAt_.end() ? -1 : it->second;
    }

    std::vector<std::string> IndexFields(const std::string& list)
    {
        std::vector<std::string> out;
        for (const std::string& n : SplitList(list, ';')) {
            const int i = FieldAt(n);
            if (n.empty() || i < 0)
                Fail("unknown field '" + n + "' in index");
            const std::string& name = d_.schema.fields[static_cast<std::size_t>(i)].name;
            for (const auto& o : out) {
                if (o == name)
                    Fail("field '" + n + "' twice in one index");
            }
            out.push_back(name);
        }
        return out;
    }

    void Primary(const std::vector<std::string>& w)
    {
        indexesStarted_ = true;
        if (d_.schema.primaryIndex())
            Fail("a second primary index");
        if (w.size() < 2 || w.size() > 3 || (w.size() == 3 && w[2] != "nocase"))
            Fail("primary takes fields separated by ';' and optionally nocase");
        IndexDesc ix;
        ix.fields = IndexFields(w[1]);
        ix.primary = true;
        ix.unique = true;
        ix.caseInsensitive = w.size() == 3;
        d_.schema.indexes.insert(d_.schema.indexes.begin(), ix);
    }

    void Index(const std::vector<std::string>& w)
    {
        indexesStarted_ = true;
        if (w.size() < 3)
            Fail("index takes a name and fields");
        if (d_.schema.findIndex(w[1]))
            Fail("duplicate index '" + w[1] + "'");
        IndexDesc ix;
        ix.name = w[1];
        ix.fields = IndexFields(w[2]);
        for (std::size_t i = 3; i < w.size(); ++i) {
            if (w[i] == "unique" && !ix.unique)
                ix.unique = true;
            else if (w[i] == "nocase" && !ix.caseInsensitive)
                ix.caseInsensitive = true;
            else
                Fail("unknown index option '" + w[i] + "'");
        }
        d_.schema.indexes.push_back(ix);
    }

    void Rows(const std::vector<std::string>& w)
    {
        if (rowsSeen_)
            Fail("a second rows line");
        if (d_.schema.fields.empty())
            Fail("rows before any field");
        if (w.size() != 2)
            Fail("rows takes the column names separated by '|'");
        rowsSeen_ = true;
        std::vector<bool> taken(d_.schema.fields.size());
        for (const std::string& n : SplitList(w[1], '|')) {
            const int i = FieldAt(n);
            if (i < 0)
                Fail("unknown column '" + n + "' in rows");
            if (taken[static_cast<std::size_t>(i)])
                Fail("column '" + n + "' twice in rows");
            taken[static_cast<std::size_t>(i)] = true;
            columns_.push_back(i);
        }
        inRows_ = true;
        indexesStarted_ = true;
        rowsLine_ = line_;
    }

    std::vector<std::string> SplitValues(std::string_view line) const
    {
        std::vector<std::string> out(1);
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '|') {
                out.emplace_back();
            } else if (c == '\\') {
                if (i + 1 >= line.size())
                    Fail("bad escape: '\\' at the end of the line");
                const char e = line[++i];
                switch (e) {
                case '|': out.back() += '|'; break;
                case '\\': out.back() += '\\'; break;
                case 'n': out.back() += '\n'; break;
                case 't': out.back() += '\t'; break;
                case 'r': out.back() += '\r'; break;
                case '#': out.back() += '#'; break;
                default: Fail(std::string("bad escape '\\") + e + "'");
                }
            } else {
                out.back() += c;
            }
        }
        return out;
    }

    Variant Value(const FieldDesc& f, const std::string& s) const
    {
        if (s.empty())
            return {};
        const auto bad = [&](const char* what) {
            Fail("bad " + std::string(what) + " '" + s + "' for field " + f.name);
        };
        switch (f.type) {
        case FieldType::String:
            if (CharCount(s) > static_cast<std::size_t>(f.size))
                Fail("value of " + std::to_string(CharCount(s)) + " characters too long for " + f.name + " A" +
                     std::to_string(f.size));
            return s;
        case FieldType::Memo:
        case FieldType::Blob:
            return s;
        case FieldType::Float:
        case FieldType::Currency: {
            const auto v = text::ParseDecimal(s);
            if (!v)
                bad("number");
            return *v;
        }
        case FieldType::Smallint:
        case FieldType::Integer:
        case FieldType::AutoInc: {
            const auto v = text::ParseInteger(s);
            const std::int64_t lo = f.type == FieldType::Smallint ? -32768 : INT32_MIN;
            const std::int64_t hi = f.type == FieldType::Smallint ? 32767 : INT32_MAX;
            if (!v || *v < lo || *v > hi)
                bad("integer");
            return *v;
        }
        case FieldType::Date: {
            const auto v = text::ParseDate(s);
            if (!v)
                bad("date");
            return *v;
        }
        case FieldType::Boolean:
            if (s != "0" && s != "1")
                bad("logical");
            return std::int64_t{s == "1" ? 1 : 0};
        case FieldType::Time:
            if (!IsTime(s))
                bad("time");
            return s;
        case FieldType::DateTime:
            if (s.size() != 19 || s[10] != ' ' || !text::ParseDate(s.substr(0, 10)) || !IsTime(s.substr(11)))
                bad("timestamp");
            return s;
        }
        return s;
    }

    void Record(std::string_view line)
    {
        const auto values = SplitValues(line);
        if (values.size() != columns_.size())
            Fail("row has " + std::to_string(values.size()) + " values for " + std::to_string(columns_.size()) +
                 " columns");
        std::vector<Variant> row(d_.schema.fields.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto col = static_cast<std::size_t>(columns_[i]);
            row[col] = Value(d_.schema.fields[col], values[i]);
        }
        d_.rows.push_back(std::move(row));
    }

    std::string source_;
    int line_ = 0, tableLine_ = 0, rowsLine_ = 0;
    Description d_;
    std::vector<int> columns_;
    std::unordered_map<std::string, int> fieldAt_;  // folded field name -> position
    bool indexesStarted_ = false, rowsSeen_ = false, inRows_ = false, ended_ = false;
};

std::string Escape(const std::string& s)
{
    std::string out;
    for (const char c : s) {
        switch (c) {
        case '|': out += "\\|"; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Join(const std::vector<std::string>& items, char sep)
{
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += sep;
        out += items[i];
    }
    return out;
}

}  // namespace

Description Parse(std::string_view text, const std::string& source)
{
    return Parser(source).Run(text);
}

Description ParseFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EDatabaseError("无法读取“" + path + "”");
    std::ostringstream buf;
    buf << in.rdbuf();
    const std::string text = buf.str();
    std::string name = path.substr(path.find_last_of('/') + 1);
    Description d = Parse(text, path);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0)
        name.resize(name.size() - 4);
    if (d.tableName != name) {
        // Point at the table line.
        int line = 1;
        std::size_t pos = 0;
        for (std::string_view rest = text;;) {
            const std::size_t eol = rest.find('\n', pos);
            const std::string_view l = rest.substr(pos, eol == std::string_view::npos ? std::string_view::npos : eol - pos);
            if (l.rfind("table", 0) == 0)
                break;
            if (eol == std::string_view::npos)
                break;
            pos = eol + 1;
            ++line;
        }
        throw ParseError(path, line, "table " + d.tableName + " does not match the file name " + name + ".txt");
    }
    return d;
}

std::string Format(const Description& d)
{
    std::string out = "table " + d.tableName + "\n";
    for (const auto& f : d.schema.fields) {
        out += "field " + f.name + " " + fieldTypeLetter(f.type);
        if (fieldTypeHasSize(f.type) && f.size > 0)
            out += std::to_string(f.size);
        out += "\n";
    }
    for (const auto& ix : d.schema.indexes) {
        if (ix.primary) {
            out += "primary " + Join(ix.fields, ';') + (ix.caseInsensitive ? " nocase" : "") + "\n";
        } else {
            out += "index " + ix.name + " " + Join(ix.fields, ';') + (ix.unique ? " unique" : "") +
                   (ix.caseInsensitive ? " nocase" : "") + "\n";
        }
    }
    if (!d.rows.empty()) {
        std::vector<std::string> names;
        for (const auto& f : d.schema.fields)
            names.push_back(f.name);
        out += "rows " + Join(names, '|') + "\n";
        for (const auto& row : d.rows) {
            std::vector<std::string> values;
            for (const auto& v : row)
                values.push_back(Escape(text::ValueText(v)));
            std::string line = Join(values, '|');
            if (!line.empty() && line[0] == '#')
                line.insert(0, "\\");
            out += line + "\n";
        }
        out += "end\n";
    }
    return out;
}

}  // namespace db::datatext
