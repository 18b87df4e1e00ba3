#pragma once

#include <QString>

namespace kilvaro {

class ReportBand;

/// A group of the report's records: its header prints before the first record and each
/// time the value of the expression (a field name of the report's data set, "Table.Field"
/// allowed, compared as text) changes; its optional footer prints after the last record
/// of each group. An empty expression makes one group over all records.
///
/// Groups nest in the order they were added to the report (the first is the outermost).
class ReportGroup {
public:
    ReportGroup(QString name, QString expression, ReportBand* header)
        : m_name(std::move(name)), m_expression(std::move(expression)), m_header(header) {}

    const QString& name() const { return m_name; }
    const QString& expression() const { return m_expression; }
    void setExpression(const QString& e) { m_expression = e; }
    ReportBand* header() const { return m_header; }
    ReportBand* footer() const { return m_footer; }
    void setFooter(ReportBand* f) { m_footer = f; }
    /// A new page before each group but the first.
    bool newPage() const { return m_newPage; }
    void setNewPage(bool on) { m_newPage = on; }
    /// The header prints again at the top of a page on which its group continues.
    bool reprintOnNewPage() const { return m_reprint; }
    void setReprintOnNewPage(bool on) { m_reprint = on; }

private:
    QString m_name;
    QString m_expression;
    ReportBand* m_header;
    ReportBand* m_footer = nullptr;
    bool m_newPage = false;
    bool m_reprint = false;
};

} // namespace kilvaro
