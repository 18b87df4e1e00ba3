#include "invoicing/Daten_R.h"

#include "base/DialogService.h"
#include "base/Format.h"
#include "base/IniFile.h"
#include "base/Money.h"
#include "base/SettingsKeys.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/StoredValue.h"
#include "data/InvoiceLocks.h"
#include "invoicing/InvoiceOverviewRules.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <exception>
#include <utility>

namespace kilvaro {

namespace {

double amount(const Table& t, const QString& field) {
    const QVariant v = t.value(field);
    return v.isNull() ? 0.0 : v.toDouble();
}

const std::array<IniKey, TDaten_R::SurchargeCount>& surchargeKeys() {
    static const std::array<IniKey, TDaten_R::SurchargeCount> keys = {
        SettingsKeys::RechnungAnkleiden, SettingsKeys::RechnungNacht,
        SettingsKeys::RechnungFeiertag,  SettingsKeys::RechnungKuehlung,
        SettingsKeys::RechnungUHuelle,   SettingsKeys::RechnungCovid19};
    return keys;
}

/// The trip fields of the surcharges, in the order of the labels.
const std::array<QString, TDaten_R::SurchargeCount>& surchargeFields() {
    static const std::array<QString, TDaten_R::SurchargeCount> fields = {
        QStringLiteral("Ankleiden"), QStringLiteral("Nacht"),   QStringLiteral("Feiertag"),
        QStringLiteral("Kuehlung"),  QStringLiteral("UHuelle"), QStringLiteral("Covid19")};
    return fields;
}

/// An invoice prints its date and its customer's address: it is not stored without them.
/// An old row that lacks them already may still get its payments; it may not lose them.
void requireDateAndCustomer(const Table& t, const QSqlRecord& row) {
    const bool inserting = row.isEmpty();
    const auto missing = [&](const char* field) {
        const QString name = QString::fromLatin1(field);
        if (!inserting && row.value(name).isNull())
            return false;
        const QVariant v = t.value(name);
        return v.isNull() || (name == QLatin1String("Kunde") && v.toLongLong() < 1);
    };
    if (missing("Datum"))
        throw DbError(QStringLiteral("Bitte geben Sie das Rechnungsdatum ein; eine Rechnung ohne "
                                     "Datum wird nicht gespeichert."));
    if (missing("Kunde"))
        throw DbError(QStringLiteral("Die Rechnung hat keinen Kunden (Bestatter); eine Rechnung "
                                     "ohne Kunden wird nicht gespeichert."));
}

/// Whether storing the buffer of `t` would change what a booked invoice prints, un-book it
/// or take back its cancellation (the database triggers refuse the same).
bool changesBookedInvoice(const Table& t, const QSqlRecord& row) {
    if (!t.value(QStringLiteral("Gebucht")).toBool())
        return true;
    if (row.value(QStringLiteral("Storniert")).toBool() &&
        !t.value(QStringLiteral("Storniert")).toBool())
        return true;
    for (const QString& c : InvoiceLocks::printedColumns()) {
        const ColumnType type = t.fieldType(c);
        QVariant before = stored::fromDb(row.value(c), type);
        QVariant after = t.value(c);
        // An empty net may be filled once; the database checks it against the positions.
        if (c == QLatin1String("Netto") && before.isNull())
            continue;
        if (type == ColumnType::Memo || type == ColumnType::Text) {
            before = before.toString();
            after = after.toString();
        }
        if (before.isNull() != after.isNull() || (!before.isNull() && before != after))
            return true;
    }
    return false;
}

} // namespace

TDaten_R::TDaten_R(TDaten_A* datenA, const QString& programFolder, DialogService* dialogs,
                   QObject* parent)
    : QObject(parent), m_datenA(datenA), m_programFolder(programFolder), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Daten_R"));
    Connection* db = datenA->Database;
    for (int i = 0; i < SurchargeCount; ++i)
        m_labels[i] = defaultValue(surchargeKeys()[i]);

