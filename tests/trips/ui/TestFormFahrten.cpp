// The trip window as a user drives it: opening from the main window, entering a trip with
// funeral director, surcharges, places and the price list, the month filter, bad input, the
// invoice-number and order-number tools, activation and closing.
#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

#include "data/ProgramSetup.h"
#include "app/ui/TForm_Main.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/StoredValue.h"
#include "data/TableModel.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "data/ui/FieldBinding.h"
#include "trips/TripRules.h"
#include "trips/ui/TFAuftragsuche.h"
#include "trips/ui/TForm_Fahrten.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace kilvaro;

namespace {

QString day(int y, int m, int d) {
    return stored::dateText(QDate(y, m, d));
}

void fillMasterData(const QString& folder) {
    ProgramSetup::createDefaults(folder);
    Connection c;
    c.open(ProgramSetup::databasePath(folder));
    c.exec(QStringLiteral("INSERT INTO ADRESSEN (ID, Typ, Name, Tarifgruppe, Aktiv, Gutschrift) "
                          "VALUES (17, 1, 'Zander', 3, 1, 1), (18, 1, 'Arndt', 4, 1, 0), "
                          "(20, 1, 'Alt', 3, 0, 0), (1000, 0, 'Berg', 0, 1, 0)"));
    c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (3, ?, ?, 31), "
                          "(4, ?, ?, 40)"),
           {day(2020, 1, 1), day(2030, 12, 31), day(2019, 1, 1), day(2030, 12, 31)});
    c.exec(QStringLiteral(
        "INSERT INTO Tarif (Id, Mehrwertsteuer, Ankleiden, Nacht, Feiertag, Kuehlung, UHuelle, "
        "Covid19, Waehrung) VALUES (31, 19, 30, 25, 20, 15, 10, 5, 'EUR'), "
        "(40, 7, 40, 35, 0, 0, 0, 0, 'CHF')"));
    c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) VALUES (31, 'Aachen', 95), "
                          "(31, 'Bonn', 60), (31, 'Köln', 80)"));
    c.exec(
        QStringLiteral("INSERT INTO Preisliste (Ort, Richtpreis) VALUES ('Düren - Jülich', 55)"));
}

} // namespace

class TestFormFahrten : public QObject {
    Q_OBJECT

    QTemporaryDir m_settings;
    FakeDialogService dialogs;
    std::unique_ptr<TempProgramFolder> program;
    std::unique_ptr<TDaten_A> daten;
    std::unique_ptr<TForm_Main> main;
    TripRules* rules = nullptr;
    QDate today{2021, 1, 1};

