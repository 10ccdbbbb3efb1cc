// TDBGrid on a real table: the current row follows the data set, moving off a modified row stores it, typing
// starts an edit (an insert on an empty table), read-only grids and columns refuse edits, a refused text
// keeps its editor, columns come from the description with titles and widths, and the selected column moves
// without moving the record.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "platform/ui/DBGrid.h"
#include "platform/ui/DataSetModel.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Registry.h"
#include "test_db_support.h"

namespace {

using dbtest::DataAwareTest;

class DBGridTest : public DataAwareTest {
protected:
    void SetUp() override
    {
        DataAwareTest::SetUp();
        AddRow("100001", "甲", 1.5, 1);
        AddRow("100002", "乙", 2.5, 2);
        AddRow("100003", "丙", 3.5, 3);
        table_.First();
        window_ = std::make_unique<QWidget>();
        grid_ = std::make_unique<TDBGrid>(nullptr);
        grid_->Widget()->setParent(window_.get());
        grid_->SetBounds(0, 0, 400, 200);
        grid_->SetDataSource(&source_);
        Watch(grid_->Model());
        window_->resize(400, 200);
        window_->show();
    }
    void TearDown() override
    {
        grid_->Widget()->setParent(nullptr);
        grid_.reset();
        window_.reset();
        DataAwareTest::TearDown();
    }

    QTableView* View() const { return grid_->TableView(); }
    QModelIndex Cell(int row, int column) const { return grid_->Model()->index(row, column); }
    void GoTo(int row, int column) { View()->setCurrentIndex(Cell(row, column)); }
    bool Editing() const { return grid_->EditorMode(); }
    QLineEdit* Editor() const { return qobject_cast<QLineEdit*>(View()->indexWidget(View()->currentIndex())); }
    std::string Stored(const char* field) const { return table_.FieldByName(field)->AsString(); }
    // Types as a user does: the first key to the grid, the rest to the editor it opened.
    void Type(const char* text)
    {
        for (const char* p = text; *p != 0; ++p) {
            QWidget* target = Editor() != nullptr ? static_cast<QWidget*>(Editor()) : View();
            QTest::keyClick(target, *p);
        }
    }

    std::unique_ptr<QWidget> window_;
    std::unique_ptr<TDBGrid> grid_;
};

TEST_F(DBGridTest, DefaultColumnsAreTheFields)
{
    ASSERT_EQ(grid_->ColumnCount(), 5);
    EXPECT_EQ(grid_->Columns()[1]->FieldName(), "name");
    EXPECT_EQ(grid_->Fields(0)->FieldName(), "code");
    EXPECT_EQ(grid_->Columns()[1]->Title()->Caption(), "name");
    EXPECT_EQ(grid_->Model()->rowCount(), 3);
    EXPECT_EQ(View()->horizontalHeader()->sectionSize(0), grid_->Columns()[0]->Width());
    EXPECT_GT(grid_->Columns()[1]->Width(), grid_->Columns()[0]->Width());  // A20 is wider than A6
}

TEST_F(DBGridTest, CurrentRowFollowsTheDataSet)
{
    table_.Last();
    EXPECT_EQ(View()->currentIndex().row(), 2);
    GoTo(1, 1);
    EXPECT_EQ(table_.RecNo(), 2);
    EXPECT_EQ(grid_->SelectedIndex(), 1);
}

TEST_F(DBGridTest, MovingOffAModifiedRowStoresIt)
{
    GoTo(0, 1);
    Type("Wu");
    ASSERT_TRUE(Editing());
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
    GoTo(1, 1);
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(table_.RecNo(), 2);
    table_.First();
    EXPECT_EQ(Stored("name"), "Wu");
    EXPECT_TRUE(user_.messages.empty());
}

TEST_F(DBGridTest, MovingOffAnUnmodifiedRowStoresNothing)
{
    GoTo(0, 1);
    QTest::keyClick(View(), Qt::Key_F2);  // an editor, but nothing typed
    ASSERT_TRUE(Editing());
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    GoTo(2, 1);
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(table_.RecNo(), 3);
}

TEST_F(DBGridTest, PostWritesTheOpenEditorsText)
{
    GoTo(1, 1);
    Type("AB");
    table_.Post();
    EXPECT_EQ(Stored("name"), "AB");
}

// Storing a new row changes the rows (a reset) while its cell editor is open; the focus that goes back to the
// view must not make its first row current.
TEST_F(DBGridTest, StoringANewRowFromItsOpenEditorKeepsItCurrent)
{
    QApplication::setActiveWindow(window_.get());
    table_.Append();
    grid_->SetSelectedIndex(0);
    View()->setFocus();
    Type("100009");
    ASSERT_TRUE(Editing());
    table_.Post();
    EXPECT_EQ(Stored("code"), "100009");
    EXPECT_EQ(table_.RecNo(), 4);
    EXPECT_EQ(View()->currentIndex().row(), 3);
}

TEST_F(DBGridTest, TypingIntoAnEmptyGridStartsAnInsert)
{
    while (!table_.IsEmpty()) {
        table_.Delete();
    }
    ASSERT_EQ(grid_->Model()->rowCount(), 0);
    grid_->SetSelectedIndex(0);
    Type("100007");
    EXPECT_EQ(table_.State(), TDataSetState::dsInsert);
    EXPECT_EQ(grid_->Model()->rowCount(), 1);
    table_.Post();
    ASSERT_EQ(table_.RecordCount(), 1);
    EXPECT_EQ(Stored("code"), "100007");
}

TEST_F(DBGridTest, RefusedTextKeepsItsEditorAndTheRecord)
{
    GoTo(0, 2);
    Type("1-2");
    GoTo(1, 2);
    ASSERT_EQ(user_.messages.size(), 1u);
    EXPECT_NE(user_.messages[0].find("1-2"), std::string::npos) << user_.messages[0];
    EXPECT_EQ(table_.RecNo(), 1);
    EXPECT_EQ(View()->currentIndex(), Cell(0, 2));
    ASSERT_TRUE(Editing());
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), QStringLiteral("1-2"));
}

