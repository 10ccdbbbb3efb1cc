// A fresh temporary folder per test, removed afterwards.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <string>

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
