#pragma once

#include <QStringList>

namespace kilvaro {

/// Database triggers that keep booked invoices locked on every path (windows, batch
/// commands, SQL typed by an administrator): no position of a booked invoice may be
/// inserted, changed or deleted, and a booked invoice may be neither deleted nor un-booked
/// nor renumbered.
namespace InvoiceLocks {

/// The German text of every refusal.
QString lockedMessage();
/// The CREATE TRIGGER statements (each "IF NOT EXISTS"); part of the schema.
QStringList statements();

} // namespace InvoiceLocks
} // namespace kilvaro
