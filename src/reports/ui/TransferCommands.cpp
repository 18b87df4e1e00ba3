#include "reports/ui/TransferCommands.h"

#include "base/DbError.h"
#include "base/DialogService.h"
#include "base/SettingsKeys.h"
#include "base/UserSettings.h"
#include "data/Daten_A.h"
#include "reports/PlzStatistik.h"
#include "reports/TransferEvaluations.h"
#include "reports/ui/Drucken.h"
#include "reports/ui/TDruckfilterform.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>

namespace kilvaro {

namespace {

TripReportScope scopeOf(const TDruckfilterform& filter) {
    TripReportScope scope;
    scope.title = filter.title();
    scope.zeittext = filter.Zeittext();
    scope.datumfilter = filter.Datumfilter();
    scope.copies = filter.copies();
    return scope;
}

/// Opens a document through the launch steps (tests intercept it there).
DocumentOpener documentOpener() {
    return [](const QString& document) {
        if (Drucken::steps().openDocument)
            Drucken::steps().openDocument(document);
    };
}

} // namespace

TransferCommands::TransferCommands(const AppContext& context, TDruckfilterform& filter,
                                   QWidget* parent)
    : m_context(context), m_filter(filter), m_parent(parent) {}

void TransferCommands::requireDatabase() const {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
}

ReportChoice TransferCommands::ask() {
    const bool groupShown = m_filter.GroupBox2->isVisibleTo(&m_filter);
    m_filter.setBestatterGroupVisible(true);
    ReportChoice choice = ReportChoice::Cancel;
    try {
        choice = Drucken::steps().askFilter(m_filter);
    } catch (...) {
        m_filter.setBestatterGroupVisible(groupShown);
        throw;
    }
    m_filter.setBestatterGroupVisible(groupShown);
    return choice;
}

QString TransferCommands::chosenName() const {
    chosenId();
    return m_filter.Bestatterbox->currentText();
}

int TransferCommands::chosenId() const {
    const std::optional<int> id = m_filter.chosenBestatterId();
    if (!id)
        throw DbError(QStringLiteral("Es ist kein Bestatter ausgewählt. Bitte legen Sie einen "
                                     "aktiven Bestatter an und wählen Sie ihn aus."));
    return *id;
}

void TransferCommands::byPerson() {
    requireDatabase();
    m_filter.Titel->setEditText(QStringLiteral("Überführungen nach Personen"));
    if (ask() == ReportChoice::Cancel)
        return;
    // Both outputs preview: these lists are looked at before anyone prints them.
    auto report = TransferEvaluations::byPerson(m_context.daten->Database, scopeOf(m_filter),
                                                chosenName());
    Drucken::steps().preview(*report, m_context);
}

void TransferCommands::byFileNumber() {
    requireDatabase();
    m_filter.Titel->setEditText(QStringLiteral("Zusatzdaten Überführungen"));
    if (ask() == ReportChoice::Cancel)
        return;
    auto report = TransferEvaluations::byFileNumber(m_context.daten->Database,
                                                    scopeOf(m_filter), chosenName());
    Drucken::steps().preview(*report, m_context);
}

void TransferCommands::byDate() {
    requireDatabase();
    m_filter.Titel->setEditText(QStringLiteral("Zusatzdaten Überführungen"));
    if (ask() == ReportChoice::Cancel)
        return;
    auto report = TransferEvaluations::byDate(m_context.daten->Database, scopeOf(m_filter),
                                              chosenName());
    Drucken::steps().preview(*report, m_context);
}

void TransferCommands::exportTransfers() {
    requireDatabase();
    UserSettings settings;
    m_filter.Titel->setEditText(
        settings.stringValue(UserSettings::App::Kilv, exportTargetKey()).value_or(QString()));

    // The dialog serves as the export's target dialog for this once.
    const QString titleCaption = m_filter.Titelbox->title();
    const QString monitorCaption = m_filter.BTMonitor->text();
    const bool printerShown = m_filter.BTDrucker->isVisibleTo(&m_filter);
    m_filter.Titelbox->setTitle(QStringLiteral("Ziel eingeben"));
    m_filter.BTMonitor->setText(QStringLiteral("OK"));
    m_filter.BTDrucker->setVisible(false);
    auto restore = [&] {
        m_filter.Titelbox->setTitle(titleCaption);
        m_filter.BTMonitor->setText(monitorCaption);
        m_filter.BTDrucker->setVisible(printerShown);
    };
    ReportChoice choice = ReportChoice::Cancel;
    try {
        choice = ask();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    if (choice == ReportChoice::Cancel)
        return;

    settings.setValue(UserSettings::App::Kilv, exportTargetKey(), m_filter.title());
    const QString name = chosenName();
    const QString mailing = mailingTarget(m_context.programFolder, SettingsKeys::MailingExport);
    TransferExport exporter(m_context.daten->Database, exportFolderOf(m_context.programFolder),
                            mailing, documentOpener());
    const int rows = exporter.run(m_filter.Datumfilter(), name);
    if (rows == 0) {
        m_context.dialogs->message(TransferExport::noDataMessage(), MsgIcon::None, MsgButtons::Ok);
        return;
    }
    // Without a mailing program nothing else would happen: say where the file is.
    if (mailing.isEmpty())
        m_context.dialogs->information(
            QStringLiteral("%1 Überführung(en) exportiert nach %2.")
                .arg(rows)
                .arg(QDir::toNativeSeparators(exporter.filePath())));
}

void TransferCommands::plzStatistik() {
    requireDatabase();
    m_filter.Titel->setEditText(QStringLiteral("PLZ Statistik"));
    if (ask() == ReportChoice::Cancel)
        return;
    const int id = chosenId();
    const QString mailing = mailingTarget(m_context.programFolder, SettingsKeys::MailingPlz);
    const QString folder = exportFolderOf(m_context.programFolder);
    PlzStatistik statistics(m_context.daten->Database, folder, mailing, documentOpener());
    const PlzStatistik::Result r = statistics.run(id, m_filter.Datumfilter());
    if (mailing.isEmpty()) {
        m_context.dialogs->information(
            QStringLiteral("Die PLZ-Statistik ist geschrieben: %1 (Rechtsrheinisch %2, "
                           "Linksrheinisch %3).")
                .arg(QDir::toNativeSeparators(
                    QDir(folder).filePath(PlzStatistik::statisticsFileName())))
                .arg(r.rechtsrheinisch)
                .arg(r.linksrheinisch));
    }
}

} // namespace kilvaro
