// dBase reader and writer. Files are small (import sources, exports), so both work on whole files in memory;
// the reader checks every length against the header before it touches a byte.
#include "platform/db/Dbf.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <strings.h>

#include "platform/db/Exception.h"
#include "platform/db/Gbk.h"
#include "platform/db/Messages.h"
#include "platform/db/TextFileValue.h"

namespace fs = std::filesystem;

namespace db::dbf {
namespace {

constexpr int kMaxCharWidth = 254;
constexpr int kMaxNumWidth = 20;
constexpr int kMemoBlock = 512;
constexpr int kMaxFields = 255;
constexpr unsigned char kLanguageGbk = 0x7A;  // code page 936

[[noreturn]] void Fail(const std::string& path, const std::string& what)
{
    throw EDatabaseError("dBase 文件“" + msg::ShownName(path) + "”：" + what);
}

std::uint16_t Get16(const std::string& b, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

std::uint32_t Get32(const std::string& b, std::size_t at)
{
    return static_cast<std::uint32_t>(Get16(b, at)) | (static_cast<std::uint32_t>(Get16(b, at + 2)) << 16);
}

void Put16(std::string& b, std::size_t at, unsigned v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

std::optional<std::string> ReadWholeFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The memo file beside a ".dbf": same stem, ".dbt" in any letter case.
std::optional<fs::path> FindMemoFile(const fs::path& dbf)
{
    fs::path guess = dbf;
    guess.replace_extension(dbf.extension() == ".DBF" ? ".DBT" : ".dbt");
    std::error_code ec;
    if (fs::is_regular_file(guess, ec))
        return guess;
    const fs::path dir = dbf.has_parent_path() ? dbf.parent_path() : fs::path(".");
    const std::string want = guess.filename().string();
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (strcasecmp(e.path().filename().string().c_str(), want.c_str()) == 0 && e.is_regular_file(ec))
            return e.path();
    }
    return std::nullopt;
}

fs::path MemoPathFor(const fs::path& dbf)
{
    fs::path p = dbf;
    const std::string ext = dbf.extension().string();
    const bool upper = !ext.empty() && std::all_of(ext.begin() + 1, ext.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    p.replace_extension(upper ? ".DBT" : ".dbt");
    return p;
}

std::string TrimRight(std::string_view s)
{
    std::size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0'))
        --n;
    return std::string(s.substr(0, n));
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

// Bytes of one UTF-8 character starting with c.
std::size_t Utf8Len(unsigned char c)
{
    return c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : 4;
}

// The longest prefix of a UTF-8 name whose GBK form has at most maxBytes bytes.
std::string CutName(const std::string& name, std::size_t maxBytes)
{
    std::size_t used = 0, pos = 0;
    while (pos < name.size()) {
        const std::size_t len = std::min(Utf8Len(static_cast<unsigned char>(name[pos])), name.size() - pos);
        const std::size_t bytes = len == 1 ? 1 : gbk::FromUtf8(std::string_view(name).substr(pos, len)).size();
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        pos += len;
    }
    return name.substr(0, pos);
}

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// ---------------------------------------------------------------------------------------------- reading

struct DbfField {
    std::string name;
    char type = 'C';
    int width = 0;
    int decimals = 0;
    std::size_t offset = 0;  // in the record, after the deletion flag
};

class MemoReader {
public:
    MemoReader(std::string path, std::string data, std::size_t blockSize)
        : path_(std::move(path)), data_(std::move(data)), blockSize_(blockSize) {}

    std::string Get(std::uint64_t block) const
    {
        // Compared as a block count, so that no product can wrap around to the start of the file.
        if (block == 0 || data_.empty() || block > (data_.size() - 1) / blockSize_)
            Fail(path_, "备注块 " + std::to_string(block) + " 超出了备注文件");
        const std::uint64_t at = block * blockSize_;
        const std::size_t start = static_cast<std::size_t>(at);
        if (data_.size() - start >= 8 && data_.compare(start, 4, "\xFF\xFF\x08\x00", 4) == 0) {
            const std::uint32_t len = Get32(data_, start + 4);
            if (len < 8 || len - 8 > data_.size() - start - 8)
                Fail(path_, "备注块 " + std::to_string(block) + " 不完整");
            return data_.substr(start + 8, len - 8);
        }
        const std::size_t end = data_.find('\x1A', start);
        if (end == std::string::npos)
            Fail(path_, "备注块 " + std::to_string(block) + " 不完整");
        return data_.substr(start, end - start);
    }

private:
    std::string path_;
    std::string data_;
    std::size_t blockSize_;
};

bool KnownVersion(unsigned char v)
{
    switch (v) {
    case 0x03: case 0x04: case 0x05: case 0x30: case 0x31: case 0x83: case 0x8B:
        return true;
    default:
        return false;
    }
}

Variant ReadValue(const DbfField& f, std::string_view raw, const MemoReader* memo)
{
    switch (f.type) {
    case 'C': {
        const std::string s = gbk::ToUtf8(TrimRight(raw));
        return s.empty() ? Variant{} : Variant{s};
    }
    case 'N': case 'F': {
        const std::string_view t = Trim(raw);
        if (t.empty() || t.front() == '*')
            return {};  // blank, or the overflow mark of some writers
        if (f.type == 'N' && f.decimals == 0 && f.width <= 11) {
            if (auto i = text::ParseInteger(t))
                return *i;
        }
        if (auto d = text::ParseDecimal(t))
            return *d;
        // Some writers use an exponent in F fields.
        double v = 0;
        std::string tmp(t);
        char* end = nullptr;
        v = std::strtod(tmp.c_str(), &end);
        if (end == tmp.c_str() + tmp.size() && std::isfinite(v) && tmp.find_first_of("eE") != std::string::npos)
            return v;
        throw EDatabaseError("“" + tmp + "”不是数值");
    }
    case 'D': {
        const std::string_view t = Trim(raw);
        if (t.empty() || t == "00000000")
            return {};
        if (t.size() == 8) {
            const std::string iso = std::string(t.substr(0, 4)) + "-" + std::string(t.substr(4, 2)) + "-" +
                                    std::string(t.substr(6, 2));
            if (auto d = text::ParseDate(iso))
                return *d;
        }
        throw EDatabaseError("“" + std::string(t) + "”不是日期");
    }
    case 'L': {
        const char c = raw.empty() ? ' ' : raw[0];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y')
            return std::int64_t{1};
        if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            return std::int64_t{0};
        return {};
    }
    case 'M': {
        const std::string_view t = Trim(raw);
        if (t.empty())
            return {};
        const auto block = text::ParseInteger(t);
        if (!block || *block < 0)
            throw EDatabaseError("备注块号“" + std::string(t) + "”无效");
        if (*block == 0)
            return {};
        const std::string s = gbk::ToUtf8(memo->Get(static_cast<std::uint64_t>(*block)));
        return s.empty() ? Variant{} : Variant{s};
    }
    default:
        return {};
    }
}

// ---------------------------------------------------------------------------------------------- writing

// One column as it goes to disk: the field descriptor and every cell's bytes (nullopt for null).
struct OutColumn {
    DbfField field;
    std::vector<std::optional<std::string>> cells;
};

std::string CellContext(const FieldDesc& f, std::size_t row)
{
    return "字段“" + f.name + "”，第 " + std::to_string(row + 1) + " 条记录：";
}

std::string TextOf(const Variant& v)
{
    std::string s = text::ValueText(v);
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::optional<double> FloatOf(const Variant& v)
{
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* s = std::get_if<std::string>(&v))
        return text::ParseDecimal(*s);
    return std::nullopt;
}

std::optional<std::int64_t> IntegerOf(const Variant& v)
{
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    if (const auto* d = std::get_if<double>(&v)) {
        if (std::isfinite(*d) && *d == std::trunc(*d) && std::fabs(*d) < 9.2e18)
            return static_cast<std::int64_t>(*d);
        return std::nullopt;
    }
    if (const auto* s = std::get_if<std::string>(&v))
        return text::ParseInteger(*s);
    return std::nullopt;
}

std::optional<Date> DateOf(const Variant& v)
{
    if (const auto* d = std::get_if<Date>(&v))
        return text::IsValidDate(*d) ? std::optional<Date>(*d) : std::nullopt;
    if (const auto* s = std::get_if<std::string>(&v))
        return text::ParseDate(*s);
    return std::nullopt;
}

std::optional<bool> BoolOf(const Variant& v)
{
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return *i != 0;
    if (const auto* d = std::get_if<double>(&v))
        return *d != 0;
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (*s == "1" || *s == "T" || *s == "t" || *s == "Y" || *s == "y")
            return true;
        if (*s == "0" || *s == "F" || *s == "f" || *s == "N" || *s == "n")
            return false;
    }
    return std::nullopt;
}

// raw: binary content, written byte for byte instead of converted to GBK.
OutColumn TextColumn(const FieldDesc& f, const std::vector<Row>& rows, std::size_t col, int minWidth,
                     bool raw = false)
{
    OutColumn c;
    c.field.type = 'C';
    std::size_t longest = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Variant& v = rows[r][col];
        if (isNull(v)) {
            c.cells.emplace_back();
            continue;
        }
        try {
            std::string bytes = raw ? text::ValueText(v) : gbk::FromUtf8(TextOf(v));
            longest = std::max(longest, bytes.size());
            c.cells.emplace_back(bytes.empty() ? std::nullopt : std::optional<std::string>(std::move(bytes)));
        } catch (const EDatabaseError& e) {
            throw EDatabaseError(CellContext(f, r) + e.Message);
        }
    }
    c.field.width = std::max<int>({std::min(minWidth, kMaxCharWidth), static_cast<int>(longest), 1});
    if (longest > static_cast<std::size_t>(kMaxCharWidth))
        c.field.type = 'M';
    return c;
}

std::string WiderThanDbase(const FieldDesc& f)
{
    return "字段“" + f.name + "”的值超过 " + std::to_string(kMaxNumWidth) + " 位，dBase 表的数值字段存不下";
}

OutColumn FloatColumn(const FieldDesc& f, const std::vector<Row>& rows, std::size_t col)
{
    OutColumn c;
    c.field.type = 'N';
    std::vector<std::optional<double>> values;
    int intLen = 1, decimals = 1;
    bool any = false;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Variant& v = rows[r][col];
        if (isNull(v) || (std::holds_alternative<std::string>(v) && TextOf(v).empty())) {
            values.emplace_back();
            continue;
        }
        const auto d = FloatOf(v);
        if (!d || !std::isfinite(*d))
            throw EDatabaseError(CellContext(f, r) + "“" + text::ValueText(v) + "”不是数值");
        values.push_back(*d);
        any = true;
        const std::string s = text::FormatFloat(*d);
        const std::size_t point = s.find('.');
        intLen = std::max(intLen, static_cast<int>(point == std::string::npos ? s.size() : point));
        if (point != std::string::npos)
            decimals = std::max(decimals, static_cast<int>(s.size() - point - 1));
    }
    if (!any) {
        intLen = 15;
        decimals = 4;
    }
    if (intLen > kMaxNumWidth)
        throw EDatabaseError(WiderThanDbase(f));
    decimals = std::min(decimals, kMaxNumWidth - intLen - 1);  // 0 when only the integer part fits
    decimals = std::max(decimals, 0);
    c.field.decimals = decimals;
    c.field.width = intLen + (decimals > 0 ? decimals + 1 : 0);
    for (const auto& v : values) {
        if (!v) {
            c.cells.emplace_back();
            continue;
        }
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", decimals, *v);
        std::string s = buf;
        if (s == "-0" || (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos))
            s.erase(0, 1);
        c.cells.emplace_back(std::move(s));
    }
    return c;
}

OutColumn IntegerColumn(const FieldDesc& f, const std::vector<Row>& rows, std::size_t col, int width)
{
    OutColumn c;
    c.field.type = 'N';
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Variant& v = rows[r][col];
        if (isNull(v) || (std::holds_alternative<std::string>(v) && TextOf(v).empty())) {
            c.cells.emplace_back();
            continue;
        }
        const auto i = IntegerOf(v);
        if (!i)
            throw EDatabaseError(CellContext(f, r) + "“" + text::ValueText(v) + "”不是整数");
        std::string s = std::to_string(*i);
        width = std::max(width, static_cast<int>(s.size()));
        c.cells.emplace_back(std::move(s));
    }
    c.field.width = width;
    return c;
}

template <class Convert>
OutColumn FixedColumn(const FieldDesc& f, const std::vector<Row>& rows, std::size_t col, char type, int width,
                      const char* what, Convert convert)
{
    OutColumn c;
    c.field.type = type;
    c.field.width = width;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Variant& v = rows[r][col];
        if (isNull(v) || (std::holds_alternative<std::string>(v) && TextOf(v).empty())) {
            c.cells.emplace_back();
            continue;
        }
        std::optional<std::string> s = convert(v);
        if (!s)
            throw EDatabaseError(CellContext(f, r) + "“" + text::ValueText(v) + "”不是" + what);
        c.cells.emplace_back(std::move(s));
    }
    return c;
}

