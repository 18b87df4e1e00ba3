#include "data/SqlTranslator.h"
#include "data/Connection.h"
#include "base/DbError.h"
#include "data/Schema.h"
#include "data/StoredValue.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kilvaro;

// Readable texts in failure messages.
static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

SqlTranslator translator(SqlBackend backend = SqlBackend::Sqlite) {
    return SqlTranslator(&Schema::definition(), backend);
}

std::string show(const Translation& t) {
    return (t.ok ? t.sql : t.error).toStdString();
}

QString sqlOf(const QString& text) {
    const Translation t = translator().statement(text);
    EXPECT_TRUE(t.ok) << text.toStdString() << " -> " << t.error.toStdString();
    return t.sql;
}

QString conditionOf(const QString& filter, const QString& table) {
    const Translation t = translator().condition(filter, table);
    EXPECT_TRUE(t.ok) << filter.toStdString() << " -> " << t.error.toStdString();
    return t.sql;
}

QString errorOf(const QString& text) {
    const Translation t = translator().statement(text);
    EXPECT_FALSE(t.ok) << text.toStdString() << " was accepted as " << t.sql.toStdString();
    return t.error;
}

} // namespace

// --- (1) translation of representative texts ------------------------------------------------

TEST(SqlTranslatorText, DateLiteralsBecomeStoredText) {
    EXPECT_EQ(conditionOf("Datum >= #03/01/2021# and Datum < #4/1/2021#", "Fahrten"),
              "\"Datum\" >= '2021-03-01 00:00:00' AND \"Datum\" < '2021-04-01 00:00:00'");
    EXPECT_EQ(conditionOf("Zeit = #12/30/1899 10:30#", "Fahrten"),
              "\"Zeit\" = '1899-12-30 10:30:00'");
    EXPECT_EQ(conditionOf("Datum = #03/15/2021 23:59:58#", "Fahrten"),
              "\"Datum\" = '2021-03-15 23:59:58'");
    // The monthly run writes German dates as texts; they compare as stored dates.
    EXPECT_EQ(conditionOf("Rechnung < 1 and Bestatter = 17 and Datum >= '01.3.2020' and "
                          "Datum <= '31.3.2020'",
                          "Fahrten"),
              "\"Rechnung\" < 1 AND \"Bestatter\" = 17 AND \"Datum\" >= '2020-03-01 00:00:00' AND "
              "\"Datum\" <= '2020-03-31 00:00:00'");
    EXPECT_EQ(conditionOf("'2020-03-01' <= Datum", "Fahrten"),
              "'2020-03-01 00:00:00' <= \"Datum\"");
    EXPECT_EQ(conditionOf("Datum between \"1.3.2020\" and #3/31/2020#", "Fahrten"),
              "\"Datum\" BETWEEN '2020-03-01 00:00:00' AND '2020-03-31 00:00:00'");
    EXPECT_EQ(conditionOf("Datum in ('1.3.2020', #3/2/2020#)", "Fahrten"),
              "\"Datum\" IN ('2020-03-01 00:00:00', '2020-03-02 00:00:00')");
    // A date text compared with a text column stays a text.
    EXPECT_EQ(conditionOf("Personen = '1.3.2020'", "Fahrten"), "\"Personen\" = '1.3.2020'");
}

TEST(SqlTranslatorText, TextConstantsAndJoins) {
    EXPECT_EQ(conditionOf("personen like \"Mei%\"", "Fahrten"), "\"Personen\" LIKE 'Mei%'");
    EXPECT_EQ(conditionOf("Name = \"O'Neill\"", "ADRESSEN"), "\"Name\" = 'O''Neill'");
    EXPECT_EQ(conditionOf("Name = \"Der \"\"Beste\"\"\"", "ADRESSEN"),
              "\"Name\" = 'Der \"Beste\"'");
    EXPECT_EQ(conditionOf("Name = 'it''s'", "ADRESSEN"), "\"Name\" = 'it''s'");
    EXPECT_EQ(sqlOf("select trim(anrede+\" \"+personen) as n from fahrten"),
              "SELECT TRIM(\"Fahrten\".\"Anrede\" || ' ' || \"Fahrten\".\"Personen\") AS \"n\" "
              "FROM \"Fahrten\"");
    // Numbers add; a text on either side joins.
    EXPECT_EQ(
        sqlOf("select nacht+feiertag*2 as x from fahrten"),
        "SELECT \"Fahrten\".\"Nacht\" + \"Fahrten\".\"Feiertag\" * 2 AS \"x\" FROM \"Fahrten\"");
    EXPECT_EQ(
        sqlOf("select (nacht+feiertag)*2 as x from fahrten"),
        "SELECT (\"Fahrten\".\"Nacht\" + \"Fahrten\".\"Feiertag\") * 2 AS \"x\" FROM \"Fahrten\"");
    EXPECT_EQ(sqlOf("select plz + (1+2) as x from fahrten"),
              "SELECT \"Fahrten\".\"PLZ\" || (1 + 2) AS \"x\" FROM \"Fahrten\"");
    EXPECT_EQ(sqlOf("select ucase(ort) + lcase(plz) as x from fahrten"),
              "SELECT UPPER(\"Fahrten\".\"Ort\") || LOWER(\"Fahrten\".\"PLZ\") AS \"x\" FROM "
              "\"Fahrten\"");
    EXPECT_EQ(sqlOf("select nacht - -1 as x from fahrten"),
              "SELECT \"Fahrten\".\"Nacht\" - -1 AS \"x\" FROM \"Fahrten\"");
    EXPECT_EQ(
        sqlOf("select nacht - (feiertag - 1) as x from fahrten"),
        "SELECT \"Fahrten\".\"Nacht\" - (\"Fahrten\".\"Feiertag\" - 1) AS \"x\" FROM \"Fahrten\"");
}

TEST(SqlTranslatorText, BooleansAndConditions) {
    EXPECT_EQ(conditionOf("not storniert and (bezahlt)", "Rechnung"),
              "NOT \"Storniert\" AND \"Bezahlt\"");
    EXPECT_EQ(conditionOf("(bezahlt)", "Rechnung"), "\"Bezahlt\"");
    EXPECT_EQ(conditionOf("not (bezahlt or gebucht) and Bezahlt = TRUE", "Rechnung"),
              "NOT (\"Bezahlt\" OR \"Gebucht\") AND \"Bezahlt\" = 1");
    EXPECT_EQ(conditionOf("Bezahlt = -1 or Gebucht = 0", "Rechnung"),
              "\"Bezahlt\" = 1 OR \"Gebucht\" = 0");
    EXPECT_EQ(conditionOf("(Netto > 1 or Netto < 0) and Kunde = 17", "Rechnung"),
              "(\"Netto\" > 1 OR \"Netto\" < 0) AND \"Kunde\" = 17");
    EXPECT_EQ(conditionOf("Zahlungsart is not null and Anzahlung is null", "Rechnung"),
              "\"Zahlungsart\" IS NOT NULL AND \"Anzahlung\" IS NULL");
    EXPECT_EQ(conditionOf("Kunde not in (1, 2) and Zahlungsart not like 'Bar%'", "Rechnung"),
              "\"Kunde\" NOT IN (1, 2) AND \"Zahlungsart\" NOT LIKE 'Bar%'");
    EXPECT_EQ(conditionOf("Kunde != 3 and Kunde <> 4", "Rechnung"),
              "\"Kunde\" <> 3 AND \"Kunde\" <> 4");
    // SQLite would read "a = b < c" as "a = (b < c)": the parentheses must stay.
    EXPECT_EQ(conditionOf("(Bezahlt = Kunde) < 3", "Rechnung"), "(\"Bezahlt\" = \"Kunde\") < 3");
    EXPECT_EQ(conditionOf("   ", "Rechnung"), "");
    EXPECT_EQ(translator(SqlBackend::Postgres)
                  .condition("not storniert and aktiv_x = true", "Rechnung")
                  .ok,
              false);
    EXPECT_EQ(translator(SqlBackend::Postgres).condition("zahlungsart like 'bar%'", "Rechnung").sql,
              "\"Zahlungsart\" ILIKE 'bar%'");
    EXPECT_EQ(
        translator(SqlBackend::Postgres).condition("storniert = true and kunde", "Rechnung").sql,
        "\"Storniert\" = TRUE AND \"Kunde\" <> 0");
}

