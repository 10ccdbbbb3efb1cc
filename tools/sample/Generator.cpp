#include "Generator.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "Plan.h"
#include "Plans.h"
#include "Record.h"
#include "TableSink.h"

namespace sample {

namespace {

std::string serial(long n, int width)
{
    std::string s = std::to_string(n);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(s.size()))), '0') + s;
}

// Whole parts of total in random proportions that add up to it exactly.
std::vector<double> wholeParts(Random& r, double total, int count)
{
    auto parts = r.split(total, count);
    double used = 0;
    for (auto& p : parts) {
        p = std::floor(p);
        used += p;
    }
    if (!parts.empty())
        *std::max_element(parts.begin(), parts.end()) += total - used;
    return parts;
}

double clampScale(double s) { return std::clamp(s, 0.02, 60.0); }

// The date field of a record (a field that holds none counts as the given fallback).
db::Date dateOf(const Record& rec, const std::string& field, const db::Date& fallback)
{
    const int i = rec.layout().index(field);
    if (i < 0)
        return fallback;
    if (const auto* d = std::get_if<db::Date>(&rec.get(i)))
        return *d;
    return fallback;
}

// A day drawn between two dates (the later one when they are the wrong way round).
db::Date dateBetween(Random& r, const db::Date& from, const db::Date& to)
{
    const long lo = DayNumber(from), hi = DayNumber(to);
    return FromDayNumber(static_cast<long>(r.between(lo, std::max(lo, hi))));
}

const db::Date kYearEnd{2009, 12, 31};

const std::vector<std::string> kMarkets = {"上海证券交易所", "深圳证券交易所", "深圳创业板", "香港联合交易所", "纳斯达克"};

}  // namespace

Generator::Generator(std::string folder, Options options)
    : folder_(std::move(folder)), options_(options), root_(options.seed)
{
}

const Region& Generator::homeRegion() const
{
    const auto& regions = Regions();
    return regions[static_cast<std::size_t>(options_.seed % regions.size())];
}

const Region& Generator::someRegion(Random& r) const
{
    return r.chance(0.7) ? homeRegion() : r.pick(Regions());
}

void Generator::wrote(const std::string& table, std::size_t rows) { summary_.tables.emplace_back(table, rows); }

Summary Generator::run()
{
    enterprises();
    zoneOverview();
    nationalProjects();
    institutions();
    softwareBases();
    sciencePark();
    incubators();
    industryBases();
    provincialZones();
    surveySheets();
    return summary_;
}