OutColumn MakeColumn(const FieldDesc& f, const std::vector<Row>& rows, std::size_t col)
{
    switch (f.type) {
    case FieldType::String:
        return TextColumn(f, rows, col, f.size);
    case FieldType::Time:
        return TextColumn(f, rows, col, 8);
    case FieldType::DateTime:
        return TextColumn(f, rows, col, 19);
    case FieldType::Memo:
    case FieldType::Blob: {
        OutColumn c = TextColumn(f, rows, col, 0, f.type == FieldType::Blob);
        c.field.type = 'M';
        return c;
    }
    case FieldType::Float:
    case FieldType::Currency:
        return FloatColumn(f, rows, col);
    case FieldType::Smallint:
        return IntegerColumn(f, rows, col, 6);
    case FieldType::Integer:
    case FieldType::AutoInc:
        return IntegerColumn(f, rows, col, 11);
    case FieldType::Date:
        return FixedColumn(f, rows, col, 'D', 8, "日期", [](const Variant& v) -> std::optional<std::string> {
            const auto d = DateOf(v);
            if (!d)
                return std::nullopt;
            char buf[16];
            std::snprintf(buf, sizeof buf, "%04d%02d%02d", d->year, d->month, d->day);
            return std::string(buf);
        });
    case FieldType::Boolean:
        return FixedColumn(f, rows, col, 'L', 1, "逻辑值", [](const Variant& v) -> std::optional<std::string> {
            const auto b = BoolOf(v);
            if (!b)
                return std::nullopt;
            return std::string(*b ? "T" : "F");
        });
    }
    throw EDatabaseError("字段“" + f.name + "”的类型不能写入 dBase 表");
}

