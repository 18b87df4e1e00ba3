// The invoice data module: numbering and defaults, the last number in the settings file,
// position texts, sums, booking and its lock, deleting, the single invoice, and that every
// multi-row action either happens whole or leaves the database exactly as before.
#include "InvoiceFixture.h"

#include "base/IniFile.h"
#include "base/DbError.h"
#include "data/Schema.h"
#include "data/InvoiceLocks.h"
#include "invoicing/InvoiceOverviewRules.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kilvaro;
using kilvaro::testing::InvoiceFixture;

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class Daten_RTest : public ::testing::Test {
protected:
    InvoiceFixture fx;
    TDaten_R& r = *fx.datenR;
};

} // namespace

TEST_F(Daten_RTest, NumberingDefaultsAndLastNumberInSettings) {
    r.Rectab->append();
    EXPECT_EQ(r.Rectab->field(S("RecNr")).asInteger(), 1) << "first invoice of an empty table";
    for (const char* flag : {"Bezahlt", "Ausgeblendet", "Storniert", "Gebucht"})
        EXPECT_FALSE(r.Rectab->field(S(flag)).asBoolean()) << flag;
    EXPECT_EQ(r.Rectab->field(S("MWSt")).asInteger(), 19);
    r.Rectab->cancel();
    EXPECT_EQ(fx.scalar("SELECT count(*) FROM Rechnung").toInt(), 0);

    const int a = fx.makeSingleInvoice(fx.addTrip({}));
    const int b = fx.makeSingleInvoice(fx.addTrip({}));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(
        IniFile(fx.folder.filePath(S("kilvaro.ini"))).readInteger(S("Rechnung"), S("Nummer"), 0),
        2);

    // The highest number, once deleted, is given again; a lower one is not.
    ASSERT_TRUE(r.RechnungLoeschen(2, false));
    r.Rectab->append();
    EXPECT_EQ(r.Rectab->field(S("RecNr")).asInteger(), 2);
    r.Rectab->cancel();
    ASSERT_TRUE(r.RechnungLoeschen(1, false));
    fx.exec("INSERT INTO Rechnung (RecNr) VALUES (7)");
    r.Rectab->append();
    EXPECT_EQ(r.Rectab->field(S("RecNr")).asInteger(), 8);
    r.Rectab->cancel();
}

TEST_F(Daten_RTest, PositionTexts) {
    InvoiceFixture::Trip t;
    fx.datenA->Fahrttab->locate(S("ID"), fx.addTrip(t));
    EXPECT_EQ(r.positionText(*fx.datenA->Fahrttab),
              S("Meier, Anna; Ring 4; 47000 Dorf; Klinik - Friedhof (12/3);  Spät/Nacht;"));

    struct Case {
        const char* name;
        std::function<void(InvoiceFixture::Trip&)> change;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"no first name: name alone, no street, place or official",
         [](auto& t) {
             t.vorname.clear();
             t.beamter = S("Polizei");
         },
         "Meier; Klinik - Friedhof (12/3);  Spät/Nacht;"},
        {"no postal code: street dropped as well", [](auto& t) { t.plz.clear(); },
         "Meier, Anna; Klinik - Friedhof (12/3);  Spät/Nacht;"},
        {"no surcharges: no trailing separator",
         [](auto& t) {
             t.nacht = 0;
             t.akz.clear();
         },
         "Meier, Anna; Ring 4; 47000 Dorf; Klinik - Friedhof"},
        {"official and two surcharges in label order",
         [](auto& t) {
             t.beamter = S("Kripo");
             t.kuehlung = 20;
             t.ankleiden = 30;
             t.strasse.clear();
         },
         "Meier, Anna; 47000 Dorf , Kripo; Klinik - Friedhof (12/3);  Ankleiden; Spät/Nacht; "
         "Eigene Kühlung;"},
    };
    for (const Case& c : cases) {
        InvoiceFixture::Trip trip;
        c.change(trip);
        fx.datenA->Fahrttab->locate(S("ID"), fx.addTrip(trip));
        EXPECT_EQ(r.positionText(*fx.datenA->Fahrttab), S(c.expected)) << c.name;
    }
}

