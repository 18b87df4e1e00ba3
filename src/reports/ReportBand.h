#pragma once

#include "reports/ReportItem.h"

#include <QFont>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace kilvaro {

class ReportSubDetail;

/// The band kinds, in the order in which they print on a page.
enum class BandKind {
    PageHeader,      ///< every page (the first only with ReportOptions::headerOnFirstPage)
    Title,           ///< once, on the first page, below the page header
    ColumnHeader,    ///< every page, below the title
    GroupHeader,     ///< when the value of its group's expression changes
    Detail,          ///< once per record of the report's data set
    SubDetailHeader, ///< before the records of a sub-detail
    SubDetail,       ///< once per record of a sub-detail's data set
    SubDetailFooter, ///< after the records of a sub-detail ("closing band")
    Child,           ///< right after its parent band, as its continuation
    GroupFooter,     ///< after the last record of its group
    Summary,         ///< once, after the last record
    PageFooter       ///< bottom of every page (the last only with footerOnLastPage)
};

/// A horizontal strip of a report page holding items. Heights and positions in
/// millimetres. A band is never split across pages: when it does not fit in the space left
/// on the page, it moves whole to the next page. Only a band taller than a whole page is
/// continued over the following pages (between text lines), so no text is ever cut off.
/// Its printed height is its layout height or, when a word-wrapped or multi-line text
/// needs more, as much as that text needs.
///
/// The band owns its items and its child bands; pointers to them stay valid for the life
/// of the report.
class ReportBand {
public:
    /// Called each time the band is about to print. It may compute values, set captions,
    /// masks and fonts, hide items, and set `printIt` to false to suppress the band for this
    /// time (a suppressed band prints no child bands and adds nothing to sums).
    using BeforePrint = std::function<void(ReportBand& band, bool& printIt)>;

    ReportBand(BandKind kind, QString name, double heightMm, const QFont& font);
    ~ReportBand();
    ReportBand(const ReportBand&) = delete;
    ReportBand& operator=(const ReportBand&) = delete;

    BandKind kind() const { return m_kind; }
    const QString& name() const { return m_name; }
    double height() const { return m_height; }
    void setHeight(double mm) { m_height = mm; }

    // --- items (geometry relative to the band; x from the left page margin) --------------
    ReportItem& addLabel(const QString& name, const QRectF& mm, const QString& caption);
    ReportItem& addField(const QString& name, const QRectF& mm, const QString& field,
                         const QString& mask = {});
    /// The sum of `field` over the records printed since it last printed; reset after
    /// this item's band prints.
    ReportItem& addSum(const QString& name, const QRectF& mm, const QString& field,
                       const QString& mask = QStringLiteral("#,##0.00"));
    /// System data; `prefix` prints before the value ("Seite ").
    ReportItem& addSystem(const QString& name, const QRectF& mm, ReportItem::System what,
                          const QString& prefix = {});
    ReportItem& addRect(const QString& name, const QRectF& mm, double penPoints = 0.5);
    /// A horizontal line from (x, y), `length` mm long.
    ReportItem& addHLine(const QString& name, double x, double y, double length,
                         double penPoints = 0.5);
    /// Two thin parallel lines (the rule under a total).
    ReportItem& addDoubleLine(const QString& name, double x, double y, double length,
                              double penPoints = 0.5);
    /// A vertical line at x from y down; `stretch` lets it follow the band's printed height.
    ReportItem& addVLine(const QString& name, double x, double y, double length,
                         double penPoints = 0.5, bool stretch = true);
    ReportItem& addImage(const QString& name, const QRectF& mm, const QImage& image);

    /// The item of that name (exact), or null.
    ReportItem* item(const QString& name) const;
    QList<ReportItem*> items() const;

    // --- behaviour ------------------------------------------------------------------------
    BeforePrint beforePrint;
    /// Lines along the band's edges (e.g. a rule along its bottom edge).
    const ReportFrame& frame() const { return m_frame; }
    void setFrame(const ReportFrame& f) { m_frame = f; }
    /// Starts a new page before the band unless nothing but headers is on the page yet.
    bool forceNewPage() const { return m_forceNewPage; }
    void setForceNewPage(bool on) { m_forceNewPage = on; }
    /// A disabled band never prints, nor do its child bands.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }

    /// A child band printing right after this one when this one printed.
    ReportBand* addChild(const QString& name, double heightMm);
    QList<ReportBand*> children() const;

    /// The sub-detail this band belongs to, or null.
    ReportSubDetail* subDetail() const { return m_subDetail; }
    void setSubDetail(ReportSubDetail* s) { m_subDetail = s; }
    ReportBand* parentBand() const { return m_parent; }

    /// The font new items start with.
    const QFont& defaultFont() const { return m_font; }
    void setDefaultFont(const QFont& f) { m_font = f; }

private:
    ReportItem& add(std::unique_ptr<ReportItem> item);

    BandKind m_kind;
    QString m_name;
    double m_height;
    QFont m_font;
    std::vector<std::unique_ptr<ReportItem>> m_items;
    std::vector<std::unique_ptr<ReportBand>> m_children;
    ReportFrame m_frame{false, false, false, false, 0.5};
    bool m_forceNewPage = false;
    bool m_enabled = true;
    ReportSubDetail* m_subDetail = nullptr;
    ReportBand* m_parent = nullptr;
};

} // namespace kilvaro