// Writes bytes to target + ".part" and returns that path; nothing is left behind on failure.
fs::path WritePart(const fs::path& target, const std::string& bytes)
{
    fs::path tmp = target;
    tmp += ".part";
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out)
        throw EDatabaseError("无法创建“" + tmp.string() + "”");
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
        out.close();
        std::error_code ec;
        fs::remove(tmp, ec);
        throw EDatabaseError("无法写入“" + tmp.string() + "”（磁盘已满？）");
    }
    return tmp;
}

void MoveIntoPlace(const fs::path& part, const fs::path& target)
{
    std::error_code ec;
    fs::rename(part, target, ec);
    if (ec) {
        fs::remove(part, ec);
        throw EDatabaseError("无法替换“" + target.string() + "”");
    }
}

}  // namespace

std::vector<std::string> FieldNames(const std::vector<std::string>& names)
{
    std::vector<std::string> out;
    for (const std::string& name : names) {
        if (name.empty())
            throw EDatabaseError("dBase 字段名不能为空");
        std::string candidate;
        try {
            candidate = CutName(name, 10);
        } catch (const EDatabaseError& e) {
            throw EDatabaseError("字段名“" + name + "”：" + e.Message);
        }
        const auto taken = [&](const std::string& n) {
            return std::any_of(out.begin(), out.end(), [&](const std::string& o) { return SameName(o, n); });
        };
        for (int k = 1; taken(candidate); ++k) {
            const std::string suffix = "_" + std::to_string(k);
            candidate = CutName(name, 10 - suffix.size()) + suffix;
        }
        out.push_back(candidate);
    }
    return out;
}

