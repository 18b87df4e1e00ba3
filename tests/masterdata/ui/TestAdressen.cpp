// The address window opened from the main window: one instance switched between funeral
// directors and helpers, the navigator binding, new rows numbered per kind, the tab rule
// and the pending edit stored on close.
#include "MasterDataWindowFixture.h"

#include "base/DbError.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "masterdata/ui/TForm_Adressen.h"
#include "masterdata/ui/TForm_Preisliste.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTabBar>
#include <QToolButton>

using namespace kilvaro;
using kilvaro::testing::MasterDataWindowFixture;

class TestAdressen : public QObject {
    Q_OBJECT

    std::unique_ptr<MasterDataWindowFixture> f;

    void addAddress(int id, int typ, const QString& name) {
        f->db().exec(
            QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Aktiv) VALUES (?, ?, ?, 1)"),
            {id, typ, name});
    }
    TForm_Adressen* window() const { return qobject_cast<TForm_Adressen*>(f->activeChild()); }
    template <class W> W* child(const char* name) const {
        W* w = window()->findChild<W*>(QLatin1String(name));
        if (!w)
            qWarning("missing control %s", name);
        return w;
    }
    QStringList namesShown() const {
        Table* t = window()->adresse();
        QStringList names;
        for (int i = 0; i < t->recordCount(); ++i)
            names << t->valueAt(i, QStringLiteral("Name")).toString();
        return names;
    }
    QVariant stored(const QString& sql) {
        QSqlQuery q = f->db().exec(sql);
        return q.next() ? q.value(0) : QVariant();
    }

