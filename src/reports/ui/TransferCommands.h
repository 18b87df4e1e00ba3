#pragma once

#include "base/AppContext.h"
#include "reports/ReportChoice.h"

#include <QPointer>
#include <QWidget>

namespace kilvaro {

class TDruckfilterform;

/// The commands of the menu "Überführungen" that evaluate one funeral director's
/// transfers in a period, each through the report data filter dialog with its group
/// "Bestatter" in view: three lists (always previewed, also after "&Drucken"), the export
/// "Ueberfuehrungen.csv" and the postal-code statistics.
class TransferCommands {
public:
    TransferCommands(const AppContext& context, TDruckfilterform& filter,
                     QWidget* parent = nullptr);

    /// "Überführungen nach Personen".
    void byPerson();
    /// "Überführungen nach Aktenzeichen": grouped by official.
    void byFileNumber();
    /// "Überführungen nach Datum": a page per date.
    void byDate();
    /// "Überführungen exportieren": the dialog's title field becomes the export target
    /// ("Exportziel", stored per user); the file, then the mailing program.
    void exportTransfers();
    /// "PLZ-Statistik": both files, then the program of [Mailing] PLZ.
    void plzStatistik();

    /// Name of the per-user value of the export target.
    static QString exportTargetKey() { return QStringLiteral("Exportziel"); }

private:
    /// Shows the filter dialog with the funeral-director group in view; puts the dialog
    /// back as it was, whatever the result.
    ReportChoice ask();
    /// The chosen funeral director's name; throws DbError when there is none to choose.
    QString chosenName() const;
    int chosenId() const;
    void requireDatabase() const;

    AppContext m_context;
    TDruckfilterform& m_filter;
    QPointer<QWidget> m_parent;
};

} // namespace kilvaro
