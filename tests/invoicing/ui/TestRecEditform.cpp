// The invoice overview window through its buttons: filters, edit permission, paid and
// part-paid flows, payment notes, payment types, booking, cancelling, deleting, and its
// place in the main window (one instance, shared navigator).
#include "invoicing/InvoiceFixture.h"

#include "app/ui/TForm_Main.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "invoicing/ui/TRec_Editform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;

namespace {
QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}
} // namespace

class TestRecEditform : public QObject {
    Q_OBJECT

    /// Two invoices (numbers 1 and 2) of 140,00 net each.
    struct Setup {
        InvoiceFixture fx;
        AppContext context;
        int trip1 = 0, trip2 = 0;
        QStringList clipboard;
        std::unique_ptr<TRec_Editform> w;
        Setup() {
            trip1 = fx.addTrip({});
            trip2 = fx.addTrip({});
            fx.makeSingleInvoice(trip1);
            fx.makeSingleInvoice(trip2);
            context.programFolder = fx.folder.path();
            context.dialogs = &fx.dialogs;
            context.daten = fx.datenA.get();
            context.datenR = fx.datenR.get();
            w = std::make_unique<TRec_Editform>(context, nullptr);
            w->copyToClipboard = [this](const QString& t) { clipboard << t; };
            fx.gotoInvoice(1);
        }
        TDaten_R& r() { return *fx.datenR; }
        void allowEditing() { QTest::mouseClick(w->zulassen, Qt::LeftButton); }
    };

private slots:
    void filtersAndNumberSearch() {
        Setup s;
        QCOMPARE(s.w->windowTitle(), S("Rechnungs-Übersicht"));
        QVERIFY(!s.r().Rectab->filtered());
        QCOMPARE(s.w->Jahredit->value(), 2026);
        QCOMPARE(s.w->Monatsbox->currentText(), S("Dezember"));

        s.fx.exec("UPDATE Rechnung SET Bezahlt = 1 WHERE RecNr = 2");
        s.r().Rectab->refresh();
        s.w->filterItems[1]->click();
        QCOMPARE(s.r().Rectab->filter(), S("(bezahlt)"));
        QCOMPARE(s.r().Rectab->recordCount(), 1);

        s.w->Monatsbox->setCurrentIndex(2);
        s.w->Jahredit->setValue(2020); // a change of the year applies the month filter
        QVERIFY(s.w->Filtern->isChecked());
        QCOMPARE(s.w->UpDown1->value(), 2);
        QCOMPARE(s.r().Rectab->filter(),
                 S("Datum >= #03/01/2020# and Datum <= #03/31/2020# and (bezahlt)"));
        QCOMPARE(s.r().Rectab->recordCount(), 0);
        s.w->filterItems[2]->click();
        QCOMPARE(s.r().Rectab->filter(), S("Datum >= #03/01/2020# and Datum <= #03/31/2020# and "
                                           "(not bezahlt) and (not ausgeblendet)"));
        s.w->Filtern->click();
        QCOMPARE(s.r().Rectab->filter(), S("(not bezahlt) and (not ausgeblendet)"));
        QCOMPARE(s.r().Rectab->recordCount(), 1);
        s.w->filterItems[0]->click();
        QVERIFY(!s.r().Rectab->filtered());

        s.w->Snr->setText(S("2"));
        QCOMPARE(s.r().Rectab->field(S("RecNr")).asInteger(), 2);
        s.w->Snr->setText(S("0"));
        QCOMPARE(s.r().Rectab->field(S("RecNr")).asInteger(), 1);
        s.w->Snr->setText(S("x")); // not a number: stays
        QCOMPARE(s.r().Rectab->field(S("RecNr")).asInteger(), 1);
    }

    void closingEndsTheFilterOfTheSharedInvoiceTable() {
        Setup s;
        s.w->filterItems[2]->click(); // unbezahlte Rechnungen
        QVERIFY(s.r().Rectab->filtered());
        TRec_Editform* window = s.w.release(); // deletes itself on close
        QVERIFY(window->close());
        QVERIFY(!s.r().Rectab->filtered());
        QVERIFY(s.r().Rectab->filter().isEmpty());
        QCOMPARE(s.r().Rectab->recordCount(), 2);
        const QPointer<TRec_Editform> gone(window);
        QTRY_VERIFY(gone.isNull()); // before the invoice module it is bound to
    }

