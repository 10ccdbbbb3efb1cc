// Test support: a fresh temporary folder per test (removed afterwards), running a command, and the text
// lines of a PDF as pdftotext reads them back.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir() : dir_(QDir::tempPath() + "/vemora-report-XXXXXX") {}
    std::string path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
    QString qpath(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)); }

private:
    QTemporaryDir dir_;
};

// Output of a command (stdout), or empty when it fails.
std::string RunCommand(const std::string& cmd);

// The non-empty lines of a PDF's text (one page, or all when page is 0), blanks at both ends trimmed.
std::vector<std::string> PdfLines(const std::string& file, int page = 0);

inline bool HasLine(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}
