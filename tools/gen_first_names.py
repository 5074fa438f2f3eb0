#!/usr/bin/env python3
"""Writes data/first_names.tsv, the first-name table, from the hand-kept lists below.

    python3 tools/gen_first_names.py            # rewrites data/first_names.tsv
    python3 tools/gen_first_names.py --check    # fails if data/first_names.tsv is not what it would write

The keys are first names as the station list's first-name field holds them
once it is trimmed and upper-cased: the list stores Polish letters in the
Mazovia code page, and upper-casing by the Windows-1250 rules treats those
bytes as Windows-1250 characters.  So a name has one key per way it is
written there:

  A  without Polish letters, in capitals          JAROSLAW
  M  in mixed case, Mazovia letters               Jarosław -> JAROS\\x92AW
  C  in capitals, Mazovia letters                 JAROSŁAW -> JAROS\\x8CAW

(mixed-case ł, 0x92, is no Windows-1250 letter and stays; capital Ł, 0x9C, is
Windows-1250 ś and becomes 0x8C).  The field is ten characters wide, so every
key is cut at ten.  Variants after "|" are written as they occur in the list
(their case decides between M and C); a variant ending in "*" stands for its
A, M and C forms.  Every row is kept: a name whose only Polish letter is its
capital initial (Łukasz) gives the same key for M and C, and that key stands
twice with the same value; lookups take the first.

The table is ours, compiled from common Polish first names; it is not an
authoritative register of names.
"""

from nametables import key_values, write_table
from sourcebytes import BLANKS, to_mazovia, tsv_key, upper_1250, without_polish_letters

FIELD_WIDTH = 10

# name [forms] | variant, variant, ...
# forms: the letters of the forms the name itself gets (default: all of A, M, C;
# a name without Polish letters has only its A form).
NAMES = """
Ada
Adam | Adam Maria, Adam Mariusz
Adela
Adolf
Adrian
Adriana
Agata
Agnieszka
Albert
Albin
Albina
Aldona
Aleksander | Olek
Aleksandra | Ola
Aleksy
Alfons
Alfred
Alicja
Alina
Alojzy
Ambroży [AM]
Amelia
Anastazja
Anatol
Andrzej | Andzrej
Aniela
Anita
Anna | Ania, Anna Maria
Antoni | Antek
Antonina
Apolinary
Apolonia
Arkadiusz
Arnold
Artur
August
Augustyn
Aureli
Aurelia
Balbina
Barbara | Basia
Bartłomiej | Bartek
Bartosz
Bazyli
Beata
Benedykt
Benedykta
Beniamin
Bernadeta
Bernard
Blanka
Błażej [AC]
Bogdan
Bogdana
Bogna
Bogumił [AM]
Bogumiła [M]
Bogusław
Bogusława [AC]
Bolesław [AM] | Bolek
Bonifacy
Borys
Bożena [AC] | Borzena
Bronisław [AM]
Bronisława [AC]
Bruno
Brygida
Cecylia
Celina
Cezary | Czarek
Cyprian
Cyryl
Czesław
Czesława [M]
Dagmara
Damian
Daniel
Danuta
Daria
Dariusz | Darek
Dawid
Diana
Dionizy
Dobromir
Dobrosława [A]
Dominik
Dominika
Donat
Dorota
Edmund
Edward | Edek
Edwarda
Edwin
Edyta
Eleonora
Eliza
Elwira
Elżbieta [AM] | Ela
Emil
Emilia
Emilian
Ernest
Erwin
Eryk
Eugenia
Eugeniusz | Gienek
Ewa
Ewelina
Fabian
Faustyna
Felicja
Feliks
Ferdynand
Filip
Florentyna
Florian
Franciszek | Franek
Franciszka
Fryderyk
Gabriel
Gabriela
Genowefa
Gerard
Gertruda
Gracjan
Grażyna [AC] | Grarzyna
Grzegorz | Grzesiek
Gustaw
Halina
Hanna | Hania
Helena
Henryk | Henrik
Henryka
Herbert
Hieronim
Hilary
Hipolit
Honorata
Hubert
Ida
Iga
Ignacy
Igor
Ilona
Irena
Ireneusz
Irmina
Iwona
Izabela
Izydor
Jacek
Jadwiga | Jadzia
Jakub | Kuba
Jan | Janek
Janina
Janusz
Jarosław | Jarek, Jaroslav
Jerzy | Jurek
Jędrzej [AM]
Joachim
Joanna
Jolanta | Jola
Jowita
Józef | Józek*, Juzef
Józefa [A]
Judyta
Julia
Julian
Julianna
Juliusz
Justyn
Justyna
Kacper
Kajetan
Kamil
Kamila
Karol | Lolek
Karolina
Katarzyna | Kasia, Katażyna
Kazimiera
Kazimierz | Kazik
Kinga
Klara
Klaudia
Klemens
Konrad
Konstancja
Konstanty
Kordian
Kornel
Kornelia
Krystian
Krystyna | Krysia
Krzysztof | Krzysiek, Krzystof, Kszysztof
Ksawery
Ksenia
Lech
Leokadia
Leon
Leonard
Leopold
Lesław [A]
Leszek
Lidia
Liliana
Longin
Lucjan
Lucyna
Ludmiła [M]
Ludwik
Ludwika
Luiza
Łazarz
Łucja
Łukasz
Maciej
Magdalena | Magda
Makary
Maksymilian
Malwina
Małgorzata [AC] | Gosia, Małgożata
Marceli
Marcelina
Marcin
Marek
Maria | Marysia, Maria Teresa
Marian
Marianna
Mariola
Mariusz
Marlena
Marta
Marzena
Mateusz
Matylda
Maurycy
Melania
Michalina
Michał
Mieczysław [AM] | Mietek
Mikołaj [AC]
Milena
Miłosz [AM]
Miron
Mirosław | Mirek
Mirosława [AC]
Monika
Natalia
Nikodem
Nina
Norbert
Oktawia
Olga
Olgierd
Oliwia
Oskar
Otylia
Patrycja
Patryk
Paulina
Paweł
Pelagia
Piotr
Przemysław [AM] | Przemek
Radosław [AC] | Radek
Rafał
Rajmund
Regina
Remigiusz
Renata
Robert
Roch
Roksana
Roman | Romek
Romana
Romuald
Rozalia
Róża [AM]
Rudolf
Ryszard | Rysiek
Ryszarda
Sabina
Salomea
Samuel
Sandra
Sebastian
Sergiusz
Seweryn
Seweryna
Sławomir [AC] | Sławek*
Stanisław | Staszek, Stanislav
Stanisława [AM]
Stefan
Stefania
Sylwester
Sylwia
Szczepan
Szymon
Tadeusz | Tadek
Tamara
Tekla
Teodor
Teodora
Teofil
Teresa
Tobiasz
Tomasz | Tomek
Tymon
Tymoteusz
Tytus
Urban
Urszula | Ula
Wacław [AC] | Wacek
Waldemar | Waldek
Walenty
Walentyna
Waleria
Walerian
Wanda
Wawrzyniec
Weronika
Wiesław | Wiesiek
Wiesława [A]
Wiktor
Wiktoria
Wilhelmina
Wincenty
Wioletta
Witold | Witek
Władysław [AM] | Władek*, Wladislaw
Władysława [AC]
Włodzimierz [AM] | Włodek*
Wojciech | Wojtek
Zbigniew | Zbyszek, Zbygniew
Zdzisław
Zdzisława [M]
Zenon | Zenek
Zenona
Ziemowit
Zofia | Zosia
Zuzanna
Zygfryd
Zygmunt
Zyta
Żaklina
Żaneta
"""

