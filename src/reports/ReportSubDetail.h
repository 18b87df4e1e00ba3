#pragma once

#include <QString>
#include <functional>

namespace kilvaro {

class RecordSource;
class ReportBand;

/// Records of another data set printed after each record of the report's detail band (or
/// once, when the report has no data set of its own): an optional header, one band per
/// record, and an optional footer ("closing band", e.g. the totals of invoice positions).
///
/// The data set must follow the current master record: a table linked to the master does
/// so by itself; otherwise `beforeOpen` prepares the data set (e.g. re-runs a query with
/// the master's key) each time before the sub-detail runs.
class ReportSubDetail {
public:
    ReportSubDetail(QString name, RecordSource* source, ReportBand* band)
        : m_name(std::move(name)), m_source(source), m_band(band) {}

    const QString& name() const { return m_name; }
    RecordSource* source() const { return m_source; }
    void setSource(RecordSource* s) { m_source = s; }
    ReportBand* band() const { return m_band; }
    ReportBand* header() const { return m_header; }
    void setHeader(ReportBand* b) { m_header = b; }
    ReportBand* footer() const { return m_footer; }
    void setFooter(ReportBand* b) { m_footer = b; }
    /// Whether header and footer print when the data set has no records (default true).
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool on) { m_printIfEmpty = on; }

    std::function<void()> beforeOpen;

private:
    QString m_name;
    RecordSource* m_source;
    ReportBand* m_band;
    ReportBand* m_header = nullptr;
    ReportBand* m_footer = nullptr;
    bool m_printIfEmpty = true;
};

} // namespace kilvaro
