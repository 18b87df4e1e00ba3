#pragma once

#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace kilvaro {

/// The help window: HTML pages per context number ("<n>.html") from the folder "Hilfe"
/// under the program folder, falling back to the copies built into the program. A context
/// without a page shows a short notice instead of an error.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    /// `programFolder` ends with '/'.
    explicit HelpViewer(const QString& programFolder, QWidget* parent = nullptr);

    /// Shows the page of a help context and brings the window to the front.
    void showContext(int context);
    /// The contents page with links to every topic.
    void showContents();
    /// The page on using the help.
    void showHelpOnHelp();
    /// Closes the window (the program's end).
    void quit();

    /// The name of the page shown, e.g. "11.html".
    QString currentPage() const;
    QTextBrowser* browser() const { return m_browser; }

    /// Shows a help context in the viewer that belongs to `owner`, creating it on first use
    /// (for dialogs that are shown without the main window's help).
    static void showFor(QWidget* owner, const QString& programFolder, int context);

    /// Text of the notice shown for a context without a page.
    static QString missingPageText(int context);

private:
    void showPage(const QString& page);
    void present();

    QString m_programFolder;
    QTextBrowser* m_browser;
    QToolButton* m_back;
    QToolButton* m_forward;
    QToolButton* m_contents;
};

} // namespace kilvaro
