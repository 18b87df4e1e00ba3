#pragma once

#include "data/Connection.h"

#include <QTemporaryDir>
#include <memory>

namespace kilvaro::testing {

/// A fresh database with the program's schema in a temporary folder, removed afterwards.
/// Creates the QCoreApplication (ensureApp()) when none exists yet.
class TableTestDb {
public:
    TableTestDb();
    Connection& conn() { return *m_conn; }
    Connection* operator->() { return m_conn.get(); }
    QString path() const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_conn;
};

} // namespace kilvaro::testing