// A character the column's field can never hold is refused in a cell as in an edit: it opens no editor,
// starts no edit and no new record.
TEST_F(DBGridTest, CharactersANumberCannotHoldAreRefusedInItsCells)
{
    GoTo(0, 2);
    Type("x");
    EXPECT_FALSE(Editing());
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    Type("7a.5");
    table_.Post();
    EXPECT_EQ(Stored("amount"), "7.5");
    while (!table_.IsEmpty()) {
        table_.Delete();
    }
    grid_->SetSelectedIndex(2);
    Type("y");
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(grid_->Model()->rowCount(), 0);
}

// Grids and columns that may not change the record: typing opens no editor and starts no edit.
struct ReadOnlyCase {
    const char* what;
    std::function<void(TDBGrid&)> arrange;
    int column;
};
void PrintTo(const ReadOnlyCase& c, std::ostream* os) { *os << c.what; }

class DBGridReadOnly : public DBGridTest, public ::testing::WithParamInterface<ReadOnlyCase> {};

TEST_P(DBGridReadOnly, RefusesEdits)
{
    const ReadOnlyCase& c = GetParam();
    c.arrange(*grid_);
    GoTo(0, c.column);
    Type("X");
    EXPECT_FALSE(Editing()) << c.what;
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse) << c.what;
    EXPECT_EQ(Stored("name"), "甲") << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, DBGridReadOnly, ::testing::Values(
    ReadOnlyCase{"read-only grid", [](TDBGrid& g) { g.SetReadOnly(true); }, 1},
    ReadOnlyCase{"grid without editing", [](TDBGrid& g) { g.SetOptions(dgTitles | dgIndicator); }, 1},
    ReadOnlyCase{"read-only column", [](TDBGrid& g) { g.Columns()[1]->SetReadOnly(true); }, 1}));

TEST_F(DBGridTest, GuardThatCancelsAndAbortsLeavesNoEditor)
{
    // as a window refuses to edit a detail without a master key
    source_.OnStateChange = [this](TDataSource* s) {
        if (s->State() == TDataSetState::dsEdit || s->State() == TDataSetState::dsInsert) {
            table_.Cancel();
            Abort();
        }
    };
    GoTo(0, 1);
    Type("X");
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    QApplication::processEvents();
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Stored("name"), "甲");
    EXPECT_TRUE(user_.messages.empty());  // the abort is silent
    source_.OnStateChange = nullptr;
}

