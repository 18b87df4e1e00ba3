#pragma once

#include "base/AppContext.h"
#include "reports/ReportPages.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPrinter;
class QProgressBar;
class QSpinBox;
class QToolBar;
class QToolButton;

namespace kilvaro {

class Report;
class ReportPreviewView;
class UserSettings;

/// The preview window of every report (objectName "PrevForm"): pages through the rendered
/// pages, zooms, chooses the printer, prints and saves the report as PDF. The caption is
/// "Bericht" until the report is fully rendered, then the report's title.
///
/// Usually opened through preview(), which renders the report while the window shows the
/// pages as they appear and returns when the window has been closed.
class TPrevForm : public QMainWindow {
    Q_OBJECT
public:
    /// `pages` is not owned and must outlive the window; `report` (may be null) supplies the
    /// print settings (copies, page range, printer). `settings` null: the user's real
    /// per-user store.
    TPrevForm(ReportPages* pages, Report* report, const AppContext& context,
              UserSettings* settings = nullptr, QWidget* parent = nullptr);
    ~TPrevForm() override;

    /// Renders `report` into a new window shown maximised, pages appearing as they are
    /// rendered; returns when the window has been closed. Closing it early stops rendering.
    static void preview(Report& report, const AppContext& context,
                        UserSettings* settings = nullptr);
    /// The preview window created last (null when closed).
    static TPrevForm* lastCreated();

    ReportPreviewView* preview() const { return m_preview; }
    QComboBox* printerBox() const { return m_printerBox; }
    QSpinBox* zoomBox() const { return m_zoom; }
    QLabel* pageLabel() const { return m_seite; }
    QLabel* statusLabel() const { return m_status; }

    // Event handlers (named as the window's components and events).
    void FormShow();
    void PrinterBoxChange(int index);
    void PreviewPageAvailable();
    void PreviewProgressUpdate(int percent);
    void firstClick();
    void prevClick();
    void nextClick();
    void lastClick();
    void T7Click();
    void T5Click();
    void GesamteSeite1Click();
    void BreitederSeite1Click();
    void Zoom100Click();
    void ZoomChange();
    void DruckenClick();
    void AuswahlvorAusdruck1Click();
    void AlsPDFspeichern1Click();
    void Symbolunterschriften1Click();
    void T11Click();
    void SchliessenClick();

    /// Prints the pages on `printer` with the report's copies and page range; shows a
    /// German message when that fails. Used by both print commands.
    bool printTo(QPrinter& printer);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    QToolButton* toolButton(QToolBar* bar, const QString& name, const QString& caption,
                            const QString& hint, const QIcon& icon);
    void updatePageLabel();
    void setZoomValue(int percent);
    void updateOutputCommands();

    ReportPages* m_pages;
    QPointer<ReportPages> m_pagesGuard;
    Report* m_report;
    AppContext m_context;
    std::unique_ptr<UserSettings> m_ownSettings;
    UserSettings* m_settings;
    enum class Fit { None, WholePage, PageWidth };
    Fit m_fit = Fit::None;
    bool m_shownOnce = false;
    bool m_fillingPrinters = false;
    QHash<QObject*, QString> m_descriptions;

    ReportPreviewView* m_preview = nullptr;
    QLabel* m_seite = nullptr;
    QSpinBox* m_zoom = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QToolBar* m_navBar = nullptr;
    QToolBar* m_cmdBar = nullptr;
    QComboBox* m_printerBox = nullptr;
    QToolButton* m_t8 = nullptr;
    QToolButton* m_pdf = nullptr;
    QMenu* m_printMenu = nullptr;
    QMenu* m_context_menu = nullptr;
    QAction* m_symbolCaptions = nullptr;
    QAction* m_pdfAction = nullptr;
    QAction* m_standardPrint = nullptr;
    QAction* m_choosePrint = nullptr;
    QMenuBar* m_mainMenu = nullptr;
};

} // namespace kilvaro
