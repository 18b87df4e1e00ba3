// The windows as a keyboard and screen-reader user meets them: every edit field, grid and
// button announces a name, and a command triggered by its shortcut or by the accessibility
// action takes the text still being typed.
#include "support/FakeDialogService.h"
#include "support/DemoProgram.h"
#include "support/TestSupport.h"

#include "base/AppContext.h"
#include "app/DemoData.h"
#include "data/ProgramSetup.h"
#include "app/ui/ProgramRun.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "data/Table.h"
#include "invoicing/Daten_R.h"
#include "reports/ui/TDruckfilterform.h"
#include "trips/TripRules.h"
#include "trips/ui/TForm_Fahrten.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace kilvaro;

namespace {

const QDate kToday(2026, 12, 8);

QString accessibleName(QWidget* w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

/// The controls of `window` a user reaches (visible, not a part of another control) that
/// announce no name, as "objectName (class)".
QStringList unnamedControls(QWidget* window) {
    QStringList missing;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        const bool field = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                           qobject_cast<QAbstractSpinBox*>(w) ||
                           qobject_cast<QPlainTextEdit*>(w);
        const bool grid = qobject_cast<QAbstractItemView*>(w);
        const bool button = qobject_cast<QAbstractButton*>(w);
        if (!field && !grid && !button)
            continue;
        // Inner parts of compound controls (a combo box's line edit or list, a spin box's
        // line edit, a scroll bar's or tab bar's buttons) are announced by their owner.
        QWidget* p = w->parentWidget();
        if (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractSpinBox*>(p) ||
            qobject_cast<QAbstractItemView*>(p) ||
            qobject_cast<QTabBar*>(p) || (grid && qobject_cast<QComboBox*>(p ? p->parentWidget() : nullptr)))
            continue;
        if (w->inherits("QComboBoxPrivateContainer") || (p && p->inherits("QComboBoxPrivateContainer")))
            continue;
        if (w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (accessibleName(w).isEmpty())
            missing << QStringLiteral("%1 (%2)").arg(w->objectName(), QLatin1String(w->metaObject()->className()));
    }
    return missing;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_settings;
    TempProgramFolder m_folder;
    FakeDialogService m_dialogs;
    std::unique_ptr<ProgramRun> m_run;
    TDaten_A* m_daten = nullptr;
    TDaten_R* m_datenR = nullptr;
    TForm_Main* m_main = nullptr;

    void trigger(const char* action) {
        QAction* a = m_main->findChild<QAction*>(QLatin1String(action));
        QVERIFY2(a, action);
        a->trigger();
    }
    QWidget* activeChild() const {
        QMdiSubWindow* sub = m_main->mdiArea()->activeSubWindow();
        return sub ? sub->widget() : nullptr;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        m_run = startOnDemoData(m_folder, &m_dialogs, kToday);
        QVERIFY(m_run);
        m_daten = &m_run->daten();
        m_datenR = &m_run->datenR();
        m_main = &m_run->mainWindow();
        QVERIFY(m_daten->isConnected());
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main));
    }

    void cleanupTestCase() {
        m_run.reset();
    }

    void everyControlHasAName_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("Fahrten") << QStringLiteral("Ueberfuehrungen1");
        QTest::newRow("Tarife") << QStringLiteral("Ortstarif1");
        QTest::newRow("Bestatter") << QStringLiteral("Bestatter1");
        QTest::newRow("Rechnungen") << QStringLiteral("InvoiceOverview1");
        QTest::newRow("Monatsrechnungen") << QStringLiteral("MonthlyInvoices1");
    }
    void everyControlHasAName() {
        QFETCH(QString, action);
        trigger(action.toLatin1().constData());
        QWidget* window = activeChild();
        QVERIFY(window);
        QTest::qWait(20);
        const QStringList missing = unnamedControls(window);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
        // The main window's own tool bar and navigator are read the same way.
        const QStringList mainMissing = unnamedControls(m_main);
        QVERIFY2(mainMissing.isEmpty(), qPrintable(mainMissing.join(QLatin1String(", "))));
        trigger("CloseAll1");
    }

    void commandTakesTheTextStillBeingTyped_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Zugänglichkeitsaktion") << QStringLiteral("action");
        QTest::newRow("Tastenkürzel") << QStringLiteral("shortcut");
        QTest::newRow("Text über die Zugänglichkeit") << QStringLiteral("accessibleText");
    }
    void commandTakesTheTextStillBeingTyped() {
        QFETCH(QString, how);
        trigger("Ueberfuehrungen1");
        auto* w = qobject_cast<TForm_Fahrten*>(activeChild());
        QVERIFY(w);
        w->Control->setCurrentIndex(1);
        QVERIFY(w->Eingabefeld->isEnabled());
        Table& trips = *m_daten->Fahrttab;
        const QVariant key = trips.value(QStringLiteral("ID"));

        w->DBEdit5->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(w->window()));
        w->DBEdit5->selectAll();
        if (how == QLatin1String("accessibleText")) {
            // A screen reader writes the whole text through the text interface.
            QAccessibleInterface* field = QAccessible::queryAccessibleInterface(w->DBEdit5);
            QVERIFY(field && field->editableTextInterface());
            field->editableTextInterface()->replaceText(0, field->text(QAccessible::Value).size(),
                                                        QStringLiteral("Meier"));
        } else {
            QTest::keyClicks(w->DBEdit5, QStringLiteral("Meier"));
        }
        QCOMPARE(w->DBEdit5->text(), QStringLiteral("Meier"));
        QVERIFY(w->DBEdit5->hasFocus());

        if (how == QLatin1String("shortcut")) {
            w->VKsetzen->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F11")));
            QTest::keyClick(w->DBEdit5, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
            w->VKsetzen->setShortcut(QKeySequence());
        } else {
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(w->VKsetzen);
            QVERIFY(button && button->actionInterface());
            button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        QTRY_COMPARE(trips.value(QStringLiteral("Beamter")).toString(), QStringLiteral("VKMeier"));
        QCOMPARE(trips.value(QStringLiteral("ID")), key);
        trips.cancel();
        trigger("CloseAll1");
    }
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