void Generator::enterprises()
{
    Random r = root_.fork("enterprises");
    ChineseText text(r);
    TableSink firms(folder_, "kfq_1.db"), products(folder_, "kfq_2.db"), projects(folder_, "kfq_5.db");
    const Plan firmPlan(PlanText("kfq_1.db"), firms.layout());
    const Plan productPlan(PlanText("kfq_2.db"), products.layout());
    const Plan projectPlan(PlanText("kfq_5.db"), projects.layout());

    for (int i = 0; i < options_.enterprises; ++i) {
        const Region& region = someRegion(r);
        const Industry& industry = r.pick(Industries());
        std::set<std::string> tags;
        if (IsIndustrial(industry))
            tags.insert("ind");
        if (r.chance(0.35))
            tags.insert("exp");
        const bool listed = r.chance(0.03);
        if (listed)
            tags.insert("listed");

        Record f = firms.record();
        PlanContext ctx{&text, &region, text.domain()};
        const double scale = clampScale(r.logNormal(1, 1.0));
        firmPlan.apply(f, r, scale, ctx, tags);

        const std::string number = serial(100001 + i, 6);
        const std::string name = CutText(text.company(region, industry), 100);
        f.set("QA01", number);
        f.set("QA03", text.organisationCode());
        f.set("QA04", name);
        f.set("Qa16", tags.count("exp") ? text.digits(10) : std::string());
        f.set("QB02", industry.name);
        f.set("QB03", industry.code);
        const auto founded = r.between(1990, 2009);
        f.set("QB04", std::to_string(founded));
        const bool inZone = r.chance(0.8);
        f.set("QB07", inZone ? "1" : "2");
        if (inZone)
            f.set("QB08", std::to_string(std::max<std::int64_t>(founded, r.between(1992, 2009))));
        const bool certified = r.chance(0.6);
        f.set("QB11", certified ? "1" : "2");
        if (certified) {
            const auto year = std::max<std::int64_t>(founded, r.between(2000, 2009));
            f.set("QB12", std::to_string(year));
            f.set("QB13", "GR" + std::to_string(year) + region.code + text.digits(5));
        }
        f.set("QB10", r.chance(0.2) ? std::string("集团下属企业") : std::string());
        if (listed) {
            f.set("QB15", serial(r.between(1, 5), 2));
            f.set("QB15_1", kMarkets[static_cast<std::size_t>(r.between(0, 4))]);
        }
        // Totals that the plan cannot express: 研究生 = 博士 + 硕士, 主营业务收入 = 产品 + 技术.
        f.set("QD18", f.number("QD06") + f.number("QD07"));
        f.set("Qd01_1", std::floor((f.number("QD06") + f.number("QD07") + f.number("QD08")) * r.uniform(0.5, 0.95)));
        f.set("Qc55", f.number("QC07") + f.number("QC06"));
        // 工业增加值 = 工业总产值 - 工业中间投入 + 应交增值税, and 增加值 at least that.
        if (tags.count("ind")) {
            // the tax on the value an enterprise adds is a fraction of that value
            f.set("Qc62", std::min(f.number("Qc62"), std::floor((f.number("QC02") - f.number("QC03")) * r.uniform(0.1, 0.25))));
            f.set("QC44", f.number("QC02") - f.number("QC03") + f.number("Qc62"));
            f.set("QC43", std::max(f.number("QC43"), std::floor(f.number("QC44") * r.uniform(1, 1.2))));
        }
        f.set("Qj72", std::min(f.number("Qj72"), f.number("QC11")));
        if (!tags.count("ind"))
            f.set("QB09", std::string("4"));

        // Products share the product sales; their export at most the enterprise's export.
        const int productCount = static_cast<int>(r.between(2, 8));
        auto sales = wholeParts(r, std::floor(f.number("QC07") * r.uniform(0.6, 0.95)), productCount);
        double exportLeft = f.number("QC11");
        for (int k = 0; k < productCount; ++k) {
            Record p = products.record();
            productPlan.apply(p, r, 1, ctx, tags);
            const std::string qe01 = serial(k + 1, 4);
            p.set("QE01", qe01);
            p.set("QE02", CutText(text.product(industry), 50));
            const double s = sales[static_cast<std::size_t>(k)];
            p.set("QE15", s);
            p.set("QE14", tags.count("ind") ? std::floor(s * r.uniform(1, 1.2)) : s);
            const double e = std::min({exportLeft, s, std::floor(s * r.uniform(0, 0.4))});
            p.set("QE16", tags.count("exp") ? e : 0.0);
            if (tags.count("exp"))
                exportLeft -= e;
            p.set("QA01", number);
            p.set("ID", number + qe01);
            p.set("QE_ONE", 1.0);
            products.add(std::move(p));
        }

        // Projects share the project staff and the project spending of the enterprise.
        const int projectCount = static_cast<int>(r.between(0, 6));
        auto staff = wholeParts(r, f.number("Qj11"), std::max(projectCount, 1));
        auto spend = wholeParts(r, f.number("Qj53"), std::max(projectCount, 1));
        for (int k = 0; k < projectCount; ++k) {
            Record p = projects.record();
            projectPlan.apply(p, r, 1, ctx, tags);
            const std::string qh00 = serial(k + 1, 4);
            p.set("Qh00", qh00);
            p.set("Xmmc", CutText(text.project(industry), 40));
            const auto start = r.between(2005, 2009) * 100 + r.between(1, 12);
            const auto end = std::max<std::int64_t>(start + 100, r.between(2009, 2012) * 100 + r.between(1, 12));
            p.set("Qh06", std::to_string(start));
            p.set("Qh07", std::to_string(end));
            const double persons = staff[static_cast<std::size_t>(k)];
            auto kinds = wholeParts(r, persons, 3);
            p.set("Qh08", persons);
            p.set("Qh08_1", kinds[0]);
            p.set("Qh08_2", kinds[1]);
            p.set("Qh08_3", kinds[2]);
            const double cost = spend[static_cast<std::size_t>(k)];
            p.set("Qh12", cost);
            p.set("Qh12_1", std::floor(cost * r.uniform(0, 0.4)));
            p.set("Qa01", number);
            p.set("Id", number + qh00);
            p.set("Qh_one", 1.0);
            projects.add(std::move(p));
        }
        f.set("Qi09", static_cast<double>(projectCount));
        f.set("Id", number);
        f.set("Qa_one", std::int64_t{1});
        firms_.push_back({number, name, f.text("QA05"), &region});
        firms.add(std::move(f));
    }
    firms.flush();
    products.flush();
    projects.flush();
    wrote("kfq_1.db", firms.written());
    wrote("kfq_2.db", products.written());
    wrote("kfq_5.db", projects.written());
}

