#include "reports/TBericht_Preisform.h"

namespace kilvaro {

TBericht_Preisform::TBericht_Preisform(Table* prices) : m_source(prices) {
    setTitle(QStringLiteral("Preise"));
    setDataSource(&m_source);
    const double w = contentWidth();
    // Place or route, then distance and guide price right-aligned.
    const double priceX = w - 35, distanceX = priceX - 35;

    auto* title = addBand(BandKind::Title, QStringLiteral("Title"), 14);
    title->addSystem(QStringLiteral("Titel"), {0, 1, w, 9}, ReportItem::System::ReportTitle)
        .setFontSize(16)
        .bold();

    auto* header = addBand(BandKind::ColumnHeader, QStringLiteral("PageHeader"), 15);
    header->setFrame(ReportFrame::bottomRule(0.75));
    header
        ->addSystem(QStringLiteral("Seite"), {w - 40, 1, 40, 5}, ReportItem::System::PageNumber,
                    QStringLiteral("Seite "))
        .setFontSize(9)
        .alignRight();
    header->addLabel(QStringLiteral("LOrt"), {0, 9, distanceX - 4, 5}, QStringLiteral("Ort"))
        .bold();
    header
        ->addLabel(QStringLiteral("LEntfernung"), {distanceX, 9, 30, 5},
                   QStringLiteral("Entfernung"))
        .bold()
        .alignRight();
    header
        ->addLabel(QStringLiteral("LRichtpreis"), {priceX, 9, 35, 5}, QStringLiteral("Richtpreis"))
        .bold()
        .alignRight();

    auto* detail = addBand(BandKind::Detail, QStringLiteral("Detail"), 5.5);
    // Long route names wrap instead of running into the distance column.
    detail->addField(QStringLiteral("Ort"), {0, 0.5, distanceX - 4, 5}, QStringLiteral("Ort"))
        .setWordWrap(true);
    detail
        ->addField(QStringLiteral("Entfernung"), {distanceX, 0.5, 30, 5},
                   QStringLiteral("Entfernung"), QStringLiteral("#,##0.# km"))
        .alignRight();
    detail
        ->addField(QStringLiteral("Richtpreis"), {priceX, 0.5, 35, 5}, QStringLiteral("Richtpreis"),
                   QStringLiteral("#,##0.00 €"))
        .alignRight();

    auto* footer = addBand(BandKind::PageFooter, QStringLiteral("PageFooter"), 9);
    footer->setFrame(ReportFrame::topRule(0.5));
    footer->addSystem(QStringLiteral("Datum"), {0, 2, 50, 4.5}, ReportItem::System::Date)
        .setFontSize(8);
}

} // namespace kilvaro
