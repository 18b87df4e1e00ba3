#pragma once

#include "data/SchemaInfo.h"

#include <QStringList>

namespace kilvaro {

class Connection;

/// The stored tables of the program and their creation and upgrade.
namespace Schema {

/// The version this program writes; stored in the database file (PRAGMA user_version).
constexpr int currentVersion = 3;

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
/// DbError for a file that is newer than this program or lacks our tables, and for a step
/// the stored rows do not allow (version 2 makes ADRESSEN.ID unique: a file in which two
/// addresses share an ID is refused with a message naming the ID, and stays unchanged).
void upgrade(Connection& connection);

} // namespace Schema
} // namespace kilvaro
