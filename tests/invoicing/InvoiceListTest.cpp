// The invoice list: the four lists with their status texts and payment columns, grouping
// by funeral director (subtotals, a page each), one funeral director only, the empty
// selection, and the invoice table's filter and order after a run, also a failed one.
#include "invoicing/InvoiceFixture.h"

#include "base/DbError.h"
#include "data/Table.h"
#include "invoicing/InvoiceListRun.h"
#include "invoicing/TBericht_Rechnung.h"
#include "reports/ReportPages.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QString December = S("DATUM >= #12/01/2026# AND DATUM <= #12/31/2026#");

class InvoiceList : public ::testing::Test {
protected:
    InvoiceFixture fx;

    void SetUp() override {
        // Zander is address 1, Arndt address 2 (the fixture's funeral directors).
        addInvoice(101, 1, "2026-12-03", 100.00, true, "2026-12-05", S("Überweisung"), 0, {});
        addInvoice(102, 2, "2026-12-04", 200.00, true, "2026-12-07", S("Bar"), 0, {});
        addInvoice(103, 1, "2026-12-10", 50.00, false, {}, {}, 20.00, "2026-12-06");
        addInvoice(104, 2, "2026-12-11", 80.00, false, {}, {}, 0, {});
        addInvoice(105, 2, "2026-12-12", 999.00, false, {}, {}, 0, {}, "Storniert");
        addInvoice(106, 1, "2026-12-13", 60.00, false, {}, {}, 0, {}, "Ausgeblendet");
        addInvoice(107, 1, "2026-11-30", 70.00, false, {}, {}, 0, {}); // November
        fx.datenR->Rectab->refresh();
    }

    void addInvoice(int nr, int kunde, const char* datum, double netto, bool bezahlt,
                    const char* zahlungsdatum, const QString& zahlungsart, double anzahlung,
                    const char* anzahlungD, const char* flag = nullptr) {
        auto date = [](const char* iso) {
            return iso ? QVariant(
                             stored::dateText(QDate::fromString(QLatin1String(iso), Qt::ISODate)))
                       : QVariant();
        };
        fx.exec("INSERT INTO Rechnung (RecNr, Kunde, Datum, Netto, MWSt, Bezahlt, Zahlungsdatum, "
                "Zahlungsart, Anzahlung, AnzahlungD, Storniert, Ausgeblendet, Gebucht, Euro) "
                "VALUES (?,?,?,?,19,?,?,?,?,?,?,?,0,1)",
                {nr, kunde, date(datum), netto, bezahlt, date(zahlungsdatum),
                 zahlungsart.isEmpty() ? QVariant() : QVariant(zahlungsart), anzahlung,
                 date(anzahlungD), flag && QByteArray(flag) == "Storniert",
                 flag && QByteArray(flag) == "Ausgeblendet"});
    }

    /// Runs a list of December; returns the texts per page (empty when nothing was output).
    QList<QStringList> runList(InvoiceListKind kind, bool grouped = false, bool pages = false,
                               std::optional<int> director = std::nullopt) {
        const InvoiceListPreset preset = invoiceListPreset(kind);
        fx.datenR->ReportTitle = preset.title;
        fx.datenR->InvoiceFilter = preset.filterSuffix;
        InvoiceListChoice choice;
        choice.title = preset.title;
        choice.periodText = S("Dezember 2026");
        choice.dateFilter = December;
        choice.funeralDirector = director;
        choice.byFuneralDirector = grouped;
        choice.pagePerFuneralDirector = pages;
        QList<QStringList> out;
        InvoiceListRun run(fx.datenR.get(), &fx.dialogs);
        run.run(choice, [&](TBericht_Rechnung& report) {
            const auto rendered = report.render();
            for (int i = 0; i < rendered->pageCount(); ++i)
                out << rendered->page(i).texts();
        });
        return out;
    }

    void expectTableRestored() {
        Table* t = fx.datenR->Rectab;
        EXPECT_FALSE(t->filtered());
        EXPECT_TRUE(t->filter().isEmpty());
        EXPECT_EQ(t->order(), "[RecNr] ASC");
    }
};

