// Every button of every data window, pressed on an empty database (the invoice overview also
// with invoices) with nonsense typed into every input box: nothing may crash, let an
// exception escape to Qt, or show the user an English system text.
#include "../../masterdata/ui/MasterDataWindowFixture.h"
#include "invoicing/InvoiceFixture.h"

#include "invoicing/ui/TRec_Editform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;
using kilvaro::testing::MasterDataWindowFixture;

class TestCommandsOnEmptyData : public QObject {
    Q_OBJECT

    static QStringList buttonNames(QWidget* window) {
        QStringList names;
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
            if (!b->objectName().isEmpty() && !names.contains(b->objectName()))
                names << b->objectName();
        return names;
    }

    static bool looksEnglish(const QString& text) {
        for (const char* word : {"No such", "denied", "constraint", "database is", "not found",
                                 "Error", "unable to", "syntax"})
            if (text.contains(QLatin1String(word)))
                return true;
        return false;
    }

private slots:
    void everyButtonOnAnEmptyDatabase_data() {
        QTest::addColumn<QString>("action");
        for (const char* a : {"Ueberfuehrungen1", "Bestatter1", "Aushilfen1", "Ortstarif1",
                              "Ortsliste1", "PLZ1", "Preisliste1"})
            QTest::newRow(a) << QString::fromLatin1(a);
    }

    static void scriptNonsense(FakeDialogService& dialogs) {
        dialogs.setDefaultAnswer(MsgResult::Yes);
        for (int i = 0; i < 200; ++i) {
            dialogs.answerInput(QStringLiteral("abc"));
            dialogs.answerFileName(QStringLiteral("/gibt/es/nicht/datei.txt"));
            dialogs.answerDate(std::nullopt);
        }
    }

    /// Windows that run their own event loop are closed again at once.
    static void closeModals(QTimer& closer) {
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (auto* d = qobject_cast<QDialog*>(modal))
                    d->reject();
                else
                    modal->close();
            }
        });
        closer.start(20);
    }

    static void expectGerman(const FakeDialogService& dialogs, qsizetype from,
                             const QString& name) {
        for (qsizetype i = from; i < dialogs.messages().size(); ++i) {
            const QString text = dialogs.messages().at(i).text;
            QVERIFY2(!looksEnglish(text), qPrintable(name + QStringLiteral(": ") + text));
        }
    }

    void everyButtonOnAnEmptyDatabase() {
        QFETCH(QString, action);
        MasterDataWindowFixture f;
        scriptNonsense(f.dialogs);
        QTimer closer;
        closeModals(closer);

        f.trigger(action.toLatin1().constData());
        QWidget* window = f.activeChild();
        QVERIFY2(window, qPrintable(f.dialogs.messageTexts().join(u'|')));
        const QStringList names = buttonNames(window);
        for (const QString& name : names) {
            if (!f.activeChild())
                f.trigger(action.toLatin1().constData());
            QWidget* w = f.activeChild();
            QVERIFY2(w, qPrintable(name));
            auto* b = w->findChild<QAbstractButton*>(name);
            if (!b || !b->isEnabled() || b->isHidden())
                continue;
            const qsizetype before = f.dialogs.messages().size();
            b->click();
            MasterDataWindowFixture::settle();
            expectGerman(f.dialogs, before, name);
        }
    }

    // The invoice overview, with invoices and after all of them are gone.
    void everyButtonOfTheInvoiceOverview_data() {
        QTest::addColumn<bool>("withInvoices");
        QTest::newRow("two invoices") << true;
        QTest::newRow("no invoice") << false;
    }

    void everyButtonOfTheInvoiceOverview() {
        QFETCH(bool, withInvoices);
        InvoiceFixture fx;
        if (withInvoices) {
            fx.makeSingleInvoice(fx.addTrip({}));
            fx.makeSingleInvoice(fx.addTrip({}));
        }
        AppContext context;
        context.programFolder = fx.folder.path();
        context.dialogs = &fx.dialogs;
        context.daten = fx.datenA.get();
        context.datenR = fx.datenR.get();
        auto w = std::make_unique<TRec_Editform>(context, nullptr);
        w->show();
        scriptNonsense(fx.dialogs);
        QTimer closer;
        closeModals(closer);
        for (const QString& name : buttonNames(w.get())) {
            auto* b = w->findChild<QAbstractButton*>(name);
            if (!b || !b->isEnabled() || b->isHidden())
                continue;
            const qsizetype before = fx.dialogs.messages().size();
            b->click();
            MasterDataWindowFixture::settle();
            expectGerman(fx.dialogs, before, name);
        }
    }
};

QTEST_MAIN(TestCommandsOnEmptyData)
#include "TestCommandsOnEmptyData.moc"
