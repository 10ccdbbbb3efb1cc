// TTable::MergeFrom: a merge of another table file's rows by key in one pass of SQL. The key of each source
// row is looked up in the view as GotoKey looks it up; the rows are then updated and appended by two
// statements, and the checks a row-by-row store makes (keys, required fields, sizes) are made over all of them
// before the transaction commits. Whatever could make the result differ from storing the rows one by one
// (a value its field would change, two rows with one key, a store that would fail) declines the merge, and the
// caller stores the rows one by one, which also names the failing row.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <unordered_set>

#include "platform/db/Gbk.h"
#include "platform/db/TableImpl.h"

namespace {

using db::FieldType;

bool isNumber(FieldType t) { return t == FieldType::Smallint || t == FieldType::Integer || t == FieldType::Float; }

// True for a stored value that a store of its field keeps as it is: read as the field reads it, converted as
// a store converts it and stored again, it comes back the same (a float field's number as the same double, the
// file's REAL column making one of an integer). A null comes back null from each step; a blob is stored back as
// text, so it is never kept. The value is read straight from the statement's column, where each sqlite3_column_
// call would look the column up again (the connection is the checking thread's own: the value need not be
// protected).
bool StoresUnchanged(sqlite3_value* v, const db::FieldDesc& f)
{
    db::Variant stored;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return true;
    case SQLITE_BLOB:
        return false;
    case SQLITE_INTEGER:
        stored = static_cast<std::int64_t>(sqlite3_value_int64(v));
        break;
    case SQLITE_FLOAT:
        stored = sqlite3_value_double(v);
        break;
    default: {
        const auto* text = static_cast<const char*>(sqlite3_value_blob(v));
        stored = std::string(text != nullptr ? text : "", static_cast<std::size_t>(sqlite3_value_bytes(v)));
        break;
    }
    }
    db::Variant again;
    try {
        again = db::ToStorage(db::ConvertForField(db::FromStorage(stored, f.type), f, db::TextFit::Refuse));
    } catch (const Exception&) {
        return false;  // the store would fail
    }
    if (f.type == FieldType::Float || f.type == FieldType::Currency) {
        const auto* d = std::get_if<double>(&again);
        const auto* i = std::get_if<std::int64_t>(&stored);
        if (d != nullptr && i != nullptr)
            return static_cast<double>(*i) == *d && std::llabs(*i) < (std::int64_t{1} << 53);
    }
    return again == stored;
}