TEST(SqlTranslatorText, NamesMatchWithoutRegardToCase) {
    EXPECT_EQ(sqlOf("SELECT PERSONEN FROM FAHRTEN"),
              "SELECT \"Fahrten\".\"Personen\" AS \"Personen\" FROM \"Fahrten\"");
    EXPECT_EQ(sqlOf("select [Privat-Telefon], geschäftsbezeichnung, STRAßE from adressen"),
              "SELECT \"ADRESSEN\".\"Privat-Telefon\" AS \"Privat-Telefon\", "
              "\"ADRESSEN\".\"Geschäftsbezeichnung\" AS \"Geschäftsbezeichnung\", "
              "\"ADRESSEN\".\"Straße\" AS \"Straße\" FROM \"ADRESSEN\"")
        << "Straße is matched by its stored spelling only";
    EXPECT_EQ(
        sqlOf("select f.anrede, F.Datum from fahrten as f where f.id = 1"),
        "SELECT \"f\".\"Anrede\" AS \"Anrede\", \"f\".\"Datum\" AS \"Datum\" FROM \"Fahrten\" "
        "AS \"f\" WHERE \"f\".\"ID\" = 1");
    EXPECT_EQ(sqlOf("select f.anrede from fahrten f"),
              "SELECT \"f\".\"Anrede\" AS \"Anrede\" FROM \"Fahrten\" AS \"f\"");
    EXPECT_EQ(translator().order("[Nr] ASC, [Anfang] ASC", "OTMAIN").sql,
              "\"Nr\" ASC, \"Anfang\" ASC");
    EXPECT_EQ(translator().order("RecNr", "rechnung").sql, "\"RecNr\"");
    EXPECT_EQ(translator().order("kunde desc, Rechnung.Datum", "Rechnung").sql,
              "\"Kunde\" DESC, \"Datum\"");
    EXPECT_EQ(translator().order("", "Rechnung").sql, "");
}

TEST(SqlTranslatorText, SelectShapesAndOutputColumns) {
    Translation t = translator().statement("select * from OTMAIN;");
    ASSERT_TRUE(t.ok) << show(t);
    EXPECT_EQ(t.kind, StatementKind::Select);
    EXPECT_EQ(t.sql,
              "SELECT \"OTMAIN\".\"Nr\" AS \"Nr\", \"OTMAIN\".\"Anfang\" AS \"Anfang\", "
              "\"OTMAIN\".\"Ende\" AS \"Ende\", \"OTMAIN\".\"ID\" AS \"ID\" FROM \"OTMAIN\"");
    ASSERT_EQ(t.columns.size(), 4);
    EXPECT_EQ(t.columns[1].name, "Anfang");
    EXPECT_EQ(t.columns[1].type, ColumnType::DateTime);

    t = translator().statement(
        "select a.*, count(*), sum(f.nacht) as s, min(f.datum), "
        "avg(f.nacht) av, max(a.name) mx, trim(a.name) tn, 1 as one, "
        "'x' as tx from adressen a inner join fahrten f on a.id = f.bestatter "
        "group by a.ID, a.Typ, a.Name, a.Anrede, a.Vorname, a.Inhaber, "
        "a.Geschäftsbezeichnung, a.Straße, a.PLZ, a.Ort, a.Tarifgruppe, "
        "a.Telefon1, a.Telefon2, a.[Privat-Telefon], a.Handy, a.OhneRP, "
        "a.Gutschrift, a.Aktiv, a.BigR, a.Vertragsnr");
    ASSERT_TRUE(t.ok) << show(t);
    const int n = int(Schema::definition().table("ADRESSEN")->columns.size());
    ASSERT_EQ(t.columns.size(), n + 8);
    EXPECT_EQ(t.columns[n].name, "count(*)");
    EXPECT_EQ(t.columns[n].type, ColumnType::Integer);
    EXPECT_EQ(t.columns[n + 1].type, ColumnType::Float);
    EXPECT_EQ(t.columns[n + 2].type, ColumnType::DateTime);
    EXPECT_EQ(t.columns[n + 3].name, "av");
    EXPECT_EQ(t.columns[n + 4].type, ColumnType::Text);
    EXPECT_EQ(t.columns[n + 5].type, ColumnType::Text);
    EXPECT_EQ(t.columns[n + 6].type, ColumnType::Integer);
    EXPECT_EQ(t.columns[n + 7].type, ColumnType::Text);

    // `*` over two tables tells shared names apart.
    t = translator().statement(
        "select * from adressen, fahrten where adressen.id = fahrten.bestatter");
    ASSERT_TRUE(t.ok) << show(t);
    EXPECT_EQ(t.columns[0].name, "ADRESSEN.ID");
    EXPECT_EQ(t.columns[2].name, "Name");

    EXPECT_EQ(
        sqlOf("select distinct fahrten.ort from fahrten left outer join adressen on "
              "adressen.id = fahrten.bestatter where adressen.id is null order by fahrten.ort"),
        "SELECT DISTINCT \"Fahrten\".\"Ort\" AS \"Ort\" FROM \"Fahrten\" LEFT JOIN \"ADRESSEN\" "
        "ON \"ADRESSEN\".\"ID\" = \"Fahrten\".\"Bestatter\" WHERE \"ADRESSEN\".\"ID\" IS NULL "
        "ORDER BY \"Fahrten\".\"Ort\"");
    // Nested joins of the old engine read left to right.
    EXPECT_EQ(
        sqlOf("select rechnung.recnr from (rechnung inner join recpos on rechnung.recnr = "
              "recpos.recid) inner join adressen on adressen.id = rechnung.kunde"),
        "SELECT \"Rechnung\".\"RecNr\" AS \"RecNr\" FROM \"Rechnung\" INNER JOIN \"RecPos\" ON "
        "\"Rechnung\".\"RecNr\" = \"RecPos\".\"RecID\" INNER JOIN \"ADRESSEN\" ON "
        "\"ADRESSEN\".\"ID\" = \"Rechnung\".\"Kunde\"");
    // An output name in ORDER BY settles a name that two tables share.
    EXPECT_EQ(sqlOf("select adressen.name, adressen.id, personen from adressen, fahrten "
                    "order by name, id"),
              "SELECT \"ADRESSEN\".\"Name\" AS \"Name\", \"ADRESSEN\".\"ID\" AS \"ID\", "
              "\"Fahrten\".\"Personen\" AS \"Personen\" FROM \"ADRESSEN\", \"Fahrten\" "
              "ORDER BY \"ADRESSEN\".\"Name\", \"ADRESSEN\".\"ID\"");
}

