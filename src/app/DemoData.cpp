#include "app/DemoData.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/StoredValue.h"

#include <QMap>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QStringList>
#include <QTime>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace kilvaro {

namespace {

// ---------------------------------------------------------------------------------------
// Fixed content. Every name, street and telephone number is invented.
// ---------------------------------------------------------------------------------------

struct PlaceDef {
    const char* name;
    double amount; ///< flat amount of tariff group 1 in the oldest version
    int weight;    ///< how often trips start or end there
};

const PlaceDef kPlaces[] = {
    {"Köln", 95, 30},         {"Bonn", 115, 10},
    {"Leverkusen", 105, 8},   {"Bergisch Gladbach", 110, 7},
    {"Siegburg", 120, 5},     {"Troisdorf", 115, 5},
    {"Hürth", 100, 5},        {"Brühl", 105, 4},
    {"Frechen", 100, 4},      {"Pulheim", 105, 4},
    {"Kerpen", 120, 3},       {"Wesseling", 105, 3},
    {"Königswinter", 125, 2}, {"Sankt Augustin", 115, 4},
    {"Dormagen", 120, 3},
};

struct DirectorDef {
    const char* name;
    const char* anrede;
    const char* vorname;
    const char* inhaber;
    const char* geschaeft;
    const char* strasse;
    const char* plz;
    const char* ort;
    int tarifgruppe;
    const char* telefon1;
    const char* telefon2;
    const char* privat;
    const char* handy;
    bool ohneRP;
    bool gutschrift;
    bool aktiv;
    bool bigR;
    const char* vertragsnr;
    int weight; ///< share of the trips
};

// IDs 1.. in this order; the numbering of new addresses continues per kind.
const DirectorDef kDirectors[] = {
    {"Bestattungen Lindner", "Herr", "Markus", "Markus Lindner", "Bestattungen und Überführungen",
     "Weidenbruch 12", "50739", "Köln", 1, "0221 5974410", "0221 5974411", "0221 7082236",
     "0171 4418203", false, false, true, false, "K-2019-0113", 9},
    {"Pietät Velten", "Frau", "Sabine", "Sabine Velten", "Bestattungsinstitut", "Kapellenweg 3",
     "53173", "Bonn", 2, "0228 3691152", "", "", "0160 9925431", false, false, true, true, "", 6},
    {"Bestattungshaus Korbmacher", "Herr", "Thomas", "Thomas Korbmacher",
     "Bestattungen, Vorsorge, Trauerdruck", "Am Dhünnufer 28", "51373", "Leverkusen", 1,
     "0214 8820547", "0214 8820548", "", "0151 2270936", false, false, true, false, "V 2020/07", 5},
    {"Bestattungen Strüder", "Herr", "Andreas", "Andreas und Petra Strüder", "Bestattungen",
     "Gladbacher Hofweg 9", "51465", "Bergisch Gladbach", 3, "02202 937716", "", "02202 41129",
     "0175 6612048", false, true, true, false, "", 4},
    {"Bestattungsinstitut Wiemers", "Frau", "Claudia", "Claudia Wiemers", "Bestattungen aller Art",
     "Lindenhofstraße 55", "50823", "Köln", 1, "0221 5103378", "", "", "0170 3358121", true, false,
     true, false, "", 7},
    {"Bestattungen Brackhaus", "Herr", "Stefan", "Stefan Brackhaus", "Bestattungen",
     "Mühlengasse 14", "53721", "Siegburg", 2, "02241 598834", "", "", "0152 8841177", false, false,
     true, false, "SU-2211", 4},
    {"Trauerhilfe Tillmanns", "Herr", "Jörg", "Jörg Tillmanns", "Erd-, Feuer- und Seebestattungen",
     "Kastanienweg 2", "53840", "Troisdorf", 3, "02241 806615", "", "", "0162 4490310", false,
     false, true, false, "", 3},
    // Closed down: trips only in the first months of the data.
    {"Bestattungen Offergeld", "Herr", "Wolfgang", "Wolfgang Offergeld", "Bestattungen",
     "Am Kirchplatz 6", "50354", "Hürth", 2, "02233 771902", "", "", "", false, false, false, false,
     "", 3},
};

struct HelperDef {
    const char* name;
    const char* anrede;
    const char* vorname;
    const char* geburtsdatum; ///< stored in Inhaber
    const char* strasse;
    const char* plz;
    const char* ort;
    const char* handy;
    bool aktiv;
};

constexpr int kFirstHelperId = 1000; // keeps helpers apart from funeral directors

const HelperDef kHelpers[] = {
    {"Hambloch", "Herr", "Dirk", "12.04.1978", "Talstraße 17", "50765", "Köln", "0172 6639012",
     true},
    {"Kurth", "Frau", "Nicole", "03.09.1985", "Rosenweg 4", "51063", "Köln", "0157 3320854", true},
    {"Pütz", "Herr", "Sven", "27.01.1969", "Bachstraße 30", "51379", "Leverkusen", "0176 1184526",
     true},
    // Retired: drove along in the first year only.
    {"Schönenborn", "Herr", "Ralf", "15.11.1958", "Feldweg 8", "53225", "Bonn", "", false},
};

struct RouteDef {
    const char* route;
    double distance;
    double price;
};

const RouteDef kRoutes[] = {
    {"Köln - Düsseldorf", 42, 185},
    {"Bonn - Koblenz", 63, 240},
    {"Leverkusen - Essen", 55, 215},
    {"Köln - Aachen", 71, 265},
    {"Siegburg - Frankfurt am Main", 158, 480},
    {"Köln - Münster", 148, 455},
    {"Bonn - Trier", 145, 440},
    {"Bergisch Gladbach - Dortmund", 82, 290},
};

struct PostalRange {
    int from;
    int to;
    int step;
    bool rightBank;
};

const PostalRange kPostalRanges[] = {
    // Köln, left bank
    {50667, 50679, 1, false},
    {50733, 50739, 1, false},
    {50765, 50769, 1, false},
    {50823, 50829, 1, false},
    {50858, 50859, 1, false},
    {50931, 50939, 1, false},
    {50968, 50969, 1, false},
    {50996, 50999, 1, false},
    // Köln, right bank
    {51061, 51069, 1, true},
    {51103, 51109, 1, true},
    {51143, 51149, 1, true},
    // Bonn
    {53111, 53129, 2, false},
    {53173, 53179, 2, false},
    {53225, 53229, 2, true},
    // Leverkusen, Bergisch Gladbach and the right-bank districts
    {51371, 51381, 1, true},
    {51427, 51469, 2, true},
    {51491, 51491, 1, true},
    {51503, 51503, 1, true},
    {51515, 51519, 4, true},
    {51570, 51570, 1, true},
    {51399, 51399, 1, true},
    {53604, 53604, 1, true},
    {53639, 53639, 1, true},
    {53721, 53721, 1, true},
    {53757, 53757, 1, true},
    {53773, 53773, 1, true},
    {53783, 53783, 1, true},
    {53797, 53797, 1, true},
    {53804, 53809, 5, true},
    {53819, 53819, 1, true},
    {53840, 53844, 2, true},
    {53859, 53859, 1, true},
    {40764, 40764, 1, true},
    {40789, 40789, 1, true},
    {42799, 42799, 1, true},
    {42929, 42929, 1, true},
    // left-bank towns around Köln and Bonn
    {50126, 50129, 1, false},
    {50169, 50171, 1, false},
    {50181, 50189, 8, false},
    {50226, 50226, 1, false},
    {50259, 50259, 1, false},
    {50321, 50321, 1, false},
    {50354, 50354, 1, false},
    {50374, 50374, 1, false},
    {50389, 50389, 1, false},
    {41460, 41472, 2, false},
    {41539, 41542, 1, false},
    {53332, 53332, 1, false},
    {53340, 53347, 1, false},
    {53359, 53359, 1, false},
    {53913, 53913, 1, false},
};

struct HomeDef {
    const char* plz;
    const char* ort;
};

// Home towns of the deceased; all but the last lie in the postal-code table.
const HomeDef kHomes[] = {
    {"50667", "Köln"},
    {"50733", "Köln"},
    {"50823", "Köln"},
    {"50935", "Köln"},
    {"50968", "Köln"},
    {"51063", "Köln"},
    {"51103", "Köln"},
    {"51145", "Köln"},
    {"53111", "Bonn"},
    {"53175", "Bonn"},
    {"53225", "Bonn"},
    {"51373", "Leverkusen"},
    {"51379", "Leverkusen"},
    {"51429", "Bergisch Gladbach"},
    {"51465", "Bergisch Gladbach"},
    {"53721", "Siegburg"},
    {"53840", "Troisdorf"},
    {"50354", "Hürth"},
    {"50321", "Brühl"},
    {"50226", "Frechen"},
    {"50259", "Pulheim"},
    {"50170", "Kerpen"},
    {"50389", "Wesseling"},
    {"53639", "Königswinter"},
    {"53757", "Sankt Augustin"},
    {"41539", "Dormagen"},
    {"40210", "Düsseldorf"},
};

const char* const kMaleNames[] = {"Heinz",  "Karl",   "Wilhelm", "Josef",     "Günter",
                                  "Peter",  "Werner", "Manfred", "Klaus",     "Dieter",
                                  "Rolf",   "Horst",  "Franz",   "Bernd",     "Jürgen",
                                  "Helmut", "Walter", "Gerhard", "Friedhelm", "Hans-Jürgen"};
const char* const kFemaleNames[] = {"Gertrud",   "Maria",     "Ursula",   "Helga",     "Elisabeth",
                                    "Ingrid",    "Hildegard", "Renate",   "Margret",   "Christel",
                                    "Anneliese", "Brigitte",  "Waltraud", "Käthe",     "Monika",
                                    "Erika",     "Gisela",    "Irmgard",  "Rosemarie", "Hannelore"};
const char* const kChildNames[] = {"Lena", "Jonas", "Mia", "Paul", "Emma", "Noah"};
const char* const kSurnames[] = {
    "Schmitz", "Müller", "Schneider", "Becker",   "Hoffmann",   "Krämer",     "Wagner",
    "Fischer", "Weber",  "Richter",   "Jansen",   "Hansen",     "Zimmermann", "Klein",
    "Schäfer", "Koch",   "Bauer",     "Wolff",    "Neumann",    "Schwarz",    "Engels",
    "Lehmann", "Kaiser", "Roth",      "Krings",   "Schumacher", "Vogt",       "Jung",
    "Heinen",  "Esser",  "Brenig",    "Lückerath"};
const char* const kStreets[] = {"Lindenstraße", "Kirchweg",      "Am Mühlenbach", "Bahnhofstraße",
                                "Gartenstraße", "Rosenweg",      "Schulstraße",   "Am Weiher",
                                "Hauptstraße",  "Bergstraße",    "Feldweg",       "Kastanienallee",
                                "Rheinstraße",  "Auf dem Acker", "Birkenweg",     "Tulpenweg"};
const char* const kRanks[] = {"KHK", "KOK", "POK", "PHK", "KK"};
const char* const kMonthNames[] = {"Januar",    "Februar", "März",     "April",
                                   "Mai",       "Juni",    "Juli",     "August",
                                   "September", "Oktober", "November", "Dezember"};

// Surcharge labels of the invoice positions (defaults of section [Rechnung]).
const char* const kLabelAnkleiden = "Ankleiden;";
const char* const kLabelNacht = "Spät/Nacht;";
const char* const kLabelFeiertag = "Sonn-/Feiertag;";
const char* const kLabelKuehlung = "Eigene Kühlung;";
const char* const kLabelUHuelle = "U-Hülle XXL;";
const char* const kLabelCovid19 = "Covid19;";

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

/// A surcharge that does not apply is stored empty, as the trip window leaves it.
QVariant amount(double value) {
    return value == 0.0 ? QVariant() : QVariant(value);
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

/// UTC so that no local daylight-saving gap can shift a time of day.
QVariant dateTime(const QDate& day, const QTime& time) {
    return stored::dateTimeText(QDateTime(day, time, Qt::UTC));
}

qint64 dayCount(const QDate& day) {
    return stored::timeBaseDate().daysTo(day);
}

QDate lastDayOfMonth(const QDate& firstDay) {
    return firstDay.addMonths(1).addDays(-1);
}

// ---------------------------------------------------------------------------------------
// Generated rows
// ---------------------------------------------------------------------------------------

struct Surcharges {
    double ankleiden = 0;
    double nacht = 0;
    double feiertag = 0;
    double kuehlung = 0;
    double uhuelle = 0;
    double covid19 = 0;
    double sum() const { return ankleiden + nacht + feiertag + kuehlung + uhuelle + covid19; }
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
    double ortspauschale = 0;
    Surcharges extra;
    bool gutschrift = false;
    qint64 auftragNr = 0;
    int rechnung = 0; // 0: open
    double gesamt() const { return ortspauschale + extra.sum(); }
};

struct Invoice {
    int recNr = 0;
    int kunde = 0;
    QDate datum;
    QString textvor;
    bool bezahlt = false;
    QString zahlungsart;
    QDate zahlungsdatum;
    double anzahlung = 0;
    QDate anzahlungD;
    double netto = 0;
    int mwst = 19;
    bool bigR = false;
    bool storniert = false;
    bool gebucht = false;
    bool ausgeblendet = false;
    QVector<int> trips; // indexes into the trip list
};

struct MonthRun {
    QDate month; // first day
    int from = 0;
    int to = 0;
};

/// The position text of an invoiced trip, the way the invoice module builds it.
QString positionText(const Trip& t) {
    QString address = QStringLiteral("; ");
    if (!t.strasse.isEmpty())
        address = QStringLiteral("; ") + t.strasse + QStringLiteral("; ");
    const QString place =
        t.plz.isEmpty() ? QString() : address + t.plz + QLatin1Char(' ') + t.ort + QLatin1Char(' ');
    const QString official = t.beamter.isEmpty() ? QString() : QStringLiteral(", ") + t.beamter;
    const QString name =
        t.vorname.isEmpty()
            ? t.personen
            : QStringLiteral("%1, %2%3%4").arg(t.personen, t.vorname, place, official).trimmed();
    QString result = QStringLiteral("%1; %2 - %3").arg(name, t.startort, t.zielort);
    if (!t.akz.isEmpty())
        result = QStringLiteral("%1 (%2)").arg(result, t.akz);
    QString labels;
    const std::pair<double, const char*> parts[] = {
        {t.extra.ankleiden, kLabelAnkleiden}, {t.extra.nacht, kLabelNacht},
        {t.extra.feiertag, kLabelFeiertag},   {t.extra.kuehlung, kLabelKuehlung},
        {t.extra.uhuelle, kLabelUHuelle},     {t.extra.covid19, kLabelCovid19}};
    for (const auto& [value, label] : parts) {
        if (value != 0)
            labels += QLatin1Char(' ') + u(label);
    }
    if (!labels.isEmpty())
        result += QStringLiteral("; ") + labels;
    return result.left(255);
}

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
    Builder(Connection& db, const QDate& today, quint32 seed)
        : m_db(db), m_today(today), m_rng(seed),
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
        writeTrips();
        writeInvoices();
        writeStatistics();

        DemoData::Summary s;
        s.funeralDirectors = count(kDirectors);
        s.helpers = count(kHelpers);
        s.tariffVersions = int(m_versions.size());
        s.places = count(kPlaces);
        s.postalCodes = m_postalCodes;
        s.trips = int(m_trips.size());
        s.openTrips = int(std::count_if(m_trips.begin(), m_trips.end(),
                                        [](const Trip& t) { return t.rechnung == 0; }));
        s.invoices = int(m_invoices.size());
        for (const Invoice& inv : m_invoices)
            s.positions += int(inv.trips.size());
        return s;
    }