void Generator::zoneOverview()
{
    Random r = root_.fork("zone");
    ChineseText text(r);
    TableSink zone(folder_, "kfqzh.db");
    const Plan plan(PlanText("kfqzh.db"), zone.layout());
    const Region& region = homeRegion();
    Record z = zone.record();
    plan.apply(z, r, 1, PlanContext{&text, &region, text.domain()});
    z.set("KA01", region.city + "高新技术产业开发区");
    z.set("KA04", region.city + "高新区管委会统计处");
    zone.add(std::move(z));
    zone.flush();
    wrote("kfqzh.db", zone.written());
}

void Generator::nationalProjects()
{
    Random r = root_.fork("national");
    ChineseText text(r);
    const Region& home = homeRegion();
    const int count = std::max(20, options_.enterprises / 10);
    std::set<std::string> names;
    struct Issued {
        std::string pxh, jb00, jb01, jb02, jb21;
    };
    std::vector<Issued> list;
    {
        TableSink projects(folder_, "gjxm.db");
        TableSink unreported(folder_, "gj_wsb.db");
        const Plan plan(PlanText("gjxm.db"), projects.layout());
        for (int i = 0; i < count; ++i) {
            const Industry& industry = r.pick(Industries());
            std::string name;
            do {
                name = CutText(text.project(industry), 60);
                if (names.count(name))
                    name = CutText(name + "（" + std::to_string(i + 1) + "）", 60);
            } while (!names.insert(name).second);
            const std::string jb00 = home.code + serial(i + 1, 6);
            const std::string jb02 = std::to_string(r.between(2005, 2009)) + "GH" + serial(r.between(10000, 99999), 6);
            const Enterprise* unit = firms_.empty() ? nullptr : &firms_[static_cast<std::size_t>(r.between(0, static_cast<std::int64_t>(firms_.size()) - 1))];
            const std::string jb21 = unit ? CutText(unit->name, 40) : CutText(text.company(home, industry), 40);

            // Kinds: most issued projects are entered, some were added by the unit, a few are still open.
            const double u = r.unit();
            const std::string kind = u < 0.6 ? "1" : u < 0.85 ? "2" : "";
            Record p = projects.record();
            if (!kind.empty()) {
                plan.apply(p, r, clampScale(r.logNormal(1, 0.8)), PlanContext{&text, &home, text.domain()});
                const std::string progress = p.text("JD01");
                if (progress != "3" && progress != "4" && progress != "5")
                    p.set("JD02", std::string());
            }
            p.set("JB00", jb00);
            p.set("JB01", name);
            p.set("JB02", jb02);
            p.set("JB21", jb21);
            if (!kind.empty()) {
                p.set("JB23", unit ? CutText(unit->address, 40) : std::string());
                p.set("JB41_1", CutText(text.company(home, r.pick(Industries())), 30));
                p.set("JB41_2", r.chance(0.5) ? CutText(text.company(home, r.pick(Industries())), 30) : std::string());
            }
            p.set("IS_CHGE", kind);
            p.set("GJ_ONE", std::int64_t{1});
            const bool issued = kind != "2";
            p.set("PXH", issued ? home.code : std::string());
            p.set("Id", kind.empty() ? home.code + jb00 : jb00);
            if (issued)
                list.push_back({home.code, jb00, name, jb02, jb21});
            if (kind.empty()) {
                Record w = unreported.record();
                w.set("JB00", jb00);
                w.set("JB01", CutText(name, 46));
                w.set("JB02", jb02);
                w.set("YY", std::to_string(r.between(1, 4)));
                unreported.add(std::move(w));
            }
            ++(kind == "1" ? entered_ : kind == "2" ? added_ : issued_);
            projects.add(std::move(p));
        }
        projects.flush();
        unreported.flush();
        wrote("gjxm.db", projects.written());
        wrote("gj_wsb.db", unreported.written());
    }

    // The issued list of all regions: this region's issued projects and those of two others.
    TableSink issuedList(folder_, "gjxmqd.dbf");
    for (int k = 0; k < 2; ++k) {
        const Region& other = Regions()[static_cast<std::size_t>((options_.seed + 7 + static_cast<std::uint64_t>(k) * 11) % Regions().size())];
        if (other.code == home.code)
            continue;
        for (int i = 0; i < count / 2; ++i) {
            const Industry& industry = r.pick(Industries());
            list.push_back({other.code, other.code + serial(i + 1, 6), CutText(text.project(industry), 60),
                            std::to_string(r.between(2005, 2009)) + "GH" + serial(r.between(10000, 99999), 6),
                            CutText(text.company(other, industry), 40)});
        }
    }
    for (const auto& it : list) {
        Record q = issuedList.record();
        q.set("PXH", it.pxh);
        q.set("JB00", it.jb00);
        q.set("JB01", it.jb01);
        q.set("JB02", it.jb02);
        q.set("JB21", it.jb21);
        issuedList.add(std::move(q));
    }
    issuedList.flush();
    wrote("gjxmqd.dbf", issuedList.written());
}