TEST(SqlTranslatorText, FunctionsAndParameters) {
    EXPECT_EQ(sqlOf("select year(datum) as y, month(datum) as m, day(datum) as d from fahrten"),
              "SELECT CAST(strftime('%Y', \"Fahrten\".\"Datum\") AS INTEGER) AS \"y\", "
              "CAST(strftime('%m', \"Fahrten\".\"Datum\") AS INTEGER) AS \"m\", "
              "CAST(strftime('%d', \"Fahrten\".\"Datum\") AS INTEGER) AS \"d\" FROM \"Fahrten\"");
    EXPECT_EQ(
        sqlOf("select iif(nacht > 0, 'N', '') as z, nz(nacht) as n, nz(ort) as o, "
              "nz(nacht, 5) as n5, len(ort) as l, abs(nacht) as a, round(nacht, 2) as r, "
              "nacht / 2 as h from fahrten"),
        "SELECT CASE WHEN \"Fahrten\".\"Nacht\" > 0 THEN 'N' ELSE '' END AS \"z\", "
        "COALESCE(\"Fahrten\".\"Nacht\", 0) AS \"n\", COALESCE(\"Fahrten\".\"Ort\", '') AS \"o\", "
        "COALESCE(\"Fahrten\".\"Nacht\", 5) AS \"n5\", LENGTH(\"Fahrten\".\"Ort\") AS \"l\", "
        "ABS(\"Fahrten\".\"Nacht\") AS \"a\", ROUND(\"Fahrten\".\"Nacht\", 2) AS \"r\", "
        "CAST(\"Fahrten\".\"Nacht\" AS REAL) / 2 AS \"h\" FROM \"Fahrten\"");
    EXPECT_EQ(sqlOf("update fahrten set personen = ?, datum = ? where id = ?"),
              "UPDATE \"Fahrten\" SET \"Personen\" = ?, \"Datum\" = ? WHERE \"ID\" = ?");
    EXPECT_EQ(conditionOf("personen like ? and bestatter = ?", "Fahrten"),
              "\"Personen\" LIKE ? AND \"Bestatter\" = ?");
}

TEST(SqlTranslatorText, WritingStatements) {
    Translation t =
        translator().statement("Update fahrten set rechnung = null where rechnung = 12");
    ASSERT_TRUE(t.ok) << show(t);
    EXPECT_EQ(t.kind, StatementKind::Update);
    EXPECT_EQ(t.targetTable, "Fahrten");
    EXPECT_EQ(t.sql, "UPDATE \"Fahrten\" SET \"Rechnung\" = NULL WHERE \"Rechnung\" = 12");

    t = translator().statement("delete * from RECPOS where recid = 3");
    ASSERT_TRUE(t.ok) << show(t);
    EXPECT_EQ(t.kind, StatementKind::Delete);
    EXPECT_EQ(t.targetTable, "RecPos");
    EXPECT_EQ(t.sql, "DELETE FROM \"RecPos\" WHERE \"RecID\" = 3");

    t = translator().statement(
        "insert into rechnung (recnr, datum, bezahlt) values (5, '31.3.2020', true)");
    ASSERT_TRUE(t.ok) << show(t);
    EXPECT_EQ(t.kind, StatementKind::Insert);
    EXPECT_EQ(t.targetTable, "Rechnung");
    EXPECT_EQ(t.sql, "INSERT INTO \"Rechnung\" (\"RecNr\", \"Datum\", \"Bezahlt\") VALUES "
                     "(5, '2020-03-31 00:00:00', 1)");

    t = translator().statement("insert into Ortsliste select distinct zielort from fahrten");
    ASSERT_TRUE(t.ok) << show(t);
    EXPECT_EQ(t.sql, "INSERT INTO \"Ortsliste\" (\"Ort\") SELECT DISTINCT \"Fahrten\".\"Zielort\" "
                     "AS \"Zielort\" FROM \"Fahrten\"");

    t = translator().statement("Alter Table Jahresfahrten Add f2019 INTEGER");
    ASSERT_TRUE(t.ok) << show(t);
    EXPECT_EQ(t.kind, StatementKind::AlterTable);
    EXPECT_EQ(t.targetTable, "Jahresfahrten");
    EXPECT_EQ(t.sql, "ALTER TABLE \"Jahresfahrten\" ADD COLUMN \"f2019\" INTEGER");
    EXPECT_EQ(sqlOf("alter table jahresfahrten add column [Bemerkung] text(40)"),
              "ALTER TABLE \"Jahresfahrten\" ADD COLUMN \"Bemerkung\" VARCHAR(40) COLLATE NOCASE");
    EXPECT_EQ(
        sqlOf("alter table jahresfahrten add erledigt yesno"),
        "ALTER TABLE \"Jahresfahrten\" ADD COLUMN \"erledigt\" BOOLEAN NOT NULL DEFAULT false");
    EXPECT_EQ(sqlOf("alter table jahresfahrten add betrag currency"),
              "ALTER TABLE \"Jahresfahrten\" ADD COLUMN \"betrag\" CURRENCY");
    EXPECT_EQ(sqlOf("alter table jahresfahrten add notiz memo"),
              "ALTER TABLE \"Jahresfahrten\" ADD COLUMN \"notiz\" MEMO COLLATE NOCASE");
    EXPECT_EQ(sqlOf("alter table jahresfahrten add am date"),
              "ALTER TABLE \"Jahresfahrten\" ADD COLUMN \"am\" DATETIME");
    EXPECT_EQ(sqlOf("alter table jahresfahrten add k short"),
              "ALTER TABLE \"Jahresfahrten\" ADD COLUMN \"k\" SMALLINT");
    EXPECT_EQ(sqlOf("alter table jahresfahrten add w double"),
              "ALTER TABLE \"Jahresfahrten\" ADD COLUMN \"w\" DOUBLE");
    EXPECT_EQ(sqlOf("Alter Table Jahresfahrten drop bestatter"),
              "ALTER TABLE \"Jahresfahrten\" DROP COLUMN \"Bestatter\"");
}

// --- (2) every text of the program runs on a real database ----------------------------------

