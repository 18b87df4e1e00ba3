#include "reports/ReportRenderer.h"

#include "base/Format.h"
#include "reports/RecordSource.h"
#include "reports/Report.h"
#include "reports/ReportText.h"

#include <QTime>
#include <cmath>

namespace kilvaro {

namespace {

constexpr double Epsilon = 0.001;
constexpr double DoubleLineGap = 0.6; // mm between the two rules of a double line

PageElement lineElement(const QPointF& a, const QPointF& b, double pen, const QString& band,
                        const QString& item) {
    PageElement e;
    e.type = PageElement::Type::Line;
    e.rect = QRectF(a, b);
    e.penWidth = pen;
    e.band = band;
    e.item = item;
    return e;
}

void frameElements(QList<PageElement>& out, const ReportFrame& f, const QRectF& r,
                   const QString& band, const QString& item) {
    if (!f.any())
        return;
    if (f.top)
        out.append(lineElement(r.topLeft(), r.topRight(), f.width, band, item));
    if (f.bottom)
        out.append(lineElement(r.bottomLeft(), r.bottomRight(), f.width, band, item));
    if (f.left)
        out.append(lineElement(r.topLeft(), r.bottomLeft(), f.width, band, item));
    if (f.right)
        out.append(lineElement(r.topRight(), r.bottomRight(), f.width, band, item));
}

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

} // namespace

ReportRenderer::ReportRenderer(Report& report, ReportPages& pages)
    : m_report(report), m_pages(pages) {}

QVariant ReportRenderer::fieldValue(const RecordSource* source, const QString& field) {
    if (!source || field.isEmpty())
        return {};
    QVariant v = source->value(field);
    const qsizetype dot = field.lastIndexOf(QLatin1Char('.'));
    if (!v.isValid() && dot >= 0)
        v = source->value(field.mid(dot + 1));
    return v;
}

QString ReportRenderer::formatValue(const QVariant& value, const QString& mask) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (!mask.isEmpty())
            return Format::dateTime(dt, mask);
        return Format::dateTime(dt, dt.time() == QTime(0, 0) ? QStringLiteral("dd.mm.yyyy")
                                                             : QStringLiteral("dd.mm.yyyy hh:nn"));
    }
    case QMetaType::QDate:
        return Format::date(value.toDate(), mask.isEmpty() ? QStringLiteral("dd.mm.yyyy") : mask);
    case QMetaType::QTime:
        return Format::time(value.toTime(), mask.isEmpty() ? QStringLiteral("hh:nn") : mask);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Ja") : QStringLiteral("Nein");
    default:
        break;
    }
    if (isNumber(value)) {
        if (!mask.isEmpty())
            return Format::number(value.toDouble(), mask);
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            return Format::number(value.toDouble(), QStringLiteral("0.##########"));
        return value.toString();
    }
    return value.toString();
}

RecordSource* ReportRenderer::levelSource(const ReportBand& band) const {
    for (const ReportBand* b = &band; b; b = b->parentBand())
        if (b->subDetail())
            return b->subDetail()->source();
    return m_report.m_source;
}

bool ReportRenderer::isBodyBand(const ReportBand& band) const {
    const ReportBand* root = &band;
    while (root->parentBand())
        root = root->parentBand();
    return root->kind() != BandKind::PageHeader && root->kind() != BandKind::PageFooter &&
           root->kind() != BandKind::Title && root->kind() != BandKind::ColumnHeader;
}

