#include "app/DemoData.h"

#include "app/DemoContent.h"
#include "base/DbError.h"
#include "base/Format.h"
#include "base/IniFile.h"
#include "base/Money.h"
#include "base/SettingsKeys.h"
#include "data/Connection.h"
#include "data/Daten_A.h"
#include "data/StoredValue.h"
#include "data/Table.h"
#include "invoicing/Daten_R.h"
#include "trips/TripRules.h"

#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QStringList>
#include <QTime>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <memory>

namespace kilvaro {

namespace {

using namespace demo;

template <typename T, std::size_t N> constexpr int count(const T (&)[N]) {
    return int(N);
}

QString u(const char* text) {
    return QString::fromUtf8(text);
}

/// Amounts are multiples of 50 cents, so sums stay exact; still round where cents matter.
double cents(double value) {
    return std::round(value * 100.0) / 100.0;
}

/// A comma-separated list of names, the way the column lists are written below.
QStringList names(const char* list) {
    return u(list).split(QLatin1Char(','));
}

QVariant text(const QString& value) {
    return value.isEmpty() ? QVariant() : QVariant(value);
}

QVariant flag(bool value) {
    return value ? 1 : 0;
}

QVariant date(const QDate& value) {
    return value.isValid() ? QVariant(stored::dateText(value)) : QVariant();
}

QDate lastDayOfMonth(const QDate& firstDay) {
    return firstDay.addMonths(1).addDays(-1);
}

// ---------------------------------------------------------------------------------------
// Planned rows: what the users of the demonstration typed and chose. Order numbers, prices,
// invoice numbers, positions and sums come from the program's own rules when the plan is
// carried out.
// ---------------------------------------------------------------------------------------

struct Surcharges {
    double ankleiden = 0;
    double nacht = 0;
    double feiertag = 0;
    double kuehlung = 0;
    double uhuelle = 0;
    double covid19 = 0;
};

struct Version {
    int id = 0;
    int nr = 0;
    QDate anfang;
    QDate ende;
    int vat = 19;
    Surcharges tarif;
    QMap<QString, double> placeAmounts;
};

struct Trip {
    QDate datum;
    QTime zeit;
    int bestatter = 0;
    int aushilfe = 0; // 0: none
    QString anrede, vorname, personen, strasse, plz, ort, akz, beamter, startort, zielort;
    /// The surcharge buttons pressed, in the trip table's field names.
    QStringList surcharges;
    int invoice = -1;     // index into the invoice list; -1: open
    qint64 auftragNr = 0; ///< given by the trip rules when the trip is stored
};

struct Invoice {
    int kunde = 0;
    QDate datum;
    QString textvor;
    bool single = false; ///< a single invoice of one trip
    bool bezahlt = false;
    QString zahlungsart;
    QDate zahlungsdatum;
    bool partPaid = false; ///< half the gross paid on `anzahlungD`
    QDate anzahlungD;
    int mwst = 19;
    bool bigR = false;
    bool storniert = false;
    bool gebucht = false;
    bool ausgeblendet = false;
    QVector<int> trips; // indexes into the trip list
    int recNr = 0;      ///< given by the invoice module when the invoice is stored
    double netto = 0;   ///< as the invoice module stored it
};

bool isHoliday(const QDate& d) {
    // Sundays and the fixed public holidays of North Rhine-Westphalia.
    if (d.dayOfWeek() == Qt::Sunday)
        return true;
    const int md = d.month() * 100 + d.day();
    return md == 101 || md == 501 || md == 1003 || md == 1101 || md == 1225 || md == 1226;
}

// ---------------------------------------------------------------------------------------

class Builder {
public:
    Builder(Connection& db, const QDate& today, quint32 seed, const QString& programFolder)
        : m_db(db), m_today(today), m_rng(seed), m_programFolder(programFolder),
          m_firstDay(QDate(today.year() - 2, today.month(), 1)),
          m_lastInvoicedMonth(QDate(today.year(), today.month(), 1).addMonths(-3)) {}