namespace {

const QString marchFilter = QStringLiteral("DATUM >= #03/01/2021# AND DATUM <= #03/31/2021#");

/// The statements the program builds or ships, with their placeholders filled.
QStringList programStatements() {
    const QString f = marchFilter;
    return {
        // general data module, trip rules, trip window, trip search
        "select datum,plz,bestatter,nacht,feiertag from fahrten",
        "select auftragnr from fahrten where auftragnr >44270000 and auftragnr < 44271001 order by "
        "auftragnr desc",
        "update fahrten set anrlock=true where auftragnr=44270001",
        "Select Name,id from Adressen where Typ=1 and aktiv=true order by Name",
        "Select Name,id from Adressen where Typ=0 and aktiv=true order by Name",
        "select Auftragnr,Datum,personen,vorname,startort,zielort from fahrten\n"
        "where personen like \"Meiste%\" and bestatter=17\norder by Datum",
        "select Auftragnr,Datum,personen,vorname,startort,zielort from fahrten\norder by personen",
        // addresses, invoices
        "select id,typ from adressen where typ = 1 order by id desc",
        "select name,id from Adressen",
        "select recnr from rechnung order by recnr desc",
        "Select * from recpos where recid =12\nand id =1\norder by auftragsnr",
        "Select * from recpos where recid =12\norder by auftragsnr",
        "select recnr,netto,datum from rechnung where datum >= '01.3.2020' and datum < "
        "'01.04.2020' "
        "and storniert=false order by recnr",
        // trip reports: shipped fahrten.txt with the condition and order lines
        "SELECT ADRESSEN.Name, Fahrten.Datum, Fahrten.Startort, Fahrten.Zielort, Fahrten.Personen, "
        "\n"
        "       Nacht,Ankleiden,Feiertag,Uhuelle,Kuehlung,covid19,feiertag,ortspauschale\n"
        "FROM ADRESSEN INNER JOIN Fahrten ON ADRESSEN.ID = Fahrten.Bestatter\n"
        "where " +
            f + " AND rechnung is null\norder by Adressen.name,fahrten.datum",
        "SELECT ADRESSEN.Name, Fahrten.Datum, Fahrten.Startort, Fahrten.Zielort, Fahrten.Personen, "
        "\n"
        "       Nacht,Ankleiden,Feiertag,Uhuelle,Kuehlung,covid19,feiertag,ortspauschale\n"
        "FROM ADRESSEN INNER JOIN Fahrten ON ADRESSEN.ID = Fahrten.Bestatter\n"
        "where " +
            f + "\norder by fahrten.datum",
        "select personen,datum,adressen.name,trim(fahrten.Anrede+\" \"+fahrten.vorname+\" \"+"
        "fahrten.personen) as nachname,fahrten.Strasse,fahrten.plz,fahrten.ort,beamter,akz,"
        "ortspauschale,nacht,ankleiden,feiertag,zielort,zeit,\n           "
        "kuehlung,uhuelle,covid19\n"
        "from adressen,fahrten\nwhere adressen.id = fahrten.bestatter",
        "select adressen.name,fahrten.datum,personen,startort,Ortspauschale,Ankleiden,\n"
        "        Nacht,Feiertag,kuehlung,uhuelle,covid19,zielort\nfrom adressen,fahrten\n"
        "where fahrten.bestatter = adressen.id\norder by name,personen",
        // revenue report: shipped Umsatz.txt with the appended lines
        "SELECT ADRESSEN.Name, Count(Fahrten.ID) AS Anzahl, Sum(Fahrten.Ortspauschale) AS "
        "SOrtspauschale, Sum(Fahrten.Ankleiden) AS SAnkleiden, \n\tSum(Fahrten.Nacht) AS SNacht, "
        "Sum(Fahrten.Feiertag) AS SFeiertag, Sum(Fahrten.Kuehlung) AS SKuehlung, "
        "Sum(Fahrten.UHuelle) AS SUHuelle, Sum(Fahrten.Covid19) AS SCovid19\n"
        "FROM ADRESSEN INNER JOIN Fahrten ON ADRESSEN.ID = Fahrten.Bestatter\n"
        "where " +
            f + "\nGROUP BY ADRESSEN.Name\norder by ADRESSEN.Name",
        // statistics windows
        "Select * From Jahresfahrten",
        "Alter Table Jahresfahrten Add f2021 INTEGER",
        "Select\nBestatter, f2021\nFrom Jahresfahrten order by bestatter",
        "select id, bestatter, f2021\nfrom Jahresfahrten",
        "select * from fahrten where Bestatter=17 and Datum >= #01/01/2021# and Datum <= "
        "#12/31/2021#",
        "update jahresfahrten set f2021 = 2 where id = 17",
        "Alter Table Jahresfahrten drop f2021",
        // transfer evaluations and export
        "select "
        "adressen.name,fahrten.datum,personen,startort,Ortspauschale,Ankleiden,Nacht,Feiertag,"
        "zielort,kuehlung,uhuelle,covid19\nfrom adressen,fahrten\n"
        "where fahrten.bestatter = adressen.id\nand " +
            f +
            "\nand name = \"Meier & Söhne\"\n"
            "order by name,personen",
        "select personen,datum,adressen.name,fahrten.personen+\", \"+fahrten.vorname as nachname,"
        "fahrten.Strasse,fahrten.plz,fahrten.vorname,fahrten.ort,beamter,akz,ortspauschale,nacht,"
        "ankleiden,feiertag,zielort,zeit,kuehlung,uhuelle,covid19\nfrom adressen,fahrten\n"
        "where adressen.id = fahrten.bestatter\nand " +
            f +
            "\nand adressen.name = \"Meier & Söhne\"\n"
            "order by beamter,datum,fahrten.Personen,fahrten.vorname",
        "select personen,datum,adressen.name,fahrten.personen+\", \"+fahrten.vorname as nachname,"
        "fahrten.Strasse,fahrten.plz,fahrten.vorname,fahrten.ort,beamter,akz,ortspauschale,nacht,"
        "ankleiden,feiertag,covid19,uhuelle,kuehlung,zielort,zeit\nfrom adressen,fahrten\n"
        "where adressen.id = fahrten.bestatter\nand " +
            f +
            "\nand adressen.name = \"Meier & Söhne\"\n"
            "order by datum,fahrten.Personen,fahrten.vorname",
        "select personen,datum,fahrten.anrede,adressen.name,fahrten.vorname,fahrten.personen,"
        "fahrten.Strasse,fahrten.plz,fahrten.vorname,fahrten.ort,beamter,akz,zeit\n"
        "from adressen,fahrten\nwhere adressen.id = fahrten.bestatter\nand " +
            f +
            "\n"
            "and adressen.name = \"Meier & Söhne\"\norder by "
            "datum,fahrten.Personen,fahrten.vorname",
        // postal-code statistics
        "select datum,bestatter,plz,nacht,feiertag\nfrom fahrten\nwhere bestatter=17\nand " + f +
            "\norder by datum",
        // invoice cancellation and deletion last: they change rows
        "Update fahrten set rechnung = null where rechnung = 5",
        "delete from recpos where recid = 12",
    };
}

struct FilterCase {
    const char* table;
    const char* filter;
};

/// The filter texts of the table objects, with their placeholders filled.
const FilterCase programFilters[] = {
    {"OTMAIN", "Nr = 3 and Anfang <= #03/15/2021# and Ende >= #03/15/2021#"},
    {"OTMAIN", "Nr=3"},
    {"OTMAIN", "Nr = 3"},
    {"OTMAIN", "ID = 1"},
    {"OTMAIN", "id = 1"},
    {"Fahrten", "Datum >= #03/01/2021# and Datum < #04/01/2021#"},
    {"Fahrten", "Datum >= #12/01/2021# and Datum < #01/01/2022#"},
    {"Fahrten", "Rechnung = 12"},
    {"Fahrten",
     "Rechnung < 1 and Bestatter = 17 and Datum >= '01.3.2021' and Datum <= '31.3.2021'"},
    {"Fahrten", "Bestatter = 17 and Datum >= #03/01/2021# and Datum <= #03/31/2021#"},
    {"Fahrten", "Datum >= #01/01/2021# And Datum <= #12/31/2021#"},
    {"ADRESSEN", "id =17"},
    {"ADRESSEN", "Typ = 1"},
    {"ADRESSEN", "Typ = 0"},
    {"ADRESSEN", "ID < 1000"},
    {"Rechnung", "RecNr = 12"},
    {"Rechnung", "(bezahlt)"},
    {"Rechnung", "not storniert"},
    {"Rechnung",
     "Datum >= #03/01/2020# and Datum <= #03/31/2020# and (not bezahlt) and (not ausgeblendet)"},
    {"Rechnung",
     "Datum >= #03/01/2020# and Datum <= #03/31/2020# and (not bezahlt) and (ausgeblendet)"},
    {"Rechnung", "DATUM >= #03/01/2020# AND DATUM <= #03/31/2020# and not storniert"},
    {"Rechnung", "DATUM >= #03/01/2020# AND DATUM <= #03/31/2020# and not storniert and (bezahlt)"},
    {"Rechnung",
     "DATUM >= #03/01/2020# AND DATUM <= #03/31/2020# and not storniert and not (bezahlt) "
     "and not ausgeblendet"},
    {"Rechnung",
     "DATUM >= #03/01/2020# AND DATUM <= #03/31/2020# and not storniert and not (bezahlt) "
     "and  ausgeblendet and kunde=17"},
    {"Monatsrechnung", "Jahr = 2021"},
};

const FilterCase programOrders[] = {
    {"OTMAIN", "[Nr] ASC, [Anfang] ASC"},
    {"Fahrten", "[Datum] ASC"},
    {"ADRESSEN", "[Name] ASC"},
    {"Rechnung", "RecNr"},
    {"Rechnung", "Kunde"},
};

class SqlTranslatorDb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        conn.create(dir.filePath(QStringLiteral("test.db")));
        Schema::create(conn);
        const auto day = [](int y, int m, int d) { return stored::dateText(QDate(y, m, d)); };
        const QString tenThirty =
            stored::dateTimeText(QDateTime(stored::timeBaseDate(), QTime(10, 30)));
        conn.exec(
            "INSERT INTO ADRESSEN (ID, Typ, Name, Aktiv, Tarifgruppe, \"Privat-Telefon\", Ort) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)",
            {17, 1, QString("Meier & Söhne"), 1, 3, QString("0221 555"), QString("Köln")});
        conn.exec("INSERT INTO ADRESSEN (ID, Typ, Name, Aktiv, Ort) VALUES (?, ?, ?, ?, ?)",
                  {18, 1, QString("Müller"), 0, QString("Bonn")});
        conn.exec("INSERT INTO ADRESSEN (ID, Typ, Name, Aktiv) VALUES (?, ?, ?, ?)",
                  {1, 0, QString("Hilfe"), 1});
        const QString trip =
            "INSERT INTO Fahrten (Datum, Zeit, Bestatter, Anrede, Vorname, Personen, "
            "Ortspauschale, Nacht, Rechnung, AuftragNr, Startort, Zielort, Beamter) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
        conn.exec(trip, {day(2021, 3, 15), tenThirty, 17, QString("Herr"), QString("Hans"),
                         QString("Meister"), 100.0, 20.0, 0, 44270001, QString("Köln"),
                         QString("Bonn"), QString("VK")});
        conn.exec(trip, {day(2021, 3, 20), QVariant(), 17, QString("Frau"), QString("Erika"),
                         QString("Schulz"), 80.0, QVariant(), QVariant(), 44275001, QString("Bonn"),
                         QString("Köln"), QString()});
        conn.exec(trip, {day(2021, 4, 2), QVariant(), 18, QString("Herr"), QString("Ernst"),
                         QString("Meiers"), 50.0, QVariant(), 5, 44288001, QString("Bonn"),
                         QString("Bonn"), QString()});
        conn.exec("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (?, ?, ?, ?)",
                  {3, day(2021, 1, 1), day(2021, 12, 31), 1});
        const QString invoice = "INSERT INTO Rechnung (RecNr, Kunde, Datum, Bezahlt, Storniert, "
                                "Ausgeblendet, Netto) VALUES (?, ?, ?, ?, ?, ?, ?)";
        conn.exec(invoice, {12, 17, day(2020, 3, 31), 1, 0, 0, 100.0});
        conn.exec(invoice, {13, 17, day(2020, 3, 15), 0, 1, 0, 50.0});
        conn.exec(invoice, {14, 18, day(2020, 3, 10), 0, 0, 1, 70.0});
        conn.exec(
            "INSERT INTO RecPos (RecID, Datum, Rectext, Netto, Auftragsnr) VALUES (?, ?, ?, ?, ?)",
            {12, day(2020, 3, 2), QString("Fahrt"), 100.0, 43892001});
        conn.exec(
            "INSERT INTO Monatsrechnung (Monat, Jahr, Rechnung_von, Rechnung_bis, Umsatz, ISO) "
            "VALUES (3, 2021, 12, 14, 220.0, 'EUR')");
        conn.exec("INSERT INTO Jahresfahrten (ID, Bestatter) VALUES (?, ?)",
                  {17, QString("Meier & Söhne")});
    }

    /// Runs a SELECT in the old dialect and returns its rows as texts joined by '|'.
    QStringList rows(const QString& text) {
        QStringList out;
        QSqlQuery q = conn.execOld(text);
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < q.record().count(); ++i)
                fields << q.value(i).toString();
            out << fields.join(QLatin1Char('|'));
        }
        return out;
    }

    int count(const QString& table, const QString& filter) {
        const Translation t = conn.translator().condition(filter, table);
        EXPECT_TRUE(t.ok) << filter.toStdString() << ": " << t.error.toStdString();
        QSqlQuery q =
            conn.exec(QStringLiteral("SELECT count(*) FROM \"%1\" WHERE %2")
                          .arg(table, t.ok && !t.sql.isEmpty() ? t.sql : QStringLiteral("1")));
        return q.next() ? q.value(0).toInt() : -1;
    }

    QTemporaryDir dir;
    Connection conn;
};

} // namespace

