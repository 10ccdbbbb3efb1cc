#include "platform/db/Messages.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace db::msg {

namespace {

// A damaged table of the data folder can be restored from the backups.
const char kRestoreHint[] = "可在“系统维护”中用“数据还原”从备份文件夹 bak\\ 取回这个表最近的备份。";

std::string Quoted(const std::string& s) { return "“" + s + "”"; }

std::string QuotedList(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& n : names) {
        out += (out.empty() ? "" : "、") + Quoted(n);
    }
    return out;
}

}  // namespace

std::string ShownName(const std::string& path)
{
    std::error_code ec;
    const fs::path p(path);
    if (!p.is_absolute()) {
        return path;
    }
    const fs::path rel = p.lexically_relative(fs::current_path(ec));
    if (!ec && !rel.empty() && *rel.begin() != "..") {
        return rel.string();
    }
    return path;
}

std::string Table(const std::string& name) { return name.empty() ? "数据表" : "数据表" + Quoted(name); }

std::string Tables(const std::vector<std::string>& names)
{
    return names.empty() ? "数据表" : "数据表" + QuotedList(names);
}

std::string TableMissing(const std::string& name) { return Table(name) + "不存在"; }

std::string TableCorrupt(const std::string& name, const std::string& detail)
{
    std::string text = "数据文件已损坏：" + name + (detail.empty() ? "" : "（" + detail + "）") + "。";
    return fs::path(name).is_absolute() ? text : text + "\n" + kRestoreHint;
}

std::string TableCorrupt(const std::vector<std::string>& names)
{
    std::string list;
    bool inFolder = false;
    for (const std::string& n : names) {
        list += (list.empty() ? "" : "、") + n;
        inFolder = inFolder || !fs::path(n).is_absolute();
    }
    std::string text = "数据文件已损坏" + (list.empty() ? std::string() : "：" + list) + "。";
    return inFolder || names.empty() ? text + "\n" + kRestoreHint : text;
}

std::string OldParadoxTable(const std::string& name)
{
    return Table(name) + "是旧的 Paradox 格式，本程序不能打开";
}

std::string TableUnreadable(const std::string& name) { return "无法读取" + Table(name) + "（没有读取权限？）"; }

std::string TableLocked(const std::vector<std::string>& names)
{
    return Tables(names) + "正被另一个程序使用（已锁定），请稍后再试";
}

std::string DiskFull(const std::vector<std::string>& names) { return "磁盘已满，" + Tables(names) + "未能写入"; }

std::string TableReadOnly(const std::vector<std::string>& names)
{
    return Tables(names) + "不能写入（文件或文件夹是只读的）";
}

std::string MediaFault(const std::vector<std::string>& names)
{
    return "读写" + Tables(names) + "时出错（磁盘或移动存储设备有故障，或已被拔出？）";
}

std::string CannotOpen(const std::string& name, const std::string& detail)
{
    return "无法打开" + Table(name) + (detail.empty() ? "" : "：" + detail);
}

std::string TableHeld(const std::string& name)
{
    return Table(name) + "正被另一次运行占用（另一个程序或窗口正在使用它），请等它结束后再试";
}

std::string DataSetClosed(const std::string& described) { return described + "没有打开，不能进行此操作"; }

std::string DataSetEmpty(const std::string& described) { return described + "中没有记录，不能进行此操作"; }

std::string DataSetReadOnly(const std::string& described) { return described + "是只读的，不能修改"; }

std::string FieldNotFound(const std::string& described, const std::string& field)
{
    return described + "中没有字段" + Quoted(field);
}

std::string InTable(const std::string& described, const std::string& message)
{
    if (described.empty() || message.find(described) != std::string::npos) {
        return message;
    }
    return described + "：" + message;
}

std::string BadValue(const std::string& field, const std::string& text, const char* kind)
{
    return "字段" + Quoted(field) + "的值" + Quoted(text) + "不是有效的" + kind;
}

std::string ValueTooLong(const std::string& field, int size)
{
    return "字段" + Quoted(field) + "的值太长（最多 " + std::to_string(size) + " 个字符）";
}

std::string OutOfRange(const std::string& field, long long value, long long low, long long high)
{
    return "字段" + Quoted(field) + "的值 " + std::to_string(value) + " 超出范围（" + std::to_string(low) + " 至 " +
           std::to_string(high) + "）";
}

std::string FieldRequired(const std::string& field) { return "字段" + Quoted(field) + "必须有值"; }

std::string FileSystemReason(const std::error_code& ec)
{
    const std::error_condition c = ec.default_error_condition();
    using E = std::errc;
    if (c == E::permission_denied || c == E::operation_not_permitted) {
        return "没有权限";
    }
    if (c == E::no_space_on_device) {
        return "磁盘已满";
    }
    if (c == E::read_only_file_system) {
        return "磁盘或文件夹是只读的";
    }
    if (c == E::not_a_directory) {
        return "路径中有一段是文件而不是文件夹";
    }
    if (c == E::no_such_file_or_directory) {
        return "找不到文件或文件夹";
    }
    if (c == E::file_exists) {
        return "已有同名的文件或文件夹";
    }
    if (c == E::filename_too_long) {
        return "文件名太长";
    }
    if (c == E::io_error) {
        return "磁盘或移动存储设备有故障";
    }
    return ec.message();
}

std::string Because(const std::error_code& ec) { return ec ? "：" + FileSystemReason(ec) : std::string(); }

std::string IndexMissing(const std::string& table, const std::string& index)
{
    return Table(table) + "中没有索引" + Quoted(index);
}

std::string IndexFieldMissing(const std::string& index, const std::string& field)
{
    return "索引" + Quoted(index) + "中的字段" + Quoted(field) + "不存在";
}

}  // namespace db::msg
