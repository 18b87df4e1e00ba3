#pragma once

#include "base/Money.h"
#include "data/Query.h"
#include "reports/QueryRecordSource.h"
#include "reports/Report.h"
#include "reports/TripReportScope.h"

namespace kilvaro {

class Connection;

/// The trip report in three kinds: open transfers (trips on no invoice yet) and all
/// transfers of a period, each per funeral director with count and net total, or a plain
/// trip list in date order under one heading. The trips of the period come from one query
/// whose SELECT and FROM part is the text file "fahrten.txt" of the SQL folder.
class TBericht_offeneFahrt : public Report {
public:
    static constexpr int OpenTransfers = 1;
    static constexpr int Transfers = 3;
    static constexpr int TripList = 4;

    explicit TBericht_offeneFahrt(Connection* database);

    /// The caption and preset title of a kind ("Offene Überführungen", "Überführungen",
    /// "Fahrten-Liste"); empty for an unknown kind.
    static QString kindCaption(int kind);

    /// Loads the query from `sqlFolder` + "fahrten.txt", adds the period (and for kind 1 the
    /// open trips only), orders it for the kind and opens it. False when it holds no trip
    /// (the caller says "Keine Daten" and shows nothing). Throws DbError for a missing file
    /// or a query that fails.
    bool Vorbereiten(int kind, const TripReportScope& scope, const QString& sqlFolder);

    /// The letters of the surcharges a trip carries, in the order N A S K U C.
    static QString surchargeLetters(const RecordSource& trip);
    /// The trip amount: the sum of the place amount and the surcharges, in fixed point.
    static Money tripAmount(const RecordSource& trip);
    /// "1 Fahrt." or "7 Fahrten.".
    static QString countText(int trips);

    Query* Fahrten() { return &m_query; }

protected:
    void beforePrint() override;

private:
    void DetailsBeforePrint(ReportBand& band, bool& printIt);
    void DetailFooterBeforePrint(ReportBand& band, bool& printIt);

    Query m_query;
    QueryRecordSource m_source;
    ReportGroup* m_kopf = nullptr;
    int m_copies = 1;
    int m_counter = 0;
    Money m_groupTotal;
};

} // namespace kilvaro
