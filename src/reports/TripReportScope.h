#pragma once

#include <QString>
#include <optional>

namespace kilvaro {

/// What a trip report or transfer evaluation covers, as the report data filter dialog (or a
/// batch command) chose it.
struct TripReportScope {
    QString title;       ///< report title
    QString zeittext;    ///< the period as heading text
    QString datumfilter; ///< the period as a condition on DATUM in the old dialect
    int copies = 1;
    /// Restricts a trip report to one funeral director (address ID); bound, never pasted.
    std::optional<int> bestatterId;
};

} // namespace kilvaro
