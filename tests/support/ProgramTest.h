// The program's windows in a fresh data folder: a copy of a data folder built once per test program from
// data/ (the same result as building it for each test, at a fraction of the cost) in a temporary folder, which
// is the current folder during the test; the shared state of the main window's unit starts as at program start.
#pragma once

#include <functional>
#include <stdexcept>
#include <vector>

#include "app/Main.h"
#include "platform/db/DataText.h"
#include "support/ScriptedTest.h"

namespace testsupport {

class ProgramTest : public ScriptedTest {
protected:
    void SetUp() override
    {
        ScriptedTest::SetUp();
        folder_ = base_ / "data";
        std::filesystem::copy(TemplateFolder(), folder_, std::filesystem::copy_options::recursive);
        EnterFolder(folder_);
        ResetSharedState();
    }

    // Creates and shows the main window, as the entry routine does.
    TF_main& StartProgram()
    {
        Application->CreateForm(&F_main);
        F_main->Show();
        return *F_main;
    }

    // The data folder as the set-up makes it from data/, built on first use and removed when the program ends.
    static const std::filesystem::path& TemplateFolder()
    {
        static const std::filesystem::path folder = ProgramFolder([](const std::filesystem::path& f) {
            db::datatext::BuildDataFolder(std::string(VEMORA_SOURCE_DIR) + "/data", f.string());
        });
        return folder;
    }

    // A folder "data" made by fill in a fresh temporary folder that goes when the program ends; for folders
    // that many tests copy and that are costly to make.
    static std::filesystem::path ProgramFolder(const std::function<void(const std::filesystem::path&)>& fill)
    {
        char pattern[] = "/tmp/vemora-data-XXXXXX";
        if (!mkdtemp(pattern)) {
            throw std::runtime_error("cannot make a temporary folder");
        }
        const std::filesystem::path base = pattern;
        static std::vector<std::filesystem::path> made;
        if (made.empty()) {
            std::atexit([] {
                for (const auto& b : made) {
                    std::error_code ec;
                    std::filesystem::remove_all(b, ec);
                }
            });
        }
        made.push_back(base);
        const std::filesystem::path f = base / "data";
        fill(f);
        return f;
    }

    static void ResetSharedState()
    {
        ReportKind = 0;
        EditColumn = nullptr;
        GridCharWidth = 0;
        LocateTable = nullptr;
        LocateField.clear();
        LocateValue.clear();
        LocateValue2.clear();
        LocateIndex.clear();
        LocatePending = false;
        TableDeleted = false;
        SendNameCleared = false;
        ImportConfirmed = false;
        MailConnected = false;
        MailMarker.clear();
        ExtraFilter.clear();
        BaseDir.clear();
        TmpForm = nullptr;
    }

    std::filesystem::path folder_;
};

}  // namespace testsupport