// True when every value the statement reads from the table file at path is one its field (in the order of the
// statement's columns) stores unchanged. Runs in a thread of its own on a connection of its own, opened
// read-only; stop ends it early with false.
bool ValuesKept(const std::string& path, const std::string& sql, std::vector<db::FieldDesc> fields,
                const std::atomic<bool>& stop)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> connection(raw, &sqlite3_close);
    if (rc != SQLITE_OK)
        return false;
    sqlite3_busy_timeout(raw, db::kBusyTimeoutMs);
    // The scan reads each page once: a page cache of a few pages, where the default would take up to 2 MB of
    // memory freshly touched.
    if (sqlite3_exec(raw, "PRAGMA cache_size=-64", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    db::Statement st(raw, sql);
    for (std::size_t row = 1; st.step(); ++row) {
        if (row % 256 == 0 && stop)
            return false;
        for (std::size_t c = 0; c < fields.size(); ++c) {
            if (!StoresUnchanged(sqlite3_column_value(st.get(), static_cast<int>(c)), fields[c]))
                return false;
        }
    }
    return true;
}

// Pairs of row ids in the order of the first, shown to the merge's statements as a table of two columns read
// straight from the list (no copy into a temp table): a search for a value of the first column is a binary
// search, a scan goes in its order.
struct RowPairs {
    const char* columns;  // the table's declaration
    std::vector<std::pair<std::int64_t, std::int64_t>> rows;
};

struct RowPairsTable : sqlite3_vtab {
    const RowPairs* pairs;
};

struct RowPairsCursor : sqlite3_vtab_cursor {
    std::size_t at, end;
};

const sqlite3_module& RowPairsModule()
{
    static const sqlite3_module module = [] {
        sqlite3_module m{};  // (no xCreate: only the table named as the module, without CREATE VIRTUAL TABLE)
        m.xConnect = [](sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** out, char**) {
            const auto* pairs = static_cast<const RowPairs*>(aux);
            const int rc = sqlite3_declare_vtab(db, pairs->columns);
            if (rc == SQLITE_OK) {
                auto* table = new RowPairsTable{};
                table->pairs = pairs;
                *out = table;
            }
            return rc;
        };
        m.xBestIndex = [](sqlite3_vtab* vt, sqlite3_index_info* info) {
            for (int i = 0; i < info->nConstraint; ++i) {
                const auto& c = info->aConstraint[i];
                if (c.usable && c.iColumn == 0 && c.op == SQLITE_INDEX_CONSTRAINT_EQ) {
                    info->aConstraintUsage[i].argvIndex = 1;
                    info->aConstraintUsage[i].omit = 1;
                    info->idxNum = 1;
                    info->estimatedCost = 1;
                    info->estimatedRows = 1;
                    info->idxFlags = SQLITE_INDEX_SCAN_UNIQUE;
                    return SQLITE_OK;
                }
            }
            const auto rows = static_cast<double>(static_cast<RowPairsTable*>(vt)->pairs->rows.size());
            info->idxNum = 0;
            info->estimatedCost = rows;
            info->estimatedRows = static_cast<sqlite3_int64>(rows);
            info->orderByConsumed = info->nOrderBy == 1 && info->aOrderBy[0].iColumn == 0 && !info->aOrderBy[0].desc;
            return SQLITE_OK;
        };
        m.xDisconnect = [](sqlite3_vtab* vt) {
            delete static_cast<RowPairsTable*>(vt);
            return SQLITE_OK;
        };
        m.xOpen = [](sqlite3_vtab*, sqlite3_vtab_cursor** out) {
            *out = new RowPairsCursor{};
            return SQLITE_OK;
        };
        m.xClose = [](sqlite3_vtab_cursor* cursor) {
            delete static_cast<RowPairsCursor*>(cursor);
            return SQLITE_OK;
        };
        m.xFilter = [](sqlite3_vtab_cursor* vc, int idxNum, const char*, int, sqlite3_value** argv) {
            auto* cursor = static_cast<RowPairsCursor*>(vc);
            const auto& rows = static_cast<RowPairsTable*>(vc->pVtab)->pairs->rows;
            cursor->at = 0;
            cursor->end = rows.size();
            if (idxNum == 1) {
                const std::int64_t first = sqlite3_value_int64(argv[0]);
                const auto it = std::lower_bound(rows.begin(), rows.end(), first,
                                                 [](const auto& row, std::int64_t v) { return row.first < v; });
                cursor->at = static_cast<std::size_t>(it - rows.begin());
                cursor->end = it != rows.end() && it->first == first ? cursor->at + 1 : cursor->at;  // (unique)
            }
            return SQLITE_OK;
        };
        m.xNext = [](sqlite3_vtab_cursor* vc) {
            ++static_cast<RowPairsCursor*>(vc)->at;
            return SQLITE_OK;
        };
        m.xEof = [](sqlite3_vtab_cursor* vc) {
            const auto* cursor = static_cast<RowPairsCursor*>(vc);
            return cursor->at >= cursor->end ? 1 : 0;
        };
        m.xColumn = [](sqlite3_vtab_cursor* vc, sqlite3_context* context, int column) {
            const auto& rows = static_cast<RowPairsTable*>(vc->pVtab)->pairs->rows;
            const auto& row = rows[static_cast<RowPairsCursor*>(vc)->at];
            sqlite3_result_int64(context, column == 0 ? row.first : row.second);
            return SQLITE_OK;
        };
        m.xRowid = [](sqlite3_vtab_cursor* vc, sqlite3_int64* rowid) {
            *rowid = static_cast<sqlite3_int64>(static_cast<RowPairsCursor*>(vc)->at);
            return SQLITE_OK;
        };
        return m;
    }();
    return module;
}

// Ends the merge's transaction and removes what it attached and made, whether it went through or not.
struct MergeScope {
    explicit MergeScope(sqlite3* connection) : db(connection) {}
    MergeScope(const MergeScope&) = delete;
    MergeScope& operator=(const MergeScope&) = delete;

    sqlite3* db;
    bool attached = false;
    std::vector<const char*> tables;  // of row pairs
    ~MergeScope()
    {
        if (sqlite3_get_autocommit(db) == 0)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "DROP TABLE IF EXISTS temp.merge_old", nullptr, nullptr, nullptr);
        for (const char* name : tables)
            sqlite3_create_module_v2(db, name, nullptr, nullptr, nullptr);
        if (attached)
            sqlite3_exec(db, "DETACH merge_src", nullptr, nullptr, nullptr);
    }

    // Shows pairs to the statements as the table name until the scope ends.
    void show(const char* name, const RowPairs& pairs)
    {
        tables.push_back(name);
        if (sqlite3_create_module_v2(db, name, &RowPairsModule(), const_cast<RowPairs*>(&pairs), nullptr) != SQLITE_OK)
            db::ThrowSqliteError(db, sqlite3_errcode(db));
    }
};

}  // namespace

