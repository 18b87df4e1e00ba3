#pragma once

#include "data/DataSource.h"
#include "data/Query.h"
#include "data/Table.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <initializer_list>

namespace kilvaro {

class Connection;
class DialogService;
class TDaten_A;

/// The invoice data module: the invoice table `Rectab` with its positions, trips and
/// address as details, numbering and defaults of new invoices, the last number in the
/// settings file, and the routines that turn trips into positions, sum positions, book and
/// delete invoices. Created once after the general data module, alive until the end.
///
/// A booked invoice is locked: its positions cannot be inserted, changed or deleted, the
/// invoice row cannot be deleted nor un-booked, its printed fields stay as booked and a
/// cancellation cannot be taken back. The table handlers refuse with a German message; the
/// database triggers of InvoiceLocks refuse every other path (and guard the trips' marks).
class TDaten_R : public QObject {
    Q_OBJECT
public:
    /// The general data module must exist; its connection is used for every table here.
    TDaten_R(TDaten_A* datenA, const QString& programFolder, DialogService* dialogs,
             QObject* parent = nullptr);
    ~TDaten_R() override;

    /// Reads the surcharge labels, installs the booking locks and opens the tables.
    /// Does nothing (and reports nothing) when the general module has no database.
    /// Throws DbError when a table cannot be opened.
    void RechnungsmodulCreate();

    Connection* connection() const;
    TDaten_A* datenA() const { return m_datenA; }
    QString programFolder() const { return m_programFolder; }

    Table* Rectab;    ///< invoices, sorted by RecNr; calculated brutto, lookup Kundenname
    Table* Recposten; ///< positions of the current invoice
    Table* Fahrttab;  ///< trips of the current invoice; calculated Gesamt
    Table* Adresstab; ///< address of the invoiced funeral director
    Table* ADR;       ///< names of the addresses for the Kundenname lookup
    Table* OrtHaupttab;
    Table* TarifTab;
    Query* recquery;   ///< numbering
    Query* RecFahrten; ///< positions for the invoice document (text set by the document)

    DataSource* RecQuelle;
    DataSource* Recposten1;
    DataSource* Fahrtquelle;

    /// Shared values of the invoice list: written by the invoice-list launchers and the
    /// invoice overview, read by the invoice list report and the invoice overview.
    QString ReportTitle;
    QString InvoiceFilter;

    /// Labels of the surcharges Ankleiden, Nacht, Feiertag, Kuehlung, UHuelle, Covid19.
    static constexpr int SurchargeCount = 6;
    const std::array<QString, SurchargeCount>& surchargeLabels() const { return m_labels; }

    /// Shows (print false) or prints the invoice document of an invoice, with all positions
    /// (posId 0) or one position. Set by the invoice document when it exists; the windows
    /// of invoicing call it through their own hook, which defaults to this one.
    std::function<void(int recNr, int posId, bool print)> showInvoice;

    /// "Today" for new invoices and payments; replaceable in tests.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    /// Whether every store of an invoice notes its number as `Nummer` in the settings file.
    /// Batch work that stores many invoices at once switches it off and notes the last
    /// number once at the end (each note is a synchronous file write).
    bool noteLastNumber = true;

    // --- routines -----------------------------------------------------------------------
    /// Makes one position per trip of the current invoice (trips whose Rechnung is its
    /// number), all stored in one transaction; refused for a booked invoice.
    void PostenErstellen();
    /// Sum of Netto over the current invoice's positions, each rounded to cents as the
    /// invoice prints it.
    double PostenNettoSumme();
    /// The gross of that sum at the current invoice's own VAT rate (MWSt), as printed
    /// (Money::withVat).
    double PostenBruttoSumme();
    /// Marks the invoice booked. Returns true (also for a number that does not exist,
    /// which changes nothing).
    bool RechnungBuchen(int recNr);
    /// Deletes the invoice with its positions and frees its trips, in one transaction;
    /// then removes its payment-notes file.
    /// With `ask` the user confirms first. Returns true only when the invoice was deleted:
    /// false for a number that does not exist or exists twice, a declined question and a
    /// booked invoice.
    bool RechnungLoeschen(int recNr, bool ask);

    /// The position text of the trip current in `trip` (a table on Fahrten).
    QString positionText(const Table& trip) const;

    /// Stores the invoice being inserted in Rectab as the single invoice of the trip
    /// current in `tripTable`: marks the trip, stores the invoice (Euro true; BigR,
    /// Storniert, Gebucht false), makes its position and stores its Netto (the sum of the
    /// positions), all in one transaction. Without Datum or Kunde nothing is stored. On a
    /// failure nothing is stored, the trip is unmarked and Rectab is in insert again with
    /// the values entered; the error is thrown. Returns the invoice number.
    int EinzelRechnungSpeichern(Table* tripTable);

    /// Cancels the current invoice (Storniert true) and, with `freeTrips`, empties the
    /// Rechnung of its trips, in one transaction; then re-reads the trip view.
    void Stornieren(bool freeTrips);

    /// Whether the stored invoice with this number is booked.
    bool isBooked(int recNr) const;

    /// Runs `work` in one transaction. On a failure the transaction is rolled back, the
    /// given tables drop their pending edits (except a row being inserted in `keepInsert`)
    /// and re-read the database, and the error is thrown again.
    void atomically(const std::function<void()>& work, std::initializer_list<Table*> touched,
                    Table* keepInsert = nullptr);

    /// Holds back writing the last invoice number to the settings file while a run stores
    /// many invoices in one transaction (each store would rewrite and sync the file).
    /// releaseNumberFile(true) writes the number last stored meanwhile, if any;
    /// releaseNumberFile(false), after a failed run, leaves the file as it was.
    void holdNumberFile();
    void releaseNumberFile(bool write);

    /// Re-reads the general trips table (when it is open and not being edited), so the
    /// trip window sees changed invoice marks.
    void refreshGeneralTrips();

private:
    void RectabAfterInsert(Table& t);
    void RectabBeforePost(Table& t);
    void RectabBeforeDelete(Table& t);
    void RectabCalcFields(Table& t);
    void FahrtTabCalcFields(Table& t);
    void RecpostenGuard(Table& t);
    void readLabels();
    int nextNumber();
    void writeNumberFile(int recNr);
    /// Opens the own table on the one invoice `recNr` (edits of Rectab stored first).
    void openInvoiceRow(int recNr);

    TDaten_A* m_datenA;
    QString m_programFolder;
    DialogService* m_dialogs;
    std::array<QString, SurchargeCount> m_labels;
    /// A table of its own on Rechnung for booking and deleting, so the filter and position
    /// that the windows set on Rectab stay as they are.
    Table* m_work;
    bool m_holdNumber = false;
    int m_heldNumber = 0;
};

} // namespace kilvaro