    ADR = new Table(db, QStringLiteral("ADRESSEN"), this);
    ADR->setObjectName(QStringLiteral("ADR"));

    Rectab = new Table(db, QStringLiteral("Rechnung"), this);
    Rectab->setObjectName(QStringLiteral("Rectab"));
    Rectab->setOrder(QStringLiteral("[RecNr] ASC"));
    Rectab->addCalculatedField(QStringLiteral("brutto"), ColumnType::Float);
    Rectab->addLookupField(QStringLiteral("Kundenname"), QStringLiteral("Kunde"), ADR,
                           QStringLiteral("ID"), QStringLiteral("Name"));
    Rectab->afterInsert = [this](Table& t) { RectabAfterInsert(t); };
    Rectab->beforePost = [this](Table& t) { RectabBeforePost(t); };
    Rectab->beforeDelete = [this](Table& t) { RectabBeforeDelete(t); };
    Rectab->onCalcFields = [this](Table& t) { RectabCalcFields(t); };

    Recposten = new Table(db, QStringLiteral("RecPos"), this);
    Recposten->setObjectName(QStringLiteral("Recposten"));
    Recposten->setMasterLink(Rectab, QStringLiteral("RecID"), QStringLiteral("RecNr"));
    Recposten->beforePost = [this](Table& t) { RecpostenGuard(t); };
    Recposten->beforeDelete = [this](Table& t) { RecpostenGuard(t); };

    Fahrttab = new Table(db, QStringLiteral("Fahrten"), this);
    Fahrttab->setObjectName(QStringLiteral("Fahrttab"));
    Fahrttab->setOrder(QStringLiteral("[Datum] ASC"));
    Fahrttab->setMasterLink(Rectab, QStringLiteral("Rechnung"), QStringLiteral("RecNr"));
    Fahrttab->addCalculatedField(QStringLiteral("Gesamt"), ColumnType::Float);
    Fahrttab->onCalcFields = [this](Table& t) { FahrtTabCalcFields(t); };

    Adresstab = new Table(db, QStringLiteral("ADRESSEN"), this);
    Adresstab->setObjectName(QStringLiteral("Adresstab"));
    Adresstab->setMasterLink(Rectab, QStringLiteral("ID"), QStringLiteral("Kunde"));

    OrtHaupttab = new Table(db, QStringLiteral("OTMAIN"), this);
    OrtHaupttab->setObjectName(QStringLiteral("OrtHaupttab"));
    TarifTab = new Table(db, QStringLiteral("Tarif"), this);
    TarifTab->setObjectName(QStringLiteral("TarifTab"));
    TarifTab->setMasterLink(OrtHaupttab, QStringLiteral("Id"), QStringLiteral("ID"));

    recquery = new Query(db, this);
    recquery->setObjectName(QStringLiteral("recquery"));
    recquery->setSql(QStringLiteral("select max(recnr) as recnr from rechnung"));
    RecFahrten = new Query(db, this);
    RecFahrten->setObjectName(QStringLiteral("RecFahrten"));

    m_work = new Table(db, QStringLiteral("Rechnung"), this);
    m_work->beforePost = [this](Table& t) { RectabBeforePost(t); };
    m_work->beforeDelete = [this](Table& t) { RectabBeforeDelete(t); };

    auto source = [this](Table* t, const char* name) {
        auto* s = new DataSource(t, this);
        s->setObjectName(QString::fromLatin1(name));
        return s;
    };
    RecQuelle = source(Rectab, "RecQuelle");
    Recposten1 = source(Recposten, "Recposten1");
    Fahrtquelle = source(Fahrttab, "Fahrtquelle");
}

TDaten_R::~TDaten_R() = default;

Connection* TDaten_R::connection() const {
    return m_datenA->Database;
}