    static QStringList writtenTables() {
        return {QStringLiteral("Fahrten"),        QStringLiteral("ADRESSEN"),
                QStringLiteral("OTMAIN"),         QStringLiteral("Tarif"),
                QStringLiteral("OrtsTarif"),      QStringLiteral("Ortsliste"),
                QStringLiteral("Preisliste"),     QStringLiteral("plz"),
                QStringLiteral("Rechnung"),       QStringLiteral("RecPos"),
                QStringLiteral("Monatsrechnung"), QStringLiteral("Jahresumsatz"),
                QStringLiteral("Jahresfahrten")};
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
        t.gutschrift = director.gutschrift;
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
        t.zielort = chance(20) ? t.startort : pickPlace();

        const Version* v = versionFor(director.tarifgruppe, day);
        if (v) {
            t.ortspauschale =
                std::max(v->placeAmounts.value(t.startort), v->placeAmounts.value(t.zielort));
            if (time.hour() >= 20 || time.hour() < 6)
                t.extra.nacht = v->tarif.nacht;
            if (isHoliday(day))
                t.extra.feiertag = v->tarif.feiertag;
            if (chance(30))
                t.extra.ankleiden = v->tarif.ankleiden;
            if (chance(10))
                t.extra.kuehlung = v->tarif.kuehlung;
            if (chance(6))
                t.extra.uhuelle = v->tarif.uhuelle;
            if (day >= QDate(2020, 3, 15) && day <= QDate(2022, 12, 31) && chance(35))
                t.extra.covid19 = v->tarif.covid19;
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
            std::sort(times.begin(), times.end());
            // Order numbers run through the day in the order of the trips' times.
            int running = 0;
            for (const QTime& t : times) {
                Trip trip = makeTrip(day, t);
                trip.auftragNr = dayCount(day) * 1000 + ++running;
                m_trips << trip;
            }
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
        const int r = below(100);
        inv.zahlungsart = r < 85   ? QStringLiteral("Überweisung")
                          : r < 95 ? QStringLiteral("Lastschrift")
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
            MonthRun run;
            run.month = month;
            for (int id : byName) {
                Invoice inv;
                for (int i = 0; i < int(m_trips.size()); ++i) {
                    const Trip& t = m_trips[i];
                    if (t.bestatter == id && t.rechnung == 0 && t.datum >= month && t.datum <= last)
                        inv.trips << i;
                }
                if (inv.trips.isEmpty())
                    continue;
                const DirectorDef& d = kDirectors[id - 1];
                inv.recNr = nextRecNr();
                inv.kunde = id;
                inv.datum = last;
                inv.textvor = QStringLiteral("Überführungen im %1 %2 gefahren.")
                                  .arg(u(kMonthNames[month.month() - 1]))
                                  .arg(month.year());
                inv.mwst = vatOn(d.tarifgruppe, last);
                inv.bigR = d.bigR;
                double sum = 0;
                for (int i : inv.trips) {
                    sum += m_trips[i].gesamt();
                    m_trips[i].rechnung = inv.recNr;
                }
                inv.netto = cents(sum);
                settlePayment(inv);
                // Invoices older than half a year are booked.
                inv.gebucht = last.daysTo(m_today) > 183;
                if (run.from == 0)
                    run.from = inv.recNr;
                run.to = inv.recNr;
                m_invoices << inv;
            }
            if (run.from != 0)
                m_runs << run;
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
                inv.anzahlung = cents(inv.netto * (1 + inv.mwst / 100.0) / 2);
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
            if (m_trips[i].rechnung == 0 && m_trips[i].datum >= from)
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
            inv.recNr = nextRecNr();
            inv.kunde = t.bestatter;
            inv.datum = std::min(t.datum.addDays(1 + below(3)), m_today);
            inv.textvor = QStringLiteral("Einzelrechnung für die Überführung vom %1.")
                              .arg(t.datum.toString(QStringLiteral("dd.MM.yyyy")));
            inv.mwst = 19;
            inv.netto = cents(t.gesamt());
            inv.trips << i;
            t.rechnung = inv.recNr;
            m_invoices << inv;
        }
    }

