#include "masterdata/PlaceListOperations.h"

#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/StoredValue.h"

namespace kilvaro {

PlaceListOperations::PlaceListOperations(TDaten_A& daten) : m_daten(daten) {}

void PlaceListOperations::addPlace(const QString& place) {
    for (Table* t : {m_daten.Ortslistetab, m_daten.Ortetab})
        if (t->isOpen())
            t->checkBrowseMode();
    Connection& c = *m_daten.Database;
    // Both rows take the name: a name too long for either column stores neither.
    stored::requireFits(c.schema(), QStringLiteral("Ortsliste"), QStringLiteral("Ort"), place);
    stored::requireFits(c.schema(), QStringLiteral("OrtsTarif"), QStringLiteral("Ort"), place);
    try {
        Transaction transaction(c);
        c.exec(QStringLiteral("INSERT INTO Ortsliste (Ort) VALUES (?)"), {place});
        // One row per version: a version stored twice under one ID still gets one place row.
        c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) "
                              "SELECT ID, ?, NULL FROM (SELECT ID, MIN(rowid) AS r FROM OTMAIN "
                              "WHERE ID IS NOT NULL GROUP BY ID) ORDER BY r"),
               {place});
        transaction.commit();
    } catch (...) {
        try {
            reread(false);
        } catch (const DbError&) {
        }
        throw;
    }
    reread(true);
}

void PlaceListOperations::deleteCurrentPlace() {
    Table* t = m_daten.Ortslistetab;
    if (t->isEditing() && t->state() == TableState::Insert) {
        t->cancel();
        return;
    }
    t->remove();
}

QString PlaceListOperations::statusText() const {
    const int count = m_daten.Ortslistetab->isOpen() ? m_daten.Ortslistetab->recordCount() : 0;
    return QStringLiteral("%1 Orte").arg(count);
}

void PlaceListOperations::reread(bool toNewPlace) {
    Connection& c = *m_daten.Database;
    c.notifyTableChanged(QStringLiteral("Ortsliste"));
    c.notifyTableChanged(QStringLiteral("OrtsTarif"));
    if (m_daten.Ortslistetab->isOpen()) {
        m_daten.Ortslistetab->refresh();
        // The list has no order of its own: a new row comes last.
        if (toNewPlace)
            m_daten.Ortslistetab->last();
    }
    if (m_daten.Ortetab->isOpen())
        m_daten.Ortetab->refresh();
}

} // namespace kilvaro
