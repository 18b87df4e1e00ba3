#pragma once

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

namespace kilvaro {

class TDaten_A;

/// The commands of the tariff window without the window: new tariff group, copy of a
/// version to a new period, deletion of a version, raising all place amounts, the export
/// file, and the validity status of a version.
///
/// Every command that writes several rows runs in one transaction: when any statement
/// fails, the database stays as it was before the command. Afterwards the shared table
/// objects of the data module are re-read (also after a failure), so grids show what is
/// stored. Pending edits of the shared tariff tables are stored before a command starts.
class TariffOperations {
public:
    enum class Validity { Valid, NotYetValid, NoLongerValid };

    explicit TariffOperations(TDaten_A& daten);

    // --- input conversions (throw DbError with a German message) --------------------------
    /// A tariff group number typed by the user ("3", " 12 ").
    static int parseTariffNumber(const QString& text);
    /// A date typed as "d.m.yyyy" or "d.m.yy" (a two-digit year is the one nearest to today).
    static QDate parseDate(const QString& text, const QDate& today);
    /// The amount of "++", typed the German way ("5", "-2", "2,50").
    static double parseRaise(const QString& text);

    // --- the selected version ------------------------------------------------------------
    /// `ID` of the current row of Orthaupttab; throws DbError when there is none.
    int selectedVersionId() const;
    /// `Nr` of the current row of Orthaupttab (0 when there is none).
    int selectedGroupNumber() const;
    /// Every tariff group number once, ascending; 0 and empty numbers are no group.
    QList<int> groupNumbers() const;

    // --- commands ------------------------------------------------------------------------
    /// The smallest positive ID that no version uses and that no orphaned Tarif or
    /// OrtsTarif row still carries (a reused ID would otherwise inherit those rows).
    int freeVersionId() const;
    /// A new version of group `nr` without period: Tarif row with VAT 16 and "EUR", one
    /// empty place amount per entry of the place list. Returns the new ID; Orthaupttab
    /// moves to it when its filter shows it.
    int newTariffGroup(int nr);
    /// Ends the source version the day before `start` and creates a new version of the same
    /// group from `start` to 31.12.2222 with the source's surcharges (zero VAT, dressing,
    /// night and holiday amounts become empty) and place amounts. Returns the new ID;
    /// Orthaupttab moves to the new version.
    int copyVersion(int sourceId, const QDate& start);
    /// Deletes the version's place amounts, its Tarif row and the version itself.
    void deleteVersion(int id);
    /// Adds `amount` to every place amount of the version (an empty amount counts as 0).
    void raiseAmounts(int id, double amount);
    /// Writes "Ort;Betrag" and one line per place amount of the version, Windows-1252 with
    /// CR LF. The file is replaced only when it was written completely.
    void exportAmounts(int id, const QString& path) const;
    /// The export file's bytes for the version.
    QByteArray exportBytes(int id) const;

    // --- helpers -------------------------------------------------------------------------
    /// The fixed 23-character scientific form of the export: " 1.50000000000000E+0002".
    static QString scientific(double value);
    /// Both ends count as valid; an empty date counts as the earliest possible date.
    static Validity validity(const QDate& today, const QDate& anfang, const QDate& ende);
    static QString validityText(Validity v);
    static QColor validityColor(Validity v);
    /// The end date of a copied version.
    static QDate openEnd() { return QDate(2222, 12, 31); }

private:
    void storePendingEdits();
    /// Re-reads the shared tariff tables; moves Orthaupttab to `id` when it is in the set.
    void reread(int id);
    void rereadAfterFailure(int id);
    TDaten_A& m_daten;
};

} // namespace kilvaro