    void editPermissionAndPaidFlow() {
        Setup s;
        QVERIFY(!s.w->eingabefeld->isEnabled());
        QCOMPARE(s.w->Radioangezahlt->text(), S("Die Rechnung ist nicht bezahlt"));
        QVERIFY(s.w->Radioangezahlt->isChecked());
        QCOMPARE(s.w->Restbetrag->text(), S("..."));
        s.allowEditing();
        QVERIFY(s.w->eingabefeld->isEnabled());
        QVERIFY(!s.w->bezahltPanel->isEnabled());

        s.w->Radiobezahlt->click();
        QVERIFY(s.w->Radiobezahlt->isChecked());
        QVERIFY(s.w->bezahltPanel->isEnabled());
        QVERIFY(!s.w->angezahltPanel->isEnabled());
        s.fx.dialogs.answerDate(QDate(2026, 12, 10));
        QTest::mouseClick(s.w->Kalender, Qt::LeftButton);
        QCOMPARE(s.w->zahlungsdatum->text(), S("10.12.2026"));
        s.r().Rectab->post(); // the main window's navigator stores it
        QCOMPARE(s.fx.scalar("SELECT Bezahlt FROM Rechnung WHERE RecNr = 1").toInt(), 1);
        QCOMPARE(s.fx.scalar("SELECT Zahlungsdatum FROM Rechnung WHERE RecNr = 1").toString(),
                 S("2026-12-10 00:00:00"));
        QVERIFY(s.w->Radiobezahlt->isChecked());

        // Moving to another invoice shows its state.
        s.r().Rectab->next();
        QVERIFY(s.w->Radioangezahlt->isChecked());
        QVERIFY(!s.w->bezahltPanel->isEnabled());
    }

    void partPaymentsNotesAndOverpayment() {
        Setup s;
        s.allowEditing();
        s.fx.dialogs.answerInput(S("50"));
        QTest::mouseClick(s.w->SpeedButton3, Qt::LeftButton);
        QCOMPARE(s.w->Restbetrag->text(), S("116,6"));
        QCOMPARE(s.w->Radioangezahlt->text(), S("Die Rechnung ist angezahlt"));
        QCOMPARE(s.w->anzahlungen->toPlainText(), S("08.12.2026 50,00 €\n"));
        QVERIFY(s.w->savebt->isHidden());

        // The user edits the notes and saves them.
        s.w->anzahlungen->setPlainText(S("08.12.2026 50,00 € bar\n"));
        QVERIFY(!s.w->savebt->isHidden());
        QTest::mouseClick(s.w->savebt, Qt::LeftButton);
        QVERIFY(s.w->savebt->isHidden());
        QCOMPARE(s.fx.folder.readFile(S("daten/1")), QByteArray("08.12.2026 50,00 \x80 bar\r\n"));

        // Notes not saved yet survive storing the invoice itself; another invoice shows its own.
        s.w->anzahlungen->setPlainText(S("08.12.2026 50,00 € bar, Rest folgt\n"));
        s.w->BigR->click();
        s.r().Rectab->post(); // the main window's navigator stores it
        QCOMPARE(s.w->anzahlungen->toPlainText(), S("08.12.2026 50,00 € bar, Rest folgt\n"));
        QVERIFY(!s.w->savebt->isHidden());
        s.r().Rectab->next();
        QVERIFY(s.w->anzahlungen->toPlainText().isEmpty());
        QVERIFY(s.w->savebt->isHidden());
        s.r().Rectab->first();
        QCOMPARE(s.w->anzahlungen->toPlainText(), S("08.12.2026 50,00 € bar\n"));

        // A bad amount: message, nothing changes.
        s.fx.dialogs.answerInput(S("zehn"));
        QTest::mouseClick(s.w->SpeedButton3, Qt::LeftButton);
        QCOMPARE(s.fx.dialogs.lastMessage().text, S("'zehn' ist kein gültiger Betrag."));
        QCOMPARE(s.fx.scalar("SELECT Anzahlung FROM Rechnung WHERE RecNr = 1").toDouble(), 50.0);

        s.fx.dialogs.answerInput(S("200"));
        QTest::mouseClick(s.w->SpeedButton3, Qt::LeftButton);
        QCOMPARE(s.clipboard, QStringList{S("83,4")});
        QVERIFY(s.w->Radiobezahlt->isChecked());
        QVERIFY(s.w->Restbetrag->text().isEmpty());
        QCOMPARE(s.fx.scalar("SELECT Bezahlt FROM Rechnung WHERE RecNr = 1").toInt(), 1);
    }

