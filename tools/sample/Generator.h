// Fills a data folder with sample reports of every kind: enterprises with their products and projects, a zone
// overview, national projects with the issued list and the unreported list, investment institutions, software
// bases, science parks, incubators, industry bases and provincial zones. The same seed gives the same data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ChineseText.h"
#include "Random.h"

namespace sample {

struct Options {
    int enterprises = 200;
    std::uint64_t seed = 1;
};

struct Summary {
    std::vector<std::pair<std::string, std::size_t>> tables;  // table and rows written, in writing order
};

class Generator {
public:
    Generator(std::string folder, Options options);
    Summary run();

private:
    struct Enterprise {
        std::string number, name, address;
        const Region* region;
    };

    void enterprises();
    void zoneOverview();
    void nationalProjects();
    void institutions();
    void softwareBases();
    void sciencePark();
    void incubators();
    void industryBases();
    void provincialZones();
    void surveySheets();

    const Region& homeRegion() const;
    const Region& someRegion(Random& r) const;
    void wrote(const std::string& table, std::size_t rows);

    std::string folder_;
    Options options_;
    Random root_;
    Summary summary_;
    std::vector<Enterprise> firms_;
    int issued_ = 0, entered_ = 0, added_ = 0;
};

}  // namespace sample
