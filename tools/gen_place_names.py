#!/usr/bin/env python3
"""Writes data/place_names.tsv, the place-name table, from the hand-kept list below.

    python3 tools/gen_place_names.py            # rewrites data/place_names.tsv
    python3 tools/gen_place_names.py --check    # fails if data/place_names.tsv is not what it would write

The keys are town texts as the Polish station list holds them after the
postal code, once trimmed and upper-cased.  The list stores Polish letters in
the Mazovia code page, and upper-casing by the Windows-1250 rules treats
those bytes as Windows-1250 characters, so a place has one key per way it is
written there:

  A  without Polish letters, in capitals     RZESZOW
  M  in mixed case, Mazovia letters          Rzeszów -> RZESZ\\xA2W
  C  in capitals, Mazovia letters            RZESZÓW -> RZESZ\\xA3W

(mixed-case ł, 0x92, and ó, 0xA2, are no Windows-1250 letters and stay;
ś, 0x9E, is Windows-1250 ž and becomes 0x8E; capital Ł, 0x9C, is
Windows-1250 ś and becomes 0x8C).

Every place gets its A form.  A place marked [AMC] gets all three forms; of
the M and C forms of the other places a fixed-seed draw keeps as many as the
table's size calls for.  Variants after "|" are written as they occur in the
list (abbreviations, post-office numbers, additions, postal codes that kept
no hyphen, remains of neighbouring fields); each gives the key it would give
there.  A few keys are no places and map to the empty value, and a few keys
were entered a second time, with the same value; lookups take the first row.

The table is ours, compiled from real Polish place names (towns and larger
villages); it is not an authoritative gazetteer.
"""

import random

from nametables import key_values, write_table
from sourcebytes import BLANKS, to_mazovia, tsv_key, upper_1250, without_polish_letters