void TDaten_R::RechnungsmodulCreate() {
    readLabels();
    if (!m_datenA->isConnected())
        return;
    ADR->open();
    for (Table* t : {Adresstab, Rectab, Fahrttab, OrtHaupttab, TarifTab, Recposten})
        t->open();
}

void TDaten_R::readLabels() {
    IniFile ini(m_programFolder + QString::fromLatin1(SettingsKeys::FileName));
    for (int i = 0; i < SurchargeCount; ++i)
        m_labels[i] = readSetting(ini, surchargeKeys()[i]);
}

// --- table events ------------------------------------------------------------------------

int TDaten_R::nextNumber() {
    recquery->open();
    int number = 1;
    if (!recquery->eof())
        number = recquery->value(QStringLiteral("recnr")).toInt() + 1;
    recquery->close();
    return number;
}

void TDaten_R::RectabAfterInsert(Table& t) {
    t.setValue(QStringLiteral("RecNr"), nextNumber());
    for (const char* flag : {"Bezahlt", "Ausgeblendet", "Storniert", "Gebucht"})
        t.setValue(QString::fromLatin1(flag), false);
    t.setValue(QStringLiteral("MWSt"), 19);
}

void TDaten_R::RectabBeforePost(Table& t) {
    const int recNr = t.field(QStringLiteral("RecNr")).asInteger();
    // The row as stored, to tell what this store changes.
    QSqlRecord row;
    if (t.state() == TableState::Edit) {
        QSqlQuery q = connection()->exec(
            QStringLiteral("SELECT * FROM \"Rechnung\" WHERE rowid = ?"), {t.currentKey()});
        if (q.next())
            row = q.record();
    }
    requireDateAndCustomer(t, row);
    if (!row.isEmpty() && row.value(QStringLiteral("Gebucht")).toBool() &&
        changesBookedInvoice(t, row))
        throw DbError(InvoiceLocks::lockedMessage());
    if (!noteLastNumber)
        return;
    if (m_holdNumber)
        m_heldNumber = recNr;
    else
        writeNumberFile(recNr);
}

void TDaten_R::writeNumberFile(int recNr) {
    IniFile ini(m_programFolder + QString::fromLatin1(SettingsKeys::FileName));
    // Most stores (payments, the net) keep the number: the file is then left alone.
    if (readSettingInteger(ini, SettingsKeys::RechnungNummer) == recNr)
        return;
    writeSettingInteger(ini, SettingsKeys::RechnungNummer, recNr);
    QString error;
    if (!ini.save(&error))
        throw DbError(error);
}

void TDaten_R::holdNumberFile() {
    m_holdNumber = true;
    m_heldNumber = 0;
}

void TDaten_R::releaseNumberFile(bool write) {
    m_holdNumber = false;
    const int number = std::exchange(m_heldNumber, 0);
    if (write && number > 0)
        writeNumberFile(number);
}

void TDaten_R::RectabBeforeDelete(Table& t) {
    if (t.field(QStringLiteral("Gebucht")).asBoolean() ||
        isBooked(t.field(QStringLiteral("RecNr")).asInteger()))
        throw DbError(InvoiceLocks::lockedMessage());
}

void TDaten_R::RectabCalcFields(Table& t) {
    t.setValue(QStringLiteral("brutto"), Money::grossOf(amount(t, QStringLiteral("Netto")),
                                                        amount(t, QStringLiteral("MWSt"))));
}

void TDaten_R::FahrtTabCalcFields(Table& t) {
    double gesamt = amount(t, QStringLiteral("Ortspauschale"));
    for (const QString& f : surchargeFields())
        gesamt += amount(t, f);
    t.setValue(QStringLiteral("Gesamt"), gesamt);
}