# Words and beginnings of club and organisation names that stand in the
# first-name field of club records; their empty value means "no first name".
# Written as they occur in the list; cut at the field width like the names.
CLUB_WORDS = """
CENTRALNY
HARCERSKI
KLUB LOK
RADIOKLUB
REDAKCJA
KOPALNIA
STUDENCKI
SEKCJA
KLUB KROTKOFALOWCOW
Klub Krótkofalowców
KLUB LACZNOSCI
Klub Łączności
Klub Miłośników
Oddział PZK
LIGA OBRONY KRAJU
POLSKI ZWIAZEK
STOWARZYSZENIE
Zespół Szkół
WOJSKOWY KLUB
"""

def key_of(text):
    """The key a text gives when the list holds it: cut, trimmed, upper-cased."""
    return upper_1250(to_mazovia(text)[:FIELD_WIDTH].strip(BLANKS))


def forms(text, which="AMC"):
    """Source spellings of `text`, in the order A, M, C."""
    if without_polish_letters(text) == text:
        return [text.upper()]
    spellings = {"A": without_polish_letters(text).upper(), "M": text, "C": text.upper()}
    return [spellings[f] for f in which]


def parse_names():
    rows = []
    for line in NAMES.strip().splitlines():
        head, _, tail = line.partition("|")
        parts = head.split()
        name = parts[0]
        which = parts[1].strip("[]") if len(parts) > 1 else "AMC"
        for spelling in forms(name, which):
            rows.append((key_of(spelling), name))
        for variant in filter(None, (v.strip() for v in tail.split(","))):
            spellings = forms(variant[:-1]) if variant.endswith("*") else [variant]
            for spelling in spellings:
                rows.append((key_of(spelling), name))
    return rows


def build_rows():
    names = parse_names()
    club = [(key_of(word), "") for word in CLUB_WORDS.strip().splitlines()]
    return names, club


def check(rows):
    for key, _ in rows:
        assert len(key) <= FIELD_WIDTH, key
    seen = key_values(rows, lambda value: value[0].isupper() and value[1:] == value[1:].lower())
    assert b"KLUB" not in seen, "KLUB alone must not be a key"


def render(names, club):
    lines = [
        "# First names: key TAB proper spelling (empty: no first name).",
        "# Keys are the trimmed, upper-cased first-name field with Polish letters as",
        "# raw Mazovia bytes (\\xNN). Generated by tools/gen_first_names.py; do not edit.",
        "",
    ]
    lines += [f"{tsv_key(k)}\t{v}" for k, v in names]
    lines += ["", "# Words of club and organisation names", ""]
    lines += [f"{tsv_key(k)}\t" for k, _ in club]
    return "\n".join(lines) + "\n"


def main():
    names, club = build_rows()
    check(names + club)
    write_table("first_names.tsv", render(names, club), names + club, "names", (500, 346, 19, 5))


if __name__ == "__main__":
    main()
