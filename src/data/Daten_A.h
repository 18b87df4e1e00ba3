#pragma once

#include "data/Connection.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "data/Table.h"

#include <QObject>
#include <functional>

namespace kilvaro {

class DialogService;
class IntegrityCheck;

/// The general data module: the connection to the database file and the shared table
/// objects of trips and master data, with their orders, links, data sources, calculated
/// and lookup fields. Created once after the main window, alive until the program ends.
class TDaten_A : public QObject {
    Q_OBJECT
public:
    /// `programFolder` ends with '/'; the settings file is programFolder + "kilvaro.ini".
    TDaten_A(const QString& programFolder, DialogService* dialogs, QObject* parent = nullptr);
    /// A data module on a connection that the caller has opened and keeps (batch work inside
    /// the caller's transaction); DataModuleCreate() then only opens the shared tables.
    TDaten_A(Connection& database, const QString& programFolder, DialogService* dialogs,
             QObject* parent = nullptr);
    ~TDaten_A() override;

    /// Reads [DB] of the settings file, opens the database and the shared tables.
    /// Failures are reported through the dialog service; tables not opened stay closed.
    void DataModuleCreate();
    /// Stores pending edits of the master-data tables (not of Fahrttab).
    void DatenDestroy();
    /// "SQL-Update": reconnects the legacy connection and resets sqlupdate.
    void ReconnectDatenbank();

    bool isConnected() const;

    /// Checks the open database for damage on a worker thread (the window is not delayed).
    /// A damaged file is reported through the dialog service, and every store is refused.
    void startIntegrityCheck();
    /// Waits for that check (tests); true when it has finished and been acted upon.
    bool waitForIntegrityCheck(int milliseconds);
    /// The same check at once, for batch commands: throws DbError when the file is damaged.
    void checkIntegrityNow();
    /// The error text of a failed DataModuleCreate (empty when it succeeded).
    QString lastError() const { return m_lastError; }

    QString programFolder() const { return m_programFolder; }
    QString SqlPath() const;
    /// [DB] PATH of the settings file: folder of the legacy single-file tables, kept for
    /// compatibility (their tables live in the database file).
    QString DatenbankPath() const { return m_datenbankPath; }

    Connection* Database;
    Table* AdressTab;
    Table* FAdressen;
    Table* Orthaupttab;
    Table* Ortetab;
    Table* Ortslistetab;
    Table* Tariftab;
    Table* Preistab;
    Table* Fahrttab;
    Table* idsuche;
    Table* plz;
    Query* query1;
    Query* sqlupdate;

    DataSource* AdressQuelle;
    DataSource* Orthaupt_Q;
    DataSource* Orte_Q;
    DataSource* Ortsliste_Q;
    DataSource* TarifQuelle;
    DataSource* PreisQuelle;
    DataSource* Fahrtquelle;
    DataSource* PLZ1;

    /// Set only while the trip rules store a newly inserted trip.
    bool InsertPosting = false;

    /// The place-list window registers its status sink here while it exists; the
    /// place-list data-change rule writes "<n> Orte" into it.
    std::function<void(const QString&)> placeListStatus;

    /// Hooks of the trip rules on Fahrttab (installed by the trip rules).
    Table::Handler fahrtBeforeInsert, fahrtAfterInsert, fahrtBeforePost, fahrtAfterPost,
        fahrtCalcFields;

private:
    void createTables();
    void Ortsliste_QDataChange();
    QString m_programFolder;
    DialogService* m_dialogs;
    QString m_lastError;
    QString m_datenbankPath;
    IntegrityCheck* m_integrityCheck = nullptr;
    /// False for a connection handed in: it is open already and stays as its owner set it up.
    bool m_ownsConnection = true;
};

} // namespace kilvaro