QString ReportRenderer::itemText(const ReportItem& item, const ReportBand& band) const {
    switch (item.kind()) {
    case ReportItem::Kind::Label:
        return item.caption();
    case ReportItem::Kind::DataField: {
        RecordSource* src = item.source() ? item.source() : levelSource(band);
        QVariant v;
        if (m_useSnapshot && src == m_report.m_source) {
            v = m_snapshot.value(item.field().toLower());
            const qsizetype dot = item.field().lastIndexOf(QLatin1Char('.'));
            if (!v.isValid() && dot >= 0)
                v = m_snapshot.value(item.field().mid(dot + 1).toLower());
        } else {
            v = fieldValue(src, item.field());
        }
        return formatValue(v, item.mask());
    }
    case ReportItem::Kind::Expression:
        return item.sum().format(item.mask().isEmpty() ? QStringLiteral("#,##0.00") : item.mask());
    case ReportItem::Kind::SystemData: {
        QString value;
        switch (item.system()) {
        case ReportItem::System::ReportTitle:
            value = m_report.title();
            break;
        case ReportItem::System::Date:
            value =
                Format::date(m_report.today(),
                             item.mask().isEmpty() ? QStringLiteral("dd.mm.yyyy") : item.mask());
            break;
        case ReportItem::System::Time:
            value = Format::time(QTime::currentTime(), QStringLiteral("hh:nn"));
            break;
        case ReportItem::System::DateTime:
            value = Format::date(m_report.today(), QStringLiteral("dd.mm.yyyy")) +
                    QLatin1Char(' ') + Format::time(QTime::currentTime(), QStringLiteral("hh:nn"));
            break;
        case ReportItem::System::PageNumber:
            value = QString::number(m_report.m_pageNumber);
            break;
        case ReportItem::System::DetailCount:
            value = QString::number(m_report.m_detailCount);
            break;
        }
        return item.caption() + value;
    }
    case ReportItem::Kind::Shape:
    case ReportItem::Kind::Image:
        break;
    }
    return {};
}

ReportRenderer::Laid ReportRenderer::layout(const ReportBand& band) {
    Laid laid;
    const double left = m_report.m_margins.left();
    double height = band.height();
    // Texts first: they decide how tall the band prints.
    for (const ReportItem* item : band.items()) {
        if (!item->isVisible())
            continue;
        const ReportItem::Kind kind = item->kind();
        if (kind == ReportItem::Kind::Shape || kind == ReportItem::Kind::Image)
            continue;
        const QRectF g = item->geometry();
        const QString text = itemText(*item, band);
        const QStringList lines =
            ReportText::lines(item->font(), text, g.width(), item->wordWrap());
        const double lineHeight = ReportText::lineHeightMm(item->font());
        const double ascent = ReportText::ascentMm(item->font());
        const double textHeight = lines.size() * lineHeight;
        const double itemHeight =
            (item->wordWrap() || lines.size() > 1) ? std::max(g.height(), textHeight) : g.height();
        double top = g.top();
        if (item->alignment() & Qt::AlignVCenter)
            top += std::max(0.0, (itemHeight - textHeight) / 2);
        else if (item->alignment() & Qt::AlignBottom)
            top += std::max(0.0, itemHeight - textHeight);
        if (!text.isEmpty()) {
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const QString& line = lines.at(i);
                if (line.isEmpty())
                    continue;
                const double w = ReportText::widthMm(item->font(), line);
                double x = left + g.left();
                if (item->alignment() & Qt::AlignRight)
                    x += g.width() - w;
                else if (item->alignment() & Qt::AlignHCenter)
                    x += (g.width() - w) / 2;
                PageElement e;
                e.type = PageElement::Type::Text;
                e.rect = QRectF(x, top + i * lineHeight, w, lineHeight);
                e.baseline = top + i * lineHeight + ascent;
                e.text = line;
                e.font = item->font();
                e.color = item->color();
                e.band = band.name();
                e.item = item->name();
                laid.elements.append(e);
            }
        }
        frameElements(laid.elements, item->frame(),
                      QRectF(left + g.left(), g.top(), g.width(), itemHeight), band.name(),
                      item->name());
        height = std::max(height, g.top() + itemHeight);
    }
    for (const ReportItem* item : band.items()) {
        if (!item->isVisible())
            continue;
        QRectF g = item->geometry().translated(left, 0);
        if (item->kind() == ReportItem::Kind::Image) {
            if (item->image().isNull())
                continue;
            QSizeF size = item->image().size();
            size.scale(g.size(), Qt::KeepAspectRatio);
            PageElement e;
            e.type = PageElement::Type::Image;
            e.rect = QRectF(g.topLeft(), size);
            e.image = item->image();
            e.band = band.name();
            e.item = item->name();
            laid.elements.append(e);
            height = std::max(height, item->geometry().top() + size.height());
            continue;
        }
        if (item->kind() != ReportItem::Kind::Shape || item->penWidth() <= 0)
            continue;
        if (item->stretchToBand())
            g.setBottom(height);
        switch (item->shape()) {
        case ReportItem::Shape::Rectangle: {
            PageElement e;
            e.type = PageElement::Type::Rect;
            e.rect = g;
            e.penWidth = item->penWidth();
            e.color = item->color();
            e.band = band.name();
            e.item = item->name();
            laid.elements.append(e);
            break;
        }
        case ReportItem::Shape::HorizontalLine:
            laid.elements.append(lineElement(g.topLeft(), g.topRight(), item->penWidth(),
                                             band.name(), item->name()));
            break;
        case ReportItem::Shape::DoubleHorizontalLine:
            laid.elements.append(lineElement(g.topLeft(), g.topRight(), item->penWidth(),
                                             band.name(), item->name()));
            laid.elements.append(lineElement(g.topLeft() + QPointF(0, DoubleLineGap),
                                             g.topRight() + QPointF(0, DoubleLineGap),
                                             item->penWidth(), band.name(), item->name()));
            break;
        case ReportItem::Shape::VerticalLine:
            laid.elements.append(lineElement(g.topLeft(), g.bottomLeft(), item->penWidth(),
                                             band.name(), item->name()));
            break;
        }
        if (!item->stretchToBand())
            height = std::max(height, item->geometry().bottom());
    }
    frameElements(laid.elements, band.frame(), QRectF(left, 0, m_report.contentWidth(), height),
                  band.name(), QString());
    laid.height = height;
    return laid;
}

