// vemora-sample FOLDER [--enterprises N] [--seed S]: fills a data folder made by vemora-setup with sample reports.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "Generator.h"

namespace {

int usage()
{
    std::cerr << "usage: vemora-sample FOLDER [--enterprises N] [--seed S]\n";
    return 2;
}

bool parseNumber(const std::string& s, unsigned long long& out)
{
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 18)
        return false;
    out = std::stoull(s);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder;
    sample::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        unsigned long long n = 0;
        if ((a == "--enterprises" || a == "--seed") && i + 1 < argc) {
            if (!parseNumber(argv[++i], n))
                return usage();
            if (a == "--seed")
                options.seed = n;
            else if (n < 1 || n > 900000)
                return std::cerr << "vemora-sample: --enterprises must be 1 to 900000\n", 2;
            else
                options.enterprises = static_cast<int>(n);
        } else if (folder.empty() && !a.starts_with("--")) {
            folder = a;
        } else {
            return usage();
        }
    }
    if (folder.empty())
        return usage();
    try {
        sample::Generator generator(folder, options);
        const auto summary = generator.run();
        for (const auto& [table, rows] : summary.tables)
            std::cout << table << ": " << rows << "\n";
    } catch (const std::exception& e) {
        std::cerr << "vemora-sample: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