void Generator::institutions()
{
    Random r = root_.fork("institutions");
    ChineseText text(r);
    TableSink t(folder_, "tzjg.db");
    const Plan plan(PlanText("tzjg.db"), t.layout());
    for (int i = 0; i < 10; ++i) {
        const Region& region = someRegion(r);
        Record rec = t.record();
        plan.apply(rec, r, clampScale(r.logNormal(1, 0.8)), PlanContext{&text, &region, text.domain()});
        const std::string code = serial(i + 1, 4);
        rec.set("code", code);
        rec.set("KZ00", CutText(text.institution(region, "创业投资有限公司"), 60));
        rec.set("ID", code);
        rec.set("tzjg_one", std::int64_t{1});
        t.add(std::move(rec));
    }
    t.flush();
    wrote("tzjg.db", t.written());
}

void Generator::softwareBases()
{
    Random r = root_.fork("software");
    ChineseText text(r);
    TableSink bases(folder_, "rjjd.db"), firms(folder_, "rjjdqy.db"), items(folder_, "rjjdqycp.db");
    const Plan basePlan(PlanText("rjjd.db"), bases.layout());
    const Plan firmPlan(PlanText("rjjdqy.db"), firms.layout());
    const Plan itemPlan(PlanText("rjjdqycp.db"), items.layout());
    const Industry* software = &Industries().front();
    for (const auto& ind : Industries()) {
        if (ind.code == "6212")
            software = &ind;
    }
    for (int b = 0; b < 3; ++b) {
        const Region& region = b == 0 ? homeRegion() : r.pick(Regions());
        const std::string code = serial(b + 1, 4);
        Record base = bases.record();
        basePlan.apply(base, r, clampScale(r.logNormal(1, 0.5)), PlanContext{&text, &region, text.domain()});
        base.set("Code", code);
        base.set("Ke100", region.city + "国家Vemora计划软件产业基地");
        base.set("Id", code);
        base.set("rjjd_one", std::int64_t{1});
        bases.add(std::move(base));

        for (int e = 0; e < 20; ++e) {
            std::set<std::string> tags;
            if (r.chance(0.4))
                tags.insert("exp");
            const std::string code2 = serial(e + 1, 4);
            Record f = firms.record();
            PlanContext ctx{&text, &region, text.domain()};
            firmPlan.apply(f, r, clampScale(r.logNormal(1, 1.0)), ctx, tags);
            f.set("Code2", code2);
            f.set("Ke100", CutText(text.company(region, *software), 40));
            f.set("C514", f.text("C513") == "1" ? kMarkets[static_cast<std::size_t>(r.between(0, 4))] : std::string());
            if (f.text("F400").empty() && r.chance(0.2))
                f.set("F400", std::string("ISO27001信息安全管理体系认证"));
            f.set("Code", code);
            f.set("Id", code + code2);
            f.set("rjjd2_one", std::int64_t{1});

            const int n = static_cast<int>(r.between(1, 4));
            auto income = wholeParts(r, std::floor(f.number("D300") * r.uniform(0.5, 0.9)), n);
            for (int k = 0; k < n; ++k) {
                const std::string code3 = serial(k + 1, 4);
                Record it = items.record();
                itemPlan.apply(it, r, 1, ctx, tags);
                it.set("Code3", code3);
                it.set("Ke189", CutText(text.product(*software), 40));
                const double s = income[static_cast<std::size_t>(k)];
                it.set("Ke201", s);
                it.set("Ke202", tags.count("exp") ? std::floor(s * r.uniform(0, 0.3)) : 0.0);
                it.set("Code", code);
                it.set("Code2", code2);
                it.set("Id", code + code2 + code3);
                it.set("rjjd3_one", std::int64_t{1});
                items.add(std::move(it));
            }
            firms.add(std::move(f));
        }
    }
    bases.flush();
    firms.flush();
    items.flush();
    wrote("rjjd.db", bases.written());
    wrote("rjjdqy.db", firms.written());
    wrote("rjjdqycp.db", items.written());
}

