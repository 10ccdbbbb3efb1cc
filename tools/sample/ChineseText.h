// Plausible Chinese texts for sample reports: regions with their post and telephone codes, person names,
// organisation names, addresses, product and project names, and the codes that fit the report fields.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "Random.h"

namespace sample {

struct Region {
    std::string code;      // region number of the project list ("110")
    std::string name;      // "北京"
    std::string city;      // the city where addresses lie
    std::string postcode;  // first three digits
    std::string areaCode;  // telephone area code
};

struct Industry {
    std::string code;  // four-digit industry code; its first two digits are the division
    std::string name;
    std::string word;  // what a company name in the industry says ("电子", "软件")
};

const std::vector<Region>& Regions();
const std::vector<Industry>& Industries();
bool IsIndustrial(const Industry& industry);  // divisions 06 to 46

class ChineseText {
public:
    explicit ChineseText(Random& random) : r_(random) {}

    std::string person();
    std::string phone(const Region& region);
    std::string postcode(const Region& region);
    std::string address(const Region& region);
    std::string email(const std::string& domain);
    std::string web(const std::string& domain);
    std::string domain();  // a few lower-case letters, unique per call within one run

    // Organisation names, unique within one run for each kind.
    std::string company(const Region& region, const Industry& industry);
    std::string institution(const Region& region, const std::string& suffix);  // "...创业投资有限公司"
    std::string university(const Region& region);
    std::string product(const Industry& industry);
    std::string project(const Industry& industry);

    // Codes: the organisation code "12345678-X" with its check character, digits of a given length.
    std::string organisationCode();
    std::string digits(int count);

private:
    std::string unique(std::set<std::string>& used, const std::string& candidate, int tries);
    std::string brand();

    Random& r_;
    std::set<std::string> companies_, institutions_, domains_, codes_;
};

// Text cut to at most the given number of characters (UTF-8).
std::string CutText(const std::string& s, int chars);

}  // namespace sample
