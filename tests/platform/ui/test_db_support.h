// Shared by the tests of the data-aware controls: a Qt application on the offscreen platform, a user that
// records every message box, a small table file in a fresh folder per test, and the item-model tester with
// its warnings turned into test failures.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QTemporaryDir>

#include "platform/db/Table.h"
#include "platform/ui/Application.h"

namespace dbtest {

class RecordingUser : public TUserAgent {
public:
    int MessageBox(const std::string& text, const std::string& /*caption*/, int /*flags*/) override
    {
        messages.push_back(text);
        return answer;
    }
    bool FileDialog(TFileDialogRequest&) override { return false; }
    bool PrinterDialog(TPrinterRequest&) override { return false; }
    void RunModal(TForm&, const std::function<void()>&) override { ADD_FAILURE() << "unexpected modal window"; }

    std::vector<std::string> messages;
    int answer = IDOK;  // to every message box
};

// Collects the model tester's complaints (category qt.modeltest) while installed.
class ModelTesterWarnings {
public:
    ModelTesterWarnings();
    ~ModelTesterWarnings();
    std::vector<std::string> Take();

private:
    QtMessageHandler previous_;
};

inline db::FieldDesc Field(const std::string& name, db::FieldType type, int size = 0)
{
    return db::FieldDesc{name, type, size, false};
}

// A table "t.db" of a fresh folder: code A6 (primary key), name A20, amount N, qty S, day D.
class DataAwareTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Appends and stores one record: code, name, amount (null when NaN), qty.
    void AddRow(const std::string& code, const std::string& name, double amount = 0, std::int64_t qty = 0);
    // Watches a model with QAbstractItemModelTester; its complaints fail the test at TearDown.
    void Watch(QAbstractItemModel* model);
    void ExpectNoTesterWarnings();

    std::unique_ptr<QTemporaryDir> dir_;
    TTable table_;
    TDataSource source_;
    RecordingUser user_;
    std::unique_ptr<ModelTesterWarnings> warnings_;
};

}  // namespace dbtest