void TDaten_R::RecpostenGuard(Table& t) {
    // The invoice a position belongs to before and after the change.
    QList<int> numbers{t.field(QStringLiteral("RecID")).asInteger()};
    if (t.state() != TableState::Insert && t.currentKey() != 0) {
        QSqlQuery q = connection()->exec(
            QStringLiteral("SELECT \"RecID\" FROM \"RecPos\" WHERE rowid = ?"), {t.currentKey()});
        if (q.next())
            numbers << q.value(0).toInt();
    }
    for (int n : numbers)
        if (isBooked(n))
            throw DbError(InvoiceLocks::lockedMessage());
}

bool TDaten_R::isBooked(int recNr) const {
    QSqlQuery q = connection()->exec(
        QStringLiteral("SELECT 1 FROM \"Rechnung\" WHERE \"RecNr\" = ? AND \"Gebucht\""), {recNr});
    return q.next();
}

// --- positions and sums ------------------------------------------------------------------

QString TDaten_R::positionText(const Table& trip) const {
    auto text = [&trip](const char* f) { return trip.value(QString::fromLatin1(f)).toString(); };
    QString address = QStringLiteral("; ");
    if (!text("Strasse").isEmpty())
        address = QStringLiteral("; ") + text("Strasse") + QStringLiteral("; ");
    QString place;
    if (!text("PLZ").isEmpty())
        place = address + text("PLZ") + QLatin1Char(' ') + text("Ort") + QLatin1Char(' ');
    QString official;
    if (!text("Beamter").isEmpty())
        official = QStringLiteral(", ") + text("Beamter");
    QString name = text("Personen");
    if (!text("Vorname").isEmpty())
        name = (text("Personen") + QStringLiteral(", ") + text("Vorname") + place + official)
                   .trimmed();
    QString result =
        name + QStringLiteral("; ") + text("Startort") + QStringLiteral(" - ") + text("Zielort");
    if (!text("AKZ").isEmpty())
        result += QStringLiteral(" (") + text("AKZ") + QLatin1Char(')');
    QString surcharges;
    for (int i = 0; i < SurchargeCount; ++i)
        if (amount(trip, surchargeFields()[i]) != 0)
            surcharges += QLatin1Char(' ') + m_labels[i];
    if (!surcharges.isEmpty())
        result += QStringLiteral("; ") + surcharges;
    return result;
}

void TDaten_R::PostenErstellen() {
    // The trips were marked after the invoice's trip view was last read.
    Fahrttab->refresh();
    const int recNr = Rectab->field(QStringLiteral("RecNr")).asInteger();
    if (isBooked(recNr))
        throw DbError(InvoiceLocks::lockedMessage());
    Recposten->checkBrowseMode();
    Connection& db = *connection();
    // Written by statement, all in one transaction: a monthly invoice has hundreds of
    // positions, and storing each through the table would re-read its set every time.
    {
        Transaction tx(db);
        const QString sql = QStringLiteral("INSERT INTO \"RecPos\" (\"RecID\", \"Datum\", "
                                           "\"Rectext\", \"Netto\", \"Auftragsnr\") VALUES "
                                           "(?, ?, ?, ?, ?)");
        for (Fahrttab->first(); !Fahrttab->eof(); Fahrttab->next()) {
            if (Fahrttab->field(QStringLiteral("Rechnung")).asInteger() != recNr)
                continue;
            QDateTime when = Fahrttab->field(QStringLiteral("Datum")).asDateTime();
            const QDateTime zeit = Fahrttab->field(QStringLiteral("Zeit")).asDateTime();
            if (when.isValid())
                when = QDateTime(when.date(), zeit.isValid() ? zeit.time() : QTime(0, 0));
            const QString text = positionText(*Fahrttab);
            stored::requireFits(db.schema(), QStringLiteral("RecPos"), QStringLiteral("Rectext"),
                                text);
            db.exec(
                sql,
                {recNr, stored::toDb(when, ColumnType::DateTime),
                 stored::toDb(text, ColumnType::Text),
                 stored::toDb(Fahrttab->value(QStringLiteral("Gesamt")), ColumnType::Float),
                 stored::toDb(Fahrttab->value(QStringLiteral("AuftragNr")), ColumnType::Integer)});
        }
        tx.commit();
    }
    db.notifyTableChanged(QStringLiteral("RecPos"));
    Recposten->refresh();
}

