// The report title dialog: captions and hints, the preset title and the three results.
#include "support/FakeDialogService.h"

#include "reports/ui/TBerichtzielform.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kilvaro;

class BerichtzielformTest : public QObject {
    Q_OBJECT

    FakeDialogService m_dialogs;

    std::unique_ptr<TBerichtzielform> makeDialog() {
        AppContext context;
        context.dialogs = &m_dialogs;
        return std::make_unique<TBerichtzielform>(context);
    }
    /// Shows the dialog modally and lets `action` answer it once it is on screen.
    static ReportChoice runModal(TBerichtzielform& d, std::function<void()> action) {
        QTimer::singleShot(0, &d, [&d, action] {
            QVERIFY(d.isVisible());
            action();
        });
        return d.showModal();
    }

private slots:
    void captionsAndHints() {
        auto d = makeDialog();
        QCOMPARE(d->objectName(), QStringLiteral("Berichtzielform"));
        QCOMPARE(d->windowTitle(), QStringLiteral("Bericht erstellen"));
        QCOMPARE(d->Titelbox->title(), QStringLiteral("Berichttitel"));
        QCOMPARE(d->Titel->toolTip(), QStringLiteral("Überschrift für den Bericht eingeben."));
        QCOMPARE(d->BTMonitor->text(), QStringLiteral("&Vorschau"));
        QCOMPARE(d->BTMonitor->toolTip(), QStringLiteral("Bericht auf Monitor ausgeben"));
        QCOMPARE(d->BTDrucker->text(), QStringLiteral("&Drucken"));
        QCOMPARE(d->BTDrucker->toolTip(), QStringLiteral("Bericht auf Drucker ausgeben"));
        QVERIFY(d->BTDrucker->isDefault());
        QCOMPARE(d->BTAbbruch->text(), QStringLiteral("&Abbruch"));
        QCOMPARE(d->BTHilfe->text(), QStringLiteral("&Hilfe"));
    }

    void resultsOfEachButtonWithTheTitleTyped() {
        auto d = makeDialog();
        d->preset(QStringLiteral("Bericht \"Ortsliste\" erstellen"), QStringLiteral("Ortsliste"));
        QCOMPARE(d->windowTitle(), QStringLiteral("Bericht \"Ortsliste\" erstellen"));
        QCOMPARE(runModal(*d,
                          [&] {
                              QCOMPARE(d->Titel->text(), QStringLiteral("Ortsliste"));
                              // The preset title is selected: typing replaces it.
                              QTest::keyClicks(d->Titel, QStringLiteral("Orte 2024"));
                              QTest::mouseClick(d->BTMonitor, Qt::LeftButton);
                          }),
                 ReportChoice::Preview);
        QCOMPARE(d->title(), QStringLiteral("Orte 2024"));

        QCOMPARE(runModal(*d, [&] { QTest::mouseClick(d->BTDrucker, Qt::LeftButton); }),
                 ReportChoice::Print);
        QCOMPARE(runModal(*d, [&] { QTest::keyClick(d->Titel, Qt::Key_Return); }),
                 ReportChoice::Print);
        QCOMPARE(runModal(*d, [&] { QTest::mouseClick(d->BTAbbruch, Qt::LeftButton); }),
                 ReportChoice::Cancel);
        QCOMPARE(runModal(*d, [&] { QTest::keyClick(d.get(), Qt::Key_Escape); }),
                 ReportChoice::Cancel);
        QCOMPARE(d->result(), int(ReportResultCancel));
    }

    void helpOpensContextTenAndKeepsTheDialogOpen() {
        auto d = makeDialog();
        QList<int> topics;
        d->setHelpHandler([&](int topic) { topics << topic; });
        d->show();
        QTest::mouseClick(d->BTHilfe, Qt::LeftButton);
        QCOMPARE(topics, (QList<int>{10}));
        QVERIFY(d->isVisible());
        QVERIFY(m_dialogs.messages().isEmpty());
    }
};

QTEST_MAIN(BerichtzielformTest)
#include "BerichtzielformTest.moc"
