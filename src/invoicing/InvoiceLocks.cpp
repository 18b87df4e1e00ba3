#include "invoicing/InvoiceLocks.h"

namespace kilvaro::InvoiceLocks {

QString lockedMessage() {
    return QStringLiteral("Die Rechnung ist gebucht und kann nicht mehr geändert werden.");
}

QStringList statements() {
    const QString raise =
        QStringLiteral("BEGIN SELECT RAISE(ABORT, '%1'); END").arg(lockedMessage());
    const QString booked = QStringLiteral(
        "EXISTS (SELECT 1 FROM \"Rechnung\" WHERE \"RecNr\" = %1.\"RecID\" AND \"Gebucht\")");
    QStringList out;
    out << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"RecPos_locked_insert\" BEFORE INSERT "
                          "ON \"RecPos\" WHEN %1 %2")
               .arg(booked.arg(QStringLiteral("NEW")), raise)
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"RecPos_locked_update\" BEFORE UPDATE "
                          "ON \"RecPos\" WHEN %1 OR %2 %3")
               .arg(booked.arg(QStringLiteral("OLD")), booked.arg(QStringLiteral("NEW")), raise)
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"RecPos_locked_delete\" BEFORE DELETE "
                          "ON \"RecPos\" WHEN %1 %2")
               .arg(booked.arg(QStringLiteral("OLD")), raise)
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"Rechnung_locked_delete\" BEFORE DELETE "
                          "ON \"Rechnung\" WHEN OLD.\"Gebucht\" %1")
               .arg(raise)
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"Rechnung_locked_update\" BEFORE UPDATE "
                          "OF \"Gebucht\", \"RecNr\" ON \"Rechnung\" WHEN OLD.\"Gebucht\" AND "
                          "(NOT NEW.\"Gebucht\" OR NEW.\"RecNr\" IS NOT OLD.\"RecNr\") %1")
               .arg(raise);
    return out;
}

} // namespace kilvaro::InvoiceLocks