    DemoData::Summary run() {
        refuseUnlessEmpty();
        makeTariffs();
        makeTrips();
        makeMonthlyInvoices();
        makeSingleInvoices();

        writeAddresses();
        writeTariffs();
        writePlacesAndPrices();
        writePostalCodes();
        openTripModule();
        storeTrips();
        openInvoiceModule();
        storeInvoices();
        writeMonthlyRows();
        writeStatistics();

        DemoData::Summary s;
        s.funeralDirectors = count(kDirectors);
        s.helpers = count(kHelpers);
        s.tariffVersions = int(m_versions.size());
        s.places = count(kPlaces);
        s.postalCodes = m_postalCodes;
        s.trips = int(m_trips.size());
        s.openTrips = int(std::count_if(m_trips.begin(), m_trips.end(),
                                        [](const Trip& t) { return t.invoice < 0; }));
        s.invoices = int(m_invoices.size());
        for (const Invoice& inv : m_invoices)
            s.positions += int(inv.trips.size());
        return s;
    }

    static QStringList writtenTables() {
        return names("Fahrten,ADRESSEN,OTMAIN,Tarif,OrtsTarif,Ortsliste,"
                     "Preisliste,plz,Rechnung,RecPos,Monatsrechnung,"
                     "Jahresumsatz,Jahresfahrten");
    }

private:
    // --- random helpers -------------------------------------------------------------
    int below(int n) { return n <= 1 ? 0 : int(m_rng.bounded(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, std::size_t N> QString pick(const T (&list)[N]) {
        return u(list[below(int(N))]);
    }
    QString pickPlace() {
        int total = 0;
        for (const PlaceDef& p : kPlaces)
            total += p.weight;
        int r = below(total);
        for (const PlaceDef& p : kPlaces) {
            if (r < p.weight)
                return u(p.name);
            r -= p.weight;
        }
        return u(kPlaces[0].name);
    }

    // --- checks -----------------------------------------------------------------------
    bool hasRows(const QString& table) {
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT EXISTS (SELECT 1 FROM \"%1\")").arg(table));
        return q.next() && q.value(0).toInt() != 0;
    }

    void refuseUnlessEmpty() {
        if (hasRows(QStringLiteral("Fahrten")))
            throw DbError(QStringLiteral(
                "Die Datenbank enthält bereits Fahrten; Demonstrationsdaten werden nur in eine "
                "leere Datenbank geschrieben."));
        // Addresses, tariff versions and invoice numbers of the demonstration would collide
        // with rows that are already there.
        for (const QString& table : writtenTables()) {
            if (hasRows(table))
                throw DbError(QStringLiteral("Die Datenbank enthält bereits Daten (Tabelle %1); "
                                             "Demonstrationsdaten werden nur in eine leere "
                                             "Datenbank geschrieben.")
                                  .arg(table));
        }
    }

    // --- tariffs ----------------------------------------------------------------------
    void makeTariffs() {
        const int y = m_today.year();
        const QDate start(y - 2, 1, 1);
        const QDate end(y + 1, 12, 31);
        // Price rises per group (first day of the new version).
        const QVector<QVector<QDate>> rises = {
            {QDate(y - 1, 1, 1), QDate(y, 1, 1)},
            {QDate(y - 1, 7, 1)},
            {QDate(y - 1, 4, 1), QDate(y, 4, 1)},
        };
        // The reduced VAT of the second half of 2020 needs versions of its own.
        const QDate reducedFrom(2020, 7, 1);
        const QDate reducedTo(2020, 12, 31);
        const double groupOffset[] = {0, 10, -5};
        int nextId = 1;
        for (int g = 0; g < int(rises.size()); ++g) {
            QVector<QDate> cuts = rises[g];
            for (const QDate& c : {reducedFrom, reducedTo.addDays(1)}) {
                if (c > start && c <= end && !cuts.contains(c))
                    cuts << c;
            }
            std::sort(cuts.begin(), cuts.end());
            QDate from = start;
            for (int i = 0; i <= int(cuts.size()); ++i) {
                const QDate to = i < int(cuts.size()) ? cuts[i].addDays(-1) : end;
                Version v;
                v.id = nextId++;
                v.nr = g + 1;
                v.anfang = from;
                v.ende = to;
                v.vat = (from >= reducedFrom && to <= reducedTo) ? 16 : 19;
                const int level = int(std::count_if(rises[g].begin(), rises[g].end(),
                                                    [&](const QDate& r) { return r <= from; }));
                const double off = groupOffset[g] / 2.0;
                v.tarif.ankleiden = 35 + off + 5 * level;
                v.tarif.nacht = 45 + off + 5 * level;
                v.tarif.feiertag = 40 + off + 5 * level;
                v.tarif.kuehlung = 25 + 2.5 * level;
                v.tarif.uhuelle = 30 + 2.5 * level;
                v.tarif.covid19 = 20;
                for (const PlaceDef& p : kPlaces)
                    v.placeAmounts.insert(u(p.name), p.amount + groupOffset[g] + 7.5 * level);
                m_versions << v;
                from = to.addDays(1);
            }
        }
    }

    const Version* versionFor(int group, const QDate& day) const {
        // The first version in the order Nr, Anfang whose period holds the day.
        for (const Version& v : m_versions) {
            if (v.nr == group && v.anfang <= day && day <= v.ende)
                return &v;
        }
        return nullptr;
    }

    // --- trips ------------------------------------------------------------------------
    QTime randomTime() {
        int hour = 0;
        if (chance(22)) {
            static const int night[] = {20, 21, 22, 23, 0, 1, 2, 3, 4, 5};
            hour = night[below(10)];
        } else {
            hour = 6 + below(14);
        }
        return QTime(hour, 5 * below(12));
    }

    int pickDirector(const QDate& day) {
        // The closed business only worked with us in the first months.
        const QDate closedAfter = m_firstDay.addMonths(9);
        int total = 0;
        for (const DirectorDef& d : kDirectors) {
            if (d.aktiv || day < closedAfter)
                total += d.weight;
        }
        int r = below(total);
        for (int i = 0; i < count(kDirectors); ++i) {
            const DirectorDef& d = kDirectors[i];
            if (!(d.aktiv || day < closedAfter))
                continue;
            if (r < d.weight)
                return i + 1;
            r -= d.weight;
        }
        return 1;
    }

    int pickHelper(const QDate& day) {
        if (!chance(55))
            return 0;
        const QDate retiredAfter = m_firstDay.addMonths(12);
        QVector<int> ids;
        for (int i = 0; i < count(kHelpers); ++i) {
            if (kHelpers[i].aktiv || day < retiredAfter)
                ids << kFirstHelperId + i;
        }
        return ids.isEmpty() ? 0 : ids[below(int(ids.size()))];
    }

    Trip makeTrip(const QDate& day, const QTime& time) {
        Trip t;
        t.datum = day;
        t.zeit = time;
        t.bestatter = pickDirector(day);
        const DirectorDef& director = kDirectors[t.bestatter - 1];
        t.aushilfe = pickHelper(day);

        const int kind = below(100);
        if (kind < 48) {
            t.anrede = QStringLiteral("Herr");
            t.vorname = pick(kMaleNames);
        } else if (kind < 97) {
            t.anrede = QStringLiteral("Frau");
            t.vorname = pick(kFemaleNames);
        } else {
            t.anrede = QStringLiteral("Kind");
            t.vorname = pick(kChildNames);
        }
        if (chance(5))
            t.vorname.clear();
        t.personen = pick(kSurnames);

        const int address = below(100);
        if (address < 92) {
            t.strasse = QStringLiteral("%1 %2").arg(pick(kStreets)).arg(1 + below(120));
            if (address < 88) {
                const HomeDef& home =
                    chance(3) ? kHomes[count(kHomes) - 1] : kHomes[below(count(kHomes) - 1)];
                t.plz = u(home.plz);
                t.ort = u(home.ort);
            }
        }

        if (chance(22)) {
            const int yy = day.year() % 100;
            t.akz = chance(50) ? QStringLiteral("%1 UJs %2/%3")
                                     .arg(10 + below(90))
                                     .arg(100 + below(900))
                                     .arg(yy, 2, 10, QLatin1Char('0'))
                               : QStringLiteral("KK 11-%1/%2")
                                     .arg(1000 + below(9000))
                                     .arg(yy, 2, 10, QLatin1Char('0'));
            if (chance(75)) {
                t.beamter = pick(kRanks) + QLatin1Char(' ') + pick(kSurnames);
                if (chance(25)) // for the traffic police
                    t.beamter = QStringLiteral("VK ") + t.beamter;
            }
        }

        t.startort = pickPlace();
        t.zielort = chance(12) ? t.startort : pickPlace();

        // The surcharge buttons the user presses; the amounts come from the tariff.
        if (versionFor(director.tarifgruppe, day)) {
            if (time.hour() >= 20 || time.hour() < 6)
                t.surcharges << QStringLiteral("Nacht");
            if (isHoliday(day))
                t.surcharges << QStringLiteral("Feiertag");
            if (chance(30))
                t.surcharges << QStringLiteral("Ankleiden");
            if (chance(10))
                t.surcharges << QStringLiteral("Kuehlung");
            if (chance(6))
                t.surcharges << QStringLiteral("UHuelle");
            if (day >= QDate(2020, 3, 15) && day <= QDate(2022, 12, 31) && chance(35))
                t.surcharges << QStringLiteral("Covid19");
        }
        return t;
    }

    void makeTrips() {
        for (QDate day = m_firstDay; day <= m_today; day = day.addDays(1)) {
            const int r = below(100);
            const int n = r < 48 ? 0 : r < 80 ? 1 : r < 95 ? 2 : 3;
            QVector<QTime> times;
            for (int i = 0; i < n; ++i) {
                QTime t = randomTime();
                while (times.contains(t))
                    t = t.addSecs(5 * 60);
                times << t;
            }
            // Entered in the order of the trips' times, so order numbers follow them.
            std::sort(times.begin(), times.end());
            for (const QTime& t : times)
                m_trips << makeTrip(day, t);
        }
    }

    // --- invoices ---------------------------------------------------------------------
    int vatOn(int group, const QDate& day) const {
        const Version* v = versionFor(group, day);
        return v ? v->vat : 19;
    }

    void settlePayment(Invoice& inv) {
        const QDate due = inv.datum.addDays(7 + below(38));
        if (due > m_today || chance(6))
            return; // still open
        inv.bezahlt = true;
        inv.zahlungsdatum = due;
        // Payment types as in the default z_art.txt; credit notes are settled by offsetting.
        const int r = below(100);
        if (kDirectors[inv.kunde - 1].gutschrift)
            inv.zahlungsart = QStringLiteral("Verrechnung");
        else
            inv.zahlungsart = r < 90   ? QStringLiteral("Überweisung")
                              : r < 96 ? QStringLiteral("Scheck")
                                       : QStringLiteral("Bar");
    }

    void makeMonthlyInvoices() {
        // Invoices are numbered in alphabetical order of the funeral directors per month.
        QVector<int> byName;
        for (int i = 0; i < count(kDirectors); ++i)
            byName << i + 1;
        std::sort(byName.begin(), byName.end(), [](int a, int b) {
            return QString::compare(u(kDirectors[a - 1].name), u(kDirectors[b - 1].name),
                                    Qt::CaseInsensitive) < 0;
        });

        for (QDate month = m_firstDay; month <= m_lastInvoicedMonth; month = month.addMonths(1)) {
            const QDate last = lastDayOfMonth(month);
            for (int id : byName) {
                Invoice inv;
                for (int i = 0; i < int(m_trips.size()); ++i) {
                    const Trip& t = m_trips[i];
                    if (t.bestatter == id && t.invoice < 0 && t.datum >= month && t.datum <= last)
                        inv.trips << i;
                }
                if (inv.trips.isEmpty())
                    continue;
                const DirectorDef& d = kDirectors[id - 1];
                inv.kunde = id;
                inv.datum = last;
                inv.textvor = QStringLiteral("Überführungen im %1 %2 gefahren.")
                                  .arg(Format::monthName(month.month()))
                                  .arg(month.year());
                inv.mwst = vatOn(d.tarifgruppe, last);
                inv.bigR = d.bigR;
                for (int i : inv.trips)
                    m_trips[i].invoice = int(m_invoices.size());
                settlePayment(inv);
                // Invoices older than half a year are booked.
                inv.gebucht = last.daysTo(m_today) > 183;
                m_invoices << inv;
            }
        }
        markSpecialCases();
    }

    void markSpecialCases() {
        const int n = int(m_invoices.size());
        if (n == 0)
            return;
        // One booked invoice cancelled later; its trips were not released again.
        Invoice& cancelled = m_invoices[n / 2];
        cancelled.storniert = true;
        cancelled.gebucht = true;
        cancelled.bezahlt = false;
        cancelled.zahlungsart.clear();
        cancelled.zahlungsdatum = QDate();

        // One older open invoice paid in part, one hidden from the list of open invoices.
        bool partPaid = false;
        bool hidden = false;
        for (int i = 0; i < n; ++i) {
            Invoice& inv = m_invoices[i];
            if (inv.bezahlt || inv.storniert || inv.datum.daysTo(m_today) < 150)
                continue;
            if (!partPaid) {
                inv.partPaid = true;
                inv.anzahlungD = inv.datum.addDays(21);
                partPaid = true;
            } else if (!hidden) {
                inv.ausgeblendet = true;
                hidden = true;
            }
        }
    }

    void makeSingleInvoices() {
        // A couple of trips of the open months invoiced one by one.
        const QDate from = m_lastInvoicedMonth.addMonths(1);
        QVector<int> candidates;
        for (int i = 0; i < int(m_trips.size()); ++i) {
            if (m_trips[i].invoice < 0 && m_trips[i].datum >= from)
                candidates << i;
        }
        QVector<int> chosen;
        for (int attempt = 0; attempt < 20 && chosen.size() < 2 && !candidates.isEmpty();
             ++attempt) {
            const int i = candidates[below(int(candidates.size()))];
            const bool sameDirector = std::any_of(chosen.begin(), chosen.end(), [&](int c) {
                return m_trips[c].bestatter == m_trips[i].bestatter;
            });
            if (!sameDirector)
                chosen << i;
        }
        std::sort(chosen.begin(), chosen.end()); // numbers in date order
        for (int i : chosen) {
            Trip& t = m_trips[i];
            Invoice inv;
            inv.single = true;
            inv.kunde = t.bestatter;
            inv.datum = std::min(t.datum.addDays(1 + below(3)), m_today);
            inv.textvor = QStringLiteral("Einzelrechnung für die Überführung vom %1.")
                              .arg(t.datum.toString(QStringLiteral("dd.MM.yyyy")));
            inv.trips << i;
            t.invoice = int(m_invoices.size());
            m_invoices << inv;
        }
    }

    // --- writing master data ----------------------------------------------------------
    void insert(const QString& table, const QStringList& columns, const QVariantList& values) {
        QStringList quoted;
        QStringList marks;
        for (const QString& c : columns) {
            quoted << QLatin1Char('"') + c + QLatin1Char('"');
            marks << QStringLiteral("?");
        }
        m_db.exec(
            QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                .arg(table, quoted.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
            values);
    }

    void writeAddresses() {
        const QStringList cols = names("ID,Typ,Name,Anrede,Vorname,Inhaber,"
                                       "Geschäftsbezeichnung,Straße,PLZ,Ort,Tarifgruppe,"
                                       "Telefon1,Telefon2,Privat-Telefon,Handy,OhneRP,"
                                       "Gutschrift,Aktiv,BigR,Vertragsnr");
        for (int i = 0; i < count(kDirectors); ++i) {
            const DirectorDef& d = kDirectors[i];
            insert(QStringLiteral("ADRESSEN"), cols,
                   {i + 1,
                    1,
                    u(d.name),
                    u(d.anrede),
                    u(d.vorname),
                    u(d.inhaber),
                    text(u(d.geschaeft)),
                    u(d.strasse),
                    u(d.plz),
                    u(d.ort),
                    d.tarifgruppe,
                    text(u(d.telefon1)),
                    text(u(d.telefon2)),
                    text(u(d.privat)),
                    text(u(d.handy)),
                    flag(d.ohneRP),
                    flag(d.gutschrift),
                    flag(d.aktiv),
                    flag(d.bigR),
                    text(u(d.vertragsnr))});
        }
        for (int i = 0; i < count(kHelpers); ++i) {
            const HelperDef& h = kHelpers[i];
            insert(QStringLiteral("ADRESSEN"), cols,
                   {kFirstHelperId + i, 0,           u(h.name),     u(h.anrede), u(h.vorname),
                    u(h.geburtsdatum),  QVariant(),  u(h.strasse),  u(h.plz),    u(h.ort),
                    QVariant(),         QVariant(),  QVariant(),    QVariant(),  text(u(h.handy)),
                    flag(false),        flag(false), flag(h.aktiv), flag(false), QVariant()});
        }
    }

    void writeTariffs() {
        for (const Version& v : m_versions) {
            insert(QStringLiteral("OTMAIN"), names("Nr,Anfang,Ende,ID"),
                   {v.nr, date(v.anfang), date(v.ende), v.id});
            insert(QStringLiteral("Tarif"),
                   names("Id,Mehrwertsteuer,Ankleiden,Nacht,Feiertag,Kuehlung,"
                         "UHuelle,Waehrung,Covid19"),
                   {v.id, v.vat, v.tarif.ankleiden, v.tarif.nacht, v.tarif.feiertag,
                    v.tarif.kuehlung, v.tarif.uhuelle, QStringLiteral("EUR"), v.tarif.covid19});
            for (const PlaceDef& p : kPlaces) {
                insert(QStringLiteral("OrtsTarif"), names("Id,Ort,Betrag"),
                       {v.id, u(p.name), v.placeAmounts.value(u(p.name))});
            }
        }
    }

    void writePlacesAndPrices() {
        for (const PlaceDef& p : kPlaces)
            insert(QStringLiteral("Ortsliste"), {QStringLiteral("Ort")}, {u(p.name)});
        for (const RouteDef& r : kRoutes) {
            insert(QStringLiteral("Preisliste"), names("Ort,Entfernung,Richtpreis"),
                   {u(r.route), r.distance, r.price});
        }
    }

    void writePostalCodes() {
        QMap<int, bool> codes; // sorted and without duplicates
        for (const PostalRange& r : kPostalRanges) {
            for (int c = r.from; c <= r.to; c += r.step)
                codes.insert(c, r.rightBank);
        }
        for (auto it = codes.cbegin(); it != codes.cend(); ++it) {
            insert(QStringLiteral("plz"), names("PLZ,Rechtsrheinisch"),
                   {it.key(), flag(it.value())});
        }
        m_postalCodes = int(codes.size());
    }

    // --- trips and invoices through the program's rules -----------------------------------
    /// The general data module with its trip rules, on this connection and inside its
    /// transaction. Its program folder is that of the settings file the invoice module reads
    /// the surcharge labels of the positions from (without one, the database's folder);
    /// nothing is written to it.
    void openTripModule() {
        QString folder = m_programFolder;
        if (folder.isEmpty())
            folder = QFileInfo(m_db.filePath()).absolutePath();
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');

        m_datenA = std::make_unique<TDaten_A>(m_db, folder, nullptr);
        m_datenA->DataModuleCreate();
        if (!m_datenA->lastError().isEmpty())
            throw DbError(m_datenA->lastError());
        m_rules = TripRules::install(m_datenA.get(), nullptr);
        m_rules->setClock([this] { return m_now; });
        // As in the trip window: the addresses follow the current trip's funeral director.
        m_datenA->AdressTab->setFiltered(true);
    }

    /// The invoice module, opened once the trips are stored (its tables need not follow
    /// every new trip).
    void openInvoiceModule() {
        m_datenR = std::make_unique<TDaten_R>(m_datenA.get(), m_datenA->programFolder(), nullptr);
        m_datenR->today = [this] { return m_now.date(); };
        // The caller notes the last number once, when everything is stored.
        m_datenR->noteLastNumber = false;
        m_datenR->RechnungsmodulCreate();
    }

    /// Enters every trip as the trip window does: insert (dated and numbered by the rules),
    /// funeral director, person and address, places from the place tariff, surcharges from
    /// the tariff, store.
    void storeTrips() {
        Table& trips = *m_datenA->Fahrttab;
        Table& places = *m_datenA->Ortetab;
        for (Trip& t : m_trips) {
            m_now = QDateTime(t.datum, t.zeit);
            trips.append();
            trips.setValue(QStringLiteral("Bestatter"), t.bestatter);
            m_rules->FuneralDirectorChanged();
            m_rules->FuneralDirectorChosen();
            trips.setValue(QStringLiteral("Zeit"), t.zeit);
            trips.setValue(QStringLiteral("Anrede"), t.anrede);
            trips.setValue(QStringLiteral("Personen"), t.personen);
            const std::pair<const char*, const QString*> texts[] = {
                {"Vorname", &t.vorname}, {"Strasse", &t.strasse}, {"PLZ", &t.plz},
                {"Ort", &t.ort},         {"AKZ", &t.akz},         {"Beamter", &t.beamter}};
            for (const auto& [field, value] : texts) {
                if (!value->isEmpty())
                    trips.setValue(QString::fromLatin1(field), *value);
            }
            if (t.aushilfe != 0)
                trips.setValue(QStringLiteral("Aushilfe"), t.aushilfe);
            for (const auto& [field, place] : {std::pair(QStringLiteral("Startort"), t.startort),
                                               std::pair(QStringLiteral("Zielort"), t.zielort)}) {
                if (!places.locate(QStringLiteral("Ort"), place))
                    throw DbError(QStringLiteral("Der Ort %1 fehlt im Tarif vom %2.")
                                      .arg(place, t.datum.toString(QStringLiteral("dd.MM.yyyy"))));
                m_rules->PlaceChosen(field);
            }
            for (const QString& field : std::as_const(t.surcharges))
                m_rules->CopySurcharge(field);
            trips.post();
            t.auftragNr = trips.value(QStringLiteral("AuftragNr")).toLongLong();
        }
    }

    /// Goes to the trip in the general trip table.
    void locateTrip(const Trip& t) {
        if (!m_datenA->Fahrttab->locate(QStringLiteral("AuftragNr"), t.auftragNr))
            throw DbError(QStringLiteral("Die Fahrt %1 fehlt.").arg(t.auftragNr));
    }

    /// Makes every invoice with the invoice module: numbering and defaults on insert, the
    /// trips' marks, positions and net sum; then what users entered later (payments,
    /// hiding) and booking and cancelling.
    void storeInvoices() {
        Table& rec = *m_datenR->Rectab;
        for (Invoice& inv : m_invoices) {
            m_now = QDateTime(inv.datum, QTime(9, 0));
            rec.append();
            rec.setValue(QStringLiteral("Kunde"), inv.kunde);
            rec.setValue(QStringLiteral("Datum"), inv.datum);
            rec.setValue(QStringLiteral("Textvor"), inv.textvor);
            if (inv.single) {
                locateTrip(m_trips[inv.trips.first()]);
                inv.recNr = m_datenR->EinzelRechnungSpeichern(m_datenA->Fahrttab);
            } else {
                // As the monthly run: store the invoice, mark its trips, make the positions.
                rec.setValue(QStringLiteral("MWSt"), inv.mwst);
                rec.setValue(QStringLiteral("Euro"), true);
                rec.setValue(QStringLiteral("BigR"), inv.bigR);
                rec.post();
                inv.recNr = rec.field(QStringLiteral("RecNr")).asInteger();
                Table& trips = *m_datenA->Fahrttab;
                for (int i : std::as_const(inv.trips)) {
                    locateTrip(m_trips[i]);
                    trips.edit();
                    trips.setValue(QStringLiteral("Rechnung"), inv.recNr);
                    trips.post();
                }
                m_datenR->PostenErstellen();
                rec.edit();
                rec.setValue(QStringLiteral("Netto"), m_datenR->PostenNettoSumme());
                rec.post();
            }
            inv.netto = rec.field(QStringLiteral("Netto")).asFloat();

            if (inv.bezahlt || inv.partPaid || inv.ausgeblendet) {
                rec.edit();
                if (inv.bezahlt) {
                    rec.setValue(QStringLiteral("Bezahlt"), true);
                    rec.setValue(QStringLiteral("Zahlungsart"), inv.zahlungsart);
                    rec.setValue(QStringLiteral("Zahlungsdatum"), inv.zahlungsdatum);
                }
                if (inv.partPaid) {
                    const Money gross = Money::fromDouble(inv.netto).withVat(inv.mwst).gross;
                    rec.setValue(QStringLiteral("Anzahlung"), cents(gross.toDouble() / 2));
                    rec.setValue(QStringLiteral("AnzahlungD"), inv.anzahlungD);
                }
                if (inv.ausgeblendet)
                    rec.setValue(QStringLiteral("Ausgeblendet"), true);
                rec.post();
            }
            if (inv.gebucht)
                m_datenR->RechnungBuchen(inv.recNr);
            if (inv.storniert) {
                if (!rec.locate(QStringLiteral("RecNr"), inv.recNr))
                    throw DbError(QStringLiteral("Die Rechnung %1 fehlt.").arg(inv.recNr));
                m_datenR->Stornieren(false);
            }
        }
    }

    /// The monthly rows of the months invoiced at once: the range of numbers and the net of
    /// the invoices that stand.
    void writeMonthlyRows() {
        struct Run {
            int from = 0, to = 0;
            double revenue = 0;
        };
        QMap<QDate, Run> runs; // first day of the month -> run
        for (const Invoice& inv : std::as_const(m_invoices)) {
            if (inv.single)
                continue;
            Run& run = runs[QDate(inv.datum.year(), inv.datum.month(), 1)];
            if (run.from == 0 || inv.recNr < run.from)
                run.from = inv.recNr;
            run.to = std::max(run.to, inv.recNr);
            if (!inv.storniert)
                run.revenue += inv.netto;
        }
        for (auto it = runs.cbegin(); it != runs.cend(); ++it) {
            insert(QStringLiteral("Monatsrechnung"),
                   names("Monat,Jahr,Rechnung_von,Rechnung_bis,Umsatz,ISO"),
                   {it.key().month(), it.key().year(), it.value().from, it.value().to,
                    cents(it.value().revenue), QStringLiteral("EUR")});
        }
    }

    void writeStatistics() {
        // Trips and revenue of every past year, from the trips as stored.
        QMap<int, QPair<int, Money>> years;
        QSqlQuery q = m_db.exec(QStringLiteral(
            "SELECT \"Datum\", \"Ortspauschale\", \"Ankleiden\", \"Nacht\", \"Feiertag\", "
            "\"Kuehlung\", \"UHuelle\", \"Covid19\" FROM \"Fahrten\""));
        while (q.next()) {
            const int year = stored::parseDateTime(q.value(0).toString()).date().year();
            if (year >= m_today.year())
                continue;
            auto& y = years[year];
            ++y.first;
            for (int i = 1; i <= 7; ++i)
                y.second += Money::fromDouble(q.value(i).toDouble());
        }
        q.finish();
        for (auto it = years.cbegin(); it != years.cend(); ++it) {
            insert(
                QStringLiteral("Jahresumsatz"), names("Jahr,Fahrten,Umsatz,Waehrung"),
                {it.key(), it.value().first, it.value().second.toDouble(), QStringLiteral("EUR")});
        }
        for (int i = 0; i < count(kDirectors); ++i) {
            insert(QStringLiteral("Jahresfahrten"), names("ID,Bestatter"),
                   {i + 1, u(kDirectors[i].name)});
        }
    }

    Connection& m_db;
    const QDate m_today;
    QRandomGenerator m_rng;
    const QString m_programFolder;
    const QDate m_firstDay;          ///< first day of the trips
    const QDate m_lastInvoicedMonth; ///< first day of the last month with monthly invoices
    QVector<Version> m_versions;
    QVector<Trip> m_trips;
    QVector<Invoice> m_invoices;
    int m_postalCodes = 0;

    /// "Now" of the rules while a row is entered.
    QDateTime m_now;
    std::unique_ptr<TDaten_A> m_datenA;
    TripRules* m_rules = nullptr; ///< owned by m_datenA
    std::unique_ptr<TDaten_R> m_datenR;
};

} // namespace

DemoData::Summary DemoData::fill(Connection& db, const QDate& today, quint32 seed,
                                 const QString& programFolder) {
    if (!today.isValid())
        throw DbError(QStringLiteral("Für die Demonstrationsdaten fehlt das Tagesdatum."));
    Summary summary;
    {
        Transaction tx(db);
        summary = Builder(db, today, seed, programFolder).run();
        tx.commit();
    }
    for (const QString& table : Builder::writtenTables())
        db.notifyTableChanged(table);
    return summary;
}

void DemoData::writeLastInvoiceNumber(Connection& db, const QString& iniPath) {
    QSqlQuery q = db.exec(QStringLiteral("SELECT MAX(\"RecNr\") FROM \"Rechnung\""));
    const int last = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    IniFile ini(iniPath);
    writeSettingInteger(ini, SettingsKeys::RechnungNummer, last);
    QString error;
    if (!ini.save(&error))
        throw DbError(error);
}

} // namespace kilvaro
