#include "Plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace sample {

namespace {

const std::set<std::string> kUnscaled = {"pct", "age", "months"};
const std::set<std::string> kTextKinds = {"pick", "year", "date", "digits", "person", "tel", "post",
                                          "addr", "mail", "web", "orgcode"};

db::Date parseDate(const std::string& s)
{
    db::Date d;
    if (std::sscanf(s.c_str(), "%d-%d-%d", &d.year, &d.month, &d.day) != 3)
        throw std::runtime_error("bad date " + s);
    return d;
}

}  // namespace

long DayNumber(const db::Date& d)
{
    // Days since 1970-01-01 of a proleptic Gregorian date.
    const int y = d.year - (d.month <= 2);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097L + doe - 719468;
}

db::Date FromDayNumber(long z)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    db::Date d;
    d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2));
    return d;
}

namespace {

bool isNumber(const std::string& s)
{
    char* end = nullptr;
    std::strtod(s.c_str(), &end);
    return !s.empty() && end == s.c_str() + s.size();
}

}  // namespace

Plan::Plan(const std::string& text, const Layout& layout) : layout_(&layout)
{
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        auto hash = raw.find('#');
        std::istringstream words(raw.substr(0, hash));
        std::vector<std::string> w;
        for (std::string s; words >> s;)
            w.push_back(s);
        if (w.empty())
            continue;
        auto fail = [&](const std::string& why) {
            throw std::runtime_error(layout.tableName + " plan line " + std::to_string(lineNo) + ": " + why);
        };
        if (w[0] == "@") {
            for (std::size_t i = 1; i + 1 < w.size(); i += 2)
                base_[w[i]] = std::stod(w[i + 1]);
            continue;
        }
        if (w.size() < 2)
            fail("a field needs a kind");
        Line l;
        l.field = layout.index(w[0]);
        if (l.field < 0)
            fail("no field " + w[0]);
        l.kind = w[1];
        for (std::size_t i = 2; i < w.size(); ++i) {
            const std::string& a = w[i];
            const char c = a[0];
            if ((c == '=' || c == '~' || c == '<' || c == '>') && a.size() > 1) {
                l.rel = c == '=' ? Rel::Exact : c == '~' ? Rel::Share : c == '<' ? Rel::Item : Rel::Derived;
                l.parent = layout.index(a.substr(1));
                if (l.parent < 0)
                    fail("no field " + a.substr(1));
                if (l.rel == Rel::Derived)
                    l.lo = l.hi = 1;
                if ((l.rel == Rel::Item || l.rel == Rel::Derived) && i + 2 < w.size() && isNumber(w[i + 1]) &&
                    isNumber(w[i + 2])) {
                    l.lo = std::stod(w[i + 1]);
                    l.hi = std::stod(w[i + 2]);
                    i += 2;
                }
            } else if (c == 'x' && a.size() > 1 && !kTextKinds.count(l.kind)) {
                l.factor = std::stod(a.substr(1));
            } else if (c == '?') {
                l.tag = a.substr(1);
            } else {
                l.args.push_back(a);
            }
        }
        if (l.rel != Rel::Root && l.parent >= 0) {
            bool seen = false;
            for (const auto& p : lines_)
                seen = seen || p.field == l.parent;
            if (!seen)
                fail("the total " + layout.schema().fields[static_cast<std::size_t>(l.parent)].name + " must come first");
        }
        if (kTextKinds.count(l.kind) == 0 && l.rel == Rel::Root && !kUnscaled.count(l.kind) && !base_.count(l.kind))
            fail("no base value for " + l.kind);
        lines_.push_back(std::move(l));
    }
}

void Plan::setNumber(Record& rec, int field, double v) const
{
    const auto type = layout_->schema().fields[static_cast<std::size_t>(field)].type;
    if (type == db::FieldType::Float || type == db::FieldType::Currency)
        rec.set(field, v);
    else
        rec.set(field, static_cast<std::int64_t>(v));
}

std::string Plan::contextText(const std::string& kind, const PlanContext& ctx) const
{
    if (!ctx.text || !ctx.region)
        throw std::runtime_error(layout_->tableName + ": the plan needs a region for " + kind);
    ChineseText& t = *ctx.text;
    if (kind == "person")
        return t.person();
    if (kind == "tel")
        return t.phone(*ctx.region);
    if (kind == "post")
        return t.postcode(*ctx.region);
    if (kind == "addr")
        return t.address(*ctx.region);
    if (kind == "mail")
        return t.email(ctx.domain);
    if (kind == "web")
        return t.web(ctx.domain);
    return t.organisationCode();
}

