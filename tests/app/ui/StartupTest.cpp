#include "app/CommandLine.h"
#include "app/ui/Startup.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kilvaro;

/// Drives a whole windowed program run on an empty program folder.
class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    }

    void firstStartCreatesEverythingShowsMenusAndWritesProgmax() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString folder = home.path() + QStringLiteral("/prog");
        QStringList menus;
        bool seen = false;
        // Poll until the main window is on screen, then close it as a user would; give up
        // (and fail) after a while instead of hanging.
        QTimer poll;
        int rounds = 0;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (++rounds > 200) {
                QApplication::exit(3);
                return;
            }
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() != QLatin1String("Form_Main") || !w->isVisible())
                    continue;
                seen = true;
                auto* mw = qobject_cast<QMainWindow*>(w);
                for (QAction* a : mw->menuBar()->actions())
                    menus << a->text();
                poll.stop();
                w->close();
            }
        });
        poll.start(50);
        CommandLine cl = CommandLine::parse({QStringLiteral("--home"), folder});
        QCOMPARE(runGui(cl), 0);
        QVERIFY(seen);
        QCOMPARE(menus, (QStringList{QStringLiteral("&Datei"), QStringLiteral("F&ormulare"),
                                     QStringLiteral("Berich&te"), QStringLiteral("Überführungen"),
                                     QStringLiteral("&Rechnung"), QStringLiteral("&Fenster"),
                                     QStringLiteral("&Hilfe")}));
        for (const char* f : {"kilvaro.ini", "Kilvaro.db", "firma.txt", "sql/fahrten.txt"})
            QVERIFY2(QFile::exists(folder + QLatin1Char('/') + QString::fromLatin1(f)), f);
        QSettings kilv(QStringLiteral("korvat"), QStringLiteral("kilv"));
        QVERIFY(kilv.contains(QStringLiteral("Progmax")));
        QCOMPARE(kilv.value(QStringLiteral("Progmax")).toInt(), 0);
    }

private:
    QTemporaryDir m_settings;
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