TEST_F(InvoiceList, EachListShowsItsInvoicesStatusAndPaymentColumns) {
    struct Case {
        InvoiceListKind kind;
        QStringList numbers; // in list order: by funeral director, then number
        bool paymentColumns;
        QString totals; // net, gross
    };
    const QList<Case> cases{
        {InvoiceListKind::Alle, {"101", "103", "106", "102", "104"}, true, S("490,00 €|583,10 €")},
        {InvoiceListKind::Bezahlte, {"101", "102"}, true, S("300,00 €|357,00 €")},
        {InvoiceListKind::Unbezahlte, {"103", "104"}, false, S("130,00 €|154,70 €")},
        {InvoiceListKind::Ausgeblendete, {"106"}, false, S("60,00 €|71,40 €")},
    };
    for (const Case& c : cases) {
        const QString name = invoiceListPreset(c.kind).title;
        SCOPED_TRACE(name.toStdString());
        const QList<QStringList> pages = runList(c.kind);
        ASSERT_EQ(pages.size(), 1);
        const QStringList& t = pages[0];
        EXPECT_EQ(t.value(0), name);
        EXPECT_TRUE(t.contains(S("Dezember 2026")));
        EXPECT_TRUE(t.contains(S("08.12.2026"))) << "today's date under the title";
        QStringList numbers;
        for (const QString& s : t)
            if (s.size() == 3 && s.startsWith(QLatin1String("10")))
                numbers << s;
        EXPECT_EQ(numbers, c.numbers);
        EXPECT_TRUE(t.contains(QStringLiteral("Rechnungen: %1").arg(c.numbers.size())));
        const QStringList totals = c.totals.split(QLatin1Char('|'));
        EXPECT_TRUE(t.contains(totals[0]) && t.contains(totals[1])) << t.join(" | ").toStdString();
        EXPECT_EQ(t.contains(S("bezahlt")), c.paymentColumns);
        EXPECT_TRUE(t.contains(S("Anzahlung/Zahlungsart")));
        EXPECT_TRUE(t.contains(S("Seite 1")));
        EXPECT_FALSE(t.contains(S("999,00 €"))) << "cancelled invoices are never listed";
    }

    // All invoices: status texts and payment entries; a part payment only when above 0.
    const QStringList all = runList(InvoiceListKind::Alle).value(0);
    EXPECT_EQ(all.count(S("nicht bezahlt")), 2) << "104 and the hidden 106";
    EXPECT_EQ(all.count(S("angezahlt")), 1);
    EXPECT_TRUE(all.contains(S("05.12.2026")) && all.contains(S("Überweisung")));
    EXPECT_TRUE(all.contains(S("20,00 €")) && all.contains(S("06.12.26")));
    EXPECT_EQ(all.count(S("0,00 €")), 0) << "no part payment of 0 is printed";
    // Unpaid: the part payment stays, status, payment date and type are left out.
    const QStringList unpaid = runList(InvoiceListKind::Unbezahlte).value(0);
    EXPECT_TRUE(unpaid.contains(S("20,00 €")));
    for (const char* hidden : {"angezahlt", "nicht bezahlt"})
        EXPECT_FALSE(unpaid.contains(S(hidden))) << hidden;
    expectTableRestored();
}