void Generator::sciencePark()
{
    Random r = root_.fork("parks");
    ChineseText text(r);
    TableSink parks(folder_, "dx.db"), firms(folder_, "dxzfqy.db"), grants(folder_, "dxxm.db");
    const Plan parkPlan(PlanText("dx.db"), parks.layout());
    const Plan firmPlan(PlanText("dxzfqy.db"), firms.layout());
    const Plan grantPlan(PlanText("dxxm.db"), grants.layout());
    for (int p = 0; p < 4; ++p) {
        const Region& region = p == 0 ? homeRegion() : r.pick(Regions());
        const std::string code = serial(p + 1, 4);
        Record park = parks.record();
        parkPlan.apply(park, r, clampScale(r.logNormal(1, 0.5)), PlanContext{&text, &region, text.domain()});
        park.set("CODE", code);
        park.set("TDF811", CutText(text.university(region) + "国家大学科技园", 60));
        park.set("Id", code);
        park.set("dx_one", 1.0);
        std::vector<std::string> names;
        // The listed enterprises moved in after the park was founded and after they were registered; their
        // income and staff are part of the park's figures for its incubated enterprises.
        const db::Date founded = dateOf(park, "TDF819", db::Date{1999, 6, 1});
        double income = 0, staff = 0;
        for (int e = 0; e < 15; ++e) {
            const Industry& industry = r.pick(Industries());
            const std::string code2 = serial(e + 1, 3);
            Record f = firms.record();
            firmPlan.apply(f, r, clampScale(r.logNormal(1, 0.9)), PlanContext{&text, &region, text.domain()});
            f.set("CODE2", code2);
            names.push_back(CutText(text.company(region, industry), 60));
            f.set("TDF8114", names.back());
            f.set("TDF8120", text.organisationCode());
            const db::Date registered = dateOf(f, "TDF8118", founded);
            f.set("TDF8119", dateBetween(r, DayNumber(registered) > DayNumber(founded) ? registered : founded, kYearEnd));
            income += f.number("TDF8G210");
            staff += f.number("TDF8H300");
            f.set("CODE", code);
            f.set("Id", code + code2);
            f.set("dxzfqy_one", 1.0);
            firms.add(std::move(f));
        }
        park.set("TDF8G00", std::max(park.number("TDF8G00"), 15.0));
        park.set("TDF8G10", std::max(park.number("TDF8G10"), std::ceil(income * r.uniform(1.05, 1.5))));
        park.set("TDF8H00", std::max(park.number("TDF8H00"), std::ceil(staff * r.uniform(1.05, 1.5))));
        // The incubated enterprises are among the park's enterprises.
        park.set("TDF8M00", std::max(park.number("TDF8M00"), std::ceil(park.number("TDF8G00") * r.uniform(1.2, 2))));
        park.set("TDF8M11", std::max(park.number("TDF8M11"), std::ceil(park.number("TDF8H00") * r.uniform(1.2, 2))));
        park.set("TDF8M12", std::max(park.number("TDF8M12"), std::ceil(park.number("TDF8G40") * r.uniform(1.2, 2))));
        parks.add(std::move(park));
        for (int g = 0; g < 5; ++g) {
            const Industry& industry = r.pick(Industries());
            const std::string code2 = serial(g + 1, 4);
            Record rec = grants.record();
            grantPlan.apply(rec, r, clampScale(r.logNormal(1, 0.6)), PlanContext{&text, &region, text.domain()});
            rec.set("Code2", code2);
            rec.set("Tdf8q110", CutText(text.project(industry), 80));
            rec.set("Tdf8q120", names[static_cast<std::size_t>(r.between(0, static_cast<std::int64_t>(names.size()) - 1))]);
            rec.set("Code", code);
            rec.set("Id", code + code2);
            rec.set("dxxm_one", std::int64_t{1});
            grants.add(std::move(rec));
        }
    }
    parks.flush();
    firms.flush();
    grants.flush();
    wrote("dx.db", parks.written());
    wrote("dxzfqy.db", firms.written());
    wrote("dxxm.db", grants.written());
}