double TDaten_R::PostenNettoSumme() {
    Money sum;
    for (int row = 0; row < Recposten->recordCount(); ++row) {
        const QVariant v = Recposten->valueAt(row, QStringLiteral("Netto"));
        // Each position counts as printed, in whole cents, so the stored net is the
        // printed one.
        if (!v.isNull())
            sum += Money::fromDouble(v.toDouble()).roundedToCents();
    }
    if (!Recposten->isEmpty() && !Recposten->isEditing())
        Recposten->first();
    return sum.toDouble();
}

double TDaten_R::PostenBruttoSumme() {
    const double rate = amount(*Rectab, QStringLiteral("MWSt"));
    return Money::fromDouble(PostenNettoSumme()).withVat(rate).gross.toDouble();
}

// --- booking and deleting ----------------------------------------------------------------

void TDaten_R::openInvoiceRow(int recNr) {
    Rectab->checkBrowseMode();
    m_work->setFilter(QStringLiteral("RecNr = %1").arg(recNr));
    m_work->setFiltered(true);
    if (!m_work->isOpen())
        m_work->open();
    else
        m_work->refresh();
}

bool TDaten_R::RechnungBuchen(int recNr) {
    openInvoiceRow(recNr);
    if (m_work->recordCount() == 1 && !m_work->field(QStringLiteral("Gebucht")).asBoolean()) {
        m_work->edit();
        m_work->setValue(QStringLiteral("Gebucht"), true);
        try {
            m_work->post();
        } catch (...) {
            m_work->cancel();
            throw;
        }
        Rectab->refresh();
    }
    m_work->close();
    return true;
}