int TTable::MergeFrom(const TMerge& m)
{
    auto& im = *impl_;
    TTable* source = m.source;
    if (!Active() || State() != TDataSetState::dsBrowse || source == nullptr || source == this || !source->Active() ||
        source->State() != TDataSetState::dsBrowse)
        return -1;
    auto& sm = *source->impl_;
    std::error_code same;
    if (im.format != db::TableFormat::Sqlite || sm.format != db::TableFormat::Sqlite || im.path == sm.path ||
        std::filesystem::equivalent(im.path, sm.path, same) || same)
        return -1;  // (a file merged into itself would wait for its own lock)
    if (im.inBatch || im.runDepth > 0 || sqlite3_get_autocommit(im.conn.get()) == 0 ||
        (Filtered() && !Filter().empty()) || !sm.where.empty() || !ConstraintsDisabled() || !im.inOrder)
        return -1;
    const auto& fields = im.schema.fields;
    const auto& sourceFields = sm.schema.fields;

    // What each target field gets: a source column, a constant or the joined key; any other field declines.
    std::vector<db::Variant> params;
    std::vector<std::string> value(fields.size());
    std::vector<int> copiedFrom(fields.size(), -1);
    std::string readCols;                 // the copied source columns, after the rowid
    std::vector<int> readField;           // the target field of each
    for (const auto& c : m.constants) {
        if (im.schema.fieldIndex(c.first) < 0)
            return -1;
    }
    const int idField = m.idField.empty() ? -1 : im.schema.fieldIndex(m.idField);
    if (!m.idField.empty() && (idField < 0 || fields[static_cast<std::size_t>(idField)].type != FieldType::String))
        return -1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const db::FieldDesc& f = fields[i];
        if (f.type == FieldType::AutoInc)
            return -1;
        const db::Variant* constant = nullptr;
        for (const auto& [name, v] : m.constants) {
            if (strcasecmp(name.c_str(), f.name.c_str()) == 0)
                constant = &v;
        }
        if (constant != nullptr) {
            try {
                params.push_back(db::ToStorage(db::ConvertForField(*constant, f, db::TextFit::Refuse)));
            } catch (const Exception&) {
                return -1;
            }
            value[i] = std::to_string(params.size()).insert(0, 1, '?');  // ("?" + n: a false warning of GCC 12)
        }
        const int s = sm.schema.fieldIndex(f.name);
        if (s >= 0 && sourceFields[static_cast<std::size_t>(s)].type != f.type)
            return -1;  // the copy converts
        if (s >= 0) {
            copiedFrom[i] = s;
            const std::string c = "s." + db::QuoteIdentifier(sourceFields[static_cast<std::size_t>(s)].name);
            readCols += "," + c;
            readField.push_back(static_cast<int>(i));
            if (constant == nullptr)
                value[i] = m.zeroCopiedNumbers && isNumber(f.type) ? "coalesce(" + c + ",0)" : c;
        } else if (constant == nullptr && static_cast<int>(i) != idField) {
            return -1;
        }
    }
    if (idField >= 0) {
        std::string joined;
        for (const std::string& name : m.idFields) {
            const int p = im.schema.fieldIndex(name);
            if (p < 0 || p == idField || !tableimpl::isText(fields[static_cast<std::size_t>(p)].type))
                return -1;
            joined += (joined.empty() ? "coalesce(" : "||coalesce(") + value[static_cast<std::size_t>(p)] + ",'')";
        }
        if (joined.empty())
            return -1;
        value[static_cast<std::size_t>(idField)] = "nullif(" + joined + ",'')";
    }
    if (m.zeroAllNumbers) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (isNumber(fields[i].type))
                value[i] = "coalesce(" + value[i] + ",0)";
        }
    }
    std::vector<int> keyFields;
    for (const std::string& name : m.keyFields) {
        const int k = im.schema.fieldIndex(name);
        if (k < 0 || copiedFrom[static_cast<std::size_t>(k)] < 0 ||
            !tableimpl::isText(fields[static_cast<std::size_t>(k)].type))
            return -1;
        for (const auto& [constantName, v] : m.constants) {
            if (strcasecmp(constantName.c_str(), name.c_str()) == 0)
                return -1;
        }
        keyFields.push_back(k);
    }
    if (keyFields.empty())
        return -1;
    // The key fields lead the active order (in any order among themselves), as GotoKey searches the view.
    std::vector<std::size_t> keyAt;  // for each of the leading order terms, its key field's place in keyFields
    for (std::size_t t = 0; t < keyFields.size(); ++t) {
        if (t >= im.order.size())
            return -1;
        const auto found = std::find(keyFields.begin(), keyFields.end(), im.order[t].field);
        if (found == keyFields.end())
            return -1;
        keyAt.push_back(static_cast<std::size_t>(found - keyFields.begin()));
    }
    const int required = m.requiredField.empty() ? -1 : sm.schema.fieldIndex(m.requiredField);
    if (!m.requiredField.empty() && required < 0)
        return -1;
    const std::string kept =
        required < 0
            ? std::string("1")
            : "s." + db::QuoteIdentifier(sourceFields[static_cast<std::size_t>(required)].name) + " IS NOT NULL";

    // A detail is merged as with its link off, as the row-by-row import searches it: its keys are searched among
    // the rows of every master, in a view of them built for the merge. The linked view is put back as it was
    // whatever ends the merge (and rebuilt once rows are stored).
    struct EveryMaster {
        explicit EveryMaster(TTable::Impl& table) : im(table) {}
        EveryMaster(const EveryMaster&) = delete;
        EveryMaster& operator=(const EveryMaster&) = delete;

        TTable::Impl& im;
        bool on = false;
        std::vector<std::int64_t> view;  // the linked view's, while the view of every master's rows is built
        db::PackedList keys;

        void build()
        {
            std::string where;
            std::vector<db::Variant> values;
            std::swap(where, im.where);
            std::swap(values, im.masterValues);
            view.swap(im.view);
            keys.swap(im.keys);
            on = true;
            try {
                im.buildView();
            } catch (...) {
                std::swap(where, im.where);
                std::swap(values, im.masterValues);
                throw;
            }
            std::swap(where, im.where);
            std::swap(values, im.masterValues);
        }
        void restore() noexcept
        {
            if (on) {
                view.swap(im.view);
                keys.swap(im.keys);
                on = false;
            }
        }
        ~EveryMaster() { restore(); }
    } everyMaster(im);

    sqlite3* db = im.conn.get();
    // The rows to update by their row ids (held, source) and the rows to append in the source's order (place,
    // source), for the statements below.
    RowPairs updates{"CREATE TABLE x(dst INTEGER, src INTEGER)", {}};
    RowPairs appends{"CREATE TABLE x(seq INTEGER, src INTEGER)", {}};
    MergeScope scope(db);
    std::atomic<bool> stop{false};
    int stored = 0;
    try {
        db::CommitPendingWrites(sm.path);
        im.conn.exec("BEGIN IMMEDIATE");
        {
            db::Statement attach(db, "ATTACH ?1 AS merge_src");
            attach.bind(1, sm.path);
            attach.step();
            scope.attached = true;
        }
        if (!im.where.empty())
            everyMaster.build();
        // The keys, looked up below in the source's order as the row-by-row merge walks it: rows by row id,
        // their keys one after another in one buffer, each ended by a NUL.
        std::string keyCols;
        for (int k : keyFields) {
            const auto s = static_cast<std::size_t>(copiedFrom[static_cast<std::size_t>(k)]);
            keyCols += ",s." + db::QuoteIdentifier(sourceFields[s].name);
        }
        std::vector<std::int64_t> keptRows;
        std::vector<std::uint32_t> keyStart;
        std::string keyText;
        {
            db::Statement read(db, "SELECT s.rowid" + keyCols + " FROM merge_src.data AS s WHERE " + kept +
                                       " ORDER BY s.rowid");
            while (read.step()) {
                keptRows.push_back(read.columnInt(0));
                for (std::size_t k = 0; k < keyFields.size(); ++k) {
                    const int col = static_cast<int>(k + 1);
                    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(read.get(), col));
                    const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(read.get(), col));
                    if (text == nullptr || *text == '\0' || std::strlen(text) != bytes || !db::gbk::IsAscii(text))
                        return -1;  // a blank key finds any row; a key beyond ASCII may match otherwise in SQL
                    keyStart.push_back(static_cast<std::uint32_t>(keyText.size()));
                    keyText.append(text, bytes + 1);
                    if (keyText.size() > UINT32_MAX)
                        return -1;
                }
            }
        }
        // Every copied value is checked on a connection of its own while the rows are matched and written: this
        // connection now holds the source's read lock, so that both read the same rows.
        std::vector<db::FieldDesc> checked;
        for (int f : readField)
            checked.push_back(fields[static_cast<std::size_t>(f)]);
        std::future<bool> valuesKept =
            std::async(std::launch::async, ValuesKept, sm.path,
                       "SELECT " + readCols.substr(1) + " FROM data AS s WHERE " + kept, std::move(checked),
                       std::cref(stop));
        struct StopCheck {
            std::atomic<bool>& stop;
            ~StopCheck() { stop = true; }  // a merge that ends early does not wait for the whole check
        } stopCheck{stop};

        // A held row found for two source rows, or two appended rows with one key, would be stored twice, the
        // second store updating what the first stored.
        std::vector<bool> found(im.view.size(), false);
        std::unordered_set<std::string> appended;  // the keys appended, folded as the order compares them
        std::vector<db::StoredRef> want(keyFields.size(), db::StoredRef{db::StoredRef::Kind::Text, 0, 0, {}});
        std::string folded;
        std::size_t place = 0;  // where the key before was found
        // The view position findStored gives for a key, searched outward from hint, the position found for the row
        // before (the rows of a source mostly come in the order of the view, each a few entries on).
        auto findNear = [&im](const std::vector<db::StoredRef>& key, std::size_t& hint) {
            auto compare = [&](std::size_t row) {
                for (std::size_t i = 0; i < key.size(); ++i) {
                    const int c = db::CompareStored(im.keys[row].stored(i), key[i], im.order[i].nocase);
                    if (c != 0)
                        return c;
                }
                return 0;
            };
            // The entries before the key are a leading part of the view: its end lies in [low, high].
            const std::size_t n = im.view.size();
            std::size_t low = 0, high = n;
            const std::size_t from = std::min(hint, n);
            if (from < n && compare(from) < 0) {
                low = from + 1;
                for (std::size_t step = 1; low + step <= n; step *= 2) {
                    if (compare(low + step - 1) >= 0) {
                        high = low + step - 1;
                        break;
                    }
                    low += step;
                }
            } else {
                high = from;
                for (std::size_t step = 1; high > 0; step *= 2) {
                    const std::size_t at = high > step ? high - step : 0;
                    if (compare(at) < 0) {
                        low = at + 1;
                        break;
                    }
                    high = at;
                }
            }
            while (low < high) {
                const std::size_t mid = low + (high - low) / 2;
                if (compare(mid) < 0)
                    low = mid + 1;
                else
                    high = mid;
            }
            hint = low;
            return low < n && compare(low) == 0 ? static_cast<int>(low) : -1;
        };
        for (std::int64_t rowid : sm.view) {
            const auto it = std::lower_bound(keptRows.begin(), keptRows.end(), rowid);
            if (it == keptRows.end() || *it != rowid)
                continue;  // left out by the row filter
            const std::size_t first = static_cast<std::size_t>(it - keptRows.begin()) * keyFields.size();
            for (std::size_t t = 0; t < keyFields.size(); ++t)
                want[t].text = std::string_view(keyText.data() + keyStart[first + keyAt[t]]);
            const int pos = findNear(want, place);
            if (pos >= 0) {
                if (found[static_cast<std::size_t>(pos)])
                    return -1;
                found[static_cast<std::size_t>(pos)] = true;
                updates.rows.emplace_back(im.view[static_cast<std::size_t>(pos)], rowid);
                continue;
            }
            folded.clear();
            for (std::size_t t = 0; t < keyFields.size(); ++t) {
                for (char c : want[t].text)
                    folded += im.order[t].nocase ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
                folded += '\0';  // keys hold no NUL
            }
            if (!appended.insert(folded).second)
                return -1;
            appends.rows.emplace_back(static_cast<std::int64_t>(appends.rows.size()) + 1, rowid);
        }
        const std::size_t rows = updates.rows.size() + appends.rows.size();
        if (rows == 0)
            return 0;
        std::sort(updates.rows.begin(), updates.rows.end());
        scope.show("merge_upd", updates);
        scope.show("merge_ins", appends);
        {
            // A held key that is not text is found by the view's search but not by the search in SQL that the
            // row-by-row merge falls back on once an appended row is out of order.
            std::string odd;
            for (int k : keyFields)
                odd += std::string(odd.empty() ? "" : " OR ") + "typeof(" +
                       db::QuoteIdentifier(fields[static_cast<std::size_t>(k)].name) + ") NOT IN ('text','null')";
            db::Statement st(db, "SELECT 1 FROM main.data WHERE " + odd + " LIMIT 1");
            if (st.step())
                return -1;
        }

        // The checks of a store: the primary index and the unique ones, each under its collation.
        struct KeyCheck {
            std::vector<int> fields;
            std::vector<std::string> cols, collates;
            bool enforced;  // the file has a unique index of its own on the same columns and collations
        };
        std::vector<KeyCheck> checks;
        const std::vector<db::IndexKey> uniqueKeys = db::UniqueKeys(db);
        auto addCheck = [&](const db::IndexDesc& ix) {
            KeyCheck c;
            for (const auto& name : ix.fields) {
                const int fi = im.schema.fieldIndex(name);
                if (fi < 0)
                    throw EDatabaseError(db::msg::IndexFieldMissing(ix.name, name));
                c.fields.push_back(fi);
                c.cols.push_back(db::QuoteIdentifier(fields[static_cast<std::size_t>(fi)].name));
                c.collates.push_back(ix.caseInsensitive && tableimpl::isText(fields[static_cast<std::size_t>(fi)].type)
                                         ? "NOCASE"
                                         : "BINARY");
            }
            c.enforced = db::HasUniqueIndex(uniqueKeys, ix.fields, c.collates);
            checks.push_back(std::move(c));
        };
        if (const db::IndexDesc* pk = im.schema.primaryIndex())
            addCheck(*pk);
        for (const auto& ix : im.schema.indexes) {
            if (!ix.primary && ix.unique && !ix.fields.empty())
                addCheck(ix);
        }
        // The keys the updated rows give up: an earlier row of the merge may have taken one while the row still
        // held it, which the row-by-row stores refuse. A trigger keeps them as the update stores each row, where a
        // pass of their own would read every updated row and its source row once more.
        std::string oldCols, oldValues, keeps;
        for (const auto& c : checks) {
            for (std::size_t k = 0; k < c.cols.size(); ++k) {
                oldCols += ",t." + c.cols[k];
                oldValues += ",OLD." + c.cols[k];
                keeps += std::string(keeps.empty() ? "" : " AND ") + "OLD." + c.cols[k] + " IS NEW." + c.cols[k] +
                         " COLLATE " + c.collates[k];
            }
        }
        auto run = [&](const std::string& sql) {
            db::Statement st(db, sql);
            const int given = sqlite3_bind_parameter_count(st.get());  // the ?N a statement names, at most
            for (int p = 0; p < given && p < static_cast<int>(params.size()); ++p)
                st.bind(p + 1, params[static_cast<std::size_t>(p)]);
            st.step();
        };
        im.conn.exec("CREATE TEMP TABLE merge_old AS SELECT t.rowid AS r" + oldCols + " FROM main.data AS t WHERE 0");
        if (!keeps.empty()) {
            im.conn.exec("CREATE TEMP TRIGGER merge_gives_up AFTER UPDATE ON main.data WHEN NOT (" + keeps +
                         ") BEGIN INSERT INTO merge_old VALUES(OLD.rowid" + oldValues + "); END");
        }
        std::int64_t highest = 0;
        {
            db::Statement mx(db, "SELECT coalesce(max(rowid),0) FROM main.data");
            highest = tableimpl::firstInt(mx, 0);
        }

        std::string cols, values;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            cols += (i ? "," : "") + db::QuoteIdentifier(fields[i].name);
            values += (i ? "," : "") + value[i];
        }
        run("UPDATE main.data SET (" + cols + ")=(SELECT " + values +
            " FROM merge_upd AS m JOIN merge_src.data AS s ON s.rowid=m.src WHERE m.dst=main.data.rowid)"
            " WHERE rowid IN (SELECT dst FROM merge_upd)");
        im.conn.exec("DROP TRIGGER IF EXISTS merge_gives_up");  // (made in the transaction: a rollback drops it)
        run("INSERT INTO main.data(" + cols + ") SELECT " + values +
            " FROM merge_ins AS m JOIN merge_src.data AS s ON s.rowid=m.src ORDER BY m.seq");

        // The stores the rows would have failed: a key another row holds (a blank key part counts as one value;
        // where the file's own index is unique SQLite refused every other repeat already), a key an updated row
        // gave up taken by another row of the merge, a required field left empty, a joined key longer than its
        // field. The rows stored are the updated ones and those appended after the highest row id before, read
        // where they are (no temp table of them).
        const std::string h = std::to_string(highest);
        const std::string storedRows =
            "(SELECT dst AS r FROM merge_upd UNION ALL SELECT rowid FROM main.data WHERE rowid>" + h + ")";
        for (const auto& c : checks) {
            std::string same, old, blank;
            for (std::size_t k = 0; k < c.cols.size(); ++k) {
                const std::string& q = c.cols[k];
                same += " AND o." + q + " IS t." + q + " COLLATE " + c.collates[k];
                old += " AND o." + q + " IS p." + q + " COLLATE " + c.collates[k];
                blank += std::string(blank.empty() ? "" : " OR ") + "t." + q + " IS NULL";
            }
            db::Statement held(db, "SELECT 1 FROM " + storedRows + " AS x JOIN main.data AS t ON t.rowid=x.r WHERE " +
                                       (c.enforced ? "(" + blank + ") AND " : std::string()) +
                                       "EXISTS (SELECT 1 FROM main.data AS o WHERE o.rowid<>t.rowid" + same +
                                       ") LIMIT 1");
            if (held.step())
                return -1;
            db::Statement taken(db, "SELECT 1 FROM temp.merge_old AS p WHERE EXISTS (SELECT 1 FROM main.data AS o "
                                    "WHERE o.rowid<>p.r" + old + " AND (o.rowid>" + h +
                                    " OR EXISTS (SELECT 1 FROM merge_upd WHERE dst=o.rowid))) LIMIT 1");
            if (taken.step())
                return -1;
        }
        std::string faults;
        for (const auto& f : fields) {
            const std::string q = "t." + db::QuoteIdentifier(f.name);
            if (f.required)
                faults += (faults.empty() ? "" : " OR ") + q + " IS NULL";
        }
        if (idField >= 0 && fields[static_cast<std::size_t>(idField)].size > 0) {
            const auto& f = fields[static_cast<std::size_t>(idField)];
            faults += (faults.empty() ? "" : " OR ") + std::string("length(t.") + db::QuoteIdentifier(f.name) +
                      ")>" + std::to_string(f.size);
        }
        if (!faults.empty()) {
            db::Statement st(db, "SELECT 1 FROM " + storedRows + " AS x JOIN main.data AS t ON t.rowid=x.r WHERE " +
                                     faults + " LIMIT 1");
            if (st.step())
                return -1;
        }
        if (!valuesKept.get())
            return -1;
        if (m.beforeStores)
            m.beforeStores();
        im.conn.exec("COMMIT");
        stored = static_cast<int>(rows);
    } catch (...) {
        return -1;  // rolled back: the rows are stored one by one, which names what failed
    }
    everyMaster.restore();
    im.afterWrite();
    im.rebuildKeepingRecord();
    // The pages the merge read and wrote leave the connection's cache (the view holds what the table needs to
    // browse): their memory serves what comes next, the next table's merge, instead of fresh pages of the heap.
    sqlite3_db_release_memory(db);
    DataSetChanged();
    return stored;
}