# place [AMC] | variant | variant ...
NAMES = """
# dolnośląskie
Bardo
Bielawa
Bierutów
Bogatynia
Boguszów-Gorce
Bolesławiec
Bolków
Brzeg Dolny
Bystrzyca Kłodzka
Chocianów
Chojnów
Duszniki-Zdrój | DUSZNIKI ZDROJ
Dzierżoniów
Głogów
Głuszyca
Góra | GORA WOJ. LESZNO
Gryfów Śląski
Jawor
Jaworzyna Śląska
Jedlina-Zdrój
Jelcz-Laskowice | JELCZ LASKOWICE
Jelenia Góra | JELENIA GORA 1 | JEL. GORA
Kamienna Góra | KAMIENNA G.
Karpacz
Kąty Wrocławskie | KATY WROCL.
Kłodzko
Kowary
Kudowa-Zdrój | KUDOWA ZDROJ
Lądek-Zdrój
Legnica | LEGNICA 1
Leśna
Lewin Kłodzki
Lubań
Lubawka
Lubin | LUBIN 1
Lubomierz
Lwówek Śląski | LWOWEK SL.
Mieroszów
Międzybórz
Międzylesie
Milicz
Mirsk
Nowa Ruda
Nowogrodziec
Oborniki Śląskie | OBORNIKI SL.
Oleśnica
Olszyna
Oława
Piechowice
Pieńsk
Pieszyce
Polanica-Zdrój | POLANICA ZDROJ
Polkowice
Prochowice
Prusice
Przemków
Radków
Siechnice
Sobótka
Stronie Śląskie
Strzegom
Strzelin
Syców
Szczawno-Zdrój
Szczytna
Szklarska Poręba | SZKLARSKA POR.
Ścinawa
Środa Śląska | SRODA SL.
Świdnica | SWIDNICA 1
Świebodzice
Świeradów-Zdrój
Świerzawa
Trzebnica
Twardogóra
Wałbrzych | WALBRZYCH 1 | WALBRZYCH-2
Wąsosz
Węgliniec
Wiązów
Wleń
Wojcieszów
Wołów
Wrocław [AMC] | WROCLAW 2 | WROCLAW 45 | WROCLAW-12 | 53611 WROCLAW | WROCLAW POLAND | WROCLAW; | WROCŁAW 2
Zawidów
Ząbkowice Śląskie | ZABKOWICE SL.
Zgorzelec
Ziębice
Złotoryja
Złoty Stok
Żarów
Żmigród
Bielany Wrocławskie
Kobierzyce
Długołęka
Czernica
Miękinia
Mysłakowice
Pęcław
Kamieniec Ząbkowicki
Sosnówka
# kujawsko-pomorskie
Aleksandrów Kujawski [AMC] | ALEKSANDROW KUJ. | ALEKSANDROW K.
Barcin
Brodnica
Brześć Kujawski
Bydgoszcz [AMC] | BYDGOSZCZ 43 | BYDGOSZCZ 1 | BYDGOSZCZ-10 | 85950 BYDGOSZCZ | BYDGOSZCZ-FORDON
Chełmno
Chełmża
Chodecz
Ciechocinek
Dobrzyń nad Wisłą | DOBRZYN N/WISLA
Gniewkowo
Golub-Dobrzyń | GOLUB DOBRZYN
Górzno
Grudziądz | GRUDZIADZ 1
Inowrocław | INOWROCLAW 1
Izbica Kujawska
Jabłonowo Pomorskie
Janikowo
Kamień Krajeński
Kcynia
Koronowo
Kowal
Kowalewo Pomorskie
Kruszwica
Lipno
Lubień Kujawski
Lubraniec
Łabiszyn
Łasin
Mogilno
Mrocza
Nakło nad Notecią | NAKLO N/NOTECIA | NAKLO N.NOTECIA | NAKLO
Nieszawa
Nowe | NOWE WOJ. BYDGOSZCZ | NOWE N/WISLA
Pakość
Piotrków Kujawski
Radziejów
Radzyń Chełmiński
Rypin
Sępólno Krajeńskie | SEPOLNO KRAJ.
Skępe
Solec Kujawski
Strzelno
Szubin
Świecie | SWIECIE N/WISLA
Toruń [AMC] | TORUN 1 | TORUN 9 | 87100 TORUN
Tuchola
Wąbrzeźno
Więcbork
Włocławek | WLOCLAWEK 1
Żnin
Białe Błota
Osielsko
Wielka Nieszawka
Obrowo
Lubicz
Stolno
Kęsowo
Zakrzewo
Płużnica
Osiek
# lubelskie
Annopol
Bełżyce
Biała Podlaska | BIALA PODL. | BIALA PODLASKA 1
Biłgoraj
Bychawa
Chełm | CHELM LUBELSKI | CHELM 1
Dęblin
Frampol
Hrubieszów
Janów Lubelski | JANOW LUB.
Józefów nad Wisłą
Kazimierz Dolny
Kock
Krasnobród
Krasnystaw
Kraśnik | KRASNIK FABR.
Lubartów
Lublin [AMC] | LUBLIN 20 | LUBLIN 1 | LUBLIN-8 | 20950 LUBLIN
Łaszczów
Łęczna
Łuków
Międzyrzec Podlaski | MIEDZYRZEC PODL.
Modliborzyce
Nałęczów
Opole Lubelskie | OPOLE LUB.
Ostrów Lubelski
Parczew
Piaski
Poniatowa
Puławy
Radzyń Podlaski | RADZYN PODL.
Rejowiec Fabryczny
Ryki
Stoczek Łukowski
Szczebrzeszyn
Świdnik
Tarnogród
Terespol
Tomaszów Lubelski | TOMASZOW LUB.
Tyszowce
Włodawa
Zamość | ZAMOSC 1
Zwierzyniec
Wąwolnica
Kurów
Końskowola
Niemce k/Lublina
Jastków
Konopnica
Głusk
Puchaczów
Uchanie
Łabunie
Tereszpol
Zakrzówek
Ułęż
Ulan-Majorat
Janów Podlaski
Kodeń
Sławatycze
Milanów
Białopole
Dorohusk
Ruda-Huta
Baranów
# lubuskie
Babimost
Bytom Odrzański
Cybinka
Czerwieńsk
Dobiegniew
Drezdenko
Gorzów Wielkopolski [AMC] | GORZOW WLKP. | GORZOW WLKP | GORZOW WIELKOP. | GORZOW WLKP 1
Gozdnica
Gubin
Iłowa
Jasień
Kargowa
Kostrzyn nad Odrą | KOSTRZYN N/ODRA | KOSTRZYN N.ODRA
Kożuchów
Krosno Odrzańskie | KROSNO ODRZ.
Lubniewice
Lubsko
Łęknica
Małomice
Międzyrzecz
Nowa Sól | NOWA SOL 1
Nowe Miasteczko
Nowogród Bobrzański
Ośno Lubuskie
Rzepin
Skwierzyna
Sława
Słubice
Strzelce Krajeńskie | STRZELCE KRAJ.
Sulechów
Sulęcin
Szlichtyngowa
Szprotawa
Świebodzin
Torzym
Trzciel
Witnica
Wschowa
Zbąszynek
Zielona Góra [AMC] | ZIELONA GORA 1 | ZIELONA G. | Z. GORA | 65001 ZIELONA GORA
Żagań
Żary
Otyń
Przytoczna
Tuplice
Zabór
# łódzkie
Aleksandrów Łódzki [AMC] | ALEKSANDROW LODZ. | ALEKSANDROW L.
Bełchatów
Biała Rawska
Błaszki
Brzeziny
Drzewica
Działoszyn
Głowno
Kamieńsk
Koluszki
Konstantynów Łódzki | KONSTANTYNOW LODZ.
Krośniewice
Kutno
Łask
Łęczyca
Łowicz
Łódź [AMC] | LODZ 40 | LODZ-1 | LODZ 5 | 90006 LODZ | LODZ;; | Łódź 1 | ŁÓDŹ 1
Opoczno
Ozorków
Pabianice
Pajęczno
Piotrków Trybunalski | PIOTRKOW TRYB. | PIOTRKOW TRYB | PIOTRKOW
Poddębice
Przedbórz
Radomsko
Rawa Mazowiecka | RAWA MAZ.
Rzgów
Sieradz
Skierniewice
Stryków
Sulejów
Szadek
Tomaszów Mazowiecki | TOMASZOW MAZ.
Tuszyn
Uniejów
Warta
Wieluń
Wieruszów
Wolbórz
Zduńska Wola | ZDUNSKA W.
Zelów
Zgierz
Złoczew
Żychlin
Kleszczów
Ksawerów
Andrespol
Nowosolna
Wartkowice
Chąśno
Maków
Barczew | BARCZEW WOJ. SIERADZ
Aleksandrów
Drużbice
Gidle
Paradyż
Mokrsko
Łubnice
# małopolskie
Alwernia
Andrychów
Babice k/Oświęcimia [AMC] | BABICE K. OSWIECIMIA | BABICE WOJ. BIELSKO-BIALA
Biecz
Bobowa
Bochnia
Brzesko
Brzeszcze
Bukowno
Chełmek
Chrzanów
Ciężkowice
Czchów
Dąbrowa Tarnowska | DABROWA TARN.
Dobczyce
Gorlice
Grybów
Jordanów
Kalwaria Zebrzydowska | KALWARIA ZEBRZ.
Kęty
Kraków [AMC] | KRAKOW 30 | KRAKOW-9 | KRAKOW 1 | KRAKOW-NOWA HUTA | 31415 KRAKOW | 30059 KRAKOW | KRAKOW; | Kraków 30 | KRAKÓW 30
Krynica-Zdrój | KRYNICA ZDROJ | KRYNICA
Krzeszowice
Libiąż
Limanowa
Maków Podhalański | MAKOW PODH.
Miechów
Mszana Dolna
Muszyna
Myślenice
Niepołomice
Nowy Sącz [AMC] | N. SACZ | N.SACZ | NOWY SACZ 1
Nowy Targ | N. TARG | N.TARG
Nowy Wiśnicz
Olkusz
Oświęcim | OSWIECIM 1
Piwniczna-Zdrój | PIWNICZNA
Proszowice
Rabka-Zdrój | RABKA | RABKA ZDROJ
Radłów
Ryglice
Skała
Skawina
Słomniki
Stary Sącz | ST. SACZ
Sucha Beskidzka | SUCHA BESK.
Sułkowice
Szczawnica
Szczucin
Świątniki Górne
Tarnów [AMC] | TARNOW 3 | TARNOW 1 | TARNOW-MOSCICE | 33100 TARNOW
Trzebinia
Tuchów
Wadowice
Wieliczka
Wojnicz
Wolbrom
Zakliczyn
Zakopane
Zator
Żabno
Nowe Brzesko
Książ Wielki
Łącko
Łabowa
Czarny Dunajec
Poronin
Bukowina Tatrzańska
Kościelisko
Biały Dunajec
Szaflary
Zawoja
Lanckorona
Mucharz
Mogilany
Liszki
Czernichów
Zabierzów
Wielka Wieś
Zielonki k/Krakowa | ZIELONKI WOJ. KRAKOW | ZIELONKI K. KRAKOWA
Michałowice k/Krakowa | MICHALOWICE WOJ. KRAKOW
Igołomia
Gdów
Kłaj
Lubień
Łukowica
Bolesław
Rzezawa
Gromnik
Skrzyszów k/Tarnowa | SKRZYSZOW WOJ. TARNOW
Klucze
Racławice
Krościenko nad Dunajcem | KROSCIENKO N/DUNAJCEM | KROSCIENKO
# mazowieckie
Białobrzegi
Bieżuń
Błonie
Brok
Brwinów
Chorzele
Ciechanów | CIECHANOW 1
Drobin
Garwolin
Gąbin
Glinojeck
Gostynin
Góra Kalwaria
Grodzisk Mazowiecki | GRODZISK MAZ. | GRODZISK MAZ
Grójec
Halinów
Iłża
Józefów k/Otwocka | JOZEFOW K. OTWOCKA
Kałuszyn
Karczew
Kobyłka
Konstancin-Jeziorna | KONSTANCIN JEZIORNA | KONSTANCIN-JEZ. | KONSTANCIN
Kosów Lacki
Kozienice
Legionowo
Lipsko
Łaskarzew
Łochów
Łomianki
Łosice
Maków Mazowiecki | MAKOW MAZ.
Marki
Milanówek
Mińsk Mazowiecki | MINSK MAZ. | MINSK MAZ
Mława
Mogielnica
Mordy
Mszczonów
Myszyniec
Nasielsk
Nowe Miasto nad Pilicą | NOWE MIASTO N/PILICA | NOWE MIASTO N. PILICA
Nowy Dwór Mazowiecki | NOWY DWOR MAZ. | NOWY DWOR MAZ
Ostrołęka | OSTROLEKA 1
Ostrów Mazowiecka | OSTROW MAZ. | OSTROW MAZ
Otwock
Ożarów Mazowiecki | OZAROW MAZ.
Piaseczno
Piastów
Pilawa
Pionki
Płock | PLOCK 1 | PLOCK-4
Płońsk
Podkowa Leśna
Pruszków | PRUSZKOW 1
Przasnysz
Przysucha
Pułtusk
Raciąż
Radom | RADOM 6 | RADOM 1 | 26600 RADOM
Radzymin
Różan
Serock
Siedlce | SIEDLCE 1
Sierpc
Skaryszew
Sochaczew
Sokołów Podlaski | SOKOLOW PODL.
Sulejówek
Szydłowiec
Tarczyn
Tłuszcz
Warka
Warszawa [AMC] | WARSZAWA 1 | WARSZAWA 22 | WARSZAWA-33 | WARSZAWA 4 | WARSZAWA 86 | WARSZAWA-WAWER | WARSZAWA-URSUS | W-WA | WWA | WARSZAWA;
Węgrów
Wołomin
Wyszków
Wyszogród
Ząbki
Zakroczym
Zielonka
Zwoleń
Żelechów
Żuromin
Żyrardów
Sanniki
Szczutowo
Dzierzgowo
Ojrzeń
Lelis
Michałowice k/Warszawy | MICHALOWICE WOJ. WARSZAWA
Izabelin
Lesznowola | LESZNOWOLA WOJ. WARSZAWA
Nadarzyn
Raszyn
Stare Babice
Jabłonna
Wieliszew
Nieporęt
Poświętne k/Wołomina
Jadów
Wiązowna
Celestynów
Siennica
Gniewoszów
Borkowice
Radzanów k/Białobrzegów
Błędów
Kazanów
Stoczek
Sarnaki
Czerwińsk nad Wisłą | CZERWINSK N/WISLA
# opolskie
Baborów
Biała | BIALA WOJ. OPOLE
Brzeg | BRZEG 1
Byczyna
Dobrodzień
Głogówek
Głubczyce
Głuchołazy
Gogolin
Gorzów Śląski
Grodków
Kędzierzyn-Koźle [AMC] | KEDZIERZYN KOZLE | KEDZIERZYN-K. | KEDZIERZYN | K-KOZLE
Kietrz
Kluczbork
Kolonowskie
Korfantów
Krapkowice
Leśnica
Lewin Brzeski
Namysłów
Niemodlin
Nysa | NYSA 1
Olesno
Opole [AMC] | OPOLE 1 | OPOLE-5 | 45950 OPOLE
Otmuchów
Ozimek
Paczków
Praszka
Prudnik
Strzelce Opolskie | STRZELCE OPOL. | STRZELCE OP.
Ujazd
Wołczyn
Zawadzkie
Zdzieszowice
Chrząstowice
Dąbrowa k/Opola | DABROWA WOJ. OPOLE
Pawłowiczki
Świerczów
Radłów k/Olesna
# podkarpackie
Baranów Sandomierski [AMC] | BARANOW SAND. | BARANOW SANDOM.
Błażowa
Boguchwała
Brzostek
Brzozów
Cieszanów
Dębica | DEBICA 1
Dukla
Dynów
Głogów Małopolski | GLOGOW MLP. | GLOGOW MALOP.
Iwonicz-Zdrój | IWONICZ ZDROJ | IWONICZ
Jarosław | JAROSLAW 1
Jasło | JASLO 1
Jedlicze
Kańczuga
Kolbuszowa
Kołaczyce
Krosno | KROSNO 1
Lesko
Leżajsk
Lubaczów
Łańcut
Mielec | MIELEC 1
Narol
Nisko
Nowa Dęba
Nowa Sarzyna
Oleszyce
Pilzno
Pruchnik
Przecław
Przemyśl | PRZEMYSL 1 | PRZEMYSL-2
Przeworsk
Radomyśl Wielki
Radymno
Ropczyce
Rudnik nad Sanem | RUDNIK N/SANEM
Rymanów
Rzeszów [AMC] | 35036 RZESZOW | RZESZOW 2 | RZESZOW 1 | RZESZOW-9 | 35959 RZESZOW | RZESZÓW 2
Sanok | SANOK 1
Sędziszów Małopolski | SEDZISZOW MLP. | SEDZISZOW MALOP.
Sieniawa
Sokołów Małopolski | SOKOLOW MLP.
Stalowa Wola | STALOWA WOLA 1 | ST. WOLA
Strzyżów
Tarnobrzeg | TARNOBRZEG 1
Tyczyn
Ulanów
Ustrzyki Dolne
Zagórz
Cisna
Polańczyk
Bircza
Chłopice
Tryńcza
Białobrzegi k/Łańcuta
Harasiuki
Majdan Królewski
Padew Narodowa
Krasne
Świlcza
Trzebownisko
Żyraków
Korczyna
Komańcza
Solina
Ustrzyki Górne
Wetlina
# podlaskie
Augustów
Białystok [AMC] | BIALYSTOK 1 | BIALYSTOK 11 | BIALYSTOK-5 | 15950 BIALYSTOK
Bielsk Podlaski | BIELSK PODL.
Brańsk
Choroszcz
Ciechanowiec
Czarna Białostocka
Czyżew
Dąbrowa Białostocka
Drohiczyn
Goniądz
Grajewo
Hajnówka
Jedwabne
Kleszczele
Knyszyn
Kolno
Krynki
Lipsk
Łapy
Łomża | LOMZA 1
Michałowo
Mońki
Nowogród
Rajgród
Sejny
Siemiatycze
Sokółka
Stawiski
Supraśl
Suchowola
Suraż
Suwałki | SUWALKI 1
Szczuczyn
Szepietowo
Tykocin
Wasilków
Wysokie Mazowieckie | WYSOKIE MAZ.
Zabłudów
Zambrów
Juchnowiec Kościelny
Puńsk
Krasnopol
Giby
Płaska
Sztabin
Filipów
Raczki
Wiżajny
Czeremcha
Czyże
Białowieża
Narewka
Mielnik
Perlejewo
Wizna
Piątnica
Śniadowo
Wąsosz k/Grajewa
Nowy Dwór
# pomorskie
Bytów
Chojnice | CHOJNICE 1
Czarna Woda
Czarne
Czersk
Człuchów
Debrzno
Dzierzgoń
Gdańsk [AMC] | GDANSK 50 | GDANSK 1 | GDANSK-OLIWA | GDANSK-WRZESZCZ | GDANSK 6 | 80958 GDANSK | GDANSK;POLAND | Gdańsk 50
Gdynia [AMC] | GDYNIA 1 | GDYNIA 16 | GDYNIA-ORLOWO | GDYNIA;TEL.
Gniew
Hel
Jastarnia
Kartuzy
Kępice
Kościerzyna
Krynica Morska
Lębork
Łeba
Malbork
Miastko
Nowy Dwór Gdański | NOWY DWOR GD.
Nowy Staw
Pelplin
Prabuty
Pruszcz Gdański | PRUSZCZ GD. | PRUSZCZ GDANSKI 1
Puck
Reda
Rumia
Skarszewy
Skórcz
Słupsk | SLUPSK 1 | SLUPSK-11
Sopot | SOPOT 1
Starogard Gdański | STAROGARD GD. | STAROGARD
Sztum
Tczew | TCZEW 1
Ustka
Wejherowo
Władysławowo
Żukowo
Brusy
Kolbudy
Kosakowo
Somonino
Sierakowice
Przodkowo
Chmielno
Stężyca k/Kartuz
Kołczygłowy
Dębnica Kaszubska
Smołdzino
Kobylnica
Wicko
Choczewo
Gniewino
Łęczyce
Luzino
Szemud
Krokowa
Karsin
Liniewo
Kaliska
Lubichowo
Zblewo
Ostaszewo
Stegna
Sztutowo
Jurata
Chałupy
Kuźnica k/Helu
Jastrzębia Góra
# śląskie
Będzin | BEDZIN 1
Bielsko-Biała [AMC] | BIELSKO-B. | BIELSKO B. | BIELSKO BIALA | BIELSKO-BIALA 1 | BIELSKO-BIALA 2 | B-BIALA | BIELSKO
Bieruń
Blachownia
Bytom [AMC] | BYTOM-23 | BYTOM 1 | BYTOM 4
Chorzów | CHORZOW 1 | CHORZOW BATORY
Cieszyn | CIESZYN 1
Czechowice-Dziedzice | CZECHOWICE-DZ. | CZECHOWICE DZIEDZICE | CZECHOWICE
Czeladź
Czerwionka-Leszczyny | CZERWIONKA
Częstochowa [AMC] | CZESTOCHOWA 20 | CZESTOCHOWA 1 | CZESTOCHOWA-13 | 42200 CZESTOCHOWA
Dąbrowa Górnicza | DABROWA GORN. | DABROWA G.
Gliwice | GLIWICE 1 | GLIWICE-9
Imielin
Jastrzębie-Zdrój | JASTRZEBIE ZDROJ | JASTRZEBIE Z. | JASTRZEBIE
Jaworzno | JAWORZNO 1
Kalety
Katowice [AMC] | KATOWICE 8 | KATOWICE 1 | KATOWICE-15 | 40950 KATOWICE | KATOWICE POLAND
Kłobuck
Knurów
Koniecpol
Koziegłowy
Krzanowice
Krzepice
Kuźnia Raciborska
Lędziny
Lubliniec
Łaziska Górne
Łazy
Miasteczko Śląskie
Mikołów
Mysłowice
Myszków
Ogrodzieniec
Orzesze
Piekary Śląskie | PIEKARY SL. | PIEKARY
Pilica
Poręba
Pszczyna
Pszów
Pyskowice
Racibórz | RACIBORZ 1
Radlin
Radzionków
Ruda Śląska | RUDA SL. | RUDA SLASKA 1
Rybnik | RYBNIK 1 | RYBNIK-BOGUSZOWICE
Rydułtowy
Siemianowice Śląskie | SIEMIANOWICE SL. | SIEMIANOWICE
Siewierz
Skoczów
Sławków
Sosnowiec | SOSNOWIEC 9 | SOSNOWIEC 1
Sośnicowice
Strumień
Szczekociny
Szczyrk
Świętochłowice
Tarnowskie Góry | TARNOWSKIE G. | T. GORY
Toszek
Tychy | TYCHY 1
Ustroń
Wilamowice
Wisła
Wodzisław Śląski | WODZISLAW SL.
Wojkowice
Woźniki
Zabrze | ZABRZE 9 | ZABRZE 1
Zawiercie
Żarki
Żory
Żywiec
Mstów
Kłomnice
Rędziny
Poczesna
Konopiska
Kamienica Polska
Mykanów
Porąbka
Kozy
Wilkowice
Jaworze
Bestwina
Ślemień
Gilowice
Brenna
Istebna
Pawłowice
Suszec
Goczałkowice-Zdrój
Kobiór
Wyry
Ornontowice
Gierałtowice
Wielowieś
Zbrosławice
Świerklaniec
Ożarowice
Opatów k/Kłobucka
Panki
Gaszowice
Czernichów k/Żywca
# świętokrzyskie
Bodzentyn
Busko-Zdrój | BUSKO ZDROJ | BUSKO
Chęciny
Ćmielów
Daleszyce
Działoszyce
Jędrzejów
Kazimierza Wielka
Kielce [AMC] | KIELCE 23 | KIELCE 1 | KIELCE-5 | 25900 KIELCE
Końskie
Koprzywnica
Kunów
Małogoszcz
Opatów
Ostrowiec Świętokrzyski | OSTROWIEC SW. | OSTROWIEC SWIETOKRZ. | OSTROWIEC
Ożarów
Pińczów
Połaniec
Sandomierz
Sędziszów
Skalbmierz
Skarżysko-Kamienna | SKARZYSKO KAMIENNA | SKARZYSKO-KAM. | SKARZYSKO
Starachowice | STARACHOWICE 1
Staszów
Stopnica
Suchedniów
Wąchock
Włoszczowa
Zawichost
Nowa Słupia
Bieliny
Górno
Masłów
Miedziana Góra
Mniów
Zagnańsk
Łopuszno
Piekoszów
Strawczyn
Pierzchnica
Raków
Bałtów
Mirzec
Łączna
Bliżyn
Stąporków
Gowarczów
Nagłowice
Oksa
Sobków
Imielno
Kije
Pacanów
Solec-Zdrój
Wiślica
Oleśnica k/Staszowa
Rytwiany
Bogoria
Klimontów
Samborzec
Dwikozy
Łoniów
Morawica
Nowiny
# warmińsko-mazurskie
Barczewo
Bartoszyce
Biała Piska
Biskupiec
Bisztynek
Braniewo
Dobre Miasto
Działdowo
Elbląg [AMC] | ELBLAG 1 | ELBLAG-7
Ełk | ELK 1
Frombork
Giżycko
Gołdap
Górowo Iławeckie
Iława
Jeziorany
Kętrzyn
Kisielice
Korsze
Lidzbark
Lidzbark Warmiński | LIDZBARK WARM.
Lubawa
Mikołajki
Miłakowo
Miłomłyn
Młynary
Morąg
Mrągowo
Nidzica
Nowe Miasto Lubawskie | NOWE MIASTO LUB. | NOWE M. LUB.
Olecko
Olsztyn [AMC] | OLSZTYN 5 | OLSZTYN 1 | OLSZTYN-12 | 10900 OLSZTYN
Olsztynek
Orneta
Orzysz
Ostróda
Pasłęk
Pasym
Pieniężno
Pisz
Reszel
Ruciane-Nida | RUCIANE NIDA | RUCIANE
Ryn
Sępopol
Susz
Szczytno
Tolkmicko
Węgorzewo
Zalewo
Dywity k/Olsztyna
Gietrzwałd
Purda
Stawiguda
Iłowo-Osada
Dubeninki
Barciany
Godkowo
# wielkopolskie
Borek Wielkopolski
Buk
Chodzież
Czarnków
Czempiń
Czerniejewo
Dąbie
Dobrzyca
Dolsk
Gniezno | GNIEZNO 1
Golina
Gostyń
Grabów nad Prosną | GRABOW N/PROSNA
Grodzisk Wielkopolski | GRODZISK WLKP. | GRODZISK WLKP
Jarocin
Jastrowie
Jutrosin
Kalisz | KALISZ 1 | KALISZ-9 | 62800 KALISZ
Kępno
Kleczew
Kłecko
Kłodawa
Kobylin
Koło | KOLO WOJ. KONIN
Konin | KONIN 1
Kostrzyn
Kościan
Koźmin Wielkopolski | KOZMIN WLKP.
Kórnik
Krajenka
Krobia
Krotoszyn
Krzyż Wielkopolski | KRZYZ WLKP. | KRZYZ
Książ Wielkopolski | KSIAZ WLKP.
Leszno | LESZNO 1
Luboń | LUBON K. POZNANIA
Łobżenica
Margonin
Miejska Górka
Międzychód
Mikstat
Miłosław
Mosina
Murowana Goślina
Nekla
Nowe Miasto nad Wartą
Nowe Skalmierzyce
Nowy Tomyśl
Oborniki | OBORNIKI WLKP.
Obrzycko
Odolanów
Okonek
Opalenica
Osieczna
Ostroróg
Ostrów Wielkopolski | OSTROW WLKP. | OSTROW WLKP | OSTROW WIELKOP.
Ostrzeszów
Piła | PILA 1
Pleszew
Pniewy
Pobiedziska
Pogorzela
Poniec
Poznań [AMC] | POZNAN 12 | POZNAN 33 | POZNAN 1 | POZNAN-JEZYCE | 60101 POZNAN | 61131 POZNAN | POZNAN;POLAND | Poznań 12
Przedecz
Puszczykowo
Pyzdry
Rakoniewice
Raszków
Rawicz
Rogoźno
Rychwał
Rydzyna
Sieraków
Skoki
Słupca
Sompolno
Stawiszyn
Sulmierzyce
Swarzędz
Szamocin
Szamotuły
Ślesin
Śmigiel
Śrem
Środa Wielkopolska | SRODA WLKP. | SRODA WLKP
Trzcianka
Trzemeszno
Tuliszków
Turek
Ujście
Wągrowiec
Wieleń
Wielichowo
Witkowo
Wolsztyn
Wronki
Września
Wyrzysk
Wysoka
Zagórów
Zbąszyń
Zduny
Złotów
Żerków
Bojanowo
Jaraczewo
Chocz
Opatówek
Godziesze Wielkie
Koźminek
Kazimierz Biskupi
Kramsk
Wilczyn
Brudzew
Przykona
Lądek
Powidz
Strzałkowo
Kiszkowo
Święciechowa
Wijewo
Włoszakowice
Przygodzice
Kraszewice
Bralin
Rychtal
Komorniki
Dopiewo
Tarnowo Podgórne
Suchy Las
Czerwonak
Kleszczewo
Stęszew
Przeźmierowo k/Poznania
Wysogotowo k/Poznania
Baranowo k/Poznania
Plewiska
Rokietnica k/Poznania
# zachodniopomorskie
Barlinek
Barwice
Białogard
Biały Bór
Bobolice
Borne Sulinowo
Cedynia
Chociwel
Chojna
Choszczno
Czaplinek
Człopa
Darłowo
Dębno
Dobra
Dobrzany
Drawno
Drawsko Pomorskie | DRAWSKO POM.
Dziwnów
Goleniów
Gościno
Gryfice
Gryfino
Ińsko
Kalisz Pomorski
Kamień Pomorski | KAMIEN POM.
Karlino
Kołobrzeg | KOLOBRZEG 1
Koszalin | KOSZALIN 1 | KOSZALIN-9
Lipiany
Łobez
Maszewo
Mielno
Mieszkowice
Międzyzdroje
Mirosławiec
Moryń
Myślibórz
Nowe Warpno
Nowogard
Pełczyce
Płoty
Polanów
Police
Połczyn-Zdrój | POLCZYN ZDROJ
Pyrzyce
Recz
Resko
Sianów
Sławno
Stargard | STARGARD SZCZ. | STARGARD SZCZECINSKI
Stepnica
Suchań
Szczecin [AMC] | SZCZECIN 22 | SZCZECIN 1 | SZCZECIN-DABIE | 70950 SZCZECIN | SZCZECIN POLSKA
Szczecinek
Świdwin
Świnoujście | SWINOUJSCIE 1
Trzcińsko-Zdrój
Trzebiatów
Tuczno
Tychowo
Wałcz
Węgorzyno
Wolin
Złocieniec
Kobylanka
Kołbaskowo
Kozielice
Rewal
Osina
Będzino
Ustronie Morskie
Wierzchowo
Niechorze
Pobierowo
"""

