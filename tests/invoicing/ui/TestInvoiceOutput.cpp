// The invoice document in the windows: "Einzel-Rechnung" in the trip window makes invoice
// and position and opens the preview of that invoice; the overview's view, print and single
// position buttons; the blank form of the main menu; a missing letterhead file reported
// without a crash. Preview and print are replaced, so no window or printer is needed, except
// where the real preview window of a new invoice is driven: it is in front and usable, and
// closing the trip window under it does no harm.
#include "invoicing/InvoiceFixture.h"

#include "app/ui/TForm_Main.h"
#include "invoicing/TRec_Dokument.h"
#include "invoicing/ui/InvoiceOutput.h"
#include "invoicing/ui/TRec_Editform.h"
#include "invoicing/ui/TRec_Neuform.h"
#include "reports/ReportPages.h"
#include "reports/ui/ReportPreviewView.h"
#include "reports/ui/TPrevForm.h"
#include "trips/TripRules.h"
#include "trips/ui/TForm_Fahrten.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;

namespace {
QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

/// What the preview or the printer received.
struct Shown {
    int recNr = -1;
    int posId = -1;
    bool printed = false;
    bool withDialog = false;
    bool coverTextVisible = true;
    QStringList heading, positions, totals;
};

Shown capture(TRec_Dokument& doc) {
    Shown s;
    s.recNr = doc.invoiceNumber();
    s.posId = doc.positionId();
    s.coverTextVisible = doc.item(QStringLiteral("FTextv"))->isVisible();
    const auto pages = doc.render();
    for (int i = 0; i < pages->pageCount(); ++i) {
        s.heading << pages->page(i).textsOf(QStringLiteral("Recueberschrift"));
        s.positions << pages->page(i).textsOf(QStringLiteral("Rectext"));
        s.totals << pages->page(i).textsOf(QStringLiteral("sumbrutto"));
    }
    return s;
}
} // namespace

class TestInvoiceOutput : public QObject {
    Q_OBJECT

    QTemporaryDir m_settings;
    std::unique_ptr<InvoiceFixture> fx;
    std::unique_ptr<TForm_Main> main;
    QList<Shown> shown;

    void openMain() {
        TripRules::install(fx->datenA.get(), &fx->dialogs)->setClock([] {
            return QDateTime(QDate(2026, 12, 8), QTime(11, 0));
        });
        AppContext context;
        context.programFolder = fx->folder.path();
        context.dialogs = &fx->dialogs;
        context.daten = fx->datenA.get();
        context.datenR = fx->datenR.get();
        main = std::make_unique<TForm_Main>(context);
        main->resize(1280, 800);
        main->show();
    }

    QAction* action(const char* name) { return main->findChild<QAction*>(QLatin1String(name)); }

    /// The trip window, opened from the menu, on the trip with this ID.
    TForm_Fahrten* openTripWindowAt(int trip) {
        action("Ueberfuehrungen1")->trigger();
        auto* window = main->findChild<TForm_Fahrten*>();
        Table* fahrten = fx->datenA->Fahrttab;
        if (!fahrten->locate(QStringLiteral("ID"), trip)) {
            fahrten->setFiltered(false);
            fahrten->locate(QStringLiteral("ID"), trip);
        }
        return window;
    }

