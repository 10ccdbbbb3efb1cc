#include "platform/db/TextFile.h"

#include <cmath>
#include <optional>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/db/Exception.h"
#include "platform/db/Gbk.h"
#include "platform/db/Messages.h"
#include "platform/db/TextFileValue.h"

namespace fs = std::filesystem;

namespace db::text {
namespace {

bool IsQuotedType(FieldType t)
{
    switch (t) {
    case FieldType::String: case FieldType::Memo: case FieldType::Blob: case FieldType::Time:
    case FieldType::DateTime:
        return true;
    default:
        return false;
    }
}

bool IsIntegerType(FieldType t)
{
    return t == FieldType::Smallint || t == FieldType::Integer || t == FieldType::AutoInc;
}

// The unquoted text of a non-text value, or nullopt when the value does not suit the field.
std::optional<std::string> PlainValue(const FieldDesc& f, const Variant& v)
{
    if (const auto* s = std::get_if<std::string>(&v)) {
        // Text handed to a typed field must be a value of that type.
        switch (f.type) {
        case FieldType::Date:
            return ParseDate(*s) ? std::optional<std::string>(*s) : std::nullopt;
        case FieldType::Boolean:
            if (*s == "1" || *s == "T" || *s == "t")
                return "T";
            if (*s == "0" || *s == "F" || *s == "f")
                return "F";
            return std::nullopt;
        default:
            if (IsIntegerType(f.type))
                return ParseInteger(*s) ? std::optional<std::string>(*s) : std::nullopt;
            return ParseDecimal(*s) ? std::optional<std::string>(*s) : std::nullopt;
        }
    }
    if (f.type == FieldType::Boolean) {
        if (const auto* i = std::get_if<std::int64_t>(&v))
            return std::string(*i ? "T" : "F");
        if (const auto* d = std::get_if<double>(&v))
            return std::string(*d != 0 ? "T" : "F");
        return std::nullopt;
    }
    if (f.type == FieldType::Date)
        return std::holds_alternative<Date>(v) ? std::optional<std::string>(ValueText(v)) : std::nullopt;
    if (const auto* d = std::get_if<double>(&v)) {
        if (!std::isfinite(*d))
            return std::nullopt;
        if (IsIntegerType(f.type) && *d != std::trunc(*d))
            return std::nullopt;
    }
    if (std::holds_alternative<Date>(v))
        return std::nullopt;
    return ValueText(v);
}

std::string NotSuited(const Variant& v) { return "“" + ValueText(v) + "”与字段类型不符"; }

std::string Context(const std::string& path, std::size_t record, const FieldDesc& f)
{
    return "文本文件“" + msg::ShownName(path) + "”：第 " + std::to_string(record + 1) + " 条记录，字段“" + f.name + "”：";
}

class Lexer {
public:
    Lexer(std::string path, std::string text) : path_(std::move(path)), text_(std::move(text)) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    int Line() const { return line_; }

    // One record: its cells, each with a flag telling whether it was quoted.
    std::vector<std::pair<std::string, bool>> Record()
    {
        std::vector<std::pair<std::string, bool>> cells;
        while (true) {
            std::string cell;
            bool quoted = false;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                quoted = true;
                const int startLine = line_;
                ++pos_;
                while (true) {
                    if (pos_ >= text_.size())
                        Fail(startLine, "引号没有结束");
                    const char c = text_[pos_++];
                    if (c == '"') {
                        if (pos_ < text_.size() && text_[pos_] == '"') {
                            cell += '"';
                            ++pos_;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n')
                        ++line_;
                    cell += c;
                }
            } else {
                while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n') {
                    if (text_[pos_] == '"')
                        Fail(line_, "没有引号的值中出现了引号");
                    cell += text_[pos_++];
                }
            }
            cells.emplace_back(std::move(cell), quoted);
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == '\r')
                ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n') {
                ++pos_;
                ++line_;
            } else if (pos_ < text_.size()) {
                Fail(line_, "引号结束后还有多余的文字");
            }
            return cells;
        }
    }

