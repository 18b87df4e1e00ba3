// The preview window: controls and texts, page navigation, zoom rules, printer list with
// the stored printer position, PDF saving, printing, Esc, and the preview run itself.
#include "reports/ui/TPrevForm.h"

#include "base/UserSettings.h"
#include "reports/Report.h"
#include "reports/RowRecordSource.h"
#include "reports/ui/ReportPreviewView.h"
#include "reports/ui/ReportPrinting.h"
#include "support/FakeDialogService.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

using namespace kilvaro;

namespace {

/// A plain list report: one line per record, about 45 lines per page.
class ListReport : public Report {
public:
    RowRecordSource data;
    std::function<void()> onDetail;

    explicit ListReport(int lines) {
        setTitle(QStringLiteral("Ortsliste"));
        setDataSource(&data);
        addBand(BandKind::PageHeader, "Kopf", 10)
            ->addSystem("Seite", {0, 0, 60, 5}, ReportItem::System::PageNumber, "Seite ");
        auto* d = addBand(BandKind::Detail, "Detail", 5.5);
        d->addField("Ort", {0, 0, 100, 5}, "Ort");
        d->beforePrint = [this](ReportBand&, bool&) {
            if (onDetail)
                onDetail();
        };
        QList<QVariantMap> rows;
        for (int i = 1; i <= lines; ++i)
            rows.append({{"Ort", QStringLiteral("Ort %1").arg(i)}});
        data.setRows(rows);
    }
};

} // namespace

class PrevFormTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeDialogService m_dialogs;
    AppContext context() {
        AppContext c;
        c.programFolder = m_dir.path() + QLatin1Char('/');
        c.dialogs = &m_dialogs;
        return c;
    }
    std::unique_ptr<UserSettings> settings() {
        return std::make_unique<UserSettings>(m_dir.path() + QStringLiteral("/settings"));
    }

    static QToolButton* button(QWidget& w, const char* name) {
        return w.findChild<QToolButton*>(QLatin1String(name));
    }

