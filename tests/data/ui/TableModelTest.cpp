#include "support/TableTestDb.h"

#include "data/Table.h"
#include "data/TableModel.h"

#include <QAbstractItemModelTester>
#include <QSqlQuery>
#include <QtTest>

using namespace kilvaro;
using namespace kilvaro::testing;

class TableModelTest : public QObject {
    Q_OBJECT
private slots:
    // A cell text longer than its column is refused with the German reason; the row is
    // not put into edit by it and keeps its text.
    void tooLongCellTextIsRefused() {
        TableTestDb db;
        db->exec(QStringLiteral("INSERT INTO Fahrten (Personen) VALUES ('Meier')"));
        Table t(&db.conn(), QStringLiteral("Fahrten"));
        t.open();
        TableModel model(&t);
        model.setColumns({{QStringLiteral("Personen"), {}, {}, false, 0},
                          {QStringLiteral("Anrede"), {}, {}, false, 0}});
        QSignalSpy failed(&model, &TableModel::writeFailed);
        QVERIFY(!model.setData(model.index(0, 1), QStringLiteral("Frau Dr.")));
        QCOMPARE(model.lastError(),
                 QStringLiteral("Der Text für 'Anrede' ist zu lang: höchstens 4 Zeichen, "
                                "eingegeben sind 8."));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(t.state(), TableState::Browse);
        QVERIFY(t.value(QStringLiteral("Anrede")).isNull());
        QVERIFY(model.setData(model.index(0, 1), QStringLiteral("Frau")));
        QVERIFY(model.setData(model.index(0, 0), QString(50, QLatin1Char('p'))));
        t.post();
        QCOMPARE(t.value(QStringLiteral("Anrede")).toString(), QStringLiteral("Frau"));
    }

    // Cells are edited as German text and read back by the one parser: what the editor is
    // shown comes back unchanged, "1.500" is 1500, a refused text changes nothing, and a
    // two-digit year is read relative to the model's today.
    void typedCellsGoThroughTheGermanParser() {
        TableTestDb db;
        db->exec(QStringLiteral("INSERT INTO Fahrten (Datum, Ortspauschale, Nacht) VALUES "
                                "('2021-03-15 00:00:00', 1500, 12.345)"));
        Table t(&db.conn(), QStringLiteral("Fahrten"));
        t.open();
        TableModel model(&t);
        model.setToday([] { return QDate(2026, 12, 8); });
        model.setColumns({{QStringLiteral("Datum"), {}, QStringLiteral("dd.mm.yyyy"), false, 0},
                          {QStringLiteral("Ortspauschale"), {}, {}, false, 0},
                          {QStringLiteral("Nacht"), {}, {}, false, 0}});
        QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("1.500,00"));
        QCOMPARE(model.data(model.index(0, 1), Qt::EditRole).toString(),
                 QStringLiteral("1.500,00"));
        QCOMPARE(model.data(model.index(0, 2), Qt::EditRole).toString(), QStringLiteral("12,345"));
        QCOMPARE(model.data(model.index(0, 0), Qt::EditRole).toString(),
                 QStringLiteral("15.03.2021"));
        for (int column : {0, 1, 2})
            QVERIFY(model.setData(model.index(0, column),
                                  model.data(model.index(0, column), Qt::EditRole)));
        QCOMPARE(t.state(), TableState::Browse);

        for (const char* bad : {"1.2.3", "1,2,3", "12,5.3"}) {
            QVERIFY(!model.setData(model.index(0, 1), QString::fromLatin1(bad)));
            QCOMPARE(
                model.lastError(),
                QStringLiteral("'%1' ist kein gültiger Gleitkommawert.").arg(QLatin1String(bad)));
            QCOMPARE(t.state(), TableState::Browse);
        }
        QVERIFY(model.setData(model.index(0, 1), QStringLiteral("1.000.000")));
        QVERIFY(model.setData(model.index(0, 2), QStringLiteral("1.500 €")));
        QVERIFY(model.setData(model.index(0, 0), QStringLiteral("1.3.99")));
        t.post();
        QSqlQuery q = db->exec(QStringLiteral("SELECT Datum, Ortspauschale, Nacht FROM Fahrten"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("1999-03-01 00:00:00"));
        QCOMPARE(q.value(1).toDouble(), 1000000.0);
        QCOMPARE(q.value(2).toDouble(), 1500.0);
    }

    void formatsAndPassesTheModelTester() {
        TableTestDb db;
        db->exec(QStringLiteral(
            "INSERT INTO Fahrten (Datum, Zeit, Ortspauschale, Gutschrift, Personen) VALUES "
            "('2021-03-15 00:00:00', '1899-12-30 08:05:00', 1234.5, 1, 'Meier'), "
            "('2021-03-16 00:00:00', NULL, NULL, 0, 'Schulz')"));
        Table t(&db.conn(), QStringLiteral("Fahrten"));
        t.setOrder(QStringLiteral("[Datum] ASC"));
        t.addCalculatedField(QStringLiteral("Gesamt"), ColumnType::Float);
        t.onCalcFields = [](Table& tt) {
            tt.setValue(QStringLiteral("Gesamt"),
                        tt.field(QStringLiteral("Ortspauschale")).asFloat() * 2);
        };
        t.open();
        TableModel model(&t);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns(
            {{QStringLiteral("Datum"), QStringLiteral("Datum"), QStringLiteral("dd.mm.yyyy"), false,
              0},
             {QStringLiteral("Zeit"), QStringLiteral("Zeit"), QStringLiteral("hh:mm"), false, 0},
             {QStringLiteral("Ortspauschale"), QStringLiteral("Pauschale"),
              QStringLiteral("#,##0.00"), false, 0},
             {QStringLiteral("Gutschrift"), {}, {}, false, 0},
             {QStringLiteral("Gesamt"), {}, {}, false, 0}});
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Pauschale"));
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Gutschrift"));
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("15.03.2021"));
        QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("08:05"));
        QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("1.234,50"));
        QCOMPARE(model.data(model.index(0, 3), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(model.data(model.index(1, 3), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(model.data(model.index(0, 4)).toString(), QStringLiteral("2.469,00"));
        QCOMPARE(model.data(model.index(1, 2)).toString(), QString());
        QVERIFY(!(model.flags(model.index(0, 4)) & Qt::ItemIsEditable));
        QVERIFY(model.flags(model.index(0, 3)) & Qt::ItemIsUserCheckable);

        // The model follows inserts, stores, filters and deletes of the table.
        t.append();
        QCOMPARE(model.rowCount(), 3);
        t.setValue(QStringLiteral("Datum"), QDate(2021, 3, 1));
        t.setValue(QStringLiteral("Ortspauschale"), 10);
        QCOMPARE(model.data(model.index(2, 4)).toString(), QStringLiteral("20,00"));
        t.post();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("01.03.2021"));
        QVERIFY(model.setData(model.index(1, 3), int(Qt::Unchecked), Qt::CheckStateRole));
        QCOMPARE(t.recNo(), 1);
        QCOMPARE(t.value(QStringLiteral("Gutschrift")).toBool(), false);
        t.post();
        t.setFilter(QStringLiteral("Ortspauschale > 100"));
        t.setFiltered(true);
        QCOMPARE(model.rowCount(), 1);
        t.remove();
        QCOMPARE(model.rowCount(), 0);
        t.disableControls();
        t.setFiltered(false);
        t.enableControls();
        QCOMPARE(model.rowCount(), 2);
    }
};

QTEST_MAIN(TableModelTest)
#include "TableModelTest.moc"
