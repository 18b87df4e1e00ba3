#include "support/FakeDialogService.h"
#include "support/TableTestDb.h"

#include "data/DataSource.h"
#include "base/DbError.h"
#include "data/Table.h"
#include "data/ui/DbNavigator.h"

#include <QSqlQuery>
#include <QToolButton>
#include <QtTest>

using namespace kilvaro;
using namespace kilvaro::testing;

class DbNavigatorTest : public QObject {
    Q_OBJECT
private:
    static QString enabledButtons(DbNavigator& nav) {
        QString out;
        for (int i = DbNavigator::First; i <= DbNavigator::Cancel; ++i)
            out += nav.button(DbNavigator::Button(i))->isEnabled() ? QLatin1Char('1')
                                                                   : QLatin1Char('0');
        return out;
    }

private slots:
    void tooltipsAndUnbound() {
        FakeDialogService dialogs;
        DbNavigator nav(&dialogs);
        QCOMPARE(nav.button(DbNavigator::First)->toolTip(), QStringLiteral("Erster Datensatz"));
        QCOMPARE(nav.button(DbNavigator::Next)->toolTip(), QStringLiteral("Nächster Datensatz"));
        QCOMPARE(nav.button(DbNavigator::Delete)->toolTip(), QStringLiteral("Datensatz löschen"));
        QCOMPARE(nav.button(DbNavigator::Cancel)->toolTip(),
                 QStringLiteral("Bearbeitung abbrechen"));
        QVERIFY(!nav.button(DbNavigator::Post)->icon().isNull());
        QCOMPARE(enabledButtons(nav), QStringLiteral("00000000"));
    }

    void enablingFollowsStateAndPosition() {
        TableTestDb db;
        for (int i = 1; i <= 3; ++i)
            db->exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES (?)"),
                     {QStringLiteral("Ort %1").arg(i)});
        Table t(&db.conn(), QStringLiteral("Ortsliste"));
        DataSource source(&t);
        FakeDialogService dialogs;
        DbNavigator nav(&dialogs);
        nav.setDataSource(&source);
        QCOMPARE(enabledButtons(nav), QStringLiteral("00000000"));
        t.open();
        //                                     F P N L I D S C
        QCOMPARE(enabledButtons(nav), QStringLiteral("00111100"));
        nav.click(DbNavigator::Next);
        QCOMPARE(t.recNo(), 1);
        QCOMPARE(enabledButtons(nav), QStringLiteral("11111100"));
        nav.click(DbNavigator::Last);
        QCOMPARE(enabledButtons(nav), QStringLiteral("11001100"));
        nav.click(DbNavigator::Insert);
        QCOMPARE(t.state(), TableState::Insert);
        QCOMPARE(enabledButtons(nav).mid(6), QStringLiteral("11"));
        t.setValue(QStringLiteral("Ort"), QStringLiteral("Neu"));
        nav.click(DbNavigator::Post);
        QCOMPARE(t.state(), TableState::Browse);
        QCOMPARE(t.recordCount(), 4);
        nav.setDataSource(nullptr);
        QCOMPARE(enabledButtons(nav), QStringLiteral("00000000"));
    }

    void deleteAsksFirst() {
        TableTestDb db;
        db->exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES ('A'), ('B')"));
        Table t(&db.conn(), QStringLiteral("Ortsliste"));
        t.open();
        DataSource source(&t);
        FakeDialogService dialogs;
        DbNavigator nav(&dialogs);
        nav.setDataSource(&source);
        dialogs.answerNext(MsgResult::No);
        nav.click(DbNavigator::Delete);
        QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("Datensatz löschen?")});
        QCOMPARE(dialogs.messages().first().icon, MsgIcon::Question);
        QCOMPARE(t.recordCount(), 2);
        dialogs.answerNext(MsgResult::Yes);
        nav.click(DbNavigator::Delete);
        QCOMPARE(dialogs.messages().size(), 2);
        QCOMPARE(dialogs.pendingAnswers(), 0);
        QCOMPARE(t.recordCount(), 1);
        QCOMPARE(t.value(QStringLiteral("Ort")).toString(), QStringLiteral("B"));
    }

    void refusalIsShownAsError() {
        TableTestDb db;
        Table t(&db.conn(), QStringLiteral("Ortsliste"));
        t.open();
        t.beforePost = [](Table&) { throw DbError(QStringLiteral("Bitte einen Ort eingeben.")); };
        DataSource source(&t);
        FakeDialogService dialogs;
        DbNavigator nav(&dialogs);
        nav.setDataSource(&source);
        nav.click(DbNavigator::Insert);
        nav.click(DbNavigator::Post);
        QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("Bitte einen Ort eingeben.")});
        QCOMPARE(dialogs.messages().first().icon, MsgIcon::Error);
        QCOMPARE(t.state(), TableState::Insert);
        // A quiet abort shows nothing.
        t.beforePost = [](Table&) { throw AbortError(); };
        nav.click(DbNavigator::Post);
        QCOMPARE(dialogs.messages().size(), 1);
        nav.click(DbNavigator::Cancel);
        QVERIFY(t.isEmpty());
    }
};

QTEST_MAIN(DbNavigatorTest)
#include "DbNavigatorTest.moc"
