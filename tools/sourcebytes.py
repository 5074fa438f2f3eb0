"""Source bytes as the station lists hold them, for the table generators.

Text of the Polish lists is in the Mazovia code page; the importers trim it
and upper-case it by the Windows-1250 letter pairs before looking it up, so
the keys of the tables are made here the same way.
"""
import unicodedata

MAZOVIA = {
    "ą": 0x86, "ć": 0x8D, "Ą": 0x8F, "Ę": 0x90, "ę": 0x91, "ł": 0x92,
    "Ć": 0x95, "Ś": 0x98, "Ł": 0x9C, "ś": 0x9E, "Ź": 0xA0, "Ż": 0xA1,
    "ó": 0xA2, "Ó": 0xA3, "ń": 0xA4, "Ń": 0xA5, "ź": 0xA6, "ż": 0xA7,
}

# Windows-1250 letter pairs outside ASCII: lower-case byte -> upper-case byte.
UPPER_1250 = {b: b - 0x20 for b in range(0xE0, 0xFF) if b != 0xF7}
UPPER_1250.update({0x9A: 0x8A, 0x9C: 0x8C, 0x9D: 0x8D, 0x9E: 0x8E, 0x9F: 0x8F,
                   0xB3: 0xA3, 0xB9: 0xA5, 0xBA: 0xAA, 0xBE: 0xBC, 0xBF: 0xAF})

# The bytes that trimming removes.
BLANKS = bytes(range(0x21))


def to_mazovia(text):
    out = bytearray()
    for ch in text:
        if ch in MAZOVIA:
            out.append(MAZOVIA[ch])
        elif ord(ch) < 0x80:
            out.append(ord(ch))
        else:
            raise SystemExit(f"{text!r}: {ch!r} has no Mazovia code")
    return bytes(out)


def upper_1250(raw):
    return bytes(b - 0x20 if 0x61 <= b <= 0x7A else UPPER_1250.get(b, b) for b in raw)


def without_polish_letters(text):
    text = text.replace("ł", "l").replace("Ł", "L")
    return "".join(c for c in unicodedata.normalize("NFD", text)
                   if not unicodedata.combining(c))


def tsv_key(key):
    """A key's bytes as the .tsv writes them: ASCII as it is, the rest as \\xNN."""
    return "".join(chr(b) if b < 0x80 and b != 0x5C else f"\\x{b:02X}" for b in key)