void ReportRenderer::place(const ReportBand& band, Laid laid) {
    for (PageElement& e : laid.elements) {
        e.rect.translate(0, m_y);
        e.baseline += m_y;
        m_page.elements.append(std::move(e));
    }
    m_page.bands.append(band.name());
    m_y += laid.height;
}

void ReportRenderer::placeAcrossPages(const ReportBand& band, const Laid& laid) {
    double start = 0; // band-relative top of the part on this page
    while (true) {
        const double end = start + std::max(1.0, m_bodyBottom - m_y);
        const bool last = laid.height <= end + Epsilon;
        // Cut below the last text line that fits whole; a line taller than the page is cut.
        double cut = last ? laid.height : start;
        if (!last) {
            for (const PageElement& e : laid.elements)
                if (e.type == PageElement::Type::Text && e.rect.top() >= start - Epsilon &&
                    e.rect.bottom() <= end + Epsilon)
                    cut = std::max(cut, e.rect.bottom());
            if (cut <= start + Epsilon)
                cut = end;
        }
        const double shift = m_y - start;
        for (const PageElement& src : laid.elements) {
            PageElement e = src;
            const double top = e.rect.top();
            bool take = false;
            if (e.type == PageElement::Type::Line && e.rect.height() > Epsilon) {
                // Vertical lines run on over the parts.
                const double a = std::max(top, start), b = std::min(e.rect.bottom(), cut);
                if (b - a > Epsilon) {
                    e.rect = QRectF(QPointF(e.rect.left(), a), QPointF(e.rect.right(), b));
                    take = true;
                }
            } else {
                take = top >= start - Epsilon &&
                       (top < cut - Epsilon || (last && top <= cut + Epsilon));
            }
            if (!take)
                continue;
            e.rect.translate(0, shift);
            e.baseline += shift;
            m_page.elements.append(std::move(e));
        }
        m_page.bands.append(band.name());
        m_y += cut - start;
        if (last)
            return;
        start = cut;
        breakPage();
    }
}

