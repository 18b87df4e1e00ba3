#include "app/BatchCommands.h"

#include "app/DemoData.h"
#include "data/ProgramSetup.h"
#include "base/SettingsKeys.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/IntegrityCheck.h"
#include "data/Schema.h"
#include "data/StoredValue.h"
#include "invoicing/Daten_R.h"
#include "invoicing/MonthlyRun.h"
#include "invoicing/InvoiceListRun.h"
#include "invoicing/TBericht_Rechnung.h"
#include "invoicing/TRec_Dokument.h"
#include "reports/ReportFilter.h"
#include "reports/ReportPages.h"
#include "reports/TBericht_Ortslistenform.h"
#include "reports/TBericht_Preisform.h"
#include "reports/TBericht_Tarifform.h"
#include "reports/PlzStatistik.h"
#include "reports/TBericht_offeneFahrt.h"
#include "reports/TransferEvaluations.h"
#include "base/Utils.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSqlRecord>

namespace kilvaro::BatchCommands {

namespace {

/// The folder's data module, opened as the program opens it, after the integrity check;
/// throws DbError. `databaseMustExist`: a missing database file is refused by name.
std::unique_ptr<TDaten_A> openDaten(const QString& programFolder,
                                    bool databaseMustExist = true) {
    if (ProgramSetup::isFirstStart(programFolder))
        throw DbError(QStringLiteral("Im Programmordner '%1' gibt es keine kilvaro.ini.")
                          .arg(programFolder));
    const QString database = ProgramSetup::databasePath(programFolder);
    if (databaseMustExist && !QFileInfo::exists(database))
        throw DbError(QStringLiteral("Die Datenbank '%1' gibt es nicht.").arg(database));
    auto daten = std::make_unique<TDaten_A>(programFolder, nullptr);
    daten->DataModuleCreate();
    if (!daten->isConnected() || !daten->lastError().isEmpty())
        throw DbError(daten->lastError().isEmpty()
                          ? QStringLiteral("Die Datenbank kann nicht geöffnet werden.")
                          : daten->lastError());
    daten->checkIntegrityNow();
    return daten;
}

/// Opens the database the folder's settings name; a missing settings file or database is
/// reported, never silently created.
void openConfigured(Connection& db, const QString& programFolder) {
    if (ProgramSetup::isFirstStart(programFolder))
        throw DbError(
            QStringLiteral("Im Programmordner '%1' gibt es keine kilvaro.ini.").arg(programFolder));
    db.open(ProgramSetup::databasePath(programFolder));
    Schema::upgrade(db);
    // A damaged file is not worked on: whatever a command read or wrote could be wrong.
    const QString problem = db.integrityProblem();
    if (!problem.isEmpty())
        throw DbError(IntegrityCheck::damagedMessage(db.filePath(), problem));
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
        const DemoData::Summary s = DemoData::fill(db, today, 1, programFolder);
        // The settings file names the last invoice stored, as every store of an invoice does.
        DemoData::writeLastInvoiceNumber(
            db, QDir(programFolder).filePath(QString::fromLatin1(SettingsKeys::FileName)));
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

/// "12" or (for a range) "10-12" into first and last number; throws DbError.
std::pair<int, int> invoiceNumbers(const QString& text, bool range) {
    const QString t = text.trimmed();
    auto number = [](const QString& part, bool* ok) {
        const int n = part.trimmed().toInt(ok);
        *ok = *ok && n >= 1;
        return n;
    };
    bool ok = false;
    if (!range) {
        const int n = number(t, &ok);
        if (!ok)
            throw DbError(
                QStringLiteral("'%1' ist keine gültige Rechnungsnummer (eine ganze Zahl ab 1).")
                    .arg(text));
        return {n, n};
    }
    const QStringList parts = t.split(QLatin1Char('-'));
    bool ok2 = false;
    const int from = parts.size() == 2 ? number(parts.at(0), &ok) : 0;
    const int to = parts.size() == 2 ? number(parts.at(1), &ok2) : 0;
    if (!ok || !ok2 || from > to)
        throw DbError(QStringLiteral("'%1' ist kein gültiger Rechnungsbereich. Erwartet wird "
                                     "VON-BIS mit VON nicht größer als BIS, z. B. 10-12.")
                          .arg(text));
    return {from, to};
}

} // namespace

int runReport(const QString& programFolder, const QString& report, const QString* title,
              const QString& pdfFile, QTextStream& out, QTextStream& err) {
    return guarded(out, err, [&] {
        const QString key = report.trimmed().toLower();
        if (key != QLatin1String("tarife") && key != QLatin1String("ortsliste") &&
            key != QLatin1String("preisliste"))
            throw DbError(QStringLiteral("Unbekannter Bericht '%1'. Möglich sind: tarife, "
                                         "ortsliste, preisliste, %2.")
                              .arg(report, tripReportNames().join(QStringLiteral(", "))));
        if (pdfFile.trimmed().isEmpty())
            throw DbError(QStringLiteral("Für --report fehlt die Zieldatei: --pdf DATEI angeben."));
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            throw DbError(
                QStringLiteral("Berichte brauchen eine grafische Anwendung (Schriften)."));
        const std::unique_ptr<TDaten_A> opened = openDaten(programFolder);
        TDaten_A& daten = *opened;
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

int runInvoicePdf(const QString& programFolder, const QString& invoices, bool range,
                  const QString& pdfFile, QTextStream& out, QTextStream& err) {
    return guarded(out, err, [&] {
        const auto [from, to] = invoiceNumbers(invoices, range);
        if (pdfFile.trimmed().isEmpty())
            throw DbError(QStringLiteral("Bitte mit --pdf DATEI angeben, wohin die Rechnungen "
                                         "geschrieben werden sollen."));
        const std::unique_ptr<TDaten_A> opened = openDaten(programFolder, false);
        TDaten_A& daten = *opened;
        TDaten_R datenR(&daten, programFolder, nullptr);
        datenR.RechnungsmodulCreate();

        QList<int> numbers;
        QSqlQuery q = daten.Database->exec(
            QStringLiteral("SELECT DISTINCT \"RecNr\" FROM \"Rechnung\" WHERE \"RecNr\" >= ? "
                           "AND \"RecNr\" <= ? ORDER BY \"RecNr\""),
            {from, to});
        while (q.next())
            numbers << q.value(0).toInt();
        if (numbers.isEmpty())
            throw DbError(range ? QStringLiteral("Im Bereich %1 bis %2 gibt es keine Rechnung.")
                                      .arg(from)
                                      .arg(to)
                                : QStringLiteral("Die Rechnung Nr. %1 gibt es nicht.").arg(from));

        ReportPages pages;
        {
            TRec_Dokument document(&datenR, programFolder);
            for (int n : numbers) {
                document.RechnungVorbereiten(n, -1);
                document.appendPagesTo(pages);
            }
        }
        QString error;
        if (!pages.exportPdf(pdfFile, &error))
            throw DbError(error);
        out << (numbers.size() == 1 ? QStringLiteral("1 Rechnung in '%1' geschrieben.").arg(pdfFile)
                                    : QStringLiteral("%1 Rechnungen in '%2' geschrieben.")
                                          .arg(numbers.size())
                                          .arg(pdfFile))
            << '\n';
        if (range && numbers.size() < to - from + 1 && to - from < 1000) {
            QStringList missing;
            for (int n = from; n <= to; ++n)
                if (!numbers.contains(n))
                    missing << QString::number(n);
            out << QStringLiteral("Ohne Rechnung: ") << missing.join(QStringLiteral(", ")) << '\n';
        }
    });
}

namespace {

/// What a trip report or evaluation covers, from the batch options.
struct ResolvedScope {
    TripReportScope scope;
    QString bestatterName; ///< empty without --bestatter
};

QDate batchDate(const QString& option, const QString& text) {
    if (text.trimmed().isEmpty())
        throw DbError(QStringLiteral("Bitte mit %1 TT.MM.JJJJ den Zeitraum angeben.").arg(option));
    const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy"));
    if (!date.isValid())
        throw DbError(QStringLiteral("'%1' nach %2 ist kein gültiges Datum (TT.MM.JJJJ).")
                          .arg(text, option));
    return date;
}

/// The period as the filter dialog gives it in mode "beliebig", and the funeral director.
ResolvedScope resolveScope(TDaten_A& daten, const BatchScope& batch, bool needBestatter) {
    const QDate from = batchDate(QStringLiteral("--from"), batch.from);
    const QDate to = batchDate(QStringLiteral("--to"), batch.to);
    if (from > to)
        throw DbError(QStringLiteral("Der Zeitraum %1 bis %2 ist leer: --from liegt nach --to.")
                          .arg(batch.from, batch.to));
    ResolvedScope r;
    r.scope.zeittext = from.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" - ") +
                       to.toString(QStringLiteral("dd.MM.yyyy"));
    r.scope.datumfilter =
        QStringLiteral("DATUM >= %1 AND DATUM <= %2").arg(JetDateLiteral(from), JetDateLiteral(to));
    if (batch.bestatter.trimmed().isEmpty()) {
        if (needBestatter)
            throw DbError(QStringLiteral("Bitte mit --bestatter ID den Bestatter angeben "
                                         "(seine Adressnummer)."));
        return r;
    }
    bool ok = false;
    const int id = batch.bestatter.trimmed().toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' nach --bestatter ist keine Adressnummer.")
                          .arg(batch.bestatter));
    QSqlQuery q = daten.Database->exec(
        QStringLiteral("SELECT \"Name\" FROM \"ADRESSEN\" WHERE \"ID\" = ? AND \"Typ\" = 1"),
        {id});
    if (!q.next())
        throw DbError(QStringLiteral("Einen Bestatter mit der Adressnummer %1 gibt es nicht.")
                          .arg(id));
    r.scope.bestatterId = id;
    r.bestatterName = q.value(0).toString();
    return r;
}


/// The trip report kind of a batch name; 0 for the evaluations.
int tripReportKind(const QString& key) {
    if (key == QLatin1String("offene-fahrten"))
        return TBericht_offeneFahrt::OpenTransfers;
    if (key == QLatin1String("fahrten"))
        return TBericht_offeneFahrt::Transfers;
    if (key == QLatin1String("fahrtenliste"))
        return TBericht_offeneFahrt::TripList;
    return 0;
}

} // namespace

QStringList tripReportNames() {
    return {QStringLiteral("fahrten"),
            QStringLiteral("offene-fahrten"),
            QStringLiteral("fahrtenliste"),
            QStringLiteral("ueberfuehrungen-personen"),
            QStringLiteral("ueberfuehrungen-aktenzeichen"),
            QStringLiteral("ueberfuehrungen-datum")};
}

bool isTripReport(const QString& report) {
    return tripReportNames().contains(report.trimmed().toLower());
}

int runTripReport(const QString& programFolder, const QString& report, const QString* title,
                  const BatchScope& scope, const QString& pdfFile, QTextStream& out,
                  QTextStream& err) {
    return guarded(out, err, [&] {
        const QString key = report.trimmed().toLower();
        if (!isTripReport(key))
            throw DbError(QStringLiteral("Unbekannter Fahrtenbericht '%1'. Möglich sind: %2.")
                              .arg(report, tripReportNames().join(QStringLiteral(", "))));
        if (pdfFile.trimmed().isEmpty())
            throw DbError(QStringLiteral("Für --report fehlt die Zieldatei: --pdf DATEI angeben."));
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            throw DbError(
                QStringLiteral("Berichte brauchen eine grafische Anwendung (Schriften)."));
        const std::unique_ptr<TDaten_A> daten = openDaten(programFolder);
        const int kind = tripReportKind(key);
        ResolvedScope r = resolveScope(*daten, scope, kind == 0);
        std::unique_ptr<Report> rendered;
        if (kind != 0) {
            r.scope.title = title ? *title : TBericht_offeneFahrt::kindCaption(kind);
            auto trips = std::make_unique<TBericht_offeneFahrt>(daten->Database);
            if (!trips->Vorbereiten(kind, r.scope, QDir(programFolder).filePath(QStringLiteral("sql"))))
                throw DbError(QStringLiteral("Keine Daten"));
            rendered = std::move(trips);
        } else if (key == QLatin1String("ueberfuehrungen-personen")) {
            r.scope.title = title ? *title : QStringLiteral("Überführungen nach Personen");
            rendered = TransferEvaluations::byPerson(daten->Database, r.scope, r.bestatterName);
        } else {
            r.scope.title = title ? *title : QStringLiteral("Zusatzdaten Überführungen");
            rendered = key == QLatin1String("ueberfuehrungen-datum")
                           ? TransferEvaluations::byDate(daten->Database, r.scope, r.bestatterName)
                           : TransferEvaluations::byFileNumber(daten->Database, r.scope,
                                                               r.bestatterName);
        }
        const std::unique_ptr<ReportPages> pages = rendered->render();
        QString error;
        if (!pages->exportPdf(pdfFile, &error))
            throw DbError(error);
        out << QStringLiteral("Bericht \"%1\" gespeichert: %2 (%3 Seite(n)).")
                   .arg(rendered->title(), pdfFile)
                   .arg(pages->pageCount())
            << '\n';
    });
}

int runExport(const QString& programFolder, const QString& name, const BatchScope& scope,
              const QString& outFolder, QTextStream& out, QTextStream& err) {
    return guarded(out, err, [&] {
        const QString key = name.trimmed().toLower();
        if (key != QLatin1String("ueberfuehrungen") && key != QLatin1String("plz-statistik"))
            throw DbError(QStringLiteral("Unbekannter Export '%1'. Möglich sind: "
                                         "ueberfuehrungen, plz-statistik.")
                              .arg(name));
        if (outFolder.trimmed().isEmpty())
            throw DbError(QStringLiteral("Für --export fehlt der Zielordner: --out ORDNER angeben."));
        const std::unique_ptr<TDaten_A> daten = openDaten(programFolder);
        const ResolvedScope r = resolveScope(*daten, scope, true);
        if (key == QLatin1String("ueberfuehrungen")) {
            TransferExport exporter(daten->Database, outFolder);
            const int rows = exporter.run(r.scope.datumfilter, r.bestatterName);
            if (rows == 0)
                throw DbError(TransferExport::noDataMessage());
            out << QStringLiteral("%1 Überführung(en) exportiert: %2").arg(rows).arg(exporter.filePath())
                << '\n';
            return;
        }
        PlzStatistik statistics(daten->Database, outFolder);
        const PlzStatistik::Result s = statistics.run(*r.scope.bestatterId, r.scope.datumfilter);
        out << QStringLiteral("PLZ-Statistik geschrieben: %1 (Rechtsrheinisch %2, Linksrheinisch "
                              "%3, ohne Postleitzahl %4, ungültig %5).")
                   .arg(QDir(outFolder).filePath(PlzStatistik::statisticsFileName()))
                   .arg(s.rechtsrheinisch)
                   .arg(s.linksrheinisch)
                   .arg(s.ohnePlz)
                   .arg(s.ungueltig)
            << '\n';
    });
}


namespace {


} // namespace

int runInvoiceList(const QString& programFolder, const InvoiceListJob& job, const QString& pdfFile,
                   QTextStream& out, QTextStream& err) {
    return guarded(out, err, [&] {
        const std::optional<InvoiceListKind> kind = invoiceListKindByName(job.kind);
        if (!kind)
            throw DbError(QStringLiteral("Unbekannte Rechnungsliste '%1'. Möglich sind: alle, "
                                         "bezahlte, unbezahlte, ausgeblendete.")
                              .arg(job.kind));
        if (job.from.trimmed().isEmpty() || job.to.trimmed().isEmpty())
            throw DbError(QStringLiteral("Für --invoice-list fehlt der Zeitraum: --from TT.MM.JJJJ "
                                         "--to TT.MM.JJJJ angeben."));
        const QDate from = batchDate(QStringLiteral("--from"), job.from);
        const QDate to = batchDate(QStringLiteral("--to"), job.to);
        if (from > to)
            throw DbError(QStringLiteral("Der Zeitraum ist leer: %1 liegt nach %2.")
                              .arg(job.from.trimmed(), job.to.trimmed()));
        std::optional<int> director;
        if (!job.bestatter.trimmed().isEmpty()) {
            bool ok = false;
            const int id = job.bestatter.trimmed().toInt(&ok);
            if (!ok || id < 1)
                throw DbError(QStringLiteral("'%1' ist keine gültige Bestatter-Nummer (eine ganze "
                                             "Zahl ab 1).")
                                  .arg(job.bestatter));
            director = id;
        }
        if (pdfFile.trimmed().isEmpty())
            throw DbError(
                QStringLiteral("Für --invoice-list fehlt die Zieldatei: --pdf DATEI angeben."));
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            throw DbError(
                QStringLiteral("Berichte brauchen eine grafische Anwendung (Schriften)."));
        const std::unique_ptr<TDaten_A> opened = openDaten(programFolder);
        TDaten_A& daten = *opened;
        if (director) {
            QSqlQuery q = daten.Database->exec(
                QStringLiteral("SELECT COUNT(*) FROM \"ADRESSEN\" WHERE \"ID\" = ?"), {*director});
            if (!q.next() || q.value(0).toInt() == 0)
                throw DbError(QStringLiteral("Einen Bestatter mit der Nummer %1 gibt es nicht.")
                                  .arg(*director));
        }
        TDaten_R datenR(&daten, programFolder, nullptr);
        datenR.RechnungsmodulCreate();

        // The period as the filter dialog's free range gives it, heading and condition.
        ReportFilter period(nullptr, nullptr);
        period.setMode(ReportFilter::Mode::Beliebig);
        period.setVon(from);
        period.setBis(to);
        const QString problem = period.inputError();
        if (!problem.isEmpty())
            throw DbError(problem);
        period.computeResults();

        const InvoiceListPreset preset = invoiceListPreset(*kind);
        datenR.ReportTitle = preset.title;
        datenR.InvoiceFilter = preset.filterSuffix;
        InvoiceListChoice choice;
        choice.title = preset.title;
        choice.periodText = period.Zeittext;
        choice.dateFilter = period.Datumfilter;
        choice.funeralDirector = director;
        choice.byFuneralDirector = job.grouped || job.pagePerDirector;
        choice.pagePerFuneralDirector = job.pagePerDirector;

        InvoiceListRun run(&datenR, nullptr);
        int pageCount = 0;
        const bool listed = run.run(choice, [&](TBericht_Rechnung& report) {
            const std::unique_ptr<ReportPages> pages = report.render();
            QString error;
            if (!pages->exportPdf(pdfFile, &error))
                throw DbError(error);
            pageCount = pages->pageCount();
        });
        if (!listed)
            throw DbError(InvoiceListRun::emptyText() + QLatin1Char('.'));
        out << QStringLiteral("%1 gespeichert: %2 (%3 Rechnung(en), %4 Seite(n)).")
                   .arg(preset.title, pdfFile)
                   .arg(run.invoiceCount())
                   .arg(pageCount)
            << '\n';
    });
}

int runMonthlyRun(const QString& programFolder, const QString& month, QTextStream& out,
                  QTextStream& err) {
    return guarded(out, err, [&] {
        static const QRegularExpression pattern(QStringLiteral("^(\\d{4})-(\\d{1,2})$"));
        const QRegularExpressionMatch m = pattern.match(month.trimmed());
        if (!m.hasMatch())
            throw DbError(QStringLiteral("'%1' ist kein Monat; bitte als JJJJ-MM angeben, z. B. "
                                         "2026-03.")
                              .arg(month));
        const int y = m.captured(1).toInt();
        const int mo = m.captured(2).toInt();
        MonthlyRun::checkMonth(mo, y);
        const std::unique_ptr<TDaten_A> opened = openDaten(programFolder, false);
        TDaten_A& daten = *opened;
        TDaten_R datenR(&daten, programFolder, nullptr);
        datenR.RechnungsmodulCreate();

        MonthlyRun run(datenR);
        const MonthlyRun::Result r = run.MonatslaufAusfuehren(mo, y, false);
        if (r.outcome != MonthlyRun::Outcome::Made)
            throw DbError(r.message);
        const int n = int(r.numbers.size());
        const QString numbers =
            n == 1 ? QStringLiteral("1 Rechnung (Nr. %1)").arg(r.numbers.first())
                   : QStringLiteral("%1 Rechnungen (Nr. %2–%3)")
                         .arg(n)
                         .arg(r.numbers.first())
                         .arg(r.numbers.last());
        out << numbers << QStringLiteral(", Umsatz ")
            << r.revenue.format(QStringLiteral("#,##0.00 €")) << '\n';
    });
}

} // namespace kilvaro::BatchCommands
