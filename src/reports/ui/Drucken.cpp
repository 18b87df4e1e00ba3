#include "reports/ui/Drucken.h"

#include "data/Daten_A.h"
#include "base/DbError.h"
#include "reports/TBericht_Ortslistenform.h"
#include "reports/TBericht_Preisform.h"
#include "reports/TBericht_Tarifform.h"
#include "reports/TBericht_offeneFahrt.h"
#include "base/DialogService.h"
#include "base/Utils.h"
#include "reports/ui/TDruckfilterform.h"
#include "reports/ui/ReportPrinting.h"
#include "reports/ui/TBerichtzielform.h"
#include "reports/ui/TPrevForm.h"

namespace kilvaro {

namespace {

ReportLaunchSteps defaultSteps() {
    ReportLaunchSteps s;
    s.askTitle = [](TBerichtzielform& dialog) { return dialog.showModal(); };
    s.preview = [](Report& report, const AppContext& context) {
        TPrevForm::preview(report, context);
    };
    s.print = [](Report& report, const AppContext& context, QWidget* parent) {
        ReportPrinting::printReport(report, true, context.dialogs, parent);
    };
    s.askFilter = [](TDruckfilterform& dialog) { return dialog.showModal(); };
    s.openDocument = [](const QString& document) { OpenDocument(document); };
    return s;
}

/// Puts a shared table back on the row the user had before a report moved it: by key when
/// the table has one, else by position. Restoring never throws (the launch's own error, if
/// any, is the one to show).
class PositionKeeper {
public:
    PositionKeeper(Table* table, const QString& keyField = {}) : m_table(table), m_key(keyField) {
        if (!m_table->isOpen() || m_table->isEmpty())
            return;
        m_row = m_table->recNo();
        if (!m_key.isEmpty())
            m_keyValue = m_table->value(m_key);
    }
    ~PositionKeeper() { restore(); }
    PositionKeeper(const PositionKeeper&) = delete;
    PositionKeeper& operator=(const PositionKeeper&) = delete;

