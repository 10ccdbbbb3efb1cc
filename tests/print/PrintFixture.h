// Report printing in a data folder with sample reports: a copy of a folder that the sample generator filled
// once per test program, and reports printed to PDF files and read back.
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
#include "support/TableFiles.h"

namespace printtest {

constexpr int kSampleEnterprises = 200;

using testsupport::AppendRecords;
using testsupport::EmptyTable;
using testsupport::FieldNames;
using testsupport::ReadTable;
using testsupport::Record;

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
        static const std::filesystem::path folder = ProgramFolder([](const std::filesystem::path& f) {
            std::filesystem::copy(TemplateFolder(), f, std::filesystem::copy_options::recursive);
            sample::Options o;
            o.enterprises = kSampleEnterprises;
            sample::Generator(f.string(), o).run();
        });
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
