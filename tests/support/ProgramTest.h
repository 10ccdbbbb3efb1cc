// The program's windows in a fresh data folder: the data folder is built from data/ into a temporary folder,
// which is the current folder during the test, and the shared state of the main window's unit starts as at
// program start.
#pragma once

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
        db::datatext::BuildDataFolder(std::string(VEMORA_SOURCE_DIR) + "/data", folder_.string());
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
