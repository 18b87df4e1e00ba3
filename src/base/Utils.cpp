#include "base/Utils.h"

#include "base/DialogService.h"
#include "base/IniFile.h"
#include "base/SettingsKeys.h"
#include "base/DbError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#ifndef KILVARO_VERSION
#define KILVARO_VERSION "8.0.0.0"
#endif

namespace kilvaro {

namespace {

QString& programFolderValue() {
    static QString folder;
    return folder;
}

QString withTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder;
    return folder + QLatin1Char('/');
}

} // namespace

int MonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

void setProgramFolder(const QString& folderWithTrailingSlash) {
    programFolderValue() = withTrailingSlash(folderWithTrailingSlash);
}

QString ProgramFolder() {
    return programFolderValue();
}

QString SqlPath() {
    return programFolderValue() + QStringLiteral("sql/");
}

QString DatenPath() {
    return programFolderValue() + QStringLiteral("daten/");
}

QDate LastDayOfMonth(int month, int year) {
    if (month < 1 || month > 12)
        return QDate();
    // The full calendar rule: divisibility by 4 alone would give 29.02.2100, no valid date.
    MonthDays[1] = QDate::isLeapYear(year) ? 29 : 28;
    return QDate(year, month, MonthDays[month - 1]);
}

QString TwoDigits(int n) {
    const QString text = QString::number(n);
    return text.size() == 1 ? QLatin1Char('0') + text : text;
}

QString JetDateLiteral(const QString& dateText) {
    // dd.mm.yyyy, optionally followed by a blank and a time.
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d\\d)\\.(\\d\\d)\\.(\\d\\d\\d\\d)(\\s.*)?$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = pattern.match(dateText);
    if (!m.hasMatch() ||
        !QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt()).isValid())
        throw DbError(QStringLiteral("'%1' ist kein gültiges Datum.").arg(dateText));
    return QLatin1Char('#') + m.captured(2) + QLatin1Char('/') + m.captured(1) + QLatin1Char('/') +
           m.captured(3) + QLatin1Char('#');
}

QString JetDateLiteral(const QDate& date) {
    if (!date.isValid() || date.year() < 1)
        throw DbError(QStringLiteral("Ungültiges Datum."));
    return QLatin1Char('#') + TwoDigits(date.month()) + QLatin1Char('/') + TwoDigits(date.day()) +
           QLatin1Char('/') + QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')) +
           QLatin1Char('#');
}

void OpenDocument(const QString& path) {
    if (path.isEmpty())
        return;
    // A URL (mailto:, https:) stays a URL; a drive letter ("C:\…") or a plain path is a file.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    const QUrl url = scheme.match(path).hasMatch() ? QUrl(path) : QUrl::fromLocalFile(path);
    QDesktopServices::openUrl(url);
}

void OpenWithParameters(const QString& file, const QString& parameters) {
    if (file.isEmpty())
        return;
    const QStringList args = QProcess::splitCommand(parameters);
    const QFileInfo info(file);
    if (args.isEmpty() && info.isFile() && !info.isExecutable()) {
        OpenDocument(file);
        return;
    }
    QProcess::startDetached(file, args);
}

UpdateCheck CheckForUpdate(DialogService& dialogs, const QString& programFile,
                           const QString& iniFile, const ProgramLauncher& launcher) {
    const QString running =
        programFile.isEmpty() ? QCoreApplication::applicationFilePath() : programFile;
    const QString iniPath =
        iniFile.isEmpty() ? ProgramFolder() + QLatin1String(SettingsKeys::FileName) : iniFile;

    const IniFile ini(iniPath);
    const QString folder = readSetting(ini, SettingsKeys::Update);
    const QString candidate =
        folder.isEmpty() ? QString() : withTrailingSlash(folder) + QFileInfo(running).fileName();

    const QFileInfo candidateInfo(candidate);
    const QFileInfo runningInfo(running);
    // A missing candidate counts as older than any file.
    const bool newer =
        !candidate.isEmpty() && candidateInfo.isFile() &&
        (!runningInfo.exists() || candidateInfo.lastModified() > runningInfo.lastModified());
    if (!newer) {
        dialogs.message(QStringLiteral("Keine Aktualisierung gefunden (%1)").arg(candidate),
                        MsgIcon::None, MsgButtons::Ok);
        return UpdateCheck::NoUpdate;
    }

    QString updater = candidateInfo.absolutePath() + QStringLiteral("/simpleupdate.exe");
#ifndef Q_OS_WIN
    const QString native = candidateInfo.absolutePath() + QStringLiteral("/simpleupdate");
    if (QFileInfo(native).isFile())
        updater = native;
#endif
    const QString parameters =
        QLatin1Char('"') + candidate + QStringLiteral("\" \"") + running + QLatin1Char('"');
    if (launcher)
        launcher(updater, parameters);
    else
        OpenWithParameters(updater, parameters);
    // Whether the updater started is not checked: the program ends either way.
    return UpdateCheck::QuitNow;
}

QString VersionInfoText() {
    return QStringLiteral("Version: %1 %2(%3)%4%5")
        .arg(QStringLiteral(KILVARO_VERSION), QStringLiteral("\n"), QStringLiteral("Kilvaro"),
             QStringLiteral("\n"), QStringLiteral("© korvat"));
}

void ShowVersionInfo(DialogService& dialogs) {
    dialogs.message(VersionInfoText(), MsgIcon::Information, MsgButtons::Ok);
}

} // namespace kilvaro
