#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

namespace kilvaro {

class DialogService;
class TDaten_A;
class Table;

/// The rules of a trip record on the shared trip table `Fahrttab` of the general data
/// module: tariff selection, net and gross amounts, the immediate first store of a new
/// trip, order numbers and their lock, the clean-up and the price warning on every store,
/// and the pricing operations the trip window starts (surcharges, places, price list).
///
/// One instance per data module, installed into its trip hooks; it lives as long as the
/// data module (it is its child). Everything runs through the table objects, so tests drive
/// the rules exactly as the window does.
///
/// Where the rules run: the events of `Fahrttab`, in firing order, and the rule on each
/// (install() hooks them in this order):
///
///   Inserting a trip (the navigator's insert):
///   1. beforeInsert (TDaten_A::fahrtBeforeInsert) -> FahrtTabBeforeInsert: the trip table's
///      filtering off, and the window's month filter unchecked (window hook
///      windowUncheckMonthFilter), so that the new trip is in view.
///   2. afterInsert (TDaten_A::fahrtAfterInsert) -> FahrtTabAfterInsert: `Datum` := today,
///      then the first store at once (steps 3 to 5 run inside it, with InsertPosting set,
///      so without the price warning), the row back into edit, and the window's tab
///      "Bearbeiten" (window hook windowShowTab(1)).
///
///   Storing a trip (every post through `Fahrttab`: the window, the navigator, the single
///   invoice marking its trip, the window's bulk tools):
///   3. beforePost (TDaten_A::fahrtBeforePost) -> FahrtTabBeforePost: 1. a zero `Nacht`,
///      `Ankleiden`, `Feiertag` becomes empty; 2. the price warning "Die Fahrt hat keinen
///      Preis!" when `Gesamt` is 0 (not on the first store); 3. InsertPosting cleared.
///   4. beforeWrite (Table::beforeWrite, inside the store's write transaction) ->
///      FahrtTabBeforeWrite: the order number. NextOrderNumber(Datum) when the trip has none,
///      when its day is not the trip's date and `ANRLock` is not set, when it was handed out
///      by a store that failed, or while setRenumberOnStore is on. Then the row is written.
///   5. afterPost (TDaten_A::fahrtAfterPost) -> FahrtTabAfterPost: the window's tab
///      "Anzeige" (window hook windowShowTab(0)).
///
///   Whenever a row's calculated fields are needed (grid rows, the current row after every
///   move and every field change, also during steps 1 to 5):
///   6. onCalcFields (TDaten_A::fahrtCalcFields) -> FahrtTabCalcFields: 1. the tariff
///      version for the row's date and the current funeral director (as SelectTariff);
///      2. `Gesamt`; 3. `Brutto` from `Gesamt` and the version's VAT rate.
///
/// The pricing operations (surcharges, places, price list), LocateFuneralDirector and the
/// funeral-director change are not events: the trip window calls them.
class TripRules : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    /// Installs the rules into `daten` (once: a second call returns the installed rules).
    static TripRules* install(TDaten_A* daten, DialogService* dialogs);
    /// The rules installed into `daten`, or nullptr.
    static TripRules* of(const TDaten_A* daten);

    /// "Today" of the rules; the system clock unless a test sets its own.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    QDate today() const;

    /// The day count of a date: days since 30 December 1899 (1 January 2021 is 44197).
    static qint64 dayCount(const QDate& date);
    /// The day count that an order number names: its first five decimal digits.
    static qint64 dayOfOrderNumber(qint64 orderNumber);

    // --- operations of the data module ------------------------------------------------
    /// Selects the tariff version for the current trip's date and the current funeral
    /// director row of AdressTab (filter on Orthaupttab; Tariftab and Ortetab follow).
    void SelectTariff();
    /// The same for a given date and tariff group. The selection is skipped while the
    /// version it would give is the one already selected.
    void selectTariffFor(const QDate& date, int tariffGroup);
    /// The next free order number of the date's day (D × 1000 + n).
    qint64 NextOrderNumber(const QDate& date);

    // --- operations of the trip window --------------------------------------------------
    /// Narrows AdressTab to the current trip's funeral director, then SelectTariff.
    void LocateFuneralDirector();
    /// A funeral director was chosen for the current trip: locate it, then the trip takes
    /// its credit-note flag `Gutschrift`.
    void FuneralDirectorChosen();
    /// The funeral director of the current trip changed (or another trip became current).
    void FuneralDirectorChanged();
    /// Copies one surcharge ("Ankleiden", "Nacht", "Feiertag", "Kuehlung", "UHuelle",
    /// "Covid19") of the selected tariff version into the trip.
    void CopySurcharge(const QString& field);
    /// A place of the current Ortetab row was chosen for `field` ("Startort" or "Zielort"):
    /// writes its name; the place amount becomes its Betrag when that is higher.
    void PlaceChosen(const QString& field);
    /// The current Preistab row was chosen: Startort and Ortspauschale from it.
    void PriceListEntryChosen();

    // --- bulk stores -------------------------------------------------------------------
    /// Edits and stores every trip of the current set of `Fahrttab` after `change`, in one
    /// transaction: a failure halfway leaves every trip as it was (and shows the stored
    /// rows). Every store runs steps 3 to 5 above.
    void storeEveryTrip(const std::function<void(Table&)>& change);

    /// While set, every store gives the trip the next free number of its day, locked or
    /// not (the window's "Nr anpassen"); the number is taken inside the store's transaction.
    void setRenumberOnStore(bool on) { m_renumberOnStore = on; }

    // --- window hooks -----------------------------------------------------------------
    // Set by the trip window while it exists (and cleared when it closes), so that the
    // insert and store events above can reach it without the rules knowing windows.
    /// Unchecks the window's month filter (step 1, before a trip is inserted).
    std::function<void()> windowUncheckMonthFilter;
    /// Shows the window's tab (0 "Anzeige", 1 "Bearbeiten") and enables its input panel
    /// exactly for tab 1 (steps 2 and 5).
    std::function<void(int tab)> windowShowTab;

    /// How often a tariff version was looked up in the database (for tests and
    /// benchmarks: a screen of rows must not cost one look-up per row).
    int tariffLookups() const { return m_tariffLookups; }

private:
    TripRules(TDaten_A* daten, DialogService* dialogs);

    // The event rules, in firing order (see the list above).
    void FahrtTabBeforeInsert(Table& t); // 1
    void FahrtTabAfterInsert(Table& t);  // 2
    void FahrtTabBeforePost(Table& t);   // 3
    void FahrtTabBeforeWrite(Table& t);  // 4
    void FahrtTabAfterPost(Table& t);    // 5
    void FahrtTabCalcFields(Table& t);   // 6

    int currentTariffGroup() const;
    /// The ID of the first version of the group (order Nr, Anfang) valid on the date; 0 when
    /// none. Reads the group's versions once and keeps them until OTMAIN changes.
    qint64 versionFor(int tariffGroup, const QDate& date);
    qint64 selectedVersion() const;

    TDaten_A* m_daten;
    DialogService* m_dialogs;
    Clock m_clock;

    // Tariff selection cache.
    struct Version {
        qint64 id = 0;
        QDateTime from, to;
    };
    bool m_renumberOnStore = false;
    bool m_selectionValid = false;
    int m_selectedGroup = 0;
    QDate m_selectedDate;
    QString m_selectedFilter;
    int m_versionsGroup = -1;
    QList<Version> m_versions;
    int m_tariffLookups = 0;

    /// A number handed out by a store whose write did not go through: taken anew next time.
    qint64 m_unstoredNumber = 0;
};

} // namespace kilvaro