void Generator::incubators()
{
    Random r = root_.fork("incubators");
    ChineseText text(r);
    TableSink incs(folder_, "fhq.db"), firms(folder_, "fhqzfqy.db");
    const Plan incPlan(PlanText("fhq.db"), incs.layout());
    const Plan firmPlan(PlanText("fhqzfqy.db"), firms.layout());
    static const std::vector<std::string> kinds = {"创业服务中心", "科技企业孵化器", "留学人员创业园", "软件孵化器"};
    for (int i = 0; i < 8; ++i) {
        const Region& region = someRegion(r);
        const std::string code = serial(i + 1, 4);
        const std::string name = CutText(text.institution(region, r.pick(kinds)), 60);
        Record inc = incs.record();
        incPlan.apply(inc, r, clampScale(r.logNormal(1, 0.6)), PlanContext{&text, &region, text.domain()});
        inc.set("CODE", code);
        inc.set("TDF711", name);
        inc.set("TDF7G00", std::max(inc.number("TDF7G00"), 20.0));
        inc.set("TDF7J30", std::max(inc.number("TDF7J30"), inc.number("TDF7G00")));
        inc.set("Id", code);
        inc.set("FHQ_ONE", std::int64_t{1});
        // As in the science parks: moved in after both foundings, within the incubator's figures.
        const db::Date opened = dateOf(inc, "TDF719", db::Date{1990, 1, 1});
        double income = 0, staff = 0;
        for (int e = 0; e < 20; ++e) {
            const Industry& industry = r.pick(Industries());
            const std::string code2 = serial(e + 1, 4);
            Record f = firms.record();
            firmPlan.apply(f, r, clampScale(r.logNormal(1, 0.9)), PlanContext{&text, &region, text.domain()});
            f.set("CODE2", code2);
            f.set("TDF730", CutText(text.company(region, industry), 60));
            f.set("TDF7L111", name);
            const db::Date founded = dateOf(f, "TDF7L100", opened);
            f.set("TDF7L101", dateBetween(r, DayNumber(founded) > DayNumber(opened) ? founded : opened, kYearEnd));
            income += f.number("TDF7G210");
            staff += f.number("TDF7F600");
            f.set("CODE", code);
            f.set("Id", code + code2);
            f.set("FHQZFQY_ONE", 1.0);
            firms.add(std::move(f));
        }
        inc.set("TDF7G10", std::max(inc.number("TDF7G10"), std::ceil(income * r.uniform(1.05, 1.5))));
        inc.set("TDF7F00", std::max(inc.number("TDF7F00"), std::ceil(staff * r.uniform(1.05, 1.5))));
        incs.add(std::move(inc));
    }
    incs.flush();
    firms.flush();
    wrote("fhq.db", incs.written());
    wrote("fhqzfqy.db", firms.written());
}