bool ReportRenderer::printBand(ReportBand* band, bool detailRecord) {
    if (!band || !band->isEnabled())
        return false;
    bool printIt = true;
    if (band->beforePrint)
        band->beforePrint(*band, printIt);
    if (!printIt)
        return false;
    const bool body = isBodyBand(*band);
    // The detail band's forced page break happens at the start of its record, before the
    // group headers (see runRecords), so no header is left alone at a page's end.
    if (body && band->forceNewPage() && band->kind() != BandKind::Detail && m_bodyOnPage)
        breakPage();
    if (detailRecord)
        ++m_report.m_detailCount; // the band itself may print the running count
    Laid laid = layout(*band);
    if (body && m_bodyOnPage && m_y + laid.height > m_bodyBottom + Epsilon) {
        // Never split a band: it moves whole to the next page (laid out again there, so the
        // page number and similar values are those of its page). The footer of the page
        // left behind does not count the record yet.
        if (detailRecord)
            --m_report.m_detailCount;
        breakPage();
        if (detailRecord)
            ++m_report.m_detailCount;
        laid = layout(*band);
    }
    if (body && m_y + laid.height > m_bodyBottom + Epsilon)
        placeAcrossPages(*band, laid); // taller than a whole page: split, never cut off
    else
        place(*band, std::move(laid));
    if (body)
        m_bodyOnPage = true;
    for (ReportItem* item : band->items())
        if (item->kind() == ReportItem::Kind::Expression)
            item->resetSum();
    for (ReportBand* child : band->children())
        printBand(child);
    return true;
}

void ReportRenderer::startPage() {
    m_page = ReportPage();
    m_pageOpen = true;
    ++m_report.m_pageNumber;
    m_page.number = m_report.m_pageNumber;
    m_y = m_report.m_margins.top();
    const double paperHeight = m_report.paperSize().height();
    ReportBand* footer = m_report.band(BandKind::PageFooter);
    const double footerHeight = footer && footer->isEnabled() ? footer->height() : 0;
    m_bodyBottom = paperHeight - m_report.m_margins.bottom() - footerHeight;
    m_bodyOnPage = false;
    if (m_report.m_pageNumber > 1 || m_report.m_options.headerOnFirstPage)
        printBand(m_report.band(BandKind::PageHeader));
    if (m_report.m_pageNumber == 1)
        printBand(m_report.band(BandKind::Title));
    printBand(m_report.band(BandKind::ColumnHeader));
    if (m_groupsReady) {
        for (ReportGroup* g : m_report.groups())
            if (g->reprintOnNewPage())
                printBand(g->header());
    }
    m_bodyOnPage = false;
}

void ReportRenderer::finishPage(bool last) {
    if (!m_pageOpen)
        return;
    ReportBand* footer = m_report.band(BandKind::PageFooter);
    if (footer && (!last || m_report.m_options.footerOnLastPage) && footer->isEnabled()) {
        bool printIt = true;
        if (footer->beforePrint)
            footer->beforePrint(*footer, printIt);
        if (printIt) {
            Laid laid = layout(*footer);
            m_y = m_report.paperSize().height() - m_report.m_margins.bottom() - laid.height;
            place(*footer, std::move(laid));
            for (ReportItem* item : footer->items())
                if (item->kind() == ReportItem::Kind::Expression)
                    item->resetSum();
        }
    }
    m_pageOpen = false;
    m_pages.appendPage(std::move(m_page));
    m_page = ReportPage();
}

void ReportRenderer::breakPage() {
    finishPage(false);
    startPage();
}

void ReportRenderer::accumulate(RecordSource* source) {
    for (auto it = m_sumSources.cbegin(); it != m_sumSources.cend(); ++it) {
        if (it.value() != source)
            continue;
        const QVariant v = fieldValue(source, it.key()->field());
        if (v.isValid() && !v.isNull())
            it.key()->addToSum(Money::fromDouble(v.toDouble()));
    }
}

QStringList ReportRenderer::groupKeys() const {
    QStringList keys;
    for (ReportGroup* g : m_report.groups())
        keys.append(g->expression().isEmpty()
                        ? QString()
                        : fieldValue(m_report.m_source, g->expression()).toString());
    return keys;
}