    TForm_Fahrten* openWindow() {
        main->findChild<QAction*>(QStringLiteral("Ueberfuehrungen1"))->trigger();
        return main->findChild<TForm_Fahrten*>();
    }
    Table& trips() { return *daten->Fahrttab; }
    QVariant storedValue(qint64 key, const QString& column) {
        QSqlQuery q = daten->Database->exec(
            QStringLiteral("SELECT \"%1\" FROM Fahrten WHERE rowid = ?").arg(column), {key});
        return q.next() ? q.value(0) : QVariant();
    }
    qint64 addTrip(const QDate& date, int director, const QString& surname, qint64 number,
                   const QVariant& invoice = {}) {
        daten->Database->exec(
            QStringLiteral("INSERT INTO Fahrten (Datum, Bestatter, Personen, AuftragNr, Rechnung, "
                           "Ortspauschale) VALUES (?, ?, ?, ?, ?, 80)"),
            {stored::dateText(date), director, surname, number, invoice});
        QSqlQuery q = daten->Database->exec(QStringLiteral("SELECT last_insert_rowid()"));
        q.next();
        const qint64 key = q.value(0).toLongLong();
        trips().refresh();
        return key;
    }
    void chooseDirector(TForm_Fahrten* w, const QString& name) {
        const int index = w->Bcombo->findText(name);
        QVERIFY(index >= 0);
        w->Bcombo->setCurrentIndex(index);
        emit w->Bcombo->activated(index);
    }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }

    void init() {
        dialogs.clear();
        today = QDate(2021, 1, 1);
        program = std::make_unique<TempProgramFolder>();
        fillMasterData(program->path());
        daten = std::make_unique<TDaten_A>(program->path(), &dialogs);
        daten->DataModuleCreate();
        QVERIFY(daten->isConnected());
        rules = TripRules::install(daten.get(), &dialogs);
        rules->setClock([this] { return QDateTime(today, QTime(11, 0)); });
        AppContext context;
        context.programFolder = program->path();
        context.dialogs = &dialogs;
        context.daten = daten.get();
        main = std::make_unique<TForm_Main>(context);
        main->resize(1280, 800);
        main->show();
    }

    void cleanup() {
        dialogs.setDefaultAnswer(MsgResult::Yes);
        main->closeAllChildWindows();
        dialogs.setDefaultAnswer(std::nullopt);
        main.reset();
        daten.reset();
        program.reset();
    }

    void opensOnceMaximisedWithTheNavigatorBound() {
        TForm_Fahrten* w = openWindow();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Überführung"));
        QCOMPARE(w->objectName(), QStringLiteral("Form_Fahrten"));
        QVERIFY(main->childWindows().subWindowOf(w)->isMaximized());
        QCOMPARE(main->navigator()->dataSource(), daten->Fahrtquelle);
        QVERIFY(daten->AdressTab->filtered());
        QCOMPARE(w->Control->currentIndex(), 0);
        QVERIFY(!w->Eingabefeld->isEnabled());
        QCOMPARE(w->Monatedit->currentText(), QStringLiteral("Januar"));
        QCOMPARE(w->Jahredit->text(), QStringLiteral("2021"));
        QVERIFY(!w->Filtern->isChecked());
        // Active funeral directors only, by name; helpers in their own list.
        QCOMPARE(w->Bcombo->count(), 2);
        QCOMPARE(w->Bcombo->itemText(0), QStringLiteral("Arndt"));
        QCOMPARE(w->Aushilfecombo->count(), 1);

        main->findChild<QToolButton*>(QStringLiteral("ToolButton1"))->click();
        QCOMPARE(main->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(main->findChild<TForm_Fahrten*>(), w);
    }

    void enteringATrip() {
        TForm_Fahrten* w = openWindow();
        main->navigator()->click(DbNavigator::Insert);
        QCOMPARE(w->Control->currentIndex(), 1);
        QVERIFY(w->Eingabefeld->isEnabled());
        QCOMPARE(w->EditDatum->text(), QStringLiteral("01.01.2021"));
        QCOMPARE(w->DBEdit8->text(), QStringLiteral("44197001"));
        QVERIFY(dialogs.messages().isEmpty());

        chooseDirector(w, QStringLiteral("Zander"));
        QCOMPARE(trips().value(QStringLiteral("Bestatter")).toInt(), 17);
        QCOMPARE(w->DBText4->text(), QStringLiteral("17"));
        QVERIFY(w->DBCheckBox1->isChecked()); // Gutschrift copied from the funeral director
        QCOMPARE(daten->Orthaupttab->value(QStringLiteral("ID")).toInt(), 31);
        QCOMPARE(w->DBText2->text(), QStringLiteral("EUR"));

        QTest::mouseClick(w->Nacht, Qt::LeftButton);
        QTest::mouseClick(w->kuehlung, Qt::LeftButton);
        QCOMPARE(w->EditNacht->text(), QStringLiteral("25,00"));
        QCOMPARE(w->EditKuehlung->text(), QStringLiteral("15,00"));

        // The place list next to "Zielort" writes the destination and the place amount.
        QTest::mouseClick(w->SpeedButton3, Qt::LeftButton);
        QVERIFY(w->Ortesuchliste->isVisible());
        QVERIFY(!w->suchgitter->isVisible());
        QVERIFY(w->ListHint->isVisible());
        QCOMPARE(w->ListHint->text(),
                 QStringLiteral("(hier klicken, um Liste ohne Änderung zu schließen)"));
        QCOMPARE(w->Ortesuchliste->tableModel()->rowCount(), 3);
        const QRect cell = w->Ortesuchliste->visualRect(w->Ortesuchliste->model()->index(0, 0));
        QTest::mouseClick(w->Ortesuchliste->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(!w->Ortesuchliste->isVisible());
        QVERIFY(w->suchgitter->isVisible());
        QCOMPARE(w->EditZielort->text(), QStringLiteral("Aachen"));
        QCOMPARE(w->EditOrtspauschale->text(), QStringLiteral("95,00"));
        QVERIFY(w->EditStartort->text().isEmpty());
        // A cheaper start place keeps the amount.
        w->SpeedButton2Click();
        QVERIFY(daten->Ortetab->locate(QStringLiteral("Ort"), QStringLiteral("Bonn")));
        w->OrtesuchlisteClick();
        QCOMPARE(w->EditStartort->text(), QStringLiteral("Bonn"));
        QCOMPARE(w->EditOrtspauschale->text(), QStringLiteral("95,00"));
        QCOMPARE(w->DBText3->text(), QStringLiteral("135,00"));

        // Typing and Enter store the trip.
        w->EditPersonen->setFocus();
        QTest::keyClicks(w->EditPersonen, QStringLiteral("Meier"));
        QTest::keyClick(w->EditPersonen, Qt::Key_Return);
        QCOMPARE(trips().state(), TableState::Browse);
        QVERIFY2(dialogs.messages().isEmpty(), "a trip with a price: no warning");
        QCOMPARE(w->Control->currentIndex(), 0);
        QVERIFY(!w->Eingabefeld->isEnabled());
        const qint64 key = trips().currentKey();
        QCOMPARE(storedValue(key, QStringLiteral("Personen")).toString(), QStringLiteral("Meier"));
        QCOMPARE(storedValue(key, QStringLiteral("Ortspauschale")).toDouble(), 95.0);
        QCOMPARE(storedValue(key, QStringLiteral("Nacht")).toDouble(), 25.0);
        QCOMPARE(storedValue(key, QStringLiteral("Gutschrift")).toBool(), true);

        // The grid shows the row.
        TableModel* model = w->suchgitter->tableModel();
        QCOMPARE(model->rowCount(), 1);
        QStringList shown;
        for (int c = 0; c < model->columnCount(); ++c)
            shown << model->data(model->index(0, c)).toString();
        QCOMPARE(shown, (QStringList{"01.01.2021", "44197001", "Zander", "Bonn", "Aachen", "Meier",
                                     "", "", ""}));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Bestatter"));
        QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Nachname"));
    }

    void priceListAndListHint() {
        TForm_Fahrten* w = openWindow();
        main->navigator()->click(DbNavigator::Insert);
        trips().setValue(QStringLiteral("Ortspauschale"), 120);
        w->PreislisteButtonClick();
        QVERIFY(w->Preislistegitter->isVisible());
        QVERIFY(!w->suchgitter->isVisible());
        // A click on the hint closes the list without a change.
        QTest::mouseClick(w->ListHint, Qt::LeftButton);
        QVERIFY(!w->Preislistegitter->isVisible());
        QVERIFY(w->suchgitter->isVisible());
        QCOMPARE(trips().value(QStringLiteral("Ortspauschale")).toDouble(), 120.0);

        w->PreislisteButtonClick();
        daten->Preistab->first();
        w->PreislistegitterClick();
        QCOMPARE(w->EditStartort->text(), QStringLiteral("Düren - Jülich"));
        QCOMPARE(w->EditOrtspauschale->text(), QStringLiteral("55,00"));

        // "Fahrt in Preisliste" adds start and destination with the place amount.
        trips().setValue(QStringLiteral("Zielort"), QStringLiteral("Bonn"));
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
        QCOMPARE(dialogs.lastMessage().text,
                 QStringLiteral("Die Daten sind in der Preisliste eingetragen worden!"));
        QSqlQuery q = daten->Database->exec(QStringLiteral(
            "SELECT Richtpreis FROM Preisliste WHERE Ort = 'Düren - Jülich - Bonn'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), 55.0);
    }

    // With no trip in the month there is nothing to enter: no empty row, no success text.
    void tripToPriceListWithoutATripStoresNothing() {
        TForm_Fahrten* w = openWindow();
        QCOMPARE(trips().recordCount(), 0);
        const auto priceRows = [this] {
            QSqlQuery q = daten->Database->exec(QStringLiteral("SELECT count(*) FROM Preisliste"));
            return q.next() ? q.value(0).toInt() : -1;
        };
        const int before = priceRows();
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
        QCOMPARE(dialogs.lastMessage().text,
                 QStringLiteral("Es ist keine Überführung ausgewählt."));
        QCOMPARE(dialogs.lastMessage().icon, MsgIcon::Error);
        QCOMPARE(priceRows(), before);
        QCOMPARE(daten->Preistab->state(), TableState::Browse);
    }

    void monthFilter() {
        TForm_Fahrten* w = openWindow();
        addTrip(QDate(2021, 12, 3), 17, QStringLiteral("Dez"), 44533001);
        addTrip(QDate(2022, 1, 2), 17, QStringLiteral("Jan"), 44563001);
        w->Monatedit->setCurrentIndex(11);
        emit w->Monatedit->activated(11);
        QVERIFY(w->Filtern->isChecked());
        QCOMPARE(trips().filter(),
                 QStringLiteral("Datum >= #12/01/2021# and Datum < #01/01/2022#"));
        QVERIFY(trips().filtered());
        QCOMPARE(trips().recordCount(), 1);
        QCOMPARE(w->UpDown2->value(), 11);

        // The year's arrows and a typed year apply at once.
        w->UpDown1->setValue(2022);
        QCOMPARE(w->Jahredit->text(), QStringLiteral("2022"));
        QCOMPARE(trips().filter(),
                 QStringLiteral("Datum >= #12/01/2022# and Datum < #01/01/2023#"));
        w->UpDown2->setValue(0);
        QCOMPARE(w->Monatedit->currentText(), QStringLiteral("Januar"));
        QCOMPARE(trips().filter(),
                 QStringLiteral("Datum >= #01/01/2022# and Datum < #02/01/2022#"));
        QCOMPARE(trips().recordCount(), 1);

        // A year that is no number: message, the filter stays.
        const QString before = trips().filter();
        w->Jahredit->setText(QStringLiteral("20x2"));
        emit w->Jahredit->editingFinished();
        QCOMPARE(dialogs.lastMessage().text,
                 QStringLiteral("'20x2' ist kein gültiger ganzzahliger Wert."));
        QCOMPARE(dialogs.lastMessage().icon, MsgIcon::Error);
        QCOMPARE(trips().filter(), before);
        QVERIFY(trips().filtered());
        w->Jahredit->setText(QStringLiteral("2022"));

        // A month text not in the list counts as January, the following month as well.
        w->Monatedit->setEditText(QStringLiteral("Brumaire"));
        w->MonateditChange();
        QCOMPARE(trips().filter(),
                 QStringLiteral("Datum >= #01/01/2022# and Datum < #01/01/2022#"));
        QCOMPARE(trips().recordCount(), 0);

        // Unchecking shows all trips; passing through the month field leaves it so; inserting
        // unchecks too.
        w->Filtern->click();
        QVERIFY(!trips().filtered());
        QCOMPARE(trips().recordCount(), 2);
        emit w->Monatedit->lineEdit()->editingFinished();
        QVERIFY(!trips().filtered());
        QTest::keyClicks(w->Monatedit->lineEdit(), QStringLiteral("x"));
        w->Monatedit->setEditText(QStringLiteral("März"));
        emit w->Monatedit->lineEdit()->editingFinished();
        QCOMPARE(trips().filter(),
                 QStringLiteral("Datum >= #03/01/2022# and Datum < #04/01/2022#"));
        w->Filtern->click();
        w->Monatedit->setCurrentIndex(11);
        emit w->Monatedit->activated(11);
        QVERIFY(trips().filtered());
        main->navigator()->click(DbNavigator::Insert);
        QVERIFY(!w->Filtern->isChecked());
        QVERIFY(!trips().filtered());
        QCOMPARE(trips().recordCount(), 3);
    }

    void badInputIsRefusedAndNothingWrongStored() {
        TForm_Fahrten* w = openWindow();
        main->navigator()->click(DbNavigator::Insert);
        const qint64 key = trips().currentKey();
        const struct {
            QLineEdit* edit;
            const char* text;
            const char* message;
        } cases[] = {{w->EditDatum, "31.02.2021", "'31.02.2021' ist kein gültiges Datum."},
                     {w->editZeit, "25:70", "'25:70' ist keine gültige Uhrzeit."},
                     {w->DBEdit8, "12a", "'12a' ist kein gültiger ganzzahliger Wert."},
                     {w->EditNacht, "viel", "'viel' ist kein gültiger Gleitkommawert."}};
        for (const auto& c : cases) {
            dialogs.clear();
            c.edit->setFocus();
            c.edit->selectAll();
            QTest::keyClicks(c.edit, QString::fromUtf8(c.text));
            QTest::keyClick(c.edit, Qt::Key_Return);
            QCOMPARE(dialogs.messageTexts(), QStringList{QString::fromUtf8(c.message)});
            QCOMPARE(trips().state(), TableState::Edit);
        }
        QCOMPARE(storedValue(key, QStringLiteral("Datum")).toString(), day(2021, 1, 1));
        QCOMPARE(storedValue(key, QStringLiteral("AuftragNr")).toLongLong(), 44197001LL);
        QVERIFY(storedValue(key, QStringLiteral("Zeit")).isNull());
        // The refused texts stay for correcting until the edit is dropped.
        QCOMPARE(w->EditNacht->text(), QStringLiteral("viel"));
        QTest::keyClick(w->EditNacht, Qt::Key_Escape);
        QCOMPARE(trips().state(), TableState::Browse);
        QCOMPARE(w->EditDatum->text(), QStringLiteral("01.01.2021"));
        w->Control->setCurrentIndex(1); // back to "Bearbeiten"

        // A good time and a German amount are taken with Enter; Escape drops an edit.
        dialogs.clear();
        w->editZeit->setFocus();
        w->editZeit->selectAll();
        QTest::keyClicks(w->editZeit, QStringLiteral("9:45"));
        QVERIFY(w->findChild<FieldBinding*>() != nullptr);
        w->EditAnkleiden->setFocus();
        QTest::keyClicks(w->EditAnkleiden, QStringLiteral("12,5"));
        QTest::keyClick(w->EditAnkleiden, Qt::Key_Return);
        QCOMPARE(trips().state(), TableState::Browse);
        QCOMPARE(w->EditAnkleiden->text(), QStringLiteral("12,50"));
        QCOMPARE(w->editZeit->text(), QStringLiteral("09:45"));
        QCOMPARE(storedValue(key, QStringLiteral("Ankleiden")).toDouble(), 12.5);
        QVERIFY(dialogs.messages().isEmpty());

        w->Control->setCurrentIndex(1); // the user picks "Bearbeiten"
        QVERIFY(w->Eingabefeld->isEnabled());
        w->EditAnkleiden->setFocus();
        w->EditAnkleiden->selectAll();
        QTest::keyClicks(w->EditAnkleiden, QStringLiteral("99"));
        QCOMPARE(trips().state(), TableState::Edit);
        QTest::keyClick(w->EditAnkleiden, Qt::Key_Escape);
        QCOMPARE(trips().state(), TableState::Browse);
        QCOMPARE(w->EditAnkleiden->text(), QStringLiteral("12,50"));
        QCOMPARE(storedValue(key, QStringLiteral("Ankleiden")).toDouble(), 12.5);

        // Two-digit years, seen from the rules' today (2021), and a German thousands point.
        const struct {
            QLineEdit* edit;
            const char* field;
            const char* typed;
            QVariant value;
        } typed[] = {
            {w->EditDatum, "Datum", "1.3.21", QDateTime(QDate(2021, 3, 1), QTime(0, 0))},
            {w->EditDatum, "Datum", "01.03.99", QDateTime(QDate(1999, 3, 1), QTime(0, 0))},
            {w->EditNacht, "Nacht", "1.500", 1500.0},
        };
        for (const auto& c : typed) {
            w->Control->setCurrentIndex(1);
            c.edit->setFocus();
            c.edit->selectAll();
            QTest::keyClicks(c.edit, QString::fromUtf8(c.typed));
            QVERIFY(c.edit->findChild<FieldBinding*>()->commit());
            QCOMPARE(trips().value(QString::fromLatin1(c.field)), c.value);
            QTest::keyClick(c.edit, Qt::Key_Escape);
        }
        QVERIFY(dialogs.messages().isEmpty());
    }

    void invoiceNumberTools() {
        TForm_Fahrten* w = openWindow();
        const qint64 key = addTrip(today, 17, QStringLiteral("Meier"), 44197001, 1234);
        trips().last();
        QCOMPARE(w->DBText1->text(), QStringLiteral("1234"));

        // "Einzel-Rechnung" refuses an invoiced trip; the display keeps updating.
        int opened = 0;
        w->openInvoiceDialog = [&] { ++opened; };
        QTest::mouseClick(w->BTRechnung, Qt::LeftButton);
        QCOMPARE(dialogs.lastMessage().text,
                 QStringLiteral("Diese Überführung ist schon in der Rechnung 1234 aufgeführt!"));
        QCOMPARE(dialogs.lastMessage().icon, MsgIcon::Error);
        QCOMPARE(dialogs.lastMessage().buttons, MsgButtons::Cancel);
        QCOMPARE(opened, 0);
        QVERIFY(!trips().controlsDisabled());

        // Manual change: a text that is no number is refused and nothing stored.
        dialogs.clear();
        dialogs.answerNext(MsgResult::Yes);
        dialogs.answerInput(QStringLiteral("12x"));
        w->guarded([w] { w->SpeedButton4Click(); });
        QCOMPARE(dialogs.inputPrompts(), QStringList{QStringLiteral("Rec-Nr:")});
        QCOMPARE(dialogs.lastMessage().text,
                 QStringLiteral("'12x' ist kein gültiger ganzzahliger Wert."));
        QCOMPARE(storedValue(key, QStringLiteral("Rechnung")).toLongLong(), 1234LL);
        trips().cancel();
        dialogs.answerNext(MsgResult::Yes);
        dialogs.answerInput(QStringLiteral("4711"));
        w->SpeedButton4Click();
        QCOMPARE(storedValue(key, QStringLiteral("Rechnung")).toLongLong(), 4711LL);

        // The mark of a trip whose invoice is booked stays, and the trip shows it again;
        // once that invoice is cancelled, its trips may be freed.
        daten->Database->exec(
            QStringLiteral("INSERT INTO Rechnung (RecNr, Kunde, Datum, Gebucht) VALUES (4711, 17, "
                           "'2021-01-02 00:00:00', 1)"));
        dialogs.answerNext(MsgResult::Yes);
        QTest::mouseDClick(w->LRechnung, Qt::LeftButton);
        QVERIFY(dialogs.lastMessage().text.startsWith(
            QStringLiteral("Die Überführung gehört zu einer gebuchten Rechnung")));
        QCOMPARE(storedValue(key, QStringLiteral("Rechnung")).toLongLong(), 4711LL);
        QCOMPARE(w->DBText1->text(), QStringLiteral("4711"));
        trips().cancel();
        daten->Database->exec(QStringLiteral("UPDATE Rechnung SET Storniert = 1"));

        // Double-click on the label clears it after a Yes; No keeps it.
        dialogs.answerNext(MsgResult::No);
        QTest::mouseDClick(w->LRechnung, Qt::LeftButton);
        QCOMPARE(storedValue(key, QStringLiteral("Rechnung")).toLongLong(), 4711LL);
        dialogs.answerNext(MsgResult::Yes);
        QTest::mouseDClick(w->LRechnung, Qt::LeftButton);
        QVERIFY(storedValue(key, QStringLiteral("Rechnung")).isNull());
        QCOMPARE(dialogs.lastMessage().text,
                 QStringLiteral("Wollen Sie die Rechnungsnummer wirklich löschen?"));

        // An open trip opens the invoice dialog; the next activation only says "OK".
        dialogs.clear();
        QTest::mouseClick(w->BTRechnung, Qt::LeftButton);
        QCOMPARE(opened, 1);
        QVERIFY(w->InvoiceDialogOpened);
        QVERIFY(!trips().controlsDisabled());
        trips().first();
        w->FormActivate();
        QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("OK")});
        w->FormActivate();
        QCOMPARE(dialogs.messageTexts().size(), 1);
        QCOMPARE(trips().recNo(), trips().recordCount() - 1);

        // The hidden bulk clear empties every invoice number of the set.
        addTrip(today, 18, QStringLiteral("Otto"), 44197002, 99);
        addTrip(today, 18, QStringLiteral("Paul"), 44197003, 98);
        dialogs.setDefaultAnswer(MsgResult::Yes);
        w->SpeedButton6Click();
        dialogs.setDefaultAnswer(std::nullopt);
        QSqlQuery q = daten->Database->exec(
            QStringLiteral("SELECT count(*) FROM Fahrten WHERE Rechnung IS NOT NULL"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);

        // A failure halfway through the bulk clear leaves every invoice number as it was.
        daten->Database->exec(QStringLiteral("UPDATE Fahrten SET Rechnung = 7"));
        daten->Database->exec(QStringLiteral(
            "CREATE TRIGGER fail_paul BEFORE UPDATE ON Fahrten WHEN OLD.Personen = 'Paul' "
            "BEGIN SELECT RAISE(ABORT, 'kaputt'); END"));
        trips().refresh();
        dialogs.answerNext(MsgResult::Yes);
        bool failed = false;
        try {
            w->SpeedButton6Click();
        } catch (const DbError&) {
            failed = true;
        }
        QVERIFY(failed);
        daten->Database->exec(QStringLiteral("DROP TRIGGER fail_paul"));
        QSqlQuery left = daten->Database->exec(
            QStringLiteral("SELECT count(*) FROM Fahrten WHERE Rechnung IS NOT 7"));
        QVERIFY(left.next());
        QCOMPARE(left.value(0).toInt(), 0);
        QVERIFY(!trips().isEditing());
        QVERIFY(!trips().controlsDisabled());
    }

    void invoiceDialogThenBackInTheFrame() {
        TForm_Fahrten* w = openWindow();
        addTrip(today, 17, QStringLiteral("Erste"), 44197001);
        addTrip(today, 17, QStringLiteral("Zweite"), 44197002);
        trips().first();
        dialogs.clear();
        // The dialog is a window of its own; the frame is active again once it closes.
        w->openInvoiceDialog = [this] {
            QDialog dialog(main.get());
            QTimer::singleShot(0, &dialog, &QDialog::accept);
            dialog.exec();
            QEvent activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(main.get(), &activate);
        };
        QTest::mouseClick(w->BTRechnung, Qt::LeftButton);
        QCoreApplication::processEvents();
        // That is the window's next activation: "OK" once, the trip stays current and the
        // navigator stays with the trips.
        QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("OK")});
        QVERIFY(!w->InvoiceDialogOpened);
        QCOMPARE(trips().recNo(), 0);
        QCOMPARE(main->navigator()->dataSource(), daten->Fahrtquelle);
        QVERIFY(daten->AdressTab->filtered());
        // Further activations of the frame change nothing.
        QEvent again(QEvent::WindowActivate);
        QCoreApplication::sendEvent(main.get(), &again);
        QCoreApplication::processEvents();
        QCOMPARE(dialogs.messageTexts().size(), 1);
        QCOMPARE(trips().recNo(), 0);
    }

    void orderNumberTools() {
        TForm_Fahrten* w = openWindow();
        const qint64 earlier =
            addTrip(QDate(2020, 12, 30), 17, QStringLiteral("O'Brien"), 44195004);
        const qint64 other = addTrip(QDate(2020, 12, 30), 17, QStringLiteral("O'Briens"), 44195004);
        addTrip(QDate(2020, 12, 30), 18, QStringLiteral("O'Brien"), 44195005);
        main->navigator()->click(DbNavigator::Insert);
        const qint64 current = trips().currentKey();
        trips().setValue(QStringLiteral("Bestatter"), 17);
        trips().setValue(QStringLiteral("Personen"), QStringLiteral("O'Brien-Smith"));
        trips().setValue(QStringLiteral("Ortspauschale"), 80);

        // The search lists the same funeral director's trips whose surname starts alike
        // (a quote in the name is just a character).
        int listed = -1;
        w->execTripSearch = [&](TFAuftragsuche& search) {
            listed = search.rowCount();
            search.selectRow(0);
            return true;
        };
        w->AnrZuordnenClick();
        QCOMPARE(listed, 2);
        QCOMPARE(dialogs.lastMessage().text,
                 QStringLiteral("update fahrten set anrlock=true where auftragnr=44195004"));
        QCOMPARE(storedValue(current, QStringLiteral("AuftragNr")).toLongLong(), 44195004LL);
        for (qint64 key : {current, earlier, other})
            QVERIFY(storedValue(key, QStringLiteral("ANRLock")).toBool());
        QCOMPARE(w->Control->currentIndex(), 1);

        // Cancelled search: nothing changes.
        w->execTripSearch = [](TFAuftragsuche&) { return false; };
        w->AnrZuordnenClick();
        QCOMPARE(storedValue(current, QStringLiteral("AuftragNr")).toLongLong(), 44195004LL);

        // An empty list gives 0: the store takes a fresh number and the trip stays locked.
        trips().edit();
        trips().setValue(QStringLiteral("Personen"), QStringLiteral("Niemand"));
        w->execTripSearch = [&](TFAuftragsuche& search) {
            listed = search.rowCount();
            return true;
        };
        w->AnrZuordnenClick();
        QCOMPARE(listed, 0);
        QCOMPARE(storedValue(current, QStringLiteral("AuftragNr")).toLongLong(), 44197001LL);
        QVERIFY(storedValue(current, QStringLiteral("ANRLock")).toBool());

        // Traffic police twice: +200000, "VK" twice, locked, not stored by the button.
        trips().edit();
        trips().setValue(QStringLiteral("Beamter"), QStringLiteral("Kuhn"));
        trips().post();
        w->VKsetzenClick();
        w->VKsetzenClick();
        QCOMPARE(trips().value(QStringLiteral("AuftragNr")).toLongLong(), 44397001LL);
        QCOMPARE(trips().value(QStringLiteral("Beamter")).toString(), QStringLiteral("VKVKKuhn"));
        QCOMPARE(storedValue(current, QStringLiteral("AuftragNr")).toLongLong(), 44197001LL);
        trips().post();
        // Locked: the foreign day is kept.
        QCOMPARE(storedValue(current, QStringLiteral("AuftragNr")).toLongLong(), 44397001LL);

        // The lock check box is for display until "..." unlocks it.
        QVERIFY(!w->chkanr->isEnabledTo(w->Eingabefeld));
        w->SpeedButton5Click();
        QVERIFY(w->chkanr->isEnabledTo(w->Eingabefeld));
    }

    void assigningANumberIsAllOrNothing() {
        TForm_Fahrten* w = openWindow();
        const qint64 earlier = addTrip(QDate(2020, 12, 30), 17, QStringLiteral("Langer"), 44195004);
        main->navigator()->click(DbNavigator::Insert);
        const qint64 current = trips().currentKey();
        trips().setValue(QStringLiteral("Bestatter"), 17);
        trips().setValue(QStringLiteral("Personen"), QStringLiteral("Langerhans"));
        trips().setValue(QStringLiteral("Ortspauschale"), 80);
        w->execTripSearch = [](TFAuftragsuche& search) {
            search.selectRow(0);
            return true;
        };
        // Either write refused: neither the lock of the order nor the trip is stored, and
        // the trip stays in edit with what was typed.
        for (const qint64 refused : {earlier, current}) {
            daten->Database->exec(
                QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Fahrten WHEN OLD.rowid = %1 "
                               "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END")
                    .arg(refused));
            dialogs.clear();
            w->guarded([w] { w->AnrZuordnenClick(); });
            daten->Database->exec(QStringLiteral("DROP TRIGGER refuse"));
            QCOMPARE(dialogs.lastMessage().icon, MsgIcon::Error);
            QVERIFY(!storedValue(earlier, QStringLiteral("ANRLock")).toBool());
            QVERIFY(!storedValue(current, QStringLiteral("ANRLock")).toBool());
            QCOMPARE(storedValue(current, QStringLiteral("AuftragNr")).toLongLong(), 44197001LL);
            QVERIFY(storedValue(current, QStringLiteral("Personen")).isNull());
            QVERIFY(trips().isEditing());
            QCOMPARE(trips().value(QStringLiteral("Personen")).toString(),
                     QStringLiteral("Langerhans"));
        }
        w->AnrZuordnenClick();
        QVERIFY(storedValue(earlier, QStringLiteral("ANRLock")).toBool());
        QCOMPARE(storedValue(current, QStringLiteral("AuftragNr")).toLongLong(), 44195004LL);
        QCOMPARE(storedValue(current, QStringLiteral("Personen")).toString(),
                 QStringLiteral("Langerhans"));
    }

    void renumberingAllTrips() {
        TForm_Fahrten* w = openWindow();
        const qint64 a = addTrip(QDate(2021, 1, 1), 17, QStringLiteral("A"), 123);
        const qint64 b = addTrip(QDate(2021, 1, 1), 17, QStringLiteral("B"), 44197001);
        daten->Database->exec(QStringLiteral("UPDATE Fahrten SET ANRLock = 1 WHERE rowid = ?"),
                              {b});
        dialogs.answerNext(MsgResult::No);
        w->BitBtn4Click();
        QCOMPARE(storedValue(a, QStringLiteral("AuftragNr")).toLongLong(), 123LL);
        dialogs.answerNext(MsgResult::Yes);
        w->BitBtn4Click();
        QCOMPARE(storedValue(a, QStringLiteral("AuftragNr")).toLongLong(), 44197002LL);
        QCOMPARE(storedValue(b, QStringLiteral("AuftragNr")).toLongLong(), 44197001LL);
        QCOMPARE(trips().recNo(), 0);
    }

    void calendarButton() {
        TForm_Fahrten* w = openWindow();
        main->navigator()->click(DbNavigator::Insert);
        dialogs.answerDate(std::nullopt);
        w->SpeedButton1Click();
        QCOMPARE(w->EditDatum->text(), QStringLiteral("01.01.2021"));
        dialogs.answerDate(QDate(2021, 2, 14));
        w->SpeedButton1Click();
        QCOMPARE(w->EditDatum->text(), QStringLiteral("14.02.2021"));
        QCOMPARE(dialogs.dateRequests(), (QList<QDate>{today, today}));
    }

    void activationAndClosing() {
        TForm_Fahrten* w = openWindow();
        main->navigator()->click(DbNavigator::Insert);
        trips().setValue(QStringLiteral("Personen"), QStringLiteral("Offen"));
        trips().setValue(QStringLiteral("Ortspauschale"), 10);
        const qint64 key = trips().currentKey();

        // Another child window takes the navigator and the funeral-director filter.
        auto* other = new QWidget;
        other->setWindowTitle(QStringLiteral("Andere"));
        main->childWindows().addChild(other);
        QVERIFY(main->navigator()->dataSource() == nullptr);
        QVERIFY(!daten->AdressTab->filtered());
        main->childWindows().activate(w);
        QCOMPARE(main->navigator()->dataSource(), daten->Fahrtquelle);
        QVERIFY(daten->AdressTab->filtered());

        QCOMPARE(storedValue(key, QStringLiteral("Personen")).toString(), QStringLiteral("Offen"));

        // Closing stores the pending edit and frees the single-instance reference.
        trips().edit();
        trips().setValue(QStringLiteral("Personen"), QStringLiteral("Geschlossen"));
        QVERIFY(main->childWindows().subWindowOf(w)->close());
        QCOMPARE(storedValue(key, QStringLiteral("Personen")).toString(),
                 QStringLiteral("Geschlossen"));
        QVERIFY(main->childWindows().find(ChildKind::Fahrten) == nullptr);
        QVERIFY(!rules->windowShowTab);
    }
};

QTEST_MAIN(TestFormFahrten)
#include "TestFormFahrten.moc"
