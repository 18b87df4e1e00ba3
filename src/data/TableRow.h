#pragma once

#include <QVariant>

namespace kilvaro {

/// One row of a table object as read (or being edited).
struct TableRow {
    QVariantList values; ///< stored columns, typed
    QVariantList calc;   ///< calculated fields
    /// The stored columns exactly as the database returned them: a store or delete of this
    /// row only goes through while the database still holds these values.
    QVariantList raw;
    bool calcDone = false;
    bool missing = false; ///< deleted by someone else since the keys were read
};

} // namespace kilvaro