TEST_F(Daten_RTest, SurchargeLabelsComeFromTheSettingsFile) {
    IniFile ini(fx.folder.filePath(S("kilvaro.ini")));
    ini.writeString(S("Rechnung"), S("Nacht"), S("Nachtzuschlag;"));
    ASSERT_TRUE(ini.save());
    r.RechnungsmodulCreate();
    fx.datenA->Fahrttab->locate(S("ID"), fx.addTrip({}));
    EXPECT_TRUE(r.positionText(*fx.datenA->Fahrttab).endsWith(S(";  Nachtzuschlag;")));
    EXPECT_EQ(r.surchargeLabels()[0], S("Ankleiden;")) << "missing keys keep their defaults";
}

TEST_F(Daten_RTest, SingleInvoiceMarksTripAndMakesOnePosition) {
    const int trip = fx.addTrip({});
    const int nr = fx.makeSingleInvoice(trip);
    EXPECT_EQ(fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {trip}).toInt(), nr);
    EXPECT_EQ(fx.datenA->Fahrttab->field(S("Rechnung")).asInteger(), nr);
    ASSERT_TRUE(fx.gotoInvoice(nr));
    EXPECT_TRUE(r.Rectab->field(S("Euro")).asBoolean());
    EXPECT_EQ(r.Rectab->field(S("MWSt")).asInteger(), 19);
    EXPECT_EQ(r.Rectab->field(S("Kundenname")).asString(), S("Zander"));
    EXPECT_DOUBLE_EQ(r.Rectab->field(S("Netto")).asFloat(), 140.0) << "the sum of its positions";
    EXPECT_DOUBLE_EQ(r.Rectab->field(S("brutto")).asFloat(), 166.6);
    ASSERT_EQ(r.Recposten->recordCount(), 1);
    EXPECT_DOUBLE_EQ(r.Recposten->field(S("Netto")).asFloat(), 140.0);
    EXPECT_EQ(r.Recposten->field(S("Datum")).asDateTime(),
              QDateTime(QDate(2026, 12, 1), QTime(14, 30)));
    EXPECT_EQ(r.Recposten->field(S("Auftragsnr")).asInteger(), 46357001);
    EXPECT_EQ(r.Fahrttab->recordCount(), 1);
    EXPECT_DOUBLE_EQ(r.Fahrttab->field(S("Gesamt")).asFloat(), 140.0);
}

TEST_F(Daten_RTest, NoInvoiceWithoutDateOrCustomer) {
    const int trip = fx.addTrip({});
    const QStringList before = fx.snapshot();
    struct Case {
        const char* field;
        const char* message;
    };
    for (const Case& c : {Case{"Datum", "Bitte geben Sie das Rechnungsdatum ein"},
                          Case{"Kunde", "Die Rechnung hat keinen Kunden"}}) {
        fx.datenA->Fahrttab->locate(S("ID"), trip);
        r.Rectab->append();
        r.Rectab->setValue(S("Datum"), r.today());
        r.Rectab->setValue(S("Kunde"), 1);
        r.Rectab->field(S(c.field)).clear();
        try {
            r.EinzelRechnungSpeichern(fx.datenA->Fahrttab);
            ADD_FAILURE() << "stored without " << c.field;
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(S(c.message))) << e.message().toStdString();
        }
        EXPECT_EQ(fx.snapshot(), before) << c.field;
        r.Rectab->cancel();
    }
    // Nor does the overview clear the date of a stored invoice.
    const int nr = fx.makeSingleInvoice(trip);
    ASSERT_TRUE(fx.gotoInvoice(nr));
    r.Rectab->edit();
    r.Rectab->field(S("Datum")).clear();
    EXPECT_THROW(r.Rectab->post(), DbError);
    r.Rectab->cancel();
    EXPECT_FALSE(fx.scalar("SELECT Datum FROM Rechnung WHERE RecNr = ?", {nr}).isNull());
}