TEST_F(SqlTranslatorDb, EveryProgramStatementRuns) {
    for (const QString& text : programStatements()) {
        Translation t;
        try {
            QSqlQuery q = conn.execOld(text, &t);
            if (t.kind == StatementKind::Select) {
                EXPECT_EQ(q.record().count(), t.columns.size()) << text.toStdString();
                for (int i = 0; i < t.columns.size(); ++i)
                    EXPECT_EQ(q.record().fieldName(i), t.columns[i].name) << text.toStdString();
            }
        } catch (const DbError& e) {
            ADD_FAILURE() << text.toStdString() << "\n -> " << e.message().toStdString() << "\n -> "
                          << t.sql.toStdString();
        }
    }
}

TEST_F(SqlTranslatorDb, EveryFilterAndOrderRuns) {
    for (const FilterCase& c : programFilters) {
        const Translation t = conn.translator().condition(c.filter, c.table);
        ASSERT_TRUE(t.ok) << c.filter << ": " << t.error.toStdString();
        EXPECT_NO_THROW(
            conn.exec(QStringLiteral("SELECT * FROM \"%1\" WHERE %2").arg(c.table, t.sql)))
            << c.filter << " -> " << t.sql.toStdString();
    }
    for (const FilterCase& c : programOrders) {
        const Translation t = conn.translator().order(c.filter, c.table);
        ASSERT_TRUE(t.ok) << c.filter << ": " << t.error.toStdString();
        EXPECT_NO_THROW(
            conn.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY %2").arg(c.table, t.sql)))
            << c.filter << " -> " << t.sql.toStdString();
    }
}

TEST_F(SqlTranslatorDb, DatesCompareAsDays) {
    EXPECT_EQ(count("Fahrten", "Datum >= #03/15/2021# and Datum < #03/16/2021#"), 1);
    EXPECT_EQ(count("Fahrten", "Datum < #03/15/2021#"), 0);
    EXPECT_EQ(count("Fahrten", "Datum >= #03/01/2021# and Datum < #04/01/2021#"), 2);
    EXPECT_EQ(count("Fahrten", "Datum >= '01.3.2021' and Datum <= '31.3.2021'"), 2);
    EXPECT_EQ(count("Fahrten", "Zeit = #12/30/1899 10:30#"), 1);
    EXPECT_EQ(count("OTMAIN", "Nr = 3 and Anfang <= #03/15/2021# and Ende >= #03/15/2021#"), 1);
    EXPECT_EQ(count("OTMAIN", "Nr = 3 and Anfang <= #01/01/2021# and Ende >= #01/01/2021#"), 1)
        << "both bounds are inclusive";
    EXPECT_EQ(count("OTMAIN", "Nr = 3 and Anfang <= #01/01/2022# and Ende >= #01/01/2022#"), 0);
    EXPECT_EQ(rows("select recnr from rechnung where datum >= '01.3.2020' and datum < '01.04.2020' "
                   "and storniert=false order by recnr"),
              QStringList({"12", "14"}));
    EXPECT_EQ(rows("select year(datum) as y, month(datum) as m, day(datum) as d from fahrten "
                   "where personen = 'Meister'"),
              QStringList({"2021|3|15"}));
}

TEST_F(SqlTranslatorDb, TextsBooleansAndNames) {
    EXPECT_EQ(rows("select trim(anrede+\" \"+personen) as n from fahrten order by n"),
              QStringList({"Frau Schulz", "Herr Meiers", "Herr Meister"}));
    EXPECT_EQ(rows("select fahrten.personen+\", \"+fahrten.vorname as nachname from fahrten "
                   "where auftragnr = 44270001"),
              QStringList({"Meister, Hans"}));
    EXPECT_EQ(rows("select personen from fahrten where personen like \"Mei%\" order by personen"),
              QStringList({"Meiers", "Meister"}));
    EXPECT_EQ(rows("SELECT PERSONEN FROM FAHRTEN WHERE BESTATTER = 18"), QStringList({"Meiers"}));
    EXPECT_EQ(rows("select [Privat-Telefon] from adressen where aktiv=true and typ = 1"),
              QStringList({"0221 555"}));
    EXPECT_EQ(rows("select name from adressen where not aktiv"), QStringList({"Müller"}));
    EXPECT_EQ(count("Rechnung", "not storniert and (bezahlt)"), 1);
    EXPECT_EQ(count("Rechnung", "not storniert and not (bezahlt) and  ausgeblendet"), 1);
    EXPECT_EQ(count("Rechnung", "Storniert = true"), 1);
    EXPECT_EQ(count("ADRESSEN", "name = 'MEIER & Söhne'"), 1) << "texts compare without case";
    // Rechnung < 1 does not match an empty invoice number, as in the old engine.
    EXPECT_EQ(count("Fahrten", "Rechnung < 1 and Bestatter = 17"), 1);
    EXPECT_EQ(count("Fahrten", "Rechnung is null"), 1);
    conn.execOld("update fahrten set anrlock=true where auftragnr=44270001");
    EXPECT_EQ(count("Fahrten", "ANRLock"), 1);
    EXPECT_EQ(count("Fahrten", "not anrlock"), 2);
}

TEST_F(SqlTranslatorDb, GroupsAndSums) {
    EXPECT_EQ(rows("select bestatter, count(*) as n, sum(ortspauschale) as s from fahrten "
                   "group by bestatter order by bestatter"),
              QStringList({"17|2|180", "18|1|50"}));
    Translation t;
    QSqlQuery q = conn.execOld(
        "SELECT ADRESSEN.Name, Count(Fahrten.ID) AS Anzahl, Sum(Fahrten.Ortspauschale) AS "
        "SOrtspauschale\nFROM ADRESSEN INNER JOIN Fahrten ON ADRESSEN.ID = "
        "Fahrten.Bestatter\nwhere " +
            marchFilter + "\nGROUP BY ADRESSEN.Name\norder by ADRESSEN.Name",
        &t);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value("Name").toString(), "Meier & Söhne");
    EXPECT_EQ(q.value("Anzahl").toInt(), 2);
    EXPECT_DOUBLE_EQ(q.value("SOrtspauschale").toDouble(), 180.0);
    EXPECT_FALSE(q.next());
    EXPECT_EQ(rows("select year(datum) as j, count(*) from fahrten group by j having count(*) > 2"),
              QStringList({"2021|3"}));
}

