// The invoice print selection: the range used last, printing and previewing the invoices of
// a range with their copies, gaps in the range named instead of printed, and the menu item.
#include "invoicing/InvoiceFixture.h"

#include "invoicing/TRec_Dokument.h"
#include "invoicing/ui/InvoiceOutput.h"
#include "invoicing/ui/TRec_Druckform.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;

class TestRecDruckform : public QObject {
    Q_OBJECT

    struct Output {
        int recNr;
        bool printed;
        int copies;
    };
    QList<Output> m_output;

    AppContext context(InvoiceFixture& f) {
        AppContext c;
        c.programFolder = f.folder.path();
        c.dialogs = &f.dialogs;
        c.daten = f.datenA.get();
        c.datenR = f.datenR.get();
        return c;
    }
    /// Three invoices with consecutive numbers; the middle one is deleted again.
    QList<int> invoicesWithAGap(InvoiceFixture& f) {
        QList<int> numbers;
        for (int i = 0; i < 3; ++i) {
            InvoiceFixture::Trip t;
            t.auftragNr += i;
            numbers << f.makeSingleInvoice(f.addTrip(t));
        }
        f.exec("DELETE FROM Rechnung WHERE RecNr = ?", {numbers.at(1)});
        return numbers;
    }

private slots:
    void init() {
        m_output.clear();
        InvoiceOutput::setPreviewHandler([this](TRec_Dokument& d, const AppContext&) {
            d.render();
            m_output << Output{d.invoiceNumber(), false, d.settings().copies};
        });
        InvoiceOutput::setPrintHandler([this](TRec_Dokument& d, bool, const AppContext&) {
            d.render();
            m_output << Output{d.invoiceNumber(), true, d.settings().copies};
            return true;
        });
    }
    void cleanup() {
        InvoiceOutput::setPreviewHandler({});
        InvoiceOutput::setPrintHandler({});
    }

    void printsTheExistingInvoicesOfTheRangeAndNamesTheGaps() {
        InvoiceFixture f;
        const QList<int> n = invoicesWithAGap(f);
        TRec_Druckform dialog(context(f));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Rechnungen drucken"));
        QCOMPARE(dialog.ersteREC->value(), 0); // nothing used yet
        dialog.ersteREC->setValue(n.at(0));
        dialog.letzteREC->setValue(n.at(2));
        dialog.Edit1->setValue(3);
        dialog.makeCurrent();
        TRec_Druckform later(context(f));
        later.makeCurrent();
        // The later selection is current: its copies (1) apply, not this dialog's.
        dialog.BitBtn2->click();
        QCOMPARE(m_output.size(), 2);
        QCOMPARE(m_output.at(0).recNr, n.at(0));
        QCOMPARE(m_output.at(1).recNr, n.at(2));
        QVERIFY(m_output.at(0).printed);
        QCOMPARE(m_output.at(0).copies, 1);
        QCOMPARE(f.dialogs.lastMessage().text,
                 QStringLiteral("2 Rechnungen gedruckt.\nDie Rechnung Nr. %1 gibt es nicht; sie "
                                "wurde übersprungen.")
                     .arg(n.at(1)));
        QVERIFY(dialog.isHidden());

        // The range is kept, also for the next start; the preview says "angezeigt".
        TRec_Druckform again(context(f));
        QCOMPARE(again.ersteREC->value(), n.at(0));
        QCOMPARE(again.letzteREC->value(), n.at(2));
        m_output.clear();
        auto* current = new TRec_Druckform(context(f));
        current->makeCurrent();
        QCOMPARE(TRec_Druckform::current(), current);
        current->ersteREC->setValue(n.at(0));
        current->letzteREC->setValue(n.at(0));
        current->Edit1->setValue(2);
        current->BTBericht->click();
        QCOMPARE(m_output.size(), 1);
        QVERIFY(!m_output.at(0).printed);
        QCOMPARE(m_output.at(0).copies, 2);
        QCOMPARE(f.dialogs.lastMessage().text, QStringLiteral("1 Rechnungen angezeigt."));
        delete current;
    }

    void aReversedRangePrintsNothingAndHighNumbersCanBeChosen() {
        InvoiceFixture f;
        TRec_Druckform dialog(context(f));
        dialog.ersteREC->setValue(40000);
        QCOMPARE(dialog.ersteREC->value(), 40000);
        dialog.letzteREC->setValue(39999);
        dialog.BitBtn2->click();
        QVERIFY(m_output.isEmpty());
        QCOMPARE(f.dialogs.lastMessage().text, QStringLiteral("0 Rechnungen gedruckt."));
    }
};

QTEST_MAIN(TestRecDruckform)
#include "TestRecDruckform.moc"