TEST_F(Daten_RTest, SingleInvoiceRefusesATripInvoicedMeanwhile) {
    // The trip table still shows the trip free; another instance has invoiced it since.
    const int trip = fx.addTrip({});
    ASSERT_TRUE(fx.datenA->Fahrttab->locate(S("ID"), trip));
    fx.exec("UPDATE Fahrten SET Rechnung = 77 WHERE ID = ?", {trip});
    const QStringList before = fx.snapshot();
    r.Rectab->append();
    r.Rectab->setValue(S("Kunde"), 1);
    try {
        r.EinzelRechnungSpeichern(fx.datenA->Fahrttab);
        ADD_FAILURE() << "trip taken out of invoice 77";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), S("Diese Überführung ist schon in der Rechnung 77 aufgeführt!"));
    }
    EXPECT_EQ(fx.snapshot(), before);
    EXPECT_EQ(r.Rectab->state(), TableState::Insert) << "the dialog can still be cancelled";
    EXPECT_EQ(fx.datenA->Fahrttab->field(S("Rechnung")).asInteger(), 77) << "trip re-read";
}

TEST_F(Daten_RTest, SumsUseTheInvoicesOwnVatRate) {
    // A tariff head with another rate must not matter.
    fx.exec("INSERT INTO OTMAIN (Nr, ID) VALUES (1, 10)");
    fx.exec("INSERT INTO Tarif (Id, Mehrwertsteuer) VALUES (10, 7)");
    const int nr = fx.makeSingleInvoice(fx.addTrip({}));
    InvoiceFixture::Trip second;
    second.pauschale = 10.1;
    second.nacht = 0;
    fx.exec("INSERT INTO RecPos (RecID, Netto) VALUES (?, 10.1)", {nr});
    fx.exec("UPDATE Rechnung SET MWSt = 16 WHERE RecNr = ?", {nr});
    r.Rectab->refresh();
    r.Recposten->refresh();
    ASSERT_TRUE(fx.gotoInvoice(nr));
    EXPECT_DOUBLE_EQ(r.PostenNettoSumme(), 150.1);
    EXPECT_DOUBLE_EQ(r.PostenBruttoSumme(), 174.12) << "174,116 as printed";
    fx.exec("UPDATE Rechnung SET Netto = 100 WHERE RecNr = ?", {nr});
    r.Rectab->refresh();
    EXPECT_DOUBLE_EQ(r.Rectab->field(S("brutto")).asFloat(), 116.0);
}

TEST_F(Daten_RTest, BookingLocksPositionsOnEveryPath) {
    const int nr = fx.makeSingleInvoice(fx.addTrip({}));
    EXPECT_TRUE(r.RechnungBuchen(999)) << "unknown number: nothing changes";
    EXPECT_EQ(fx.scalar("SELECT count(*) FROM Rechnung WHERE Gebucht").toInt(), 0);
    r.Rectab->setFilter(S("RecNr > 0"));
    r.Rectab->setFiltered(true);
    EXPECT_TRUE(r.RechnungBuchen(nr));
    EXPECT_TRUE(r.isBooked(nr));
    EXPECT_TRUE(r.Rectab->filtered()) << "the window's filter stays";
    ASSERT_TRUE(fx.gotoInvoice(nr));
    EXPECT_TRUE(r.Rectab->field(S("Gebucht")).asBoolean());

    // Through the table object.
    r.Recposten->edit();
    r.Recposten->setValue(S("Netto"), 1.0);
    EXPECT_THROW(r.Recposten->post(), DbError);
    r.Recposten->cancel();
    EXPECT_THROW(r.Recposten->remove(), DbError);
    r.Recposten->append();
    r.Recposten->setValue(S("Rectext"), S("neu"));
    EXPECT_THROW(r.Recposten->post(), DbError);
    r.Recposten->cancel();
    // Through plain SQL, as a batch command or an administrator would.
    EXPECT_THROW(fx.exec("UPDATE RecPos SET Netto = 0"), DbError);
    EXPECT_THROW(fx.exec("DELETE FROM RecPos"), DbError);
    EXPECT_THROW(fx.exec("INSERT INTO RecPos (RecID) VALUES (?)", {nr}), DbError);
    EXPECT_THROW(fx.exec("UPDATE RecPos SET RecID = 5"), DbError);
    EXPECT_THROW(fx.exec("DELETE FROM Rechnung"), DbError);
    EXPECT_THROW(fx.exec("UPDATE Rechnung SET Gebucht = 0"), DbError);
    // Un-booking through the table is refused with the same message.
    r.Rectab->edit();
    r.Rectab->setValue(S("Gebucht"), false);
    try {
        r.Rectab->post();
        ADD_FAILURE() << "un-booking was stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), InvoiceLocks::lockedMessage());
    }
    r.Rectab->cancel();
    EXPECT_EQ(fx.scalar("SELECT count(*) FROM RecPos").toInt(), 1);
    EXPECT_DOUBLE_EQ(fx.scalar("SELECT Netto FROM RecPos").toDouble(), 140.0);
    // Other changes of a booked invoice stay possible (cancelling needs them).
    EXPECT_NO_THROW(fx.exec("UPDATE Rechnung SET Storniert = 1"));
}