private slots:
    void init() {
        m_dialogs.clear();
        ReportPrinting::setPrinterListProvider({});
        QDir(m_dir.path() + QStringLiteral("/settings")).removeRecursively();
    }

    void controlsCarryTheirNamesCaptionsAndHints() {
        ListReport r(10);
        auto pages = r.render();
        auto s = settings();
        TPrevForm form(pages.get(), &r, context(), s.get());
        QCOMPARE(form.objectName(), QStringLiteral("PrevForm"));
        const QList<std::tuple<const char*, QString, QString>> buttons = {
            {"T1", "Anfang", "Erste Seite anzeigen"},
            {"T2", QStringLiteral("zurück"), QStringLiteral("zurückblättern")},
            {"T3", "weiter", QStringLiteral("nächste Seite")},
            {"T4", "Ende", "Letzte Seite anzeigen"},
            {"T7", "Verkleinern", "Ansicht verkleinern (- 10 %)"},
            {"T5", QStringLiteral("Vergrößern"), QStringLiteral("Anzeige vergrößern (+ 10 %)")},
            {"T6", "Ansicht", QStringLiteral("Ansicht ändern")},
            {"T8", "Druck", "Bericht ausdrucken"},
            {"T11", "Hilfe", "Hilfe aufrufen"},
            {"T10", QStringLiteral("Schließen"), QStringLiteral("Bericht Schließen")}};
        for (const auto& [name, caption, hint] : buttons) {
            QToolButton* b = button(form, name);
            QVERIFY2(b, name);
            QCOMPARE(b->text(), caption);
            QCOMPARE(b->toolTip(), hint);
        }
        auto* zoom = form.findChild<QSpinBox*>("zoom");
        QCOMPARE(zoom->minimum(), 0);
        QCOMPARE(zoom->maximum(), 300);
        QCOMPARE(zoom->singleStep(), 5);
        QCOMPARE(zoom->value(), 100);
        QCOMPARE(zoom->toolTip(), QStringLiteral("Zoomfaktor einstellen"));
        QCOMPARE(form.findChild<QLabel*>("Seite")->toolTip(), QStringLiteral("Seite / Gesamt"));
        QCOMPARE(form.findChild<QLabel*>("status")->text(), QStringLiteral("Status"));
        QVERIFY(form.findChild<QProgressBar*>("Progressbar"));
        QCOMPARE(form.preview()->objectName(), QStringLiteral("Preview"));
        QCOMPARE(form.preview()->zoom(), 150);
        QStringList menuTexts;
        for (const char* menu : {"Ansichtmenu", "printmenu", "Kontextmenu"})
            for (QAction* a : form.findChild<QMenu*>(menu)->actions())
                if (!a->isSeparator())
                    menuTexts << a->text();
        QCOMPARE(menuTexts,
                 QStringList({"&Gesamte Seite", "&Seitenbreite", "Kein Zoom (100 %)",
                              "&Standard-Druck", "Auswahl vor Ausdruck",
                              QStringLiteral("Als PDF speichern…"), "Symbolunterschriften"}));
        auto* captions = form.findChild<QAction*>("Symbolunterschriften1");
        QVERIFY(captions->isChecked());
        captions->trigger();
        QCOMPARE(button(form, "T3")->toolButtonStyle(), Qt::ToolButtonIconOnly);
        captions->trigger();
        QCOMPARE(button(form, "T3")->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);

        // Descriptions of the control under the mouse.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(button(form, "T3"), &enter);
        QCOMPARE(form.statusLabel()->text(), QStringLiteral("Nächste Seite anzeigen."));
        QApplication::sendEvent(button(form, "T6"), &enter);
        QCOMPARE(form.statusLabel()->text(),
                 QStringLiteral("Verkleinert den Bericht, um die gesamte Seite zu zeigen."));
        QApplication::sendEvent(zoom, &enter);
        QCOMPARE(form.statusLabel()->text(),
                 QStringLiteral("Verändert den Vergrößerungsfaktor der Seitenanzeige."));
        QApplication::sendEvent(form.preview()->viewport(), &enter);
        QCOMPARE(form.statusLabel()->text(), QString());
    }

    void navigationStaysWithinThePages() {
        ListReport r(100);
        auto pages = r.render();
        QCOMPARE(pages->pageCount(), 3);
        auto s = settings();
        TPrevForm form(pages.get(), &r, context(), s.get());
        QCOMPARE(form.pageLabel()->text(), QStringLiteral("1 / 3"));
        form.prevClick();
        QCOMPARE(form.preview()->pageNumber(), 1);
        QCOMPARE(form.pageLabel()->text(), QStringLiteral("1 / 3"));
        form.nextClick();
        QCOMPARE(form.pageLabel()->text(), QStringLiteral("2 / 3"));
        button(form, "T4")->click();
        QCOMPARE(form.pageLabel()->text(), QStringLiteral("3 / 3"));
        form.nextClick();
        QCOMPARE(form.preview()->pageNumber(), 3);
        QCOMPARE(form.pageLabel()->text(), QStringLiteral("3 / 3"));
        button(form, "T1")->click();
        QCOMPARE(form.pageLabel()->text(), QStringLiteral("1 / 3"));
        form.preview()->setPageNumber(0);
        form.preview()->setPageNumber(4);
        QCOMPARE(form.preview()->pageNumber(), 1);
    }

    void pageLabelReadsSeiteUntilTheFirstPageIsThere() {
        ListReport r(10);
        ReportPages pages;
        pages.reset(r.title(), r.orientation(), r.paperSize());
        auto s = settings();
        TPrevForm form(&pages, &r, context(), s.get());
        QCOMPARE(form.pageLabel()->text(), QStringLiteral("Seite"));
        r.render(pages);
        QCOMPARE(form.pageLabel()->text(), QStringLiteral("1 / 1"));
    }

    void zoomRules() {
        ListReport r(10);
        auto pages = r.render();
        auto s = settings();
        TPrevForm form(pages.get(), &r, context(), s.get());
        form.resize(1100, 800);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSpinBox* zoom = form.zoomBox();
        zoom->setValue(0);
        QCOMPARE(zoom->value(), 5);
        QCOMPARE(form.preview()->zoom(), 5);
        auto* edit = zoom->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(zoom->value(), 100);
        QCOMPARE(edit->text(), QStringLiteral("100"));
        QCOMPARE(form.preview()->zoom(), 100);
        form.T5Click();
        QCOMPARE(zoom->value(), 110);
        QCOMPARE(form.preview()->zoom(), 110);
        button(form, "T7")->click();
        button(form, "T7")->click();
        QCOMPARE(form.preview()->zoom(), 90);
        form.findChild<QAction*>("GesamteSeite1")->trigger();
        const int whole = form.preview()->zoom();
        QCOMPARE(zoom->value(), whole);
        form.findChild<QAction*>("BreitederSeite1")->trigger();
        const int width = form.preview()->zoom();
        QCOMPARE(zoom->value(), width);
        QVERIFY2(whole < width, "a portrait page in a wide window: whole page is smaller");
        form.findChild<QAction*>("Zoom100")->trigger();
        QCOMPARE(form.preview()->zoom(), 100);
        QCOMPARE(zoom->value(), 100);
        zoom->setValue(300);
        form.T5Click();
        QCOMPARE(zoom->value(), 300); // the spin box's maximum holds
    }

    void finishedRenderShowsTitleAndPageWidth() {
        ListReport r(60);
        ReportPages pages;
        pages.reset(r.title(), r.orientation(), r.paperSize());
        auto s = settings();
        TPrevForm form(&pages, &r, context(), s.get());
        form.resize(600, 450);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Bericht"));
        QVERIFY2(!button(form, "T8")->isEnabled(), "no printing of a half-rendered report");
        r.render(pages);
        QCOMPARE(form.windowTitle(), QStringLiteral("Ortsliste"));
        QVERIFY(!form.findChild<QProgressBar*>("Progressbar")->isVisible());
        QCOMPARE(form.preview()->zoom(), form.preview()->pageWidthZoom());
        QCOMPARE(form.pageLabel()->text(), QStringLiteral("1 / 2"));
        QVERIFY(button(form, "T8")->isEnabled());

        // The page-width view keeps fitting when the window grows; a chosen zoom stays.
        const int before = form.preview()->zoom();
        form.resize(790, 590);
        QTRY_VERIFY(form.preview()->zoom() > before);
        QCOMPARE(form.preview()->zoom(), form.preview()->pageWidthZoom());
        form.Zoom100Click();
        form.resize(700, 500);
        QTest::qWait(20);
        QCOMPARE(form.preview()->zoom(), 100);
    }

    void storedPrinterPositionIsReused() {
        ReportPrinting::setPrinterListProvider([] {
            return QStringList({"Laser Büro", "Tinte Keller", "Etiketten"});
        });
        ListReport r(5);
        auto pages = r.render();
        auto s = settings();
        {
            TPrevForm form(pages.get(), &r, context(), s.get());
            form.show();
            QCOMPARE(form.printerBox()->count(), 3);
            QCOMPARE(form.printerBox()->currentIndex(), 0); // first use: the first printer
            QVERIFY(!s->contains(UserSettings::App::Report, "PrinterIndex"));
            form.printerBox()->setCurrentIndex(2);
            QCOMPARE(s->intValue(UserSettings::App::Report, "PrinterIndex"), std::optional<int>(2));
        }
        {
            auto restarted = settings(); // a new program run reads the stored value
            TPrevForm form(pages.get(), &r, context(), restarted.get());
            form.show();
            QCOMPARE(form.printerBox()->currentText(), QStringLiteral("Etiketten"));
        }
        s->setValue(UserSettings::App::Report, "PrinterIndex", 7);
        {
            TPrevForm form(pages.get(), &r, context(), s.get());
            form.show();
            QCOMPARE(form.printerBox()->currentIndex(), -1); // beyond the list: none selected
            QCOMPARE(s->intValue(UserSettings::App::Report, "PrinterIndex"), std::optional<int>(7));
        }
    }

    void noPrinterGivesAnEmptyListAndAClearMessage() {
        ReportPrinting::setPrinterListProvider([] { return QStringList(); });
        if (ReportPrinting::hasPrinter())
            QSKIP("this machine has a default printer");
        ListReport r(5);
        auto pages = r.render();
        auto s = settings();
        s->setValue(UserSettings::App::Report, "PrinterIndex", 1);
        TPrevForm form(pages.get(), &r, context(), s.get());
        form.show();
        QCOMPARE(form.printerBox()->count(), 0);
        QCOMPARE(form.printerBox()->currentIndex(), -1);
        button(form, "T8")->click();
        QCOMPARE(m_dialogs.messages().size(), 1);
        QVERIFY(m_dialogs.lastMessage().text.startsWith(QStringLiteral("Es ist kein Drucker")));
        QCOMPARE(m_dialogs.lastMessage().icon, MsgIcon::Warning);
        form.findChild<QAction*>("AuswahlvorAusdruck1")->trigger();
        QCOMPARE(m_dialogs.messages().size(), 2);

        // Printing without preview says the same and prints nothing.
        int details = 0;
        r.onDetail = [&] { ++details; };
        QVERIFY(!ReportPrinting::printReport(r, true, &m_dialogs));
        QCOMPARE(m_dialogs.messages().size(), 3);
        QCOMPARE(m_dialogs.lastMessage().text, ReportPrinting::noPrinterText());
        QCOMPARE(details, 0);
    }

    void printingLaysOutCopiesAndRange() {
        ListReport r(100);
        auto pages = r.render();
        r.settings().copies = 2;
        r.settings().firstPage = 2;
        r.settings().lastPage = 3;
        auto s = settings();
        TPrevForm form(pages.get(), &r, context(), s.get());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString file = m_dir.filePath("druck.pdf");
        printer.setOutputFileName(file);
        QVERIFY(form.printTo(printer));
        QVERIFY(QFile::exists(file));
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed; printed pages not checked");
        QProcess p;
        p.start("pdftotext", {file, "-"});
        QVERIFY(p.waitForFinished(30000));
        const QStringList sheets =
            QString::fromUtf8(p.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
        QCOMPARE(sheets.size(), 4);
        QVERIFY(sheets[0].contains("Seite 2"));
        QVERIFY(sheets[1].contains("Seite 3"));
        QVERIFY(sheets[2].contains("Seite 2"));
    }

    void savesAsPdfOrSaysWhyNot() {
        ListReport r(20);
        auto pages = r.render();
        auto s = settings();
        TPrevForm form(pages.get(), &r, context(), s.get());
        m_dialogs.answerFileName(m_dir.filePath("Ortsliste"));
        form.findChild<QAction*>("AlsPDFspeichern1")->trigger();
        QVERIFY(QFile::exists(m_dir.filePath("Ortsliste.pdf")));
        QVERIFY(m_dialogs.messages().isEmpty());
        QVERIFY(form.statusLabel()->text().startsWith(QStringLiteral("Gespeichert: ")));

        const QString bad = m_dir.filePath("gibt/es/nicht/liste.pdf");
        m_dialogs.answerFileName(bad);
        button(form, "TPdf")->click();
        QCOMPARE(m_dialogs.messages().size(), 1);
        QCOMPARE(m_dialogs.lastMessage().icon, MsgIcon::Error);
        QVERIFY(m_dialogs.lastMessage().text.contains("konnte nicht geschrieben werden"));
        QVERIFY(!QFile::exists(bad));

        m_dialogs.answerFileName(QString()); // cancelled
        button(form, "TPdf")->click();
        QCOMPARE(m_dialogs.messages().size(), 1);
    }

    void pdfNameWithoutSuffixAsksBeforeReplacingAnExistingFile() {
        ListReport r(20);
        auto pages = r.render();
        auto s = settings();
        TPrevForm form(pages.get(), &r, context(), s.get());
        const QString existing = m_dir.filePath("Rechnungen.pdf");
        {
            QFile f(existing);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("older document");
        }
        // "Rechnungen" typed: the file dialog saw no clash, the ".pdf" added makes one.
        m_dialogs.answerFileName(m_dir.filePath("Rechnungen"));
        m_dialogs.answerNext(MsgResult::No);
        button(form, "TPdf")->click();
        QCOMPARE(m_dialogs.messages().size(), 1);
        QCOMPARE(m_dialogs.lastMessage().icon, MsgIcon::Question);
        QCOMPARE(m_dialogs.lastMessage().buttons, MsgButtons::YesNo);
        QVERIFY(m_dialogs.lastMessage().text.contains(QStringLiteral("Rechnungen.pdf")));
        {
            QFile f(existing);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("older document"));
        }

        m_dialogs.answerFileName(m_dir.filePath("Rechnungen"));
        m_dialogs.answerNext(MsgResult::Yes);
        button(form, "TPdf")->click();
        QFile f(existing);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("%PDF"));

        // A name typed with its suffix was confirmed by the file dialog itself.
        m_dialogs.clear();
        m_dialogs.answerFileName(existing);
        button(form, "TPdf")->click();
        QVERIFY(m_dialogs.messages().isEmpty());
    }

    void escapeClosesTheWindow() {
        ListReport r(5);
        auto pages = r.render();
        auto s = settings();
        QPointer<TPrevForm> form = new TPrevForm(pages.get(), &r, context(), s.get());
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_Escape);
        QTRY_VERIFY(form.isNull());
    }

    void previewShowsPagesWhileRenderingAndReturnsWhenClosed() {
        ListReport r(400);
        auto s = settings();
        QStringList seenWhileRendering;
        int details = 0;
        r.onDetail = [&] {
            if (++details != 150)
                return;
            TPrevForm* form = TPrevForm::lastCreated();
            QVERIFY(form);
            QVERIFY(form->isVisible());
            seenWhileRendering << form->windowTitle() << form->pageLabel()->text();
            // The user closes the window before the report is complete.
            QTimer::singleShot(0, form, &QWidget::close);
        };
        TPrevForm::preview(r, context(), s.get());
        QCOMPARE(seenWhileRendering.value(0), QStringLiteral("Bericht"));
        QCOMPARE(seenWhileRendering.value(1), QStringLiteral("1 / 3"));
        QVERIFY2(details < 400, "closing the window stops the rendering");
        QTRY_VERIFY(TPrevForm::lastCreated() == nullptr);

        // Run to the end, then close: the caption is the title.
        ListReport full(30);
        QString caption;
        // Waits for the end of the rendering (a loaded machine takes its time), at most 5 s.
        QTimer poll;
        poll.setInterval(10);
        QElapsedTimer waited;
        waited.start();
        connect(&poll, &QTimer::timeout, this, [&] {
            TPrevForm* form = TPrevForm::lastCreated();
            if (!form)
                return;
            if (form->windowTitle() != QStringLiteral("Ortsliste") && waited.elapsed() < 5000)
                return;
            poll.stop();
            caption = form->windowTitle();
            form->close();
        });
        poll.start();
        TPrevForm::preview(full, context(), s.get());
        QCOMPARE(caption, QStringLiteral("Ortsliste"));
    }
};

QTEST_MAIN(PrevFormTest)
#include "PrevFormTest.moc"