void Generator::industryBases()
{
    Random r = root_.fork("bases");
    ChineseText text(r);
    TableSink t(folder_, "tsjd.db");
    const Plan plan(PlanText("tsjd.db"), t.layout());
    static const std::vector<std::string> fields = {"新材料", "生物医药", "电子信息", "先进制造", "新能源", "汽车电子"};
    for (int i = 0; i < 5; ++i) {
        const Region& region = r.pick(Regions());
        Record rec = t.record();
        plan.apply(rec, r, clampScale(r.logNormal(1, 0.6)), PlanContext{&text, &region, text.domain()});
        const std::string code = region.code + serial(i + 1, 3);
        rec.set("CODE", code);
        rec.set("TDF911", CutText(region.city + "国家Vemora计划" + r.pick(fields) + "特色产业基地", 60));
        rec.set("Id", code);
        rec.set("Tsjd_one", std::int64_t{1});
        t.add(std::move(rec));
    }
    t.flush();
    wrote("tsjd.db", t.written());
}

void Generator::provincialZones()
{
    Random r = root_.fork("provincial");
    ChineseText text(r);
    TableSink t(folder_, "sjgxq.db");
    const Plan plan(PlanText("sjgxq.db"), t.layout());
    std::set<std::string> used;
    for (int i = 0; i < 8; ++i) {
        const Region* region = &r.pick(Regions());
        while (!used.insert(region->city).second)
            region = &r.pick(Regions());
        Record rec = t.record();
        plan.apply(rec, r, clampScale(r.logNormal(1, 0.7)), PlanContext{&text, region, text.domain()});
        const std::string code = serial(i + 1, 4);
        rec.set("Code", code);
        rec.set("Mc", region->city + "省级高新技术产业开发区");
        rec.set("Cs", region->city);
        rec.set("Bz", r.chance(0.3) ? std::string("已申报国家级高新区") : std::string());
        rec.set("Id", code);
        rec.set("Sjgxq_one", std::int64_t{1});
        t.add(std::move(rec));
    }
    t.flush();
    wrote("sjgxq.db", t.written());
}

