// The postal-code window opened from the main window: single instance, the grid and its
// navigator, and the import driven through the dialog service.
#include "MasterDataWindowFixture.h"

#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "masterdata/ui/Tfplzedit.h"

#include <QSqlQuery>
#include <QToolButton>

using namespace kilvaro;
using kilvaro::testing::MasterDataWindowFixture;

class TestPlzEdit : public QObject {
    Q_OBJECT

    std::unique_ptr<MasterDataWindowFixture> f;

    Tfplzedit* window() const { return qobject_cast<Tfplzedit*>(f->activeChild()); }
    int storedCount() {
        QSqlQuery q = f->db().exec(QStringLiteral("SELECT count(*) FROM plz"));
        return q.next() ? q.value(0).toInt() : -1;
    }
    void import(const QByteArray& content) {
        f->folder.writeFile(QStringLiteral("plz.txt"), content);
        f->dialogs.answerFileName(f->folder.filePath(QStringLiteral("plz.txt")));
        window()->findChild<QToolButton*>(QStringLiteral("Import"))->click();
    }

private slots:
    void init() { f = std::make_unique<MasterDataWindowFixture>(); }
    void cleanup() { f.reset(); }

    void menuOpensOneWindowThatOpensAndClosesTheTable() {
        QVERIFY(!f->daten->plz->isOpen());
        f->trigger("PLZ1");
        f->trigger("PLZ1");
        QCOMPARE(f->subWindows().size(), 1);
        QVERIFY(window());
        QCOMPARE(window()->windowTitle(), QStringLiteral("PLZ bearbeiten"));
        QVERIFY(f->daten->plz->isOpen());
        auto* grid = window()->findChild<DbGrid*>(QStringLiteral("DBGrid1"));
        QCOMPARE(grid->model()->columnCount(), 2);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("PLZ"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("Rechtsrheinisch"));
        auto* nav = window()->findChild<DbNavigator*>(QStringLiteral("DBNavigator1"));
        QCOMPARE(nav->dataSource(), f->daten->PLZ1);

        // A code typed but not stored is kept when the window closes.
        nav->click(DbNavigator::Insert);
        f->daten->plz->setValue(QStringLiteral("PLZ"), 50667);
        f->subWindows().first()->close();
        MasterDataWindowFixture::settle();
        QVERIFY(f->subWindows().isEmpty());
        QVERIFY(!f->daten->plz->isOpen());
        QCOMPARE(storedCount(), 1);
        f->trigger("PLZ1");
        QCOMPARE(f->subWindows().size(), 1);
    }

    void importAddsTheCodesToTheGrid() {
        f->trigger("PLZ1");
        import("r 51063\r\n\r\nR 4040\r\nx 12345\r\n");
        QVERIFY(f->dialogs.messages().isEmpty());
        QCOMPARE(f->dialogs.fileDialogTitles().size(), 1);
        QCOMPARE(f->daten->plz->recordCount(), 3);
        auto* grid = window()->findChild<DbGrid*>(QStringLiteral("DBGrid1"));
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(storedCount(), 3);
    }

    void badLineMissingFileAndCancelAreHandled() {
        f->trigger("PLZ1");
        import("r 51063\r\nL 50667\r\nK\xF6ln\r\nr 51065\r\n"); // Windows-1252
        QCOMPARE(f->dialogs.messages().size(), 1);
        QCOMPARE(f->dialogs.lastMessage().icon, MsgIcon::Error);
        QVERIFY(f->dialogs.lastMessage().text.startsWith(QStringLiteral("Zeile 3 enthält")));
        QVERIFY(f->dialogs.lastMessage().text.contains(QStringLiteral("„Köln“")));
        QVERIFY(f->dialogs.lastMessage().text.contains(QStringLiteral("2 Postleitzahlen")));
        QCOMPARE(f->daten->plz->recordCount(), 2);

        f->dialogs.answerFileName(f->folder.filePath(QStringLiteral("fehlt.txt")));
        window()->findChild<QToolButton*>(QStringLiteral("Import"))->click();
        QCOMPARE(f->dialogs.messages().size(), 2);
        QVERIFY(f->dialogs.lastMessage().text.contains(QStringLiteral("nicht gefunden")));

        f->dialogs.answerFileName(QString()); // cancelled
        window()->findChild<QToolButton*>(QStringLiteral("Import"))->click();
        QCOMPARE(f->dialogs.messages().size(), 2);
        QCOMPARE(storedCount(), 2);
    }
};

QTEST_MAIN(TestPlzEdit)
#include "TestPlzEdit.moc"
