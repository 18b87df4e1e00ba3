#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include <unistd.h>

using namespace kilvaro;

namespace {

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("Kilvaro.db"));
    }
    QTemporaryDir dir;
    QString path;
};

int count(Connection& c, const QString& table) {
    QSqlQuery q = c.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
    return q.next() ? q.value(0).toInt() : -1;
}

} // namespace

TEST_F(ConnectionTest, RefusesEmptyMissingAndNonDatabaseFilesWithGermanMessages) {
    Connection c;
    try {
        c.open(QString());
        FAIL() << "empty path accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("MDB"))) << e.message().toStdString();
    }
    try {
        c.open(path);
        FAIL() << "missing file accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nicht gefunden")));
    }
    EXPECT_FALSE(QFile::exists(path)) << "opening must never create a database";

    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    try {
        c.open(path);
        FAIL() << "non-database file accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("keine lesbare Datenbank")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("beschädigt oder keine Datenbank")))
            << e.message().toStdString();
    }
    EXPECT_FALSE(c.isOpen());
}

TEST_F(ConnectionTest, RefusesReadOnlyFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write read-only files; the check cannot be observed as root";
    {
        Connection c;
        c.create(path);
        Schema::create(c);
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    Connection c;
    EXPECT_THROW(c.open(path), DbError);
}

TEST_F(ConnectionTest, LockedByAnotherInstanceFailsWithEngineText) {
    {
        Connection c;
        c.create(path);
        Schema::create(c);
    }
    Connection holder;
    holder.open(path);
    holder.exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
    holder.begin();
    holder.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Köln')"));

    Connection other;
    other.setBusyTimeout(100);
    try {
        other.open(path);
        other.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Bonn')"));
        FAIL() << "write through a locked file succeeded";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("locked"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("von einem anderen Arbeitsplatz oder "
                                                        "Programm gesperrt")))
            << e.message().toStdString();
    }
    holder.rollback();
}

// What the engine refuses reaches the user in German; the engine's words follow in brackets,
// and a text raised by our own triggers passes unchanged.
TEST_F(ConnectionTest, EngineRefusalsReadInGerman) {
    Connection c;
    c.create(path);
    Schema::create(c);
    auto refusal = [&](const QString& sql) {
        try {
            c.exec(sql);
        } catch (const DbError& e) {
            return e.message();
        }
        return QString();
    };
    c.exec(QStringLiteral("INSERT INTO Rechnung (RecNr) VALUES (7)"));
    const QString twice = refusal(QStringLiteral("INSERT INTO Rechnung (RecNr) VALUES (7)"));
    EXPECT_TRUE(twice.startsWith(QStringLiteral("Dieser Wert ist schon vergeben")))
        << twice.toStdString();
    EXPECT_TRUE(twice.contains(QStringLiteral("(UNIQUE constraint failed"))) << twice.toStdString();

    c.exec(QStringLiteral("CREATE TRIGGER t_stop BEFORE DELETE ON Rechnung "
                          "BEGIN SELECT RAISE(ABORT, 'Diese Rechnung ist gebucht.'); END"));
    EXPECT_EQ(refusal(QStringLiteral("DELETE FROM Rechnung")),
              QStringLiteral("Diese Rechnung ist gebucht."));

    // A file that can no longer be written (read-only medium, lost share) stores nothing.
    c.exec(QStringLiteral("PRAGMA query_only = ON"));
    const QString readOnly = refusal(QStringLiteral("INSERT INTO Rechnung (RecNr) VALUES (8)"));
    EXPECT_TRUE(readOnly.startsWith(QStringLiteral("Die Datenbank ist schreibgeschützt")))
        << readOnly.toStdString();
    c.exec(QStringLiteral("PRAGMA query_only = OFF"));
    EXPECT_EQ(count(c, QStringLiteral("Rechnung")), 1);
}

TEST_F(ConnectionTest, CreateWritesSchemaVersionAndEveryTable) {
    Connection c;
    c.create(path);
    Schema::create(c);
    EXPECT_EQ(Schema::storedVersion(c), Schema::currentVersion);
    for (const TableInfo& t : Schema::definition().tables()) {
        const TableInfo* stored = c.schema().table(t.name.toLower());
        ASSERT_NE(stored, nullptr) << t.name.toStdString();
        ASSERT_EQ(stored->columns.size(), t.columns.size()) << t.name.toStdString();
        for (int i = 0; i < t.columns.size(); ++i) {
            EXPECT_EQ(stored->columns[i].name, t.columns[i].name);
            EXPECT_EQ(stored->columns[i].type, t.columns[i].type)
                << t.name.toStdString() << "." << t.columns[i].name.toStdString();
            EXPECT_EQ(stored->columns[i].size, t.columns[i].size);
        }
    }
    // Booleans are never null and default to false.
    c.exec(QStringLiteral("INSERT INTO Fahrten (Personen) VALUES ('Meier')"));
    QSqlQuery q = c.exec(QStringLiteral("SELECT Gutschrift, ANRLock FROM Fahrten"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
    EXPECT_FALSE(q.value(0).isNull());
    EXPECT_THROW(c.exec(QStringLiteral("UPDATE Fahrten SET Gutschrift = NULL")), DbError);
    // Invoice numbers are unique.
    c.exec(QStringLiteral("INSERT INTO Rechnung (RecNr) VALUES (7)"));
    EXPECT_THROW(c.exec(QStringLiteral("INSERT INTO Rechnung (RecNr) VALUES (7)")), DbError);
}

TEST_F(ConnectionTest, UpgradeRefusesNewerAndForeignFiles) {
    Connection c;
    c.create(path);
    EXPECT_THROW(Schema::upgrade(c), DbError) << "an empty file is no Kilvaro database";
    Schema::create(c);
    EXPECT_NO_THROW(Schema::upgrade(c));
    c.exec(QStringLiteral("PRAGMA user_version = %1").arg(Schema::currentVersion + 1));
    try {
        Schema::upgrade(c);
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("neueres Programm")));
    }
}

TEST_F(ConnectionTest, NestedTransactionsRollBackInnerAndOuterWork) {
    Connection c;
    c.create(path);
    Schema::create(c);
    {
        Transaction outer(c);
        c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES (?)"), {QStringLiteral("Köln")});
        {
            Transaction inner(c);
            c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES (?)"),
                   {QStringLiteral("Bonn")});
            // no commit: the inner work is undone, the outer stays
        }
        EXPECT_EQ(count(c, QStringLiteral("Ortsliste")), 1);
        outer.commit();
    }
    EXPECT_EQ(count(c, QStringLiteral("Ortsliste")), 1);
    EXPECT_EQ(c.transactionDepth(), 0);

    try {
        Transaction tx(c);
        c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Siegburg')"));
        c.exec(QStringLiteral("INSERT INTO Nirgendwo VALUES (1)"));
        tx.commit();
    } catch (const DbError&) {
    }
    EXPECT_EQ(count(c, QStringLiteral("Ortsliste")), 1) << "a failed step undoes the whole action";
    EXPECT_EQ(c.transactionDepth(), 0);
}

TEST_F(ConnectionTest, TextComparisonIgnoresCase) {
    Connection c;
    c.create(path);
    Schema::create(c);
    c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Name) VALUES (1, 'Meier')"));
    QSqlQuery q = c.exec(QStringLiteral("SELECT count(*) FROM ADRESSEN WHERE Name = 'MEIER'"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
}
