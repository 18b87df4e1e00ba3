// The invoice overview's rules: filter texts, part payments and overpayments with the
// payment-notes file, bad input, cancelling with and without freeing the trips, and the
// recomputed net sum.
#include "InvoiceFixture.h"

#include "base/DbError.h"
#include "invoicing/InvoiceOverviewRules.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class InvoiceOverviewRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        rules.copyToClipboard = [this](const QString& text) { clipboard = text; };
        trip = fx.addTrip({}); // net 140,00, gross 166,60
        nr = fx.makeSingleInvoice(trip);
        ASSERT_TRUE(fx.gotoInvoice(nr));
    }
    double stored(const char* field) {
        return fx
            .scalar(QStringLiteral("SELECT %1 FROM Rechnung WHERE RecNr = ?")
                        .arg(QString::fromLatin1(field))
                        .toUtf8()
                        .constData(),
                    {nr})
            .toDouble();
    }
    InvoiceFixture fx;
    TDaten_R& r = *fx.datenR;
    InvoiceOverviewRules rules{r, fx.dialogs};
    QString clipboard;
    int trip = 0;
    int nr = 0;
};

} // namespace

TEST(InvoiceOverviewFilter, Texts) {
    using R = InvoiceOverviewRules;
    EXPECT_EQ(R::filterText(QString(), R::statusSuffix(1)), S("(bezahlt)"));
    EXPECT_EQ(R::filterText(QString(), R::statusSuffix(0)), QString());
    EXPECT_EQ(R::filterText(R::monthCondition(2, S("2020")), R::statusSuffix(2)),
              S("Datum >= #03/01/2020# and Datum <= #03/31/2020# and (not bezahlt) and (not "
                "ausgeblendet)"));
    EXPECT_EQ(R::filterText(R::monthCondition(1, S("2024")), R::statusSuffix(3)),
              S("Datum >= #02/01/2024# and Datum <= #02/29/2024# and (not bezahlt) and "
                "(ausgeblendet)"));
    EXPECT_EQ(R::monthCondition(12, S("2021")), R::monthCondition(0, S("2021")))
        << "a position outside the list counts as January";
    EXPECT_THROW(R::monthCondition(0, S("20x1")), DbError);
}

TEST_F(InvoiceOverviewRulesTest, FilterSelectsInvoices) {
    fx.makeSingleInvoice(fx.addTrip({}));
    fx.exec("UPDATE Rechnung SET Bezahlt = 1 WHERE RecNr = ?", {nr});
    InvoiceOverviewRules::applyFilter(*r.Rectab, QString(), InvoiceOverviewRules::statusSuffix(1));
    EXPECT_TRUE(r.Rectab->filtered());
    EXPECT_EQ(r.Rectab->recordCount(), 1);
    InvoiceOverviewRules::applyFilter(
        *r.Rectab, InvoiceOverviewRules::monthCondition(10, S("2026")), QString());
    EXPECT_EQ(r.Rectab->recordCount(), 0) << "both invoices are of December";
    InvoiceOverviewRules::applyFilter(*r.Rectab, QString(), QString());
    EXPECT_FALSE(r.Rectab->filtered());
    EXPECT_EQ(r.Rectab->recordCount(), 2);
}

TEST_F(InvoiceOverviewRulesTest, PartPaymentsUpToTheOpenAmount) {
    EXPECT_EQ(rules.remainingText(), S("..."));
    fx.dialogs.answerInput(S(" 50,00 "));
    EXPECT_EQ(rules.Anzahlung().outcome, InvoiceOverviewRules::PaymentOutcome::PartPaid);
    EXPECT_DOUBLE_EQ(stored("Anzahlung"), 50.0);
    EXPECT_EQ(rules.remainingText(), S("116,6"));
    EXPECT_EQ(fx.dialogs.inputPrompts().last(), S("Betrag"));

    // Exactly the open amount: still part-paid, nothing left.
    fx.dialogs.answerInput(S("116,6"));
    EXPECT_EQ(rules.Anzahlung().outcome, InvoiceOverviewRules::PaymentOutcome::PartPaid);
    EXPECT_FALSE(r.Rectab->field(S("Bezahlt")).asBoolean());
    EXPECT_DOUBLE_EQ(stored("Anzahlung"), 166.6);
    EXPECT_EQ(rules.remainingText(), S("0"));
    EXPECT_EQ(r.Rectab->field(S("AnzahlungD")).asDateTime().date(), QDate(2026, 12, 8));

    // Windows-1252 (euro sign 0x80), CR LF, one line per payment.
    EXPECT_EQ(fx.folder.readFile(S("daten/%1").arg(nr)),
              QByteArray("08.12.2026 50,00 \x80\r\n08.12.2026 116,60 \x80\r\n"));
    EXPECT_TRUE(clipboard.isEmpty());
    EXPECT_TRUE(fx.dialogs.messages().isEmpty());

    fx.dialogs.answerInput(std::nullopt);
    EXPECT_EQ(rules.Anzahlung().outcome, InvoiceOverviewRules::PaymentOutcome::Cancelled);
}

