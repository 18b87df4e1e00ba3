#pragma once

#include "reports/Report.h"
#include "reports/TableRecordSource.h"

namespace kilvaro {

class Table;

/// The tariff report: every tariff version of the (filtered) version table on a page of its
/// own, with its VAT rate, currency and surcharges, then its place amounts numbered from 1,
/// each with net amount, VAT and gross amount in the version's currency.
///
/// Runs over the shared tables as they stand: the versions (`Orthaupttab`) in their order
/// and filter, the version's `Tarif` row and its place amounts (`Ortetab`) as details that
/// follow the current version.
class TBericht_Tarifform : public Report {
public:
    /// `versions` is the master; `tarif` and `orte` must be linked to it (not owned).
    TBericht_Tarifform(Table* versions, Table* tarif, Table* orte);

    /// The heading of a report of one version: "gültig ab" and the start date instead of
    /// "Tarif:" and the group number.
    void setValidFromHeading();

    /// The mask of the version's amounts: "#,##0.00 " followed by its currency.
    static QString currencyMask(const QString& currency);

protected:
    void beforePrint() override;

private:
    void MasterBeforePrint(ReportBand& band, bool& printIt);
    void QRSubDetail1BeforePrint(ReportBand& band, bool& printIt);

    Table* m_tarif;
    Table* m_orte;
    TableRecordSource m_versionSource;
    TableRecordSource m_tarifSource;
    TableRecordSource m_orteSource;
    int m_placeCounter = 0;
};

} // namespace kilvaro