TEST_F(SqlTranslatorDb, AlterTableChangesTheSchema) {
    conn.execOld("Alter Table Jahresfahrten Add f2019 INTEGER");
    ASSERT_NE(conn.schema().table("Jahresfahrten")->column("F2019"), nullptr);
    EXPECT_EQ(conn.schema().table("Jahresfahrten")->column("f2019")->type, ColumnType::Integer);
    conn.execOld("update jahresfahrten set f2019 = 4 where id = 17");
    EXPECT_EQ(rows("select bestatter, F2019 from jahresfahrten"), QStringList({"Meier & Söhne|4"}));
    EXPECT_THROW(conn.execOld("Alter Table Jahresfahrten Add F2019 INTEGER"), DbError);

    conn.execOld("alter table jahresfahrten add erledigt yesno");
    conn.execOld("alter table jahresfahrten add notiz text(20)");
    EXPECT_EQ(conn.schema().table("Jahresfahrten")->column("erledigt")->type, ColumnType::Boolean);
    EXPECT_EQ(conn.schema().table("Jahresfahrten")->column("notiz")->size, 20);
    EXPECT_EQ(rows("select id from jahresfahrten where not erledigt"), QStringList({"17"}))
        << "a new yes/no column is false, not empty";

    conn.execOld("Alter Table Jahresfahrten drop f2019");
    EXPECT_EQ(conn.schema().table("Jahresfahrten")->column("f2019"), nullptr);
    try {
        conn.execOld("Alter Table Jahresfahrten drop f2019");
        ADD_FAILURE() << "dropping a missing column was accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Unbekannte Spalte 'f2019' in Tabelle 'Jahresfahrten'.");
    }
}

