// A fresh data folder per test, built from the program's own data/ descriptions, and helpers to open its tables.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/DataText.h"
#include "platform/db/Table.h"

class DataFolderTest : public ::testing::Test {
protected:
    static std::filesystem::path DataDir() { return std::filesystem::path(VEMORA_SOURCE_DIR) / "data"; }

    // Every description of data/tables, in file name order.
    static std::vector<std::filesystem::path> Descriptions()
    {
        std::vector<std::filesystem::path> out;
        for (const auto& e : std::filesystem::directory_iterator(DataDir() / "tables")) {
            if (e.path().extension() == ".txt")
                out.push_back(e.path());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    void SetUp() override
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vemora_data_XXXXXX").string();
        char* made = mkdtemp(tmpl.data());
        ASSERT_NE(made, nullptr);
        tmp_ = made;
        folder_ = tmp_ / "folder";
        ASSERT_GT(db::datatext::BuildDataFolder(DataDir().string(), folder_.string()), 0);
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(tmp_, ec);
    }

    std::unique_ptr<TTable> Open(const std::string& name) const
    {
        auto t = std::make_unique<TTable>();
        t->SetTableName((folder_ / name).string());
        t->Open();
        return t;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }

    std::filesystem::path tmp_, folder_;
};
