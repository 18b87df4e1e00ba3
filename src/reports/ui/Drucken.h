#pragma once

#include "base/AppContext.h"
#include "reports/ReportChoice.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

namespace kilvaro {

class Report;
class TBerichtzielform;
class TDruckfilterform;

/// The steps of a report launch that meet the user: the title dialog, the preview and the
/// print (print dialog, then printing). The program shows the real dialog and windows;
/// tests replace a step to answer the dialog or capture the report.
struct ReportLaunchSteps {
    /// Shows the preset title dialog modally and returns the choice (the title stays in
    /// the dialog's `Titel`).
    std::function<ReportChoice(TBerichtzielform& dialog)> askTitle;
    /// Previews the report; returns when the preview has been closed.
    std::function<void(Report& report, const AppContext& context)> preview;
    /// Opens the print dialog and prints unless it was cancelled.
    std::function<void(Report& report, const AppContext& context, QWidget* parent)> print;
    /// Shows the report data filter dialog modally and returns the choice.
    std::function<ReportChoice(TDruckfilterform& dialog)> askFilter;
    /// Opens a document or starts a program named in the settings file ([Mailing]).
    std::function<void(const QString& document)> openDocument;
};

/// The launchers of the master-data reports: each asks for the report title in the title
/// dialog, creates the report, sets its title and previews (OK) or prints (Yes) it;
/// Cancel creates no report. The report exists only for the launch.
///
/// The reports move the current rows of the shared tables while they run; a launch puts
/// them back where the user left them.
class Drucken {
public:
    Drucken(const AppContext& context, QWidget* parent = nullptr);

    /// The help of the title dialog (the main window's help viewer).
    void setHelpHandler(std::function<void(int)> handler) { m_help = std::move(handler); }

    void DruckeOrtsliste();
    void DruckeTarife();
    void DruckePreisliste();
    /// The tariff window's print of one version (`versionId`, group `groupNr`): its own
    /// preset title, the version table restricted to that version while the report runs
    /// and the heading "gültig ab" with the start date. The version table's filter and
    /// current version are restored afterwards, also when the report fails.
    void DruckeTarifVersion(int versionId, int groupNr);

    /// The trip reports: kind 1 "Offene Überführungen", 3 "Überführungen", 4 "Fahrten-Liste".
    /// Presets `filter` with the kind's caption and title; Cancel creates no report, a period
    /// without trips says "Keine Daten"; Yes prints, OK previews.
    void DruckeFahrten(TDruckfilterform& filter, int kind);

    /// The steps every launch uses now.
    static ReportLaunchSteps& steps();
    /// Back to the program's own dialog, preview and print.
    static void resetSteps();

private:
    /// Shows the title dialog; on OK or Yes makes the report with `make`, sets the typed
    /// title and outputs it. Returns false on Cancel.
    bool launch(const QString& caption, const QString& presetTitle,
                const std::function<std::unique_ptr<Report>()>& make);
    void requireDatabase() const;

    AppContext m_context;
    QPointer<QWidget> m_parent;
    std::function<void(int)> m_help;
};

} // namespace kilvaro
