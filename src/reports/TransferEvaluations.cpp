#include "reports/TransferEvaluations.h"

#include "base/DbError.h"
#include "base/Format.h"
#include "base/IniFile.h"
#include "base/SettingsKeys.h"
#include "base/TextFile.h"
#include "data/Query.h"

#include <QDateTime>
#include <QDir>

namespace kilvaro {

namespace TransferEvaluations {

namespace {

const QString kFrom = QStringLiteral("from adressen,fahrten");

template <class R>
std::unique_ptr<R> prepared(std::unique_ptr<R> report, const QStringList& lines,
                            const TripReportScope& scope, const QString& bestatterName) {
    report->setHeadings(scope.title, scope.zeittext, bestatterName);
    report->settings().copies = scope.copies;
    report->Query1()->setLines(lines);
    report->Query1()->setParams({bestatterName});
    report->Query1()->open();
    return report;
}

} // namespace

QStringList byPersonLines(const QString& datumfilter) {
    return {QStringLiteral("select adressen.name,fahrten.datum,personen,startort,Ortspauschale,"
                           "Ankleiden,Nacht,Feiertag,zielort,kuehlung,uhuelle,covid19"),
            kFrom,
            QStringLiteral("where fahrten.bestatter = adressen.id"),
            QStringLiteral("and ") + datumfilter,
            QStringLiteral("and name = ?"),
            QStringLiteral("order by name,personen")};
}

QStringList byFileNumberLines(const QString& datumfilter) {
    return {QStringLiteral("select personen,datum,adressen.name,fahrten.personen+\", \"+"
                           "fahrten.vorname as nachname,fahrten.Strasse,fahrten.plz,"
                           "fahrten.vorname,fahrten.ort,beamter,akz,ortspauschale,nacht,"
                           "ankleiden,feiertag,zielort,zeit,kuehlung,uhuelle,covid19"),
            kFrom,
            QStringLiteral("where adressen.id = fahrten.bestatter"),
            QStringLiteral("and ") + datumfilter,
            QStringLiteral("and adressen.name = ?"),
            QStringLiteral("order by beamter,datum,fahrten.Personen,fahrten.vorname")};
}

QStringList byDateLines(const QString& datumfilter) {
    return {QStringLiteral("select personen,datum,adressen.name,fahrten.personen+\", \"+"
                           "fahrten.vorname as nachname,fahrten.Strasse,fahrten.plz,"
                           "fahrten.vorname,fahrten.ort,beamter,akz,ortspauschale,nacht,"
                           "ankleiden,feiertag,covid19,uhuelle,kuehlung,zielort,zeit"),
            kFrom,
            QStringLiteral("where adressen.id = fahrten.bestatter"),
            QStringLiteral("and ") + datumfilter,
            QStringLiteral("and adressen.name = ?"),
            QStringLiteral("order by datum,fahrten.Personen,fahrten.vorname")};
}

QStringList exportLines(const QString& datumfilter) {
    return {QStringLiteral("select personen,datum,fahrten.anrede,adressen.name,fahrten.vorname,"
                           "fahrten.personen,fahrten.Strasse,fahrten.plz,fahrten.vorname,"
                           "fahrten.ort,beamter,akz,zeit"),
            kFrom,
            QStringLiteral("where adressen.id = fahrten.bestatter"),
            QStringLiteral("and ") + datumfilter,
            QStringLiteral("and adressen.name = ?"),
            QStringLiteral("order by datum,fahrten.Personen,fahrten.vorname")};
}

std::unique_ptr<TBe_Ueberfuehrungen> byPerson(Connection* database, const TripReportScope& scope,
                                              const QString& bestatterName) {
    return prepared(std::make_unique<TBe_Ueberfuehrungen>(database),
                    byPersonLines(scope.datumfilter), scope, bestatterName);
}

std::unique_ptr<TBe_Zusatzdaten> byFileNumber(Connection* database, const TripReportScope& scope,
                                              const QString& bestatterName) {
    return prepared(std::make_unique<TBe_Zusatzdaten>(database),
                    byFileNumberLines(scope.datumfilter), scope, bestatterName);
}

std::unique_ptr<TBe_Zusatzdaten> byDate(Connection* database, const TripReportScope& scope,
                                        const QString& bestatterName) {
    auto report = std::make_unique<TBe_Zusatzdaten>(database);
    report->groupByDate();
    return prepared(std::move(report), byDateLines(scope.datumfilter), scope, bestatterName);
}

} // namespace TransferEvaluations

namespace {

/// A date column as the export writes it: dd.mm.yyyy, with the time when it is not midnight.
QString dateText(const QVariant& v) {
    const QDateTime dt = v.toDateTime();
    if (v.isNull() || !dt.isValid())
        return QString();
    QString text = Format::date(dt.date(), QStringLiteral("dd.mm.yyyy"));
    if (dt.time().isValid() && dt.time() != QTime(0, 0))
        text += QLatin1Char(' ') + Format::time(dt.time(), QStringLiteral("hh:nn:ss"));
    return text;
}

QString timeText(const QVariant& v) {
    if (v.isNull())
        return QString();
    const QDateTime dt = v.toDateTime();
    return dt.isValid() ? Format::time(dt.time(), QStringLiteral("hh:nn:ss")) : QString();
}

} // namespace

QString exportFolderOf(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("export"));
}

void ensureFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw DbError(QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.")
                          .arg(QDir::toNativeSeparators(folder)));
}

QString mailingTarget(const QString& programFolder, const IniKey& key) {
    const IniFile ini(QDir(programFolder).filePath(QString::fromLatin1(SettingsKeys::FileName)));
    return readSetting(ini, key).trimmed();
}

TransferExport::TransferExport(Connection* database, QString exportFolder, QString mailingTarget,
                               DocumentOpener open)
    : m_database(database), m_folder(std::move(exportFolder)),
      m_mailingTarget(std::move(mailingTarget)), m_open(std::move(open)) {}

QString TransferExport::filePath() const {
    return QDir(m_folder).filePath(fileName());
}

int TransferExport::run(const QString& datumfilter, const QString& bestatterName) {
    ensureFolder(m_folder);
    Query query(m_database);
    query.setLines(TransferEvaluations::exportLines(datumfilter));
    query.setParams({bestatterName});
    query.open();
    const int rows = query.recordCount();
    if (rows == 0)
        return 0;
    QStringList lines{header()};
    for (query.first(); !query.eof(); query.next()) {
        auto text = [&](const char* field) { return query.value(QLatin1String(field)).toString(); };
        lines << QStringList{dateText(query.value(QStringLiteral("datum"))),
                             timeText(query.value(QStringLiteral("zeit"))),
                             text("anrede"),
                             text("personen"),
                             text("vorname"),
                             text("Strasse"),
                             text("plz"),
                             text("ort"),
                             text("akz")}
                     .join(QLatin1Char(';'));
    }
    TextFile::writeLines(filePath(), lines);
    if (m_open && !m_mailingTarget.isEmpty())
        m_open(m_mailingTarget);
    return rows;
}

} // namespace kilvaro
