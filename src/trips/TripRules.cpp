#include "trips/TripRules.h"

#include "base/DbError.h"
#include "base/DialogService.h"
#include "base/Money.h"
#include "base/Utils.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "data/Query.h"
#include "data/StoredValue.h"
#include "data/Table.h"

#include <QScopeGuard>
#include <QSqlQuery>

namespace kilvaro {

namespace {

const QDate kDayZero(1899, 12, 30);

double amountOf(const Table& t, const QString& field) {
    const QVariant v = t.value(field);
    return v.isNull() ? 0.0 : v.toDouble();
}

const QStringList& amountFields() {
    static const QStringList fields{QStringLiteral("Ortspauschale"), QStringLiteral("Ankleiden"),
                                    QStringLiteral("Nacht"),         QStringLiteral("Feiertag"),
                                    QStringLiteral("Kuehlung"),      QStringLiteral("UHuelle"),
                                    QStringLiteral("Covid19")};
    return fields;
}

double netAmount(const Table& t) {
    // Added in extended precision, stored as a 64-bit float; nothing is rounded.
    long double sum = 0;
    for (const QString& f : amountFields())
        sum += amountOf(t, f);
    return double(sum);
}

} // namespace

TripRules* TripRules::install(TDaten_A* daten, DialogService* dialogs) {
    if (TripRules* existing = of(daten))
        return existing;
    auto* rules = new TripRules(daten, dialogs);
    rules->setParent(daten);
    // In firing order (TripRules.h).
    daten->fahrtBeforeInsert = [rules](Table& t) { rules->FahrtTabBeforeInsert(t); };
    daten->fahrtAfterInsert = [rules](Table& t) { rules->FahrtTabAfterInsert(t); };
    daten->fahrtBeforePost = [rules](Table& t) { rules->FahrtTabBeforePost(t); };
    daten->Fahrttab->beforeWrite = [rules](Table& t) { rules->FahrtTabBeforeWrite(t); };
    daten->fahrtAfterPost = [rules](Table& t) { rules->FahrtTabAfterPost(t); };
    daten->fahrtCalcFields = [rules](Table& t) { rules->FahrtTabCalcFields(t); };
    return rules;
}

TripRules* TripRules::of(const TDaten_A* daten) {
    return daten ? daten->findChild<TripRules*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

TripRules::TripRules(TDaten_A* daten, DialogService* dialogs)
    : m_daten(daten), m_dialogs(dialogs), m_clock([] { return QDateTime::currentDateTime(); }) {
    // Tariff versions edited through this connection invalidate what was selected.
    connect(daten->Database, &Connection::tableChanged, this, [this](const QString& table) {
        if (table.compare(QLatin1String("OTMAIN"), Qt::CaseInsensitive) == 0) {
            m_versionsGroup = -1;
            m_selectionValid = false;
        }
    });
}

QDate TripRules::today() const {
    return m_clock().date();
}

qint64 TripRules::dayCount(const QDate& date) {
    return date.isValid() ? kDayZero.daysTo(date) : 0;
}

qint64 TripRules::dayOfOrderNumber(qint64 orderNumber) {
    return QString::number(orderNumber).left(5).toLongLong();
}

// --- tariff selection ------------------------------------------------------------------

int TripRules::currentTariffGroup() const {
    Table* a = m_daten->AdressTab;
    if (!a->isOpen() || a->isEmpty())
        return 0;
    return a->value(QStringLiteral("Tarifgruppe")).toInt();
}

qint64 TripRules::selectedVersion() const {
    Table* head = m_daten->Orthaupttab;
    if (!head->isOpen() || head->isEmpty())
        return 0;
    return head->value(QStringLiteral("ID")).toLongLong();
}

qint64 TripRules::versionFor(int tariffGroup, const QDate& date) {
    if (m_versionsGroup != tariffGroup) {
        ++m_tariffLookups;
        m_versions.clear();
        QSqlQuery q = m_daten->Database->exec(
            QStringLiteral("SELECT \"ID\", \"Anfang\", \"Ende\" FROM \"OTMAIN\" WHERE \"Nr\" = ? "
                           "ORDER BY \"Nr\", \"Anfang\", rowid"),
            {tariffGroup});
        while (q.next()) {
            Version v;
            v.id = q.value(0).toLongLong();
            v.from = stored::fromDb(q.value(1), ColumnType::DateTime).toDateTime();
            v.to = stored::fromDb(q.value(2), ColumnType::DateTime).toDateTime();
            m_versions << v;
        }
        m_versionsGroup = tariffGroup;
    }
    const QDateTime day(date, QTime(0, 0));
    for (const Version& v : std::as_const(m_versions))
        if (v.from.isValid() && v.to.isValid() && v.from <= day && v.to >= day)
            return v.id;
    return 0;
}

void TripRules::SelectTariff() {
    Table* trips = m_daten->Fahrttab;
    QDate date;
    if (trips->isOpen())
        date = trips->value(QStringLiteral("Datum")).toDateTime().date();
    selectTariffFor(date, currentTariffGroup());
}

void TripRules::selectTariffFor(const QDate& tripDate, int tariffGroup) {
    Table* head = m_daten->Orthaupttab;
    if (!head->isOpen())
        return;
    // A trip without date counts as day 0, as its order number does.
    const QDate date = tripDate.isValid() ? tripDate : kDayZero;
    const bool ourFilter =
        m_selectionValid && head->filtered() && head->filter() == m_selectedFilter;
    if (ourFilter && tariffGroup == m_selectedGroup && date == m_selectedDate)
        return;
    // Another date of the same version (the usual case for a screen of trips) keeps the
    // selection as it is.
    if (ourFilter && versionFor(tariffGroup, date) == selectedVersion()) {
        m_selectedGroup = tariffGroup;
        m_selectedDate = date;
        return;
    }
    const QString literal = JetDateLiteral(date);
    const QString filter = QStringLiteral("Nr = %1 and Anfang <= %2 and Ende >= %2")
                               .arg(QString::number(tariffGroup), literal);
    ++m_tariffLookups;
    m_selectionValid = false;
    head->setFilter(filter);
    head->setFiltered(true);
    m_selectedFilter = filter;
    m_selectedGroup = tariffGroup;
    m_selectedDate = date;
    m_selectionValid = true;
}

// --- order numbers ----------------------------------------------------------------------

qint64 TripRules::NextOrderNumber(const QDate& date) {
    const qint64 day = dayCount(date);
    const QString low = QString::number(day) + QStringLiteral("000");
    const QString high = QString::number(day + 1) + QStringLiteral("001");
    const QString first = QString::number(day) + QStringLiteral("001");
    Query* q = m_daten->query1;
    q->close();
    q->setSql(QStringLiteral("select auftragnr from fahrten where auftragnr >%1 and auftragnr < %2 "
                             "order by auftragnr desc")
                  .arg(low, high));
    q->open();
    if (q->recordCount() > 0) {
        q->first();
        return q->value(QStringLiteral("Auftragnr")).toLongLong() + 1;
    }
    return first.toLongLong();
}

// --- events of Fahrttab -----------------------------------------------------------------

void TripRules::FahrtTabBeforeInsert(Table& t) {
    t.setFiltered(false);
    if (windowUncheckMonthFilter)
        windowUncheckMonthFilter();
}

void TripRules::FahrtTabAfterInsert(Table& t) {
    t.setValue(QStringLiteral("Datum"), QDateTime(today(), QTime(0, 0)));
    m_daten->InsertPosting = true;
    try {
        t.post();
    } catch (...) {
        // A refused first store must not swallow the price warning of the next one.
        m_daten->InsertPosting = false;
        throw;
    }
    t.edit();
    if (windowShowTab)
        windowShowTab(1);
}

void TripRules::FahrtTabBeforePost(Table& t) {
    // The order number is taken in FahrtTabBeforeWrite, inside the store's transaction.
    for (const char* name : {"Nacht", "Ankleiden", "Feiertag"}) {
        const QString field = QString::fromLatin1(name);
        const QVariant v = t.value(field);
        if (!v.isNull() && v.toDouble() == 0)
            t.setValue(field, QVariant());
    }
    if (!m_daten->InsertPosting && netAmount(t) == 0 && m_dialogs)
        m_dialogs->message(QStringLiteral("Die Fahrt hat keinen Preis!"), MsgIcon::Information,
                           MsgButtons::Ok);
    m_daten->InsertPosting = false;
}

void TripRules::FahrtTabBeforeWrite(Table& t) {
    // Runs inside the write transaction of the store: no other instance can take the same
    // number between reading the day's highest number and writing this row.
    const QVariant numberValue = t.value(QStringLiteral("AuftragNr"));
    const qint64 number = numberValue.isNull() ? 0 : numberValue.toLongLong();
    const QDate date = t.value(QStringLiteral("Datum")).toDateTime().date();
    bool renumber = number < 1 || m_renumberOnStore;
    if (!renumber)
        renumber = dayOfOrderNumber(number) != dayCount(date) &&
                   !t.value(QStringLiteral("ANRLock")).toBool();
    // A number handed out by a store that then failed may have been taken by someone else
    // in the meantime: take it anew.
    if (!renumber && m_unstoredNumber != 0 && number == m_unstoredNumber)
        renumber = true;
    if (!renumber)
        return;
    const qint64 next = NextOrderNumber(date);
    t.setValue(QStringLiteral("AuftragNr"), next);
    m_unstoredNumber = next;
}

void TripRules::FahrtTabAfterPost(Table&) {
    m_unstoredNumber = 0;
    if (windowShowTab)
        windowShowTab(0);
}

void TripRules::FahrtTabCalcFields(Table& t) {
    double rate = 0;
    try {
        selectTariffFor(t.value(QStringLiteral("Datum")).toDateTime().date(), currentTariffGroup());
        Table* tariff = m_daten->Tariftab;
        if (tariff->isOpen() && !tariff->isEmpty())
            rate = amountOf(*tariff, QStringLiteral("Mehrwertsteuer"));
    } catch (const DbError&) {
        // No version could be selected: the rate reads as 0.
        rate = 0;
    }
    const double net = netAmount(t);
    t.setValue(QStringLiteral("Gesamt"), net);
    t.setValue(QStringLiteral("Brutto"), Money::grossOf(net, rate));
}

// --- bulk stores ---------------------------------------------------------------------------

void TripRules::storeEveryTrip(const std::function<void(Table&)>& change) {
    Table* trips = m_daten->Fahrttab;
    trips->disableControls();
    const auto resume = qScopeGuard([trips] { trips->enableControls(); });
    try {
        // All rows or none: a failure halfway must not leave half the trips changed.
        Transaction transaction(*m_daten->Database);
        trips->first();
        while (!trips->isEmpty()) {
            trips->edit();
            change(*trips);
            trips->post();
            if (trips->recNo() >= trips->recordCount() - 1)
                break;
            trips->next();
        }
        transaction.commit();
    } catch (...) {
        // The transaction is rolled back here; show what is stored.
        if (trips->isEditing())
            trips->cancel();
        trips->refresh();
        throw;
    }
}

// --- pricing operations of the trip window ----------------------------------------------

void TripRules::LocateFuneralDirector() {
    Table* trips = m_daten->Fahrttab;
    Table* addresses = m_daten->AdressTab;
    const QVariant v = trips->isOpen() ? trips->value(QStringLiteral("Bestatter")) : QVariant();
    const qint64 id = v.isNull() ? 0 : v.toLongLong();
    addresses->setFilter(QStringLiteral("id =") + QString::number(id));
    if (addresses->filtered())
        addresses->first();
    else
        addresses->locate(QStringLiteral("ID"), id);
    // An explicit look-up reads the group's versions afresh (another instance may have
    // changed them).
    m_versionsGroup = -1;
    SelectTariff();
}

void TripRules::FuneralDirectorChosen() {
    LocateFuneralDirector();
    Table* trips = m_daten->Fahrttab;
    trips->edit();
    Table* addresses = m_daten->AdressTab;
    const bool credit = addresses->isOpen() && !addresses->isEmpty() &&
                        addresses->value(QStringLiteral("Gutschrift")).toBool();
    trips->setValue(QStringLiteral("Gutschrift"), credit);
}

void TripRules::FuneralDirectorChanged() {
    LocateFuneralDirector();
    SelectTariff();
}

void TripRules::CopySurcharge(const QString& field) {
    static const QStringList surcharges{QStringLiteral("Ankleiden"), QStringLiteral("Nacht"),
                                        QStringLiteral("Feiertag"),  QStringLiteral("Kuehlung"),
                                        QStringLiteral("UHuelle"),   QStringLiteral("Covid19")};
    if (!surcharges.contains(field))
        throw DbError(QStringLiteral("Unbekannter Zuschlag '%1'.").arg(field));
    Table* trips = m_daten->Fahrttab;
    trips->edit();
    Table* tariff = m_daten->Tariftab;
    const double amount = tariff->isOpen() && !tariff->isEmpty() ? amountOf(*tariff, field) : 0.0;
    trips->setValue(field, amount);
}

void TripRules::PlaceChosen(const QString& field) {
    Table* places = m_daten->Ortetab;
    if (!places->isOpen() || places->isEmpty())
        return;
    const QString place = places->value(QStringLiteral("Ort")).toString();
    const double amount = amountOf(*places, QStringLiteral("Betrag"));
    Table* trips = m_daten->Fahrttab;
    trips->edit();
    trips->setValue(field, place);
    // The flat amount is the highest among the places chosen: a cheaper place never lowers it.
    if (amount > amountOf(*trips, QStringLiteral("Ortspauschale")))
        trips->setValue(QStringLiteral("Ortspauschale"), amount);
}

void TripRules::PriceListEntryChosen() {
    Table* prices = m_daten->Preistab;
    if (!prices->isOpen() || prices->isEmpty())
        return;
    const QString place = prices->value(QStringLiteral("Ort")).toString();
    const QVariant price = prices->value(QStringLiteral("Richtpreis"));
    Table* trips = m_daten->Fahrttab;
    trips->edit();
    trips->setValue(QStringLiteral("Startort"), place);
    trips->setValue(QStringLiteral("Ortspauschale"), price);
}

} // namespace kilvaro
