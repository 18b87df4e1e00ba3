#include "base/ui/HelpViewer.h"

#include "base/Resources.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace kilvaro {

namespace {

const QString kContents = QStringLiteral("index.html");
const QString kHelpOnHelp = QStringLiteral("hilfe.html");
const QString kBuiltIn = QStringLiteral(":/Hilfe");

/// A browser that answers a missing page with a notice instead of an empty view.
class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        QVariant result = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::HtmlResource || result.isValid())
            return result;
        const QString page = QFileInfo(name.path()).completeBaseName();
        bool isNumber = false;
        const int context = page.toInt(&isNumber);
        return QStringLiteral("<html><body><h2>Kilvaro-Hilfe</h2><p>%1</p>"
                              "<p><a href=\"index.html\">Zum Inhaltsverzeichnis</a></p>"
                              "</body></html>")
            .arg(isNumber ? HelpViewer::missingPageText(context)
                          : QStringLiteral("Diese Hilfeseite gibt es nicht (%1).")
                                .arg(name.toString().toHtmlEscaped()));
    }
};

} // namespace

HelpViewer::HelpViewer(const QString& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_programFolder(programFolder) {
    initResources();
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Kilvaro – Hilfe"));
    resize(640, 560);

    m_back = new QToolButton(this);
    m_back->setObjectName(QStringLiteral("BackButton"));
    m_back->setText(QStringLiteral("&Zurück"));
    m_back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_forward = new QToolButton(this);
    m_forward->setObjectName(QStringLiteral("ForwardButton"));
    m_forward->setText(QStringLiteral("&Vor"));
    m_forward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    m_contents = new QToolButton(this);
    m_contents->setObjectName(QStringLiteral("ContentsButton"));
    m_contents->setText(QStringLiteral("&Inhalt"));
    m_contents->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    for (QToolButton* b : {m_back, m_forward, m_contents})
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    m_browser = new HelpBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    // Pages in the program folder win over the built-in copies, so the user's folder can
    // carry corrected or extended pages.
    m_browser->setSearchPaths({programFolder + QStringLiteral("Hilfe"), kBuiltIn});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_contents);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_contents, &QToolButton::clicked, this, &HelpViewer::showContents);
}

QString HelpViewer::missingPageText(int context) {
    return QStringLiteral("Zu diesem Thema gibt es keine Hilfe (Kontext %1).").arg(context);
}

void HelpViewer::showContext(int context) {
    showPage(QString::number(context) + QStringLiteral(".html"));
}

void HelpViewer::showContents() {
    showPage(kContents);
}

void HelpViewer::showHelpOnHelp() {
    showPage(kHelpOnHelp);
}

void HelpViewer::quit() {
    close();
}

QString HelpViewer::currentPage() const {
    return m_browser->source().fileName();
}

void HelpViewer::showPage(const QString& page) {
    // Relative names are looked up along the search paths, so links between pages work
    // alike for files in the program folder and for the built-in copies.
    m_browser->setSource(QUrl(page));
    present();
}

void HelpViewer::present() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void HelpViewer::showFor(QWidget* owner, const QString& programFolder, int context) {
    auto* viewer = owner->findChild<HelpViewer*>();
    if (!viewer) {
        viewer = new HelpViewer(programFolder, owner);
        viewer->setWindowFlag(Qt::Window);
    }
    viewer->showContext(context);
}

} // namespace kilvaro