# Texts that follow the postal code but name no place: they map to the empty
# value, so the town stays empty.
NOT_PLACES = ["POLAND", "POLSKA", "P.O. BOX", "SKRYTKA POCZTOWA"]

# Keys entered a second time further down the table.
ENTERED_AGAIN = [
    "WARSZAWA", "KRAKOW", "LODZ", "GDANSK", "POZNAN", "WROCLAW", "KATOWICE", "LUBLIN",
    "SZCZECIN", "BYDGOSZCZ", "GDYNIA", "RZESZOW", "KIELCE", "OLSZTYN", "TORUN", "BIALYSTOK",
]

# Texts that must not be keys: a postal code without its hyphen in front of a
# big city's name is left to the default spelling.
NEVER_KEYS = ["00950 WARSZAWA"]

TABLE_ROWS = 2143
DISTINCT_VALUES = 1208
SEED = 2143

def key_of(text):
    """The key a town text gives when the list holds it: trimmed, upper-cased."""
    return upper_1250(to_mazovia(text).strip(BLANKS))


def sort_key(text):
    return (without_polish_letters(text).upper(), text)


def parse_names():
    """[(place, all_forms, [variant, ...])] in list order."""
    places = []
    for line in NAMES.strip().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        head, *variants = [part.strip() for part in line.split("|")]
        all_forms = head.endswith("[AMC]")
        place = head.removesuffix("[AMC]").strip()
        places.append((place, all_forms, [v for v in variants if v]))
    return places