void Generator::surveySheets()
{
    Random r = root_.fork("survey");
    ChineseText text(r);
    const Region& home = homeRegion();
    {
        TableSink t(folder_, "xmdcb.db");
        Record rec = t.record();
        rec.set("KW", home.name + "科学技术厅");
        rec.set("DQ", home.code);
        rec.set("TBR", CutText(text.person(), 8));
        rec.set("GJ_1", static_cast<double>(issued_ + entered_));
        rec.set("GJ_2", static_cast<double>(entered_ + added_));
        rec.set("GJ_3", static_cast<double>(added_));
        rec.set("GJ_4", static_cast<double>(issued_));
        const double total = static_cast<double>(r.between(40, 200));
        rec.set("DF_1", total);
        rec.set("DF_2", std::floor(total * r.uniform(0.2, 0.5)));
        rec.set("DF_3", total - rec.number("DF_2"));
        auto fields = wholeParts(r, static_cast<double>(r.between(10, 40)), 6);
        auto inZone = fields;
        double dn = 0, qn = 0;
        for (int k = 0; k < 6; ++k) {
            inZone[static_cast<std::size_t>(k)] = std::floor(fields[static_cast<std::size_t>(k)] * r.uniform(0.3, 1));
            rec.set("DN_" + std::to_string(k + 2), fields[static_cast<std::size_t>(k)]);
            rec.set("QN_" + std::to_string(k + 2), inZone[static_cast<std::size_t>(k)]);
            dn += fields[static_cast<std::size_t>(k)];
            qn += inZone[static_cast<std::size_t>(k)];
        }
        rec.set("DN_1", dn);
        rec.set("QN_1", qn);
        const double outside = static_cast<double>(r.between(20, 120));
        rec.set("QWQYS", outside);
        rec.set("QWTJS", static_cast<std::int64_t>(outside * r.uniform(0.6, 1)));
        rec.set("PXH", home.code);
        t.add(std::move(rec));
        t.flush();
        wrote("xmdcb.db", t.written());
    }
    {
        TableSink t(folder_, "df_wsb.db");
        Record rec = t.record();
        rec.set("CODE", std::string("1"));
        for (int k = 1; k <= 6; ++k)
            rec.set("XMS_" + std::to_string(k), r.between(0, 8));
        for (const char* f : {"ZCZ", "XSSR", "JLR", "SJSF", "CH"}) {
            const double scale = std::string(f) == "ZCZ" || std::string(f) == "XSSR" ? 20000 : 2000;
            rec.set(std::string(f) + "_1", std::floor(scale * r.uniform(0.2, 1.5)));
            rec.set(std::string(f) + "_2", std::floor(scale * r.uniform(0.1, 1)));
        }
        rec.set("PXH", home.code);
        t.add(std::move(rec));
        t.flush();
        wrote("df_wsb.db", t.written());
    }
    {
        TableSink t(folder_, "dfxm2.db");
        for (int i = 0; i < 30; ++i) {
            Record rec = t.record();
            const double plan = std::floor(r.logNormal(3000, 0.8));
            const double funds = std::floor(plan * r.uniform(0.3, 0.8));
            auto parts = wholeParts(r, funds, 4);
            const double sales = std::floor(plan * r.uniform(0, 2));
            rec.set("DF_ONE", std::int64_t{1});
            rec.set("JC100", plan);
            rec.set("JF1002", funds);
            rec.set("JF1102", parts[0]);
            rec.set("JF1302", parts[1]);
            rec.set("JF1402", parts[2]);
            rec.set("JF1502", parts[3]);
            rec.set("JG102", std::floor(sales * r.uniform(1, 1.2)));
            rec.set("JG202", sales);
            rec.set("JG212", std::floor(sales * r.uniform(0, 0.2)));
            rec.set("JG302", std::floor(sales * r.uniform(0, 0.12)));
            rec.set("JG402", std::floor(sales * r.uniform(0.02, 0.07)));
            t.add(std::move(rec));
        }
        t.flush();
        wrote("dfxm2.db", t.written());
    }
}

}  // namespace sample