TEST_F(Daten_RTest, BookedInvoiceKeepsWhatItPrintsAndItsTrips) {
    const int trip = fx.addTrip({});
    fx.addTrip({}); // not invoiced
    const int nr = fx.makeSingleInvoice(trip);
    ASSERT_EQ(nr, 1);
    fx.exec("UPDATE Rechnung SET Netto = NULL"); // as older versions stored single invoices
    r.RechnungBuchen(nr);
    const QStringList booked = fx.snapshot();
    const auto refusal = [&](const std::function<void()>& change) {
        try {
            change();
        } catch (const DbError& e) {
            return e.message();
        }
        return QString();
    };

    // Plain SQL, as a batch command or an administrator would write it.
    const char* const invoiceChanges[] = {"UPDATE Rechnung SET Datum = '2027-01-01 00:00:00'",
                                          "UPDATE Rechnung SET Kunde = 2",
                                          "UPDATE Rechnung SET MWSt = 7",
                                          "UPDATE Rechnung SET Netto = 1",
                                          "UPDATE Rechnung SET Textvor = 'x'",
                                          "UPDATE Rechnung SET BigR = 1"};
    for (const char* sql : invoiceChanges)
        EXPECT_EQ(refusal([&] { fx.exec(sql); }), InvoiceLocks::lockedMessage()) << sql;
    for (const char* sql : {"UPDATE Fahrten SET Rechnung = NULL WHERE Rechnung = 1",
                            "UPDATE Fahrten SET Rechnung = 0 WHERE Rechnung = 1",
                            "UPDATE Fahrten SET Rechnung = 1 WHERE Rechnung IS NULL"})
        EXPECT_EQ(refusal([&] { fx.exec(sql); }), InvoiceLocks::tripMarkMessage()) << sql;
    EXPECT_EQ(refusal([&] { fx.exec("INSERT INTO Fahrten (Rechnung) VALUES (1)"); }),
              InvoiceLocks::tripMarkMessage());
    EXPECT_EQ(refusal([&] { fx.exec("DELETE FROM Fahrten WHERE Rechnung = 1"); }),
              InvoiceLocks::tripDeleteMessage());
    // The table objects: the overview's invoice, the trip window's trip.
    ASSERT_TRUE(fx.gotoInvoice(nr));
    r.Rectab->edit();
    r.Rectab->setValue(S("Datum"), QDate(2027, 1, 1));
    EXPECT_EQ(refusal([&] { r.Rectab->post(); }), InvoiceLocks::lockedMessage());
    r.Rectab->cancel();
    Table& trips = *fx.datenA->Fahrttab;
    ASSERT_TRUE(trips.locate(S("ID"), trip));
    trips.edit();
    trips.field(S("Rechnung")).clear();
    EXPECT_EQ(refusal([&] { trips.post(); }), InvoiceLocks::tripMarkMessage());
    trips.cancel();
    EXPECT_EQ(refusal([&] { trips.remove(); }), InvoiceLocks::tripDeleteMessage());
    EXPECT_EQ(fx.snapshot(), booked);

    // Payments and hiding stay open, through the table and through SQL.
    r.Rectab->edit();
    r.Rectab->setValue(S("Bezahlt"), true);
    r.Rectab->setValue(S("Zahlungsart"), S("Bar"));
    r.Rectab->setValue(S("Zahlungsdatum"), QDate(2026, 12, 9));
    r.Rectab->setValue(S("Ausgeblendet"), true);
    EXPECT_NO_THROW(r.Rectab->post());
    EXPECT_NO_THROW(fx.exec("UPDATE Rechnung SET Anzahlung = 10, AnzahlungD = "
                            "'2026-12-09 00:00:00', Textvor = Textvor"));
    // That write came from outside the invoice table; it reads the row again before it edits.
    r.Rectab->refresh();
    // The empty net of an older invoice is filled once, with the sum of its positions.
    EXPECT_NO_THROW(InvoiceOverviewRules(r, fx.dialogs).getnetto());
    EXPECT_DOUBLE_EQ(fx.scalar("SELECT Netto FROM Rechnung").toDouble(), 140.0);
    EXPECT_EQ(refusal([&] { fx.exec("UPDATE Rechnung SET Netto = NULL"); }),
              InvoiceLocks::lockedMessage());
    // Cancelling stays open and then frees the trips; it cannot be taken back.
    EXPECT_NO_THROW(fx.exec("UPDATE Rechnung SET Storniert = 1"));
    EXPECT_EQ(refusal([&] { fx.exec("UPDATE Rechnung SET Storniert = 0"); }),
              InvoiceLocks::lockedMessage());
    EXPECT_NO_THROW(fx.exec("UPDATE Fahrten SET Rechnung = NULL WHERE Rechnung = 1"));
}

