#include "support/TestSupport.h"

#include "app/Utils.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace kilvaro {

TempProgramFolder::TempProgramFolder() = default;

QString TempProgramFolder::path() const {
    return m_dir.path() + QLatin1Char('/');
}

QString TempProgramFolder::filePath(const QString& name) const {
    return path() + name;
}

bool TempProgramFolder::writeFile(const QString& name, const QByteArray& bytes) const {
    const QString full = filePath(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

QByteArray TempProgramFolder::readFile(const QString& name) const {
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TempProgramFolder::makeCurrent() const {
    setProgramFolder(path());
}

namespace {
int g_argc = 1;
char g_arg0[] = "kilvaro-test";
char* g_argv[] = {g_arg0, nullptr};
} // namespace

void ensureApp() {
    if (QCoreApplication::instance())
        return;
    static QCoreApplication* app = new QCoreApplication(g_argc, g_argv);
    Q_UNUSED(app);
}

void ensureGuiApp() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (QCoreApplication::instance())
        throw std::logic_error("ensureGuiApp: a QCoreApplication without widgets exists");
    static QApplication* app = new QApplication(g_argc, g_argv);
    Q_UNUSED(app);
}

} // namespace kilvaro
