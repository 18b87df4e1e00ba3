#include "reports/TBericht_offeneFahrt.h"

#include "base/DbError.h"
#include "base/TextFile.h"
#include "reports/ReportRenderer.h"

#include <QDir>

namespace kilvaro {

namespace {

// Columns: date, person, route (wraps), surcharge letters, net amount right-aligned.
constexpr double kDatumX = 0, kDatumW = 21;
constexpr double kPersonX = 23, kPersonW = 42;
constexpr double kStreckeX = 67, kStreckeW = 72;
constexpr double kZuschlagX = 141, kZuschlagW = 10;
constexpr double kNettoX = 151, kNettoW = 24;

const QString kMoneyMask = QStringLiteral("#,##0.00 €");

double amountOf(const RecordSource& trip, const QString& field) {
    const QVariant v = ReportRenderer::fieldValue(&trip, field);
    return v.isNull() || !v.isValid() ? 0.0 : v.toDouble();
}

} // namespace

TBericht_offeneFahrt::TBericht_offeneFahrt(Connection* database)
    : m_query(database), m_source(&m_query) {
    setTitle(kindCaption(OpenTransfers));
    setDataSource(&m_source);
    const double w = contentWidth();

    auto* title = addBand(BandKind::Title, QStringLiteral("Title"), 20);
    title->addSystem(QStringLiteral("Titel"), {0, 1, w, 9}, ReportItem::System::ReportTitle)
        .setFontSize(16)
        .bold();
    title->addLabel(QStringLiteral("Zeit"), {0, 11, w, 6}, QString()).setFontSize(11);

    m_kopf = addGroup(QStringLiteral("Kopf"), QStringLiteral("Fahrten.Name"),
                      QStringLiteral("Kopf"), 16);
    m_kopf->setReprintOnNewPage(true);
    ReportBand* kopf = m_kopf->header();
    kopf->setFrame(ReportFrame::bottomRule(0.75));
    kopf->addField(QStringLiteral("Bestatter"), {0, 2, w - 30, 6}, QStringLiteral("Name"))
        .setFontSize(12)
        .bold();
    kopf->addSystem(QStringLiteral("Seite"), {w - 30, 2.5, 30, 5}, ReportItem::System::PageNumber,
                    QStringLiteral("Seite "))
        .setFontSize(9)
        .alignRight();
    kopf->addLabel(QStringLiteral("LDatum"), {kDatumX, 10, kDatumW, 5}, QStringLiteral("Datum"))
        .bold();
    kopf->addLabel(QStringLiteral("LPerson"), {kPersonX, 10, kPersonW, 5},
                   QStringLiteral("Person"))
        .bold();
    kopf->addLabel(QStringLiteral("LStrecke"), {kStreckeX, 10, kStreckeW, 5},
                   QStringLiteral("Strecke"))
        .bold();
    kopf->addLabel(QStringLiteral("LNetto"), {kNettoX, 10, kNettoW, 5}, QStringLiteral("Netto"))
        .bold()
        .alignRight();

    auto* details = addBand(BandKind::Detail, QStringLiteral("Details"), 5.5);
    details->addField(QStringLiteral("Datum"), {kDatumX, 0.5, kDatumW, 5}, QStringLiteral("Datum"),
                      QStringLiteral("dd.mm.yyyy"));
    details->addField(QStringLiteral("Personen"), {kPersonX, 0.5, kPersonW, 5},
                      QStringLiteral("Personen"))
        .setWordWrap(true);
    details->addLabel(QStringLiteral("Strecke"), {kStreckeX, 0.5, kStreckeW, 5}, QString())
        .setWordWrap(true);
    details->addLabel(QStringLiteral("Zuschlag"), {kZuschlagX, 0.5, kZuschlagW, 5}, QString());
    details->addLabel(QStringLiteral("Gesamt"), {kNettoX, 0.5, kNettoW, 5}, QString())
        .alignRight();
    details->beforePrint = [this](ReportBand& b, bool& p) { DetailsBeforePrint(b, p); };

    auto* footer = addGroupFooter(m_kopf, QStringLiteral("DetailFooter"), 12);
    footer->addHLine(QStringLiteral("Linie"), kNettoX, 1, kNettoW, 0.5);
    footer->addLabel(QStringLiteral("A_fahrten"), {kPersonX, 2.5, 60, 5}, QString()).bold();
    footer->addLabel(QStringLiteral("Gesamtsumme"), {kNettoX - 16, 2.5, kNettoW + 16, 5}, QString())
        .bold()
        .alignRight();
    footer->beforePrint = [this](ReportBand& b, bool& p) { DetailFooterBeforePrint(b, p); };

    auto* pageFooter = addBand(BandKind::PageFooter, QStringLiteral("PageFooter"), 9);
    pageFooter->setFrame(ReportFrame::topRule(0.5));
    pageFooter->addSystem(QStringLiteral("Druckdatum"), {0, 2, 50, 4.5}, ReportItem::System::Date)
        .setFontSize(8);
}

QString TBericht_offeneFahrt::kindCaption(int kind) {
    switch (kind) {
    case OpenTransfers:
        return QStringLiteral("Offene Überführungen");
    case Transfers:
        return QStringLiteral("Überführungen");
    case TripList:
        return QStringLiteral("Fahrten-Liste");
    default:
        return QString();
    }
}

bool TBericht_offeneFahrt::Vorbereiten(int kind, const TripReportScope& scope,
                                       const QString& sqlFolder) {
    if (kindCaption(kind).isEmpty())
        throw DbError(QStringLiteral("Unbekannte Art des Fahrtenberichts: %1").arg(kind));
    setTitle(scope.title);
    item(QStringLiteral("Zeit"))->setCaption(scope.zeittext);
    m_copies = scope.copies;

    const QString text = TextFile::read(QDir(sqlFolder).filePath(QStringLiteral("fahrten.txt")));
    QString condition = QStringLiteral("where ") + scope.datumfilter;
    // An open trip is one on no invoice: its number is empty, or 0 in older data.
    if (kind == OpenTransfers)
        condition += QStringLiteral(" AND (rechnung is null or rechnung < 1)");
    QVariantList params;
    if (scope.bestatterId) {
        condition += QStringLiteral(" AND fahrten.bestatter = ?");
        params << *scope.bestatterId;
    }
    m_query.setSql(text.trimmed());
    m_query.addLine(condition);

    const bool list = kind == TripList;
    m_kopf->setExpression(list ? QString() : QStringLiteral("Fahrten.Name"));
    item(QStringLiteral("Bestatter"))->setVisible(!list);
    // Trips of the same day keep the order in which they were entered, on every run.
    m_query.addLine(list ? QStringLiteral("order by fahrten.datum,fahrten.id")
                         : QStringLiteral("order by Adressen.name,fahrten.datum,fahrten.id"));
    m_query.setParams(params);
    m_query.open();
    return m_query.recordCount() > 0;
}

QString TBericht_offeneFahrt::surchargeLetters(const RecordSource& trip) {
    static const std::pair<const char*, char> letters[] = {
        {"Nacht", 'N'},    {"Ankleiden", 'A'}, {"Feiertag", 'S'},
        {"Kuehlung", 'K'}, {"Uhuelle", 'U'},   {"covid19", 'C'}};
    QString result;
    for (const auto& [field, letter] : letters)
        if (amountOf(trip, QLatin1String(field)) > 0)
            result += QLatin1Char(letter);
    return result;
}

Money TBericht_offeneFahrt::tripAmount(const RecordSource& trip) {
    double sum = 0;
    for (const char* field :
         {"Ortspauschale", "Nacht", "Ankleiden", "Feiertag", "Kuehlung", "Uhuelle", "Covid19"})
        sum += amountOf(trip, QLatin1String(field));
    return Money::fromDouble(sum);
}

QString TBericht_offeneFahrt::countText(int trips) {
    return QString::number(trips) +
           (trips == 1 ? QStringLiteral(" Fahrt.") : QStringLiteral(" Fahrten."));
}

void TBericht_offeneFahrt::beforePrint() {
    settings().copies = m_copies;
    m_counter = 0;
    m_groupTotal = Money();
}

void TBericht_offeneFahrt::DetailsBeforePrint(ReportBand& band, bool&) {
    ++m_counter;
    band.item(QStringLiteral("Strecke"))
        ->setCaption(m_source.value(QStringLiteral("Startort")).toString() +
                     QStringLiteral(" - ") + m_source.value(QStringLiteral("Zielort")).toString());
    const Money amount = tripAmount(m_source);
    band.item(QStringLiteral("Gesamt"))->setCaption(amount.format(kMoneyMask));
    m_groupTotal += amount;
    band.item(QStringLiteral("Zuschlag"))->setCaption(surchargeLetters(m_source));
}

void TBericht_offeneFahrt::DetailFooterBeforePrint(ReportBand& band, bool& printIt) {
    if (m_counter == 0) {
        printIt = false;
        return;
    }
    band.item(QStringLiteral("Gesamtsumme"))->setCaption(m_groupTotal.format(kMoneyMask));
    band.item(QStringLiteral("A_fahrten"))->setCaption(countText(m_counter));
    m_counter = 0;
    m_groupTotal = Money();
}

} // namespace kilvaro
