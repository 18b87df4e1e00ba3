// The start-up window: its frame, its texts, the time of the program's last change, and
// the picture that closes it.
#include "app/ui/TfStart.h"

#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace kilvaro;

class TestStartWindow : public QObject {
    Q_OBJECT

private slots:
    void showsNameVersionAndLastChange() {
        QTemporaryDir dir;
        QFile program(dir.filePath(QStringLiteral("kilvaro")));
        QVERIFY(program.open(QIODevice::WriteOnly));
        const QDateTime changed(QDate(2021, 3, 5), QTime(7, 9));
        QVERIFY(program.setFileTime(changed, QFileDevice::FileModificationTime));
        program.close();

        TfStart start(program.fileName());
        QCOMPARE(start.objectName(), QStringLiteral("fStart"));
        QVERIFY(start.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(start.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(start.revision->objectName(), QStringLiteral("revision"));
        QCOMPARE(start.revision->text(), QStringLiteral("05.03.2021 07:09"));

        QStringList texts;
        for (QLabel* label : start.findChildren<QLabel*>())
            texts << label->text();
        QCOMPARE(texts.count(QStringLiteral("Kilvaro")), 2); // title and its shadow
        QVERIFY(texts.contains(QStringLiteral("Version 8")));
    }

    void clickingThePictureCloses() {
        TfStart start;
        start.showSplash();
        QVERIFY(start.isVisible());
        auto* picture = start.findChild<QLabel*>(QStringLiteral("Image1"));
        QVERIFY(picture);
        QTest::mouseClick(picture, Qt::LeftButton);
        QVERIFY(!start.isVisible());
    }

    void finishCloses() {
        TfStart start;
        start.showSplash();
        start.finish();
        QVERIFY(!start.isVisible());
    }
};

QTEST_MAIN(TestStartWindow)
#include "TestStartWindow.moc"
