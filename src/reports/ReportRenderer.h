#pragma once

#include "reports/ReportPage.h"

#include <QHash>
#include <QVariantMap>

namespace kilvaro {

class RecordSource;
class Report;
class ReportBand;
class ReportGroup;
class ReportItem;
class ReportPages;
class ReportSubDetail;

/// One run of a report: walks the data sets, calls the hooks, breaks pages and lays the
/// bands out into page elements. Used by Report::render(); not meant to be used directly.
class ReportRenderer {
public:
    ReportRenderer(Report& report, ReportPages& pages);
    void run();

    /// The text of a value with a mask of the program's formatter: numbers with a number
    /// mask (none: German decimals as needed), dates with a date mask (none: "dd.mm.yyyy",
    /// with time "dd.mm.yyyy hh:nn" when the time is not midnight), booleans "Ja"/"Nein".
    static QString formatValue(const QVariant& value, const QString& mask);
    /// A field of a data set; "Table.Field" falls back to "Field".
    static QVariant fieldValue(const RecordSource* source, const QString& field);

private:
    struct Laid {
        QList<PageElement> elements; ///< y relative to the band's top
        double height = 0;
    };

    bool printBand(ReportBand* band, bool detailRecord = false);
    Laid layout(const ReportBand& band);
    void place(const ReportBand& band, Laid laid);
    /// A band taller than a whole page: its text lines go on as many pages as they need.
    void placeAcrossPages(const ReportBand& band, const Laid& laid);
    void startPage();
    void finishPage(bool last);
    void breakPage();
    void runRecords();
    /// Whether the group headers from level `from` on and the first record's detail band
    /// fit in the space left on the page.
    bool groupStartFits(const QList<ReportGroup*>& groups, int from, ReportBand* detail);
    void runSubDetail(ReportSubDetail& sub);
    void accumulate(RecordSource* source);
    QStringList groupKeys() const;
    RecordSource* levelSource(const ReportBand& band) const;
    QString itemText(const ReportItem& item, const ReportBand& band) const;
    bool isBodyBand(const ReportBand& band) const;

    Report& m_report;
    ReportPages& m_pages;
    ReportPage m_page;
    bool m_pageOpen = false;
    double m_y = 0;
    double m_bodyBottom = 0;
    bool m_bodyOnPage = false;
    bool m_groupsReady = false;
    QVariantMap m_snapshot;
    bool m_useSnapshot = false;
    QHash<ReportItem*, RecordSource*> m_sumSources;
};

} // namespace kilvaro