    void paymentTypesCalculatorAndEditorHooks() {
        Setup s;
        s.allowEditing();
        s.fx.folder.writeFile(S("z_art.txt"), QByteArray("Scheck\r\n\xDC"
                                                         "berweisung\r\nBar\r\n"));
        s.w->edit_ZartEnter();
        QCOMPARE(s.w->edit_Zart->count(), 3);
        QCOMPARE(s.w->edit_Zart->itemText(2), S("Überweisung"));
        QCOMPARE(s.w->edit_Zart->itemText(0), S("Bar"));

        // The list kept under the editor's spelling of the name is the same list.
        QFile::remove(s.fx.folder.filePath(S("z_art.txt")));
        s.fx.folder.writeFile(S("Z_art.txt"), QByteArray("Lastschrift\r\n"));
        s.w->edit_ZartEnter();
        QCOMPARE(s.w->edit_Zart->count(), 1);
        QCOMPARE(s.w->edit_Zart->itemText(0), S("Lastschrift"));

        QFile::remove(s.fx.folder.filePath(S("Z_art.txt")));
        s.w->Radiobezahlt->click();
        s.w->show();
        QVERIFY(QTest::qWaitForWindowActive(s.w.get()));
        s.w->edit_Zart->setFocus();
        QCOMPARE(s.fx.dialogs.lastMessage().icon, MsgIcon::Error);
        QVERIFY(s.fx.dialogs.lastMessage().text.contains(S("z_art.txt")));

        QString edited, caption;
        s.w->editTextFile = [&](const QString& path, const QString& c) {
            edited = path;
            caption = c;
        };
        QTest::mouseClick(s.w->Zahlungstexte, Qt::LeftButton);
        QCOMPARE(edited, s.fx.folder.filePath(S("Z_art.txt")));
        QCOMPARE(caption, S("Zahlungsarten bearbeiten"));
        s.w->Radioangezahlt->click(); // the calculator's panel
        int calculators = 0;
        s.w->startCalculator = [&] { ++calculators; };
        QTest::mouseClick(s.w->SpeedButton2, Qt::LeftButton);
        QCOMPARE(calculators, 1);
    }

    void bookingCancellingAndDeleting() {
        Setup s;
        QVERIFY(!s.w->RecStorno->isEnabled());
        QVERIFY(s.w->RecLoeschen->isEnabled());
        QVERIFY(s.w->navi->isEnabled());

        // Booking cannot be undone: it asks first, and "No" books nothing.
        s.fx.dialogs.answerNext(MsgResult::No);
        QTest::mouseClick(s.w->RecBuchen, Qt::LeftButton);
        QCOMPARE(s.fx.dialogs.lastMessage().text,
                 S("Rechnung 1 buchen? Eine gebuchte Rechnung kann nicht mehr geändert oder "
                   "gelöscht werden."));
        QVERIFY(!s.r().isBooked(1));
        QVERIFY(s.w->RecBuchen->isEnabled());
        s.fx.dialogs.answerNext(MsgResult::Yes);
        QTest::mouseClick(s.w->RecBuchen, Qt::LeftButton);
        QVERIFY(s.r().isBooked(1));
        QVERIFY(!s.w->RecLoeschen->isEnabled());
        QVERIFY(!s.w->navi->isEnabled());
        QVERIFY(!s.w->Gebucht->isEnabled()); // booking cannot be taken back
        QVERIFY(s.w->datum->isReadOnly());    // nor what the invoice prints
        QVERIFY(s.w->textvor->isReadOnly());
        QVERIFY(s.w->RecStorno->isEnabled());
        QVERIFY(s.w->PostenGrid->tableModel()->isReadOnly());

        s.fx.dialogs.answerNext(MsgResult::Yes); // free the trips
        s.fx.dialogs.answerNext(MsgResult::Yes); // cancel
        QTest::mouseClick(s.w->RecStorno, Qt::LeftButton);
        QVERIFY(s.w->Storniert->isChecked());
        QVERIFY(!s.w->RecStorno->isEnabled());
        QVERIFY(s.fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {s.trip1}).isNull());
        QCOMPARE(s.w->FahrtenGrid->tableModel()->rowCount(), 0);

