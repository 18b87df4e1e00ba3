// The text editor dialog on a Windows-1252 list file: load, OK, Cancel, a missing file and
// a file that cannot be written.
#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

#include "masterdata/ui/TTextform.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kilvaro;

class TestTextform : public QObject {
    Q_OBJECT

    static QByteArray original() {
        return QByteArray("Bar\r\n\xDC"
                          "berweisung\r\n");
    }

private slots:
    void loadEditAndOkWriteTheFileBack() {
        TempProgramFolder folder;
        folder.writeFile(QStringLiteral("Z_art.txt"), original());
        FakeDialogService dialogs;
        TTextform form(&dialogs);
        QCOMPARE(form.windowTitle(), QStringLiteral("Rechnungstexte bearbeiten"));
        form.setFilePath(folder.filePath(QStringLiteral("z_art.txt")));
        form.load();
        QCOMPARE(form.windowTitle(), QStringLiteral("Editor - Z_art.txt"));
        QCOMPARE(form.textfeld()->toPlainText(), QStringLiteral("Bar\nÜberweisung"));
        form.textfeld()->appendPlainText(QStringLiteral("Scheck über 50 €"));
        form.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(folder.readFile(QStringLiteral("Z_art.txt")),
                 original() + QByteArray("Scheck \xFC"
                                         "ber 50 \x80\r\n"));
        QVERIFY(dialogs.messages().isEmpty());
    }

    void cancelLeavesTheFileAsItWas() {
        TempProgramFolder folder;
        folder.writeFile(QStringLiteral("z_art.txt"), original());
        FakeDialogService dialogs;
        QTimer::singleShot(0, [] {
            auto* form = qobject_cast<TTextform*>(QApplication::activeModalWidget());
            QVERIFY(form);
            QCOMPARE(form->windowTitle(), QStringLiteral("Zahlungsarten bearbeiten"));
            form->textfeld()->clear();
            form->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
        });
        QVERIFY(!TTextform::editFile(&dialogs, folder.filePath(QStringLiteral("z_art.txt")),
                                     QStringLiteral("Zahlungsarten bearbeiten")));
        QCOMPARE(folder.readFile(QStringLiteral("z_art.txt")), original());
    }

    void emptyTextThroughTheStaticCallGivesAnEmptyFile() {
        TempProgramFolder folder;
        folder.writeFile(QStringLiteral("z_art.txt"), original());
        FakeDialogService dialogs;
        QTimer::singleShot(0, [] {
            auto* form = qobject_cast<TTextform*>(QApplication::activeModalWidget());
            QVERIFY(form);
            form->textfeld()->clear();
            form->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        });
        QVERIFY(TTextform::editFile(&dialogs, folder.filePath(QStringLiteral("z_art.txt")), {}));
        QVERIFY(folder.readFile(QStringLiteral("z_art.txt")).isEmpty());
    }

    void missingFileIsReportedAndNoDialogShown() {
        TempProgramFolder folder;
        FakeDialogService dialogs;
        QVERIFY(!TTextform::editFile(&dialogs, folder.filePath(QStringLiteral("z_art.txt")), {}));
        QCOMPARE(dialogs.messages().size(), 1);
        QCOMPARE(dialogs.lastMessage().icon, MsgIcon::Error);
        QVERIFY(dialogs.lastMessage().text.contains(QStringLiteral("nicht gefunden")));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("z_art.txt"))));
    }

    void writeFailureIsReportedAndTheTextStays() {
        TempProgramFolder folder;
        folder.writeFile(QStringLiteral("daten/z_art.txt"), original());
        FakeDialogService dialogs;
        TTextform form(&dialogs);
        form.setFilePath(folder.filePath(QStringLiteral("daten/z_art.txt")));
        form.load();
        // The folder disappears behind the dialog's back; a file takes its name.
        QVERIFY(QDir(folder.filePath(QStringLiteral("daten"))).removeRecursively());
        folder.writeFile(QStringLiteral("daten"), QByteArray("x"));
        form.textfeld()->setPlainText(QStringLiteral("Neu"));
        QVERIFY(!form.OKBtnClick());
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY(dialogs.lastMessage().text.contains(QStringLiteral("kann nicht geschrieben")));
        QCOMPARE(form.textfeld()->toPlainText(), QStringLiteral("Neu"));
        QVERIFY(form.result() != int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestTextform)
#include "TestTextform.moc"
