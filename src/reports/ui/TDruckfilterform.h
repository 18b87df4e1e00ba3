#pragma once

#include "base/AppContext.h"
#include "reports/ReportChoice.h"
#include "reports/ReportFilter.h"

#include <QDialog>
#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kilvaro {

class UpDown;
class UserSettings;

/// The report data filter dialog "Datenfilter setzen": period, report title, copies,
/// funeral director and output to screen or printer. One instance for the whole run,
/// created at start-up and shown modally by every report and evaluation; it keeps its
/// settings from one use to the next. The computations live in ReportFilter.
///
/// Results after it closed: the result code (ReportResultCancel/Ok/Yes), Zeittext(),
/// Datumfilter(), BestatterIDs() and the controls themselves.
class TDruckfilterform : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10;

    /// `settings`: the per-user store for "Bestatterbox"; null uses the real one.
    explicit TDruckfilterform(const AppContext& context, UserSettings* settings = nullptr,
                              QWidget* parent = nullptr);
    ~TDruckfilterform() override;

    /// Filling once the data modules are open: month and year of `today`, the active
    /// addresses, the stored funeral director. Data errors are shown as messages.
    void FormCreate(const QDate& today);

    /// Sets the caption and the `Titel` text, as most callers do first.
    void preset(const QString& caption, const QString& title);
    /// Shows the dialog modally and says what the user chose.
    ReportChoice showModal();
    /// The `Titel` text.
    QString title() const;

    /// Switches the period mode as a click on `Zeitwahl` does.
    void setMode(ReportFilter::Mode mode);
    ReportFilter::Mode mode() const { return m_filter.mode(); }
    /// Shows the group "Bestatter" (evaluations per funeral director).
    void setBestatterGroupVisible(bool visible);
    /// Shows "nach Bestatter" and "eine Seite pro Bestatter" (invoice list), and with them
    /// the group "Bestatter" that holds them.
    void setInvoiceOptionsVisible(bool visible);

    QString Zeittext() const { return m_filter.Zeittext; }
    QString Datumfilter() const { return m_filter.Datumfilter; }
    const QList<int>& BestatterIDs() const { return m_filter.BestatterIDs; }
    /// The address ID of the chosen funeral director; nullopt when the list is empty.
    std::optional<int> chosenBestatterId() const { return m_filter.chosenBestatterId(); }
    /// The copies chosen (position of `Kopien`).
    int copies() const;

    ReportFilter& filter() { return m_filter; }

    /// Opens help; the program passes the main window's help, otherwise a viewer of its own.
    void setHelpHandler(std::function<void(int)> handler) { m_help = std::move(handler); }

    // Controls (the callers read and preset them).
    QGroupBox* Titelbox;
    QComboBox* Titel;
    QGroupBox* Zeitwahl;
    QButtonGroup* ZeitwahlButtons;
    QGroupBox* Monatbox;
    QComboBox* Monatsbox;
    UpDown* UpDown1;
    QLineEdit* Jahr;
    UpDown* updown2;
    QGroupBox* Zeitbox;
    QDateEdit* von;
    QDateEdit* bis;
    QGroupBox* Kopiebox;
    QLineEdit* EditKopie;
    UpDown* Kopien;
    QGroupBox* GroupBox2;
    QComboBox* Bestatterbox;
    QCheckBox* einbestatter;
    QCheckBox* NachBestatter;
    QCheckBox* bestatterSeiten;
    QPushButton* BTMonitor;
    QPushButton* BTDrucker;
    QPushButton* BTAbbruch;
    QPushButton* BTHilfe;

public slots:
    /// Closes with a result code. Preview and print are refused with a message while the
    /// period is not valid; every close computes Zeittext and Datumfilter.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void ZeitwahlClick(int mode);
    void MonatsboxChange();
    void UpDown1Click();
    void JahrChange();
    void updown2Click();
    void EditKopieChange();
    void KopienClick();
    void vonChange();
    void bisChange();
    void BestatterboxChange();
    void BTHilfeClick();
    void FormClose();
    /// Shows the filter's period state in the controls.
    void showPeriod();
    void showBestatter();
    void runGuarded(const std::function<void()>& action);

    AppContext m_context;
    std::unique_ptr<UserSettings> m_ownSettings;
    ReportFilter m_filter;
    std::function<void(int)> m_help;
    bool m_updating = false;
};

} // namespace kilvaro
