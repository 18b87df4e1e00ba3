#pragma once

#include "base/AppContext.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kilvaro {

class Table;
class TDaten_R;

/// "Einzel-Rechnung erstellen": makes the single invoice of one trip. The caller (the trip
/// window) checks that the trip has no invoice yet, creates the dialog with the trip table
/// whose current row is the trip, and shows it modally.
///
/// While the dialog is open, Rectab is inserting the new invoice (number and defaults of
/// the invoice module). "&Erstellen" stores the invoice, the trip's mark and the position
/// in one transaction and shows the invoice; "Abbruch" (or Escape) drops the new row, so
/// the number shown is not used up.
///
/// "&Erstellen" closes the dialog before it shows the invoice; the preview's event loop runs
/// inside that handler, so the dialog's owner must outlive it (the main window, not the trip
/// window, which the user may close while the preview is open).
class TRec_Neuform : public QDialog {
    Q_OBJECT
public:
    /// `trip`: the table whose current row is the trip (normally Daten_A's Fahrttab).
    /// Throws DbError when the invoice module is not open.
    TRec_Neuform(const AppContext& context, Table* trip, QWidget* parent = nullptr);
    ~TRec_Neuform() override;

    /// Shows or prints the invoice document (number, position Id or 0 for all, print).
    /// Defaults to the invoice module's hook.
    std::function<void(int recNr, int posId, bool print)> showInvoice;

    /// The number of the invoice stored by "&Erstellen"; 0 before.
    int createdNumber() const { return m_created; }

    QLineEdit* EditRecNr;
    QLineEdit* EditDatum;
    QLineEdit* DBEdit1;
    QPlainTextEdit* DBMemo1;
    QPushButton* BTErstell;
    QPushButton* Button1;

    void BTErstellClick();
    void Button1Click();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    AppContext m_context;
    TDaten_R* m_daten;
    Table* m_trip;
    int m_created = 0;
};

} // namespace kilvaro
