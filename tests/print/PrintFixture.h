// Report printing in a data folder with sample reports: a copy of a folder that the sample generator filled
// once per test program, reports printed to PDF files and read back, and tables read and written by field name.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Generator.h"
#include "platform/db/Table.h"
#include "platform/report/Printer.h"
#include "platform/report/QuickRep.h"
#include "support/PdfText.h"
#include "support/ProgramTest.h"

namespace printtest {

constexpr int kSampleEnterprises = 200;

using Record = std::map<std::string, std::string>;  // field name -> value as text ("" for null)

// Every record of a table file in its record order, each field as text.
inline std::vector<Record> ReadTable(const std::string& name)
{
    TTable t;
    t.SetTableName(name);
    t.Open();
    std::vector<Record> out;
    for (t.First(); !t.Eof(); t.Next()) {
        Record r;
        for (int i = 0; i < t.FieldCount(); ++i) {
            r[t.Fields()[i]->FieldName()] = t.Fields()[i]->AsString();
        }
        out.push_back(std::move(r));
    }
    return out;
}

// The field names of a table file, in order.
inline std::vector<std::string> FieldNames(const std::string& name)
{
    TTable t;
    t.SetTableName(name);
    t.Open();
    std::vector<std::string> out;
    for (int i = 0; i < t.FieldCount(); ++i) {
        out.push_back(t.Fields()[i]->FieldName());
    }
    return out;
}

// Appends records to a table file; fields not named stay empty.
inline void AppendRecords(const std::string& name, const std::vector<Record>& records)
{
    TTable t;
    t.SetTableName(name);
    t.Open();
    for (const Record& r : records) {
        t.Append();
        for (const auto& [field, value] : r) {
            t.FieldByName(field)->SetAsString(value);
        }
        t.Post();
    }
}

inline void EmptyTable(const std::string& name)
{
    TTable t;
    t.SetTableName(name);
    t.EmptyTable();
}

inline bool HasLine(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

inline double Number(const std::string& text) { return text.empty() ? 0 : std::stod(text); }

// The blank-separated words of a line.
inline std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) {
        out.push_back(w);
    }
    return out;
}

class PrintTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        std::filesystem::copy(SampleFolder(), folder_,
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    }

    void TearDown() override
    {
        Printer()->OutputFile.clear();
        ProgramTest::TearDown();
    }

    // A data folder with the sample reports, built on first use and removed when the program ends.
    static const std::filesystem::path& SampleFolder()
    {
        static std::filesystem::path base;
        static const std::filesystem::path folder = [] {
            char pattern[] = "/tmp/vemora-sample-XXXXXX";
            if (!mkdtemp(pattern)) {
                throw std::runtime_error("cannot make a temporary folder");
            }
            base = pattern;
            std::atexit([] {
                std::error_code ec;
                std::filesystem::remove_all(base, ec);
            });
            const std::filesystem::path f = base / "data";
            std::filesystem::copy(TemplateFolder(), f, std::filesystem::copy_options::recursive);
            sample::Options o;
            o.enterprises = kSampleEnterprises;
            sample::Generator(f.string(), o).run();
            return f;
        }();
        return folder;
    }

    // The PDF file that printing goes to from now on (in the test's temporary folder).
    std::string PrintToPdf(const std::string& name)
    {
        const std::string file = (Base() / name).string();
        Printer()->OutputFile = file;
        return file;
    }
};

}  // namespace printtest