TEST_F(Daten_RTest, DeletingFreesTripsAndRemovesPositions) {
    const int trip = fx.addTrip({});
    const int nr = fx.makeSingleInvoice(trip);
    const int kept = fx.makeSingleInvoice(fx.addTrip({}));

    EXPECT_FALSE(r.RechnungLoeschen(99, true)) << "unknown number";
    fx.dialogs.answerNext(MsgResult::No);
    EXPECT_FALSE(r.RechnungLoeschen(nr, true)) << "declined";
    EXPECT_EQ(fx.dialogs.lastMessage().text,
              S("Wollen Sie die Rechnung Nummer 1 vom 08.12.2026 wirklich löschen?"));
    EXPECT_EQ(fx.scalar("SELECT count(*) FROM Rechnung").toInt(), 2);

    fx.folder.writeFile(S("daten/%1").arg(nr), QByteArray("01.12.2026 50,00 \x80\r\n"));
    fx.folder.writeFile(S("daten/%1").arg(kept), QByteArray("02.12.2026 20,00 \x80\r\n"));
    fx.dialogs.answerNext(MsgResult::Yes);
    EXPECT_TRUE(r.RechnungLoeschen(nr, true));
    EXPECT_FALSE(QFile::exists(fx.folder.filePath(S("daten/%1").arg(nr))))
        << "the number is given again: its payment notes must not come back with it";
    EXPECT_EQ(fx.scalar("SELECT count(*) FROM Rechnung WHERE RecNr = ?", {nr}).toInt(), 0);
    EXPECT_EQ(fx.scalar("SELECT count(*) FROM RecPos WHERE RecID = ?", {nr}).toInt(), 0);
    EXPECT_TRUE(fx.scalar("SELECT Rechnung FROM Fahrten WHERE ID = ?", {trip}).isNull())
        << "empty, not 0";
    fx.datenA->Fahrttab->locate(S("ID"), trip);
    EXPECT_TRUE(fx.datenA->Fahrttab->field(S("Rechnung")).isNull()) << "the trip window sees it";
    EXPECT_EQ(r.Rectab->recordCount(), 1);

    // A booked invoice is not deleted, and the caller learns that.
    r.RechnungBuchen(kept);
    const QStringList before = fx.snapshot();
    EXPECT_FALSE(r.RechnungLoeschen(kept, false));
    EXPECT_EQ(fx.snapshot(), before);
    EXPECT_TRUE(QFile::exists(fx.folder.filePath(S("daten/%1").arg(kept))));
}

