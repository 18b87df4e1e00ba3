#pragma once

// The fixed content of the demonstration data (see DemoData). Every company, person, street
// and telephone number is invented; postal codes and towns are those of the Köln/Bonn area.

namespace kilvaro::demo {

struct PlaceDef {
    const char* name;
    double amount; ///< flat amount of tariff group 1 in the oldest version
    int weight;    ///< how often trips start or end there
};

inline const PlaceDef kPlaces[] = {
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
inline const DirectorDef kDirectors[] = {
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

inline constexpr int kFirstHelperId = 1000; // keeps helpers apart from funeral directors

inline const HelperDef kHelpers[] = {
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

inline const RouteDef kRoutes[] = {
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

inline const PostalRange kPostalRanges[] = {
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
inline const HomeDef kHomes[] = {
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

inline const char* const kMaleNames[] = {"Heinz",  "Karl",   "Wilhelm", "Josef",     "Günter",
                                         "Peter",  "Werner", "Manfred", "Klaus",     "Dieter",
                                         "Rolf",   "Horst",  "Franz",   "Bernd",     "Jürgen",
                                         "Helmut", "Walter", "Gerhard", "Friedhelm", "Hans-Jürgen"};
inline const char* const kFemaleNames[] = {
    "Gertrud", "Maria",   "Ursula",   "Helga",     "Elisabeth", "Ingrid",   "Hildegard",
    "Renate",  "Margret", "Christel", "Anneliese", "Brigitte",  "Waltraud", "Käthe",
    "Monika",  "Erika",   "Gisela",   "Irmgard",   "Rosemarie", "Hannelore"};
inline const char* const kChildNames[] = {"Lena", "Jonas", "Mia", "Paul", "Emma", "Noah"};
inline const char* const kSurnames[] = {
    "Schmitz", "Müller", "Schneider", "Becker",   "Hoffmann",   "Krämer",     "Wagner",
    "Fischer", "Weber",  "Richter",   "Jansen",   "Hansen",     "Zimmermann", "Klein",
    "Schäfer", "Koch",   "Bauer",     "Wolff",    "Neumann",    "Schwarz",    "Engels",
    "Lehmann", "Kaiser", "Roth",      "Krings",   "Schumacher", "Vogt",       "Jung",
    "Heinen",  "Esser",  "Brenig",    "Lückerath"};
inline const char* const kStreets[] = {
    "Lindenstraße", "Kirchweg",      "Am Mühlenbach", "Bahnhofstraße",
    "Gartenstraße", "Rosenweg",      "Schulstraße",   "Am Weiher",
    "Hauptstraße",  "Bergstraße",    "Feldweg",       "Kastanienallee",
    "Rheinstraße",  "Auf dem Acker", "Birkenweg",     "Tulpenweg"};
inline const char* const kRanks[] = {"KHK", "KOK", "POK", "PHK", "KK"};

} // namespace kilvaro::demo
