// Independent readers and writers for the file-format tests: a python3 script (the system's /usr/bin/python3,
// with python3-dbfread) run on files the program wrote or will read, and the bytes of a file.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

// Runs code with the arguments, in files of folder; returns what it printed, one element per line. A script
// that fails is a test failure that shows its last line.
inline std::vector<std::string> RunPython(const std::filesystem::path& folder, const std::string& code,
                                          const std::vector<std::string>& args = {})
{
    const std::string script = (folder / "script.py").string();
    std::ofstream(script) << code;
    std::string command = "/usr/bin/python3 '" + script + "'";
    for (const std::string& a : args) {
        command += " '" + a + "'";
    }
    const std::string out = (folder / "script.out").string();
    const int rc = std::system((command + " > '" + out + "' 2>&1").c_str());
    std::ifstream in(out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    EXPECT_EQ(rc, 0) << (lines.empty() ? "" : lines.back());
    return lines;
}

inline std::string FileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace testsupport