def build_rows():
    places = parse_names()
    names = [p for p, _, _ in places]
    if len(set(names)) != len(names):
        dup = sorted({n for n in names if names.count(n) > 1})
        raise SystemExit(f"places listed twice: {dup}")

    owner = {}  # key -> place; a key may stand for one place only

    def claim(key, place):
        if key in owner:
            if owner[key] == place:
                return False
            raise SystemExit(f"key {key!r} stands for {owner[key]!r} and {place!r}")
        owner[key] = place
        return True

    groups = {}  # place -> [key, ...] in row order
    candidates = []  # (place, key) of M and C forms still to be drawn
    for place, all_forms, variants in places:
        keys = []
        if claim(key_of(without_polish_letters(place).upper()), place):
            keys.append(key_of(without_polish_letters(place).upper()))
        for spelling in (place, place.upper()):
            key = key_of(spelling)
            if key in keys or key in owner or (place, key) in candidates:
                continue
            if all_forms:
                claim(key, place)
                keys.append(key)
            else:
                candidates.append((place, key))
        for variant in variants:
            if claim(key_of(variant), place):
                keys.append(key_of(variant))
        groups[place] = keys
    for text in NOT_PLACES:
        claim(key_of(text), "")
        groups.setdefault("", []).append(key_of(text))

    # A drawn form must not be a key of another place (nor of the same one).
    candidates = [(place, key) for place, key in candidates if key not in owner]
    fixed = sum(len(k) for k in groups.values()) + len(ENTERED_AGAIN)
    wanted = TABLE_ROWS - fixed
    if not 0 <= wanted <= len(candidates):
        raise SystemExit(f"{fixed} fixed rows and {len(candidates)} drawable forms "
                         f"cannot make {TABLE_ROWS} rows")
    drawn = set(random.Random(SEED).sample(range(len(candidates)), wanted))
    for i, (place, key) in enumerate(candidates):
        if i in drawn:
            claim(key, place)
            groups[place].append(key)

    rows = []
    for place in sorted(groups, key=lambda p: sort_key(p) if p else ("",)):
        if place:
            # A first, then M and C in drawing order, then the variants as listed.
            rows += [(key, place) for key in groups[place]]
    for key in sorted(groups.get("", [])):
        rows.append((key, ""))
    for text in ENTERED_AGAIN:
        key = key_of(text)
        if key not in owner:
            raise SystemExit(f"{text!r} is entered again but is no key")
        rows.append((key, owner[key]))
    return rows


