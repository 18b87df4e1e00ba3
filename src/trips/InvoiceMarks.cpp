#include "trips/InvoiceMarks.h"

#include "data/Daten_A.h"
#include "data/Table.h"
#include "trips/TripRules.h"

namespace kilvaro {

InvoiceMarks::InvoiceMarks(TDaten_A* daten, TripRules* rules) : m_daten(daten), m_rules(rules) {}

qint64 InvoiceMarks::current() const {
    const QVariant invoice = m_daten->Fahrttab->value(QStringLiteral("Rechnung"));
    return invoice.isNull() ? 0 : invoice.toLongLong();
}

QString InvoiceMarks::currentText() const {
    const QVariant invoice = m_daten->Fahrttab->value(QStringLiteral("Rechnung"));
    return invoice.isNull() ? QString() : invoice.toString();
}

void InvoiceMarks::set(const QVariant& mark) {
    Table* trips = m_daten->Fahrttab;
    const QVariant before = trips->value(QStringLiteral("Rechnung"));
    trips->edit();
    trips->setValue(QStringLiteral("Rechnung"), mark);
    try {
        trips->post();
    } catch (...) {
        if (trips->isEditing())
            trips->setValue(QStringLiteral("Rechnung"), before);
        throw;
    }
}

void InvoiceMarks::clearAll() {
    m_rules->storeEveryTrip(
        [](Table& trips) { trips.setValue(QStringLiteral("Rechnung"), QVariant()); });
}

} // namespace kilvaro