bool TDaten_R::RechnungLoeschen(int recNr, bool ask) {
    openInvoiceRow(recNr);
    struct Closer {
        Table* t;
        ~Closer() { t->close(); }
    } closer{m_work};
    if (m_work->recordCount() != 1)
        return false;
    if (ask) {
        const QString date = Format::dateTime(m_work->field(QStringLiteral("Datum")).asDateTime(),
                                              QStringLiteral("dd.mm.yyyy"));
        const QString question =
            QStringLiteral("Wollen Sie die Rechnung Nummer %1 vom %2 wirklich löschen?")
                .arg(recNr)
                .arg(date);
        if (m_dialogs->message(question, MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
            return false;
    }
    if (m_work->field(QStringLiteral("Gebucht")).asBoolean())
        return false;
    atomically(
        [&] {
            connection()->exec(
                QStringLiteral("UPDATE \"Fahrten\" SET \"Rechnung\" = NULL WHERE \"Rechnung\" = ?"),
                {recNr});
            connection()->exec(QStringLiteral("DELETE FROM \"RecPos\" WHERE \"RecID\" = ?"),
                               {recNr});
            m_work->remove();
        },
        {m_work, Rectab, Recposten, Fahrttab});
    // The payment notes go with the invoice: its number is given again to the next new
    // invoice when it was the highest, which must not show these payments as its own.
    QFile::remove(InvoiceOverviewRules::notesPath(recNr));
    connection()->notifyTableChanged(QStringLiteral("Fahrten"));
    connection()->notifyTableChanged(QStringLiteral("RecPos"));
    Rectab->refresh();
    refreshGeneralTrips();
    return true;
}

// --- multi-row actions -------------------------------------------------------------------

void TDaten_R::atomically(const std::function<void()>& work, std::initializer_list<Table*> touched,
                          Table* keepInsert) {
    std::exception_ptr failure;
    {
        Transaction tx(*connection());
        try {
            work();
            tx.commit();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (!failure)
        return;
    // The database is back as before; the table objects still show what was written.
    for (Table* t : touched) {
        if (!t->isOpen())
            continue;
        if (t->state() == TableState::Insert && t == keepInsert)
            continue;
        t->cancel();
        try {
            t->refresh();
        } catch (const DbError&) {
            // The first failure is the one to report.
        }
    }
    std::rethrow_exception(failure);
}

void TDaten_R::refreshGeneralTrips() {
    Table* trips = m_datenA->Fahrttab;
    if (trips->isOpen() && !trips->isEditing())
        trips->refresh();
}

int TDaten_R::EinzelRechnungSpeichern(Table* tripTable) {
    if (Rectab->state() != TableState::Insert)
        throw DbError(QStringLiteral("Es wird gerade keine neue Rechnung erfasst."));
    if (!tripTable->isOpen() || tripTable->isEmpty())
        throw DbError(QStringLiteral("Es ist keine Überführung ausgewählt."));
    // What the user typed into the trip is stored on its own, before the invoice.
    tripTable->checkBrowseMode();
    // Values to restore the insertion if storing fails after the row was written.
    QHash<QString, QVariant> entered;
    for (const char* f : {"Kunde", "Datum", "Textvor", "Single", "MWSt"})
        entered.insert(QString::fromLatin1(f), Rectab->value(QString::fromLatin1(f)));
    const int recNr = Rectab->field(QStringLiteral("RecNr")).asInteger();
    try {
        atomically(
            [&] {
                // The trip window checked the mark it shows; another instance may have
                // invoiced the trip since. Re-marking it would take it out of that invoice.
                QSqlQuery stored = connection()->exec(
                    QStringLiteral("SELECT \"Rechnung\" FROM \"Fahrten\" WHERE rowid = ?"),
                    {tripTable->currentKey()});
                if (stored.next() && !stored.value(0).isNull() && stored.value(0).toInt() >= 1)
                    throw DbError(QStringLiteral("Diese Überführung ist schon in der Rechnung ") +
                                  QString::number(stored.value(0).toInt()) +
                                  QStringLiteral(" aufgeführt!"));
                tripTable->edit();
                tripTable->setValue(QStringLiteral("Rechnung"), recNr);
                tripTable->post();
                Rectab->setValue(QStringLiteral("Euro"), true);
                for (const char* flag : {"BigR", "Storniert", "Gebucht"})
                    Rectab->setValue(QString::fromLatin1(flag), false);
                Rectab->post();
                PostenErstellen();
                // The overview and every sum over Rechnung read the stored net.
                Rectab->edit();
                Rectab->setValue(QStringLiteral("Netto"), PostenNettoSumme());
                Rectab->post();
            },
            {tripTable, Rectab, Recposten, Fahrttab}, Rectab);
    } catch (...) {
        if (Rectab->state() != TableState::Insert) {
            Rectab->append();
            for (auto it = entered.cbegin(); it != entered.cend(); ++it)
                Rectab->setValue(it.key(), it.value());
        }
        throw;
    }
    if (tripTable != m_datenA->Fahrttab)
        refreshGeneralTrips();
    return recNr;
}

void TDaten_R::Stornieren(bool freeTrips) {
    const int recNr = Rectab->field(QStringLiteral("RecNr")).asInteger();
    atomically(
        [&] {
            Rectab->edit();
            Rectab->setValue(QStringLiteral("Storniert"), true);
            Rectab->post();
            if (freeTrips)
                connection()->exec(QStringLiteral("UPDATE \"Fahrten\" SET \"Rechnung\" = NULL "
                                                  "WHERE \"Rechnung\" = ?"),
                                   {recNr});
        },
        {Rectab, Fahrttab});
    if (freeTrips) {
        connection()->notifyTableChanged(QStringLiteral("Fahrten"));
        refreshGeneralTrips();
    }
    Fahrttab->close();
    Fahrttab->open();
}

} // namespace kilvaro