TEST_F(InvoiceOverviewRulesTest, PayingThePrintedGrossLeavesNothingOpen) {
    // Net 33,33 at 19 %: the gross is 39,6627, the invoice prints 39,66 €.
    fx.exec("UPDATE RecPos SET Netto = 33.33 WHERE RecID = ?", {nr});
    r.Recposten->refresh();
    fx.dialogs.answerInput(S("10"));
    rules.Anzahlung();
    EXPECT_EQ(rules.remainingText(), S("29,66"));
    fx.dialogs.answerInput(S("29,66"));
    EXPECT_EQ(rules.Anzahlung().outcome, InvoiceOverviewRules::PaymentOutcome::PartPaid);
    EXPECT_EQ(rules.remainingText(), S("0"));
    // One cent more is an overpayment of exactly one cent.
    fx.dialogs.answerInput(S("0,01"));
    const auto over = rules.Anzahlung();
    EXPECT_EQ(over.outcome, InvoiceOverviewRules::PaymentOutcome::Overpaid);
    EXPECT_EQ(over.overpayment, S("0,01"));
}

TEST_F(InvoiceOverviewRulesTest, OverpaymentMarksPaidAndGoesToTheClipboard) {
    fx.dialogs.answerInput(S("100"));
    rules.Anzahlung();
    fx.dialogs.answerInput(S("70,10"));
    const auto result = rules.Anzahlung();
    EXPECT_EQ(result.outcome, InvoiceOverviewRules::PaymentOutcome::Overpaid);
    EXPECT_EQ(result.overpayment, S("3,5"));
    EXPECT_EQ(clipboard, S("3,5"));
    EXPECT_EQ(fx.dialogs.lastMessage().text,
              S("Überzahlung von 3,5 €. Betrag ist in der Zwischenablage gespeichert"));
    EXPECT_TRUE(r.Rectab->field(S("Bezahlt")).asBoolean());
    EXPECT_DOUBLE_EQ(stored("Anzahlung"), 0.0);
    EXPECT_TRUE(fx.scalar("SELECT AnzahlungD FROM Rechnung WHERE RecNr = ?", {nr}).isNull());
    EXPECT_EQ(r.Rectab->field(S("Zahlungsdatum")).asDateTime().date(), QDate(2026, 12, 8));
    EXPECT_EQ(fx.folder.readFile(S("daten/%1").arg(nr)), QByteArray("08.12.2026 100,00 \x80\r\n"))
        << "an overpayment writes no line";
}

TEST_F(InvoiceOverviewRulesTest, BadInputChangesNothing) {
    const QStringList before = fx.snapshot();
    const QString notes = fx.folder.filePath(S("daten/%1").arg(nr));
    struct Case {
        const char* entry;
        const char* message;
    };
    // Nothing, or money going back, would make the open amount grow beyond the gross.
    for (const Case& c :
         {Case{"fünfzig", "'fünfzig' ist kein gültiger Betrag."},
          Case{"0", "Eine Anzahlung muss größer als 0 sein; '0' wird nicht gebucht."},
          Case{" 0,00 ", "Eine Anzahlung muss größer als 0 sein; '0,00' wird nicht gebucht."},
          Case{"-50", "Eine Anzahlung muss größer als 0 sein; '-50' wird nicht gebucht."}}) {
        fx.dialogs.answerInput(S(c.entry));
        try {
            rules.Anzahlung();
            ADD_FAILURE() << c.entry << " accepted";
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(), S(c.message));
        }
        EXPECT_EQ(fx.snapshot(), before) << c.entry;
        EXPECT_FALSE(QFile::exists(notes)) << c.entry << ": no line in the notes file";
    }

    // A notes file that cannot be written: the payment is not booked either.
    QDir().mkpath(fx.folder.filePath(S("daten/%1").arg(nr)));
    fx.dialogs.answerInput(S("20"));
    EXPECT_THROW(rules.Anzahlung(), DbError);
    EXPECT_EQ(fx.snapshot(), before);
    EXPECT_EQ(r.Rectab->state(), TableState::Browse);
    EXPECT_DOUBLE_EQ(r.Rectab->field(S("Anzahlung")).asFloat(), 0.0);
    EXPECT_THROW(InvoiceOverviewRules::saveNotes(nr, S("x")), DbError);
}

