#pragma once

#include "reports/Report.h"
#include "reports/TableRecordSource.h"

namespace kilvaro {

class Table;

/// The place list report: the places of the place list, numbered 1, 2, 3, ... in the
/// table's order, with the number of places at the foot of each page.
class TBericht_Ortslistenform : public Report {
public:
    explicit TBericht_Ortslistenform(Table* places);

protected:
    /// BerichtBeforePrint: the numbering starts at 1 on every run.
    void beforePrint() override;

private:
    void DetailBeforePrint(ReportBand& band, bool& printIt);

    TableRecordSource m_source;
    int m_placeCounter = 0;
};

} // namespace kilvaro
