#pragma once

#include "data/SchemaInfo.h"

#include <QStringList>

namespace kilvaro {

class Connection;

/// The stored tables of the program and their creation and upgrade.
namespace Schema {

/// The version this program writes; stored in the database file (PRAGMA user_version).
constexpr int currentVersion = 4;

/// Every table and column with its type, in stored column order.
const SchemaInfo& definition();

/// CREATE TABLE and CREATE INDEX statements of the current version.
QStringList createStatements();

/// Creates all tables in an empty database, in one transaction, and stores the version.
void create(Connection& connection);

/// Version stored in the file (0 for a file without our tables).
int storedVersion(Connection& connection);

/// Brings an existing database to the current version, each step in one transaction, so a
/// failing step leaves the file at the previous version with every row kept. Throws
/// DbError for a file that is newer than this program or lacks our tables.
/// ADRESSEN.ID becomes unique as soon as no two addresses share an ID: a file in which they
/// do stays usable (its numbers are kept, new numbers skip them) until the office has
/// renumbered; duplicateAddressIdsMessage() tells the user.
void upgrade(Connection& connection);

/// A German warning naming the first address ID that several addresses share, and those
/// addresses; empty when every ID is unique.
QString duplicateAddressIdsMessage(Connection& connection);

} // namespace Schema
} // namespace kilvaro
