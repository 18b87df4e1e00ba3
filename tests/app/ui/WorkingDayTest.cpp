// A user's working day through the real main window on demonstration data: a trip entered
// and priced, its single invoice made and paid, tariffs and places extended, reports
// printed, windows switched and everything closed. The slots run in order and share the
// day's state, as the windows do in the program; each step checks the database and the
// windows it touched.
#include "support/FakeDialogService.h"
#include "support/DemoProgram.h"
#include "support/TestSupport.h"

#include "base/AppContext.h"
#include "app/DemoData.h"
#include "data/ProgramSetup.h"
#include "app/ui/ProgramRun.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "data/StoredValue.h"
#include "data/Table.h"
#include "data/TableModel.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "invoicing/Daten_R.h"
#include "invoicing/TRec_Dokument.h"
#include "invoicing/ui/InvoiceOutput.h"
#include "invoicing/ui/TRec_Editform.h"
#include "invoicing/ui/TRec_Neuform.h"
#include "masterdata/ui/TForm_Ortsliste.h"
#include "masterdata/ui/TForm_Tarif.h"
#include "reports/Report.h"
#include "reports/ReportPages.h"
#include "reports/TBericht_Ortslistenform.h"
#include "reports/TBericht_Tarifform.h"
#include "reports/ui/Drucken.h"
#include "reports/ui/TBerichtzielform.h"
#include "reports/ui/TDruckfilterform.h"
#include "trips/TripRules.h"
#include "trips/ui/TForm_Fahrten.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace kilvaro;

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QDate kToday(2026, 12, 8);

} // namespace

class WorkingDayTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_settings;
    TempProgramFolder m_folder;
    FakeDialogService m_dialogs;
    std::unique_ptr<ProgramRun> m_run;
    TDaten_A* m_daten = nullptr;
    TDaten_R* m_datenR = nullptr;
    TForm_Main* m_main = nullptr;

    // What the day produced, for the later steps.
    qint64 m_tripKey = 0;
    int m_directorId = 0;
    int m_invoice = 0;
    QList<int> m_previewedInvoices;
    QStringList m_invoiceTexts;
    struct Launch {
        QString kind;
        QString title;
        int pages = 0;
        QStringList texts;
    };
    QList<Launch> m_launches;

    QVariant scalar(const QString& sql, const QVariantList& binds = {}) {
        QSqlQuery q = m_daten->Database->exec(sql, binds);
        return q.next() ? q.value(0) : QVariant();
    }
    void trigger(const char* action) {
        QAction* a = m_main->findChild<QAction*>(QLatin1String(action));
        QVERIFY2(a, action);
        a->trigger();
    }
    template <class W> W* child() { return m_main->findChild<W*>(); }
    QWidget* activeChild() const {
        QMdiSubWindow* sub = m_main->mdiArea()->activeSubWindow();
        return sub ? sub->widget() : nullptr;
    }
    DataSource* navigatorSource() const { return m_main->navigator()->dataSource(); }
    Table& trips() { return *m_daten->Fahrttab; }
    /// The tariff filter the trip rules set for a trip of `group` on `date`.
    static QString tariffFilter(int group, const QDate& date) {
        const QString literal = date.toString(QStringLiteral("#MM/dd/yyyy#"));
        return QStringLiteral("Nr = %1 and Anfang <= %2 and Ende >= %2").arg(group).arg(literal);
    }
    /// Runs `answer` on the modal dialog of type D as soon as it is shown.
    template <class D> void whenShown(std::function<void(D*)> answer) {
        auto* timer = new QTimer(this);
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, this, [timer, answer] {
            if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
                timer->stop();
                timer->deleteLater();
                answer(d);
            }
        });
        timer->start();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QVERIFY(m_folder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        m_run = startOnDemoData(m_folder, &m_dialogs, kToday);
        QVERIFY(m_run);
        m_daten = &m_run->daten();
        m_datenR = &m_run->datenR();
        m_main = &m_run->mainWindow();
        QVERIFY(m_daten->isConnected());

        InvoiceOutput::setPreviewHandler([this](TRec_Dokument& document, const AppContext&) {
            m_previewedInvoices << document.invoiceNumber();
            const auto pages = document.render();
            for (int i = 0; i < pages->pageCount(); ++i)
                m_invoiceTexts << pages->page(i).texts();
        });
        InvoiceOutput::setPrintHandler([](TRec_Dokument&, bool, const AppContext&) {
            return false; // nothing is printed today
        });
        ReportLaunchSteps& steps = Drucken::steps();
        steps.askTitle = [](TBerichtzielform& dialog) {
            dialog.Titel->setText(dialog.Titel->text() + S(" (Büro)"));
            return ReportChoice::Preview;
        };
        steps.preview = [this](Report& report, const AppContext&) {
            Launch l;
            if (dynamic_cast<TBericht_Tarifform*>(&report))
                l.kind = QStringLiteral("Tarife");
            else if (dynamic_cast<TBericht_Ortslistenform*>(&report))
                l.kind = QStringLiteral("Ortsliste");
            l.title = report.title();
            const auto pages = report.render();
            l.pages = pages->pageCount();
            for (int i = 0; i < pages->pageCount(); ++i)
                l.texts << pages->page(i).texts();
            m_launches << l;
        };
        steps.print = [](Report&, const AppContext&, QWidget*) {
            QFAIL("nothing is sent to a printer today");
        };

        m_main->resize(1280, 800);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main));
    }

    void cleanupTestCase() {
        InvoiceOutput::setPreviewHandler({});
        InvoiceOutput::setPrintHandler({});
        Drucken::resetSteps();
        m_dialogs.setDefaultAnswer(MsgResult::Yes);
        m_run.reset();
    }

    /// The trip window from the menu: a new trip with funeral director, surcharges and
    /// places, stored from the navigator; the grid and the stored row agree.
    void enterAndPriceATrip() {
        trigger("Ueberfuehrungen1");
        auto* w = child<TForm_Fahrten>();
        QVERIFY(w);
        QCOMPARE(activeChild(), w);
        QCOMPARE(navigatorSource(), m_daten->Fahrtquelle);

        // The month filter of December as the user works in it.
        w->Filtern->click();
        QVERIFY(w->Filtern->isChecked());
        QCOMPARE(trips().filter(), S("Datum >= #12/01/2026# and Datum < #01/01/2027#"));
        const int decemberBefore = trips().recordCount();

        m_main->navigator()->click(DbNavigator::Insert);
        QCOMPARE(trips().state(), TableState::Edit);
        m_tripKey = trips().currentKey();
        QCOMPARE(w->EditDatum->text(), S("08.12.2026"));
        const qint64 number = w->DBEdit8->text().toLongLong();
        QCOMPARE(number / 1000, qint64(46364)); // day count of 08.12.2026

        const int index = w->Bcombo->findText(S("Bestattungen Lindner"));
        QVERIFY(index >= 0);
        w->Bcombo->setCurrentIndex(index);
        emit w->Bcombo->activated(index);
        m_directorId = trips().value(QStringLiteral("Bestatter")).toInt();
        QCOMPARE(m_daten->Orthaupttab->filter(), tariffFilter(1, kToday));
        const int version = m_daten->Orthaupttab->value(QStringLiteral("ID")).toInt();
        QVERIFY(version > 0);

        QTest::mouseClick(w->Nacht, Qt::LeftButton);
        QTest::mouseClick(w->UHuelle, Qt::LeftButton);
        const double night =
            scalar(QStringLiteral("SELECT Nacht FROM Tarif WHERE Id = ?"), {version}).toDouble();
        const double bag =
            scalar(QStringLiteral("SELECT UHuelle FROM Tarif WHERE Id = ?"), {version}).toDouble();
        QVERIFY(night > 0);

        // Start Köln, destination Bonn, clicked in the place list; the higher amount wins.
        // The user last clicked the trip grid, so it has the focus when the list opens.
        auto amount = [&](const char* place) {
            return scalar(QStringLiteral("SELECT Betrag FROM OrtsTarif WHERE Id = ? AND Ort = ?"),
                          {version, S(place)})
                .toDouble();
        };
        auto clickPlace = [&](const char* place) {
            QTRY_VERIFY(w->Ortesuchliste->isVisible());
            QAbstractItemModel* list = w->Ortesuchliste->model();
            int row = 0;
            while (row < list->rowCount() && list->index(row, 0).data().toString() != S(place))
                ++row;
            QVERIFY(row < list->rowCount());
            const QModelIndex cell = list->index(row, 0);
            w->Ortesuchliste->scrollTo(cell);
            QTest::mouseClick(w->Ortesuchliste->viewport(), Qt::LeftButton, {},
                              w->Ortesuchliste->visualRect(cell).center());
            QVERIFY(!w->Ortesuchliste->isVisible());
        };
        w->suchgitter->setFocus();
        QTRY_VERIFY(w->suchgitter->hasFocus());
        QTest::mouseClick(w->SpeedButton2, Qt::LeftButton);
        QCOMPARE(trips().currentKey(), m_tripKey);
        clickPlace("Köln");
        QTest::mouseClick(w->SpeedButton3, Qt::LeftButton);
        clickPlace("Bonn");
        QCOMPARE(trips().currentKey(), m_tripKey);
        QCOMPARE(w->EditStartort->text(), S("Köln"));
        QCOMPARE(w->EditZielort->text(), S("Bonn"));
        const double place = std::max(amount("Köln"), amount("Bonn"));
        const double net = place + night + bag;

        w->EditPersonen->setFocus();
        w->EditPersonen->insert(S("Brüggemann"));
        m_dialogs.clear();
        m_main->navigator()->click(DbNavigator::Post);
        QCOMPARE(trips().state(), TableState::Browse);
        QVERIFY2(m_dialogs.messages().isEmpty(), qPrintable(m_dialogs.messageTexts().join('|')));

        auto stored = [&](const char* column) {
            return scalar(QStringLiteral("SELECT \"%1\" FROM Fahrten WHERE rowid = ?")
                              .arg(QLatin1String(column)),
                          {m_tripKey});
        };
        QCOMPARE(stored("Personen").toString(), S("Brüggemann"));
        QCOMPARE(stored("AuftragNr").toLongLong(), number);
        QCOMPARE(stored("Ortspauschale").toDouble(), place);
        QCOMPARE(stored("Nacht").toDouble(), night);
        QCOMPARE(stored("UHuelle").toDouble(), bag);
        QVERIFY(stored("Rechnung").isNull());
        QCOMPARE(w->DBText3->text(), QLocale(QLocale::German).toString(net, 'f', 2));

        // Inserting switched the month filter off; switched on again, the December trips
        // include the new one.
        QVERIFY(!w->Filtern->isChecked());
        QVERIFY(!trips().filtered());
        w->Filtern->click();
        QVERIFY(trips().filtered());
        QCOMPARE(trips().recordCount(), decemberBefore + 1);
        TableModel* model = w->suchgitter->tableModel();
        int row = 0;
        while (row < model->rowCount() &&
               model->data(model->index(row, 1)).toString() != QString::number(number))
            ++row;
        QVERIFY(row < model->rowCount());
        QCOMPARE(model->data(model->index(row, 1)).toString(), QString::number(number));
        QCOMPARE(model->data(model->index(row, 2)).toString(), S("Bestattungen Lindner"));
        QCOMPARE(model->data(model->index(row, 3)).toString(), S("Köln"));
        QCOMPARE(model->data(model->index(row, 4)).toString(), S("Bonn"));
        QCOMPARE(model->data(model->index(row, 5)).toString(), S("Brüggemann"));
        const QModelIndex cell = model->index(row, 2);
        w->suchgitter->scrollTo(cell);
        QTest::mouseClick(w->suchgitter->viewport(), Qt::LeftButton, {},
                          w->suchgitter->visualRect(cell).center());
        QCOMPARE(trips().currentKey(), m_tripKey);
    }

    /// "Einzel-Rechnung" on the new trip: the dialog stores invoice, position and the
    /// trip's mark and shows the document of that number.
    void makeItsSingleInvoice() {
        auto* w = child<TForm_Fahrten>();
        QVERIFY(w);
        QCOMPARE(trips().currentKey(), m_tripKey);
        const int highest = scalar(QStringLiteral("SELECT max(RecNr) FROM Rechnung")).toInt();
        const int positionsBefore = scalar(QStringLiteral("SELECT count(*) FROM RecPos")).toInt();

        int shownNumber = 0;
        whenShown<TRec_Neuform>([&](TRec_Neuform* dialog) {
            shownNumber = dialog->EditRecNr->text().toInt();
            QCOMPARE(dialog->DBEdit1->text(), S("Bestattungen Lindner"));
            QTest::mouseClick(dialog->BTErstell, Qt::LeftButton);
        });
        QTest::mouseClick(w->BTRechnung, Qt::LeftButton);
        QVERIFY(!QApplication::activeModalWidget());

        m_invoice = highest + 1;
        QCOMPARE(shownNumber, m_invoice);
        QCOMPARE(scalar(QStringLiteral("SELECT Kunde FROM Rechnung WHERE RecNr = ?"), {m_invoice})
                     .toInt(),
                 m_directorId);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM RecPos WHERE RecID = ?"), {m_invoice})
                     .toInt(),
                 1);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM RecPos")).toInt(),
                 positionsBefore + 1);
        QCOMPARE(scalar(QStringLiteral("SELECT Rechnung FROM Fahrten WHERE rowid = ?"), {m_tripKey})
                     .toInt(),
                 m_invoice);
        const double tripNet =
            scalar(QStringLiteral("SELECT Netto FROM RecPos WHERE RecID = ?"), {m_invoice})
                .toDouble();
        QVERIFY(tripNet > 0);

        QCOMPARE(m_previewedInvoices, QList<int>{m_invoice});
        QVERIFY2(m_invoiceTexts.contains(QStringLiteral("Rechnung Nr. %1").arg(m_invoice)),
                 qPrintable(m_invoiceTexts.join('|')));

        // Back in the trip window: the invoice number shows, the navigator is still bound
        // and a second invoice for the trip is refused.
        // The window manager gives the activation back to the main window when the dialog
        // closes; the trip window takes that as its activation after the dialog.
        m_main->activateWindow();
        QTRY_VERIFY(m_dialogs.messageTexts().contains(QStringLiteral("OK")));
        QVERIFY(!w->InvoiceDialogOpened);
        QCOMPARE(activeChild(), static_cast<QWidget*>(w));
        QCOMPARE(navigatorSource(), m_daten->Fahrtquelle);
        QCOMPARE(trips().currentKey(), m_tripKey);
        QCOMPARE(trips().value(QStringLiteral("Rechnung")).toInt(), m_invoice);
        m_dialogs.clear();
        QTest::mouseClick(w->BTRechnung, Qt::LeftButton);
        QCOMPARE(m_dialogs.lastMessage().text,
                 S("Diese Überführung ist schon in der Rechnung %1 aufgeführt!").arg(m_invoice));
        QVERIFY(!QApplication::activeModalWidget());
    }

    /// The invoice overview: the invoice found by number, paid in two parts, booked, and
    /// then it cannot be deleted.
    void payBookAndKeepTheInvoice() {
        trigger("InvoiceOverview1");
        auto* w = child<TRec_Editform>();
        QVERIFY(w);
        QCOMPARE(activeChild(), w);
        QCOMPARE(navigatorSource(), m_datenR->RecQuelle);
        Table& rec = *m_datenR->Rectab;

        w->Snr->setText(QString::number(m_invoice));
        QCOMPARE(rec.field(QStringLiteral("RecNr")).asInteger(), m_invoice);
        QCOMPARE(w->recnr->text(), QString::number(m_invoice));
        QCOMPARE(w->FahrtenGrid->tableModel()->rowCount(), 1);
        QCOMPARE(w->PostenGrid->tableModel()->rowCount(), 1);
        QTest::mouseClick(w->zulassen, Qt::LeftButton);
        QVERIFY(w->eingabefeld->isEnabled());

        m_dialogs.answerInput(S("100"));
        QTest::mouseClick(w->SpeedButton3, Qt::LeftButton);
        QCOMPARE(
            scalar(QStringLiteral("SELECT Anzahlung FROM Rechnung WHERE RecNr = ?"), {m_invoice})
                .toDouble(),
            100.0);
        QCOMPARE(w->Radioangezahlt->text(), S("Die Rechnung ist angezahlt"));
        QCOMPARE(w->anzahlungen->toPlainText(), S("08.12.2026 100,00 €\n"));
        const QString rest = w->Restbetrag->text();
        QVERIFY(!rest.isEmpty());

        // The rest as a part payment leaves nothing open; the user then marks it paid.
        m_dialogs.answerInput(rest);
        QTest::mouseClick(w->SpeedButton3, Qt::LeftButton);
        QCOMPARE(w->anzahlungen->toPlainText(),
                 S("08.12.2026 100,00 €\n08.12.2026 %1 €\n")
                     .arg(QLocale(QLocale::German)
                              .toString(QLocale(QLocale::German).toDouble(rest), 'f', 2)));
        w->Radiobezahlt->click();
        m_dialogs.answerDate(kToday);
        QTest::mouseClick(w->Kalender, Qt::LeftButton);
        m_main->navigator()->click(DbNavigator::Post);
        QCOMPARE(scalar(QStringLiteral("SELECT Bezahlt FROM Rechnung WHERE RecNr = ?"), {m_invoice})
                     .toInt(),
                 1);
        QVERIFY(w->Radiobezahlt->isChecked());
        QCOMPARE(m_dialogs.pendingAnswers(), 0);

        m_dialogs.answerNext(MsgResult::Yes); // booking asks first
        QTest::mouseClick(w->RecBuchen, Qt::LeftButton);
        QVERIFY(m_datenR->isBooked(m_invoice));
        QVERIFY(!w->RecLoeschen->isEnabled());

        // Deleting is refused on every path: the button, and the invoice module itself.
        QTest::mouseClick(w->RecLoeschen, Qt::LeftButton);
        m_dialogs.setDefaultAnswer(MsgResult::Yes);
        QVERIFY(!m_datenR->RechnungLoeschen(m_invoice, true));
        m_dialogs.setDefaultAnswer(std::nullopt);
        QCOMPARE(
            scalar(QStringLiteral("SELECT count(*) FROM Rechnung WHERE RecNr = ?"), {m_invoice})
                .toInt(),
            1);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM RecPos WHERE RecID = ?"), {m_invoice})
                     .toInt(),
                 1);
        QCOMPARE(scalar(QStringLiteral("SELECT Rechnung FROM Fahrten WHERE rowid = ?"), {m_tripKey})
                     .toInt(),
                 m_invoice);
    }

    /// Tariffs: a new version copied; the place list: a new place in every version; back
    /// in the trip window its shared filters are its own again.
    void extendTariffsAndPlaces() {
        trigger("Ortstarif1");
        auto* tariffs = child<TForm_Tarif>();
        QVERIFY(tariffs);
        QCOMPARE(activeChild(), tariffs);
        QCOMPARE(navigatorSource(), m_daten->Orthaupt_Q);
        // The tariff window's short navigator: the overview left before it does not widen it.
        QVERIFY(m_main->navigator()->button(DbNavigator::Insert)->isHidden());
        QVERIFY(!m_main->navigator()->button(DbNavigator::Last)->isHidden());
        QVERIFY(!m_daten->Orthaupttab->filtered()); // the trip rules' filter is gone
        QVERIFY(!m_daten->AdressTab->filtered());   // the trip window's filter is gone

        const int versionsBefore = scalar(QStringLiteral("SELECT count(*) FROM OTMAIN")).toInt();
        const int current =
            scalar(QStringLiteral("SELECT ID FROM OTMAIN WHERE Nr = 1 AND Anfang <= ? AND "
                                  "Ende >= ?"),
                   {stored::dateText(kToday), stored::dateText(kToday)})
                .toInt();
        QVERIFY(m_daten->Orthaupttab->locate(QStringLiteral("ID"), current));
        m_dialogs.answerInput(S("01.01.2027"));
        m_dialogs.answerNext(MsgResult::Ok);
        QTest::mouseClick(tariffs->findChild<QToolButton*>(QStringLiteral("Tkopie")),
                          Qt::LeftButton);
        QCOMPARE(m_dialogs.pendingAnswers(), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM OTMAIN")).toInt(), versionsBefore + 1);
        QCOMPARE(scalar(QStringLiteral("SELECT Ende FROM OTMAIN WHERE ID = ?"), {current}),
                 QVariant(stored::dateText(QDate(2026, 12, 31))));

        trigger("Ortsliste1");
        auto* places = child<TForm_Ortsliste>();
        QVERIFY(places);
        QCOMPARE(activeChild(), places);
        QCOMPARE(navigatorSource(), m_daten->Ortsliste_Q);
        const int placesBefore = scalar(QStringLiteral("SELECT count(*) FROM Ortsliste")).toInt();
        m_dialogs.answerInput(S("Rheinbach"));
        QTest::mouseClick(places->findChild<QPushButton*>(QStringLiteral("neu")), Qt::LeftButton);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM Ortsliste")).toInt(),
                 placesBefore + 1);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM OrtsTarif WHERE Ort = 'Rheinbach'"))
                     .toInt(),
                 versionsBefore + 1);
        QCOMPARE(places->findChild<QLabel*>(QStringLiteral("StatusPanel0"))->text(),
                 QStringLiteral("%1 Orte").arg(placesBefore + 1));

        // Back to the trips: month filter as the user left it, the address table narrowed to
        // the current trip's funeral director, the tariff versions to the one of its date.
        trigger("Ueberfuehrungen1");
        auto* w = child<TForm_Fahrten>();
        QCOMPARE(activeChild(), w);
        QCOMPARE(navigatorSource(), m_daten->Fahrtquelle);
        QVERIFY(w->Filtern->isChecked());
        QVERIFY(trips().filtered());
        QCOMPARE(trips().filter(), S("Datum >= #12/01/2026# and Datum < #01/01/2027#"));
        const int director = trips().value(QStringLiteral("Bestatter")).toInt();
        QVERIFY(m_daten->AdressTab->filtered());
        QCOMPARE(m_daten->AdressTab->filter(), QStringLiteral("id =%1").arg(director));
        QCOMPARE(m_daten->AdressTab->value(QStringLiteral("ID")).toInt(), director);
        const int group = m_daten->AdressTab->value(QStringLiteral("Tarifgruppe")).toInt();
        // The versions follow the row last priced (the grid prices every row it shows), always
        // in the group of the current trip's funeral director.
        QVERIFY(m_daten->Orthaupttab->filtered());
        QVERIFY2(m_daten->Orthaupttab->filter().startsWith(
                     QStringLiteral("Nr = %1 and Anfang <= #").arg(group)),
                 qPrintable(m_daten->Orthaupttab->filter()));

        // The new trip again: priced from the old version, the new place in its list.
        QVERIFY(trips().locate(QStringLiteral("Personen"), S("Brüggemann")));
        QCOMPARE(trips().currentKey(), m_tripKey);
        QVERIFY(trips().value(QStringLiteral("Brutto")).toDouble() > 0);
        QVERIFY(m_daten->Orthaupttab->filter().startsWith(QStringLiteral("Nr = 1 and ")));
        QCOMPARE(m_daten->Orthaupttab->value(QStringLiteral("ID")).toInt(), current);
        QVERIFY(m_daten->Ortetab->locate(QStringLiteral("Ort"), S("Rheinbach")));
    }

    /// The tariff report from the print menu and the place list from the tool bar's print
    /// button while the place-list window is active, both through the title dialog.
    void printTariffsAndPlaces() {
        m_launches.clear();
        m_dialogs.clear();
        trigger("Tarif2");
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches[0].kind, S("Tarife"));
        QVERIFY(m_launches[0].title.endsWith(S(" (Büro)")));
        QVERIFY(m_launches[0].pages >= 1);
        // The report prints the versions as the shared table shows them: the trip window
        // left them narrowed to the version of its current trip.
        QCOMPARE(m_launches[0].pages, m_daten->Orthaupttab->recordCount());

        auto* places = child<TForm_Ortsliste>();
        QVERIFY(places);
        m_main->childWindows().activate(places);
        QCOMPARE(activeChild(), places);
        auto* print = m_main->findChild<QToolButton*>(QStringLiteral("druckenbutton"));
        QVERIFY(print->isEnabled());
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(m_launches.size(), 2);
        QCOMPARE(m_launches[1].kind, S("Ortsliste"));
        QVERIFY(m_launches[1].title.endsWith(S(" (Büro)")));
        QVERIFY2(m_launches[1].texts.contains(S("Rheinbach")),
                 qPrintable(m_launches[1].texts.join('|')));
        QVERIFY2(m_dialogs.messages().isEmpty(), qPrintable(m_dialogs.messageTexts().join('|')));
        // The printing left the place list where the user was.
        QCOMPARE(m_daten->Ortslistetab->value(QStringLiteral("Ort")).toString(), S("Rheinbach"));
    }

    /// At the turn of the year: the night surcharge of a trip of 31 December comes from the
    /// old version, even while the grid shows a trip of January under it.
    void surchargeAtTheTurnOfTheYear() {
        // The version copied from 01.01.2027 gets a new night surcharge.
        const int newest = scalar(QStringLiteral("SELECT max(ID) FROM OTMAIN")).toInt();
        const int old = scalar(QStringLiteral("SELECT ID FROM OTMAIN WHERE Nr = 1 AND Ende = ?"),
                               {stored::dateText(QDate(2026, 12, 31))})
                            .toInt();
        m_main->childWindows().activate(child<TForm_Tarif>());
        QVERIFY(m_daten->Orthaupttab->locate(QStringLiteral("ID"), newest));
        Table& tariff = *m_daten->Tariftab;
        tariff.edit();
        tariff.setValue(QStringLiteral("Nacht"), 99);
        tariff.post();
        const double oldNight =
            scalar(QStringLiteral("SELECT Nacht FROM Tarif WHERE Id = ?"), {old}).toDouble();
        QVERIFY(oldNight != 99);

        auto* w = child<TForm_Fahrten>();
        m_main->childWindows().activate(w);
        auto enterTrip = [&](const QString& date, const QString& surname, qint64& key) {
            m_main->navigator()->click(DbNavigator::Insert);
            const int index = w->Bcombo->findText(S("Bestattungen Lindner"));
            w->Bcombo->setCurrentIndex(index);
            emit w->Bcombo->activated(index);
            w->EditDatum->setFocus();
            w->EditDatum->selectAll();
            w->EditDatum->insert(date);
            w->EditPersonen->setFocus();
            w->EditPersonen->insert(surname);
            QTest::keyClick(w->EditPersonen, Qt::Key_Return);
            QCOMPARE(trips().state(), TableState::Browse);
            key = trips().currentKey();
        };
        m_dialogs.setDefaultAnswer(MsgResult::Ok); // trips without price yet
        qint64 december = 0, january = 0;
        enterTrip(S("31.12.2026"), S("Silvester"), december);
        enterTrip(S("04.01.2027"), S("Neujahr"), january);
        QVERIFY(december && january);
        m_dialogs.setDefaultAnswer(std::nullopt);

        // The user picks the December trip in the grid; the January trip stays in view.
        TableModel* model = w->suchgitter->tableModel();
        int row = 0;
        while (row < model->rowCount() &&
               model->data(model->index(row, 5)).toString() != S("Silvester"))
            ++row;
        QVERIFY(row < model->rowCount());
        const QModelIndex cell = model->index(row, 5);
        w->suchgitter->scrollTo(cell);
        QTest::mouseClick(w->suchgitter->viewport(), Qt::LeftButton, {},
                          w->suchgitter->visualRect(cell).center());
        QCOMPARE(trips().currentKey(), december);
        w->suchgitter->viewport()->repaint();
        QTest::mouseClick(w->Control, Qt::LeftButton, {}, w->Control->tabRect(1).center());
        QVERIFY(w->Nacht->isEnabled());
        QTest::mouseClick(w->Nacht, Qt::LeftButton);
        m_main->navigator()->click(DbNavigator::Post);
        QCOMPARE(scalar(QStringLiteral("SELECT Nacht FROM Fahrten WHERE rowid = ?"), {december})
                     .toDouble(),
                 oldNight);
    }

    /// Every open window binds the shared navigator when it becomes active; closing the
    /// main window closes them all and stores what is still being typed.
    void switchWindowsAndCloseTheDay() {
        auto* trips = child<TForm_Fahrten>();
        auto* overview = child<TRec_Editform>();
        auto* tariffs = child<TForm_Tarif>();
        auto* places = child<TForm_Ortsliste>();
        QVERIFY(trips && overview && tariffs && places);
        const QList<std::pair<QWidget*, DataSource*>> windows = {
            {overview, m_datenR->RecQuelle}, {tariffs, m_daten->Orthaupt_Q},
            {trips, m_daten->Fahrtquelle},   {places, m_daten->Ortsliste_Q},
            {trips, m_daten->Fahrtquelle},
        };
        for (const auto& [window, source] : windows) {
            m_main->childWindows().activate(window);
            QCOMPARE(activeChild(), window);
            QCOMPARE(navigatorSource(), source);
        }
        QVERIFY(m_daten->AdressTab->filtered());
        m_main->childWindows().activate(tariffs);
        QVERIFY(!m_daten->AdressTab->filtered());

        // Closing the active window hands the navigator to the window that comes to the front.
        const QList<std::pair<QWidget*, DataSource*>> sources = {{trips, m_daten->Fahrtquelle},
                                                                 {tariffs, m_daten->Orthaupt_Q},
                                                                 {places, m_daten->Ortsliste_Q}};
        m_main->childWindows().activate(overview);
        QVERIFY(m_main->childWindows().subWindowOf(overview)->close());
        QTRY_VERIFY(!child<TRec_Editform>());
        QWidget* front = activeChild();
        QVERIFY(front);
        bool known = false;
        for (const auto& [window, source] : sources) {
            if (window == front) {
                known = true;
                QCOMPARE(navigatorSource(), source);
            }
        }
        QVERIFY(known);
        QVERIFY(!m_datenR->Rectab->filtered());

        // An amount for the new place typed into the new version, then the user turns to
        // the trip window without pressing Enter.
        const int newest = scalar(QStringLiteral("SELECT max(ID) FROM OTMAIN")).toInt();
        QVERIFY(m_daten->Orthaupttab->locate(QStringLiteral("ID"), newest));
        QVERIFY(m_daten->Ortetab->locate(QStringLiteral("Ort"), S("Rheinbach")));
        auto* amount = tariffs->findChild<QLineEdit*>(QStringLiteral("betrag"));
        amount->setFocus();
        amount->selectAll();
        amount->insert(S("123,50"));

        // A surname still being typed in the trip window.
        m_main->childWindows().activate(trips);
        QVERIFY(this->trips().locate(QStringLiteral("Personen"), S("Brüggemann")));
        QTest::mouseClick(trips->Control, Qt::LeftButton, {}, trips->Control->tabRect(1).center());
        trips->EditPersonen->setFocus();
        trips->EditPersonen->selectAll();
        trips->EditPersonen->insert(S("Brüggemann-Pohl"));

        m_dialogs.clear();
        QVERIFY(m_main->close());
        QVERIFY2(m_dialogs.messages().isEmpty(), qPrintable(m_dialogs.messageTexts().join('|')));
        QVERIFY(m_main->mdiArea()->subWindowList().isEmpty());
        QVERIFY(!m_main->isVisible());
        QCOMPARE(scalar(QStringLiteral("SELECT Personen FROM Fahrten WHERE rowid = ?"), {m_tripKey})
                     .toString(),
                 S("Brüggemann-Pohl"));
        QCOMPARE(scalar(QStringLiteral("SELECT Betrag FROM OrtsTarif WHERE Id = ? AND Ort = ?"),
                        {newest, S("Rheinbach")})
                     .toDouble(),
                 123.5);
        QVERIFY(!m_datenR->Rectab->filtered());
    }
};

QTEST_MAIN(WorkingDayTest)
#include "WorkingDayTest.moc"
