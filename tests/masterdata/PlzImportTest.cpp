// Import of postal codes from a text file: bank flag, code position, empty lines, a line
// that is not a code, and files that cannot be read.
#include "masterdata/PlzImport.h"
#include "base/DbError.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

#include "support/TableTestDb.h"
#include "support/TestSupport.h"

using namespace kilvaro;
using kilvaro::testing::TableTestDb;

namespace {

using Kind = PlzImport::LineKind;

/// The stored rows as "code:R" or "code:L", in insertion order.
QStringList rows(Connection& c) {
    QStringList out;
    QSqlQuery q = c.exec(QStringLiteral("SELECT PLZ, Rechtsrheinisch FROM plz ORDER BY rowid"));
    while (q.next())
        out << QStringLiteral("%1:%2").arg(q.value(0).toInt()).arg(q.value(1).toBool() ? 'R' : 'L');
    return out;
}

} // namespace

TEST(PlzImport, LinesGiveBankAndCode) {
    auto check = [](const char* text, Kind kind, int code, bool right) {
        const PlzImport::Line l = PlzImport::parseLine(QString::fromUtf8(text));
        EXPECT_EQ(l.kind, kind) << text;
        if (kind == Kind::Code) {
            EXPECT_EQ(l.code, code) << text;
            EXPECT_EQ(l.rightBank, right) << text;
        }
    };
    check("r 51063", Kind::Code, 51063, true);
    check("R 4040", Kind::Code, 4040, true);
    check("L 50667", Kind::Code, 50667, false);
    check("l 50667", Kind::Code, 50667, false);
    check("x 12345", Kind::Code, 12345, false);
    check("r;51063", Kind::Code, 51063, true);       // the second character is ignored
    check("r 510639 Köln", Kind::Code, 51063, true); // only characters 3 to 7 count
    check("R 01067", Kind::Code, 1067, true);        // leading zeros are not kept
    check("", Kind::Empty, 0, false);
    check("   ", Kind::Empty, 0, false);
    check("r", Kind::Invalid, 0, false);
    check("r ", Kind::Invalid, 0, false);
    check("r Köln", Kind::Invalid, 0, false);
    check("r 51a63", Kind::Invalid, 0, false);
}

TEST(PlzImport, FileIsImportedSkippingEmptyLines) {
    TableTestDb db;
    TempProgramFolder folder;
    folder.writeFile(QStringLiteral("plz.txt"),
                     QByteArray("r 51063\r\n\r\nR 4040\r\nx 12345\r\n\r\nL 50667\r\n"));
    const PlzImport::Result r = PlzImport::importFile(db.conn(), folder.filePath("plz.txt"));
    EXPECT_FALSE(r.stopped());
    EXPECT_EQ(r.imported, 4);
    EXPECT_TRUE(r.message().isEmpty());
    EXPECT_EQ(rows(db.conn()), QStringList({"51063:R", "4040:R", "12345:L", "50667:L"}));

    // No test for duplicates: a second import doubles the codes, existing rows stay.
    PlzImport::importFile(db.conn(), folder.filePath("plz.txt"));
    EXPECT_EQ(rows(db.conn()).size(), 8);
}

TEST(PlzImport, FileOfEmptyLinesImportsNothing) {
    TableTestDb db;
    TempProgramFolder folder;
    folder.writeFile(QStringLiteral("leer.txt"), QByteArray("\r\n\r\n\r\n"));
    const PlzImport::Result r = PlzImport::importFile(db.conn(), folder.filePath("leer.txt"));
    EXPECT_EQ(r.imported, 0);
    EXPECT_FALSE(r.stopped());
    EXPECT_TRUE(rows(db.conn()).isEmpty());
}

TEST(PlzImport, BadLineStopsKeepingTheRowsBeforeAndSaysWhereAndHowMany) {
    TableTestDb db;
    TempProgramFolder folder;
    folder.writeFile(QStringLiteral("plz.txt"),
                     QByteArray("r 51063\r\n\r\nL 50667\r\nPostleitzahlen %1\r\nr 51065\r\n"));
    const PlzImport::Result r = PlzImport::importFile(db.conn(), folder.filePath("plz.txt"));
    EXPECT_TRUE(r.stopped());
    EXPECT_EQ(r.badLineNumber, 4) << "empty lines count as lines of the file";
    EXPECT_EQ(r.badLineText, QStringLiteral("Postleitzahlen %1"));
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(r.message(),
              QStringLiteral("Zeile 4 enthält keine gültige Postleitzahl: „Postleitzahlen %1“. "
                             "Der Import wurde dort abgebrochen; 2 Postleitzahlen aus den "
                             "Zeilen davor wurden übernommen."));
    EXPECT_EQ(rows(db.conn()), QStringList({"51063:R", "50667:L"}));
}

TEST(PlzImport, MissingOrUnreadableFileIsReportedAndStoresNothing) {
    TableTestDb db;
    TempProgramFolder folder;
    try {
        PlzImport::importFile(db.conn(), folder.filePath("fehlt.txt"));
        FAIL() << "a missing file was accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nicht gefunden")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("fehlt.txt")));
    }
    // A folder in place of the file cannot be read as one.
    folder.writeFile(QStringLiteral("ordner/x.txt"), QByteArray("r 51063\r\n"));
    EXPECT_THROW(PlzImport::importFile(db.conn(), folder.filePath("ordner")), DbError);
    EXPECT_TRUE(rows(db.conn()).isEmpty());
}
