// The help window: pages by context number from the program folder or the built-in copies,
// a notice for contexts without a page, working links and history.
#include "base/ui/HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

using namespace kilvaro;

class TestHelpViewer : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }

    static QString text(HelpViewer& v) { return v.browser()->toPlainText(); }

private slots:
    void showsTheBuiltInPageOfAContext() {
        HelpViewer viewer(folder());
        QCOMPARE(viewer.objectName(), QStringLiteral("HelpViewer"));
        viewer.showContext(11);
        QVERIFY(viewer.isVisible());
        QCOMPARE(viewer.currentPage(), QStringLiteral("11.html"));
        QVERIFY(text(viewer).contains(QStringLiteral("Überführungen erfassen")));
    }

    void unknownContextShowsANotice() {
        HelpViewer viewer(folder());
        viewer.showContext(4711);
        QVERIFY(text(viewer).contains(
            QStringLiteral("Zu diesem Thema gibt es keine Hilfe (Kontext 4711).")));
    }

    void everyContextOfTheProgramHasAPage() {
        for (int context : {1, 2, 3, 4, 5, 6, 7, 10, 11, 13, 15, 16, 17, 1005, 2000}) {
            HelpViewer viewer(folder());
            viewer.showContext(context);
            QVERIFY2(!text(viewer).contains(QStringLiteral("keine Hilfe")),
                     qPrintable(QString::number(context)));
        }
    }

    void everyLinkOfTheBuiltInPagesLeadsToAPage() {
        const QDir pages(QStringLiteral(":/Hilfe"));
        HelpViewer viewer(folder()); // registers the built-in pages
        const QStringList files = pages.entryList({QStringLiteral("*.html")});
        QVERIFY(files.contains(QStringLiteral("index.html")));
        QVERIFY(files.contains(QStringLiteral("hilfe.html")));
        const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
        for (const QString& file : files) {
            QFile f(pages.filePath(file));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(f.readAll());
            for (auto it = href.globalMatch(html); it.hasNext();) {
                const QString target = it.next().captured(1);
                QVERIFY2(pages.exists(target), qPrintable(file + " -> " + target));
            }
        }
    }

    void pagesInTheProgramFolderWin() {
        QDir(folder()).mkpath(QStringLiteral("Hilfe"));
        QFile page(folder() + QStringLiteral("Hilfe/7.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><p>Eigene Seite zur Preisliste</p>"
                   "<a href=\"11.html\">Fahrten</a></body></html>");
        page.close();
        HelpViewer viewer(folder());
        viewer.showContext(7);
        QVERIFY(text(viewer).contains(QStringLiteral("Eigene Seite zur Preisliste")));
        // A link from a page of the folder reaches a built-in page.
        viewer.browser()->setSource(QUrl(QStringLiteral("11.html")));
        QVERIFY(text(viewer).contains(QStringLiteral("Überführungen erfassen")));
        QFile::remove(page.fileName());
    }

    void historyAndContents() {
        HelpViewer viewer(folder());
        auto* back = viewer.findChild<QToolButton*>(QStringLiteral("BackButton"));
        auto* forward = viewer.findChild<QToolButton*>(QStringLiteral("ForwardButton"));
        auto* contents = viewer.findChild<QToolButton*>(QStringLiteral("ContentsButton"));
        viewer.showContext(1);
        QVERIFY(!back->isEnabled());
        viewer.showContext(3);
        QVERIFY(back->isEnabled());
        back->click();
        QCOMPARE(viewer.currentPage(), QStringLiteral("1.html"));
        QVERIFY(forward->isEnabled());
        forward->click();
        QCOMPARE(viewer.currentPage(), QStringLiteral("3.html"));
        contents->click();
        QCOMPARE(viewer.currentPage(), QStringLiteral("index.html"));
        viewer.showHelpOnHelp();
        QCOMPARE(viewer.currentPage(), QStringLiteral("hilfe.html"));
        viewer.quit();
        QVERIFY(!viewer.isVisible());
    }
};

QTEST_MAIN(TestHelpViewer)
#include "TestHelpViewer.moc"
