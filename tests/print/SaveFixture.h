// Saving and swapping in a fresh data folder: a small source table "src.db" (text, number, date and small
// integer fields) and readers for what a save wrote, dBase files also through python3-dbfread.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/ProgramTest.h"
#include "support/Python.h"
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
        return testsupport::RunPython(
            base_,
            "import sys, dbfread\n"
            "for r in dbfread.DBF(sys.argv[1], encoding='gbk', char_decode_errors='strict'):\n"
            "    print(';'.join('%s=%s' % (k, '' if v is None else v) for k, v in r.items()))\n",
            {path});
    }

    static std::string Bytes(const std::string& path) { return testsupport::FileBytes(path); }
};

}  // namespace printtest
