#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

namespace kilvaro {

class Connection;

/// Demonstration data for a new, empty database (command line `--demo`): fictional funeral
/// directors and helpers in the Rhineland, three tariff groups with dated versions, places,
/// a price list, postal codes, about two years of priced trips up to `today`, monthly
/// invoices with positions and their monthly rows, a few single invoices and the yearly
/// statistics rows. The trips of the last two complete months and of the current month stay
/// mostly open so that invoicing can be tried at once.
class DemoData {
public:
    /// What fill() wrote, for the command line to print.
    struct Summary {
        int funeralDirectors = 0;
        int helpers = 0;
        int tariffVersions = 0;
        int places = 0;
        int postalCodes = 0;
        int trips = 0;
        int openTrips = 0;
        int invoices = 0;
        int positions = 0;
        int addresses() const { return funeralDirectors + helpers; }
    };

    /// Writes the data in one transaction; the same `today` and `seed` give the same rows.
    /// Trips are entered through the trip rules (order numbers, prices) and invoices are made
    /// by the invoice module, as the program does. The surcharge labels of the positions
    /// come from the settings file of `programFolder` (without one, of the database's
    /// folder); nothing is written there: the caller notes the last invoice number (below).
    /// Throws DbError (German text) and writes nothing when the database already holds
    /// trips or any other data that the demonstration would collide with, or when a
    /// statement fails.
    static Summary fill(Connection& db, const QDate& today, quint32 seed = 1,
                        const QString& programFolder = QString());
    /// Writes the highest invoice number stored in the database as the last invoice number
    /// ([Rechnung] Nummer) into the settings file at `iniPath`. Throws DbError when the file
    /// cannot be written.
    static void writeLastInvoiceNumber(Connection& db, const QString& iniPath);
};

} // namespace kilvaro