def check(rows):
    seen = key_values(rows, lambda value: value[0].isupper() and value != value.upper())
    for text in NEVER_KEYS:
        assert key_of(text) not in seen, text


def render(rows):
    lines = [
        "# Place names: key TAB proper spelling (empty: no place).",
        "# Keys are the trimmed, upper-cased town text after the postal code, with Polish",
        "# letters as raw Mazovia bytes (\\xNN). Generated by tools/gen_place_names.py; do not edit.",
        "",
    ]
    places = len(rows) - len(ENTERED_AGAIN) - len(NOT_PLACES)
    lines += [f"{tsv_key(k)}\t{v}" for k, v in rows[:places]]
    lines += ["", "# No places", ""]
    lines += [f"{tsv_key(k)}\t{v}" for k, v in rows[places:places + len(NOT_PLACES)]]
    lines += ["", "# Entered again", ""]
    lines += [f"{tsv_key(k)}\t{v}" for k, v in rows[places + len(NOT_PLACES):]]
    return "\n".join(lines) + "\n"


def main():
    rows = build_rows()
    check(rows)
    write_table("place_names.tsv", render(rows), rows, "places",
                (TABLE_ROWS, DISTINCT_VALUES, len(NOT_PLACES), len(ENTERED_AGAIN)))


if __name__ == "__main__":
    main()
