#include "platform/ui/DBFieldText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include <QDate>

namespace {

QString fieldCaption(const TField& field)
{
    return QString::fromStdString(field.DisplayLabel.empty() ? field.FieldName() : field.DisplayLabel);
}

[[noreturn]] void refuse(const TField& field, const QString& what, const QString& text)
{
    const QString msg = QStringLiteral("字段“%1”只能填入%2，“%3”不是有效的%2")
                            .arg(fieldCaption(field), what, text);
    throw EConvertError(msg.toStdString());
}

bool isIntegerType(TFieldType t)
{
    return t == TFieldType::Smallint || t == TFieldType::Integer || t == TFieldType::AutoInc;
}

std::optional<double> parseNumber(const std::string& s)
{
    if (s.empty()) {
        return std::nullopt;
    }
    const char* b = s.data();
    const char* e = b + s.size();
    if (*b == '+') {
        ++b;  // from_chars takes no plus sign
    }
    double v = 0;
    const auto [p, ec] = std::from_chars(b, e, v, std::chars_format::general);
    if (ec != std::errc() || p != e || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

std::optional<std::int64_t> parseInteger(const std::string& s)
{
    if (s.empty()) {
        return std::nullopt;
    }
    const char* b = s.data();
    const char* e = b + s.size();
    if (*b == '+') {
        ++b;
    }
    std::int64_t v = 0;
    const auto [p, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || p != e) {
        return std::nullopt;
    }
    return v;
}

}  // namespace

QString PlainDecimal(double v)
{
    if (v == 0) {
        return QStringLiteral("0");  // also for -0
    }
    if (!std::isfinite(v)) {
        return QString::number(v);
    }
    // 15 significant digits, as the number was most likely typed (0.1 + 0.2 shows as 0.3), never an exponent
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(v))));
    const int decimals = std::clamp(14 - magnitude, 0, 340);
    QString text = QString::number(v, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

QString FieldDisplayText(const TField& field, const db::Variant& value)
{
    (void)field;
    struct Visitor {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(std::int64_t i) const { return QString::number(i); }
        QString operator()(double d) const { return PlainDecimal(d); }
        QString operator()(const std::string& s) const { return QString::fromStdString(s); }
        QString operator()(const db::Date& d) const
        {
            return QStringLiteral("%1-%2-%3")
                .arg(d.year, 4, 10, QLatin1Char('0'))
                .arg(d.month, 2, 10, QLatin1Char('0'))
                .arg(d.day, 2, 10, QLatin1Char('0'));
        }
    };
    return std::visit(Visitor{}, value);
}

db::Variant FieldValueFromText(const TField& field, const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return {};
    }
    const TFieldType type = field.DataType();
    if (isIntegerType(type)) {
        const std::optional<std::int64_t> v = parseInteger(trimmed.toStdString());
        if (!v) {
            refuse(field, QStringLiteral("整数"), trimmed);
        }
        if (type == TFieldType::Smallint && (*v < -32768 || *v > 32767)) {
            throw EConvertError(QStringLiteral("字段“%1”的值 %2 超出范围（-32768 至 32767）")
                                    .arg(fieldCaption(field), trimmed)
                                    .toStdString());
        }
        if (type != TFieldType::Smallint
            && (*v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())) {
            throw EConvertError(QStringLiteral("字段“%1”的值 %2 超出范围").arg(fieldCaption(field), trimmed).toStdString());
        }
        return *v;
    }
    if (field.IsNumeric()) {
        const std::optional<double> v = parseNumber(trimmed.toStdString());
        if (!v) {
            refuse(field, QStringLiteral("数值"), trimmed);
        }
        return *v;
    }
    if (type == TFieldType::Date) {
        // yyyy-mm-dd; one-digit months and days are taken as well
        const QStringList parts = trimmed.split(QLatin1Char('-'));
        bool ok = parts.size() == 3 && parts[0].size() == 4 && parts[1].size() <= 2 && parts[2].size() <= 2;
        int y = 0, m = 0, d = 0;
        if (ok) {
            bool oy = false, om = false, od = false;
            y = parts[0].toInt(&oy);
            m = parts[1].toInt(&om);
            d = parts[2].toInt(&od);
            ok = oy && om && od && QDate::isValid(y, m, d);
        }
        if (!ok) {
            throw EConvertError(QStringLiteral("字段“%1”只能填入日期（yyyy-mm-dd），“%2”不是有效的日期")
                                    .arg(fieldCaption(field), trimmed)
                                    .toStdString());
        }
        return db::Date{y, m, d};
    }
    return text.toStdString();
}

bool FieldAcceptsChar(const TField& field, QChar c)
{
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const TFieldType type = field.DataType();
    if (isIntegerType(type)) {
        return digit || c == QLatin1Char('+') || c == QLatin1Char('-');
    }
    if (field.IsNumeric()) {
        return digit || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('.') ||
               c == QLatin1Char('e') || c == QLatin1Char('E');
    }
    if (type == TFieldType::Date) {
        return digit || c == QLatin1Char('-');
    }
    return true;
}

void SetFieldText(TField& field, const QString& text)
{
    field.SetValue(FieldValueFromText(field, text));
}
