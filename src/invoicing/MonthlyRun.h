#pragma once

#include "base/Money.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

namespace kilvaro {

class Table;
class TDaten_R;

/// The monthly invoices: one invoice per funeral director for the open trips of a month,
/// each with one position per trip, and the month's row in `Monatsrechnung` (first and last
/// number, revenue). Also deleting, booking and recomputing a month. Used by the monthly
/// invoices window and the batch command; needs only the invoice data module.
///
/// Every change of a month (run, deletion, booking, recomputation) is one transaction: a
/// failure leaves the database as it was and is thrown as DbError.
class MonthlyRun : public QObject {
    Q_OBJECT
public:
    static constexpr int FirstYear = 1996;
    static constexpr int LastYear = 2200;

    /// The invoice module must be open (RechnungsmodulCreate).
    explicit MonthlyRun(TDaten_R& daten, QObject* parent = nullptr);
    ~MonthlyRun() override;

    /// The month rows, sorted by year and month; opened by open().
    Table* MRectab;
    /// Opens MRectab (a second call re-reads it).
    void open();

    /// Status-line texts while the work goes on ("Die Rechnung 12 wird erstellt...").
    std::function<void(const QString&)> status;

    struct Row {
        int month = 0;
        int year = 0;
        int first = 0;
        int last = 0;
        Money revenue;
        QString iso;
    };

    enum class Outcome {
        Made,        ///< invoices were made
        AlreadyMade, ///< the month has its row and this was no late addition
        NoOpenTrips  ///< no funeral director has an open trip in the month: nothing written
    };
    struct Result {
        Outcome outcome = Outcome::NoOpenTrips;
        QList<int> numbers; ///< the invoices made, ascending
        Money revenue;      ///< their net total
        bool rowWritten = false;
        /// The refusal (AlreadyMade, NoOpenTrips), or for a late addition the reminder that
        /// the month's row was left alone; empty otherwise.
        QString message;
        /// The closing status text.
        QString statusText;
    };

    /// "März 2026".
    static QString periodText(int month, int year);
    /// VAT rate in percent for an invoice dated `date`: 16 from 1.7. to 31.12.2020, else 19.
    static int vatRate(const QDate& date);
    /// Throws DbError with a German message unless 1 <= month <= 12 and the year lies
    /// between FirstYear and LastYear.
    static void checkMonth(int month, int year);

    /// Whether the month has its row (MonatVorhanden).
    bool MonatVorhanden(int month, int year) const;
    std::optional<Row> monthRow(int month, int year) const;

    /// The run (MonatslaufAusfuehren). A trip is open while its Rechnung is empty or below
    /// 1; funeral directors (addresses of Typ 1) get their invoices numbered in the
    /// alphabetical order of their names, dated the last day of the month. Without
    /// `lateAddition` the month must not have its row yet and gets one; a late addition
    /// leaves the row alone.
    Result MonatslaufAusfuehren(int month, int year, bool lateAddition);

    struct DeleteResult {
        QList<int> deleted;
        QList<int> kept; ///< booked invoices, which stay
        bool rowDeleted = false;
        QString statusText;
    };
    /// Deletes the unbooked invoices of the month's range with their positions and frees
    /// their trips; booked ones stay. The month's row goes only when no invoice of its range
    /// remains. A month without row changes nothing.
    DeleteResult deleteMonth(int month, int year);

    /// Books every invoice of the month's range; returns how many were booked now.
    int bookMonth(int month, int year);

    /// "Umsatz aktualisieren": rewrites the month's row from the uncancelled invoices dated
    /// in the month (single invoices included), ISO "€". Returns the row, or nothing (and
    /// changes nothing) when the month has no such invoice.
    std::optional<Row> recomputeMonth(int month, int year);

    /// The chart's bars: month and revenue of each row of the year, by month.
    QList<QPair<int, Money>> yearRevenue(int year) const;

    /// Rows written before the euro have no currency: when the first row has none, every
    /// row without one gets "DM". Returns whether rows were changed.
    bool fillMissingCurrency();

private:
    void say(const QString& text);
    void monthRowChanged();

    TDaten_R& m_daten;
};

} // namespace kilvaro
