// Rows packed as stored: every value reads back as the statement's own column read gives it, for each field
// type, and stored values order as SQLite orders them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/db/Connection.h"
#include "platform/db/PackedRow.h"

namespace {

using T = db::FieldType;

TEST(PackedRow, ValuesReadAsTheColumnsOfTheStatement)
{
    db::Connection c({}, db::Connection::Mode::Memory);
    // Nulls, empty text (not null), integers at every width and both ends, reals, dates as text, bytes with a NUL.
    db::Statement st(c.get(),
                     "SELECT NULL, '', 0, 1, -1, 127, 128, -129, 32768, -8388609, 2147483648, -549755813889, "
                     "140737488355328, 9223372036854775807, -9223372036854775808, 0.5, -1e300, 5.0, "
                     "'2024-02-29', '2023-02-29', '某某科技有限公司', x'00ff41', 7");
    ASSERT_TRUE(st.step());
    const int n = sqlite3_column_count(st.get());
    db::PackedRow row = db::PackedRow::FromColumns(st.get(), 0, n);
    ASSERT_EQ(row.size(), static_cast<std::size_t>(n));
    for (T type : {T::String, T::Smallint, T::Integer, T::Float, T::Currency, T::Date, T::Boolean, T::Memo}) {
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(row.value(static_cast<std::size_t>(i), type), st.column(i, type)) << "column " << i;
    }
    EXPECT_TRUE(db::isNull(row.value(static_cast<std::size_t>(n), T::String)));  // beyond the last value
    EXPECT_TRUE(db::isNull(db::PackedRow{}.value(0, T::Integer)));                // a row that is gone

    // Numbers equal as the field reads them are the same value; other changes are not.
    db::Statement other(c.get(), "SELECT NULL, '', 0, 1, ?1");
    auto packed = [&](const db::Variant& last) {
        other.bind(1, last);
        EXPECT_TRUE(other.step());
        db::PackedRow r = db::PackedRow::FromColumns(other.get(), 0, 5);
        other.reset();
        return r;
    };
    std::vector<db::FieldDesc> fields(5, db::FieldDesc{"f", T::Float, 0, false});
    EXPECT_TRUE(packed(std::int64_t{5}).sameValues(packed(5.0), fields));
    EXPECT_FALSE(packed(std::int64_t{5}).sameValues(packed(5.5), fields));
    EXPECT_FALSE(packed(std::string()).sameValues(packed(db::Variant{}), fields));  // empty text is no null

    // A row past 64 KiB (a long memo) keeps every value whole.
    const std::string memo(70000, 'm');
    db::PackedRow wide = packed(memo);
    EXPECT_EQ(wide.value(4, T::Memo), db::Variant{memo});
    EXPECT_EQ(wide.value(3, T::Integer), db::Variant{std::int64_t{1}});
    EXPECT_EQ(wide.value(1, T::String), db::Variant{std::string()});

    // A row packed into the buffer of a wider or narrower one holds its own values only.
    db::PackedRow reused = packed(memo);
    for (const db::Variant& last : {db::Variant{std::int64_t{-2}}, db::Variant{memo}, db::Variant{}}) {
        other.bind(1, last);
        ASSERT_TRUE(other.step());
        reused.assign(other.get(), 0, 5);
        other.reset();
        EXPECT_TRUE(reused.sameValues(packed(last), fields));
        EXPECT_EQ(reused.value(4, T::Memo), db::FromStorage(last, T::Memo));
    }
}

TEST(PackedRow, StoredValuesOrderAsSqliteOrdersThem)
{
    // Ascending: null, numbers by value whatever their class, text in GBK order.
    const std::vector<db::Variant> ascending = {db::Variant{},
                                                std::int64_t{-9007199254740993},
                                                -1.5,
                                                std::int64_t{0},
                                                0.25,
                                                std::int64_t{1},
                                                std::int64_t{9223372036854775807},
                                                std::string("A"),
                                                std::string("a"),
                                                std::string("阿"),
                                                std::string("北")};
    for (std::size_t i = 0; i < ascending.size(); ++i) {
        for (std::size_t j = 0; j < ascending.size(); ++j) {
            int c = db::CompareStored(db::RefOf(ascending[i]), db::RefOf(ascending[j]), false);
            EXPECT_EQ((c > 0) - (c < 0), (i > j) - (i < j)) << i << " vs " << j;
        }
    }
    EXPECT_EQ(db::CompareStored(db::RefOf(std::int64_t{2}), db::RefOf(2.0), false), 0);
    EXPECT_EQ(db::CompareStored(db::RefOf(std::string("ABC")), db::RefOf(std::string("abc")), true), 0);
}

// A list of packed rows holds each entry as packed, through inserts, replacements and removals (enough of them
// that the bytes left behind are dropped), and entries left empty by a reset read as no values.
TEST(PackedList, EntriesStayAsPackedThroughChanges)
{
    db::Connection c({}, db::Connection::Mode::Memory);
    db::Statement st(c.get(), "SELECT ?1, ?2");
    auto row = [&](int k) {
        st.bind(1, std::string(static_cast<std::size_t>(k % 40), 'x') + std::to_string(k));
        st.bind(2, k % 5 == 0 ? db::Variant{} : db::Variant{std::int64_t{k}});
        EXPECT_TRUE(st.step());
        db::PackedRow r = db::PackedRow::FromColumns(st.get(), 0, 2);
        st.reset();
        return r;
    };
    auto same = [](db::PackedView a, const db::PackedRow& b) {
        return a.size() == b.size() && a.value(0, T::String) == b.value(0, T::String) &&
               a.value(1, T::Integer) == b.value(1, T::Integer);
    };
    db::PackedList list;
    std::vector<db::PackedRow> model;
    for (int k = 0; k < 3000; ++k) {
        const db::PackedRow r = row(k);
        const std::size_t at = static_cast<std::size_t>(k * 7919) % (model.size() + 1);
        switch (k % 4) {
        case 0:
        case 1:
            list.insert(at, r.view());
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), r);
            break;
        case 2:
            if (at < model.size()) {
                list.set(at, r.view());
                model[at] = r;
            }
            break;
        default:
            if (at < model.size()) {
                list.erase(at);
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
            }
        }
    }
    list.append(db::PackedView());  // a row without values
    model.emplace_back();
    list.append(list[0]);  // an entry of the list itself, appended as the buffer moves
    model.push_back(model[0]);
    ASSERT_EQ(list.size(), model.size());
    for (std::size_t i = 0; i < model.size(); ++i)
        ASSERT_TRUE(same(list[i], model[i])) << i;

    list.reset(3);
    st.bind(1, std::string("一"));
    st.bind(2, std::int64_t{1});
    ASSERT_TRUE(st.step());
    list.setColumns(1, st.get(), 0, 2);
    st.reset();
    EXPECT_EQ(list[0].size(), 0u);
    EXPECT_EQ(list[1].value(0, T::String), db::Variant{std::string("一")});
    EXPECT_TRUE(db::isNull(list[2].value(1, T::Integer)));
}

}  // namespace
