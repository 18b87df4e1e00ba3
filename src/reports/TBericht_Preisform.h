#pragma once

#include "reports/Report.h"
#include "reports/TableRecordSource.h"

namespace kilvaro {

class Table;

/// The price list report: place or route, distance and guide price of every entry of the
/// price list, in the table's order.
class TBericht_Preisform : public Report {
public:
    explicit TBericht_Preisform(Table* prices);

private:
    TableRecordSource m_source;
};

} // namespace kilvaro
