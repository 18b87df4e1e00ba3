// The report data filter dialog in a whole program run: created once at start-up, hidden,
// filled for today, and reachable through the main window's context.
#include "app/CommandLine.h"
#include "app/ui/Startup.h"
#include "app/ui/TForm_Main.h"
#include "reports/ui/TDruckfilterform.h"

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kilvaro;

class FilterStartupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    }

    void createdHiddenAtStartAndReachableFromTheMainWindow() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        TDruckfilterform* fromContext = nullptr;
        int filterDialogs = 0;
        bool hidden = false;
        QString year;
        QTimer poll;
        int rounds = 0;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (++rounds > 200) {
                QApplication::exit(3);
                return;
            }
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* main = qobject_cast<TForm_Main*>(w);
                if (!main || !main->isVisible())
                    continue;
                poll.stop();
                fromContext = main->reportFilter();
                for (QWidget* t : QApplication::topLevelWidgets())
                    if (auto* f = qobject_cast<TDruckfilterform*>(t)) {
                        ++filterDialogs;
                        hidden = !f->isVisible();
                        year = f->Jahr->text();
                    }
                QVERIFY(main->context().daten);
                main->close();
                return;
            }
        });
        poll.start(50);
        QCOMPARE(runGui(CommandLine::parse({QStringLiteral("--home"), home.path()})), 0);
        QCOMPARE(filterDialogs, 1);
        QVERIFY(fromContext);
        QVERIFY(hidden);
        QCOMPARE(year, QString::number(QDate::currentDate().year()));
    }

private:
    QTemporaryDir m_settings;
};

QTEST_MAIN(FilterStartupTest)
#include "FilterStartupTest.moc"
