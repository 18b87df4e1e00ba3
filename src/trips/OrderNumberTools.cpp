#include "trips/OrderNumberTools.h"

#include "base/DialogService.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "data/StoredValue.h"
#include "data/Table.h"
#include "trips/TripRules.h"
#include "trips/TripSearch.h"

#include <QScopeGuard>

namespace kilvaro {

OrderNumberTools::OrderNumberTools(TDaten_A* daten, TripRules* rules, DialogService* dialogs)
    : m_daten(daten), m_rules(rules), m_dialogs(dialogs) {}

void OrderNumberTools::prepareSameOrderSearch(TripSearch& search) const {
    const Table* trips = m_daten->Fahrttab;
    const QVariant director = trips->value(QStringLiteral("Bestatter"));
    search.setSameOrder(trips->value(QStringLiteral("Personen")).toString(),
                        director.isNull() ? 0 : director.toLongLong());
}

QString OrderNumberTools::lockStatement(qint64 number) {
    return QStringLiteral("update fahrten set anrlock=true where auftragnr=%1").arg(number);
}

void OrderNumberTools::assign(qint64 number) {
    Table* trips = m_daten->Fahrttab;
    Connection* db = m_daten->Database;
    trips->edit();
    trips->setValue(QStringLiteral("AuftragNr"), number);
    trips->setValue(QStringLiteral("ANRLock"), true);
    if (m_dialogs)
        m_dialogs->message(lockStatement(number));
    {
        // The lock goes first, so that a refused store rolls it back and leaves the trip in
        // edit with what the user typed.
        Transaction transaction(*db);
        db->exec(QStringLiteral("UPDATE \"Fahrten\" SET \"ANRLock\" = ? WHERE \"AuftragNr\" = ?"),
                 {stored::toDb(true, ColumnType::Boolean), number});
        // The lock may have touched the trip being edited: that is this program's own write,
        // no conflict with another workstation.
        db->notifyTableChanged(QStringLiteral("Fahrten"));
        trips->post();
        transaction.commit();
    }
    db->notifyTableChanged(QStringLiteral("Fahrten"));
    trips->refresh();
}

void OrderNumberTools::trafficPolice() {
    Table* trips = m_daten->Fahrttab;
    trips->edit();
    const qint64 number = trips->value(QStringLiteral("AuftragNr")).toLongLong();
    trips->setValue(QStringLiteral("AuftragNr"), number + 100000);
    trips->setValue(QStringLiteral("ANRLock"), true);
    trips->setValue(QStringLiteral("Beamter"),
                    QStringLiteral("VK") + trips->value(QStringLiteral("Beamter")).toString());
}

void OrderNumberTools::renumberCurrent() {
    Table* trips = m_daten->Fahrttab;
    trips->edit();
    // The number is taken while the row is written, so another instance cannot take it too.
    m_rules->setRenumberOnStore(true);
    const auto reset = qScopeGuard([this] { m_rules->setRenumberOnStore(false); });
    trips->post();
}

void OrderNumberTools::renumberAll() {
    // Storing a trip unchanged lets the store rule give it a new number unless it is locked.
    m_rules->storeEveryTrip([](Table&) {});
    m_daten->Fahrttab->first();
}

} // namespace kilvaro