TEST_F(DBGridTest, EditableColumnBesideReadOnlyOnes)
{
    TColumn* code = grid_->Columns().Add();
    code->SetFieldName("code");
    code->SetReadOnly(true);
    TColumn* name = grid_->Columns().Add();
    name->SetFieldName("name");
    ASSERT_EQ(grid_->ColumnCount(), 2);
    GoTo(0, 0);
    Type("9");
    EXPECT_FALSE(Editing());
    GoTo(0, 1);
    Type("Z");
    EXPECT_TRUE(Editing());
    table_.Post();
    EXPECT_EQ(Stored("name"), "Z");
    EXPECT_EQ(Stored("code"), "100001");
}

TEST_F(DBGridTest, SelectedColumnMovesWithoutMovingTheRecordAndKeepsTypedText)
{
    GoTo(1, 1);
    Type("Q");
    grid_->SetSelectedIndex(2);
    EXPECT_EQ(grid_->SelectedIndex(), 2);
    EXPECT_EQ(grid_->SelectedField()->FieldName(), "amount");
    EXPECT_EQ(View()->currentIndex(), Cell(1, 2));
    EXPECT_EQ(table_.RecNo(), 2);
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
    EXPECT_EQ(Stored("name"), "Q");  // written to the record buffer
    grid_->SetSelectedIndex(99);
    EXPECT_EQ(grid_->SelectedIndex(), 4);
}

TEST_F(DBGridTest, ColumnTitleAndWidthChangeInPlace)
{
    QSignalSpy resets(grid_->Model(), &QAbstractItemModel::modelReset);
    TColumn* c = grid_->Columns()[1];
    c->Title()->SetCaption("名称");
    c->SetWidth(33);
    EXPECT_EQ(grid_->Model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));
    EXPECT_EQ(View()->horizontalHeader()->sectionSize(1), 33);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(c->Title()->Caption(), "名称");
}

TEST_F(DBGridTest, DefaultColumnEditsSurviveReopeningTheSameFields)
{
    TColumn* c = grid_->Columns()[1];
    c->Title()->SetCaption("名称");
    c->SetWidth(40);
    table_.Close();
    table_.Open();
    ASSERT_EQ(grid_->ColumnCount(), 5);
    EXPECT_EQ(grid_->Columns()[1], c);
    EXPECT_EQ(c->Title()->Caption(), "名称");
    EXPECT_EQ(View()->horizontalHeader()->sectionSize(1), 40);
}

TEST_F(DBGridTest, DisabledDataSourceShowsNothing)
{
    source_.SetEnabled(false);
    EXPECT_EQ(grid_->Model()->rowCount(), 0);
    Type("X");
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    source_.SetEnabled(true);
    EXPECT_EQ(grid_->Model()->rowCount(), 3);
    grid_->SetDataSource(nullptr);
    EXPECT_EQ(grid_->Model()->rowCount(), 0);
}

TEST_F(DBGridTest, DoubleClickFiresOnDblClickOnTheClickedRecord)
{
    std::vector<std::string> seen;
    grid_->OnDblClick = [&](TObject*) { seen.push_back(table_.FieldByName("name")->AsString()); };
    const QRect r = View()->visualRect(Cell(2, 1));
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(View()->viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "丙");
}

TEST_F(DBGridTest, RefusedStoreKeepsTheGridOnTheEditedRecord)
{
    GoTo(1, 0);
    Type("100001");  // the key of the first record
    GoTo(2, 0);
    ASSERT_EQ(user_.messages.size(), 1u);
    EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
    EXPECT_EQ(View()->currentIndex().row(), 1);
    EXPECT_EQ(grid_->Fields(0)->AsString(), "100001");
}