void Plan::apply(Record& rec, Random& r, double scale, const PlanContext& ctx, const std::set<std::string>& tags) const
{
    const std::size_t n = layout_->schema().fields.size();
    std::vector<double> val(n, 0.0);
    std::vector<char> done(n, 0);

    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        const auto f = static_cast<std::size_t>(l.field);
        if (done[f])
            continue;
        const auto size = layout_->schema().fields[f].size;
        if (l.kind == "pick") {
            rec.set(l.field, r.pick(l.args));
            done[f] = 1;
            continue;
        }
        if (l.kind == "year") {
            const int lo = std::stoi(l.args.at(0)), hi = std::stoi(l.args.at(1));
            rec.set(l.field, std::to_string(r.between(lo, hi)));
            done[f] = 1;
            continue;
        }
        if (l.kind == "date") {
            const long lo = DayNumber(parseDate(l.args.at(0))), hi = DayNumber(parseDate(l.args.at(1)));
            rec.set(l.field, FromDayNumber(static_cast<long>(r.between(lo, hi))));
            done[f] = 1;
            continue;
        }
        if (l.kind == "person" || l.kind == "tel" || l.kind == "post" || l.kind == "addr" || l.kind == "mail" ||
            l.kind == "web" || l.kind == "orgcode") {
            rec.set(l.field, CutText(contextText(l.kind, ctx), size));
            done[f] = 1;
            continue;
        }
        if (l.kind == "digits") {
            std::string s;
            for (int k = 0; k < size; ++k)
                s += static_cast<char>('0' + r.between(0, 9));
            rec.set(l.field, s);
            done[f] = 1;
            continue;
        }

        const bool active = l.tag.empty() || tags.count(l.tag);
        const double parent = l.parent >= 0 ? val[static_cast<std::size_t>(l.parent)] : 0;
        if (l.rel == Rel::Exact || l.rel == Rel::Share) {
            // The whole group of this total at once.
            std::vector<std::size_t> group;
            for (std::size_t j = i; j < lines_.size(); ++j) {
                if (lines_[j].rel == l.rel && lines_[j].parent == l.parent)
                    group.push_back(j);
            }
            const double total = l.rel == Rel::Exact ? parent : std::floor(parent * r.uniform(0.5, 0.95));
            auto parts = r.split(total, static_cast<int>(group.size()));
            double used = 0;
            std::size_t largest = 0;
            for (std::size_t k = 0; k < parts.size(); ++k) {
                parts[k] = std::floor(parts[k]);
                used += parts[k];
                if (parts[k] > parts[largest])
                    largest = k;
            }
            if (l.rel == Rel::Exact && !parts.empty())
                parts[largest] += total - used;
            for (std::size_t k = 0; k < group.size(); ++k) {
                const Line& g = lines_[group[k]];
                const auto gf = static_cast<std::size_t>(g.field);
                const bool on = g.tag.empty() || tags.count(g.tag);
                val[gf] = on ? parts[k] : 0;
                if (!on && l.rel == Rel::Exact && !parts.empty()) {
                    // A total that must add up gives the share of a switched-off item to the first item.
                    val[static_cast<std::size_t>(lines_[group[0]].field)] += parts[k];
                }
                done[gf] = 1;
            }
            for (std::size_t k = 0; k < group.size(); ++k) {
                const auto gf = static_cast<std::size_t>(lines_[group[k]].field);
                setNumber(rec, lines_[group[k]].field, val[gf]);
            }
            continue;
        }

        double v = 0;
        if (active) {
            if (l.rel == Rel::Item || l.rel == Rel::Derived)
                v = std::floor(parent * r.uniform(l.lo, l.hi));
            else if (l.kind == "pct")
                v = std::floor(r.uniform(1, 60) * l.factor);
            else if (l.kind == "age")
                v = static_cast<double>(r.between(32, 46));
            else if (l.kind == "months")
                v = static_cast<double>(r.between(12, 48));
            else
                v = std::floor(base_.at(l.kind) * l.factor * scale * r.uniform(0.6, 1.4));
        }
        val[f] = std::max(0.0, v);
        done[f] = 1;
        setNumber(rec, l.field, val[f]);
    }
}

}  // namespace sample
