#include "invoicing/InvoiceRange.h"

#include <gtest/gtest.h>

using namespace kilvaro;

TEST(InvoiceRange, GapsAreFoundAndNamedCompactly) {
    struct Case {
        InvoiceRange::Range range;
        QList<int> existing;
        QString gaps;
    };
    const QList<Case> cases = {
        {{10, 12}, {10, 11, 12}, QString()},
        {{10, 12}, {10, 12}, QStringLiteral("11")},
        {{10, 20}, {10, 14, 20}, QStringLiteral("11–13, 15–19")},
        {{1, 4}, {1, 4}, QStringLiteral("2, 3")},
        {{12, 10}, {}, QString()},
        {{5, 5}, {}, QStringLiteral("5")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InvoiceRange::compact(InvoiceRange::missing(c.range, c.existing)), c.gaps)
            << c.range.from << ".." << c.range.to;
    EXPECT_EQ(InvoiceRange::outcome(2, {11, 12, 13}, true),
              QStringLiteral("2 Rechnungen gedruckt.\nDie Rechnungen Nr. 11–13 gibt es nicht; "
                             "sie wurden übersprungen."));
}
