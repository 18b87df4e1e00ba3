#pragma once

#include "data/ui/ChildWindow.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QVBoxLayout;
class QToolButton;

namespace kilvaro {

class DbGrid;
class DbNavigator;
class FieldBinding;
class InvoiceOverviewRules;
class TDaten_R;

/// "Rechnungs-Übersicht": browses the invoices by month and payment state and records
/// payments, part payments, cancellation, booking, hiding and deletion. A child window of
/// the main window (one instance); binds the shared navigator to the invoices while active.
class TRec_Editform : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int HelpContext = 15;

    /// `main` may be null (tests): the status suffix is then kept by the window itself.
    /// Throws DbError when the invoice module is not open.
    TRec_Editform(const AppContext& context, ChildHost* host, QWidget* parent = nullptr);
    ~TRec_Editform() override;

    // Hooks to windows and programs built elsewhere; each has a working default or none.
    /// Shows or prints the invoice document; defaults to the invoice module's hook.
    std::function<void(int recNr, int posId, bool print)> showInvoice;
    /// Opens the text editor dialog on a file with a caption, modally.
    std::function<void(const QString& path, const QString& caption)> editTextFile;
    /// Opens the monthly invoices window.
    std::function<void()> openMonthlyInvoices;
    /// Starts the system calculator.
    std::function<void()> startCalculator;
    /// Puts a text on the clipboard.
    std::function<void(const QString&)> copyToClipboard;

    /// The current status suffix (the invoice module's shared InvoiceFilter).
    QString statusSuffix() const;
    /// The current month condition; empty while the month filter is off.
    QString monthCondition() const { return m_monthCondition; }

    // Top bar.
    QSpinBox* Jahredit;
    QComboBox* Monatsbox;
    QSpinBox* UpDown1;
    QCheckBox* Filtern;
    QLineEdit* Snr;
    QGroupBox* Bearbeiten;
    QRadioButton* zulassen;
    QRadioButton* nichtZulassen;
    QGroupBox* filterbox;
    QList<QRadioButton*> filterItems;
    QPushButton* Button5;
    QPushButton* BT_Hilfe;
    QTabWidget* Seiten;

    // Page "Detail".
    QWidget* eingabefeld;
    QLineEdit* recnr;
    QLineEdit* datum;
    QLineEdit* kundenname;
    QLineEdit* netto;
    QLineEdit* brutto;
    QPlainTextEdit* textvor;
    QRadioButton* Radiobezahlt;
    QWidget* bezahltPanel;
    QLineEdit* zahlungsdatum;
    QToolButton* Kalender;
    QComboBox* edit_Zart;
    QToolButton* Zahlungstexte;
    QRadioButton* Radioangezahlt;
    QWidget* angezahltPanel;
    QLineEdit* anzahlung;
    QLineEdit* anzahlungD;
    QToolButton* SpeedButton1;
    QLineEdit* Restbetrag;
    QPushButton* SpeedButton2;
    QPushButton* SpeedButton3;
    QCheckBox* BigR;
    QCheckBox* Single;
    QCheckBox* Gebucht;
    QCheckBox* Storniert;
    QCheckBox* Ausgeblendet;
    QPlainTextEdit* anzahlungen;
    QPushButton* savebt;
    QPushButton* getnetto;
    QPushButton* RecAnsicht;
    QPushButton* Drucken;
    QPushButton* RecLoeschen;
    QPushButton* RecStorno;
    QPushButton* RecBuchen;

    // Page "Fahrten-Übersicht".
    DbGrid* FahrtenGrid;
    // Page "Rechnungs-Posten".
    DbGrid* PostenGrid;
    DbNavigator* navi;
    QPushButton* getnetto2;
    QPushButton* Einzelrechnung;
    // Page "Rechnungs-Übersicht".
    DbGrid* UebersichtGrid;

    // Handlers (public so tests drive them as a click would).
    void FilterAnwenden();
    void MonatsboxChange();
    void UpDown1Click();
    void FilternClick();
    void filterboxClick(int item);
    void SnrChange();
    void BearbeitenClick();
    void recnrChange();
    void RadiobezahltClick();
    void RadioangezahltClick();
    void KalenderClick();
    void SpeedButton1Click();
    void ZahlungstexteClick();
    void edit_ZartEnter();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void anzahlungenChange();
    void savebtClick();
    void getnettoClick();
    void RecAnsichtClick();
    void DruckenClick();
    void EinzelrechnungClick();
    void RecLoeschenClick();
    void RecStornoClick();
    void RecBuchenClick();
    void Button5Click();
    void BT_HilfeClick();
    void FormActivate() override;
    void FormDeactivate() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopBar(QVBoxLayout* layout);
    QWidget* buildDetailPage();
    QWidget* buildTripsPage();
    QWidget* buildPositionsPage();
    QWidget* buildOverviewPage();
    void bindDetail();
    void setStatusSuffix(const QString& suffix);
    void loadNotes();
    void showDocument(int posId, bool print);
    void moveToNumberAtLeast(int number);
    bool editAllowed() const;

    TDaten_R* m_daten;
    std::unique_ptr<InvoiceOverviewRules> m_rules;
    FieldBinding* m_zartBinding = nullptr;
    /// Bindings of the printed fields, read-only while the invoice is booked.
    QList<FieldBinding*> m_printedBindings;
    QString m_monthCondition;
    bool m_loadingNotes = false;
    /// The payment notes shown belong to this invoice (-1: none) and have unsaved changes.
    int m_notesRecNr = -1;
    bool m_notesDirty = false;
    QList<QLabel*> m_tripHeader;
};

} // namespace kilvaro