TEST_F(SqlTranslatorDb, WritingStatementsTouchTheRightRows) {
    conn.execOld("Update fahrten set rechnung = null where rechnung = 5");
    EXPECT_EQ(count("Fahrten", "Rechnung is null"), 2);
    conn.execOld("delete from recpos where recid = 12");
    EXPECT_EQ(count("RecPos", ""), 0);
    conn.execOld("insert into ortsliste (ort) values (\"Köln\")");
    conn.execOld("insert into Monatsrechnung values (4, 2021, 15, 16, 10.5, \"EUR\")");
    EXPECT_EQ(rows("select ort from ortsliste"), QStringList({"Köln"}));
    EXPECT_EQ(count("Monatsrechnung", "Jahr = 2021"), 2);
    // A value with quotes stays one value.
    conn.execOld("update adressen set name = \"O'Neill \"\"Junior\"\"\" where id = 1");
    EXPECT_EQ(rows("select name from adressen where id = 1"), QStringList({"O'Neill \"Junior\""}));
}

TEST_F(SqlTranslatorDb, TimeLiteralsMeanATimeOfDayAsStored) {
    for (const char* literal : {"#10:30:00#", "#10:30#", "#10:30 AM#", "# 10:30:00 #"})
        EXPECT_EQ(rows(QStringLiteral("select personen from fahrten where zeit = %1")
                           .arg(QString::fromLatin1(literal))),
                  QStringList({"Meister"}))
            << literal;
    EXPECT_EQ(rows("select count(*) from fahrten where zeit = #10:30 PM#"), QStringList({"0"}));
    EXPECT_EQ(rows("select count(*) from fahrten where zeit < #12:00# and datum > #1/1/2021#"),
              QStringList({"1"}));
    EXPECT_THROW(conn.execOld("select * from fahrten where zeit = #25:00#"), DbError);
}

// A misspelt or cut-off WHERE must not turn into an alias that lets the statement change
// every row; columns that booked invoices rest on cannot be dropped.
TEST_F(SqlTranslatorDb, MisreadOrDestructiveStatementsChangeNothing) {
    conn.execOld("insert into ortsliste (ort) values (\"Köln\")");
    struct Case {
        const char* sql;
        const char* message;
    };
    const Case cases[] = {
        {"delete from ortsliste wher", "SQL-Fehler bei Position 23: nach dem Tabellennamen wird "
                                       "WHERE oder das Ende erwartet, nicht 'wher'. Ein "
                                       "Tabellenalias ist bei DELETE nicht erlaubt; die "
                                       "Anweisung wird nicht ausgeführt."},
        {"delete from fahrten f", "SQL-Fehler bei Position 21: nach dem Tabellennamen"},
        {"delete f.* from fahrten as f where f.id = 1", "SQL-Fehler bei Position 28: nach"},
        {"update fahrten f set personen = 'x'", "SQL-Fehler bei Position 16: nach dem "
                                                "Tabellennamen wird SET erwartet, nicht 'f'."},
        {"update [Fahrten] whre set personen = 'x'", "SQL-Fehler bei Position 18: nach"},
        {"alter table recpos drop column netto",
         "SQL-Fehler bei Position 32: Die Spalte 'Netto' der Tabelle 'RecPos' kann nicht "
         "entfernt werden"},
        {"alter table rechnung drop gebucht", "SQL-Fehler bei Position 27: Die Spalte 'Gebucht'"},
        {"ALTER TABLE FAHRTEN DROP COLUMN [Rechnung]", "SQL-Fehler bei Position 33: Die Spalte"},
    };
    const auto state = [this] {
        return QStringList{rows("select count(*) from ortsliste").join(""),
                           rows("select count(*), min(personen) from fahrten").join(""),
                           QString::number(conn.schema().table("RecPos")->columns.size()),
                           QString::number(conn.schema().table("Rechnung")->columns.size()),
                           QString::number(conn.schema().table("Fahrten")->columns.size())};
    };
    const QStringList before = state();
    for (const Case& c : cases) {
        try {
            conn.execOld(QString::fromUtf8(c.sql));
            ADD_FAILURE() << c.sql << " was run";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith(QString::fromUtf8(c.message)))
                << c.sql << "\n" << e.message().toStdString();
        }
        EXPECT_EQ(state(), before) << c.sql;
    }
    // Without alias, and for other tables, the same statements run.
    conn.execOld("delete fahrten.* from fahrten where personen = 'Meiers'");
    conn.execOld("delete from ortsliste");
    EXPECT_EQ(state().mid(0, 2), (QStringList{"0", "2|Meister"}));
}

// --- (3) refusals ---------------------------------------------------------------------------

TEST(SqlTranslatorRefusal, MalformedTextsGiveGermanMessages) {
    EXPECT_EQ(errorOf("select personen fromm fahrten"),
              "SQL-Fehler bei Position 17: unerwartetes Wort 'fromm'.");
    EXPECT_EQ(errorOf("select from fahrten"),
              "SQL-Fehler bei Position 8: unerwartetes Wort 'from'.");
    EXPECT_EQ(errorOf("select personen from fahrten where (datum > #1/1/2021#"),
              "SQL-Fehler bei Position 55: ')' erwartet, unerwartetes Ende des Textes.");
    EXPECT_EQ(errorOf("select personen from fahrten where datum > #1/1/2021#)"),
              "SQL-Fehler bei Position 54: unerwartetes Zeichen ')'.");
    EXPECT_EQ(errorOf("select personen from fahrten where name = \"Meier"),
              "SQL-Fehler bei Position 43: Text ohne schließendes Anführungszeichen.");
    EXPECT_EQ(errorOf("select * from fahrten where datum > #13/45/2021#"),
              "SQL-Fehler bei Position 37: ungültiges Datum '#13/45/2021#'.");
    EXPECT_EQ(errorOf("select * from fahrten where datum > #02/29/2021#"),
              "SQL-Fehler bei Position 37: ungültiges Datum '#02/29/2021#'.");
    EXPECT_EQ(errorOf("select * from fahrten where datum > #3/1/2021"),
              "SQL-Fehler bei Position 37: Datum ohne schließendes '#'.");
    EXPECT_EQ(errorOf("select [Privat-Telefon from adressen"),
              "SQL-Fehler bei Position 8: Name ohne schließende eckige Klammer.");
    EXPECT_EQ(errorOf("select personen from fahrten where id = 1 $"),
              "SQL-Fehler bei Position 43: unerwartetes Zeichen '$'.");
    EXPECT_EQ(errorOf("drop table fahrten"),
              "SQL-Fehler bei Position 1: unerwartetes Wort 'drop'. Erlaubt sind SELECT, INSERT, "
              "UPDATE, DELETE und ALTER TABLE.");
    EXPECT_EQ(errorOf(""), "Die SQL-Anweisung ist leer.");
    EXPECT_EQ(errorOf("select * from fahrten where"),
              "SQL-Fehler bei Position 28: unerwartetes Ende des Textes.");
    EXPECT_EQ(errorOf("select * from fahrten where datum > '31.2.2021'"),
              "SQL-Fehler bei Position 37: '31.2.2021' ist kein gültiges Datum.");
    EXPECT_EQ(errorOf("select * from fahrten where datum > 5"),
              "SQL-Fehler bei Position 37: Die Zahl 5 ist kein Datum.");
    EXPECT_EQ(errorOf("select * from fahrten where personen"),
              "SQL-Fehler bei Position 29: 'personen' ist keine Bedingung.");
    EXPECT_EQ(errorOf("alter table jahresfahrten add x blob"),
              "SQL-Fehler bei Position 33: unbekannter Datentyp 'blob'.");
    EXPECT_EQ(errorOf("insert into ortsliste (ort) values (1, 2)"),
              "Die Anzahl der Werte (2) passt nicht zur Anzahl der Spalten (1).");
    EXPECT_FALSE(errorOf("select * from fahrten union select * from fahrten").isEmpty());
    EXPECT_FALSE(errorOf("select * from fahrten where id in (select id from adressen)").isEmpty());
    EXPECT_FALSE(errorOf("select 12abc from fahrten").isEmpty());
}

