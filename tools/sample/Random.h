// A seeded random source with its own distributions (not the standard library's, whose results differ between
// implementations), so that a seed gives the same sample data on every machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sample {

class Random {
public:
    explicit Random(std::uint64_t seed);

    std::uint64_t next();                       // 64 random bits (xoshiro256**)
    double unit();                              // [0, 1)
    double uniform(double lo, double hi);       // [lo, hi)
    std::int64_t between(std::int64_t lo, std::int64_t hi);  // [lo, hi], lo <= hi
    bool chance(double p);
    double logNormal(double median, double sigma);  // median * exp(sigma * N(0, 1))

    template <class T>
    const T& pick(const std::vector<T>& items) { return items[static_cast<std::size_t>(between(0, static_cast<std::int64_t>(items.size()) - 1))]; }

    // Shares that add up to total: count parts, each at least 0, in random proportions.
    std::vector<double> split(double total, int count);

    // A child source whose sequence depends only on this source's seed and the label, so that adding records of
    // one kind does not change the records of another.
    Random fork(const std::string& label) const;

private:
    std::uint64_t s_[4];
    std::uint64_t seed_;
};

}  // namespace sample