        // Delete invoice 2 after a "No", then a "Yes"; the overview moves to number 1.
        s.r().Rectab->last();
        s.fx.dialogs.answerNext(MsgResult::No);
        QTest::mouseClick(s.w->RecLoeschen, Qt::LeftButton);
        QCOMPARE(s.fx.scalar("SELECT count(*) FROM Rechnung").toInt(), 2);
        QCOMPARE(s.r().Rectab->field(S("RecNr")).asInteger(), 1); // moved on all the same
        s.r().Rectab->last();
        s.fx.dialogs.answerNext(MsgResult::Yes);
        QTest::mouseClick(s.w->RecLoeschen, Qt::LeftButton);
        QCOMPARE(s.fx.scalar("SELECT count(*) FROM Rechnung").toInt(), 1);
        QCOMPARE(s.fx.scalar("SELECT count(*) FROM RecPos WHERE RecID = 2").toInt(), 0);
        QVERIFY(s.fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {s.trip2}).isNull());
        QCOMPARE(s.r().Rectab->field(S("RecNr")).asInteger(), 1);
        QCOMPARE(s.fx.dialogs.pendingAnswers(), 0);
    }

    void documentsGoThroughTheHook() {
        Setup s;
        QList<std::tuple<int, int, bool>> shown;
        s.w->showInvoice = [&](int nr, int pos, bool print) { shown.append({nr, pos, print}); };
        QTest::mouseClick(s.w->RecAnsicht, Qt::LeftButton);
        QTest::mouseClick(s.w->Drucken, Qt::LeftButton);
        QTest::mouseClick(s.w->Einzelrechnung, Qt::LeftButton);
        const int posId = s.r().Recposten->field(S("Id")).asInteger();
        QCOMPARE(shown, (QList<std::tuple<int, int, bool>>{
                            {1, 0, false}, {1, 0, true}, {1, posId, false}}));
        s.fx.exec("INSERT INTO RecPos (RecID, Netto) VALUES (1, 10)");
        s.r().Recposten->refresh();
        QTest::mouseClick(s.w->getnetto2, Qt::LeftButton);
        QCOMPARE(s.fx.scalar("SELECT Netto FROM Rechnung WHERE RecNr = 1").toDouble(), 150.0);
        QCOMPARE(s.w->netto->text(), S("150,00"));
    }

    void opensOnceFromTheMainWindowAndBindsTheNavigator() {
        InvoiceFixture fx;
        AppContext context;
        context.programFolder = fx.folder.path();
        context.dialogs = &fx.dialogs;
        context.daten = fx.datenA.get();
        context.datenR = fx.datenR.get();
        TForm_Main main(context);
        main.show();
        QAction* open = main.findChild<QAction*>(S("InvoiceOverview1"));
        QVERIFY(open);
        open->trigger();
        open->trigger();
        QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
        auto* w = qobject_cast<TRec_Editform*>(main.mdiArea()->subWindowList().first()->widget());
        QVERIFY(w);
        QTRY_COMPARE(main.navigator()->dataSource(), fx.datenR->RecQuelle);
        QVERIFY(main.navigator()->button(DbNavigator::Insert)->isHidden());
        QVERIFY(main.navigator()->button(DbNavigator::Delete)->isHidden());
        QVERIFY(!main.navigator()->button(DbNavigator::Post)->isHidden());
        main.mdiArea()->closeAllSubWindows();
        QTRY_VERIFY(main.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(main.navigator()->dataSource(), nullptr);
        QVERIFY(!main.navigator()->button(DbNavigator::Insert)->isHidden());
    }
};

QTEST_MAIN(TestRecEditform)
#include "TestRecEditform.moc"
