// Word lists for the demo station lists: common first names and surnames,
// street names, and real towns with their postal-code area, call area and
// position (for a plausible locator). Every station made from them is
// invented: names and addresses are combined at random.
//
// Text is UTF-8; the generator converts it to the code page of each file.
#pragma once

#include <string_view>

namespace tolvo::demo::words {

struct Town {
  std::string_view name;
  std::string_view postal;  // the area part of the postal code ("00", "602", "K")
  char callArea;            // the call-area digit of the country's call signs
  double lat, lon;
  std::string_view region;  // province (Canada) or district code (Czech Republic)
};

// ---- Poland -----------------------------------------------------------------

inline constexpr std::string_view kPolishMen[] = {
    "Jan",       "Andrzej",   "Piotr",      "Krzysztof", "Stanisław",  "Tomasz",  "Paweł",
    "Józef",     "Marcin",    "Marek",      "Michał",    "Grzegorz",   "Jerzy",   "Tadeusz",
    "Adam",      "Łukasz",    "Zbigniew",   "Ryszard",   "Dariusz",    "Henryk",  "Mariusz",
    "Kazimierz", "Wojciech",  "Robert",     "Mateusz",   "Marian",     "Rafał",   "Jacek",
    "Janusz",    "Mirosław",  "Maciej",     "Sławomir",  "Jarosław",   "Kamil",   "Wiesław",
    "Roman",     "Władysław", "Jakub",      "Artur",     "Zdzisław",   "Edward",  "Mieczysław",
    "Damian",    "Dawid",     "Przemysław", "Sebastian", "Czesław",    "Leszek",  "Daniel",
    "Waldemar",  "Bogusław",  "Zenon",      "Witold",    "Bartłomiej", "Zygmunt", "Ireneusz",
    "Bolesław",  "Lech",      "Bogdan",     "Karol",
};

inline constexpr std::string_view kPolishWomen[] = {
    "Anna",     "Maria",    "Katarzyna", "Małgorzata", "Agnieszka", "Barbara",    "Ewa",
    "Krystyna", "Elżbieta", "Magdalena", "Joanna",     "Zofia",     "Teresa",     "Danuta",
    "Monika",   "Beata",    "Grażyna",   "Jadwiga",    "Halina",    "Bożena",     "Dorota",
    "Iwona",    "Jolanta",  "Urszula",   "Renata",     "Hanna",     "Aleksandra", "Justyna",
};

// Surnames in their masculine form; -ski, -cki and -dzki take -a for women.
inline constexpr std::string_view kPolishSurnames[] = {
    "Nowak",       "Kowalski",    "Wiśniewski",  "Wójcik",      "Kowalczyk",    "Kamiński",
    "Lewandowski", "Zieliński",   "Szymański",   "Woźniak",     "Dąbrowski",    "Kozłowski",
    "Jankowski",   "Mazur",       "Kwiatkowski", "Krawczyk",    "Piotrowski",   "Grabowski",
    "Nowakowski",  "Pawłowski",   "Michalski",   "Nowicki",     "Adamczyk",     "Dudek",
    "Zając",       "Wieczorek",   "Jabłoński",   "Król",        "Majewski",     "Olszewski",
    "Jaworski",    "Wróbel",      "Malinowski",  "Pawlak",      "Witkowski",    "Walczak",
    "Stępień",     "Górski",      "Rutkowski",   "Michalak",    "Sikora",       "Ostrowski",
    "Baran",       "Duda",        "Szewczyk",    "Tomaszewski", "Pietrzak",     "Marciniak",
    "Wróblewski",  "Zalewski",    "Jakubowski",  "Jasiński",    "Zawadzki",     "Sadowski",
    "Bąk",         "Chmielewski", "Włodarczyk",  "Borkowski",   "Czarnecki",    "Sawicki",
    "Sokołowski",  "Urbański",    "Kubiak",      "Maciejewski", "Szczepański",  "Kucharski",
    "Wilk",        "Kalinowski",  "Lis",         "Mazurek",     "Wysocki",      "Adamski",
    "Kaźmierczak", "Wasilewski",  "Sobczak",     "Czerwiński",  "Andrzejewski", "Cieślak",
    "Głowacki",    "Zakrzewski",  "Kołodziej",   "Sikorski",    "Krajewski",    "Gajewski",
    "Szulc",       "Baranowski",  "Laskowski",   "Brzeziński",  "Makowski",     "Ziółkowski",
    "Przybylski",  "Domański",    "Borowski",    "Błaszczyk",   "Chojnacki",    "Ciesielski",
    "Mróz",        "Szczepaniak", "Wesołowski",  "Górecki",     "Krupa",        "Leszczyński",
};

inline constexpr std::string_view kPolishStreets[] = {
    "Kościuszki",     "Mickiewicza", "Słowackiego",     "Sienkiewicza", "Piłsudskiego",
    "Kopernika",      "Szkolna",     "Ogrodowa",        "Polna",        "Leśna",
    "Lipowa",         "Długa",       "Krótka",          "Kwiatowa",     "Słoneczna",
    "Brzozowa",       "Wiejska",     "Kolejowa",        "Łąkowa",       "Źródlana",
    "Żeromskiego",    "Reymonta",    "Konopnickiej",    "Prusa",        "Orzeszkowej",
    "Chopina",        "Moniuszki",   "Jana Pawła II",   "3 Maja",       "Wojska Polskiego",
    "Armii Krajowej", "Grunwaldzka", "Batorego",        "Chrobrego",    "Mieszka I",
    "Zamkowa",        "Kościelna",   "Spacerowa",       "Parkowa",      "Sportowa",
    "Akacjowa",       "Klonowa",     "Dębowa",          "Świerkowa",    "Wrzosowa",
    "Różana",         "Ogińskiego",  "Żwirki i Wigury", "Nadbrzeżna",   "Ułańska",
};

// Kinds of street other than "ul.": an avenue, an estate, a square.
inline constexpr std::string_view kPolishAvenues[] = {
    "al. Niepodległości", "al. Jerozolimskie", "os. Słoneczne",
    "os. Tysiąclecia",    "pl. Wolności",      "pl. Grunwaldzki",
};

// Clubs' names as their members write them.
inline constexpr std::string_view kPolishClubs[] = {
    "Klub Krótkofalowców",           "Klub Łączności LOK",       "Harcerski Klub Łączności",
    "Studencki Klub Krótkofalowców", "Klub Krótkofal. PZK",      "Klub Łączności LOK przy ZST",
    "Rodzinny Klub Krótkofalowców",  "Klub Miłośników Pasm UKF", "Policyjny Klub Krótkofalowców",
};

// The Polish call areas: 1 West Pomerania, 2 Pomerania and Kuyavia, 3 Greater
// Poland and Lubusz, 4 Warmia-Masuria and Podlasie, 5 Masovia, 6 Lower Silesia
// and Opole, 7 Łódź and Holy Cross, 8 Lublin and Subcarpathia, 9 Silesia and
// Lesser Poland.
inline constexpr Town kPolishTowns[] = {
    {"Warszawa", "00", '5', 52.23, 21.01, ""},
    {"Kraków", "30", '9', 50.06, 19.94, ""},
    {"Łódź", "90", '7', 51.76, 19.46, ""},
    {"Wrocław", "50", '6', 51.11, 17.03, ""},
    {"Poznań", "60", '3', 52.41, 16.93, ""},
    {"Gdańsk", "80", '2', 54.35, 18.65, ""},
    {"Szczecin", "70", '1', 53.43, 14.55, ""},
    {"Bydgoszcz", "85", '2', 53.12, 18.01, ""},
    {"Lublin", "20", '8', 51.25, 22.57, ""},
    {"Białystok", "15", '4', 53.13, 23.16, ""},
    {"Katowice", "40", '9', 50.26, 19.02, ""},
    {"Gdynia", "81", '2', 54.52, 18.53, ""},
    {"Częstochowa", "42", '9', 50.81, 19.12, ""},
    {"Radom", "26", '5', 51.40, 21.15, ""},
    {"Toruń", "87", '2', 53.01, 18.60, ""},
    {"Kielce", "25", '7', 50.87, 20.63, ""},
    {"Rzeszów", "35", '8', 50.04, 22.00, ""},
    {"Gliwice", "44", '9', 50.29, 18.67, ""},
    {"Olsztyn", "10", '4', 53.78, 20.49, ""},
    {"Bielsko-Biała", "43", '9', 49.82, 19.05, ""},
    {"Opole", "45", '6', 50.67, 17.93, ""},
    {"Zielona Góra", "65", '3', 51.94, 15.51, ""},
    {"Gorzów Wielkopolski", "66", '3', 52.73, 15.24, ""},
    {"Koszalin", "75", '1', 54.19, 16.17, ""},
    {"Słupsk", "76", '2', 54.46, 17.03, ""},
    {"Elbląg", "82", '4', 54.16, 19.40, ""},
    {"Płock", "09", '5', 52.55, 19.70, ""},
    {"Tarnów", "33", '9', 50.01, 20.99, ""},
    {"Nowy Sącz", "33", '9', 49.62, 20.69, ""},
    {"Przemyśl", "37", '8', 49.78, 22.77, ""},
    {"Zamość", "22", '8', 50.72, 23.25, ""},
    {"Suwałki", "16", '4', 54.10, 22.93, ""},
    {"Łomża", "18", '4', 53.18, 22.06, ""},
    {"Siedlce", "08", '5', 52.17, 22.29, ""},
    {"Piła", "64", '3', 53.15, 16.74, ""},
    {"Leszno", "64", '3', 51.84, 16.57, ""},
    {"Kalisz", "62", '3', 51.76, 18.09, ""},
    {"Legnica", "59", '6', 51.21, 16.16, ""},
    {"Jelenia Góra", "58", '6', 50.90, 15.73, ""},
    {"Wałbrzych", "58", '6', 50.77, 16.28, ""},
    {"Sopot", "81", '2', 54.44, 18.56, ""},
    {"Zakopane", "34", '9', 49.30, 19.95, ""},
    {"Świnoujście", "72", '1', 53.91, 14.25, ""},
    {"Włocławek", "87", '2', 52.65, 19.07, ""},
    {"Grudziądz", "86", '2', 53.48, 18.75, ""},
    {"Ostrołęka", "07", '5', 53.08, 21.57, ""},
    {"Chełm", "22", '8', 51.13, 23.47, ""},
    {"Biała Podlaska", "21", '8', 52.03, 23.13, ""},
    {"Sanok", "38", '8', 49.56, 22.20, ""},
    {"Krosno", "38", '8', 49.69, 21.77, ""},
    {"Mielec", "39", '8', 50.29, 21.42, ""},
    {"Oświęcim", "32", '9', 50.04, 19.22, ""},
    {"Piotrków Trybunalski", "97", '7', 51.41, 19.70, ""},
    {"Skierniewice", "96", '7', 51.96, 20.15, ""},
    {"Ełk", "19", '4', 53.83, 22.36, ""},
    {"Kołobrzeg", "78", '1', 54.18, 15.58, ""},
};

// ---- Czech Republic ---------------------------------------------------------

inline constexpr std::string_view kCzechMen[] = {
    "Jan",      "Petr",      "Josef",    "Pavel",   "Jiří",      "Jaroslav", "Martin",  "Tomáš",
    "Miroslav", "František", "Zdeněk",   "Václav",  "Karel",     "Milan",    "Michal",  "Vladimír",
    "Lukáš",    "David",     "Ladislav", "Jakub",   "Stanislav", "Roman",    "Ondřej",  "Antonín",
    "Radek",    "Marek",     "Daniel",   "Vojtěch", "Miloslav",  "Luboš",    "Bohumil", "Oldřich",
};

inline constexpr std::string_view kCzechWomen[] = {
    "Jana",   "Marie", "Eva",      "Hana",  "Anna",     "Lenka",  "Kateřina",
    "Věra",   "Lucie", "Alena",    "Petra", "Ludmila",  "Helena", "Martina",
    "Zdeňka", "Jitka", "Michaela", "Ivana", "Veronika",
};

struct CzechSurname {
  std::string_view man, woman;
};

inline constexpr CzechSurname kCzechSurnames[] = {
    {"Novák", "Nováková"},      {"Svoboda", "Svobodová"},   {"Novotný", "Novotná"},
    {"Dvořák", "Dvořáková"},    {"Černý", "Černá"},         {"Procházka", "Procházková"},
    {"Kučera", "Kučerová"},     {"Veselý", "Veselá"},       {"Horák", "Horáková"},
    {"Němec", "Němcová"},       {"Marek", "Marková"},       {"Pospíšil", "Pospíšilová"},
    {"Pokorný", "Pokorná"},     {"Hájek", "Hájková"},       {"Král", "Králová"},
    {"Jelínek", "Jelínková"},   {"Růžička", "Růžičková"},   {"Beneš", "Benešová"},
    {"Fiala", "Fialová"},       {"Sedláček", "Sedláčková"}, {"Doležal", "Doležalová"},
    {"Zeman", "Zemanová"},      {"Kolář", "Kolářová"},      {"Navrátil", "Navrátilová"},
    {"Čermák", "Čermáková"},    {"Vaněk", "Vaňková"},       {"Urban", "Urbanová"},
    {"Blažek", "Blažková"},     {"Kříž", "Křížová"},        {"Kovář", "Kovářová"},
    {"Bartoš", "Bartošová"},    {"Vlček", "Vlčková"},       {"Polák", "Poláková"},
    {"Musil", "Musilová"},      {"Kopecký", "Kopecká"},     {"Šimek", "Šimková"},
    {"Konečný", "Konečná"},     {"Malý", "Malá"},           {"Holub", "Holubová"},
    {"Štěpánek", "Štěpánková"}, {"Kadlec", "Kadlecová"},    {"Dostál", "Dostálová"},
    {"Soukup", "Soukupová"},    {"Šťastný", "Šťastná"},     {"Mareš", "Marešová"},
    {"Moravec", "Moravcová"},   {"Sýkora", "Sýkorová"},     {"Tichý", "Tichá"},
    {"Valenta", "Valentová"},   {"Vávra", "Vávrová"},
};

inline constexpr std::string_view kCzechStreets[] = {
    "Hlavní",     "Nádražní",    "Školní",     "Husova",           "Masarykova",   "Palackého",
    "Komenského", "Tyršova",     "Jiráskova",  "Nerudova",         "Smetanova",    "Sokolská",
    "Zahradní",   "Polní",       "Lesní",      "Krátká",           "Dlouhá",       "Revoluční",
    "Žižkova",    "Havlíčkova",  "Na Výsluní", "U Potoka",         "Lidická",      "Wolkerova",
    "Bezručova",  "Štefánikova", "28. října",  "5. května",        "náměstí Míru", "Sadová",
    "Luční",      "Družstevní",  "Průmyslová", "Svatopluka Čecha",
};

// Call area 1 is Bohemia, 2 Moravia and Silesia.
inline constexpr Town kCzechTowns[] = {
    {"Praha", "110", '1', 50.08, 14.42, "PHA"},
    {"Brno", "602", '2', 49.20, 16.61, "BRN"},
    {"Ostrava", "702", '2', 49.83, 18.29, "OVA"},
    {"Plzeň", "301", '1', 49.75, 13.38, "PLZ"},
    {"Liberec", "460", '1', 50.77, 15.06, "LIB"},
    {"Olomouc", "779", '2', 49.59, 17.25, "OLO"},
    {"České Budějovice", "370", '1', 48.97, 14.47, "CBU"},
    {"Hradec Králové", "500", '1', 50.21, 15.83, "HKR"},
    {"Ústí nad Labem", "400", '1', 50.66, 14.03, "ULA"},
    {"Pardubice", "530", '1', 50.04, 15.78, "PAR"},
    {"Zlín", "760", '2', 49.22, 17.66, "ZLN"},
    {"Havířov", "736", '2', 49.78, 18.43, "KAR"},
    {"Kladno", "272", '1', 50.15, 14.10, "KLA"},
    {"Most", "434", '1', 50.50, 13.64, "MOS"},
    {"Opava", "746", '2', 49.94, 17.90, "OPA"},
    {"Frýdek-Místek", "738", '2', 49.68, 18.35, "FMI"},
    {"Karviná", "733", '2', 49.85, 18.54, "KAR"},
    {"Jihlava", "586", '2', 49.40, 15.59, "JIH"},
    {"Teplice", "415", '1', 50.64, 13.82, "TEP"},
    {"Děčín", "405", '1', 50.77, 14.21, "DEC"},
    {"Karlovy Vary", "360", '1', 50.23, 12.87, "KVA"},
    {"Chomutov", "430", '1', 50.46, 13.42, "CHO"},
    {"Jablonec nad Nisou", "466", '1', 50.72, 15.17, "JAB"},
    {"Mladá Boleslav", "293", '1', 50.41, 14.90, "MBO"},
    {"Prostějov", "796", '2', 49.47, 17.11, "PRO"},
    {"Přerov", "750", '2', 49.46, 17.45, "PRE"},
    {"Třebíč", "674", '2', 49.22, 15.88, "TRE"},
    {"Tábor", "390", '1', 49.41, 14.68, "TAB"},
    {"Znojmo", "669", '2', 48.86, 16.05, "ZNO"},
    {"Kolín", "280", '1', 50.03, 15.20, "KOL"},
    {"Písek", "397", '1', 49.31, 14.15, "PIS"},
    {"Trutnov", "541", '1', 50.56, 15.91, "TRU"},
    {"Cheb", "350", '1', 50.08, 12.37, "CHE"},
    {"Kroměříž", "767", '2', 49.30, 17.39, "KRO"},
    {"Frenštát pod Radhoštěm", "744", '2', 49.55, 18.21, "NJI"},
    {"Brandýs nad Labem-Stará Boleslav", "250", '1', 50.19, 14.66, "PHV"},
};

// ---- Canada -----------------------------------------------------------------

inline constexpr std::string_view kCanadianMen[] = {
    "John",    "Robert", "James",  "Michael", "William", "David",  "Richard", "Joseph",  "Thomas",
    "Charles", "Daniel", "Paul",   "Mark",    "Donald",  "George", "Kenneth", "Steven",  "Brian",
    "Kevin",   "Gary",   "Ronald", "Douglas", "Gordon",  "Wayne",  "Bruce",   "Ian",     "Gerald",
    "Raymond", "Peter",  "Allan",  "Jean",    "Pierre",  "Michel", "André",   "Jacques", "Luc",
    "Marc",    "Denis",  "Guy",    "Claude",  "Réal",    "Gilles", "Normand", "Yves",    "Serge",
};

inline constexpr std::string_view kCanadianWomen[] = {
    "Mary",  "Susan", "Linda",  "Patricia", "Barbara", "Nancy",  "Karen", "Carol",   "Margaret",
    "Janet", "Diane", "Louise", "Marie",    "Nicole",  "Sylvie", "Lise",  "Chantal", "Josée",
};

inline constexpr std::string_view kCanadianSurnames[] = {
    "Smith",   "Brown",     "Tremblay", "Martin",    "Roy",      "Wilson",   "MacDonald",
    "Gagnon",  "Johnson",   "Taylor",   "Côté",      "Campbell", "Anderson", "Leblanc",
    "Lee",     "Jones",     "White",    "Williams",  "Miller",   "Thompson", "Gauthier",
    "Young",   "Morin",     "Stewart",  "Scott",     "Ross",     "Bouchard", "Fortin",
    "Lavoie",  "Pelletier", "Bélanger", "Lévesque",  "Bergeron", "Fraser",   "Murray",
    "Reid",    "Clarke",    "Graham",   "Robertson", "Mitchell", "Kelly",    "Wright",
    "Hall",    "Walker",    "McKenzie", "Cameron",   "Ouellet",  "Girard",   "Caron",
    "Poirier", "Hébert",    "Chan",     "Wong",      "Singh",    "Friesen",  "Kowalchuk",
};

inline constexpr std::string_view kCanadianStreets[] = {
    "Main St",        "King St",         "Queen St",
    "Maple Ave",      "Oak St",          "Elm St",
    "Pine Cres",      "Cedar Dr",        "Park Rd",
    "Church St",      "Victoria St",     "Lakeshore Rd",
    "Wellington St",  "Birch Lane",      "Hillcrest Ave",
    "Rue Principale", "Rue Saint-Denis", "Boul. des Laurentides",
    "Chemin du Lac",  "Rue des Érables", "Sunset Blvd",
    "Railway Ave",    "Centre St",       "Mountain Rd",
};

// Call area: the digit of VE1..VE9, VA2/3/7, VO1, VY1/2; the prefix letters
// follow from the province (see the generator).
inline constexpr Town kCanadianTowns[] = {
    {"Toronto", "M", '3', 0, 0, "ON"},       {"Ottawa", "K", '3', 0, 0, "ON"},
    {"Hamilton", "L", '3', 0, 0, "ON"},      {"London", "N", '3', 0, 0, "ON"},
    {"Kingston", "K", '3', 0, 0, "ON"},      {"Sudbury", "P", '3', 0, 0, "ON"},
    {"Thunder Bay", "P", '3', 0, 0, "ON"},   {"Barrie", "L", '3', 0, 0, "ON"},
    {"Montréal", "H", '2', 0, 0, "QC"},      {"Québec", "G", '2', 0, 0, "QC"},
    {"Laval", "H", '2', 0, 0, "QC"},         {"Gatineau", "J", '2', 0, 0, "QC"},
    {"Sherbrooke", "J", '2', 0, 0, "QC"},    {"Rimouski", "G", '2', 0, 0, "QC"},
    {"Lévis", "G", '2', 0, 0, "QC"},         {"Vancouver", "V", '7', 0, 0, "BC"},
    {"Victoria", "V", '7', 0, 0, "BC"},      {"Kelowna", "V", '7', 0, 0, "BC"},
    {"Prince George", "V", '7', 0, 0, "BC"}, {"Calgary", "T", '6', 0, 0, "AB"},
    {"Edmonton", "T", '6', 0, 0, "AB"},      {"Red Deer", "T", '6', 0, 0, "AB"},
    {"Winnipeg", "R", '4', 0, 0, "MB"},      {"Brandon", "R", '4', 0, 0, "MB"},
    {"Regina", "S", '5', 0, 0, "SK"},        {"Saskatoon", "S", '5', 0, 0, "SK"},
    {"Halifax", "B", '1', 0, 0, "NS"},       {"Truro", "B", '1', 0, 0, "NS"},
    {"Fredericton", "E", '9', 0, 0, "NB"},   {"Moncton", "E", '9', 0, 0, "NB"},
    {"St. John's", "A", '1', 0, 0, "NL"},    {"Corner Brook", "A", '1', 0, 0, "NL"},
    {"Charlottetown", "C", '2', 0, 0, "PE"}, {"Whitehorse", "Y", '1', 0, 0, "YT"},
    {"Yellowknife", "X", '8', 0, 0, "NT"},
};

}  // namespace tolvo::demo::words
