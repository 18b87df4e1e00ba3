#include "reports/TBe_Zusatzdaten.h"

#include "reports/TBericht_offeneFahrt.h"

namespace kilvaro {

namespace {

const QString kMoneyMask = QStringLiteral("#,##0.00 €");

/// Title, funeral director and period at the top of every page.
void addPageHeading(Report& report, double width) {
    auto* header = report.addBand(BandKind::PageHeader, QStringLiteral("PageHeaderBand1"), 24);
    header->addSystem(QStringLiteral("Titel"), {0, 1, width, 9}, ReportItem::System::ReportTitle)
        .setFontSize(16)
        .bold();
    header->addLabel(QStringLiteral("Bestatter"), {0, 11, width * 0.6, 6}, QString())
        .setFontSize(11)
        .bold();
    header->addLabel(QStringLiteral("zeit"), {width * 0.6, 11, width * 0.4, 6}, QString())
        .setFontSize(11)
        .alignRight();
}

void setHeadingTexts(Report& report, const QString& title, const QString& zeit,
                     const QString& bestatter) {
    report.setTitle(title);
    report.item(QStringLiteral("zeit"))->setCaption(zeit);
    report.item(QStringLiteral("Bestatter"))->setCaption(bestatter);
}

} // namespace

// --- TBe_Zusatzdaten ------------------------------------------------------------------------

namespace {
// Landscape columns (262 mm between the margins).
constexpr double kDatumX = 0, kDatumW = 20;
constexpr double kZeitX = 21, kZeitW = 11;
constexpr double kNameX = 33, kNameW = 47;
constexpr double kStrasseX = 81, kStrasseW = 42;
constexpr double kPlzX = 124, kPlzW = 13;
constexpr double kOrtX = 138, kOrtW = 32;
constexpr double kZielX = 171, kZielW = 34;
constexpr double kAkzX = 206, kAkzW = 30;
constexpr double kNettoX = 237, kNettoW = 25;
} // namespace

TBe_Zusatzdaten::TBe_Zusatzdaten(Connection* database) : m_query(database), m_source(&m_query) {
    setOrientation(QPageLayout::Landscape);
    setTitle(QStringLiteral("Zusatzdaten Überführungen"));
    setDataSource(&m_source);
    options().printIfEmpty = true;
    m_query.setLines(
        {QStringLiteral("select personen,datum,adressen.name,trim(fahrten.Anrede+\" \"+"
                        "fahrten.vorname+\" \"+fahrten.personen) as nachname,fahrten.Strasse,"
                        "fahrten.plz,fahrten.ort,beamter,akz,ortspauschale,nacht,ankleiden,"
                        "feiertag,zielort,zeit,"),
         QStringLiteral("           kuehlung,uhuelle,covid19"),
         QStringLiteral("from adressen,fahrten"),
         QStringLiteral("where adressen.id = fahrten.bestatter")});
    const double w = contentWidth();
    addPageHeading(*this, w);

    auto* columns = addBand(BandKind::ColumnHeader, QStringLiteral("Spalten"), 7);
    columns->setFrame(ReportFrame::bottomRule(0.75));
    auto column = [&](const char* name, const char* caption, double x, double width,
                      bool right = false) {
        auto& label = columns->addLabel(QLatin1String(name), {x, 1, width, 5},
                                        QString::fromUtf8(caption));
        label.bold().setFontSize(9);
        if (right)
            label.alignRight();
    };
    column("LDatum", "Datum", kDatumX, kDatumW);
    column("LZeit", "Zeit", kZeitX, kZeitW);
    column("LName", "Name", kNameX, kNameW);
    column("LStrasse", "Straße", kStrasseX, kStrasseW);
    column("LPlz", "PLZ", kPlzX, kPlzW);
    column("LOrt", "Ort", kOrtX, kOrtW);
    column("LZielort", "Zielort", kZielX, kZielW);
    column("LAkz", "Aktenzeichen", kAkzX, kAkzW);
    column("LNetto", "Netto", kNettoX, kNettoW, true);

    m_gruppenkopf = addGroup(QStringLiteral("Gruppenkopf"), QStringLiteral("beamter"),
                             QStringLiteral("Gruppenkopf"), 8);
    m_gruppenkopf->header()
        ->addField(QStringLiteral("lGruppenkopf"), {0, 2, w, 5.5}, QStringLiteral("beamter"))
        .bold();

    auto* detail = addBand(BandKind::Detail, QStringLiteral("DetailBand1"), 5);
    auto field = [&](const char* name, double x, double width, const QString& mask = {}) {
        detail->addField(QLatin1String(name), {x, 0.5, width, 4.5}, QLatin1String(name), mask)
            .setFontSize(9)
            .setWordWrap(true);
    };
    field("datum", kDatumX, kDatumW, QStringLiteral("dd.mm.yyyy"));
    field("zeit", kZeitX, kZeitW, QStringLiteral("hh:nn"));
    field("nachname", kNameX, kNameW);
    field("Strasse", kStrasseX, kStrasseW);
    field("plz", kPlzX, kPlzW);
    field("ort", kOrtX, kOrtW);
    field("zielort", kZielX, kZielW);
    field("akz", kAkzX, kAkzW);
    detail->addLabel(QStringLiteral("netto"), {kNettoX, 0.5, kNettoW, 4.5}, QString())
        .setFontSize(9)
        .alignRight();
    detail->beforePrint = [this](ReportBand& band, bool&) {
        const Money amount = TBericht_offeneFahrt::tripAmount(m_source);
        band.item(QStringLiteral("netto"))->setCaption(amount.format(kMoneyMask));
        m_total += amount;
    };

    auto* summary = addBand(BandKind::Summary, QStringLiteral("QRBand2"), 10);
    summary->addHLine(QStringLiteral("Linie"), kNettoX - 15, 1, kNettoW + 15, 0.5);
    summary->addLabel(QStringLiteral("LGesamt"), {kAkzX, 2.5, kAkzW, 5}, QStringLiteral("Gesamt"))
        .bold();
    summary->addLabel(QStringLiteral("Gesamtsumme"), {kNettoX - 15, 2.5, kNettoW + 15, 5}, QString())
        .bold()
        .alignRight();
    summary->beforePrint = [this](ReportBand& band, bool&) {
        band.item(QStringLiteral("Gesamtsumme"))->setCaption(m_total.format(kMoneyMask));
    };

    auto* footer = addBand(BandKind::PageFooter, QStringLiteral("QRBand1"), 8);
    footer
        ->addSystem(QStringLiteral("Seite"), {w - 40, 2, 40, 4.5}, ReportItem::System::PageNumber,
                    QStringLiteral("Seite "))
        .setFontSize(8)
        .alignRight();
}

void TBe_Zusatzdaten::setHeadings(const QString& title, const QString& zeit,
                                  const QString& bestatter) {
    setHeadingTexts(*this, title, zeit, bestatter);
}

void TBe_Zusatzdaten::groupByDate() {
    m_gruppenkopf->setExpression(QStringLiteral("Datum"));
    m_gruppenkopf->setNewPage(true);
    item(QStringLiteral("lGruppenkopf"))
        ->setField(QStringLiteral("Datum"))
        .setMask(QStringLiteral("dd.mm.yyyy"));
}

void TBe_Zusatzdaten::beforePrint() {
    m_total = Money();
}

// --- TBe_Ueberfuehrungen --------------------------------------------------------------------

namespace {
constexpr double kUDatumX = 8, kUDatumW = 22;
constexpr double kUOrtX = 32, kUOrtW = 110;
constexpr double kUNettoX = 145, kUNettoW = 30;
} // namespace

TBe_Ueberfuehrungen::TBe_Ueberfuehrungen(Connection* database)
    : m_query(database), m_source(&m_query) {
    setTitle(QStringLiteral("Überführungen nach Personen"));
    setDataSource(&m_source);
    options().printIfEmpty = true;
    m_query.setLines({QStringLiteral("select adressen.name,fahrten.datum,personen,startort,"
                                     "Ortspauschale,Ankleiden,"),
                      QStringLiteral("        Nacht,Feiertag,kuehlung,uhuelle,covid19,zielort"),
                      QStringLiteral("from adressen,fahrten"),
                      QStringLiteral("where fahrten.bestatter = adressen.id"),
                      QStringLiteral("order by name,personen")});
    const double w = contentWidth();
    addPageHeading(*this, w);

    auto* columns = addBand(BandKind::ColumnHeader, QStringLiteral("Spalten"), 7);
    columns->setFrame(ReportFrame::bottomRule(0.75));
    // The surname heads each group; its transfers follow indented by date.
    columns->addLabel(QStringLiteral("LPerson"), {0, 1, kUOrtX - 2, 5},
                      QStringLiteral("Person, Datum"))
        .bold();
    columns->addLabel(QStringLiteral("LStrecke"), {kUOrtX, 1, kUOrtW, 5}, QStringLiteral("Strecke"))
        .bold();
    columns->addLabel(QStringLiteral("LNetto"), {kUNettoX, 1, kUNettoW, 5}, QStringLiteral("Netto"))
        .bold()
        .alignRight();

    ReportGroup* group = addGroup(QStringLiteral("QRGroup1"), QStringLiteral("personen"),
                                  QStringLiteral("QRGroup1"), 8);
    group->header()
        ->addField(QStringLiteral("personen"), {0, 2, w, 5.5}, QStringLiteral("personen"))
        .bold();

    auto* detail = addBand(BandKind::Detail, QStringLiteral("DetailBand1"), 5.5);
    detail->addField(QStringLiteral("datum"), {kUDatumX, 0.5, kUDatumW, 5},
                     QStringLiteral("datum"), QStringLiteral("dd.mm.yyyy"));
    detail->addLabel(QStringLiteral("lOrt"), {kUOrtX, 0.5, kUOrtW, 5}, QString()).setWordWrap(true);
    detail->addLabel(QStringLiteral("Netto"), {kUNettoX, 0.5, kUNettoW, 5}, QString())
        .alignRight();
    detail->beforePrint = [this](ReportBand& band, bool&) {
        band.item(QStringLiteral("lOrt"))
            ->setCaption(m_source.value(QStringLiteral("startort")).toString() +
                         QStringLiteral(" - ") +
                         m_source.value(QStringLiteral("zielort")).toString());
        const Money amount = TBericht_offeneFahrt::tripAmount(m_source);
        band.item(QStringLiteral("Netto"))->setCaption(amount.format(kMoneyMask));
        m_groupTotal += amount;
    };

    auto* footer = addGroupFooter(group, QStringLiteral("QRBand1"), 9);
    footer->addHLine(QStringLiteral("Linie"), kUNettoX, 0.8, kUNettoW, 0.5);
    footer->addLabel(QStringLiteral("nettogesamt"), {kUNettoX - 10, 1.8, kUNettoW + 10, 5}, QString())
        .bold()
        .alignRight();
    footer->beforePrint = [this](ReportBand& band, bool&) {
        band.item(QStringLiteral("nettogesamt"))->setCaption(m_groupTotal.format(kMoneyMask));
        m_groupTotal = Money();
    };

    auto* pageFooter = addBand(BandKind::PageFooter, QStringLiteral("PageFooter"), 8);
    pageFooter
        ->addSystem(QStringLiteral("Seite"), {w - 40, 2, 40, 4.5}, ReportItem::System::PageNumber,
                    QStringLiteral("Seite "))
        .setFontSize(8)
        .alignRight();
}

void TBe_Ueberfuehrungen::setHeadings(const QString& title, const QString& zeit,
                                      const QString& bestatter) {
    setHeadingTexts(*this, title, zeit, bestatter);
}

void TBe_Ueberfuehrungen::beforePrint() {
    m_groupTotal = Money();
}

} // namespace kilvaro
