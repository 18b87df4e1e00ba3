#include "data/Daten_A.h"

#include "base/DialogService.h"
#include "base/IniFile.h"
#include "base/Money.h"
#include "data/ProgramSetup.h"
#include "base/DbError.h"
#include "data/IntegrityCheck.h"
#include "data/Schema.h"

namespace kilvaro {

namespace {

double amount(const Table& t, const char* field) {
    const QVariant v = t.value(QString::fromLatin1(field));
    return v.isNull() ? 0.0 : v.toDouble();
}

} // namespace

TDaten_A::TDaten_A(const QString& programFolder, DialogService* dialogs, QObject* parent)
    : QObject(parent), m_programFolder(programFolder), m_dialogs(dialogs) {
    Database = new Connection(this);
    createTables();
}

TDaten_A::TDaten_A(Connection& database, const QString& programFolder, DialogService* dialogs,
                   QObject* parent)
    : QObject(parent), m_programFolder(programFolder), m_dialogs(dialogs) {
    Database = &database;
    m_ownsConnection = false;
    createTables();
}

void TDaten_A::createTables() {
    AdressTab = new Table(Database, QStringLiteral("ADRESSEN"), this);
    AdressTab->setObjectName(QStringLiteral("AdressTab"));
    AdressTab->setOrder(QStringLiteral("[Name] ASC"));

    FAdressen = new Table(Database, QStringLiteral("ADRESSEN"), this);
    FAdressen->setObjectName(QStringLiteral("FAdressen"));

    Orthaupttab = new Table(Database, QStringLiteral("OTMAIN"), this);
    Orthaupttab->setObjectName(QStringLiteral("Orthaupttab"));
    Orthaupttab->setOrder(QStringLiteral("[Nr] ASC, [Anfang] ASC"));

    Ortetab = new Table(Database, QStringLiteral("OrtsTarif"), this);
    Ortetab->setObjectName(QStringLiteral("Ortetab"));
    Ortetab->setMasterLink(Orthaupttab, QStringLiteral("Id"), QStringLiteral("ID"));

    Ortslistetab = new Table(Database, QStringLiteral("Ortsliste"), this);
    Ortslistetab->setObjectName(QStringLiteral("Ortslistetab"));

    Tariftab = new Table(Database, QStringLiteral("Tarif"), this);
    Tariftab->setObjectName(QStringLiteral("Tariftab"));
    Tariftab->setMasterLink(Orthaupttab, QStringLiteral("Id"), QStringLiteral("ID"));

    Preistab = new Table(Database, QStringLiteral("Preisliste"), this);
    Preistab->setObjectName(QStringLiteral("Preistab"));

    Fahrttab = new Table(Database, QStringLiteral("Fahrten"), this);
    Fahrttab->setObjectName(QStringLiteral("Fahrttab"));
    Fahrttab->setOrder(QStringLiteral("[Datum] ASC"));
    Fahrttab->addCalculatedField(QStringLiteral("Gesamt"), ColumnType::Float);
    Fahrttab->addCalculatedField(QStringLiteral("Brutto"), ColumnType::Float);
    Fahrttab->addLookupField(QStringLiteral("Aname"), QStringLiteral("Aushilfe"), FAdressen,
                             QStringLiteral("ID"), QStringLiteral("Name"));
    Fahrttab->addLookupField(QStringLiteral("Bname"), QStringLiteral("Bestatter"), FAdressen,
                             QStringLiteral("ID"), QStringLiteral("Name"));

    idsuche = new Table(Database, QStringLiteral("OTMAIN"), this);
    idsuche->setObjectName(QStringLiteral("idsuche"));

    plz = new Table(Database, QStringLiteral("plz"), this);
    plz->setObjectName(QStringLiteral("plz"));

    query1 = new Query(Database, this);
    query1->setObjectName(QStringLiteral("query1"));
    sqlupdate = new Query(Database, this);
    sqlupdate->setObjectName(QStringLiteral("sqlupdate"));

    auto source = [this](Table* t, const char* name) {
        auto* s = new DataSource(t, this);
        s->setObjectName(QString::fromLatin1(name));
        return s;
    };
    AdressQuelle = source(AdressTab, "AdressQuelle");
    Orthaupt_Q = source(Orthaupttab, "Orthaupt_Q");
    Orte_Q = source(Ortetab, "Orte_Q");
    Ortsliste_Q = source(Ortslistetab, "Ortsliste_Q");
    TarifQuelle = source(Tariftab, "TarifQuelle");
    PreisQuelle = source(Preistab, "PreisQuelle");
    Fahrtquelle = source(Fahrttab, "Fahrtquelle");
    PLZ1 = source(plz, "PLZ1");

    // The trip table's events run through hooks that the trip rules install.
    auto forward = [](Table::Handler& hook) {
        return [&hook](Table& t) {
            if (hook)
                hook(t);
        };
    };
    Fahrttab->beforeInsert = forward(fahrtBeforeInsert);
    Fahrttab->afterInsert = forward(fahrtAfterInsert);
    Fahrttab->beforePost = forward(fahrtBeforePost);
    Fahrttab->afterPost = forward(fahrtAfterPost);
    Fahrttab->onCalcFields = [this](Table& t) {
        if (fahrtCalcFields) {
            fahrtCalcFields(t);
            return;
        }
        const double gesamt = amount(t, "Ortspauschale") + amount(t, "Ankleiden") +
                              amount(t, "Nacht") + amount(t, "Feiertag") + amount(t, "Kuehlung") +
                              amount(t, "UHuelle") + amount(t, "Covid19");
        double rate = 0;
        if (Tariftab->isOpen() && !Tariftab->isEmpty())
            rate = amount(*Tariftab, "Mehrwertsteuer");
        t.setValue(QStringLiteral("Gesamt"), gesamt);
        t.setValue(QStringLiteral("Brutto"), Money::grossOf(gesamt, rate));
    };

    connect(Ortsliste_Q, &DataSource::dataChange, this, [this] { Ortsliste_QDataChange(); });
    connect(Ortsliste_Q, &DataSource::setChange, this, [this] { Ortsliste_QDataChange(); });
}

TDaten_A::~TDaten_A() = default;

QString TDaten_A::SqlPath() const {
    return m_programFolder + QStringLiteral("sql/");
}

bool TDaten_A::isConnected() const {
    return Database->isOpen();
}

void TDaten_A::DataModuleCreate() {
    m_lastError.clear();
    IniFile ini(m_programFolder + QStringLiteral("kilvaro.ini"));
    m_datenbankPath = ini.readString(QStringLiteral("DB"), QStringLiteral("PATH"), QString());
    const QString mdb = ProgramSetup::databasePath(m_programFolder);
    if (m_ownsConnection) {
        try {
            Database->open(mdb);
            Schema::upgrade(*Database);
        } catch (const DbError& e) {
            // A file this program must not work on (newer, foreign, unreadable) stays closed.
            Database->close();
            m_lastError = e.message();
            if (m_dialogs)
                m_dialogs->error(e.message());
            return;
        }
    }
    if (m_ownsConnection && Database->isReadOnly() && m_dialogs)
        m_dialogs->information(
            QStringLiteral("Die Datenbankdatei '%1' ist schreibgeschützt (zum Beispiel eine "
                           "Archivkopie) und wird nur zum Lesen geöffnet: Sie können ansehen und "
                           "drucken, aber nichts ändern.")
                .arg(mdb));
    try {
        for (Table* t : {AdressTab, Orthaupttab, Ortetab, Ortslistetab, Tariftab, Preistab,
                         FAdressen, Fahrttab, idsuche})
            t->open();
        const QString duplicates = Schema::duplicateAddressIdsMessage(*Database);
        if (!duplicates.isEmpty() && m_dialogs)
            m_dialogs->warning(duplicates);
    } catch (const DbError& e) {
        m_lastError = e.message();
        if (m_dialogs)
            m_dialogs->error(e.message());
    }
}

void TDaten_A::startIntegrityCheck() {
    if (!Database->isOpen())
        return;
    if (!m_integrityCheck) {
        m_integrityCheck = new IntegrityCheck(this);
        connect(m_integrityCheck, &IntegrityCheck::finished, this, [this](const QString& problem) {
            if (problem.isEmpty() || !Database->isOpen())
                return;
            Database->refuseWrites(IntegrityCheck::storeRefusal());
            if (m_dialogs)
                m_dialogs->warning(IntegrityCheck::damagedMessage(Database->filePath(), problem) +
                                   QStringLiteral(" Bis dahin speichert Kilvaro nichts in dieser "
                                                  "Datei, damit der Schaden nicht größer wird."));
        });
    }
    m_integrityCheck->start(Database->filePath());
}

bool TDaten_A::waitForIntegrityCheck(int milliseconds) {
    return m_integrityCheck && m_integrityCheck->wait(milliseconds);
}

void TDaten_A::checkIntegrityNow() {
    if (!Database->isOpen())
        return;
    const QString problem = Database->integrityProblem();
    if (!problem.isEmpty()) {
        Database->refuseWrites(IntegrityCheck::storeRefusal());
        throw DbError(IntegrityCheck::damagedMessage(Database->filePath(), problem));
    }
}

void TDaten_A::DatenDestroy() {
    for (Table* t : {AdressTab, Orthaupttab, Ortetab, Ortslistetab, Tariftab, Preistab}) {
        try {
            if (t->isOpen() && t->isEditing())
                t->post();
        } catch (const DbError& e) {
            if (m_dialogs && !e.message().isEmpty())
                m_dialogs->error(e.message());
        }
    }
}

void TDaten_A::ReconnectDatenbank() {
    // The legacy tables live in the database file; only the folder setting is re-read.
    IniFile ini(m_programFolder + QStringLiteral("kilvaro.ini"));
    m_datenbankPath = ini.readString(QStringLiteral("DB"), QStringLiteral("PATH"), QString());
    sqlupdate->close();
    sqlupdate->clear();
}

void TDaten_A::Ortsliste_QDataChange() {
    if (!placeListStatus)
        return;
    const int count = Ortslistetab->isOpen() ? Ortslistetab->recordCount() : 0;
    placeListStatus(QStringLiteral("%1 Orte").arg(count));
}

} // namespace kilvaro
