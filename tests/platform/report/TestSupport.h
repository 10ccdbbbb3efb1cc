// Test support: a fresh temporary folder per test (removed afterwards), running a command, and the text
// lines of a PDF as pdftotext reads them back (support/PdfText.h).
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

#include "support/PdfText.h"

class TempDir {
public:
    TempDir() : dir_(QDir::tempPath() + "/vemora-report-XXXXXX") {}
    std::string path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
    QString qpath(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)); }

private:
    QTemporaryDir dir_;
};

using testsupport::PdfLines;
using testsupport::RunCommand;

inline bool HasLine(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}
