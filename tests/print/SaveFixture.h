// Saving and swapping in a fresh data folder: a small source table "src.db" (text, number, date and small
// integer fields) and readers for what a save wrote, dBase files also through python3-dbfread.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/ProgramTest.h"
#include "support/TableFiles.h"

namespace printtest {

using testsupport::Record;

class SaveTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        testsupport::MakeTable("src.db",
                               {testsupport::Text("名称", 20), testsupport::Number("产值"), testsupport::Day("日期"),
                                testsupport::Small("人数")},
                               {{"甲公司", "12.5", "2009-03-01", "7"}, {"乙公司", "", "", "12"}, {"丙", "3", "", ""}});
    }

    // What python3-dbfread reads from a dBase file: one line per record, "name=value" joined by ";".
    std::vector<std::string> Dbfread(const std::string& path)
    {
        const std::string script = (base_ / "read.py").string();
        std::ofstream(script) << "import sys, dbfread\n"
                                 "for r in dbfread.DBF(sys.argv[1], encoding='gbk', char_decode_errors='strict'):\n"
                                 "    print(';'.join('%s=%s' % (k, '' if v is None else v) for k, v in r.items()))\n";
        const std::string out = (base_ / "dbfread.out").string();
        const int rc = std::system(("/usr/bin/python3 '" + script + "' '" + path + "' > '" + out + "' 2>&1").c_str());
        std::ifstream in(out);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        EXPECT_EQ(rc, 0) << (lines.empty() ? "" : lines.front());
        return lines;
    }

    static std::string Bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

}  // namespace printtest
