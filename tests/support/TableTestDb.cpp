#include "support/TableTestDb.h"

#include "data/Schema.h"
#include "support/TestSupport.h"

namespace kilvaro::testing {

TableTestDb::TableTestDb() : m_conn(std::make_unique<Connection>()) {
    ensureApp();
    m_conn->create(path());
    Schema::create(*m_conn);
    m_conn->reloadSchema();
}

QString TableTestDb::path() const {
    return m_dir.filePath(QStringLiteral("test.db"));
}

} // namespace kilvaro::testing
