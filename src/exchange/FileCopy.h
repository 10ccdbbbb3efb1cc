// Whole-file copies for the exchange windows. A copy replaces its target only when it is complete (written
// under a temporary name beside the target, then renamed), and a table file is read through SQLite's backup,
// so that a write in progress in another program or instance is not caught halfway.
#pragma once

#include <string>

// Copies the file from to the path to; raises Exception with a message naming the files when it cannot.
void CopyWholeFile(const std::string& from, const std::string& to);
