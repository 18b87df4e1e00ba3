#pragma once

#include "data/ui/ChildWindow.h"
#include "trips/ui/TForm_FahrtenLayout.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QAbstractButton;
class QComboBox;

namespace kilvaro {

class InvoiceMarks;
class OrderNumberTools;
class Query;
class TFAuftragsuche;
class TripRules;

/// The trip window "Überführung": all trips (or one month of them) in a grid, the current
/// trip in an input panel at the left, the place and price lists, and the order-number and
/// invoice-number tools. A single-instance child window of the main frame; the trip rules
/// run underneath every store. The widgets are built by TForm_FahrtenLayout; this class
/// binds them and holds the window's behaviour.
class TForm_Fahrten : public ChildWindow, public TForm_FahrtenLayout {
    Q_OBJECT
public:
    static constexpr int HelpContext = 11;

    /// `host` may be nullptr (tests of the window alone): no navigator, no help.
    TForm_Fahrten(const AppContext& context, ChildHost* host, QWidget* parent = nullptr);
    ~TForm_Fahrten() override;

    /// Opens the single-invoice dialog for the current trip; empty until invoicing provides
    /// it. It may return only after the invoice's preview has been closed, and this window
    /// may have been closed and freed by then.
    std::function<void()> openInvoiceDialog;
    /// Prints the trip list ("Fahrtenliste"); set by the frame, which owns the report
    /// data filter dialog.
    std::function<void()> printTripList;
    /// The invoice dialog has closed (its preview may still be open): the trip display
    /// resumes at once, not only when openInvoiceDialog returns.
    void invoiceDialogClosed();
    /// Shows the trip search modally; true for OK. Tests replace it to choose a row.
    std::function<bool(TFAuftragsuche&)> execTripSearch;

    bool InvoiceDialogOpened = false;

    // --- handlers ---------------------------------------------------------------------------
    void FormActivate() override;
    void FormDeactivate() override;
    void ControlChange(int index);
    void FilternClick();
    void MonateditChange();
    void UpDown2Click();
    void SpeedButton1Click();
    void BcomboClick();
    void DBEdit1Change();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void OrtesuchlisteClick();
    void OrtesuchlisteExit();
    void PreislisteButtonClick();
    void PreislistegitterClick();
    void FormClick();
    void BTPreislisteClick();
    void BTFahrtenlisteClick();
    void BitBtn3Click();
    void BTRechnungClick();
    void LRechnungDblClick();
    void SpeedButton4Click();
    void SpeedButton6Click();
    void AnrZuordnenClick();
    void VKsetzenClick();
    void anrsetzenClick();
    void BitBtn4Click();
    void SpeedButton5Click();
    void AnkleidenClick();
    void NachtClick();
    void FeiertagClick();
    void kuehlungClick();
    void UHuelleClick();
    void Covid19Click();
    void BTHilfeClick();

    /// The window's address queries (funeral directors, helpers), read once at creation.
    Query* BestatterQuery;
    Query* AushilfeQuery;

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void connectSignals();
    void bindGrids();
    void bindFields();
    void showPanelTab(int tab);
    void showGrid();
    void updateTexts();
    /// Enter stores the trip, Escape drops the pending changes.
    bool handlePanelKey(QWidget* control, int key);
    void connectClick(QAbstractButton* button, void (TForm_Fahrten::*handler)());
    InvoiceMarks invoiceMarks() const;
    OrderNumberTools orderNumbers() const;

    /// The frame as the object this window watches: compared without a downcast, since its
    /// events still arrive while it is being destroyed.
    QPointer<QObject> m_frame;
    /// Resumes the trip display suspended for the invoice dialog (once).
    std::function<void()> m_resumeDisplay;
    /// The invoice dialog or its preview is still running.
    bool m_invoiceFlow = false;
    TripRules* m_rules;
    QString m_placeField;
    bool m_monthTyped = false;
};

} // namespace kilvaro
