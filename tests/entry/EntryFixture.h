// A data-entry window in a fresh data folder, opened from the main window as "数据录入" opens it, with helpers
// that write the small fixture rows before the window opens, read the tables back afterwards, and act on the
// window's pages and fields as the user does.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/Main.h"
#include "entry/EntryWindow.h"
#include "support/ProgramTest.h"
#include "support/TableFiles.h"

namespace entrytest {

using Values = std::vector<std::pair<std::string, std::string>>;
using Lines = std::vector<std::string>;

class EntryTest : public testsupport::ProgramTest {
public:
    static void AddRow(const std::string& table, const Values& values) { testsupport::AddRecord(table, values); }
    static void EmptyTables(const std::vector<std::string>& tables)
    {
        for (const std::string& name : tables) {
            TTable t;
            t.SetTableName(name);
            t.EmptyTable();
        }
    }

    // The given fields of every row, in the table's primary order, each row joined by '|'.
    static std::vector<std::string> Rows(const std::string& table, const std::vector<std::string>& fields)
    {
        TTable t;
        t.SetTableName(table);
        t.Open();
        std::vector<std::string> out;
        for (t.First(); !t.Eof(); t.Next()) {
            std::string row;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                row += (i ? "|" : "") + t.FieldByName(fields[i])->AsString();
            }
            out.push_back(row);
        }
        return out;
    }

protected:
    // Opens the window of a report item from the main window and runs act in it; the window is then left with
    // "返回" unless act closed it.
    template <class W>
    void InWindow(const std::string& className, int item, const std::function<void(W&)>& act)
    {
        WhenShown(className, act);
        ASSERT_TRUE(TScriptedUser::Choose(*F_main->RadioGroup1, item));
        ASSERT_TRUE(TScriptedUser::Press(*F_main->Button1));
    }
    // Shows a window that is no report's (a probe) and runs act in it, then leaves it as InWindow does.
    template <class W>
    void InProbe(W* window, const std::function<void(W&)>& act)
    {
        WhenShown(window->ClassName, act);
        window->ShowModal();
    }
    // act runs in the window of className when it is next shown modally; "返回" leaves it unless act closed it.
    template <class W>
    void WhenShown(const std::string& className, const std::function<void(W&)>& act)
    {
        User().InModal(className, [act](TForm& f) {
            auto& w = dynamic_cast<W&>(f);
            act(w);
            if (!w.ModalDone()) {
                EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton10));
            }
        });
    }

    // A user's action in a window of class W that ends in a message: its caption ("" for the framework's error
    // box), its text and the page shown afterwards.
    template <class W>
    struct MessageCase {
        const char* name;
        std::function<void(W&)> act;
        const char* caption;
        const char* text;
        const char* page;
    };
    // Runs each case in a fresh opening of the window from the main window; whatever the action left unstored
    // is cancelled before the window closes.
    template <class W>
    void ExpectMessages(const std::string& className, int item, const std::vector<MessageCase<W>>& cases)
    {
        for (const MessageCase<W>& c : cases) {
            InWindow<W>(className, item, [&](W& w) {
                if (*c.caption) {
                    Expect(c.caption, c.text);
                } else {
                    ExpectError(c.text);
                }
                c.act(w);
                EXPECT_EQ(Page(w), c.page) << c.name;
                for (int i = w.TableCount(); i-- > 0;) {
                    w.Table(i)->Cancel();
                }
            });
        }
    }

    TScriptedUser& Expect(const std::string& caption, const std::string& text, int answer = IDOK)
    {
        return User().ExpectMessage(caption, text, answer);
    }

    // The framework's error box, captioned with the application's title.
    TScriptedUser& ExpectError(const std::string& text) { return User().ExpectMessage(Application->Title, text); }

public:

    // The edit of a field on the window's pages (of the data source's table when one is given).
    static TDBEdit* EditOf(TEntryWindow& w, const std::string& field, const TDataSource* source = nullptr)
    {
        for (int i = 0; i < w.ComponentCount(); ++i) {
            if (auto* e = dynamic_cast<TDBEdit*>(w.Components(i));
                e && SameName(e->DataField(), field) && (source == nullptr || e->DataSource() == source)) {
                return e;
            }
        }
        ADD_FAILURE() << "no edit for " << field;
        return nullptr;
    }
    static bool TypeInto(TEntryWindow& w, const std::string& field, const std::string& text,
                         const TDataSource* source = nullptr)
    {
        TDBEdit* e = EditOf(w, field, source);
        return e != nullptr && TScriptedUser::Type(*e, text);
    }
    // Picks a page by its component name, as the user clicks its tab.
    static bool ShowPage(TEntryWindow& w, const std::string& sheet)
    {
        for (int i = 0; i < w.PageControl1->PageCount(); ++i) {
            if (SameName(w.PageControl1->Pages(i)->Name(), sheet)) {
                return TScriptedUser::Choose(*w.PageControl1, i);
            }
        }
        return false;
    }
    static std::string Page(TEntryWindow& w) { return w.PageControl1->ActivePage()->Name(); }
    static std::vector<std::string> VisiblePages(TEntryWindow& w)
    {
        std::vector<std::string> out;
        for (int i = 0; i < w.PageControl1->PageCount(); ++i) {
            if (w.PageControl1->Pages(i)->TabVisible()) {
                out.push_back(w.PageControl1->Pages(i)->Name());
            }
        }
        return out;
    }
    static bool Press(TControl* c) { return TScriptedUser::Press(*c); }
};

}  // namespace entrytest
