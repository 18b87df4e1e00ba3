#pragma once

#include "data/ui/ChildWindow.h"
#include "invoicing/ui/TRec_EditformLayout.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

namespace kilvaro {

class FieldBinding;
class InvoiceOverviewRules;
class TDaten_R;

/// "Rechnungs-Übersicht": browses the invoices by month and payment state and records
/// payments, part payments, cancellation, booking, hiding and deletion. A child window of
/// the main window (one instance); binds the shared navigator to the invoices while active.
class TRec_Editform : public ChildWindow, public TRec_EditformLayout {
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
    void connectSignals();
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
};

} // namespace kilvaro