private slots:
    void init() {
        f = std::make_unique<MasterDataWindowFixture>();
        addAddress(1, 1, QStringLiteral("Zander"));
        addAddress(2, 1, QStringLiteral("Arndt"));
        addAddress(1000, 0, QStringLiteral("Berg"));
    }
    void cleanup() { f.reset(); }

    void menuOpensOneWindowSwitchedInPlace() {
        f->trigger("Bestatter1");
        QCOMPARE(f->subWindows().size(), 1);
        TForm_Adressen* w = window();
        QVERIFY(w);
        QCOMPARE(w->objectName(), QStringLiteral("Form_Adressen"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Bestattungsunternehmen"));
        QVERIFY(f->subWindows().first()->isMaximized());
        QCOMPARE(child<QLabel>("InhaberLabel")->text(), QStringLiteral("Inhaber"));
        QCOMPARE(namesShown(), QStringList({"Arndt", "Zander"}));

        f->trigger("Aushilfen1");
        QCOMPARE(f->subWindows().size(), 1);
        QCOMPARE(window(), w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Aushilfskräfte"));
        QCOMPARE(child<QLabel>("InhaberLabel")->text(), QStringLiteral("Geburtsdatum"));
        QCOMPARE(namesShown(), QStringList({"Berg"}));
        QVERIFY(w->helperMode());

        f->main->findChild<QToolButton*>("bestatterbutton")->click();
        QCOMPARE(f->subWindows().size(), 1);
        QCOMPARE(w->windowTitle(), QStringLiteral("Bestattungsunternehmen"));
        QCOMPARE(namesShown(), QStringList({"Arndt", "Zander"}));
        f->main->findChild<QToolButton*>("hilfskraftbutton")->click();
        QCOMPARE(namesShown(), QStringList({"Berg"}));

        // Closed, the reference empties and the next command creates a new window.
        f->subWindows().first()->close();
        MasterDataWindowFixture::settle();
        QVERIFY(f->subWindows().isEmpty());
        QVERIFY(!f->main->navigator()->dataSource());
        f->trigger("Aushilfen1");
        QCOMPARE(f->subWindows().size(), 1);
        QCOMPARE(namesShown(), QStringList({"Berg"}));
    }

    void controlsCarryTheirCaptions() {
        f->trigger("Bestatter1");
        QStringList labels;
        for (QLabel* l : window()->findChildren<QLabel*>())
            labels << l->text();
        for (const char* text : {"ID:", "Anrede", "Vorname", "Name", "Inhaber",
                                 "Geschäfts- bezeichnung", "Straße", "PLZ", "Ort", "Vertragsnr",
                                 "Telefon 1", "Telefon 2", "Privat", "Mobil", "Tarifgruppe:"})
            QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
        QCOMPARE(child<QCheckBox>("OhneRP")->text(), QStringLiteral("keine Rec-Prüfung"));
        QCOMPARE(child<QCheckBox>("Gutschrift")->text(), QStringLiteral("Gutschrift"));
        QCOMPARE(child<QCheckBox>("Aktiv")->text(), QStringLiteral("aktiv"));
        QCOMPARE(child<QCheckBox>("BigR")->text(), QStringLiteral("Sonderrechnung"));
        auto* tabs = child<QTabBar>("Bearbeiten");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Anzeige"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Bearbeiten"));
        auto* grid = child<DbGrid>("Anzeige");
        QCOMPARE(grid->model()->columnCount(), 3);
        QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("Telefon"));
        QVERIFY(child<QLineEdit>("Edit_ID")->isReadOnly());
    }

    void tabDecidesWhetherThePanelIsEnabled() {
        f->trigger("Bestatter1");
        auto* panel = child<QFrame>("Eingabefeld");
        auto* tabs = child<QTabBar>("Bearbeiten");
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!panel->isEnabled());
        tabs->setCurrentIndex(1);
        QVERIFY(panel->isEnabled());
        tabs->setCurrentIndex(0);
        QVERIFY(!panel->isEnabled());
    }

    void navigatorFollowsTheActiveWindow() {
        f->trigger("Bestatter1");
        TForm_Adressen* w = window();
        QCOMPARE(f->main->navigator()->dataSource(), w->adresseSource());
        f->trigger("Preisliste1");
        QCOMPARE(f->main->navigator()->dataSource(), f->daten->PreisQuelle);
        f->trigger("Bestatter1");
        QCOMPARE(f->main->navigator()->dataSource(), w->adresseSource());
    }

    void newFuneralDirectorIsNumberedAndStoredOnClose() {
        for (int id = 3; id <= 57; ++id)
            addAddress(id, 1, QStringLiteral("B%1").arg(id));
        addAddress(1001, 0, QStringLiteral("Kuhn"));
        f->trigger("Bestatter1");
        f->main->navigator()->click(DbNavigator::Insert);
        QVERIFY(f->dialogs.messages().isEmpty());
        QCOMPARE(child<QTabBar>("Bearbeiten")->currentIndex(), 1);
        QVERIFY(child<QFrame>("Eingabefeld")->isEnabled());
        QCOMPARE(child<QLineEdit>("Edit_ID")->text(), QStringLiteral("58"));

        auto* name = child<QLineEdit>("Edit_Name");
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("Özdemir Bestattungen"));
        // Closing with the text still in the field stores the row.
        f->subWindows().first()->close();
        MasterDataWindowFixture::settle();
        QVERIFY(f->subWindows().isEmpty());
        QCOMPARE(stored("SELECT Typ FROM ADRESSEN WHERE ID = 58").toInt(), 1);
        QCOMPARE(stored("SELECT Name FROM ADRESSEN WHERE ID = 58").toString(),
                 QStringLiteral("Özdemir Bestattungen"));
        QVERIFY(f->dialogs.messages().isEmpty());
    }

    void firstNewHelperGetsTheFirstHelperNumber() {
        f->db().exec(QStringLiteral("DELETE FROM ADRESSEN WHERE Typ = 0"));
        f->trigger("Aushilfen1");
        f->main->navigator()->click(DbNavigator::Insert);
        QCOMPARE(child<QLineEdit>("Edit_ID")->text(), QStringLiteral("1000"));
        window()->adresse()->setValue(QStringLiteral("Name"), QStringLiteral("Neu"));
        f->main->navigator()->click(DbNavigator::Post);
        QCOMPARE(stored("SELECT Typ FROM ADRESSEN WHERE Name = 'Neu'").toInt(), 0);
        QCOMPARE(stored("SELECT ID FROM ADRESSEN WHERE Name = 'Neu'").toInt(), 1000);
    }

    void thousandthFuneralDirectorIsRefusedAndNothingIsStored() {
        f->db().exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < 999) "
            "INSERT INTO ADRESSEN (ID, Typ, Name) SELECT i, 1, 'B' || i FROM n"));
        f->trigger("Bestatter1");
        const int before = window()->adresse()->recordCount();
        f->main->navigator()->click(DbNavigator::Insert);
        QCOMPARE(f->dialogs.messages().size(), 1);
        QVERIFY(f->dialogs.lastMessage().text.contains(QStringLiteral("kein weiterer Bestatter")));
        QVERIFY(!window()->adresse()->isEditing());
        QCOMPARE(window()->adresse()->recordCount(), before);
        QCOMPARE(stored("SELECT count(*) FROM ADRESSEN").toInt(), 1000);
    }

    void refusedStoreOnCloseKeepsTheWindowOpen() {
        f->trigger("Bestatter1");
        f->main->navigator()->click(DbNavigator::Insert);
        QCOMPARE(child<QLineEdit>("Edit_ID")->text(), QStringLiteral("3"));
        // Another instance takes the number meanwhile.
        addAddress(3, 1, QStringLiteral("Anderswo"));
        window()->adresse()->setValue(QStringLiteral("Name"), QStringLiteral("Hier"));
        f->subWindows().first()->close();
        MasterDataWindowFixture::settle();
        QCOMPARE(f->subWindows().size(), 1);
        QCOMPARE(f->dialogs.lastMessage().icon, MsgIcon::Error);
        QVERIFY(window()->adresse()->isEditing());
        QCOMPARE(window()->adresse()->value(QStringLiteral("Name")).toString(),
                 QStringLiteral("Hier"));
        window()->adresse()->cancel();
    }
};

QTEST_MAIN(TestAdressen)
#include "TestAdressen.moc"