void CheckRow(const TableSchema& schema, const Row& row)
{
    const std::vector<Row> rows{row};
    for (std::size_t i = 0; i < schema.fields.size() && i < row.size(); ++i) {
        const FieldDesc& f = schema.fields[i];
        const std::string cell = CellContext(f, 0);
        try {
            const OutColumn c = MakeColumn(f, rows, i);
            if (c.field.type == 'M' && c.cells[0] && c.cells[0]->find('\x1A') != std::string::npos)
                throw EDatabaseError(cell + "备注中不能有字符 0x1A");
        } catch (EDatabaseError& e) {
            if (e.Message.rfind(cell, 0) == 0)  // one row of a store: no record number
                e.Message = "字段“" + f.name + "”：" + e.Message.substr(cell.size());
            throw;
        }
    }
}

Table Read(const std::string& path)
{
    const auto data = ReadWholeFile(path);
    if (!data)
        throw EDatabaseError("dBase 文件“" + msg::ShownName(path) + "”无法打开");
    const std::string& b = *data;
    if (b.size() < 32)
        Fail(path, "文件不完整（没有完整的文件头）");
    const unsigned char version = static_cast<unsigned char>(b[0]);
    if (!KnownVersion(version))
        Fail(path, "不是 dBase III/IV 表（版本字节 " + std::to_string(version) + "）");
    const std::uint32_t count = Get32(b, 4);
    const std::size_t headerLen = Get16(b, 8);
    const std::size_t recordLen = Get16(b, 10);
    if (headerLen < 33 || headerLen > b.size())
        Fail(path, headerLen > b.size() ? "文件不完整（文件头被截断）" : "文件头长度错误");

    std::vector<DbfField> fields;
    std::size_t at = 32, offset = 0;
    while (true) {
        if (at >= headerLen)
            Fail(path, "文件头已损坏（字段表没有结束标记）");
        if (b[at] == '\x0D')
            break;
        if (at + 32 > headerLen)
            Fail(path, "文件头已损坏（字段表没有结束标记）");
        DbfField f;
        const std::string rawName = b.substr(at, 11);
        const std::string n = rawName.substr(0, rawName.find('\0'));
        try {
            f.name = gbk::ToUtf8(TrimRight(n));
        } catch (const EDatabaseError& e) {
            Fail(path, "第 " + std::to_string(fields.size() + 1) + " 个字段的名称：" + e.Message);
        }
        f.type = b[at + 11];
        f.width = static_cast<unsigned char>(b[at + 16]);
        f.decimals = static_cast<unsigned char>(b[at + 17]);
        f.offset = offset;
        if (f.name.empty())
            Fail(path, "第 " + std::to_string(fields.size() + 1) + " 个字段没有名称");
        if (std::string("CNFDLM").find(f.type) == std::string::npos || f.type == '\0')
            Fail(path, "字段“" + f.name + "”的类型“" + std::string(1, f.type) + "”无法读取");
        if (f.width == 0)
            Fail(path, "字段“" + f.name + "”的宽度为 0");
        for (const auto& g : fields) {
            if (SameName(g.name, f.name))
                Fail(path, "字段名“" + f.name + "”重复");
        }
        offset += static_cast<std::size_t>(f.width);
        fields.push_back(f);
        at += 32;
    }
    if (fields.empty())
        Fail(path, "表中没有字段");
    if (offset + 1 != recordLen)
        Fail(path, "文件头已损坏（记录长度 " + std::to_string(recordLen) + " 与字段不符）");
    const std::uint64_t need = headerLen + static_cast<std::uint64_t>(count) * recordLen;
    if (need > b.size()) {
        Fail(path, "文件不完整：文件头记有 " + std::to_string(count) + " 条记录，文件中只有 " +
                       std::to_string((b.size() - headerLen) / recordLen) + " 条");
    }

    std::optional<MemoReader> memo;
    if (std::any_of(fields.begin(), fields.end(), [](const DbfField& f) { return f.type == 'M'; })) {
        const auto memoPath = FindMemoFile(path);
        if (!memoPath)
            Fail(path, "缺少备注文件“" + MemoPathFor(path).filename().string() + "”");
        auto memoData = ReadWholeFile(*memoPath);
        if (!memoData)
            Fail(path, "备注文件“" + memoPath->string() + "”无法打开");
        std::size_t blockSize = kMemoBlock;
        if (version == 0x8B && memoData->size() >= 22) {
            const std::size_t bs = Get16(*memoData, 20);
            if (bs >= 32)
                blockSize = bs;
        }
        memo.emplace(memoPath->string(), std::move(*memoData), blockSize);
    }

    Table t;
    for (const auto& f : fields) {
        FieldDesc d;
        d.name = f.name;
        switch (f.type) {
        case 'C': d.type = FieldType::String; d.size = f.width; break;
        case 'N': d.type = (f.decimals == 0 && f.width <= 11) ? FieldType::Integer : FieldType::Float; break;
        case 'F': d.type = FieldType::Float; break;
        case 'D': d.type = FieldType::Date; break;
        case 'L': d.type = FieldType::Boolean; break;
        case 'M': d.type = FieldType::Memo; break;
        }
        t.schema.fields.push_back(d);
    }
    for (std::uint32_t r = 0; r < count; ++r) {
        const std::size_t rec = headerLen + static_cast<std::size_t>(r) * recordLen;
        const char flag = b[rec];
        if (flag == '*')
            continue;
        if (flag != ' ')
            Fail(path, "第 " + std::to_string(r + 1) + " 条记录已损坏（删除标记错误）");
        Row row;
        row.reserve(fields.size());
        for (const auto& f : fields) {
            try {
                row.push_back(ReadValue(f, std::string_view(b).substr(rec + 1 + f.offset, f.width),
                                        memo ? &*memo : nullptr));
            } catch (const EDatabaseError& e) {
                Fail(path, "第 " + std::to_string(r + 1) + " 条记录，字段“" + f.name + "”：" + e.Message);
            }
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

void Write(const std::string& path, const TableSchema& schema, const std::vector<Row>& rows)
{
    try {
        if (schema.fields.empty())
            throw EDatabaseError("表至少要有一个字段");
        if (schema.fields.size() > static_cast<std::size_t>(kMaxFields))
            throw EDatabaseError("dBase 表最多只能有 " + std::to_string(kMaxFields) + " 个字段");
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (rows[r].size() != schema.fields.size())
                throw EDatabaseError("第 " + std::to_string(r + 1) + " 条记录有 " + std::to_string(rows[r].size()) +
                                     " 个值，而字段有 " + std::to_string(schema.fields.size()) + " 个");
        }
        std::vector<std::string> names;
        for (const auto& f : schema.fields)
            names.push_back(f.name);
        names = FieldNames(names);

        std::vector<OutColumn> cols;
        std::size_t recordLen = 1;
        for (std::size_t i = 0; i < schema.fields.size(); ++i) {
            cols.push_back(MakeColumn(schema.fields[i], rows, i));
            if (cols.back().field.type == 'M')
                cols.back().field.width = 10;
            cols.back().field.name = names[i];
            recordLen += static_cast<std::size_t>(cols.back().field.width);
        }
        if (recordLen > 65535)
            throw EDatabaseError("记录太长，dBase 表存不下");
        const bool hasMemo = std::any_of(cols.begin(), cols.end(), [](const OutColumn& c) { return c.field.type == 'M'; });

        const std::size_t headerLen = 32 + 32 * cols.size() + 1;
        std::string out(headerLen, '\0');
        out[0] = static_cast<char>(hasMemo ? 0x83 : 0x03);
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        out[1] = static_cast<char>(tm.tm_year % 256);
        out[2] = static_cast<char>(tm.tm_mon + 1);
        out[3] = static_cast<char>(tm.tm_mday);
        Put32(out, 4, static_cast<std::uint32_t>(rows.size()));
        Put16(out, 8, static_cast<unsigned>(headerLen));
        Put16(out, 10, static_cast<unsigned>(recordLen));
        out[29] = static_cast<char>(kLanguageGbk);
        for (std::size_t i = 0; i < cols.size(); ++i) {
            const DbfField& f = cols[i].field;
            const std::size_t d = 32 + 32 * i;
            const std::string n = gbk::FromUtf8(f.name);
            out.replace(d, n.size(), n);
            out[d + 11] = f.type;
            out[d + 16] = static_cast<char>(f.width);
            out[d + 17] = static_cast<char>(f.decimals);
        }
        out[headerLen - 1] = '\x0D';

        std::string memo;
        if (hasMemo) {
            memo.assign(kMemoBlock, '\0');
            memo[16] = '\x03';
        }
        out.reserve(headerLen + rows.size() * recordLen + 1);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            out += ' ';
            for (const auto& c : cols) {
                const auto& cell = c.cells[r];
                const std::size_t w = static_cast<std::size_t>(c.field.width);
                if (!cell) {
                    out.append(w, ' ');
                } else if (c.field.type == 'M') {
                    if (cell->find('\x1A') != std::string::npos)
                        throw EDatabaseError(CellContext(schema.fields[&c - cols.data()], r) +
                                             "备注中不能有字符 0x1A");
                    const std::string block = std::to_string(memo.size() / kMemoBlock);
                    out.append(w - block.size(), ' ');
                    out += block;
                    memo += *cell;
                    memo += "\x1A\x1A";
                    memo.append((kMemoBlock - memo.size() % kMemoBlock) % kMemoBlock, '\0');
                } else if (c.field.type == 'N') {
                    out.append(w - cell->size(), ' ');  // numbers are right aligned
                    out += *cell;
                } else {
                    out += *cell;
                    out.append(w - cell->size(), ' ');
                }
            }
        }
        out += '\x1A';
        if (hasMemo)
            Put32(memo, 0, static_cast<std::uint32_t>(memo.size() / kMemoBlock));

        // Both files are complete beside their targets before either replaces anything.
        const fs::path memoPath = MemoPathFor(path);
        std::optional<fs::path> memoPart;
        if (hasMemo)
            memoPart = WritePart(memoPath, memo);
        fs::path dbfPart;
        try {
            dbfPart = WritePart(path, out);
        } catch (...) {
            std::error_code ec;
            if (memoPart)
                fs::remove(*memoPart, ec);
            throw;
        }
        if (memoPart)
            MoveIntoPlace(*memoPart, memoPath);
        MoveIntoPlace(dbfPart, path);
        if (!hasMemo) {
            // A memo file left from an earlier table of this name would be taken for this table's.
            if (const auto old = FindMemoFile(path)) {
                std::error_code ec;
                fs::remove(*old, ec);
            }
        }
    } catch (const EDatabaseError& e) {
        if (e.Message.rfind("dBase 文件", 0) == 0)
            throw;
        Fail(path, e.Message);
    }
}

}  // namespace db::dbf
