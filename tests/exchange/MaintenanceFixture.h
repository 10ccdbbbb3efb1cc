// The maintenance window opened from the main window ("系统维护") in a data folder filled with sample reports
// of every kind (built once per test program, copied for each test), with readers of what the tables hold.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Generator.h"
#include "exchange/Maintenance.h"
#include "exchange/TableCopy.h"
#include "exchange/Xtwh.h"
#include "support/ProgramTest.h"
#include "support/Python.h"
#include "support/TableFiles.h"

namespace maintenancetest {

namespace fs = std::filesystem;

// Windows without a display: the offscreen platform is chosen before Qt starts (the binary also runs at build
// time to list its tests).
inline const int kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}();

// The reports' tables as rows of text, by file name: what "the same data" means after a restore.
using Contents = std::map<std::string, std::vector<testsupport::Record>>;

using testsupport::FileBytes;

// Writes garbage over the middle of a file, as a failing disk or an interrupted copy would.
inline void Damage(const fs::path& path)
{
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(fs::file_size(path) / 2));
    const std::string junk(4096, '\x5a');
    f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
}

// Files of a folder whose names show a temporary copy ("~"), which no operation may leave behind.
inline std::vector<std::string> Leftovers(const fs::path& folder)
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().filename().string().find('~') != std::string::npos) {
            out.push_back(e.path().filename().string());
        }
    }
    return out;
}

class MaintenanceTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        // The data folder is the current folder: it is emptied and refilled, never replaced.
        for (const auto& e : fs::directory_iterator(folder_)) {
            fs::remove_all(e.path());
        }
        fs::copy(SampleFolder(), folder_, fs::copy_options::recursive);
    }

    void TearDown() override
    {
        exchange::CopyFaultHook = nullptr;
        ProgramTest::TearDown();
    }

    // Opens the maintenance window from the main window, acts in it, and leaves it with "退出".
    void InWindow(const std::function<void(TF_xtwh&)>& act)
    {
        if (!F_main) {
            StartProgram();
        }
        User().InModal("F_xtwh", [&](TForm& f) {
            auto& w = static_cast<TF_xtwh&>(f);
            act(w);
            EXPECT_TRUE(TScriptedUser::Press(*w.Button4));
        });
        ASSERT_TRUE(TScriptedUser::Press(*F_main->Button11));
    }

    // Ticks exactly the given items of the report list.
    static void Tick(TF_xtwh& w, const std::vector<int>& items)
    {
        EXPECT_TRUE(TScriptedUser::Press(*w.Button8));
        for (int i : items) {
            w.CheckListBox1->ToggleItem(i);
        }
    }

    // Every table of every report that the data folder holds (not every one comes with the program), by file
    // name in the order of the report list.
    std::vector<std::string> AllTables() const
    {
        std::vector<std::string> out;
        for (const auto& r : exchange::MaintenanceReports()) {
            for (const auto& t : r.tables) {
                if (fs::exists(folder_ / t.file) && std::find(out.begin(), out.end(), t.file) == out.end()) {
                    out.push_back(t.file);
                }
            }
        }
        return out;
    }

    static Contents Read(const fs::path& folder, const std::vector<std::string>& tables)
    {
        Contents out;
        for (const std::string& t : tables) {
            out[t] = testsupport::ReadTable((folder / t).string());
        }
        return out;
    }

    std::vector<std::string> Python(const std::string& code, const std::vector<std::string>& args = {})
    {
        return testsupport::RunPython(base_, code, args);
    }

    fs::path Bak() const { return folder_ / "bak"; }

private:
    static const fs::path& SampleFolder()
    {
        static const fs::path folder = [] {
            const fs::path f = TemplateFolder().parent_path() / "sample";
            fs::copy(TemplateFolder(), f, fs::copy_options::recursive);
            sample::Options o;
            o.enterprises = 12;
            sample::Generator(f.string(), o).run();
            return f;
        }();
        return folder;
    }
};

}  // namespace maintenancetest
