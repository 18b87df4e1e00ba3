#pragma once

#include "reports/TBe_Zusatzdaten.h"
#include "reports/TripReportScope.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace kilvaro {

class Connection;
struct IniKey;

/// The evaluations of one funeral director's transfers in a period: three lists and the
/// export of the transfers for mailing. The funeral director is chosen by name; the name
/// reaches the database as a bound value, so any character in it (a double quote too) is
/// taken as it is.
namespace TransferEvaluations {

/// The query lines of the evaluations; "?" stands for the funeral director's name.
QStringList byPersonLines(const QString& datumfilter);
QStringList byFileNumberLines(const QString& datumfilter);
QStringList byDateLines(const QString& datumfilter);
QStringList exportLines(const QString& datumfilter);

/// "Überführungen nach Personen": TBe_Ueberfuehrungen with its query open. Throws DbError.
std::unique_ptr<TBe_Ueberfuehrungen> byPerson(Connection* database, const TripReportScope& scope,
                                              const QString& bestatterName);
/// "Überführungen nach Aktenzeichen": TBe_Zusatzdaten grouped by official.
std::unique_ptr<TBe_Zusatzdaten> byFileNumber(Connection* database, const TripReportScope& scope,
                                              const QString& bestatterName);
/// "Überführungen nach Datum": TBe_Zusatzdaten with a page per date.
std::unique_ptr<TBe_Zusatzdaten> byDate(Connection* database, const TripReportScope& scope,
                                        const QString& bestatterName);

} // namespace TransferEvaluations

/// Opens the program or document named by a "Mailing" key of the settings file (empty:
/// nothing); the program's default is the desktop's "open", tests put in their own.
using DocumentOpener = std::function<void(const QString& document)>;

/// The transfer export "Ueberfuehrungen.csv" in the folder "export" of the program folder:
/// Windows-1252, CR LF, fields separated by ";" without quoting, a fixed header line, one
/// line per transfer ordered by date, surname, first name.
class TransferExport {
public:
    static QString header() {
        return QStringLiteral("Datum;Uhrzeit;Anrede;Name;Vorname;Strasse;PLZ;Ort;Aktzenzeichen");
    }
    static QString fileName() { return QStringLiteral("Ueberfuehrungen.csv"); }
    static QString noDataMessage() {
        return QStringLiteral(
            "Keine Überführungen im export enthalten. Mailversand wird unterbrochen.");
    }

    /// Writes into `exportFolder` (created when missing); afterwards `open` starts
    /// `mailingTarget` (nothing when either is empty).
    TransferExport(Connection* database, QString exportFolder, QString mailingTarget = {},
                   DocumentOpener open = {});

    /// Reads the transfers and, when there are any, writes the file and starts the mailing
    /// target. Returns the number of transfers; 0 writes nothing (an older file stays) and
    /// starts nothing. Throws DbError (folder or file not writable, query).
    int run(const QString& datumfilter, const QString& bestatterName);
    /// The file written by run().
    QString filePath() const;

private:
    Connection* m_database;
    QString m_folder;
    QString m_mailingTarget;
    DocumentOpener m_open;
};

/// The folder "export" of the program folder.
QString exportFolderOf(const QString& programFolder);
/// Creates the folder when missing; throws DbError when it can neither be found nor created.
void ensureFolder(const QString& folder);

/// The value of a [Mailing] key of the program folder's settings file (empty if missing).
QString mailingTarget(const QString& programFolder, const IniKey& key);

} // namespace kilvaro
