#include "app/BatchCommands.h"

#include "app/DemoData.h"
#include "app/ProgramSetup.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/StoredValue.h"
#include "reports/TBericht_Ortslistenform.h"
#include "reports/TBericht_Preisform.h"
#include "reports/TBericht_Tarifform.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSqlRecord>

namespace kilvaro::BatchCommands {

namespace {

/// Opens the database the folder's settings name; a missing settings file or database is
/// reported, never silently created.
void openConfigured(Connection& db, const QString& programFolder) {
    if (ProgramSetup::isFirstStart(programFolder))
        throw DbError(
            QStringLiteral("Im Programmordner '%1' gibt es keine kilvaro.ini.").arg(programFolder));
    db.open(ProgramSetup::databasePath(programFolder));
    Schema::upgrade(db);
}

QString numberText(double v) {
    QString t = QString::number(v, 'f', 10);
    if (t.contains(QLatin1Char('.'))) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(QLatin1Char('.')))
            t.chop(1);
    }
    if (t == QLatin1String("-0"))
        t = QStringLiteral("0");
    return t.replace(QLatin1Char('.'), QLatin1Char(','));
}

/// Runs a batch command: output flushed, exit code 0; a refusal goes to stderr, exit code 1.
template <typename Work> int guarded(QTextStream& out, QTextStream& err, Work work) {
    try {
        work();
        out.flush();
        return 0;
    } catch (const DbError& e) {
        out.flush();
        err << e.message() << '\n';
        err.flush();
        return 1;
    }
}

} // namespace

QString formatValue(const QVariant& value) {
    if (value.isNull() || !value.isValid())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.date() == stored::timeBaseDate())
            return dt.time().toString(dt.time().second() ? QStringLiteral("hh:mm:ss")
                                                         : QStringLiteral("hh:mm"));
        if (dt.time() == QTime(0, 0))
            return dt.toString(QStringLiteral("dd.MM.yyyy"));
        return dt.toString(dt.time().second() ? QStringLiteral("dd.MM.yyyy hh:mm:ss")
                                              : QStringLiteral("dd.MM.yyyy hh:mm"));
    }
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(value.toDouble());
    default:
        return value.toString();
    }
}

int runSql(const QString& programFolder, const QString& text, QTextStream& out, QTextStream& err) {
    return guarded(out, err, [&] {
        Connection db;
        openConfigured(db, programFolder);
        Translation t;
        QSqlQuery q = db.execOld(text, &t);
        if (t.kind != StatementKind::Select) {
            const int n = q.numRowsAffected();
            out << QStringLiteral("%1 Zeile(n) betroffen").arg(n < 0 ? 0 : n) << '\n';
            return;
        }
        const QSqlRecord rec = q.record();
        QStringList header;
        QList<ColumnType> types;
        for (int i = 0; i < rec.count(); ++i) {
            header << (i < t.columns.size() ? t.columns.at(i).name : rec.fieldName(i));
            types << (i < t.columns.size() ? t.columns.at(i).type : ColumnType::Unknown);
        }
        out << header.join(QLatin1Char(';')) << '\n';
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < rec.count(); ++i)
                fields << formatValue(stored::fromDb(q.value(i), types.at(i)));
            out << fields.join(QLatin1Char(';')) << '\n';
        }
    });
}

int runDemo(const QString& programFolder, const QDate& today, QTextStream& out, QTextStream& err) {
    return guarded(out, err, [&] {
        if (ProgramSetup::isFirstStart(programFolder))
            ProgramSetup::createDefaults(programFolder);
        Connection db;
        openConfigured(db, programFolder);
        const DemoData::Summary s = DemoData::fill(db, today);
        out << QStringLiteral("Demonstrationsdaten geschrieben: %1 Bestatter, %2 Aushilfen, "
                              "%3 Fahrten, %4 Rechnungen.")
                   .arg(s.funeralDirectors)
                   .arg(s.helpers)
                   .arg(s.trips)
                   .arg(s.invoices)
            << '\n';
    });
}

namespace {

/// A master-data report by its batch name, over the data module's shared tables, with the
/// title the print menu proposes; null for an unknown name.
std::unique_ptr<Report> masterDataReport(const QString& name, TDaten_A& d) {
    const QString key = name.trimmed().toLower();
    std::unique_ptr<Report> report;
    if (key == QLatin1String("tarife")) {
        report = std::make_unique<TBericht_Tarifform>(d.Orthaupttab, d.Tariftab, d.Ortetab);
        report->setTitle(QStringLiteral("Tarife"));
    } else if (key == QLatin1String("ortsliste")) {
        report = std::make_unique<TBericht_Ortslistenform>(d.Ortslistetab);
        report->setTitle(QStringLiteral("Ortsliste"));
    } else if (key == QLatin1String("preisliste")) {
        report = std::make_unique<TBericht_Preisform>(d.Preistab);
        report->setTitle(QStringLiteral("Preisliste"));
    }
    return report;
}

} // namespace

int runReport(const QString& programFolder, const QString& report, const QString* title,
              const QString& pdfFile, QTextStream& out, QTextStream& err) {
    return guarded(out, err, [&] {
        const QString key = report.trimmed().toLower();
        if (key != QLatin1String("tarife") && key != QLatin1String("ortsliste") &&
            key != QLatin1String("preisliste"))
            throw DbError(QStringLiteral("Unbekannter Bericht '%1'. Möglich sind: tarife, "
                                         "ortsliste, preisliste.")
                              .arg(report));
        if (pdfFile.trimmed().isEmpty())
            throw DbError(QStringLiteral("Für --report fehlt die Zieldatei: --pdf DATEI angeben."));
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            throw DbError(
                QStringLiteral("Berichte brauchen eine grafische Anwendung (Schriften)."));
        if (ProgramSetup::isFirstStart(programFolder))
            throw DbError(QStringLiteral("Im Programmordner '%1' gibt es keine kilvaro.ini.")
                              .arg(programFolder));
        const QString database = ProgramSetup::databasePath(programFolder);
        if (!QFileInfo::exists(database))
            throw DbError(QStringLiteral("Die Datenbank '%1' gibt es nicht.").arg(database));

        TDaten_A daten(programFolder, nullptr);
        daten.DataModuleCreate();
        if (!daten.lastError().isEmpty())
            throw DbError(daten.lastError());
        std::unique_ptr<Report> r = masterDataReport(key, daten);
        if (title)
            r->setTitle(*title);
        const std::unique_ptr<ReportPages> pages = r->render();
        QString error;
        if (!pages->exportPdf(pdfFile, &error))
            throw DbError(error);
        out << QStringLiteral("Bericht \"%1\" gespeichert: %2 (%3 Seite(n)).")
                   .arg(r->title(), pdfFile)
                   .arg(pages->pageCount())
            << '\n';
    });
}

} // namespace kilvaro::BatchCommands
