#pragma once

#include "reports/ReportBand.h"
#include "reports/ReportGroup.h"
#include "reports/ReportPages.h"
#include "reports/ReportSubDetail.h"

#include <QDate>
#include <QMarginsF>
#include <QPageLayout>
#include <memory>
#include <vector>

namespace kilvaro {

class RecordSource;

/// Options of a report's run.
struct ReportOptions {
    bool headerOnFirstPage = true; ///< the page header prints on the first page too
    bool footerOnLastPage = true;  ///< the page footer prints on the last page too
    bool printIfEmpty = true;      ///< an empty data set still gives a page (no detail)
};

/// Settings of a report's output, chosen by code or in the print dialog.
struct ReportSettings {
    QString title;
    int copies = 1;
    int printerIndex = -1; ///< position in the printer list; -1: the system's default
    int firstPage = 0;     ///< 1-based; 0: from the first
    int lastPage = 0;      ///< 1-based; 0: to the last
    bool collate = true;
    bool duplex = false;
};

/// A banded report. Each report of the program is a class deriving from Report that
/// builds its bands and items in its constructor and binds the band hooks to its own
/// member functions:
///
///     class TBericht_Preisform : public Report {
///     public:
///         explicit TBericht_Preisform(Table* preise) : m_source(preise) {
///             setTitle("Preise");
///             setDataSource(&m_source);
///             auto* title = addBand(BandKind::Title, "Title", 14);
///             title->addSystem("Titel", {0, 0, 175, 10}, ReportItem::System::ReportTitle)
///                 .setFontSize(16).bold();
///             auto* detail = addBand(BandKind::Detail, "Detail", 6);
///             detail->addField("Ort", {0, 0, 90, 5}, "Ort");
///             detail->addField("Richtpreis", {130, 0, 45, 5}, "Richtpreis", "#,##0.00 €")
///                 .alignRight();
///             detail->beforePrint = [this](ReportBand& b, bool& print) { … };
///         }
///     private:
///         TableRecordSource m_source;
///     };
///
/// Geometry is in millimetres; item x counts from the left margin, y from the band's top.
/// render() runs the report into a page store (ReportPages), which the preview window
/// shows and which prints or exports to PDF.
///
/// Print order per page: page header, title (first page), column header, then the data:
/// per record group headers (when their value changes), the detail band with its child
/// bands, the sub-details (header, one band per record, footer); group footers after the
/// last record of their group; after all records the summary; the page footer at the
/// bottom of every page.
class Report {
public:
    Report();
    virtual ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    // --- page -----------------------------------------------------------------------------
    /// A4 portrait (default) or landscape.
    void setOrientation(QPageLayout::Orientation o) { m_orientation = o; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    /// Margins in millimetres (default left 20, top 12, right 15, bottom 12).
    void setMargins(const QMarginsF& mm) { m_margins = mm; }
    QMarginsF margins() const { return m_margins; }
    QSizeF paperSize() const;
    /// Width between the margins.
    double contentWidth() const;

    // --- data -----------------------------------------------------------------------------
    /// The data set of the detail band (not owned). Without one the report runs once: its
    /// detail band prints one time and its sub-details run their own data sets.
    void setDataSource(RecordSource* source) { m_source = source; }
    RecordSource* dataSource() const { return m_source; }
    /// A value of the current record of the report's data set (for hooks).
    QVariant value(const QString& field) const;

    // --- layout ---------------------------------------------------------------------------
    /// Page header, title, column header, detail, summary or page footer (one of each kind;
    /// adding a kind again returns the band already there). Use addGroup and addSubDetail
    /// for the others, ReportBand::addChild for child bands.
    ReportBand* addBand(BandKind kind, const QString& name, double heightMm);
    ReportBand* band(BandKind kind) const;
    /// A group with its header band; add a footer with addGroupFooter.
    ReportGroup* addGroup(const QString& name, const QString& expression, const QString& headerName,
                          double headerHeightMm);
    ReportBand* addGroupFooter(ReportGroup* group, const QString& name, double heightMm);
    /// A sub-detail over `source` (not owned) with its record band; add header and footer
    /// with addSubDetailHeader/addSubDetailFooter.
    ReportSubDetail* addSubDetail(const QString& name, RecordSource* source, double bandHeightMm);
    ReportBand* addSubDetailHeader(ReportSubDetail* sub, const QString& name, double heightMm);
    ReportBand* addSubDetailFooter(ReportSubDetail* sub, const QString& name, double heightMm);

    /// Any band (child bands included) by name, or null.
    ReportBand* bandByName(const QString& name) const;
    /// Any item by name (first match in print order of the bands), or null.
    ReportItem* item(const QString& name) const;
    QList<ReportGroup*> groups() const;
    QList<ReportSubDetail*> subDetails() const;
    /// Every band in print order, child bands after their parents.
    QList<ReportBand*> allBands() const;

    /// The font new bands give their items (default Arial 10 pt).
    const QFont& defaultFont() const { return m_font; }
    void setDefaultFont(const QFont& f) { m_font = f; }

    // --- options and settings ---------------------------------------------------------------
    ReportOptions& options() { return m_options; }
    const ReportOptions& options() const { return m_options; }
    ReportSettings& settings() { return m_settings; }
    const ReportSettings& settings() const { return m_settings; }
    QString title() const { return m_settings.title; }
    void setTitle(const QString& t) { m_settings.title = t; }
    /// The date printed by system data (default: the day of the run).
    void setToday(const QDate& d) { m_today = d; }
    QDate today() const { return m_today.isValid() ? m_today : QDate::currentDate(); }

    // --- running --------------------------------------------------------------------------
    /// Renders the report into `pages` (cleared first): runs beforePrint(), then the bands.
    /// Pages are appended one by one with their signals; a cancel request stops after the
    /// current record. A hook that throws ends the run with the exception (the pages
    /// rendered so far stay in the store, which is not marked finished).
    void render(ReportPages& pages);
    /// Renders into a new page store.
    std::unique_ptr<ReportPages> render();
    /// Pages of the run so far (valid during render: for hooks).
    int pageNumber() const { return m_pageNumber; }
    /// Detail records printed so far in the run.
    int detailCount() const { return m_detailCount; }
    /// The chosen page range, copies and collation as output options.
    OutputOptions outputOptions() const;

protected:
    /// The report's before-print hook: once before rendering starts (reset running totals,
    /// set the copy count).
    virtual void beforePrint() {}

private:
    friend class ReportRenderer;

    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QMarginsF m_margins{20, 12, 15, 12};
    RecordSource* m_source = nullptr;
    QFont m_font;
    ReportOptions m_options;
    ReportSettings m_settings;
    QDate m_today;
    std::vector<std::unique_ptr<ReportBand>> m_bands;
    std::vector<std::unique_ptr<ReportGroup>> m_groups;
    std::vector<std::unique_ptr<ReportSubDetail>> m_subDetails;
    int m_pageNumber = 0;
    int m_detailCount = 0;
};

} // namespace kilvaro
