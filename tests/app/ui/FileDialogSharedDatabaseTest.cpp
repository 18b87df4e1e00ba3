#include "base/ui/QtDialogService.h"
#include "data/Connection.h"
#include "data/Schema.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

#include "support/TestSupport.h"

using namespace kilvaro;

namespace {

const char* const childDbVariable = "KILVARO_TEST_WRITE_DB";
const char* const childRowVariable = "KILVARO_TEST_WRITE_ROW";

/// Another instance of the program: a separate process that stores one place and ends.
bool writeFromOtherProcess(const QString& database, const QString& place) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(childDbVariable), database);
    env.insert(QString::fromLatin1(childRowVariable), place);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    return child.waitForFinished(30000) && child.exitStatus() == QProcess::NormalExit &&
           child.exitCode() == 0;
}

int childMain(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        Connection db;
        db.open(qEnvironmentVariable(childDbVariable));
        db.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES (?)"),
                {qEnvironmentVariable(childRowVariable)});
        return 0;
    } catch (const std::exception&) {
        return 1;
    }
}

} // namespace

/// The file dialogs list the program folder, where the database lies. Whatever opens and
/// closes the database file in this process drops the engine's locks on it; another instance
/// then takes itself for the last user, deletes the WAL file, and rows are lost.
class FileDialogSharedDatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void dialogOnProgramFolderKeepsEveryInstancesRows() {
        TempProgramFolder folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("Kilvaro.db"));
        Connection window;
        window.create(path);
        Schema::create(window);
        auto store = [&window](const char* place) {
            window.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES (?)"),
                        {QString::fromLatin1(place)});
        };
        store("Inside-1");

        // The postal-code import's dialog, opened on the program folder and cancelled once
        // it has listed every file.
        const auto dialog =
            QtDialogService::createFileDialog(nullptr, QStringLiteral("Import"), folder.path(),
                                              QStringLiteral("alle Dateien|*.*"), false);
        dialog->show();
        auto* model = dialog->findChild<QFileSystemModel*>();
        QVERIFY(model);
        // The listing thread has looked at the database file once it names its type.
        QTRY_VERIFY_WITH_TIMEOUT(!model->type(model->index(path)).isEmpty(), 10000);
        QTest::qWait(200);
        const QString type = model->type(model->index(path));
        dialog->reject();

        QVERIFY(writeFromOtherProcess(path, QStringLiteral("Outside-1")));
        const bool walKept = QFile::exists(path + QStringLiteral("-wal"));
        store("Inside-3");
        QVERIFY(writeFromOtherProcess(path, QStringLiteral("Outside-2")));
        store("Inside-4");
        window.close();

        Connection reader;
        reader.open(path);
        QSqlQuery q = reader.exec(QStringLiteral("SELECT Ort FROM Ortsliste ORDER BY rowid"));
        QStringList places;
        while (q.next())
            places << q.value(0).toString();
        QCOMPARE(places, (QStringList{QStringLiteral("Inside-1"), QStringLiteral("Outside-1"),
                                      QStringLiteral("Inside-3"), QStringLiteral("Outside-2"),
                                      QStringLiteral("Inside-4")}));
        QVERIFY2(walKept, "the other instance must still see this one and leave its WAL alone");
        QCOMPARE(type, QStringLiteral("DB-Datei")); // told by its name, not by its content
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(childDbVariable))
        return childMain(argc, argv);
    QApplication app(argc, argv);
    FileDialogSharedDatabaseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FileDialogSharedDatabaseTest.moc"
