#include "support/TableTestDb.h"

#include "data/Schema.h"

#include <QCoreApplication>

namespace kilvaro::testing {

void ensureCoreApp() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "kilvaro_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

TableTestDb::TableTestDb() : m_conn(std::make_unique<Connection>()) {
    ensureCoreApp();
    m_conn->create(path());
    Schema::create(*m_conn);
    m_conn->reloadSchema();
}

QString TableTestDb::path() const {
    return m_dir.filePath(QStringLiteral("test.db"));
}

} // namespace kilvaro::testing
