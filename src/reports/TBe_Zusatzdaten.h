#pragma once

#include "base/Money.h"
#include "data/Query.h"
#include "reports/QueryRecordSource.h"
#include "reports/Report.h"

namespace kilvaro {

class Connection;

/// Transfers with their additional data (deceased's name and address, time, destination,
/// file number) in landscape, grouped by the official in charge (or, regrouped, by date
/// with a new page per date), with a grand total. The caller sets the query `Query1`,
/// opens it and sets the headings; the report prints also when the query is empty.
class TBe_Zusatzdaten : public Report {
public:
    explicit TBe_Zusatzdaten(Connection* database);

    Query* Query1() { return &m_query; }
    /// Report title and the labels `zeit` (period) and `Bestatter` (funeral director).
    void setHeadings(const QString& title, const QString& zeit, const QString& bestatter);
    /// Groups by "Datum" with a new page per date instead of by official.
    void groupByDate();

protected:
    void beforePrint() override;

private:
    Query m_query;
    QueryRecordSource m_source;
    ReportGroup* m_gruppenkopf = nullptr;
    Money m_total;
};

/// Transfers grouped by the deceased's surname, with the date, route and amount of each
/// transfer and a total per surname. The caller sets the query `Query1`, opens it and sets
/// the headings; the report prints also when the query is empty.
class TBe_Ueberfuehrungen : public Report {
public:
    explicit TBe_Ueberfuehrungen(Connection* database);

    Query* Query1() { return &m_query; }
    void setHeadings(const QString& title, const QString& zeit, const QString& bestatter);

protected:
    void beforePrint() override;

private:
    Query m_query;
    QueryRecordSource m_source;
    Money m_groupTotal;
};

} // namespace kilvaro
