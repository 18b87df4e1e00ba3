#include "base/ui/QtDialogService.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace kilvaro;

/// Drives the modal boxes from a timer: the box is the active modal widget once exec runs.
class QtDialogServiceTest : public QObject {
    Q_OBJECT

private:
    template <typename F> void whenModal(F f) {
        QTimer::singleShot(0, this, [f] {
            QWidget* w = QApplication::activeModalWidget();
            QVERIFY(w);
            f(w);
        });
    }

private slots:
    void questionHasGermanButtonsAndTitle() {
        QtDialogService dialogs;
        QString title, icon;
        QStringList texts;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            for (QAbstractButton* b : box->buttons())
                texts.append(b->text());
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(dialogs.message(QStringLiteral("Löschen?"), MsgIcon::Question, MsgButtons::YesNo),
                 MsgResult::No);
        QCOMPARE(title, QStringLiteral("Das Kilvaro"));
        texts.sort();
        QCOMPARE(texts, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
    }

    void okCancelAndOwnTitle() {
        QtDialogService dialogs;
        QString title;
        QStringList texts;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            for (QAbstractButton* b : box->buttons())
                texts.append(b->text());
            QCOMPARE(box->icon(), QMessageBox::Warning);
            box->button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(dialogs.message(QStringLiteral("Weiter?"), MsgIcon::Warning, MsgButtons::OkCancel,
                                 QStringLiteral("Eigener Titel")),
                 MsgResult::Cancel);
        QCOMPARE(title, QStringLiteral("Eigener Titel"));
        texts.sort();
        QCOMPARE(texts, (QStringList{QStringLiteral("Abbrechen"), QStringLiteral("OK")}));
    }

    void inputTextTakesTheEditedText() {
        QtDialogService dialogs;
        whenModal([](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            QVERIFY(dialog);
            QCOMPARE(dialog->textValue(), QStringLiteral("alt"));
            dialog->setTextValue(QStringLiteral("neu"));
            dialog->accept();
        });
        QCOMPARE(
            dialogs.inputText(QStringLiteral("T"), QStringLiteral("Wert:"), QStringLiteral("alt")),
            std::optional<QString>(QStringLiteral("neu")));
        whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QVERIFY(!dialogs.inputText(QStringLiteral("T"), QStringLiteral("Wert:")).has_value());
    }

    void filterOfTheOldForm() {
        QCOMPARE(
            QtDialogService::qtFilter(QStringLiteral("Textdateien|*.txt|Alle Dateien (*.*)|*.*")),
            QStringLiteral("Textdateien (*.txt);;Alle Dateien (*.*)"));
        QCOMPARE(QtDialogService::qtFilter(QStringLiteral("CSV (*.csv)")),
                 QStringLiteral("CSV (*.csv)"));
    }
};

QTEST_MAIN(QtDialogServiceTest)
#include "QtDialogServiceTest.moc"
