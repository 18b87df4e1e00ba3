#include "data/RowKeyCache.h"

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace kilvaro;

namespace {

/// A table in memory: the keys of the set in order, and the rows that exist (value: key*10).
struct FakeReader : RowReader {
    QVector<qint64> setKeys;
    QSet<qint64> existing;
    QList<QList<qint64>> rowReads; ///< every readRows call, in order
    bool failKeys = false;

    QVector<qint64> readKeys(const KeyQuery&) override {
        if (failKeys)
            throw std::runtime_error("keys refused");
        return setKeys;
    }
    QList<std::pair<qint64, TableRow>> readRows(const QList<qint64>& keys) override {
        rowReads << keys;
        QList<std::pair<qint64, TableRow>> out;
        for (qint64 k : keys) {
            if (!existing.contains(k))
                continue;
            TableRow r;
            r.values << k * 10;
            out.append({k, r});
        }
        return out;
    }
    TableRow emptyRow() const override {
        TableRow r;
        r.values << QVariant();
        return r;
    }
};

QVector<qint64> range(qint64 from, qint64 to) {
    QVector<qint64> out;
    for (qint64 k = from; k <= to; ++k)
        out << k;
    return out;
}

QList<qint64> keysOf(const RowKeyCache& cache) {
    QList<qint64> out;
    for (int i = 0; i < cache.size(); ++i)
        out << cache.keyAt(i);
    return out;
}

} // namespace

// Blocks of 4 rows, at most 8 rows kept: which rows a sequence of look-ups reads.
TEST(RowKeyCache, ReadsRowsInBlocksAndGivesUpTheOldest) {
    FakeReader db;
    db.setKeys = range(1, 20);
    const QVector<qint64> all = range(1, 20);
    db.existing = QSet<qint64>(all.cbegin(), all.cend());
    db.existing.remove(7); // deleted elsewhere after the keys were read
    RowKeyCache cache(db, 4, 8);
    cache.read({});

    struct Step {
        const char* what;
        std::function<void()> act;
        QList<QList<qint64>> reads;
    };
    const Step steps[] = {
        {"a position reads its whole block", [&] { cache.rowAt(5); }, {{5, 6, 7, 8}}},
        {"the same block again reads nothing", [&] { cache.rowAt(7); }, {}},
        {"first block", [&] { cache.rowAt(0); }, {{1, 2, 3, 4}}},
        {"a third block pushes out the oldest", [&] { cache.rowAt(19); }, {{17, 18, 19, 20}}},
        {"the block given up is read again", [&] { cache.rowAt(4); }, {{5, 6, 7, 8}}},
        {"the newer blocks are still there", [&] { cache.rowAt(16), cache.rowAt(19); }, {}},
        {"a dropped row alone is read again",
         [&] { cache.dropRow(18), cache.rowAt(16), cache.rowAt(17); },
         {{18}}},
        {"dropping all rows reads again",
         [&] { cache.dropRows(), cache.rowAt(17); },
         {{17, 18, 19, 20}}},
        {"the new row's placeholder is never read",
         [&] { cache.insertNewRow(1), cache.rowAt(0); },
         {{1, 2, 3}}},
    };
    for (const Step& step : steps) {
        db.rowReads.clear();
        step.act();
        EXPECT_EQ(db.rowReads, step.reads) << step.what;
    }
    EXPECT_TRUE(cache.isNewRow(1));
    EXPECT_EQ(cache.rowAt(2).values, QVariantList{20}) << "the rows behind the new one shift";
    EXPECT_FALSE(cache.rowAt(2).missing);
    EXPECT_TRUE(cache.rowAt(7).missing) << "a row gone since the keys were read";
    EXPECT_EQ(cache.rowAt(7).values, QVariantList{QVariant()});
    EXPECT_EQ(cache.positionOf(7), 7);
    EXPECT_EQ(cache.positionOf(99), -1);
}

// How the keys change with the new row, stores, deletes and reads of the set.
TEST(RowKeyCache, KeysFollowInsertStoreDeleteAndRead) {
    struct Case {
        const char* what;
        std::function<void(RowKeyCache&, FakeReader&)> act;
        QList<qint64> keys;
        bool pending = false;
    };
    constexpr qint64 n = RowKeyCache::kNewRow;
    const Case cases[] = {
        {"new row placed in the middle",
         [](RowKeyCache& c, FakeReader&) { c.insertNewRow(2); },
         {1, 2, n, 3, 4}},
        {"new row beyond the end is appended",
         [](RowKeyCache& c, FakeReader&) { c.insertNewRow(99); },
         {1, 2, 3, 4, n}},
        {"cancelled new row gives back its place",
         [](RowKeyCache& c, FakeReader&) {
             c.insertNewRow(1);
             EXPECT_EQ(c.dropNewRow(), 1);
             EXPECT_EQ(c.dropNewRow(), -1) << "nothing left to drop";
         },
         {1, 2, 3, 4}},
        {"stored new row takes its key",
         [](RowKeyCache& c, FakeReader&) {
             c.insertNewRow(4);
             c.settleNewRow(4, 9);
         },
         {1, 2, 3, 4, 9}},
        {"a stored row leaving the set stays at its place",
         [](RowKeyCache& c, FakeReader& db) {
             db.setKeys = {1, 3, 4};
             c.rereadKeeping(2, 1);
         },
         {1, 2, 3, 4}},
        {"kept rows stay through later stores",
         [](RowKeyCache& c, FakeReader& db) {
             db.setKeys = {1, 3, 4};
             c.rereadKeeping(2, 1);
             db.setKeys = {1, 3, 5, 4};
             c.rereadKeeping(3, 2);
         },
         {1, 2, 3, 5, 4}},
        {"a stored row moving in the order goes to its new place",
         [](RowKeyCache& c, FakeReader& db) {
             db.setKeys = {2, 3, 1, 4};
             c.rereadKeeping(1, 0);
         },
         {2, 3, 1, 4}},
        {"a full read forgets kept rows",
         [](RowKeyCache& c, FakeReader& db) {
             db.setKeys = {1, 3, 4};
             c.rereadKeeping(2, 1);
             c.read({});
             db.setKeys = {1, 4};
             c.rereadKeeping(4, 2);
         },
         {1, 4}},
        {"a deleted row leaves the set and is not kept",
         [](RowKeyCache& c, FakeReader& db) {
             db.setKeys = {1, 3, 4};
             c.rereadKeeping(2, 1);
             c.removeAt(1);
             c.rereadKeeping(4, 2);
         },
         {1, 3, 4}},
        {"a refused read changes nothing",
         [](RowKeyCache& c, FakeReader& db) {
             db.failKeys = true;
             EXPECT_THROW(c.read({QStringLiteral(" WHERE 0"), {}, {}}), std::runtime_error);
             EXPECT_TRUE(c.query().where.isEmpty());
         },
         {1, 2, 3, 4}},
        {"deferred keys are gone until read",
         [](RowKeyCache& c, FakeReader&) { c.defer(); },
         {},
         true},
    };
    for (const Case& k : cases) {
        FakeReader db;
        db.setKeys = {1, 2, 3, 4};
        RowKeyCache cache(db, 4, 8);
        cache.read({});
        k.act(cache, db);
        EXPECT_EQ(keysOf(cache), k.keys) << k.what;
        EXPECT_EQ(cache.pending(), k.pending) << k.what;
    }
}
