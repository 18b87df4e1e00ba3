#pragma once

#include <QString>

namespace kilvaro {

class DialogService;
class TDaten_A;
class TripRules;
class TripSearch;

/// The trip window's order-number tools on the current trip of `Fahrttab`: taking the
/// number of an earlier trip of the same order, the traffic-police number, a fresh number
/// of the trip's day, and new numbers for every trip.
class OrderNumberTools {
public:
    OrderNumberTools(TDaten_A* daten, TripRules* rules, DialogService* dialogs);

    /// Sets `search` to the trips of the current trip's funeral director whose surname
    /// begins like the current trip's (its first six characters), ordered by date.
    void prepareSameOrderSearch(TripSearch& search) const;

    /// The statement, in the old dialect, that locks every trip with the order number.
    static QString lockStatement(qint64 number);
    /// The current trip takes `number` (chosen in the search; 0 when the list was empty)
    /// and is locked, and so is every trip with that number. Shows lockStatement() first.
    /// The trip and the lock of its order are written together or not at all; a refusal
    /// leaves the trip in edit with what the user typed, and is thrown.
    void assign(qint64 number);

    /// Trip for the traffic police: the number plus 100000, locked, "VK" before the
    /// official's name. The trip stays in edit, unstored.
    void trafficPolice();

    /// Stores the current trip with the next free number of its day, locked or not.
    void renumberCurrent();

    /// Stores every trip unchanged, in one transaction, so that the store rule gives each
    /// unlocked trip whose number does not match its date a new one; then the first trip.
    void renumberAll();

private:
    TDaten_A* m_daten;
    TripRules* m_rules;
    DialogService* m_dialogs;
};

} // namespace kilvaro
