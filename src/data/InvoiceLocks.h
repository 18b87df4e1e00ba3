#pragma once

#include <QStringList>

namespace kilvaro {

/// Database triggers that keep booked invoices locked on every path (windows, batch
/// commands, SQL typed by an administrator): no position of a booked invoice may be
/// inserted, changed or deleted; a booked invoice may be neither deleted nor un-booked nor
/// renumbered, its printed fields stay as booked and a cancellation stays; the trips of a
/// booked invoice keep their invoice mark (until the invoice is cancelled), and no trip
/// joins a booked invoice. Payments, hiding and cancelling stay open.
namespace InvoiceLocks {

/// The German text of every refusal concerning the invoice and its positions.
QString lockedMessage();
/// The German text of a refused change of a trip's invoice mark.
QString tripMarkMessage();
/// Refusal to delete a trip whose invoice is booked and not cancelled.
QString tripDeleteMessage();
/// The columns of Rechnung that print on the invoice (besides Storniert and Gebucht, which
/// may only be set): fixed once the invoice is booked.
const QStringList& printedColumns();
/// The CREATE TRIGGER statements (each "IF NOT EXISTS"); part of the schema.
QStringList statements();

} // namespace InvoiceLocks
} // namespace kilvaro
