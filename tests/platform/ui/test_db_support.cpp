#include "test_db_support.h"

#include <cmath>
#include <mutex>

namespace dbtest {

namespace {

std::mutex gWarningsMutex;
std::vector<std::string>* gWarnings = nullptr;
QtMessageHandler gPrevious = nullptr;

void collect(QtMsgType type, const QMessageLogContext& ctx, const QString& msg)
{
    {
        std::lock_guard<std::mutex> lock(gWarningsMutex);
        if (gWarnings != nullptr && ctx.category != nullptr && std::string(ctx.category) == "qt.modeltest"
            && type != QtDebugMsg && type != QtInfoMsg) {
            gWarnings->push_back(msg.toStdString());
            return;
        }
    }
    if (gPrevious != nullptr) {
        gPrevious(type, ctx, msg);
    }
}

std::vector<std::string> gStore;

}  // namespace

ModelTesterWarnings::ModelTesterWarnings()
{
    std::lock_guard<std::mutex> lock(gWarningsMutex);
    gStore.clear();
    gWarnings = &gStore;
    previous_ = qInstallMessageHandler(collect);
    gPrevious = previous_;
}

ModelTesterWarnings::~ModelTesterWarnings()
{
    qInstallMessageHandler(previous_);
    std::lock_guard<std::mutex> lock(gWarningsMutex);
    gWarnings = nullptr;
}

std::vector<std::string> ModelTesterWarnings::Take()
{
    std::lock_guard<std::mutex> lock(gWarningsMutex);
    std::vector<std::string> out;
    out.swap(gStore);
    return out;
}

void DataAwareTest::SetUp()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    Application->Initialize();
    Application->SetUserAgent(&user_);
    warnings_ = std::make_unique<ModelTesterWarnings>();

    dir_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir_->isValid());
    table_.DatabaseName = dir_->path().toStdString();
    table_.SetTableName("t.db");
    table_.FieldDefs.Clear();
    table_.FieldDefs.Add("code", db::FieldType::String, 6);
    table_.FieldDefs.Add("name", db::FieldType::String, 20);
    table_.FieldDefs.Add("amount", db::FieldType::Float);
    table_.FieldDefs.Add("qty", db::FieldType::Smallint);
    table_.FieldDefs.Add("day", db::FieldType::Date);
    table_.IndexDefs = {db::IndexDesc{"", {"code"}, true, true, false}};
    table_.CreateTable();
    table_.Open();
    source_.SetDataSet(&table_);
}

void DataAwareTest::TearDown()
{
    ExpectNoTesterWarnings();
    warnings_.reset();
    Application->SetUserAgent(nullptr);
}

void DataAwareTest::AddRow(const std::string& code, const std::string& name, double amount, std::int64_t qty)
{
    table_.Append();
    table_.FieldByName("code")->SetAsString(code);
    table_.FieldByName("name")->SetAsString(name);
    if (!std::isnan(amount)) {
        table_.FieldByName("amount")->SetAsFloat(amount);
    }
    table_.FieldByName("qty")->SetAsInteger(qty);
    table_.Post();
}

void DataAwareTest::Watch(QAbstractItemModel* model)
{
    // a child of the model, so that it goes with it
    new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Warning, model);
}

void DataAwareTest::ExpectNoTesterWarnings()
{
    if (warnings_) {
        for (const std::string& w : warnings_->Take()) {
            ADD_FAILURE() << "QAbstractItemModelTester: " << w;
        }
    }
}

}  // namespace dbtest
