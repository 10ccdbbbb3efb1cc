// Local SQL on table files: the engine's TQuery. The statement's lines are translated into SQLite SQL
// (file names in table positions become attached tables); Open materialises the answer, ExecSQL runs an
// update, insert or delete.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/db/DataSet.h"

// The lines of a statement, as the windows build them: one fragment per line. OnChange follows every change.
class TStrings {
public:
    void Clear() { lines_.clear(); changed(); }
    void Add(const std::string& line) { lines_.push_back(line); changed(); }
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int i) const { return lines_.at(static_cast<std::size_t>(i)); }
    std::string Text() const;  // the lines joined by line breaks
    void SetText(const std::string& text);  // split at line breaks
    const std::vector<std::string>& Lines() const { return lines_; }

    std::function<void()> OnChange;

private:
    void changed() { if (OnChange) OnChange(); }
    std::vector<std::string> lines_;
};

class TQuery : public TDataSet {
public:
    TQuery();
    ~TQuery() override;

    TStrings SQL;  // a change closes the query, so that the next Open runs the new statement
    std::string DatabaseName;

    void ExecSQL();
    int RowsAffected() const;

    bool CanModify() const override { return false; }  // answers are read-only
    std::string Describe() const override { return Name.empty() ? std::string("查询") : "查询“" + Name + "”"; }

protected:
    void InternalOpen() override;
    void InternalClose() override;
    int ViewSize() const override;
    db::Variant StoredValue(int viewPos, int field) const override;
    void InternalPost(bool inserting, int viewPos, const std::vector<db::Variant>& buffer) override;
    void InternalDelete(int viewPos) override;
    int PositionAfterPost() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
