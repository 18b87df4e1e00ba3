#include "reports/TBericht_Ortslistenform.h"

namespace kilvaro {

TBericht_Ortslistenform::TBericht_Ortslistenform(Table* places) : m_source(places) {
    setTitle(QStringLiteral("Ortslisten"));
    setDataSource(&m_source);
    const double w = contentWidth();

    auto* title = addBand(BandKind::Title, QStringLiteral("Title"), 14);
    title->addSystem(QStringLiteral("Titel"), {0, 1, w, 9}, ReportItem::System::ReportTitle)
        .setFontSize(16)
        .bold();

    auto* header = addBand(BandKind::ColumnHeader, QStringLiteral("PageHeader"), 9);
    header->setFrame(ReportFrame::bottomRule(0.75));
    header->addLabel(QStringLiteral("LNr"), {0, 3, 10, 5}, QStringLiteral("Nr"))
        .bold()
        .alignRight();
    header->addLabel(QStringLiteral("LOrtsname"), {14, 3, 120, 5}, QStringLiteral("Ortsname"))
        .bold();
    header
        ->addSystem(QStringLiteral("Seite"), {w - 40, 3, 40, 5}, ReportItem::System::PageNumber,
                    QStringLiteral("Seite "))
        .setFontSize(9)
        .alignRight();

    auto* detail = addBand(BandKind::Detail, QStringLiteral("Detail"), 5.5);
    detail->addLabel(QStringLiteral("Nr"), {0, 0.5, 10, 5}, QString()).alignRight();
    detail->addField(QStringLiteral("Ort"), {14, 0.5, w - 14, 5}, QStringLiteral("Ort"));
    detail->beforePrint = [this](ReportBand& b, bool& p) { DetailBeforePrint(b, p); };

    auto* footer = addBand(BandKind::PageFooter, QStringLiteral("PageFooter"), 9);
    footer->setFrame(ReportFrame::topRule(0.5));
    footer->addSystem(QStringLiteral("Datum"), {0, 2, 50, 4.5}, ReportItem::System::Date)
        .setFontSize(8);
    footer
        ->addSystem(QStringLiteral("Anzahl"), {w - 60, 2, 50.5, 4.5},
                    ReportItem::System::DetailCount)
        .setFontSize(8)
        .alignRight();
    footer->addLabel(QStringLiteral("LOrte"), {w - 8.5, 2, 8.5, 4.5}, QStringLiteral("Orte"))
        .setFontSize(8);
}

void TBericht_Ortslistenform::beforePrint() {
    m_placeCounter = 0;
}

void TBericht_Ortslistenform::DetailBeforePrint(ReportBand& band, bool&) {
    ++m_placeCounter;
    band.item(QStringLiteral("Nr"))->setCaption(QString::number(m_placeCounter));
}

} // namespace kilvaro