TEST_F(InvoiceOverviewRulesTest, PaidAndUnpaidRadioRules) {
    r.Rectab->edit();
    r.Rectab->setValue(S("Anzahlung"), 10.0);
    r.Rectab->setValue(S("AnzahlungD"), QDate(2026, 12, 1));
    rules.markPaid();
    EXPECT_TRUE(r.Rectab->field(S("Bezahlt")).asBoolean());
    EXPECT_TRUE(r.Rectab->field(S("Anzahlung")).isNull()) << "empty, not 0";
    EXPECT_TRUE(r.Rectab->field(S("AnzahlungD")).isNull());
    r.Rectab->setValue(S("Zahlungsart"), S("Bar"));
    r.Rectab->setValue(S("Zahlungsdatum"), QDate(2026, 12, 2));
    rules.markNotPaid();
    EXPECT_FALSE(r.Rectab->field(S("Bezahlt")).asBoolean());
    EXPECT_TRUE(r.Rectab->field(S("Zahlungsart")).isNull());
    EXPECT_TRUE(r.Rectab->field(S("Zahlungsdatum")).isNull());
    r.Rectab->post();
}

TEST_F(InvoiceOverviewRulesTest, CancellingWithAndWithoutFreeingTrips) {
    // Not booked: cannot be cancelled, no question is asked.
    EXPECT_FALSE(rules.RecStorno());
    EXPECT_TRUE(fx.dialogs.messages().isEmpty());

    r.RechnungBuchen(nr);
    fx.dialogs.answerNext(MsgResult::No);  // keep the trips
    fx.dialogs.answerNext(MsgResult::Yes); // cancel
    EXPECT_TRUE(rules.RecStorno());
    EXPECT_EQ(fx.dialogs.messageTexts(),
              QStringList({S("Sollen die Fahrten nach dem Stornieren wieder freigegeben werden?"),
                           S("Wollen Sie die Rechnung 1 wirklich stornieren?")}));
    EXPECT_TRUE(r.Rectab->field(S("Storniert")).asBoolean());
    EXPECT_EQ(fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {trip}).toInt(), nr);
    EXPECT_FALSE(rules.RecStorno()) << "already cancelled";

    // A second invoice, cancelled with its trips freed; declining first changes nothing.
    const int trip2 = fx.addTrip({});
    const int nr2 = fx.makeSingleInvoice(trip2);
    r.RechnungBuchen(nr2);
    ASSERT_TRUE(fx.gotoInvoice(nr2));
    fx.dialogs.answerNext(MsgResult::Yes);
    fx.dialogs.answerNext(MsgResult::No);
    EXPECT_FALSE(rules.RecStorno());
    EXPECT_FALSE(r.Rectab->field(S("Storniert")).asBoolean());
    EXPECT_EQ(fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {trip2}).toInt(), nr2);
    fx.dialogs.answerNext(MsgResult::Yes);
    fx.dialogs.answerNext(MsgResult::Yes);
    EXPECT_TRUE(rules.RecStorno());
    EXPECT_TRUE(fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {trip2}).isNull());
    EXPECT_EQ(r.Fahrttab->recordCount(), 0) << "the trip view shows the change";
    EXPECT_EQ(r.Recposten->recordCount(), 1) << "positions of a cancelled invoice stay";
}

TEST_F(InvoiceOverviewRulesTest, RecomputedNetSum) {
    fx.exec("INSERT INTO RecPos (RecID, Netto) VALUES (?, 0.33335)", {nr});
    r.Recposten->refresh();
    rules.getnetto();
    // The net as printed: each position in whole cents; the gross from it, to cents.
    EXPECT_DOUBLE_EQ(stored("Netto"), 140.33);
    EXPECT_DOUBLE_EQ(r.Rectab->field(S("brutto")).asFloat(), 166.99);
}