TEST(SqlTranslatorRefusal, UnknownAndAmbiguousNames) {
    EXPECT_EQ(errorOf("select xyz from fahrten"), "Unbekannte Spalte 'xyz' in Tabelle 'Fahrten'.");
    EXPECT_EQ(errorOf("select name from fahrten"),
              "Unbekannte Spalte 'name' in Tabelle 'Fahrten'.");
    EXPECT_EQ(errorOf("select * from fahrtn"), "Unbekannte Tabelle 'fahrtn'.");
    EXPECT_EQ(errorOf("select id from adressen, fahrten"), "Der Spaltenname 'id' ist mehrdeutig.");
    EXPECT_EQ(errorOf("select fahrten.id from adressen, fahrten where ort = 'Köln'"),
              "Der Spaltenname 'ort' ist mehrdeutig.");
    EXPECT_EQ(errorOf("select adressen.name from fahrten"),
              "Die Tabelle 'ADRESSEN' steht nicht in der FROM-Klausel.");
    EXPECT_EQ(errorOf("select f.xyz from fahrten f"),
              "Unbekannte Spalte 'xyz' in Tabelle 'Fahrten'.");
    EXPECT_EQ(errorOf("select foo(personen) from fahrten"),
              "SQL-Fehler bei Position 8: Unbekannte Funktion 'foo'.");
    EXPECT_EQ(errorOf("select trim(personen, 1) from fahrten"),
              "SQL-Fehler bei Position 8: Die Funktion 'trim' erwartet 1 Argument(e).");
    EXPECT_EQ(errorOf("select personen from fahrten order by nachname"),
              "Unbekannte Spalte 'nachname' in Tabelle 'Fahrten'.");
    EXPECT_EQ(errorOf("select personen, count(*) from fahrten"),
              "Die Spalte 'personen' steht weder in GROUP BY noch in einer Aggregatfunktion.");
    EXPECT_EQ(errorOf("select * from fahrten where count(*) > 1"),
              "SQL-Fehler bei Position 29: Die Aggregatfunktion 'count' ist hier nicht erlaubt.");
    EXPECT_EQ(errorOf("Alter Table Jahresfahrten drop f2019"),
              "Unbekannte Spalte 'f2019' in Tabelle 'Jahresfahrten'.");
    EXPECT_EQ(errorOf("Alter Table Jahresfahrten add bestatter integer"),
              "Die Spalte 'Bestatter' gibt es in der Tabelle 'Jahresfahrten' schon.");
    EXPECT_EQ(errorOf("update fahrten set xyz = 1"),
              "Unbekannte Spalte 'xyz' in Tabelle 'Fahrten'.");
    EXPECT_EQ(errorOf("insert into fahrten (personen) values (personen)"),
              "Unbekannte Spalte 'personen'.");
    EXPECT_FALSE(translator().condition("xyz = 1", "Fahrten").ok);
    EXPECT_EQ(translator().condition("Nr = 1", "Unbekannt").error,
              "Unbekannte Tabelle 'Unbekannt'.");
    EXPECT_EQ(translator().order("[Nummer] ASC", "OTMAIN").error,
              "Unbekannte Spalte 'Nummer' in Tabelle 'OTMAIN'.");
}

TEST(SqlTranslatorRefusal, SecondStatementsAndInjectionShapes) {
    EXPECT_EQ(
        errorOf("delete from recpos where recid = 3; delete from fahrten"),
        "SQL-Fehler bei Position 37: Nach dem Semikolon darf keine weitere Anweisung folgen.");
    // A name pasted into a text: the quote ends the text and the rest is refused.
    EXPECT_FALSE(
        errorOf("select * from adressen where name = \"x\"; delete from fahrten").isEmpty());
    EXPECT_FALSE(errorOf("select * from adressen where name = \"x\" or 1=1 --\"").isEmpty());
    EXPECT_FALSE(errorOf("select * from adressen where name = 'x'; drop table adressen").isEmpty());
    EXPECT_FALSE(translator().condition("id = 1; delete from fahrten", "ADRESSEN").ok);
    EXPECT_FALSE(translator().condition("id = 1 -- comment", "ADRESSEN").ok);
    EXPECT_FALSE(translator().order("[Nr]; delete from otmain", "OTMAIN").ok);
}

TEST(SqlTranslatorRefusal, HostileInputNeverCrashes) {
    const QString deep = QString(5000, QLatin1Char('(')) + "1" + QString(5000, QLatin1Char(')'));
    EXPECT_FALSE(translator().condition(deep, "Fahrten").ok);
    const QString nots = QString("not ").repeated(5000) + "storniert";
    EXPECT_FALSE(translator().condition(nots, "Rechnung").ok);
    const QString minus = QString("-").repeated(5000) + "1";
    EXPECT_FALSE(translator().condition("Nr = " + minus, "OTMAIN").ok);
    EXPECT_FALSE(translator().condition("Nr = 1" + QString("+1").repeated(100000), "OTMAIN").ok);
    EXPECT_FALSE(
        translator().condition("Nr = 1" + QString(" and Nr = 1").repeated(100000), "OTMAIN").ok);
    EXPECT_TRUE(translator().condition("Nr = 1" + QString("+1").repeated(100), "OTMAIN").ok);
    EXPECT_FALSE(SqlTranslator(nullptr).statement("select * from fahrten").ok);
    const char* garbage[] = {"\"",          "'",
                             "[",           "#",
                             "select",      "select *",
                             "(((",         "select * from",
                             "update",      "delete",
                             "insert into", "alter table",
                             ";",           "select * from fahrten;;",
                             "\x01\x02",    "select ñ from fahrten"};
    for (const char* g : garbage) {
        const Translation t = translator().statement(QString::fromUtf8(g));
        EXPECT_FALSE(t.ok) << g;
        EXPECT_FALSE(t.error.isEmpty()) << g;
    }
}