TEST_F(InvoiceList, GroupedByFuneralDirectorWithSubtotalsAndOptionalPages) {
    const QList<QStringList> onePage = runList(InvoiceListKind::Alle, true, false);
    ASSERT_EQ(onePage.size(), 1);
    const QStringList& t = onePage[0];
    const qsizetype zander = t.indexOf(S("Zander")), arndt = t.indexOf(S("Arndt"));
    ASSERT_GE(zander, 0);
    ASSERT_GT(arndt, zander) << "ordered by funeral director (address number)";
    // Subtotals: Zander 101, 103, 106 = 210,00 net, 249,90 gross; Arndt 102, 104.
    const qsizetype zanderSum = t.indexOf(S("210,00 €"));
    EXPECT_GT(zanderSum, zander);
    EXPECT_LT(zanderSum, arndt);
    EXPECT_TRUE(t.contains(S("249,90 €")));
    EXPECT_GT(t.indexOf(S("280,00 €")), arndt);
    EXPECT_TRUE(t.contains(S("333,20 €")));
    EXPECT_FALSE(t.contains(S("490,00 €"))) << "no grand total when grouped";
    EXPECT_FALSE(t.join(' ').contains(S("Rechnungen:")));

    const QList<QStringList> pages = runList(InvoiceListKind::Alle, true, true);
    ASSERT_EQ(pages.size(), 2) << "a page per funeral director";
    EXPECT_TRUE(pages[0].contains(S("210,00 €")));
    EXPECT_FALSE(pages[0].contains(S("Arndt")));
    EXPECT_TRUE(pages[1].contains(S("Arndt")) && pages[1].contains(S("280,00 €")));
    EXPECT_TRUE(pages[1].contains(S("Seite 2")));
    EXPECT_TRUE(pages[1].contains(S("Anzahlung/Zahlungsart"))) << "column header on every page";

    // One funeral director: the condition is kept in InvoiceFilter, as a number.
    const QList<QStringList> one = runList(InvoiceListKind::Alle, false, false, /*director*/ 2);
    ASSERT_EQ(one.size(), 1);
    EXPECT_FALSE(one[0].contains(S("Zander")));
    EXPECT_TRUE(one[0].contains(S("Rechnungen: 2")));
    EXPECT_EQ(fx.datenR->InvoiceFilter, S(" and not storniert and kunde=2"));
    expectTableRestored();
}

TEST_F(InvoiceList, EmptySelectionAndFailuresLeaveNoOutputAndTheTableRestored) {
    fx.datenR->InvoiceFilter = invoiceListPreset(InvoiceListKind::Bezahlte).filterSuffix;
    InvoiceListChoice choice;
    choice.title = S("Leer");
    choice.dateFilter = S("DATUM >= #01/01/2025# AND DATUM <= #01/31/2025#");
    InvoiceListRun run(fx.datenR.get(), &fx.dialogs);
    bool output = false;
    EXPECT_FALSE(run.run(choice, [&](TBericht_Rechnung&) { output = true; }));
    EXPECT_FALSE(output);
    ASSERT_EQ(fx.dialogs.messages().size(), 1);
    EXPECT_EQ(fx.dialogs.messages()[0].title, S("Bericht Rechnung"));
    EXPECT_EQ(fx.dialogs.messages()[0].text,
              S("Im angegebenen Zeitraum sind keine Rechnungen vorhanden"));
    expectTableRestored();

    // A list that fails while it is output still gives the table back.
    choice.dateFilter = December;
    EXPECT_THROW(
        run.run(choice, [](TBericht_Rechnung&) { throw DbError(QStringLiteral("Drucker weg")); }),
        DbError);
    expectTableRestored();
    EXPECT_EQ(fx.datenR->Rectab->recordCount(), 7);
}

TEST(InvoiceListRules, PaymentColumnsAreHiddenOnlyWhereTheFilterExcludesPaidInvoices) {
    for (InvoiceListKind k : {InvoiceListKind::Alle, InvoiceListKind::Bezahlte})
        EXPECT_TRUE(TBericht_Rechnung::showsPaymentColumns(invoiceListPreset(k).filterSuffix +
                                                           " and kunde=3"));
    for (InvoiceListKind k : {InvoiceListKind::Unbezahlte, InvoiceListKind::Ausgeblendete})
        EXPECT_FALSE(TBericht_Rechnung::showsPaymentColumns(invoiceListPreset(k).filterSuffix));
    EXPECT_FALSE(TBericht_Rechnung::showsPaymentColumns(" and NOT bezahlt"));
    EXPECT_TRUE(TBericht_Rechnung::showsPaymentColumns(" and not bezahltam")) << "another column";
}

} // namespace
