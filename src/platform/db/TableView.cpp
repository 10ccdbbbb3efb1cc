// The view of TTable: the ordered list of row ids that the active order, the master link and the filter select,
// with the order's values of each row kept beside it. It is read once by SQL (in the order of the file's index
// where that is the browse order too, else sorted in memory) and then kept up to date row by row: a store costs a
// key probe and a search in memory, a key search costs no SQL when its fields lead the order. Rows are read in
// blocks while the cursor walks, one by one when it jumps.
#include <algorithm>
#include <numeric>

#include "platform/db/TableImpl.h"

namespace {

// The first index in [0, n) for which before(i) is false; before must be true for a prefix of the indexes.
template <class Before>
std::size_t firstNotBefore(std::size_t n, Before before)
{
    std::size_t lo = 0, hi = n;
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        if (before(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// ",a,b,c": the columns of every field, after the rowid.
std::string ColumnList(const db::TableSchema& schema)
{
    std::string cols;
    for (const auto& f : schema.fields)
        cols += "," + db::QuoteIdentifier(f.name);
    return cols;
}

}  // namespace

void TTable::Impl::setUpOrder()
{
    order.clear();
    std::vector<std::string> names;
    const db::IndexDesc* ix = nullptr;
    if (!owner->indexFieldNames_.empty()) {
        names = tableimpl::splitNames(owner->indexFieldNames_);
        for (const auto& cand : schema.indexes) {
            if (tableimpl::sameNames(cand.fields, names)) {
                ix = &cand;
                break;
            }
        }
    } else if (!owner->indexName_.empty()) {
        ix = schema.findIndex(owner->indexName_);
        if (!ix)
            throw EDatabaseError(db::msg::IndexMissing(displayName, owner->indexName_));
        names = ix->fields;
    } else if ((ix = schema.primaryIndex())) {
        names = ix->fields;
    }
    for (const auto& n : names) {
        int fi = schema.fieldIndex(n);
        if (fi < 0)
            throw EDatabaseError(db::msg::FieldNotFound(db::msg::Table(displayName), n));
        bool nocase = ix && ix->caseInsensitive && tableimpl::isText(schema.fields[static_cast<std::size_t>(fi)].type);
        order.push_back({fi, nocase});
    }
    orderStmt = db::Statement();  // made when first needed, for the order now set
}


std::string TTable::Impl::orderBy() const
{
    std::string s;
    for (const auto& t : order) {
        const auto& f = schema.fields[static_cast<std::size_t>(t.field)];
        s += db::QuoteIdentifier(f.name);
        if (tableimpl::isText(f.type))
            s += t.nocase ? " COLLATE GBK_NOCASE" : " COLLATE GBK";
        s += ",";
    }
    return s + "rowid";
}

std::string TTable::Impl::indexOrderBy() const
{
    std::string s;
    for (const auto& t : order) {
        const auto& f = schema.fields[static_cast<std::size_t>(t.field)];
        // (the collation named: a column of a foreign file may declare another one)
        s += db::QuoteIdentifier(f.name) + (t.nocase ? " COLLATE NOCASE," : " COLLATE BINARY,");
    }
    return s + "rowid";
}

void TTable::Impl::setUpWhere()
{
    std::vector<std::string> conds;
    linkFields.clear();
    masterValues.clear();
    if (owner->masterSource_ && !owner->masterFields_.empty()) {
        for (const auto& n : tableimpl::splitNames(owner->masterFields_)) {
            int fi = schema.fieldIndex(n);
            if (fi < 0)
                throw EDatabaseError(db::msg::FieldNotFound(db::msg::Table(displayName), n));
            linkFields.push_back(fi);
            conds.push_back(db::QuoteIdentifier(schema.fields[static_cast<std::size_t>(fi)].name) + " = ?" +
                            std::to_string(linkFields.size()));
        }
        masterValues = currentMasterValues();
    }
    if (owner->filtered_) {
        std::string expr = translate(owner->filter_);
        if (!expr.empty())
            conds.push_back("(" + expr + ")");
    }
    where.clear();
    for (std::size_t i = 0; i < conds.size(); ++i)
        where += (i ? " AND " : "") + conds[i];
    std::string self = std::to_string(linkFields.size() + 1);
    memberStmt = where.empty() ? db::Statement()
                               : db::Statement(conn.get(), "SELECT 1 FROM data WHERE rowid=?" + self + " AND " + where);
}

std::vector<db::Variant> TTable::Impl::currentMasterValues() const
{
    std::vector<db::Variant> vals;
    TDataSet* m = owner->masterSource_ ? owner->masterSource_->DataSet() : nullptr;
    for (std::size_t i = 0; i < linkFields.size(); ++i) {
        std::vector<std::string> names = tableimpl::splitNames(owner->masterFields_);
        if (!m || !m->Active()) {
            vals.emplace_back();
            continue;
        }
        TField* f = m->FindField(names[i]);
        vals.push_back(f ? db::ToStorage(f->Value()) : db::Variant{});
    }
    return vals;
}

void TTable::Impl::bindMaster(db::Statement& st)
{
    for (std::size_t i = 0; i < masterValues.size(); ++i)
        st.bind(static_cast<int>(i + 1), masterValues[i]);
}

// The rows come in the order of the file's index (no sort), which is the browse order as long as the texts of
// the order are plain ASCII; the check of each neighbouring pair finds where it is not, and then the view is
// sorted in memory.
void TTable::Impl::buildView()
{
    view.clear();
    keys.clear();
    positions.clear();
    forgetRows();
    lastFetched = -1;
    std::string cols;
    for (const auto& t : order)
        cols += "," + db::QuoteIdentifier(schema.fields[static_cast<std::size_t>(t.field)].name);
    db::Statement st(conn.get(), "SELECT rowid" + cols + " FROM data" + (where.empty() ? std::string() : " WHERE " + where) +
                                     " ORDER BY " + indexOrderBy());
    bindMaster(st);
    // A view of the whole table holds at most as many rows as its highest rowid (rowids count up from 1): room
    // for them once, instead of the copies and freshly touched pages of growing the lists row by row. The room
    // is not touched, and what a table with many rows deleted leaves over is given back below.
    const std::size_t room = where.empty() ? reserveFor() : 0;
    view.reserve(room);
    keys.reserve(room);
    // Each entry is checked against the one before while both are at hand. Two entries of plain values (nulls,
    // numbers, ASCII text) come in the engine's order as they are: the statement's order is the engine's there.
    bool sorted = true, plainBefore = false;
    const int columns = static_cast<int>(order.size());
    while (st.step()) {
        view.push_back(sqlite3_column_int64(st.get(), 0));
        const bool plain = keys.appendColumns(st.get(), 1, columns);
        const std::size_t n = view.size();
        if (n == 1)
            keys.reserveBytes(room * keys[0].bytes());  // keys of one size are the common case
        sorted = sorted && (n < 2 || (plain && plainBefore) ||
                            compareEntries(keys[n - 2], view[n - 2], keys[n - 1], view[n - 1]) < 0);
        plainBefore = plain;
    }
    if (view.capacity() > 2 * view.size() + 1024) {
        view.shrink_to_fit();
        keys.shrinkToFit();
    }
    settleOrder(sorted);
}

std::size_t TTable::Impl::reserveFor()
{
    static constexpr std::int64_t kMostRoom = std::int64_t{1} << 22;
    db::Statement st(conn.get(), "SELECT max(rowid) FROM data");
    const std::int64_t highest = tableimpl::firstInt(st, 0);
    return highest > 0 && highest <= kMostRoom ? static_cast<std::size_t>(highest) : 0;
}

void TTable::Impl::putInOrder()
{
    bool sorted = true;
    for (std::size_t i = 1; i < view.size() && sorted; ++i)
        sorted = compareEntries(keys[i - 1], view[i - 1], keys[i], view[i]) < 0;
    settleOrder(sorted);
}

void TTable::Impl::settleOrder(bool sorted)
{
    positions.clear();
    inOrder = true;
    if (sorted)
        return;
    std::vector<std::size_t> perm(view.size());
    std::iota(perm.begin(), perm.end(), std::size_t{0});
    std::sort(perm.begin(), perm.end(), [&](std::size_t a, std::size_t b) {
        return compareEntries(keys[a], view[a], keys[b], view[b]) < 0;
    });
    std::vector<std::int64_t> v;
    db::PackedList k;
    v.reserve(view.size());
    k.reserve(view.size());
    for (std::size_t i : perm) {
        v.push_back(view[i]);
        k.append(keys[i]);
    }
    view = std::move(v);
    keys.swap(k);
    lastFetched = -1;
}

void TTable::Impl::rebuild()
{
    setUpOrder();
    setUpWhere();
    buildView();
}

std::int64_t TTable::Impl::currentRowid() const
{
    int pos = owner->CursorPos();
    return pos >= 0 && pos < static_cast<int>(view.size()) ? view[static_cast<std::size_t>(pos)] : -1;
}

void TTable::Impl::rebuildKeepingRecord()
{
    std::int64_t rowid = currentRowid();
    rebuild();
    auto it = std::find(view.begin(), view.end(), rowid);
    if (it != view.end())
        owner->SetCursorPos(static_cast<int>(it - view.begin()));
}

// A row that is gone has no values: each reads as null.
db::PackedRow TTable::Impl::orderKey(std::int64_t rowid)
{
    if (!orderStmt) {
        std::string cols;
        for (const auto& t : order)
            cols += db::QuoteIdentifier(schema.fields[static_cast<std::size_t>(t.field)].name) + ",";
        orderStmt = db::Statement(conn.get(), "SELECT " + cols + "rowid FROM data WHERE rowid=?1");
    }
    orderStmt.bindInt(1, rowid);
    db::PackedRow key;
    try {
        if (orderStmt.step())
            key = db::PackedRow::FromColumns(orderStmt.get(), 0, static_cast<int>(order.size()));
    } catch (...) {
        orderStmt.reset();
        throw;
    }
    orderStmt.reset();
    return key;
}

int TTable::Impl::compareEntries(db::PackedView ka, std::int64_t ra, db::PackedView kb, std::int64_t rb) const
{
    for (std::size_t i = 0; i < order.size(); ++i) {
        int c = db::CompareStored(ka.stored(i), kb.stored(i), order[i].nocase);
        if (c != 0)
            return c;
    }
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

bool TTable::Impl::isMember(std::int64_t rowid)
{
    if (!memberStmt)
        return true;
    bindMaster(memberStmt);
    memberStmt.bindInt(static_cast<int>(linkFields.size() + 1), rowid);
    return tableimpl::firstInt(memberStmt, 0) != 0;
}

// Inside a run a row that sorts after the last one is appended in order; any other goes to the end too, and the
// view is out of order until the run ends.
int TTable::Impl::placeRow(std::int64_t rowid)
{
    if (!isMember(rowid))
        return -1;
    db::PackedRow key = orderKey(rowid);
    std::size_t at = view.size();
    if (runDepth > 0 || !inOrder) {
        if (inOrder && !view.empty() && compareEntries(keys.back(), view.back(), key.view(), rowid) > 0)
            inOrder = false;
        if (!inOrder && !positions.empty())
            positions[rowid] = static_cast<int>(at);
    } else {
        auto pos = firstNotBefore(view.size(), [&](std::size_t i) {
            return compareEntries(keys[i], view[i], key.view(), rowid) < 0;
        });
        at = pos;
    }
    view.insert(view.begin() + static_cast<std::ptrdiff_t>(at), rowid);
    keys.insert(at, key.view());
    return static_cast<int>(at);
}

int TTable::Impl::positionOf(std::int64_t rowid)
{
    if (!inOrder) {
        if (positions.empty()) {
            for (std::size_t i = 0; i < view.size(); ++i)
                positions[view[i]] = static_cast<int>(i);
        }
        auto it = positions.find(rowid);
        return it == positions.end() ? -1 : it->second;
    }
    db::PackedRow key = orderKey(rowid);
    std::size_t at = firstNotBefore(view.size(), [&](std::size_t i) {
        return compareEntries(keys[i], view[i], key.view(), rowid) < 0;
    });
    if (at < view.size() && view[at] == rowid)
        return static_cast<int>(at);
    // the stored row differs from what the view holds (changed since it was read)
    auto it = std::find(view.begin(), view.end(), rowid);
    return it == view.end() ? -1 : static_cast<int>(it - view.begin());
}

void TTable::Impl::removeAt(int pos)
{
    view.erase(view.begin() + pos);
    keys.erase(static_cast<std::size_t>(pos));
    positions.clear();
    lastFetched = -1;
}

// A row whose order values did not change keeps its place; any other is placed anew.
int TTable::Impl::keepAfterUpdate(int pos, std::int64_t rowid)
{
    if (pos >= 0 && isMember(rowid)) {
        db::PackedRow key = orderKey(rowid);
        const db::PackedView was = keys[static_cast<std::size_t>(pos)];
        bool same = true;
        for (std::size_t i = 0; i < order.size() && same; ++i)
            same = db::CompareStored(key.stored(i), was.stored(i), order[i].nocase) == 0;
        if (same) {
            keys.set(static_cast<std::size_t>(pos), key.view());
            return pos;
        }
    }
    if (pos >= 0)
        removeAt(pos);
    return placeRow(rowid);
}

// A key whose given values lead the order is found by a binary search of the view; -2 asks for the search in
// SQL (values that do not lead the order, or a view out of order).
int TTable::Impl::findKey(const std::vector<db::Variant>& key)
{
    std::size_t given = 0;
    while (given < order.size() && !db::isNull(key[static_cast<std::size_t>(order[given].field)]))
        ++given;
    for (std::size_t i = given; i < order.size(); ++i) {
        if (!db::isNull(key[static_cast<std::size_t>(order[i].field)]))
            return -2;
    }
    if (!inOrder || given == 0)
        return -2;
    db::Row want;
    for (std::size_t i = 0; i < given; ++i)
        want.push_back(db::ToStorage(key[static_cast<std::size_t>(order[i].field)]));
    std::vector<db::StoredRef> refs;
    for (const db::Variant& v : want)
        refs.push_back(db::RefOf(v));
    return findStored(refs);
}

int TTable::Impl::findStored(const std::vector<db::StoredRef>& want) const
{
    auto compare = [&](std::size_t row) {
        for (std::size_t i = 0; i < want.size(); ++i) {
            int c = db::CompareStored(keys[row].stored(i), want[i], order[i].nocase);
            if (c != 0)
                return c;
        }
        return 0;
    };
    std::size_t at = firstNotBefore(view.size(), [&](std::size_t i) { return compare(i) < 0; });
    return at < view.size() && compare(at) == 0 ? static_cast<int>(at) : -1;
}

// Rows are read in blocks of the view while the cursor walks (one statement per block), one by one when it
// jumps (a key search, a record number) or reads the first row of a view just built, so that a jump does not
// read a block around each row it lands on, nor a window that shows one record a block around it.
// Rows stored in the view's order lie together: one range read serves a long block of them, where the list of
// rowids costs a seek per row; the rows of the range outside the block are passed over. The block of a range
// read is kept by view position (the walk finds its rows without a lookup); every other row read goes to the
// cache by rowid.
db::PackedView TTable::Impl::fetchRead(int viewPos)
{
    static constexpr int kBlock = 128;        // rows of a block read by the list of their ids
    static constexpr int kRangeBlock = 1024;  // rows of a block read as one range
    const std::int64_t rowid = view[static_cast<std::size_t>(viewPos)];
    const bool walking = lastFetched >= 0 && std::abs(viewPos - lastFetched) <= 1;
    lastFetched = viewPos;
    auto it = cache.find(rowid);
    if (it != cache.end())
        return it->second.view();
    if (cache.size() > 16 * kBlock)
        dropCache();
    // A block read gives the rowid beside every field: a row of as many fields as SQLite allows is read alone.
    const bool blocks = static_cast<int>(schema.fields.size()) < sqlite3_limit(conn.get(), SQLITE_LIMIT_COLUMN, -1);
    if (!walking || !blocks) {
        versionIfNothingOlder(false);
        db::PackedRow& r = cacheEntry(rowid);
        readRow(rowid, r);
        return r.view();
    }
    auto span = [&](int size, int& start, int& end, std::int64_t& low, std::int64_t& high) {
        start = viewPos - viewPos % size;
        end = std::min<int>(start + size, static_cast<int>(view.size()));
        low = high = rowid;
        for (int p = start; p < end; ++p) {
            low = std::min(low, view[static_cast<std::size_t>(p)]);
            high = std::max(high, view[static_cast<std::size_t>(p)]);
        }
        return high - low < 2 * static_cast<std::int64_t>(end - start);
    };
    int start = 0, end = 0;
    std::int64_t low = 0, high = 0;
    const bool range = span(kRangeBlock, start, end, low, high) || span(kBlock, start, end, low, high);
    if (range && !rangeStmt) {
        rangeStmt =
            db::Statement(conn.get(), "SELECT rowid" + ColumnList(schema) + " FROM data WHERE rowid >= ?1");
    }
    if (!range && !fetchStmt) {
        std::string params;
        for (int i = 0; i < kBlock; ++i)
            params += (i ? ",?" : "?") + std::to_string(i + 1);
        fetchStmt =
            db::Statement(conn.get(), "SELECT rowid" + ColumnList(schema) + " FROM data WHERE rowid IN (" + params + ")");
    }
    db::Statement& st = range ? rangeStmt : fetchStmt;
    // The block read replaces the last one; the rows of the cache are older than it.
    if (range)
        startBlock(start, end);
    versionIfNothingOlder(range);
    if (range) {
        block.slot.assign(static_cast<std::size_t>(high - low + 1), -1);
        for (int p = start; p < end; ++p)
            block.slot[static_cast<std::size_t>(view[static_cast<std::size_t>(p)] - low)] = p - start;
        st.bindInt(1, low);
    } else {
        for (int p = start; p < kBlock + start; ++p)
            st.bind(p - start + 1, p < end ? db::Variant{view[static_cast<std::size_t>(p)]} : db::Variant{});
    }
    const int columns = static_cast<int>(schema.fields.size());
    try {
        while (st.step()) {
            const std::int64_t id = sqlite3_column_int64(st.get(), 0);
            if (!range) {
                cacheEntry(id).assign(st.get(), 1, columns);
                continue;
            }
            // The range is open above (no bound to test on every row): the read ends past its last row.
            if (id > high)
                break;
            const int k = block.slot[static_cast<std::size_t>(id - low)];
            if (k >= 0)
                block.rows.setColumns(static_cast<std::size_t>(k), st.get(), 1, columns);
        }
    } catch (...) {
        st.reset();
        block.clear();
        throw;
    }
    st.reset();
    if (range)
        return block.rows[static_cast<std::size_t>(viewPos - start)];
    it = cache.find(rowid);
    if (it == cache.end())
        it = cache.emplace(rowid, db::PackedRow{}).first;
    return it->second.view();
}

// The block for view positions [start, end), its rows empty (a row gone since the view was read reads as null);
// one buffer holds them, its room kept from block to block.
void TTable::Impl::startBlock(int start, int end)
{
    block.start = start;
    block.ids.assign(view.begin() + start, view.begin() + end);
    block.rows.reset(block.ids.size());
}

// The rows held are known by the data version of the oldest of them: a fresh version is taken only where none
// is held (newBlock: the block's rows are the ones about to be read).
void TTable::Impl::versionIfNothingOlder(bool newBlock)
{
    if (cache.empty() && (newBlock || block.ids.empty()))
        cacheVersion = dataVersion();
}

void TTable::Impl::forgetRow(std::int64_t rowid)
{
    cache.erase(rowid);
    for (auto& id : block.ids) {
        if (id == rowid)
            id = -1;
    }
}

void TTable::Impl::forgetRows()
{
    dropCache();
    block.clear();
}

bool TTable::Impl::readRow(std::int64_t rowid, db::PackedRow& out)
{
    if (!rowStmt) {
        std::string cols;
        for (std::size_t i = 0; i < schema.fields.size(); ++i)
            cols += (i ? "," : "") + db::QuoteIdentifier(schema.fields[i].name);
        rowStmt = db::Statement(conn.get(), "SELECT " + cols + " FROM data WHERE rowid=?1");
    }
    rowStmt.bindInt(1, rowid);
    bool found = false;
    try {
        found = rowStmt.step();
        if (found)
            out.assign(rowStmt.get(), 0, static_cast<int>(schema.fields.size()));
        else
            out = db::PackedRow{};
    } catch (...) {
        rowStmt.reset();
        throw;
    }
    rowStmt.reset();
    return found;
}

void TTable::Impl::cacheRow(std::int64_t rowid)
{
    forgetRow(rowid);
    if (cache.size() > 16 * 128)
        dropCache();
    versionIfNothingOlder(false);
    db::PackedRow r;
    if (readRow(rowid, r))
        cache.emplace(rowid, std::move(r));
}

// A walk drops the cache every few blocks and fills it again: its entries are kept, buffers and all, so that
// refilling allocates nothing (and the heap is not trimmed and faulted in again at each block). They are handed
// out again in the order they were taken, so that rows read one after another lie near each other in memory.
void TTable::Impl::dropCache()
{
    spare.reserve(spare.size() + cache.size());
    while (!cache.empty())
        spare.push_back(cache.extract(cache.begin()));
    std::reverse(spare.begin(), spare.end());
}

db::PackedRow& TTable::Impl::cacheEntry(std::int64_t rowid)
{
    auto it = cache.find(rowid);
    if (it != cache.end())
        return it->second;
    if (spare.empty())
        return cache.try_emplace(rowid).first->second;
    RowCache::node_type entry = std::move(spare.back());
    spare.pop_back();
    entry.key() = rowid;
    return cache.insert(std::move(entry)).position->second;
}

// ---- master link ----

void TTable::Impl::masterChanged()
{
    if (!owner->Active() || linkFields.empty())
        return;
    // A key being typed for a search is not a record to follow.
    TDataSet* m = owner->masterSource_ ? owner->masterSource_->DataSet() : nullptr;
    if (m && m->State() == TDataSetState::dsSetKey)
        return;
    std::vector<db::Variant> now = currentMasterValues();
    if (now == masterValues)
        return;
    owner->CheckBrowseMode();
    masterValues = now;
    buildView();
    owner->ResetCursor();
}
