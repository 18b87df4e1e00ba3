#include "data/Connection.h"
#include "base/DbError.h"
#include "data/IntegrityCheck.h"
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

// An archive copy on a read-only file, folder or medium is read, never written: every
// store is refused in German, while selects work.
TEST_F(ConnectionTest, ReadOnlyFileOpensForReadingAndRefusesStores) {
    {
        Connection c;
        c.create(path);
        Schema::create(c);
        c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Köln')"));
    }
    struct Case {
        const char* what;
        bool folderToo;
    };
    for (const Case& k : {Case{"file", false}, Case{"file and folder", true}}) {
        SCOPED_TRACE(k.what);
        if (!makeReadOnly(path))
            GTEST_SKIP() << "the file cannot be made read-only here";
        const bool folder = k.folderToo && makeReadOnly(dir.path());
        Connection c;
        try {
            c.open(path);
            EXPECT_TRUE(c.isReadOnly());
            EXPECT_NO_THROW(Schema::upgrade(c));
            EXPECT_EQ(count(c, QStringLiteral("Ortsliste")), 1);
            for (const QString& store :
                 {QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Bonn')"),
                  QStringLiteral("DELETE FROM Ortsliste")}) {
                try {
                    c.exec(store);
                    ADD_FAILURE() << "stored into a read-only file: " << store.toStdString();
                } catch (const DbError& e) {
                    EXPECT_TRUE(e.message().contains(QStringLiteral("schreibgeschützt und nur zum "
                                                                    "Lesen geöffnet")))
                        << e.message().toStdString();
                }
            }
            EXPECT_THROW(Transaction tx(c), DbError);
        } catch (const DbError& e) {
            ADD_FAILURE() << e.message().toStdString();
        }
        c.close();
        if (folder)
            makeWritable(dir.path());
        makeWritable(path);
    }
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

    // English texts of the engine get a German sentence first.
    const QString columns = refusal(QStringLiteral("SELECT %1").arg(
        QStringList(2001, QStringLiteral("1")).join(QLatin1Char(','))));
    EXPECT_TRUE(columns.startsWith(QStringLiteral("Die Abfrage liefert mehr Spalten")))
        << columns.toStdString();
    c.exec(QStringLiteral("CREATE TABLE t_cols (a INTEGER, b INTEGER)"));
    c.exec(QStringLiteral("CREATE TRIGGER t_old AFTER INSERT ON t_cols "
                          "BEGIN SELECT new.b; END"));
    const QString trigger = refusal(QStringLiteral("ALTER TABLE t_cols DROP COLUMN b"));
    EXPECT_TRUE(trigger.startsWith(QStringLiteral("Eine Prüfregel (Trigger) der Datenbank")))
        << trigger.toStdString();
    EXPECT_TRUE(trigger.contains(QStringLiteral("no such column"))) << trigger.toStdString();

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

// Another program's SQLite file that carries a version number of its own is refused in German,
// not with the engine's "no such table".
TEST_F(ConnectionTest, ForeignFileWithAVersionIsRefusedInGerman) {
    Connection c;
    c.create(path);
    c.exec(QStringLiteral("CREATE TABLE kunden (name TEXT)"));
    c.exec(QStringLiteral("PRAGMA user_version = 1"));
    c.reloadSchema();
    try {
        Schema::upgrade(c);
        FAIL() << "a foreign file was upgraded";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Die Datei enthält keine Kilvaro-Datenbank (Tabelle "
                                              "Fahrten fehlt)."));
    }
}

// A file damaged in its middle still opens; the consistency check finds it, and once
// refused, nothing is stored into it, by any path.
TEST_F(ConnectionTest, DamagedFileIsFoundAndThenRefusesEveryStore) {
    {
        Connection c;
        c.create(path);
        Schema::create(c);
    }
    EXPECT_EQ(IntegrityCheck::problemOf(path), QString()) << "a sound file";
    ASSERT_TRUE(damageDatabaseMiddle(path));
    EXPECT_FALSE(IntegrityCheck::problemOf(path).isEmpty());

    Connection c;
    c.open(path);
    const QString problem = c.integrityProblem();
    ASSERT_FALSE(problem.isEmpty());
    c.refuseWrites(IntegrityCheck::storeRefusal());
    for (const QString& store :
         {QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('Bonn')"),
          QStringLiteral("UPDATE Fahrten SET Personen = 'X' WHERE ID = 1")}) {
        try {
            c.exec(store);
            ADD_FAILURE() << "stored into a damaged file: " << store.toStdString();
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("aus der Datensicherung "
                                                            "wiederherstellen")))
                << e.message().toStdString();
        }
    }
    EXPECT_THROW(Transaction tx(c), DbError);
    EXPECT_EQ(count(c, QStringLiteral("Ortsliste")), 0) << "reading still works";
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