    void restore() noexcept {
        if (m_row < 0)
            return;
        try {
            if (!m_table->isOpen() || m_table->isEmpty())
                return;
            if (!m_key.isEmpty() && !m_keyValue.isNull() && m_table->locate(m_key, m_keyValue))
                return;
            if (m_row < m_table->recordCount())
                m_table->setRecNo(m_row);
        } catch (...) {
        }
        m_row = -1;
    }

private:
    Table* m_table;
    QString m_key;
    QVariant m_keyValue;
    int m_row = -1;
};

/// Restricts the version table to one version for a report and restores the filter the
/// table had before (the tariff window's group choice), also when the report fails.
class VersionFilter {
public:
    VersionFilter(Table* versions, int versionId)
        : m_table(versions), m_filter(versions->filter()), m_filtered(versions->filtered()) {
        m_table->setFiltered(false);
        m_table->setFilter(QStringLiteral("id = %1").arg(versionId));
        m_table->setFiltered(true);
    }
    ~VersionFilter() {
        try {
            m_table->setFiltered(false);
            m_table->setFilter(m_filter);
            m_table->setFiltered(m_filtered);
        } catch (...) {
        }
    }
    VersionFilter(const VersionFilter&) = delete;
    VersionFilter& operator=(const VersionFilter&) = delete;

private:
    Table* m_table;
    QString m_filter;
    bool m_filtered;
};

} // namespace

ReportLaunchSteps& Drucken::steps() {
    static ReportLaunchSteps s = defaultSteps();
    return s;
}

void Drucken::resetSteps() {
    steps() = defaultSteps();
}

Drucken::Drucken(const AppContext& context, QWidget* parent)
    : m_context(context), m_parent(parent) {}

void Drucken::requireDatabase() const {
    if (!m_context.daten || !m_context.daten->isConnected())
        throw DbError(QStringLiteral("Es ist keine Datenbank geöffnet."));
}

bool Drucken::launch(const QString& caption, const QString& presetTitle,
                     const std::function<std::unique_ptr<Report>()>& make) {
    ReportChoice choice = ReportChoice::Cancel;
    QString title;
    {
        TBerichtzielform dialog(m_context, m_parent);
        if (m_help)
            dialog.setHelpHandler(m_help);
        dialog.preset(caption, presetTitle);
        choice = steps().askTitle(dialog);
        title = dialog.title();
    }
    if (choice == ReportChoice::Cancel)
        return false;
    std::unique_ptr<Report> report = make();
    report->setTitle(title);
    if (choice == ReportChoice::Print)
        steps().print(*report, m_context, m_parent);
    else
        steps().preview(*report, m_context);
    return true;
}

void Drucken::DruckeOrtsliste() {
    requireDatabase();
    TDaten_A* d = m_context.daten;
    PositionKeeper keep(d->Ortslistetab);
    launch(QStringLiteral("Bericht \"Ortsliste\" erstellen"), QStringLiteral("Ortsliste"),
           [d] { return std::make_unique<TBericht_Ortslistenform>(d->Ortslistetab); });
}

void Drucken::DruckeTarife() {
    requireDatabase();
    TDaten_A* d = m_context.daten;
    PositionKeeper keepVersion(d->Orthaupttab, QStringLiteral("ID"));
    launch(QStringLiteral("Bericht \"Tarife\" erstellen"), QStringLiteral("Tarife"), [d] {
        return std::make_unique<TBericht_Tarifform>(d->Orthaupttab, d->Tariftab, d->Ortetab);
    });
}

void Drucken::DruckePreisliste() {
    requireDatabase();
    TDaten_A* d = m_context.daten;
    PositionKeeper keep(d->Preistab, QStringLiteral("Id"));
    launch(QStringLiteral("Bericht \"Preisliste\" erstellen"), QStringLiteral("Preisliste"),
           [d] { return std::make_unique<TBericht_Preisform>(d->Preistab); });
}

void Drucken::DruckeTarifVersion(int versionId, int groupNr) {
    requireDatabase();
    TDaten_A* d = m_context.daten;
    PositionKeeper keepVersion(d->Orthaupttab, QStringLiteral("ID"));
    // Declared after the position keeper: the filter is restored first, then the version.
    std::unique_ptr<VersionFilter> filter;
    launch(QStringLiteral("Bericht \"Tarife\" erstellen"),
           QStringLiteral("Tarif %1 (Übersicht)").arg(groupNr), [&] {
               filter = std::make_unique<VersionFilter>(d->Orthaupttab, versionId);
               auto report =
                   std::make_unique<TBericht_Tarifform>(d->Orthaupttab, d->Tariftab, d->Ortetab);
               report->setValidFromHeading();
               return report;
           });
}

void Drucken::DruckeFahrten(TDruckfilterform& filter, int kind) {
    requireDatabase();
    const QString caption = TBericht_offeneFahrt::kindCaption(kind);
    if (caption.isEmpty())
        throw DbError(QStringLiteral("Unbekannte Art des Fahrtenberichts: %1").arg(kind));
    filter.preset(caption, caption);
    const ReportChoice choice = steps().askFilter(filter);
    if (choice == ReportChoice::Cancel)
        return;
    TripReportScope scope;
    scope.title = filter.title();
    scope.zeittext = filter.Zeittext();
    scope.datumfilter = filter.Datumfilter();
    scope.copies = filter.copies();
    TBericht_offeneFahrt report(m_context.daten->Database);
    const QString sqlFolder = m_context.programFolder.isEmpty()
                                  ? SqlPath()
                                  : m_context.programFolder + QStringLiteral("sql/");
    if (!report.Vorbereiten(kind, scope, sqlFolder)) {
        m_context.dialogs->message(QStringLiteral("Keine Daten"));
        return;
    }
    if (choice == ReportChoice::Print)
        steps().print(report, m_context, m_parent);
    else
        steps().preview(report, m_context);
}

} // namespace kilvaro
