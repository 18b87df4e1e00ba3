#include "invoicing/TBericht_Rechnung.h"

#include "data/Table.h"
#include "invoicing/Daten_R.h"

#include <QRegularExpression>

namespace kilvaro {

namespace {

constexpr double ListFont = 9;
constexpr double LineH = 4.6; // one text line of the list
const QString AmountMask = QStringLiteral("#,##0.00 €");

// Columns (x, width) between the margins: number, date, funeral director, the two amounts
// right-aligned, payment state, part payment and payment type.
constexpr double NrX = 0, NrW = 10;
constexpr double DatumX = 12, DatumW = 17;
constexpr double KundeX = 31, KundeW = 47;
constexpr double NettoX = 79, NettoW = 21;
constexpr double BruttoX = 101, BruttoW = 21;
constexpr double BzX = 125, BzW = 20;
constexpr double ZahlX = 147, ZahlW = 36;
// The part payment's date beside its amount.
constexpr double AnzW = 18, AnzDX = ZahlX + 19, AnzDW = ZahlW - 19;

} // namespace

TBericht_Rechnung::TBericht_Rechnung(TDaten_R* daten) : m_daten(daten), m_source(daten->Rectab) {
    setTitle(QStringLiteral("Bericht Rechnungen"));
    setDataSource(&m_source);
    // An empty selection is refused before the list runs; it never makes a blank page.
    options().printIfEmpty = false;
    // Narrower margins than the other lists: seven columns side by side.
    setMargins(QMarginsF(15, 12, 12, 12));
    const double w = contentWidth();

    auto* title = addBand(BandKind::Title, QStringLiteral("Titelband"), 24);
    title->addSystem(QStringLiteral("Titel"), {0, 0, w, 9}, ReportItem::System::ReportTitle)
        .setFontSize(20)
        .bold()
        .alignCenter();
    title->addLabel(QStringLiteral("zeit"), {0, 10, w, 7}, QString()).setFontSize(14).alignCenter();
    title->addSystem(QStringLiteral("Heute"), {w - 40, 18, 40, 5}, ReportItem::System::Date)
        .setFontSize(ListFont)
        .alignRight();

    auto* header = addBand(BandKind::ColumnHeader, QStringLiteral("Spaltenkopf"), 7);
    header->setFrame(ReportFrame::bottomRule(0.75));
    auto column = [&](const char* name, double x, double width, const QString& caption,
                      bool right) {
        ReportItem& item = header->addLabel(QString::fromLatin1(name), {x, 1.5, width, 5}, caption)
                               .setFontSize(ListFont)
                               .bold();
        if (right)
            item.alignRight();
    };
    column("LRecNr", NrX, NrW, QStringLiteral("Rec-Nr"), true);
    column("LDatum", DatumX, DatumW, QStringLiteral("Datum"), false);
    column("LKunde", KundeX, KundeW, QStringLiteral("Kunde"), false);
    column("LNetto", NettoX, NettoW, QStringLiteral("Netto"), true);
    column("LBrutto", BruttoX, BruttoW, QStringLiteral("Brutto"), true);
    column("bz", BzX, BzW, QStringLiteral("bezahlt"), false);
    column("LAnzahlung", ZahlX, ZahlW, QStringLiteral("Anzahlung/Zahlungsart"), false);

    ReportGroup* group = addGroup(QStringLiteral("GruppeBestatter"), QStringLiteral("Kundenname"),
                                  QStringLiteral("GruppeBestatter"), 9);
    ReportBand* groupHeader = group->header();
    groupHeader
        ->addField(QStringLiteral("GKundenname"), {0, 2.5, w, 6}, QStringLiteral("Kundenname"))
        .setFontSize(12)
        .bold();
    ReportBand* groupFooter = addGroupFooter(group, QStringLiteral("gruppefuss"), 8);
    groupFooter->addHLine(QStringLiteral("GLinie"), NettoX, 0.5, BruttoX + BruttoW - NettoX, 0.5);
    groupFooter
        ->addLabel(QStringLiteral("LGSumme"), {KundeX, 1.5, KundeW, 5}, QStringLiteral("Summe"))
        .setFontSize(ListFont)
        .bold();
    groupFooter
        ->addSum(QStringLiteral("GNetto"), {NettoX - 8, 1.5, NettoW + 8, 5},
                 QStringLiteral("Netto"), AmountMask)
        .setSumOfCents()
        .setFontSize(ListFont)
        .bold()
        .alignRight();
    groupFooter
        ->addSum(QStringLiteral("GBrutto"), {BruttoX - 8, 1.5, BruttoW + 8, 5},
                 QStringLiteral("brutto"), AmountMask)
        .setSumOfCents()
        .setFontSize(ListFont)
        .bold()
        .alignRight();

    auto* detail = addBand(BandKind::Detail, QStringLiteral("Detail"), LineH + 0.4);
    auto field = [&](const char* name, double x, double width, const QString& mask = {},
                     bool right = false) -> ReportItem& {
        ReportItem& item = detail
                               ->addField(QString::fromLatin1(name), {x, 0.2, width, LineH},
                                          QString::fromLatin1(name), mask)
                               .setFontSize(ListFont);
        if (right)
            item.alignRight();
        return item;
    };
    field("RecNr", NrX, NrW, {}, true);
    field("Datum", DatumX, DatumW, QStringLiteral("dd.mm.yyyy"));
    field("Kundenname", KundeX, KundeW).setWordWrap(true);
    field("Netto", NettoX, NettoW, AmountMask, true);
    field("brutto", BruttoX, BruttoW, AmountMask, true);
    detail->addLabel(QStringLiteral("bztext"), {BzX, 0.2, BzW, LineH}, QString())
        .setFontSize(ListFont);
    field("Zahlungsdatum", BzX, BzW, QStringLiteral("dd.mm.yyyy"));
    field("Anzahlung", ZahlX, AnzW, AmountMask, true);
    field("AnzahlungD", AnzDX, AnzDW, QStringLiteral("dd.mm.yy"));
    field("Zahlungsart", ZahlX, ZahlW).setWordWrap(true);
    detail->beforePrint = [this](ReportBand& b, bool& p) { DetailBeforePrint(b, p); };

    auto* summary = addBand(BandKind::Summary, QStringLiteral("Abschluss"), 16);
    summary->addDoubleLine(QStringLiteral("SLinie"), NettoX, 0.8, BruttoX + BruttoW - NettoX, 0.5);
    summary->addLabel(QStringLiteral("LSumme"), {KundeX, 2.5, KundeW, 5}, QStringLiteral("Summe"))
        .setFontSize(ListFont)
        .bold();
    summary
        ->addSum(QStringLiteral("SNetto"), {NettoX - 8, 2.5, NettoW + 8, 5},
                 QStringLiteral("Netto"), AmountMask)
        .setSumOfCents()
        .setFontSize(ListFont)
        .bold()
        .alignRight();
    summary
        ->addSum(QStringLiteral("SBrutto"), {BruttoX - 8, 2.5, BruttoW + 8, 5},
                 QStringLiteral("brutto"), AmountMask)
        .setSumOfCents()
        .setFontSize(ListFont)
        .bold()
        .alignRight();
    summary
        ->addSystem(QStringLiteral("Anzahl"), {0, 9, 60, 5}, ReportItem::System::DetailCount,
                    QStringLiteral("Rechnungen: "))
        .setFontSize(ListFont);

    auto* footer = addBand(BandKind::PageFooter, QStringLiteral("Seitenfuss"), 8);
    footer->setFrame(ReportFrame::topRule(0.5));
    footer
        ->addSystem(QStringLiteral("Seite"), {w - 40, 2, 40, 5}, ReportItem::System::PageNumber,
                    QStringLiteral("Seite "))
        .setFontSize(ListFont)
        .alignRight();

    setGrouping(false, false);
}

void TBericht_Rechnung::setPeriodText(const QString& zeit) {
    item(QStringLiteral("zeit"))->setCaption(zeit);
}

void TBericht_Rechnung::setGrouping(bool byDirector, bool pagePerDirector) {
    ReportGroup* group = groups().constFirst();
    group->header()->setEnabled(byDirector);
    group->footer()->setEnabled(byDirector);
    group->setNewPage(byDirector && pagePerDirector);
    band(BandKind::Summary)->setEnabled(!byDirector);
}

bool TBericht_Rechnung::showsPaymentColumns(const QString& invoiceFilter) {
    // Every list excludes cancelled invoices ("not storniert"), so a mere "not" says
    // nothing; only a negated "bezahlt" leaves the paid invoices out.
    static const QRegularExpression excludesPaid(
        QStringLiteral("\\bnot\\s*\\(\\s*bezahlt\\s*\\)|\\bnot\\s+bezahlt\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return !excludesPaid.match(invoiceFilter).hasMatch();
}

QString TBericht_Rechnung::statusText(bool paid, double partPayment) {
    if (paid)
        return {};
    return partPayment != 0 ? QStringLiteral("angezahlt") : QStringLiteral("nicht bezahlt");
}

void TBericht_Rechnung::beforePrint() {
    m_showPayment = showsPaymentColumns(m_daten->InvoiceFilter);
    item(QStringLiteral("bz"))->setVisible(m_showPayment);
    for (const char* name : {"bztext", "Zahlungsdatum", "Zahlungsart"})
        item(QString::fromLatin1(name))->setVisible(m_showPayment);
}

void TBericht_Rechnung::DetailBeforePrint(ReportBand& band, bool&) {
    const bool paid = value(QStringLiteral("Bezahlt")).toBool();
    const double partPayment = value(QStringLiteral("Anzahlung")).toDouble();
    const QString status = statusText(paid, partPayment);
    band.item(QStringLiteral("bztext"))->setCaption(status);
    const bool showPart = partPayment > 0;
    band.item(QStringLiteral("Anzahlung"))->setVisible(showPart);
    band.item(QStringLiteral("AnzahlungD"))->setVisible(showPart);

    // Two entries of one column share its line; when both have something to say the
    // second moves to the line below.
    auto place = [&](const char* name, bool below) {
        ReportItem* i = band.item(QString::fromLatin1(name));
        QRectF g = i->geometry();
        g.moveTop(below ? 0.2 + LineH : 0.2);
        i->setGeometry(g);
    };
    const bool hasPaymentDate = !value(QStringLiteral("Zahlungsdatum")).isNull();
    const bool hasPaymentType =
        !value(QStringLiteral("Zahlungsart")).toString().trimmed().isEmpty();
    place("Zahlungsdatum", m_showPayment && !status.isEmpty() && hasPaymentDate);
    place("Zahlungsart", m_showPayment && showPart && hasPaymentType);
}

} // namespace kilvaro
