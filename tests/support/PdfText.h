// Reading back what was printed: the output of a command, and the text lines of a PDF as pdftotext reads them
// (optionally with its layout kept, so that the texts of one printed row stay on one line).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace testsupport {

// Output of a command (stdout), or empty when it fails.
inline std::string RunCommand(const std::string& cmd)
{
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        return out;
    }
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) {
        out.append(buf, n);
    }
    pclose(p);
    return out;
}

enum class PdfLayout { Reading, Kept };

// The non-empty lines of a PDF's text (one page, or all when page is 0), blanks at both ends trimmed.
inline std::vector<std::string> PdfLines(const std::string& file, int page = 0, PdfLayout layout = PdfLayout::Reading)
{
    const std::string range = page > 0 ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
    const std::string mode = layout == PdfLayout::Kept ? " -layout" : "";
    const std::string text = RunCommand("pdftotext -enc UTF-8" + mode + range + " '" + file + "' -");
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        auto end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(at, end - at);
        const auto first = line.find_first_not_of(" \t\f\r");
        const auto last = line.find_last_not_of(" \t\f\r");
        if (first != std::string::npos) {
            out.push_back(line.substr(first, last - first + 1));
        }
        at = end + 1;
    }
    return out;
}

}  // namespace testsupport
