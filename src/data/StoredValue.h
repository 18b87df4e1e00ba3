#pragma once

#include "data/SchemaInfo.h"

#include <QDateTime>
#include <QVariant>

namespace kilvaro {

/// The one stored form of each column type. Dates are stored as text
/// "yyyy-MM-dd HH:mm:ss" (a time of day alone on 30.12.1899, as the old engine did), so
/// that text order is time order and filters compare them directly.
namespace stored {

/// Canonical stored text of a date-time value ("2021-03-15 10:30:00").
QString dateTimeText(const QDateTime& value);
QString dateText(const QDate& value); ///< midnight of that day
/// Reads a stored date-time (canonical text; also tolerates ISO with 'T', a date alone and
/// the German "dd.mm.yyyy[ hh:mm[:ss]]"). Invalid QDateTime for anything else.
QDateTime parseDateTime(const QString& text);

/// The day that counts as "no date" for a time of day alone.
QDate timeBaseDate(); // 30.12.1899

/// Converts an application value into what is bound to the database for a column type.
/// An empty text, an invalid date or a null variant become NULL. Throws DbError with a
/// German message when the value cannot be converted (for example "abc" for a number).
QVariant toDb(const QVariant& value, ColumnType type);
/// Converts what the database returned into the application's value for a column type
/// (QDateTime, bool, int, qint64, double, QString). NULL stays a null QVariant, except
/// booleans, which read as false.
QVariant fromDb(const QVariant& value, ColumnType type);

/// What a user typed into a field of the given type, as the value to set: amounts read
/// the German way ("1.500" is 1500), dates "d.m.yy" or "d.m.yyyy" with an optional time (a
/// two-digit year is the one nearest to `today`), a time of day alone "h:mm[:ss]" for
/// date-time fields. Blanks only give null for these types; other types pass as text.
/// Throws DbError with a German message for a text that does not fit.
QVariant fromTyped(const QString& text, ColumnType type, const QDate& today);

/// Refuses a text longer than its text column allows: throws DbError with a German message
/// naming the field. Fields that are no sized text column pass. Checked where a user types
/// (early, with the field in view) and again for every value a table object writes, so that
/// neither typed texts nor texts the program composes are ever cut or stored oversize.
void requireFits(const SchemaInfo& schema, const QString& table, const QString& field,
                 const QString& text);

} // namespace stored
} // namespace kilvaro
