// How the figures and small codes of one table are made up: a short text, one line per field, read once per table
// and applied to every record.
//
//   @ amount 30000 people 150          base values of the root kinds, multiplied by the record's scale
//   QC05 amount x1.2                   a root: base x factor x scale x uniform(0.6, 1.4)
//   QC07 amount =QC05                  the "=" items of QC05 add up to QC05 exactly
//   QC06_1 amount ~QC06                the "~" items of QC06 share part of it: together at most QC06
//   QC09 amount <QC07 .3 .8            one item of QC07: QC07 x uniform(.3, .8)
//   QC02 amount >QC07 1 1.2            derived from QC07: QC07 x uniform(1, 1.2), so not an item of it
//   QC41 energy ?ind                   only for records tagged "ind", else 0
//   QA02 pick 1 2                      one of the texts; "year 1995 2009", "date 2010-01-05 2010-03-31",
//                                      "digits" (as many as the field holds), "pct", "age", "months"
//   QA08 person                        texts of the record's region: person, tel, post, addr, mail, web, orgcode
//
// Whole numbers throughout, so that an item is never above its total after rounding. Items come after their total.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ChineseText.h"
#include "Random.h"
#include "Record.h"

namespace sample {

// Days since 1970-01-01 of a date, and back: for dates drawn between two others.
long DayNumber(const db::Date& d);
db::Date FromDayNumber(long z);

// Where the texts of a record come from.
struct PlanContext {
    ChineseText* text = nullptr;
    const Region* region = nullptr;
    std::string domain;  // of the record's mail and web addresses
};

class Plan {
public:
    Plan(const std::string& text, const Layout& layout);  // raises std::runtime_error naming the line

    // Fills the planned fields of rec; scale multiplies every root figure; tags select "?tag" lines.
    void apply(Record& rec, Random& r, double scale, const PlanContext& ctx,
               const std::set<std::string>& tags = {}) const;

private:
    enum class Rel { Root, Exact, Share, Item, Derived };
    struct Line {
        int field = -1;
        std::string kind;
        std::vector<std::string> args;
        Rel rel = Rel::Root;
        int parent = -1;
        double lo = 0.05, hi = 0.6, factor = 1;
        std::string tag;
    };

    void setNumber(Record& rec, int field, double v) const;
    std::string contextText(const std::string& kind, const PlanContext& ctx) const;

    const Layout* layout_;
    std::vector<Line> lines_;
    std::map<std::string, double> base_;
};

}  // namespace sample
