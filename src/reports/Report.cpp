#include "reports/Report.h"

#include "reports/RecordSource.h"
#include "reports/ReportRenderer.h"

namespace kilvaro {

Report::Report() {
    // Arial where it exists (Windows); metric twins elsewhere, so pages look alike.
    m_font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                        QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
    m_font.setStyleHint(QFont::SansSerif);
    m_font.setPointSizeF(10);
}

Report::~Report() = default;

QSizeF Report::paperSize() const {
    return m_orientation == QPageLayout::Landscape ? QSizeF(297, 210) : QSizeF(210, 297);
}

double Report::contentWidth() const {
    return paperSize().width() - m_margins.left() - m_margins.right();
}

QVariant Report::value(const QString& field) const {
    return m_source ? ReportRenderer::fieldValue(m_source, field) : QVariant();
}

ReportBand* Report::addBand(BandKind kind, const QString& name, double heightMm) {
    if (ReportBand* existing = band(kind))
        return existing;
    m_bands.push_back(std::make_unique<ReportBand>(kind, name, heightMm, m_font));
    return m_bands.back().get();
}

ReportBand* Report::band(BandKind kind) const {
    switch (kind) {
    case BandKind::PageHeader:
    case BandKind::Title:
    case BandKind::ColumnHeader:
    case BandKind::Detail:
    case BandKind::Summary:
    case BandKind::PageFooter:
        for (const auto& b : m_bands)
            if (b->kind() == kind)
                return b.get();
        return nullptr;
    default:
        return nullptr; // groups and sub-details have several bands of their kind
    }
}

ReportGroup* Report::addGroup(const QString& name, const QString& expression,
                              const QString& headerName, double headerHeightMm) {
    m_bands.push_back(
        std::make_unique<ReportBand>(BandKind::GroupHeader, headerName, headerHeightMm, m_font));
    m_groups.push_back(std::make_unique<ReportGroup>(name, expression, m_bands.back().get()));
    return m_groups.back().get();
}

ReportBand* Report::addGroupFooter(ReportGroup* group, const QString& name, double heightMm) {
    m_bands.push_back(std::make_unique<ReportBand>(BandKind::GroupFooter, name, heightMm, m_font));
    group->setFooter(m_bands.back().get());
    return m_bands.back().get();
}

ReportSubDetail* Report::addSubDetail(const QString& name, RecordSource* source,
                                      double bandHeightMm) {
    m_bands.push_back(
        std::make_unique<ReportBand>(BandKind::SubDetail, name, bandHeightMm, m_font));
    m_subDetails.push_back(std::make_unique<ReportSubDetail>(name, source, m_bands.back().get()));
    m_bands.back()->setSubDetail(m_subDetails.back().get());
    return m_subDetails.back().get();
}

ReportBand* Report::addSubDetailHeader(ReportSubDetail* sub, const QString& name, double heightMm) {
    m_bands.push_back(
        std::make_unique<ReportBand>(BandKind::SubDetailHeader, name, heightMm, m_font));
    m_bands.back()->setSubDetail(sub);
    sub->setHeader(m_bands.back().get());
    return m_bands.back().get();
}

ReportBand* Report::addSubDetailFooter(ReportSubDetail* sub, const QString& name, double heightMm) {
    m_bands.push_back(
        std::make_unique<ReportBand>(BandKind::SubDetailFooter, name, heightMm, m_font));
    m_bands.back()->setSubDetail(sub);
    sub->setFooter(m_bands.back().get());
    return m_bands.back().get();
}

namespace {
void collect(ReportBand* band, QList<ReportBand*>& out) {
    out.append(band);
    for (ReportBand* c : band->children())
        collect(c, out);
}
} // namespace

QList<ReportBand*> Report::allBands() const {
    QList<ReportBand*> out;
    for (const auto& b : m_bands)
        collect(b.get(), out);
    return out;
}

ReportBand* Report::bandByName(const QString& name) const {
    for (ReportBand* b : allBands())
        if (b->name() == name)
            return b;
    return nullptr;
}

ReportItem* Report::item(const QString& name) const {
    for (ReportBand* b : allBands())
        if (ReportItem* i = b->item(name))
            return i;
    return nullptr;
}

QList<ReportGroup*> Report::groups() const {
    QList<ReportGroup*> out;
    for (const auto& g : m_groups)
        out.append(g.get());
    return out;
}

QList<ReportSubDetail*> Report::subDetails() const {
    QList<ReportSubDetail*> out;
    for (const auto& s : m_subDetails)
        out.append(s.get());
    return out;
}

void Report::render(ReportPages& pages) {
    m_pageNumber = 0;
    m_detailCount = 0;
    pages.reset(title(), m_orientation, paperSize());
    beforePrint();
    pages.setTitle(title()); // the hook may have set it
    ReportRenderer(*this, pages).run();
}

std::unique_ptr<ReportPages> Report::render() {
    auto pages = std::make_unique<ReportPages>();
    render(*pages);
    return pages;
}

OutputOptions Report::outputOptions() const {
    OutputOptions o;
    o.firstPage = m_settings.firstPage;
    o.lastPage = m_settings.lastPage;
    o.copies = m_settings.copies;
    o.collate = m_settings.collate;
    return o;
}

} // namespace kilvaro
