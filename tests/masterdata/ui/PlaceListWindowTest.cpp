// The place-list window inside the main window: one instance from the menu, the status
// "<n> Orte" after every change, new and deleted places end to end through the scripted
// dialog service, and the data module's status sink while the window exists.
#include "app/ui/TForm_Main.h"
#include "data/ui/DbGrid.h"
#include "data/ui/DbNavigator.h"
#include "masterdata/TariffTestData.h"
#include "masterdata/ui/TForm_Ortsliste.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace kilvaro;
using kilvaro::testing::TariffTestData;

class PlaceListWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_settings;
    std::unique_ptr<TariffTestData> m_data;
    std::unique_ptr<TForm_Main> m_main;

    FakeDialogService& dialogs() { return m_data->dialogs; }
    TDaten_A& daten() { return *m_data->daten; }
    QList<TForm_Ortsliste*> windows() {
        QList<TForm_Ortsliste*> out;
        for (QMdiSubWindow* sub : m_main->mdiArea()->subWindowList())
            if (auto* w = qobject_cast<TForm_Ortsliste*>(sub->widget()))
                out << w;
        return out;
    }
    TForm_Ortsliste* open() {
        m_main->findChild<QAction*>(QStringLiteral("Ortsliste1"))->trigger();
        const QList<TForm_Ortsliste*> open = windows();
        return open.isEmpty() ? nullptr : open.first();
    }
    static QString status(QWidget* w) {
        return w->findChild<QLabel*>(QStringLiteral("StatusPanel0"))->text();
    }
    static void click(QWidget* w, const char* name) {
        w->findChild<QPushButton*>(QLatin1String(name))->click();
    }
    static QStringList places(QWidget* w) {
        auto* grid = w->findChild<DbGrid*>(QStringLiteral("Gitter"));
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, 0).data().toString();
        return out;
    }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() {
        m_data = std::make_unique<TariffTestData>();
        const AppContext context = m_data->context();
        m_main = std::make_unique<TForm_Main>(context);
        m_main->resize(1280, 800);
        m_main->show();
    }
    void cleanup() {
        m_main.reset();
        m_data.reset();
    }

    void opensOnceFromTheMenuWithTheCount() {
        TForm_Ortsliste* w = open();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Ortsliste"));
        QVERIFY(m_main->mdiArea()->subWindowList().first()->isMaximized());
        QCOMPARE(open(), w);
        QCOMPARE(windows().size(), 1);
        QCOMPARE(status(w), QStringLiteral("3 Orte"));
        QCOMPARE(m_main->navigator()->dataSource(), daten().Ortsliste_Q);
        QCOMPARE(w->findChild<QPushButton*>(QStringLiteral("neu"))->text(),
                 QStringLiteral("&neuer Ort"));

        // Closed, the window no longer receives the count; a new one starts afresh.
        m_main->mdiArea()->subWindowList().first()->close();
        QTRY_COMPARE(windows().size(), 0);
        QVERIFY(!daten().placeListStatus);
        QCOMPARE(m_main->navigator()->dataSource(), nullptr);
        daten().Ortslistetab->refresh(); // a data change without the window: nothing happens
        QVERIFY(open());
        QCOMPARE(windows().size(), 1);
    }

    void newPlaceReachesEveryVersionAndTheCount() {
        TForm_Ortsliste* w = open();
        // The tariff table shows one group only; the place still reaches all versions.
        daten().Orthaupttab->setFilter(QStringLiteral("Nr=1"));
        daten().Orthaupttab->setFiltered(true);
        dialogs().answerInput(QStringLiteral("Zülpich"));
        click(w, "neu");
        QCOMPARE(dialogs().inputPrompts(), (QStringList{"Ort:"}));
        QCOMPARE(places(w), (QStringList{"Köln", "Bonn", "Düren", "Zülpich"}));
        QCOMPARE(status(w), QStringLiteral("4 Orte"));
        QCOMPARE(m_data->count(QStringLiteral("OrtsTarif"),
                               QStringLiteral("Ort = 'Zülpich' AND Betrag IS NULL")),
                 3);

        dialogs().answerInput(std::nullopt);
        click(w, "neu");
        QCOMPARE(m_data->count(QStringLiteral("Ortsliste")), 4);
        QCOMPARE(dialogs().messages().size(), 0);
    }

    void deleteAsksAndTouchesTheListOnly() {
        TForm_Ortsliste* w = open();
        QVERIFY(daten().Ortslistetab->locate(QStringLiteral("Ort"), QStringLiteral("Bonn")));
        dialogs().answerNext(MsgResult::No);
        click(w, "loeschen");
        QCOMPARE(dialogs().lastMessage().text,
                 QStringLiteral("Wollen Sie wirklich den Ort Bonn löschen?"));
        QCOMPARE(dialogs().lastMessage().buttons, MsgButtons::YesNo);
        QCOMPARE(status(w), QStringLiteral("3 Orte"));

        dialogs().answerNext(MsgResult::Yes);
        QTest::keyClick(w->findChild<DbGrid*>(QStringLiteral("Gitter")), Qt::Key_Delete,
                        Qt::ControlModifier);
        QCOMPARE(places(w), (QStringList{"Köln", "Düren"}));
        QCOMPARE(status(w), QStringLiteral("2 Orte"));
        QCOMPARE(m_data->count(QStringLiteral("OrtsTarif"), QStringLiteral("Ort = 'Bonn'")), 2);
    }

    void aPendingRenameIsStoredOnClose() {
        TForm_Ortsliste* w = open();
        Table* list = daten().Ortslistetab;
        QVERIFY(list->locate(QStringLiteral("Ort"), QStringLiteral("Düren")));
        list->edit();
        list->setValue(QStringLiteral("Ort"), QStringLiteral("Düren-Mitte"));
        QVERIFY(w->close());
        QCOMPARE(m_data->count(QStringLiteral("Ortsliste"), QStringLiteral("Ort = 'Düren-Mitte'")),
                 1);
        QCOMPARE(m_data->count(QStringLiteral("OrtsTarif"), QStringLiteral("Ort = 'Düren'")), 1);
    }
};

QTEST_MAIN(PlaceListWindowTest)
#include "PlaceListWindowTest.moc"
