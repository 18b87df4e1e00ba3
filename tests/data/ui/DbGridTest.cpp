#include "support/FakeDialogService.h"
#include "support/TableTestDb.h"

#include "data/DataSource.h"
#include "base/DbError.h"
#include "data/Table.h"
#include "data/ui/DbGrid.h"

#include <QHeaderView>
#include <QtTest>

using namespace kilvaro;
using namespace kilvaro::testing;

class DbGridTest : public QObject {
    Q_OBJECT
private slots:
    void selectionFollowsTableBothWays() {
        TableTestDb db;
        for (int i = 1; i <= 30; ++i)
            db->exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES (?)"),
                     {QStringLiteral("Ort %1").arg(i, 2, 10, QLatin1Char('0'))});
        Table t(&db.conn(), QStringLiteral("Ortsliste"));
        t.setOrder(QStringLiteral("[Ort] ASC"));
        t.open();
        DataSource source(&t);
        FakeDialogService dialogs;
        DbGrid grid(&dialogs);
        grid.setDataSource(&source,
                           {{QStringLiteral("Ort"), QStringLiteral("Ort"), {}, false, 120}});
        grid.resize(300, 400);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.currentIndex().row(), 0);
        QCOMPARE(grid.columnWidths(), QList<int>{120});

        t.setRecNo(3);
        QCOMPARE(grid.currentIndex().row(), 3);
        QVERIFY(grid.selectionModel()->isRowSelected(3, {}));

        const QRect cell = grid.visualRect(grid.tableModel()->index(5, 0));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(t.recNo(), 5);
        QCOMPARE(t.value(QStringLiteral("Ort")).toString(), QStringLiteral("Ort 06"));

        t.last();
        QCOMPARE(grid.currentIndex().row(), 29);

        // A filter resets the grid and selects the first row.
        t.setFilter(QStringLiteral("Ort >= 'Ort 20'"));
        t.setFiltered(true);
        QCOMPARE(grid.model()->rowCount(), 11);
        QCOMPARE(grid.currentIndex().row(), 0);

        // A row that cannot be stored keeps the table (and the selection) where it is.
        t.beforePost = [](Table&) { throw DbError(QStringLiteral("Nicht speichern.")); };
        t.edit();
        t.setValue(QStringLiteral("Ort"), QStringLiteral("Ort 20x"));
        grid.selectionModel()->setCurrentIndex(grid.tableModel()->index(4, 0),
                                               QItemSelectionModel::ClearAndSelect |
                                                   QItemSelectionModel::Rows);
        QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("Nicht speichern.")});
        QCOMPARE(t.recNo(), 0);
        QCOMPARE(grid.currentIndex().row(), 0);
        QTest::keyClick(&grid, Qt::Key_Escape);
        QCOMPARE(t.state(), TableState::Browse);
        QCOMPARE(t.value(QStringLiteral("Ort")).toString(), QStringLiteral("Ort 20"));
    }

    void cellEditsWriteThroughTheTable() {
        TableTestDb db;
        db->exec(
            QStringLiteral("INSERT INTO Preisliste (Ort, Richtpreis) VALUES ('A', 10), ('B', 20)"));
        Table t(&db.conn(), QStringLiteral("Preisliste"));
        t.open();
        DataSource source(&t);
        FakeDialogService dialogs;
        DbGrid grid(&dialogs);
        grid.setDataSource(&source, {{QStringLiteral("Ort"), {}, {}, false, 0},
                                     {QStringLiteral("Richtpreis"), {}, {}, false, 0}});
        QVERIFY(grid.model()->setData(grid.model()->index(1, 1), QStringLiteral("12,5")));
        QCOMPARE(t.recNo(), 1);
        QCOMPARE(t.state(), TableState::Edit);
        QCOMPARE(grid.model()->data(grid.model()->index(1, 1)).toString(), QStringLiteral("12,50"));
        QVERIFY(!grid.model()->setData(grid.model()->index(1, 1), QStringLiteral("zwölf")));
        QCOMPARE(dialogs.messages().size(), 1);
        t.post();
        QCOMPARE(t.value(QStringLiteral("Richtpreis")).toDouble(), 12.5);
    }
};

QTEST_MAIN(DbGridTest)
#include "DbGridTest.moc"