    int nextRecNr() { return ++m_lastRecNr; }

    // --- writing ----------------------------------------------------------------------
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
        const QStringList cols = {QStringLiteral("ID"),
                                  QStringLiteral("Typ"),
                                  QStringLiteral("Name"),
                                  QStringLiteral("Anrede"),
                                  QStringLiteral("Vorname"),
                                  QStringLiteral("Inhaber"),
                                  QStringLiteral("Geschäftsbezeichnung"),
                                  QStringLiteral("Straße"),
                                  QStringLiteral("PLZ"),
                                  QStringLiteral("Ort"),
                                  QStringLiteral("Tarifgruppe"),
                                  QStringLiteral("Telefon1"),
                                  QStringLiteral("Telefon2"),
                                  QStringLiteral("Privat-Telefon"),
                                  QStringLiteral("Handy"),
                                  QStringLiteral("OhneRP"),
                                  QStringLiteral("Gutschrift"),
                                  QStringLiteral("Aktiv"),
                                  QStringLiteral("BigR"),
                                  QStringLiteral("Vertragsnr")};
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
            insert(QStringLiteral("OTMAIN"),
                   {QStringLiteral("Nr"), QStringLiteral("Anfang"), QStringLiteral("Ende"),
                    QStringLiteral("ID")},
                   {v.nr, date(v.anfang), date(v.ende), v.id});
            insert(QStringLiteral("Tarif"),
                   {QStringLiteral("Id"), QStringLiteral("Mehrwertsteuer"),
                    QStringLiteral("Ankleiden"), QStringLiteral("Nacht"),
                    QStringLiteral("Feiertag"), QStringLiteral("Kuehlung"),
                    QStringLiteral("UHuelle"), QStringLiteral("Waehrung"),
                    QStringLiteral("Covid19")},
                   {v.id, v.vat, v.tarif.ankleiden, v.tarif.nacht, v.tarif.feiertag,
                    v.tarif.kuehlung, v.tarif.uhuelle, QStringLiteral("EUR"), v.tarif.covid19});
            for (const PlaceDef& p : kPlaces) {
                insert(QStringLiteral("OrtsTarif"),
                       {QStringLiteral("Id"), QStringLiteral("Ort"), QStringLiteral("Betrag")},
                       {v.id, u(p.name), v.placeAmounts.value(u(p.name))});
            }
        }
    }

    void writePlacesAndPrices() {
        for (const PlaceDef& p : kPlaces)
            insert(QStringLiteral("Ortsliste"), {QStringLiteral("Ort")}, {u(p.name)});
        for (const RouteDef& r : kRoutes) {
            insert(
                QStringLiteral("Preisliste"),
                {QStringLiteral("Ort"), QStringLiteral("Entfernung"), QStringLiteral("Richtpreis")},
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
            insert(QStringLiteral("plz"),
                   {QStringLiteral("PLZ"), QStringLiteral("Rechtsrheinisch")},
                   {it.key(), flag(it.value())});
        }
        m_postalCodes = int(codes.size());
    }

    void writeTrips() {
        const QStringList cols = {QStringLiteral("Datum"),      QStringLiteral("Bestatter"),
                                  QStringLiteral("Startort"),   QStringLiteral("Zielort"),
                                  QStringLiteral("Anrede"),     QStringLiteral("Vorname"),
                                  QStringLiteral("Strasse"),    QStringLiteral("PLZ"),
                                  QStringLiteral("Ort"),        QStringLiteral("AKZ"),
                                  QStringLiteral("Beamter"),    QStringLiteral("Personen"),
                                  QStringLiteral("Aushilfe"),   QStringLiteral("Ortspauschale"),
                                  QStringLiteral("Ankleiden"),  QStringLiteral("Nacht"),
                                  QStringLiteral("Feiertag"),   QStringLiteral("Kuehlung"),
                                  QStringLiteral("UHuelle"),    QStringLiteral("Rechnung"),
                                  QStringLiteral("Gutschrift"), QStringLiteral("Zeit"),
                                  QStringLiteral("AuftragNr"),  QStringLiteral("ANRLock"),
                                  QStringLiteral("Covid19")};
        for (const Trip& t : m_trips) {
            insert(QStringLiteral("Fahrten"), cols,
                   {date(t.datum),
                    t.bestatter,
                    t.startort,
                    t.zielort,
                    t.anrede,
                    text(t.vorname),
                    text(t.strasse),
                    text(t.plz),
                    text(t.ort),
                    text(t.akz),
                    text(t.beamter),
                    t.personen,
                    t.aushilfe == 0 ? QVariant() : QVariant(t.aushilfe),
                    t.ortspauschale,
                    amount(t.extra.ankleiden),
                    amount(t.extra.nacht),
                    amount(t.extra.feiertag),
                    amount(t.extra.kuehlung),
                    amount(t.extra.uhuelle),
                    t.rechnung == 0 ? QVariant() : QVariant(t.rechnung),
                    flag(t.gutschrift),
                    dateTime(stored::timeBaseDate(), t.zeit),
                    t.auftragNr,
                    flag(false),
                    amount(t.extra.covid19)});
        }
    }

    void writeInvoices() {
        const QStringList cols = {QStringLiteral("RecNr"),         QStringLiteral("Kunde"),
                                  QStringLiteral("Datum"),         QStringLiteral("Bezahlt"),
                                  QStringLiteral("Textvor"),       QStringLiteral("Zahlungsart"),
                                  QStringLiteral("Zahlungsdatum"), QStringLiteral("Anzahlung"),
                                  QStringLiteral("AnzahlungD"),    QStringLiteral("Euro"),
                                  QStringLiteral("Single"),        QStringLiteral("Netto"),
                                  QStringLiteral("MWSt"),          QStringLiteral("BigR"),
                                  QStringLiteral("Storniert"),     QStringLiteral("Gebucht"),
                                  QStringLiteral("Ausgeblendet")};
        const QStringList posCols = {QStringLiteral("RecID"), QStringLiteral("Datum"),
                                     QStringLiteral("Rectext"), QStringLiteral("Netto"),
                                     QStringLiteral("Auftragsnr")};
        for (const Invoice& inv : m_invoices) {
            insert(QStringLiteral("Rechnung"), cols,
                   {inv.recNr, inv.kunde, date(inv.datum), flag(inv.bezahlt), inv.textvor,
                    text(inv.zahlungsart), date(inv.zahlungsdatum), amount(inv.anzahlung),
                    date(inv.anzahlungD), flag(true), flag(false), inv.netto, inv.mwst,
                    flag(inv.bigR), flag(inv.storniert), flag(inv.gebucht),
                    flag(inv.ausgeblendet)});
            for (int i : inv.trips) {
                const Trip& t = m_trips[i];
                insert(QStringLiteral("RecPos"), posCols,
                       {inv.recNr, dateTime(t.datum, t.zeit), positionText(t), t.gesamt(),
                        t.auftragNr});
            }
        }
        for (const MonthRun& run : m_runs) {
            double revenue = 0;
            for (const Invoice& inv : m_invoices) {
                if (inv.recNr >= run.from && inv.recNr <= run.to && !inv.storniert)
                    revenue += inv.netto;
            }
            insert(QStringLiteral("Monatsrechnung"),
                   {QStringLiteral("Monat"), QStringLiteral("Jahr"), QStringLiteral("Rechnung_von"),
                    QStringLiteral("Rechnung_bis"), QStringLiteral("Umsatz"),
                    QStringLiteral("ISO")},
                   {run.month.month(), run.month.year(), run.from, run.to, cents(revenue),
                    QStringLiteral("EUR")});
        }
    }

    void writeStatistics() {
        QMap<int, QPair<int, qint64>> years; // year -> trips, revenue in 1/10000 euro
        for (const Trip& t : m_trips) {
            if (t.datum.year() >= m_today.year())
                continue;
            auto& y = years[t.datum.year()];
            ++y.first;
            y.second += qRound64(t.gesamt() * 10000.0);
        }
        for (auto it = years.cbegin(); it != years.cend(); ++it) {
            insert(QStringLiteral("Jahresumsatz"),
                   {QStringLiteral("Jahr"), QStringLiteral("Fahrten"), QStringLiteral("Umsatz"),
                    QStringLiteral("Waehrung")},
                   {it.key(), it.value().first, double(it.value().second) / 10000.0,
                    QStringLiteral("EUR")});
        }
        for (int i = 0; i < count(kDirectors); ++i) {
            insert(QStringLiteral("Jahresfahrten"),
                   {QStringLiteral("ID"), QStringLiteral("Bestatter")},
                   {i + 1, u(kDirectors[i].name)});
        }
    }

    Connection& m_db;
    const QDate m_today;
    QRandomGenerator m_rng;
    const QDate m_firstDay;          ///< first day of the trips
    const QDate m_lastInvoicedMonth; ///< first day of the last month with monthly invoices
    QVector<Version> m_versions;
    QVector<Trip> m_trips;
    QVector<Invoice> m_invoices;
    QVector<MonthRun> m_runs;
    int m_lastRecNr = 0;
    int m_postalCodes = 0;
};

} // namespace

DemoData::Summary DemoData::fill(Connection& db, const QDate& today, quint32 seed) {
    if (!today.isValid())
        throw DbError(QStringLiteral("Für die Demonstrationsdaten fehlt das Tagesdatum."));
    Summary summary;
    {
        Transaction tx(db);
        summary = Builder(db, today, seed).run();
        tx.commit();
    }
    for (const QString& table : Builder::writtenTables())
        db.notifyTableChanged(table);
    return summary;
}

} // namespace kilvaro
