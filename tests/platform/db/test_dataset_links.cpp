// What data links (data sources and the controls behind them) are told, and when they are not.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "TableFixture.h"

using namespace fixture;
using T = db::FieldType;

namespace {

struct RecordingLink : TDataLink {
    std::vector<std::string> events;
    void ActiveChanged() override { events.push_back("active"); }
    void DataSetChanged() override { events.push_back("dataset"); }
    void RecordChanged(TField* f) override { events.push_back("record:" + (f ? f->FieldName() : std::string("*"))); }
    void StateChanged() override { events.push_back("state"); }
    void UpdateData() override { events.push_back("update"); }
};

class DataSetLinksTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::TableSchema s;
        s.fields = {F("code", T::String, 4), F("n", T::Integer)};
        s.indexes = {Primary({"code"})};
        db::CreateTableFile("t.db", s, {{"a", 1}, {"b", 2}});
        t.SetTableName("t.db");
        src.SetDataSet(&t);
        src.AddLink(&link);
    }
    TTable t;
    TDataSource src;
    RecordingLink link;
};

TEST_F(DataSetLinksTest, LinksHearOfEveryChange)
{
    struct Step {
        const char* what;
        std::vector<std::string> events;
    } steps[] = {
        {"open", {"state", "active"}},
        {"next", {"dataset"}},
        {"next at the end", {}},
        {"assign", {"state", "record:*", "record:n"}},
        {"post", {"update", "dataset", "state"}},
        {"close", {"state", "active"}},
    };
    for (const auto& s : steps) {
        link.events.clear();
        std::string w = s.what;
        if (w == "open") {
            t.Open();
        } else if (w == "next" || w == "next at the end") {
            t.Next();
        } else if (w == "assign") {
            t.FieldByName("n")->SetAsInteger(5);
        } else if (w == "post") {
            t.Post();
        } else if (w == "close") {
            t.Close();
        }
        EXPECT_EQ(link.events, s.events) << w;
    }
}

TEST_F(DataSetLinksTest, DisabledControlsAndSourcesHearNothingUntilEnabled)
{
    t.Open();
    link.events.clear();
    t.DisableControls();
    t.Next();
    t.First();
    EXPECT_TRUE(link.events.empty());
    t.EnableControls();
    EXPECT_EQ(link.events, std::vector<std::string>{"dataset"});
    // A run of edits while disabled (an import) is not told store by store; a state that differs at the end is
    // told once.
    link.events.clear();
    t.DisableControls();
    for (int i = 0; i < 3; ++i) {
        t.Edit();
        t.Post();
    }
    t.Edit();
    EXPECT_TRUE(link.events.empty());
    t.EnableControls();
    EXPECT_EQ(link.events, (std::vector<std::string>{"state", "dataset"}));
    t.Cancel();
    link.events.clear();
    src.SetEnabled(false);
    t.Next();
    EXPECT_EQ(link.events, std::vector<std::string>{"active"});  // only the detaching itself
    EXPECT_EQ(src.State(), TDataSetState::dsInactive);
}

TEST_F(DataSetLinksTest, DestroyingEitherSideDetachesTheOther)
{
    {
        TTable shortLived;
        shortLived.SetTableName("t.db");
        shortLived.Open();
        TDataSource s2;
        s2.SetDataSet(&shortLived);
        TTable detail;
        detail.SetTableName("t.db");
        {
            TDataSource masterSrc;
            masterSrc.SetDataSet(&shortLived);
            detail.SetMasterSource(&masterSrc);
            detail.SetMasterFields("code");
            detail.Open();
            EXPECT_EQ(detail.RecordCount(), 1);
        }
        EXPECT_EQ(detail.MasterSource(), nullptr);
        shortLived.Next();  // the master no longer reaches the destroyed source
    }
    TDataSource orphan, second;
    {
        TTable gone;
        orphan.SetDataSet(&gone);
        second.SetDataSet(&gone);
    }
    EXPECT_EQ(orphan.DataSet(), nullptr);
    EXPECT_EQ(second.DataSet(), nullptr);
}

TEST_F(DataSetLinksTest, RefreshKeepsTheCurrentRecordAndSeesNewRows)
{
    t.Open();
    t.Next();
    {
        db::Connection c((dir_ / "t.db").string(), db::Connection::Mode::ReadWrite);
        c.exec("INSERT INTO data VALUES('0', 0)");
    }
    EXPECT_EQ(t.RecordCount(), 2);  // another program's row: seen after a refresh
    t.Refresh();
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(t.FieldByName("code")->AsString(), "b");
}

// A link told of a change may remove others (a handler closing a page of controls) or itself: a removed link is
// not told of that change any more, whatever its place, and the ones left are told once each.
TEST_F(DataSetLinksTest, LinksRemovedWhileToldAreNotToldAnyMore)
{
    struct HookLink : RecordingLink {
        std::function<void()> hook;
        void StateChanged() override
        {
            RecordingLink::StateChanged();
            if (hook)
                hook();
        }
    };
    t.Open();
    std::vector<std::unique_ptr<HookLink>> links;
    for (int i = 0; i < 6; ++i) {
        links.push_back(std::make_unique<HookLink>());
        src.AddLink(links.back().get());
    }
    links[1]->hook = [&] {
        src.RemoveLink(links[4].get());
        links[0].reset();  // told already: gone before the ones after it are told
    };
    links[2]->hook = [&] { src.RemoveLink(links[2].get()); };
    links[3]->hook = [&] { links[5].reset(); };
    link.events.clear();
    t.Edit();
    EXPECT_EQ(link.events, (std::vector<std::string>{"state", "record:*"}));
    EXPECT_EQ(links[1]->events, (std::vector<std::string>{"state", "record:*"}));
    EXPECT_EQ(links[2]->events, std::vector<std::string>{"state"});
    EXPECT_EQ(links[3]->events, (std::vector<std::string>{"state", "record:*"}));
    EXPECT_TRUE(links[4]->events.empty());
    // the links left hear the next change once each
    for (auto& l : links) {
        if (l)
            l->events.clear();
    }
    t.Cancel();
    EXPECT_EQ(links[1]->events, (std::vector<std::string>{"dataset", "state"}));
    EXPECT_EQ(links[3]->events, (std::vector<std::string>{"dataset", "state"}));
    EXPECT_TRUE(links[2]->events.empty());
    EXPECT_TRUE(links[4]->events.empty());
}

}  // namespace