    /// Runs `then` once `ready` holds, checked between events (also inside nested loops).
    void whenReady(std::function<bool()> ready, std::function<void()> then) {
        auto* timer = new QTimer(this);
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, this, [timer, ready, then] {
            if (!ready())
                return;
            timer->stop();
            timer->deleteLater();
            then();
        });
        timer->start();
    }

    /// A click as the user makes it: through the window system, where modality applies.
    static void userClick(QWidget* widget) {
        QWidget* top = widget->window();
        QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                          widget->mapTo(top, widget->rect().center()));
    }

    /// "Einzel-Rechnung" in the trip window and "&Erstellen" in the dialog, as the user clicks
    /// them; `inPreview` runs while the new invoice's real preview is open and must close it.
    /// Returns when the button's handler has returned.
    void createInvoiceAndRunInPreview(TForm_Fahrten* trips, QPointer<TRec_Neuform>& dialog,
                                      std::function<void(TPrevForm*)> inPreview) {
        whenReady([] { return qobject_cast<TRec_Neuform*>(QApplication::activeModalWidget()); },
                  [&dialog] {
                      dialog = qobject_cast<TRec_Neuform*>(QApplication::activeModalWidget());
                      userClick(dialog->BTErstell);
                  });
        whenReady([] { return TPrevForm::lastCreated() && TPrevForm::lastCreated()->isVisible(); },
                  [inPreview] { inPreview(TPrevForm::lastCreated()); });
        userClick(trips->BTRechnung);
    }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        InvoiceOutput::setPreviewHandler(
            [this](TRec_Dokument& doc, const AppContext&) { shown.append(capture(doc)); });
        InvoiceOutput::setPrintHandler(
            [this](TRec_Dokument& doc, bool withDialog, const AppContext&) {
                Shown s = capture(doc);
                s.printed = true;
                s.withDialog = withDialog;
                shown.append(s);
                return true;
            });
    }

    void init() {
        shown.clear();
        fx = std::make_unique<InvoiceFixture>();
        openMain();
    }

    void cleanup() {
        fx->dialogs.setDefaultAnswer(MsgResult::Yes);
        main->closeAllChildWindows();
        main.reset();
        fx.reset();
    }

    void cleanupTestCase() {
        InvoiceOutput::setPreviewHandler({});
        InvoiceOutput::setPrintHandler({});
    }

    void singleInvoiceFromTheTripWindowOpensItsPreview() {
        const int trip = fx->addTrip({});
        action("Ueberfuehrungen1")->trigger();
        auto* trips = main->findChild<TForm_Fahrten*>();
        QVERIFY(trips);
        Table* fahrten = fx->datenA->Fahrttab;
        if (!fahrten->locate(QStringLiteral("ID"), trip)) {
            fahrten->setFiltered(false);
            QVERIFY(fahrten->locate(QStringLiteral("ID"), trip));
        }

        bool dialogSeen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dlg = qobject_cast<TRec_Neuform*>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            dialogSeen = true;
            QTest::mouseClick(dlg->BTErstell, Qt::LeftButton);
        });
        QTest::mouseClick(trips->BTRechnung, Qt::LeftButton);

        QVERIFY(dialogSeen);
        QVERIFY2(fx->dialogs.messages().isEmpty(), qPrintable(fx->dialogs.lastMessage().text));
        QCOMPARE(fx->scalar("SELECT COUNT(*) FROM Rechnung").toInt(), 1);
        QCOMPARE(fx->scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {trip}).toInt(), 1);
        QCOMPARE(fx->scalar("SELECT COUNT(*) FROM RecPos WHERE RecID = 1").toInt(), 1);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().recNr, 1);
        QCOMPARE(shown.first().posId, -1);
        QVERIFY(!shown.first().printed);
        QCOMPARE(shown.first().heading, QStringList{S("Rechnung Nr. 1")});
        QCOMPARE(shown.first().positions.size(), 1);
        QVERIFY(shown.first().positions.first().startsWith(S("Meier, Anna; Ring 4")));
        QCOMPARE(shown.first().totals, QStringList{S("166,60 €")});
        // After the document the invoice table is back to normal, on the new invoice.
        QVERIFY(!fx->datenR->Rectab->filtered());
        QCOMPARE(fx->datenR->Rectab->field(QStringLiteral("RecNr")).asInteger(), 1);
    }

    void newInvoicePreviewIsInFrontAndUsableWithTheDialogGone() {
        InvoiceOutput::setPreviewHandler({});
        const auto restore = qScopeGuard([this] {
            InvoiceOutput::setPreviewHandler(
                [this](TRec_Dokument& doc, const AppContext&) { shown.append(capture(doc)); });
        });
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        TForm_Fahrten* trips = openTripWindowAt(fx->addTrip({}));
        QVERIFY(trips);

        QPointer<TRec_Neuform> dialog;
        bool checked = false;
        createInvoiceAndRunInPreview(trips, dialog, [&](TPrevForm* preview) {
            const auto close = qScopeGuard([p = QPointer<TPrevForm>(preview)] {
                if (p && p->isVisible())
                    p->close(); // also after a failed check, so the test goes on
            });
            QVERIFY(QTest::qWaitForWindowActive(preview));
            QCOMPARE(QApplication::activeWindow(), preview);
            QVERIFY(!QApplication::activeModalWidget());
            // The dialog is closed: nothing behind the preview takes a second "&Erstellen".
            QVERIFY(dialog && !dialog->isVisible());
            // The trip window, usable beside the preview, shows its rows again.
            QVERIFY(!fx->datenA->Fahrttab->controlsDisabled());
            // Nothing blocks the preview: "Vergrößern" zooms in.
            QTest::qWait(50); // zoom changes queued by showing and resizing come first
            const int before = preview->preview()->zoom();
            userClick(preview->findChild<QToolButton*>(QStringLiteral("T5")));
            QCOMPARE(preview->preview()->zoom(), before + 10);
            checked = true;
        });
        QVERIFY(checked);
        QVERIFY(!TPrevForm::lastCreated());
        QVERIFY(!dialog);
        QVERIFY2(!fx->dialogs.messageTexts().contains(
                     S("Es wird gerade keine neue Rechnung erfasst.")),
                 qPrintable(fx->dialogs.messageTexts().join('|')));
        QCOMPARE(fx->scalar("SELECT COUNT(*) FROM Rechnung").toInt(), 1);
        QVERIFY(!fx->datenA->Fahrttab->controlsDisabled());
    }

    void closingAllWindowsUnderTheNewInvoicePreview() {
        InvoiceOutput::setPreviewHandler({});
        const auto restore = qScopeGuard([this] {
            InvoiceOutput::setPreviewHandler(
                [this](TRec_Dokument& doc, const AppContext&) { shown.append(capture(doc)); });
        });
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        const int trip = fx->addTrip({});
        QPointer<TForm_Fahrten> trips = openTripWindowAt(trip);
        QVERIFY(trips);

        // "alle schließen" while the preview is open frees the trip window whose button
        // handler is still running underneath; then the preview is closed.
        QPointer<TRec_Neuform> dialog;
        bool tripWindowGone = false;
        createInvoiceAndRunInPreview(trips, dialog, [&](TPrevForm* preview) {
            action("CloseAll1")->trigger();
            whenReady([&] { return !trips; }, [&, preview = QPointer<TPrevForm>(preview)] {
                tripWindowGone = preview && preview->isVisible();
                if (preview)
                    preview->close();
            });
        });
        QVERIFY(tripWindowGone);
        QVERIFY(!trips);
        QVERIFY(!TPrevForm::lastCreated());
        QVERIFY(!dialog);
        QVERIFY(main->mdiArea()->subWindowList().isEmpty());
        QVERIFY(!fx->datenA->Fahrttab->controlsDisabled());
        QCOMPARE(fx->scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {trip}).toInt(), 1);
        QCOMPARE(fx->scalar("SELECT COUNT(*) FROM RecPos WHERE RecID = 1").toInt(), 1);

        // The program goes on: the trip window opens again and shows the invoiced trip.
        auto* again = openTripWindowAt(trip);
        QVERIFY(again);
        QCOMPARE(again->DBText1->text(), S("1"));
    }

    void overviewViewPrintAndSinglePosition() {
        const int nr = fx->makeSingleInvoice(fx->addTrip({}));
        fx->exec("INSERT INTO RecPos (RecID, Datum, Rectext, Netto, Auftragsnr) "
                 "VALUES (1, '2026-12-02 00:00:00', 'Zweite Fahrt', 50, 46358001)");
        const int second =
            fx->scalar("SELECT Id FROM RecPos WHERE Rectext = 'Zweite Fahrt'").toInt();
        fx->datenR->Rectab->refresh();
        action("InvoiceOverview1")->trigger();
        auto* overview = main->findChild<TRec_Editform*>();
        QVERIFY(overview);
        QVERIFY(fx->gotoInvoice(nr));
        // The overview's own month and state filter survives the document.
        Table* rectab = fx->datenR->Rectab;
        rectab->setFilter(QStringLiteral("not storniert"));
        rectab->setFiltered(true);
        QVERIFY(fx->gotoInvoice(nr));

        QTest::mouseClick(overview->findChild<QPushButton*>(QStringLiteral("RecAnsicht")),
                          Qt::LeftButton);
        QCOMPARE(rectab->filter(), S("not storniert"));
        QVERIFY(rectab->filtered());
        QCOMPARE(rectab->field(QStringLiteral("RecNr")).asInteger(), nr);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.last().recNr, nr);
        QVERIFY(!shown.last().printed);
        QCOMPARE(shown.last().positions.size(), 2);

        QTest::mouseClick(overview->findChild<QPushButton*>(QStringLiteral("Drucken")),
                          Qt::LeftButton);
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown.last().printed);
        QVERIFY(!shown.last().withDialog);
        QCOMPARE(shown.last().recNr, nr);

        // One position alone, through the hook the overview's position button uses.
        fx->datenR->showInvoice(nr, second, false);
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown.last().posId, second);
        QCOMPARE(shown.last().positions, QStringList{S("Zweite Fahrt")});
        QCOMPARE(shown.last().totals, QStringList{S("59,50 €")});
        QVERIFY(fx->dialogs.messages().isEmpty());
    }

    void missingLetterheadIsReportedAndNothingShown() {
        const int nr = fx->makeSingleInvoice(fx->addTrip({}));
        QVERIFY(QFile::remove(fx->folder.filePath(QStringLiteral("Rk.txt"))));
        fx->datenR->showInvoice(nr, 0, false);
        QVERIFY(shown.isEmpty());
        QCOMPARE(fx->dialogs.messages().size(), 1);
        QCOMPARE(fx->dialogs.lastMessage().icon, MsgIcon::Error);
        QVERIFY(fx->dialogs.lastMessage().text.startsWith(
            S("Die Rechnung kann nicht erstellt werden.")));
        QVERIFY(fx->dialogs.lastMessage().text.contains(S("Rk.txt")));
        // The invoice itself stays.
        QCOMPARE(fx->scalar("SELECT COUNT(*) FROM Rechnung").toInt(), 1);
        QVERIFY(!fx->datenR->Rectab->filtered());
    }

    void blankFormPrintsDirectlyWithoutPositionsOrCoverText() {
        const int nr = fx->makeSingleInvoice(fx->addTrip({}));
        fx->exec("UPDATE Rechnung SET Textvor = 'Anbei' WHERE RecNr = ?", {nr});
        action("BlankInvoice1")->trigger();
        QCOMPARE(shown.size(), 1);
        const Shown& s = shown.first();
        QVERIFY(s.printed);
        QVERIFY(!s.withDialog);
        QCOMPARE(s.recNr, 0);
        QVERIFY(!s.coverTextVisible);
        QCOMPARE(s.heading, QStringList{S("Rechnung")});
        QVERIFY(s.positions.isEmpty());
        QVERIFY(s.totals.isEmpty());
        QVERIFY(fx->dialogs.messages().isEmpty());
        QVERIFY(!fx->datenR->Rectab->filtered());
    }
};

QTEST_MAIN(TestInvoiceOutput)
#include "TestInvoiceOutput.moc"