    [[noreturn]] void Fail(int line, const std::string& what) const
    {
        throw EDatabaseError("文本文件“" + msg::ShownName(path_) + "”第 " + std::to_string(line) + " 行：" + what);
    }

private:
    std::string path_, text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

void Write(const std::string& path, const TableSchema& schema, const std::vector<Row>& rows)
{
    std::string out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].size() != schema.fields.size())
            throw EDatabaseError("文本文件“" + msg::ShownName(path) + "”：第 " + std::to_string(r + 1) + " 条记录有 " +
                                 std::to_string(rows[r].size()) + " 个值，而字段有 " +
                                 std::to_string(schema.fields.size()) + " 个");
        std::string line;
        for (std::size_t i = 0; i < schema.fields.size(); ++i) {
            const FieldDesc& f = schema.fields[i];
            const Variant& v = rows[r][i];
            if (i > 0)
                line += ',';
            if (isNull(v))
                continue;
            if (IsQuotedType(f.type)) {
                line += '"';
                for (const char c : ValueText(v)) {
                    line += c;
                    if (c == '"')
                        line += '"';
                }
                line += '"';
                continue;
            }
            const auto plain = PlainValue(f, v);
            if (!plain)
                throw EDatabaseError(Context(path, r, f) + NotSuited(v));
            line += *plain;
        }
        try {
            out += gbk::FromUtf8(line);
        } catch (const EDatabaseError& e) {
            // Find the field at fault for the message.
            for (std::size_t i = 0; i < schema.fields.size(); ++i) {
                try {
                    gbk::FromUtf8(ValueText(rows[r][i]));
                } catch (const EDatabaseError& fe) {
                    throw EDatabaseError(Context(path, r, schema.fields[i]) + fe.Message);
                }
            }
            throw EDatabaseError("文本文件“" + msg::ShownName(path) + "”：第 " + std::to_string(r + 1) + " 条记录：" + e.Message);
        }
        out += "\r\n";
    }

    fs::path part = path;
    part += ".part";
    {
        std::ofstream f(part, std::ios::binary | std::ios::trunc);
        if (!f)
            throw EDatabaseError("文本文件“" + msg::ShownName(path) + "”：无法创建“" + part.string() + "”");
        f.write(out.data(), static_cast<std::streamsize>(out.size()));
        f.flush();
        if (!f) {
            f.close();
            std::error_code ec;
            fs::remove(part, ec);
            throw EDatabaseError("文本文件“" + msg::ShownName(path) + "”无法写入（磁盘已满？）");
        }
    }
    std::error_code ec;
    fs::rename(part, path, ec);
    if (ec) {
        fs::remove(part, ec);
        throw EDatabaseError("文本文件“" + msg::ShownName(path) + "”无法替换");
    }
}

void CheckRow(const TableSchema& schema, const Row& row)
{
    for (std::size_t i = 0; i < schema.fields.size() && i < row.size(); ++i) {
        const FieldDesc& f = schema.fields[i];
        const Variant& v = row[i];
        if (isNull(v))
            continue;
        if (!IsQuotedType(f.type) && !PlainValue(f, v))
            throw EDatabaseError("字段“" + f.name + "”：" + NotSuited(v));
        try {
            gbk::FromUtf8(ValueText(v));
        } catch (const EDatabaseError& e) {
            throw EDatabaseError("字段“" + f.name + "”：" + e.Message);
        }
    }
}

std::vector<Row> Read(const std::string& path, const TableSchema& schema)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EDatabaseError("文本文件“" + msg::ShownName(path) + "”无法打开");
    std::ostringstream buf;
    buf << in.rdbuf();
    std::string text;
    try {
        text = gbk::ToUtf8(buf.str());
    } catch (const EDatabaseError& e) {
        throw EDatabaseError("文本文件“" + msg::ShownName(path) + "”：" + e.Message);
    }
    Lexer lex(path, std::move(text));
    std::vector<Row> rows;
    while (!lex.AtEnd()) {
        const int line = lex.Line();
        const auto cells = lex.Record();
        if (cells.size() == 1 && cells[0].first.empty() && !cells[0].second && schema.fields.size() != 1)
            continue;  // a blank line
        if (cells.size() != schema.fields.size())
            lex.Fail(line, "记录有 " + std::to_string(cells.size()) + " 个值，而字段有 " +
                               std::to_string(schema.fields.size()) + " 个");
        Row row;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const FieldDesc& f = schema.fields[i];
            const std::string& s = cells[i].first;
            if (s.empty()) {
                row.emplace_back();
                continue;
            }
            const auto bad = [&]() {
                lex.Fail(line, "字段“" + f.name + "”：“" + s + "”与字段类型不符");
            };
            if (IsQuotedType(f.type)) {
                row.emplace_back(s);
            } else if (f.type == FieldType::Date) {
                const auto d = ParseDate(s);
                if (!d)
                    bad();
                row.emplace_back(*d);
            } else if (f.type == FieldType::Boolean) {
                if (s == "T" || s == "t" || s == "1")
                    row.emplace_back(std::int64_t{1});
                else if (s == "F" || s == "f" || s == "0")
                    row.emplace_back(std::int64_t{0});
                else
                    bad();
            } else if (IsIntegerType(f.type)) {
                const auto v = ParseInteger(s);
                if (!v)
                    bad();
                row.emplace_back(*v);
            } else {
                const auto v = ParseDecimal(s);
                if (!v)
                    bad();
                row.emplace_back(*v);
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace db::text