TEST_F(Daten_RTest, FailureInTheMiddleLeavesTheDatabaseAsBefore) {
    const int trip = fx.addTrip({});
    const QStringList empty = fx.snapshot();

    // Single invoice: the trip is marked and the invoice stored before the position fails.
    fx.exec(
        "CREATE TRIGGER fail_pos BEFORE INSERT ON RecPos BEGIN SELECT RAISE(ABORT, 'kaputt'); END");
    fx.datenA->Fahrttab->locate(S("ID"), trip);
    r.Rectab->append();
    r.Rectab->setValue(S("Datum"), r.today());
    r.Rectab->setValue(S("Kunde"), 1);
    r.Rectab->setValue(S("Textvor"), S("Sehr geehrte Damen und Herren"));
    try {
        r.EinzelRechnungSpeichern(fx.datenA->Fahrttab);
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(S("kaputt")));
    }
    EXPECT_EQ(fx.snapshot(), empty);
    EXPECT_TRUE(fx.datenA->Fahrttab->field(S("Rechnung")).isNull());
    ASSERT_EQ(r.Rectab->state(), TableState::Insert) << "the user can try again or cancel";
    EXPECT_EQ(r.Rectab->field(S("RecNr")).asInteger(), 1);
    EXPECT_EQ(r.Rectab->field(S("Textvor")).asString(), S("Sehr geehrte Damen und Herren"));
    fx.exec("DROP TRIGGER fail_pos");
    EXPECT_EQ(r.EinzelRechnungSpeichern(fx.datenA->Fahrttab), 1);

    // Deleting: trips freed and positions deleted before the invoice row fails.
    fx.exec("CREATE TRIGGER fail_del BEFORE DELETE ON Rechnung BEGIN SELECT RAISE(ABORT, "
            "'kaputt'); END");
    QStringList before = fx.snapshot();
    EXPECT_THROW(r.RechnungLoeschen(1, false), DbError);
    EXPECT_EQ(fx.snapshot(), before);
    EXPECT_EQ(r.Recposten->recordCount(), 1);
    fx.exec("DROP TRIGGER fail_del");

    // Cancelling with freed trips: the invoice is marked before freeing the trips fails.
    r.RechnungBuchen(1);
    ASSERT_TRUE(fx.gotoInvoice(1));
    fx.exec("CREATE TRIGGER fail_trip BEFORE UPDATE ON Fahrten BEGIN SELECT RAISE(ABORT, "
            "'kaputt'); END");
    before = fx.snapshot();
    EXPECT_THROW(r.Stornieren(true), DbError);
    EXPECT_EQ(fx.snapshot(), before);
    EXPECT_FALSE(r.Rectab->field(S("Storniert")).asBoolean());
    EXPECT_EQ(r.Rectab->state(), TableState::Browse);
}

TEST_F(Daten_RTest, LocksAreInNewDatabasesAndAddedToOlderOnes) {
    const auto triggers = [&] {
        return fx.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'").toInt();
    };
    EXPECT_EQ(triggers(), InvoiceLocks::statements().size());

    // A file of version 2 had no triggers, one of version 3 only those of the positions,
    // deletion and un-booking; upgrading adds what is missing, once.
    Connection& c = *fx.datenA->Database;
    for (int version : {2, 3}) {
        QSqlQuery names =
            c.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger'"));
        QStringList dropped;
        while (names.next())
            dropped << names.value(0).toString();
        for (const QString& name : dropped)
            if (version == 2 || name.startsWith(S("Fahrten")) || name.endsWith(S("header")))
                c.exec(QStringLiteral("DROP TRIGGER \"%1\"").arg(name));
        c.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
        ASSERT_EQ(triggers(), version == 2 ? 0 : 5);
        Schema::upgrade(c);
        EXPECT_EQ(triggers(), InvoiceLocks::statements().size()) << version;
        EXPECT_EQ(Schema::storedVersion(c), Schema::currentVersion);
        Schema::upgrade(c);
        EXPECT_EQ(triggers(), InvoiceLocks::statements().size()) << version;
    }
    // The upgraded file locks the trips of a booked invoice.
    const int nr = fx.makeSingleInvoice(fx.addTrip({}));
    r.RechnungBuchen(nr);
    EXPECT_THROW(fx.exec("UPDATE Fahrten SET Rechnung = NULL"), DbError);
}
