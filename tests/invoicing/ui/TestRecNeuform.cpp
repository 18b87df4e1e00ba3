// The single invoice dialog: what it shows, "&Erstellen" storing invoice, trip mark and
// position and showing the document, "Abbruch"/Escape leaving nothing behind, and a
// storing failure keeping the dialog open with nothing stored.
#include "invoicing/InvoiceFixture.h"

#include "invoicing/ui/TRec_Neuform.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;

namespace {
QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}
} // namespace

class TestRecNeuform : public QObject {
    Q_OBJECT

    struct Setup {
        InvoiceFixture fx;
        int trip = 0;
        AppContext context;
        QList<std::tuple<int, int, bool>> shown;
        Setup() {
            trip = fx.addTrip({});
            fx.datenA->Fahrttab->locate(S("ID"), trip);
            context.programFolder = fx.folder.path();
            context.dialogs = &fx.dialogs;
            context.daten = fx.datenA.get();
            context.datenR = fx.datenR.get();
            fx.datenR->showInvoice = [this](int nr, int pos, bool print) {
                shown.append({nr, pos, print});
            };
        }
    };

    /// Types into a line edit as a user does (replacing its text).
    static void type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

private slots:
    void showsTheNewInvoice() {
        Setup s;
        TRec_Neuform dlg(s.context, s.fx.datenA->Fahrttab);
        QCOMPARE(dlg.windowTitle(), S("Einzel-Rechnung erstellen"));
        QCOMPARE(dlg.EditRecNr->text(), S("1"));
        QVERIFY(dlg.EditRecNr->isReadOnly());
        QCOMPARE(dlg.EditDatum->text(), S("08.12.2026"));
        QCOMPARE(dlg.DBEdit1->text(), S("Zander"));
        QVERIFY(!(dlg.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(dlg.BTErstell->text(), S("&Erstellen"));
        QCOMPARE(dlg.Button1->text(), S("Abbruch"));
    }

    void createStoresEverythingAndShowsTheInvoice() {
        Setup s;
        TRec_Neuform dlg(s.context, s.fx.datenA->Fahrttab);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        type(dlg.EditDatum, S("05.12.2026"));
        dlg.DBMemo1->setFocus();
        QTest::keyClicks(dlg.DBMemo1, S("Anbei unsere Rechnung"));
        QTest::mouseClick(dlg.BTErstell, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.createdNumber(), 1);
        QCOMPARE(s.shown.size(), 1);
        QCOMPARE(s.shown.first(), std::make_tuple(1, 0, false));
        QCOMPARE(s.fx.scalar("SELECT Textvor FROM Rechnung WHERE RecNr = 1").toString(),
                 S("Anbei unsere Rechnung"));
        QCOMPARE(s.fx.scalar("SELECT Datum FROM Rechnung WHERE RecNr = 1").toString(),
                 S("2026-12-05 00:00:00"));
        QCOMPARE(s.fx.scalar("SELECT count(*) FROM RecPos WHERE RecID = 1").toInt(), 1);
        QCOMPARE(s.fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {s.trip}).toInt(), 1);
        QVERIFY(s.fx.dialogs.messages().isEmpty());
    }

    void cancelLeavesNoRowAndTheNumberUnused() {
        Setup s;
        {
            TRec_Neuform dlg(s.context, s.fx.datenA->Fahrttab);
            QTest::mouseClick(dlg.Button1, Qt::LeftButton);
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        }
        {
            TRec_Neuform dlg(s.context, s.fx.datenA->Fahrttab);
            dlg.show();
            QCOMPARE(dlg.EditRecNr->text(), S("1"));
            QTest::keyClick(&dlg, Qt::Key_Escape);
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        }
        QCOMPARE(s.fx.scalar("SELECT count(*) FROM Rechnung").toInt(), 0);
        QVERIFY(s.fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {s.trip}).isNull());
        QCOMPARE(s.fx.datenR->Rectab->state(), TableState::Browse);
        QVERIFY(s.shown.isEmpty());
        s.fx.datenR->Rectab->append();
        QCOMPARE(s.fx.datenR->Rectab->field(S("RecNr")).asInteger(), 1);
        s.fx.datenR->Rectab->cancel();
    }

    void badDateAndStoringFailureKeepTheDialogOpen() {
        Setup s;
        TRec_Neuform dlg(s.context, s.fx.datenA->Fahrttab);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        type(dlg.EditDatum, S("31.02.2026"));
        dlg.DBMemo1->setFocus();
        QCOMPARE(s.fx.dialogs.messages().size(), 1);
        QCOMPARE(s.fx.dialogs.lastMessage().icon, MsgIcon::Error);
        QCOMPARE(dlg.EditDatum->text(), S("31.02.2026")); // kept for correcting
        QCOMPARE(s.fx.datenR->Rectab->field(S("Datum")).asDateTime().date(), QDate(2026, 12, 8));
        type(dlg.EditDatum, S("8.12.26")); // a two-digit year, seen from the module's today
        dlg.DBMemo1->setFocus();
        QCOMPARE(s.fx.dialogs.messages().size(), 1);
        QCOMPARE(dlg.EditDatum->text(), S("08.12.2026"));

        s.fx.exec("CREATE TRIGGER fail BEFORE INSERT ON RecPos BEGIN SELECT RAISE(ABORT, 'Platte "
                  "voll'); END");
        const QStringList before = s.fx.snapshot();
        QTest::mouseClick(dlg.BTErstell, Qt::LeftButton);
        QVERIFY(dlg.isVisible());
        QCOMPARE(s.fx.dialogs.lastMessage().text, S("Platte voll"));
        QCOMPARE(s.fx.snapshot(), before);
        QVERIFY(s.shown.isEmpty());
        QCOMPARE(dlg.EditRecNr->text(), S("1"));
        s.fx.exec("DROP TRIGGER fail");
        QTest::mouseClick(dlg.BTErstell, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(s.fx.scalar("SELECT count(*) FROM Rechnung").toInt(), 1);
    }
};

QTEST_MAIN(TestRecNeuform)
#include "TestRecNeuform.moc"
