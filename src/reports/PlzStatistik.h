#pragma once

#include "reports/TransferEvaluations.h"

#include <QList>
#include <QString>

namespace kilvaro {

class Connection;

/// The postal-code statistics of one funeral director's trips in a period: per code of the
/// postal-code table the normal, night and holiday trips, and the trips on the right and
/// on the left bank of the Rhine. Writes "PLZ-Statistik.csv" and, for trips whose code is
/// not in the table, "PLZ-Fehler.csv" into the folder "export" (Windows-1252, CR LF), then
/// starts the program of [Mailing] PLZ.
class PlzStatistik {
public:
    struct Entry {
        int plz = 0;
        bool rechtsrheinisch = false;
        int gesamt = 0;
        int normal = 0;
        int nacht = 0;
        int feiertag = 0;
    };
    struct Result {
        QList<Entry> entries; ///< every row of the postal-code table, in its order
        int rechtsrheinisch = 0;
        int linksrheinisch = 0;
        int ohnePlz = 0;
        int ungueltig = 0;
        QStringList statisticsLines;
        QStringList errorLines;
    };

    static QString statisticsFileName() { return QStringLiteral("PLZ-Statistik.csv"); }
    static QString errorFileName() { return QStringLiteral("PLZ-Fehler.csv"); }
    static QString header() {
        return QStringLiteral(
            "PLZ;Pauschale 1 (Normal);Pauschale 2 (Nacht); Pauschale 3 (Feiertag);Gesamt");
    }

    /// Writes into `exportFolder` (created when missing); afterwards `open` starts
    /// `mailingTarget` (nothing when either is empty).
    PlzStatistik(Connection* database, QString exportFolder, QString mailingTarget = {},
                 DocumentOpener open = {});

    /// Counts, writes both files and starts the mailing program. Throws DbError.
    Result run(int bestatterId, const QString& datumfilter);
    /// Counts only (no file written, nothing started).
    Result count(int bestatterId, const QString& datumfilter) const;

    /// The digits of a postal-code text ("D-51063" -> "51063").
    static QString digitsOf(const QString& plz);

private:
    Connection* m_database;
    QString m_folder;
    QString m_mailingTarget;
    DocumentOpener m_open;
};

} // namespace kilvaro