TEST_F(DBGridTest, CtrlDeleteAsksAndDeletesTheCurrentRecord)
{
    GoTo(1, 1);
    user_.answer = IDNO;
    QTest::keyClick(View(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table_.RecordCount(), 3);
    user_.answer = IDYES;
    QTest::keyClick(View(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table_.RecordCount(), 2);
    EXPECT_EQ(user_.messages.size(), 2u);
    grid_->SetReadOnly(true);
    QTest::keyClick(View(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table_.RecordCount(), 2);
}

// A detail grid under the master of the fixture: d.db (code, serial, text) linked by code.
class DBGridDetailTest : public DBGridTest {
protected:
    void SetUp() override
    {
        DBGridTest::SetUp();
        detail_.DatabaseName = table_.DatabaseName;
        detail_.SetTableName("d.db");
        detail_.FieldDefs.Add("code", db::FieldType::String, 6);
        detail_.FieldDefs.Add("serial", db::FieldType::String, 4);
        detail_.FieldDefs.Add("text", db::FieldType::String, 10);
        detail_.IndexDefs = {db::IndexDesc{"", {"code", "serial"}, true, true, false}};
        detail_.CreateTable();
        detail_.Open();
        for (const auto& [code, serial] : {std::pair{"100001", "1"}, {"100001", "2"}, {"100002", "1"}}) {
            detail_.Append();
            detail_.FieldByName("code")->SetAsString(code);
            detail_.FieldByName("serial")->SetAsString(serial);
            detail_.Post();
        }
        detail_.SetMasterSource(&source_);
        detail_.SetMasterFields("code");
        detailSource_.SetDataSet(&detail_);
        detailGrid_ = std::make_unique<TDBGrid>(nullptr);
        detailGrid_->Widget()->setParent(window_.get());
        detailGrid_->SetBounds(0, 200, 400, 200);
        detailGrid_->SetDataSource(&detailSource_);
        Watch(detailGrid_->Model());
        detailGrid_->Widget()->show();
    }
    void TearDown() override
    {
        detailGrid_.reset();
        DBGridTest::TearDown();
    }

    TTable detail_;
    TDataSource detailSource_;
    std::unique_ptr<TDBGrid> detailGrid_;
};

TEST_F(DBGridDetailTest, FollowsTheMasterAndInsertsUnderIt)
{
    const struct {
        int masterRecNo;
        int detailRows;
    } steps[] = {{1, 2}, {2, 1}, {3, 0}, {1, 2}};
    for (const auto& s : steps) {
        GoTo(s.masterRecNo - 1, 0);
        EXPECT_EQ(table_.RecNo(), s.masterRecNo);
        EXPECT_EQ(detailGrid_->Model()->rowCount(), s.detailRows) << "master record " << s.masterRecNo;
        ExpectNoTesterWarnings();
    }
    GoTo(2, 0);  // a master without details: typing in the detail grid starts a row under it
    QTableView* v = detailGrid_->TableView();
    detailGrid_->SetSelectedIndex(1);
    QTest::keyClick(v, '7');
    EXPECT_EQ(detail_.State(), TDataSetState::dsInsert);
    EXPECT_EQ(detail_.FieldByName("code")->AsString(), "100003");
    detail_.Post();
    EXPECT_EQ(detailGrid_->Model()->rowCount(), 1);
    EXPECT_EQ(detail_.FieldByName("serial")->AsString(), "7");
}

TEST_F(DBGridTest, TabMovesCellByCellAndRowByRow)
{
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    View()->setFocus();
    GoTo(0, 3);
    Type("7");  // an edit of qty, stored when Tab leaves the row
    const struct {
        Qt::KeyboardModifiers modifiers;
        int row, column;
    } steps[] = {{Qt::NoModifier, 0, 4}, {Qt::NoModifier, 1, 0}, {Qt::ShiftModifier, 0, 4},
                 {Qt::ShiftModifier, 0, 3}};
    for (const auto& s : steps) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key_Tab, s.modifiers);
        EXPECT_EQ(View()->currentIndex(), Cell(s.row, s.column));
        EXPECT_EQ(table_.RecNo(), s.row + 1);
    }
    EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
    table_.First();
    EXPECT_EQ(Stored("qty"), "7");
}

TEST_F(DBGridTest, LeavingTheGridCancelsANewRecordNothingWasTypedInto)
{
    QLineEdit other(window_.get());
    other.move(0, 190);
    other.show();
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    const struct {
        const char* what;
        const char* typed;
        TDBGridOptions options;
        TDataSetState after;
    } cases[] = {
        {"nothing typed", "", kDefaultDBGridOptions, TDataSetState::dsBrowse},
        {"something typed", "100009", kDefaultDBGridOptions, TDataSetState::dsInsert},
        {"without dgCancelOnExit", "", kDefaultDBGridOptions & ~dgCancelOnExit, TDataSetState::dsInsert},
    };
    for (const auto& c : cases) {
        grid_->SetOptions(c.options);
        View()->setFocus();
        table_.Append();
        Type(c.typed);
        other.setFocus();
        EXPECT_EQ(table_.State(), c.after) << c.what;
        table_.Cancel();
    }
}

TEST_F(DBGridTest, TextWidthMeasuresInTheGridsFont)
{
    EXPECT_GT(grid_->TextWidth("    "), 0);
    EXPECT_EQ(grid_->TextWidth(""), 0);
    EXPECT_GE(grid_->TextWidth("00"), grid_->TextWidth("0"));
}

// A window description that declares a grid with its columns.
class TF_gridtest : public TForm {
public:
    explicit TF_gridtest(TComponent* owner) : TForm(owner) {}
    void DBGrid1DblClick(TObject*) { ++dblClicks; }
    int dblClicks = 0;
};

const ClassBuilder<TF_gridtest> kGridTestClass("TF_gridtest", "TForm", [](ClassBuilder<TF_gridtest>& c) {
    c.NotCreatable();
    c.Handler("DBGrid1DblClick", &TF_gridtest::DBGrid1DblClick);
});

TEST_F(DBGridTest, DescriptionDeclaresColumnsWithTitlesWidthsAndReadOnly)
{
    TF_gridtest f(nullptr);
    f.LoadDescriptionText("TF_gridtest",
                          "object F_gridtest: TF_gridtest\n"
                          "  object DataSource1: TDataSource\n"
                          "  end\n"
                          "  object DBGrid1: TDBGrid\n"
                          "    DataSource = DataSource1\n"
                          "    Options = [dgEditing, dgTitles, dgIndicator, dgColLines, dgRowLines]\n"
                          "    OnDblClick = DBGrid1DblClick\n"
                          "    object DBGrid1Column1: TColumn\n"
                          "      FieldName = 'code'\n"
                          "      Title.Caption = '原报表编号'\n"
                          "      ReadOnly = True\n"
                          "      Width = 77\n"
                          "    end\n"
                          "    object DBGrid1Column2: TColumn\n"
                          "      FieldName = 'name'\n"
                          "      Width = 78\n"
                          "    end\n"
                          "  end\n"
                          "end\n",
                          "TF_gridtest.form");
    auto* grid = dynamic_cast<TDBGrid*>(f.FindComponent("DBGrid1"));
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->ColumnCount(), 2);
    EXPECT_EQ(grid->Options(), dgEditing | dgTitles | dgIndicator | dgColLines | dgRowLines);
    EXPECT_EQ(grid->Columns()[0]->Title()->Caption(), "原报表编号");
    EXPECT_EQ(grid->Columns()[0]->Width(), 77);
    EXPECT_TRUE(grid->Columns()[0]->ReadOnly());
    EXPECT_EQ(grid->Columns()[1]->Title()->Caption(), "name");
    auto* ds = dynamic_cast<TDataSourceComponent*>(f.FindComponent("DataSource1"));
    ASSERT_NE(ds, nullptr);
    ds->Object()->SetDataSet(&table_);
    EXPECT_EQ(grid->Model()->rowCount(), 3);
    EXPECT_EQ(grid->TableView()->horizontalHeader()->sectionSize(1), 78);
    EXPECT_FALSE(grid->Model()->flags(grid->Model()->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(grid->Model()->flags(grid->Model()->index(0, 1)) & Qt::ItemIsEditable);
    grid->OnDblClick(grid);
    EXPECT_EQ(f.dblClicks, 1);
}

TEST_F(DBGridTest, ColumnOutsideAGridIsRefusedAtLoadTime)
{
    TF_gridtest f(nullptr);
    EXPECT_THROW(f.LoadDescriptionText("TF_gridtest",
                                       "object F_gridtest: TF_gridtest\n"
                                       "  object Column1: TColumn\n"
                                       "    FieldName = 'code'\n"
                                       "  end\n"
                                       "end\n",
                                       "TF_gridtest.form"),
                 Exception);
}

}  // namespace

// A window may destroy a data source before the grid that shows it: the grid must let go of it, not unlink
// from freed memory later (run under AddressSanitizer in CI).
TEST_F(DBGridTest, GridOutlivingItsDataSourceLetsGoOfIt)
{
    auto source = std::make_unique<TDataSource>();
    source->SetDataSet(&table_);
    TDBGrid grid(nullptr);
    grid.SetDataSource(source.get());
    EXPECT_EQ(grid.Model()->rowCount(), 3);
    source.reset();
    EXPECT_EQ(grid.DataSource(), nullptr);
    EXPECT_EQ(grid.Model()->DataSource(), nullptr);
    EXPECT_EQ(grid.Model()->rowCount(), 0);
}