void ReportRenderer::runSubDetail(ReportSubDetail& sub) {
    if (!sub.band() || !sub.band()->isEnabled())
        return;
    if (sub.beforeOpen)
        sub.beforeOpen();
    RecordSource* src = sub.source();
    bool empty = true;
    if (src) {
        src->first();
        empty = src->eof();
    }
    if (!empty || sub.printIfEmpty())
        printBand(sub.header());
    while (src && !src->eof()) {
        if (printBand(sub.band()))
            accumulate(src);
        src->next();
        if (m_pages.cancelRequested())
            return;
    }
    if (!empty || sub.printIfEmpty())
        printBand(sub.footer());
}

bool ReportRenderer::groupStartFits(const QList<ReportGroup*>& groups, int from,
                                    ReportBand* detail) {
    double needed = 0;
    for (int i = from; i < groups.size(); ++i) {
        const ReportBand* header = groups.at(i)->header();
        if (header && header->isEnabled())
            needed += layout(*header).height;
    }
    if (needed <= 0)
        return true;
    if (detail && detail->isEnabled())
        needed += layout(*detail).height;
    return m_y + needed <= m_bodyBottom + Epsilon;
}

void ReportRenderer::runRecords() {
    RecordSource* src = m_report.m_source;
    ReportBand* detail = m_report.band(BandKind::Detail);
    const QList<ReportGroup*> groups = m_report.groups();
    auto processRecord = [&] {
        if (printBand(detail, true))
            accumulate(src);
        for (ReportSubDetail* sub : m_report.subDetails())
            runSubDetail(*sub);
    };
    if (!src) {
        m_groupsReady = true;
        processRecord();
        return;
    }
    bool needSnapshot = false;
    for (ReportGroup* g : groups)
        needSnapshot = needSnapshot || g->footer();
    const int total = src->recordCount();
    int done = 0;
    QStringList previous;
    bool firstRecord = true;
    while (!src->eof() && !m_pages.cancelRequested()) {
        const QStringList keys = groupKeys();
        int changed = 0; // outermost group level whose value changed
        if (!firstRecord) {
            changed = int(groups.size());
            for (int i = 0; i < groups.size(); ++i)
                if (keys.at(i) != previous.at(i)) {
                    changed = i;
                    break;
                }
            m_useSnapshot = true;
            for (int i = int(groups.size()) - 1; i >= changed; --i)
                printBand(groups.at(i)->footer());
            m_useSnapshot = false;
        }
        if (!firstRecord && detail && detail->isEnabled() && detail->forceNewPage() && m_bodyOnPage)
            breakPage();
        if (changed < groups.size()) {
            m_groupsReady = false;
            if (!firstRecord && groups.at(changed)->newPage() && m_bodyOnPage)
                breakPage();
            else if (m_bodyOnPage && !groupStartFits(groups, changed, detail))
                breakPage(); // a group's heading never stands alone at the foot of a page
            for (int i = changed; i < groups.size(); ++i)
                printBand(groups.at(i)->header());
        }
        m_groupsReady = true;
        processRecord();
        if (needSnapshot)
            m_snapshot = src->currentRecord();
        previous = keys;
        firstRecord = false;
        src->next();
        ++done;
        if (total > 0)
            m_pages.setProgress(std::min(99, done * 100 / total));
    }
    if (!firstRecord) {
        m_useSnapshot = true;
        for (int i = int(groups.size()) - 1; i >= 0; --i)
            printBand(groups.at(i)->footer());
        m_useSnapshot = false;
    }
}

void ReportRenderer::run() {
    for (ReportBand* band : m_report.allBands())
        for (ReportItem* item : band->items())
            if (item->kind() == ReportItem::Kind::Expression) {
                item->resetSum();
                m_sumSources.insert(item, item->source() ? item->source() : levelSource(*band));
            }
    RecordSource* src = m_report.m_source;
    bool empty = false;
    if (src) {
        src->first();
        empty = src->eof();
    }
    if (empty && !m_report.m_options.printIfEmpty) {
        m_pages.setFinished();
        return;
    }
    startPage();
    if (!empty)
        runRecords();
    if (m_pages.cancelRequested()) {
        finishPage(true);
        return;
    }
    printBand(m_report.band(BandKind::Summary));
    finishPage(true);
    m_pages.setFinished();
}

} // namespace kilvaro
