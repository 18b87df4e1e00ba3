#pragma once

#include "data/ui/ChildWindow.h"

#include <functional>

class QChartView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPrinter;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QToolButton;

namespace kilvaro {

class DataSource;
class DbGrid;
class MonthlyRun;
class TDaten_R;

/// "Monatsrechnungen...": makes the monthly invoices of a chosen month, with late
/// additions, and prints, deletes, books and recomputes a month; shows the month rows in a
/// grid and the revenue of a year as a bar chart. A child window of the main window (one
/// instance); binds the shared navigator (moving only) to the month rows while active.
class TRec_Monatform : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int HelpContext = 13;

    /// Throws DbError when the invoice module is not open.
    TRec_Monatform(const AppContext& context, ChildHost* host, QWidget* parent = nullptr);
    ~TRec_Monatform() override;

    // Hooks to windows built elsewhere.
    /// Opens the invoice overview.
    std::function<void()> openInvoiceOverview;
    /// Shows the print selection for a range of numbers with a caption (modal); defaults to
    /// the invoice print selection.
    std::function<void(int from, int to, const QString& caption)> openPrintSelection;
    /// Lets the user choose the printer for the chart; false prints nothing. Defaults to the
    /// print dialog (with a message when no printer is set up).
    std::function<bool(QPrinter& printer)> choosePrinter;

    MonthlyRun& run() const { return *m_run; }
    /// The month (1 to 12) and the year as typed (0 when the text is no number).
    int month() const;
    int year() const;

    DbGrid* DBGrid1;
    QGroupBox* MonatWaehlen;
    QComboBox* Monatedit;
    QSpinBox* Jahredit;
    QCheckBox* Euro;
    QPushButton* erstellen;
    QPushButton* anzeigen;
    QPushButton* loeschen;
    QPushButton* recbuchen;
    QPushButton* RecUmsatz;
    QToolButton* Nachbuchen;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* BitBtn2;
    QGroupBox* Uebersicht;
    QChartView* DBChart1;
    QSpinBox* Filtertext;
    QStatusBar* Status;

    // Handlers (public so tests drive them as a click would).
    void MonateditChange();
    void JahreditChange();
    void SchalterSetzen();
    void MonatslaufAusfuehren(bool lateAddition);
    void erstellenClick() { MonatslaufAusfuehren(false); }
    void NachbuchenClick() { MonatslaufAusfuehren(true); }
    void anzeigenClick();
    void loeschenClick();
    void recbuchenClick();
    void RecUmsatzClick();
    void FiltertextChange();
    void Button1Click();
    void Button2Click();
    void BitBtn2Click();
    void FormActivate() override;
    void FormDeactivate() override;

    void showStatus(const QString& text);
    /// Room for every column of the grid and a readable chart.
    QSize sizeHint() const override { return {900, 700}; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildChart();
    QString monthName() const;

    TDaten_R* m_daten;
    MonthlyRun* m_run;
    DataSource* m_source;
    bool m_shown = false;
};

} // namespace kilvaro
