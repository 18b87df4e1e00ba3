#include "reports/TBericht_Tarifform.h"

#include "base/Money.h"
#include "data/Table.h"

namespace kilvaro {

namespace {

// Columns of the place table: number, place, then the three amounts right-aligned.
constexpr double kNrX = 0, kNrW = 10;
constexpr double kOrtX = 14, kOrtW = 68;
constexpr double kAmountW = 30;
constexpr double kNettoX = 85, kMwstX = 115, kBruttoX = 145;

// Surcharges in two pairs of columns.
constexpr double kLabelW = 28, kValueW = 32;
constexpr double kLeftPairX = 0, kRightPairX = 85;

double numberOf(const Table* t, const QString& field) {
    if (!t->isOpen() || t->isEmpty())
        return 0;
    const QVariant v = t->value(field);
    return v.isNull() ? 0 : v.toDouble();
}

} // namespace

TBericht_Tarifform::TBericht_Tarifform(Table* versions, Table* tarif, Table* orte)
    : m_tarif(tarif), m_orte(orte), m_versionSource(versions), m_tarifSource(tarif),
      m_orteSource(orte) {
    setTitle(QStringLiteral("Tarife"));
    setDataSource(&m_versionSource);
    const double w = contentWidth();

    auto* title = addBand(BandKind::Title, QStringLiteral("Title"), 14);
    title->addSystem(QStringLiteral("Titel"), {0, 1, w, 9}, ReportItem::System::ReportTitle)
        .setFontSize(16)
        .bold();

    auto* header = addBand(BandKind::ColumnHeader, QStringLiteral("PageHeader"), 8);
    header->setFrame(ReportFrame::bottomRule(0.75));
    header
        ->addSystem(QStringLiteral("Datum"), {w - 60, 1.5, 60, 5}, ReportItem::System::Date,
                    QStringLiteral("Stand: "))
        .setFontSize(9)
        .alignRight();

    // One version per page: its heading, VAT rate and currency.
    auto* master = addBand(BandKind::Detail, QStringLiteral("Master"), 20);
    master->setForceNewPage(true);
    master->addLabel(QStringLiteral("LTarif"), {0, 4, 15, 7}, QStringLiteral("Tarif: "))
        .setFontSize(13)
        .bold();
    master->addField(QStringLiteral("DBTarif"), {15, 4, 30, 7}, QStringLiteral("Nr"))
        .setFontSize(13)
        .bold();
    master->addLabel(QStringLiteral("LAnfang"), {kNettoX, 5, 25, 6}, QStringLiteral("gültig ab"));
    master->addField(QStringLiteral("DFTarifanfang"), {kNettoX + 25, 5, 35, 6},
                     QStringLiteral("Anfang"), QStringLiteral("dd.mm.yyyy"));
    master->addLabel(QStringLiteral("LMWST"), {kLeftPairX, 13, kLabelW, 5}, QStringLiteral("MWST"));
    master
        ->addField(QStringLiteral("Mehrwertsteuer"), {kLeftPairX + kLabelW, 13, 20, 5},
                   QStringLiteral("Mehrwertsteuer"), QStringLiteral("0 %"))
        .setSource(&m_tarifSource);
    master->addLabel(QStringLiteral("LWaehrung"), {kNettoX, 13, 25, 5}, QStringLiteral("Währung"));
    master
        ->addField(QStringLiteral("Waehrung"), {kNettoX + 25, 13, 20, 5},
                   QStringLiteral("Waehrung"))
        .setSource(&m_tarifSource);
    master->beforePrint = [this](ReportBand& b, bool& p) { MasterBeforePrint(b, p); };

    // The surcharges of the version.
    auto* child = master->addChild(QStringLiteral("Child"), 19);
    child->addLabel(QStringLiteral("LZuschlaege"), {0, 2, 60, 5}, QStringLiteral("Zuschläge"))
        .bold();
    auto surcharge = [&](const QString& field, const QString& caption, double x, double y) {
        child->addLabel(QLatin1Char('L') + field, {x, y, kLabelW, 5}, caption);
        child->addField(field, {x + kLabelW, y, kValueW, 5}, field)
            .alignRight()
            .setSource(&m_tarifSource);
    };
    surcharge(QStringLiteral("Ankleiden"), QStringLiteral("Ankleiden"), kLeftPairX, 8);
    surcharge(QStringLiteral("Nacht"), QStringLiteral("Nacht"), kRightPairX, 8);
    surcharge(QStringLiteral("Feiertag"), QStringLiteral("Feiertag"), kLeftPairX, 13);
    surcharge(QStringLiteral("Kuehlung"), QStringLiteral("Kühlung"), kRightPairX, 13);

    // Column titles of the place amounts.
    auto* titles = child->addChild(QStringLiteral("Child2"), 9);
    titles->setFrame(ReportFrame::bottomRule(0.5));
    titles->addLabel(QStringLiteral("LNr"), {kNrX, 3, kNrW, 5}, QStringLiteral("Nr"))
        .bold()
        .alignRight();
    titles->addLabel(QStringLiteral("LOrt"), {kOrtX, 3, kOrtW, 5}, QStringLiteral("Ort")).bold();
    titles->addLabel(QStringLiteral("LNetto"), {kNettoX, 3, kAmountW, 5}, QStringLiteral("Netto"))
        .bold()
        .alignRight();
    titles
        ->addLabel(QStringLiteral("LMwstBetrag"), {kMwstX, 3, kAmountW, 5}, QStringLiteral("MWST"))
        .bold()
        .alignRight();
    titles
        ->addLabel(QStringLiteral("LBrutto"), {kBruttoX, 3, kAmountW, 5}, QStringLiteral("Brutto"))
        .bold()
        .alignRight();

    // One line per place amount of the version.
    ReportSubDetail* sub = addSubDetail(QStringLiteral("QRSubDetail1"), &m_orteSource, 5.5);
    ReportBand* line = sub->band();
    line->addLabel(QStringLiteral("Nr"), {kNrX, 0.5, kNrW, 5}, QString()).alignRight();
    // A place name may be 50 characters long: it wraps rather than running into the amounts.
    line->addField(QStringLiteral("DFOrt"), {kOrtX, 0.5, kOrtW, 5}, QStringLiteral("Ort"))
        .setWordWrap(true);
    line->addField(QStringLiteral("DFBetrag"), {kNettoX, 0.5, kAmountW, 5},
                   QStringLiteral("Betrag"))
        .alignRight();
    line->addLabel(QStringLiteral("MWST"), {kMwstX, 0.5, kAmountW, 5}, QString()).alignRight();
    line->addLabel(QStringLiteral("Brutto"), {kBruttoX, 0.5, kAmountW, 5}, QString()).alignRight();
    line->beforePrint = [this](ReportBand& b, bool& p) { QRSubDetail1BeforePrint(b, p); };

    auto* footer = addBand(BandKind::PageFooter, QStringLiteral("PageFooter"), 9);
    footer->setFrame(ReportFrame::topRule(0.5));
    footer
        ->addSystem(QStringLiteral("Seite"), {w - 40, 2, 40, 4.5}, ReportItem::System::PageNumber,
                    QStringLiteral("Seite "))
        .setFontSize(8)
        .alignRight();
}

void TBericht_Tarifform::setValidFromHeading() {
    ReportItem* label = item(QStringLiteral("LTarif"));
    label->setCaption(QStringLiteral("gültig ab"));
    label->setGeometry({0, 4, 27, 7});
    item(QStringLiteral("DBTarif"))->setVisible(false);
    item(QStringLiteral("LAnfang"))->setVisible(false);
    item(QStringLiteral("DFTarifanfang"))->setGeometry({27, 4, 40, 7}).setFontSize(13).bold();
}

QString TBericht_Tarifform::currencyMask(const QString& currency) {
    return QStringLiteral("#,##0.00 ") + currency.trimmed();
}

void TBericht_Tarifform::beforePrint() {
    m_placeCounter = 0;
}

void TBericht_Tarifform::MasterBeforePrint(ReportBand&, bool&) {
    m_placeCounter = 0;
    const QString currency = m_tarif->isOpen() && !m_tarif->isEmpty()
                                 ? m_tarif->value(QStringLiteral("Waehrung")).toString()
                                 : QString();
    const QString mask = currencyMask(currency);
    for (const char* field : {"Ankleiden", "Nacht", "Feiertag", "Kuehlung"})
        item(QLatin1String(field))->setMask(mask);
}

void TBericht_Tarifform::QRSubDetail1BeforePrint(ReportBand& band, bool&) {
    const QString currency = m_tarif->isOpen() && !m_tarif->isEmpty()
                                 ? m_tarif->value(QStringLiteral("Waehrung")).toString()
                                 : QString();
    const QString mask = currencyMask(currency);
    band.item(QStringLiteral("DFBetrag"))->setMask(mask);
    ++m_placeCounter;
    band.item(QStringLiteral("Nr"))->setCaption(QStringLiteral("%1").arg(m_placeCounter, 3));

    // A place without an amount has no price yet: its VAT and gross stay empty as well,
    // rather than claiming a price of 0,00.
    const QVariant betrag = m_orte->value(QStringLiteral("Betrag"));
    if (betrag.isNull()) {
        band.item(QStringLiteral("MWST"))->setCaption(QString());
        band.item(QStringLiteral("Brutto"))->setCaption(QString());
        return;
    }
    const double net = betrag.toDouble();
    const double rate = numberOf(m_tarif, QStringLiteral("Mehrwertsteuer"));
    const Money::VatAmounts amounts = Money::fromDouble(net).withVat(rate);
    band.item(QStringLiteral("MWST"))->setCaption(amounts.vat.format(mask));
    band.item(QStringLiteral("Brutto"))->setCaption(amounts.gross.format(mask));
}

} // namespace kilvaro
