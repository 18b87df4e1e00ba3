#include "data/InvoiceLocks.h"

namespace kilvaro::InvoiceLocks {

QString lockedMessage() {
    return QStringLiteral("Die Rechnung ist gebucht und kann nicht mehr geändert werden.");
}

QString tripMarkMessage() {
    return QStringLiteral("Die Überführung gehört zu einer gebuchten Rechnung; ihre "
                          "Rechnungsnummer kann nicht mehr geändert werden.");
}

QString tripDeleteMessage() {
    return QStringLiteral("Die Überführung gehört zu einer gebuchten Rechnung und kann nicht "
                          "gelöscht werden.");
}

const QStringList& printedColumns() {
    static const QStringList columns{
        QStringLiteral("RecNr"),   QStringLiteral("Kunde"), QStringLiteral("Datum"),
        QStringLiteral("Textvor"), QStringLiteral("Euro"),  QStringLiteral("Single"),
        QStringLiteral("Netto"),   QStringLiteral("MWSt"),  QStringLiteral("BigR")};
    return columns;
}

namespace {

QString raise(const QString& message) {
    return QStringLiteral("BEGIN SELECT RAISE(ABORT, '%1'); END").arg(message);
}

/// "NEW.x IS NOT OLD.x OR ..." over the printed columns. An empty cover text and none
/// print alike; case matters in print, so texts compare as they are. Single invoices used
/// to be stored without their net: an empty Netto may be filled once with the sum of the
/// positions (each rounded to cents, hence the tolerance of half a cent per position).
QString printedColumnChanged() {
    QStringList parts;
    for (const QString& c : printedColumns()) {
        if (c == QLatin1String("Netto"))
            parts << QStringLiteral(
                "(NEW.\"Netto\" IS NOT OLD.\"Netto\" AND NOT (OLD.\"Netto\" IS NULL AND "
                "ABS(NEW.\"Netto\" - (SELECT TOTAL(\"Netto\") FROM \"RecPos\" WHERE \"RecID\" = "
                "OLD.\"RecNr\")) <= 0.005 * (SELECT COUNT(*) FROM \"RecPos\" WHERE \"RecID\" = "
                "OLD.\"RecNr\") + 0.0001))");
        else if (c == QLatin1String("Textvor"))
            parts << QStringLiteral("COALESCE(NEW.\"%1\", '') COLLATE BINARY IS NOT "
                                    "COALESCE(OLD.\"%1\", '')")
                         .arg(c);
        else
            parts << QStringLiteral("NEW.\"%1\" IS NOT OLD.\"%1\"").arg(c);
    }
    return parts.join(QStringLiteral(" OR "));
}

} // namespace

QStringList statements() {
    const QString refuse = raise(lockedMessage());
    const QString booked = QStringLiteral(
        "EXISTS (SELECT 1 FROM \"Rechnung\" WHERE \"RecNr\" = %1.\"RecID\" AND \"Gebucht\")");
    QStringList out;
    out << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"RecPos_locked_insert\" BEFORE INSERT "
                          "ON \"RecPos\" WHEN %1 %2")
               .arg(booked.arg(QStringLiteral("NEW")), refuse)
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"RecPos_locked_update\" BEFORE UPDATE "
                          "ON \"RecPos\" WHEN %1 OR %2 %3")
               .arg(booked.arg(QStringLiteral("OLD")), booked.arg(QStringLiteral("NEW")), refuse)
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"RecPos_locked_delete\" BEFORE DELETE "
                          "ON \"RecPos\" WHEN %1 %2")
               .arg(booked.arg(QStringLiteral("OLD")), refuse)
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"Rechnung_locked_delete\" BEFORE DELETE "
                          "ON \"Rechnung\" WHEN OLD.\"Gebucht\" %1")
               .arg(refuse)
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"Rechnung_locked_update\" BEFORE UPDATE "
                          "OF \"Gebucht\", \"RecNr\" ON \"Rechnung\" WHEN OLD.\"Gebucht\" AND "
                          "(NOT NEW.\"Gebucht\" OR NEW.\"RecNr\" IS NOT OLD.\"RecNr\") %1")
               .arg(refuse)
        // The printed fields, and a cancellation, stay as they are once booked.
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"Rechnung_locked_header\" BEFORE UPDATE "
                          "ON \"Rechnung\" WHEN OLD.\"Gebucht\" AND (%1 OR (OLD.\"Storniert\" AND "
                          "NOT NEW.\"Storniert\")) %2")
               .arg(printedColumnChanged(), refuse)
        // A trip of a booked invoice cannot be billed again, nor can a trip join a booked
        // invoice. Cancelling may free the trips: it marks the invoice first.
        << QStringLiteral(
               "CREATE TRIGGER IF NOT EXISTS \"Fahrten_locked_mark\" BEFORE UPDATE OF "
               "\"Rechnung\" ON \"Fahrten\" WHEN NEW.\"Rechnung\" IS NOT OLD.\"Rechnung\" AND ("
               "EXISTS (SELECT 1 FROM \"Rechnung\" WHERE \"RecNr\" = OLD.\"Rechnung\" AND "
               "\"Gebucht\" AND NOT \"Storniert\") OR "
               "EXISTS (SELECT 1 FROM \"Rechnung\" WHERE \"RecNr\" = NEW.\"Rechnung\" AND "
               "\"Gebucht\")) %1")
               .arg(raise(tripMarkMessage()))
        // Nor can a trip be entered with a booked invoice's number, or a trip of a booked
        // invoice be deleted while the invoice stands.
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"Fahrten_locked_insert\" BEFORE "
                          "INSERT ON \"Fahrten\" WHEN EXISTS (SELECT 1 FROM \"Rechnung\" WHERE "
                          "\"RecNr\" = NEW.\"Rechnung\" AND \"Gebucht\") %1")
               .arg(raise(tripMarkMessage()))
        << QStringLiteral("CREATE TRIGGER IF NOT EXISTS \"Fahrten_locked_delete\" BEFORE "
                          "DELETE ON \"Fahrten\" WHEN EXISTS (SELECT 1 FROM \"Rechnung\" WHERE "
                          "\"RecNr\" = OLD.\"Rechnung\" AND \"Gebucht\" AND NOT "
                          "\"Storniert\") %1")
               .arg(raise(tripDeleteMessage()));
    return out;
}

} // namespace kilvaro::InvoiceLocks
