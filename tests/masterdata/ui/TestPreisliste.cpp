// The price-list window opened from the main window: single instance from menu and tool
// button, the shared navigator, an entry being typed stored on close, and no window without
// a database.
#include "MasterDataWindowFixture.h"

#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "masterdata/ui/TForm_Preisliste.h"

#include <QLineEdit>
#include <QSqlQuery>
#include <QToolButton>

using namespace kilvaro;
using kilvaro::testing::MasterDataWindowFixture;

class TestPreisliste : public QObject {
    Q_OBJECT

    std::unique_ptr<MasterDataWindowFixture> f;

    QStringList storedPlaces() {
        QStringList places;
        QSqlQuery q = f->db().exec(QStringLiteral("SELECT Ort FROM Preisliste ORDER BY Id"));
        while (q.next())
            places << q.value(0).toString();
        return places;
    }

private slots:
    void init() { f = std::make_unique<MasterDataWindowFixture>(); }
    void cleanup() { f.reset(); }

    void menuAndToolButtonOpenOneMaximisedWindow() {
        f->trigger("Preisliste1");
        f->main->findChild<QToolButton*>(QStringLiteral("ToolButton6"))->click();
        QCOMPARE(f->subWindows().size(), 1);
        auto* w = qobject_cast<TForm_Preisliste*>(f->activeChild());
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Preisliste"));
        QVERIFY(f->subWindows().first()->isMaximized());
        auto* grid = w->findChild<DbGrid*>(QStringLiteral("DBGrid1"));
        QStringList titles;
        for (int i = 0; i < grid->model()->columnCount(); ++i)
            titles << grid->model()->headerData(i, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"Ort", "Entfernung", "Richtpreis"}));
        QCOMPARE(f->main->navigator()->dataSource(), f->daten->PreisQuelle);
    }

    void entryBeingTypedIsStoredOnClose() {
        f->trigger("Preisliste1");
        f->main->navigator()->click(DbNavigator::Insert);
        Table* t = f->daten->Preistab;
        t->setValue(QStringLiteral("Ort"), QStringLiteral("Köln - Düren"));
        t->setValue(QStringLiteral("Richtpreis"), 185.5);
        f->subWindows().first()->close();
        MasterDataWindowFixture::settle();
        QVERIFY(f->subWindows().isEmpty());
        QVERIFY(!f->main->navigator()->dataSource());
        QSqlQuery q =
            f->db().exec(QStringLiteral("SELECT Ort, Richtpreis, Entfernung FROM Preisliste"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Köln - Düren"));
        QCOMPARE(q.value(1).toDouble(), 185.5);
        QVERIFY(q.value(2).isNull());
        QVERIFY(f->dialogs.messages().isEmpty());
    }

    // The grid is the window's only editor: what is typed into a cell counts as typed into
    // the row, whether the window is closed or the navigator stores the row.
    void textInAnOpenGridCellIsStored() {
        f->trigger("Preisliste1");
        auto* w = qobject_cast<TForm_Preisliste*>(f->activeChild());
        auto* grid = w->findChild<DbGrid*>(QStringLiteral("DBGrid1"));
        Table* t = f->daten->Preistab;

        auto typeIntoCell = [&](int column, const QString& text) {
            const QModelIndex cell = grid->model()->index(t->recNo(), column);
            grid->setCurrentIndex(cell);
            grid->edit(cell);
            QLineEdit* editor = nullptr;
            for (auto* e : grid->viewport()->findChildren<QLineEdit*>())
                if (!e->isHidden())
                    editor = e;
            QVERIFY(editor);
            editor->selectAll();
            editor->insert(text); // as typed; key clicks know no umlauts
        };

        // Stored with the navigator while the cell editor is still open.
        f->main->navigator()->click(DbNavigator::Insert);
        typeIntoCell(0, QStringLiteral("Bonn - Siegburg"));
        f->main->navigator()->click(DbNavigator::Post);
        QVERIFY(!t->isEditing());
        QCOMPARE(storedPlaces(), QStringList({"Bonn - Siegburg"}));

        // Closing the window while a new entry's cell is open.
        f->main->navigator()->click(DbNavigator::Insert);
        typeIntoCell(0, QStringLiteral("Köln - Düren"));
        f->subWindows().first()->close();
        MasterDataWindowFixture::settle();
        QVERIFY(f->subWindows().isEmpty());
        QVERIFY(!t->isEditing());
        QCOMPARE(storedPlaces(), QStringList({"Bonn - Siegburg", "Köln - Düren"}));
        QVERIFY(f->dialogs.messages().isEmpty());
    }

    // A cell text the field refuses stops the store with one message; the window stays
    // open with the text in its cell.
    void refusedTextInAnOpenCellKeepsTheWindow() {
        f->trigger("Preisliste1");
        auto* w = qobject_cast<TForm_Preisliste*>(f->activeChild());
        auto* grid = w->findChild<DbGrid*>(QStringLiteral("DBGrid1"));
        Table* t = f->daten->Preistab;
        f->main->navigator()->click(DbNavigator::Insert);
        t->setValue(QStringLiteral("Ort"), QStringLiteral("Bonn"));
        const QModelIndex cell = grid->model()->index(t->recNo(), 2);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        QLineEdit* editor = nullptr;
        for (auto* e : grid->viewport()->findChildren<QLineEdit*>())
            if (!e->isHidden())
                editor = e;
        QVERIFY(editor);
        editor->setText(QStringLiteral("teuer"));

        f->subWindows().first()->close();
        MasterDataWindowFixture::settle();
        QCOMPARE(f->subWindows().size(), 1);
        QCOMPARE(f->dialogs.messages().size(), 1);
        QCOMPARE(f->dialogs.lastMessage().icon, MsgIcon::Error);
        QVERIFY(t->isEditing());
        QVERIFY(!editor->isHidden());
        QCOMPARE(editor->text(), QStringLiteral("teuer"));
        QVERIFY(storedPlaces().isEmpty());

        editor->setText(QStringLiteral("80,5"));
        f->subWindows().first()->close();
        MasterDataWindowFixture::settle();
        QVERIFY(f->subWindows().isEmpty());
        QSqlQuery q = f->db().exec(QStringLiteral("SELECT Ort, Richtpreis FROM Preisliste"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Bonn"));
        QCOMPARE(q.value(1).toDouble(), 80.5);
    }

    void withoutDatabaseTheWindowsReportItAndStayClosed() {
        f.reset();
        TempProgramFolder folder;
        FakeDialogService dialogs;
        TDaten_A daten(folder.path(), &dialogs); // never connected
        AppContext context;
        context.programFolder = folder.path();
        context.dialogs = &dialogs;
        context.daten = &daten;
        TForm_Main main(context);
        for (const char* name : {"Preisliste1", "Bestatter1", "Aushilfen1", "PLZ1"})
            main.findChild<QAction*>(QLatin1String(name))->trigger();
        QVERIFY(main.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(dialogs.messageTexts(),
                 QStringList(4, QStringLiteral("Es ist keine Datenbank geöffnet.")));
    }
};

QTEST_MAIN(TestPreisliste)
#include "TestPreisliste.moc"
