// Data folders for the system's benchmarks: built from data/ and filled by the sample generator (in a child
// process) once per size and seed, in one temporary folder of the run that is removed when the run ends.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>

#include "BenchCounters.h"
#include "Generator.h"
#include "platform/db/DataText.h"

namespace benchdata {

namespace fs = std::filesystem;

inline const fs::path& Root()
{
    static const fs::path root = [] {
        fs::path r = fs::temp_directory_path() / ("vemora_bench_" + std::to_string(getpid()));
        fs::create_directories(r);
        std::atexit([] {
            std::error_code ec;
            fs::current_path(fs::temp_directory_path(), ec);
            fs::remove_all(Root(), ec);
        });
        return r;
    }();
    return root;
}

// A data folder named name-enterprises-seed: the tables that come with the program and the sample reports.
inline const fs::path& SampleFolder(const std::string& name, int enterprises, std::uint64_t seed)
{
    static std::map<std::tuple<std::string, int, std::uint64_t>, fs::path> made;
    auto key = std::make_tuple(name, enterprises, seed);
    auto it = made.find(key);
    if (it != made.end())
        return it->second;
    const fs::path dir = Root() / (name + "-" + std::to_string(enterprises) + "-" + std::to_string(seed));
    // Made by a child process, so that the generator's memory does not count in the benchmark's peak.
    const pid_t child = fork();
    if (child == 0) {
        int status = 0;
        try {
            db::datatext::BuildDataFolder(std::string(VEMORA_SOURCE_DIR) + "/data", dir.string());
            sample::Generator(dir.string(), {enterprises, seed}).run();
        } catch (...) {
            status = 1;
        }
        _exit(status);
    }
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("cannot make the sample folder " + dir.string());
    return made.emplace(key, dir).first->second;
}

}  // namespace benchdata
