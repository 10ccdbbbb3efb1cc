#include "Random.h"

#include <cmath>

namespace sample {

namespace {

std::uint64_t splitMix(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

Random::Random(std::uint64_t seed) : seed_(seed)
{
    std::uint64_t x = seed;
    for (auto& s : s_)
        s = splitMix(x);
}

std::uint64_t Random::next()
{
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
}

double Random::unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

double Random::uniform(double lo, double hi) { return lo + (hi - lo) * unit(); }

std::int64_t Random::between(std::int64_t lo, std::int64_t hi)
{
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<std::int64_t>(span == 0 ? next() : next() % span);
}

bool Random::chance(double p) { return unit() < p; }

double Random::logNormal(double median, double sigma)
{
    // Box-Muller; 1 - unit() keeps the logarithm finite.
    const double u1 = 1.0 - unit(), u2 = unit();
    const double n = std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
    return median * std::exp(sigma * n);
}

std::vector<double> Random::split(double total, int count)
{
    std::vector<double> w(static_cast<std::size_t>(count));
    double sum = 0;
    for (auto& x : w) {
        x = -std::log(1.0 - unit());
        sum += x;
    }
    for (auto& x : w)
        x = sum > 0 ? total * x / sum : 0;
    return w;
}

Random Random::fork(const std::string& label) const
{
    std::uint64_t h = 1469598103934665603ULL ^ seed_;
    for (unsigned char c : label)
        h = (h ^ c) * 1099511628211ULL;
    return Random(h);
}

}  // namespace sample
