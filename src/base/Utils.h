#pragma once

#include <QDate>
#include <QString>
#include <functional>

namespace kilvaro {

class DialogService;

/// Sets the program folder (with or without trailing '/'; stored with one) and with it
/// SqlPath() and DatenPath(). Called once at start, before any window exists.
void setProgramFolder(const QString& folderWithTrailingSlash);
/// The program folder with a trailing '/'.
QString ProgramFolder();
/// Program folder + "sql/": SQL texts that reports load.
QString SqlPath();
/// Program folder + "daten/": per-invoice payment notes.
QString DatenPath();

/// Day counts of the months 1 to 12 (index 0 to 11). February is rewritten by its users
/// for the year at hand (LastDayOfMonth, the period computation of the report filter).
extern int MonthDays[12];

/// The last day of the month (1 to 12) in the year; rewrites the February entry of
/// MonthDays for that year (full Gregorian rule, so 2100 has 28 days). A month outside
/// 1 to 12 gives an invalid date.
QDate LastDayOfMonth(int month, int year);

/// The decimal text of n with a leading "0" when it has one character: 3 -> "03".
QString TwoDigits(int n);

/// "dd.mm.yyyy" (a time may follow after a blank) -> "#mm/dd/yyyy#", the date literal of the
/// old SQL dialect. Throws DbError ("'…' ist kein gültiges Datum.") for any other text.
QString JetDateLiteral(const QString& dateText);
/// The same literal from a date value; throws DbError for an invalid date.
QString JetDateLiteral(const QDate& date);

/// Opens a file or document with the desktop's default program; nothing for an empty text.
/// The result is not checked.
void OpenDocument(const QString& path);
/// Starts a program (or opens a document) with a parameter text that is split like a
/// command line (blanks separate, double quotes group); nothing for an empty file name.
/// The result is not checked.
void OpenWithParameters(const QString& file, const QString& parameters);

/// Starts a program: file and parameter text as for OpenWithParameters.
using ProgramLauncher = std::function<void(const QString& file, const QString& parameters)>;

enum class UpdateCheck {
    NoUpdate, ///< the message "Keine Aktualisierung gefunden" was shown
    QuitNow   ///< the updater was started: the caller ends the program at once, storing nothing
};

/// Looks in the folder named by [optionen] update for a newer copy of the running program
/// file; if there is one, starts the updater ("simpleupdate" or "simpleupdate.exe" beside
/// the copy) with "<copy>" "<running program>" and returns QuitNow, else shows
/// "Keine Aktualisierung gefunden (<copy>)".
/// programFile defaults to the running program, iniFile to ProgramFolder() + "kilvaro.ini",
/// launcher to OpenWithParameters.
UpdateCheck CheckForUpdate(DialogService& dialogs, const QString& programFile = QString(),
                           const QString& iniFile = QString(),
                           const ProgramLauncher& launcher = ProgramLauncher());

/// Text of the version box: "Version: 8.0.0.0 \n(Kilvaro)\n© korvat".
QString VersionInfoText();
/// Shows VersionInfoText() with the information symbol and OK.
void ShowVersionInfo(DialogService& dialogs);

} // namespace kilvaro
