#!/usr/bin/env python3
"""Every text of the program that a user's guide quotes is one the program shows.

The guides (README.md, docs/PODRECZNIK.md) follow one convention:

  A program text is inline code standing directly inside quotation marks:
  English "`System`", Polish „`System`”. Any other inline code (a command, a
  path, a file, a column or an option) stands without them.

Each such quotation is checked against the texts of the program: the string
literals of its C++ sources (app/ import/ ui/ source/ store/ text/ tools/,
adjacent literals joined, escapes decoded, bytes that are no UTF-8 read as
Windows-1250) and the values of its desktop entry. In a quotation:
  - "…" stands for any text (a file name, a cause, the rest of a message);
  - the accelerator mark "&" is ignored, and so is how white space is laid;
  - a number stands for any number (the program writes counts and versions);
  - a quotation may be part of a longer text, and a text the program puts
    together from several literals (a prefix, a file name, a count with its
    noun) is matched literal by literal: each piece between two "…" must
    be a run of whole literals and numbers, save that its first literal may
    be cut at the front and its last at the back.
So a message reworded in the code no longer matches its quotation.

Two slips are caught as well: a quotation in plain quotation marks, or
inline code without them, that is exactly a program text (it is to be marked
as one).

Usage: GuideQuotesTest.py SOURCE_ROOT [GUIDE...]  (guides default to both)
"""
import os
import re
import sys

SOURCE_FOLDERS = ["app", "import", "ui", "source", "store", "text", "tools"]
DESKTOP_ENTRY = os.path.join("app", "tolvoimp.desktop")
GUIDES = ["README.md", os.path.join("docs", "PODRECZNIK.md")]

ELLIPSIS = "…"
QUOTE_PAIRS = {'"': '"', "„": "”", "“": "”"}

# ---------------------------------------------------------------- sources --

SIMPLE_ESCAPES = {"n": 10, "t": 9, "r": 13, "0": 0, "a": 7, "b": 8, "f": 12, "v": 11,
                  "\\": 92, "'": 39, '"': 34, "?": 63}


def decode_escapes(body, wide):
    """The literal's text: escapes decoded; narrow bytes read as UTF-8, else
    as Windows-1250 (the code page of the database and the station lists)."""
    units = []  # ints: bytes for narrow literals, code points for wide ones
    i = 0
    text = body
    while i < len(text):
        c = text[i]
        if c != "\\":
            if wide:
                units.append(ord(c))
            else:
                units.extend(c.encode("utf-8"))
            i += 1
            continue
        e = text[i + 1]
        if e == "x":
            m = re.match(r"[0-9A-Fa-f]+", text[i + 2:])
            units.append(int(m.group(0), 16))
            i += 2 + len(m.group(0))
        elif e in "uU":
            n = 4 if e == "u" else 8
            cp = int(text[i + 2:i + 2 + n], 16)
            units.extend([cp] if wide else chr(cp).encode("utf-8"))
            i += 2 + n
        elif e in "01234567":
            m = re.match(r"[0-7]{1,3}", text[i + 1:])
            units.append(int(m.group(0), 8))
            i += 1 + len(m.group(0))
        else:
            units.append(SIMPLE_ESCAPES.get(e, ord(e)))
            i += 2
    if wide:
        return "".join(chr(u) for u in units)
    data = bytes(units)
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("cp1250", errors="replace")


LITERAL = re.compile(
    r'(?P<prefix>u8|u|U|L)?(?:R"(?P<delim>[^(\s]*)\((?P<raw>.*?)\)(?P=delim)"'
    r'|"(?P<body>(?:[^"\\\n]|\\.)*)")', re.S)

CHAR_LITERAL = re.compile(r"'(?:[^'\\\n]|\\.)*'")
# A name, or a number with its digit separators (1'000).
NAME_OR_NUMBER = re.compile(r"[0-9][0-9A-Za-z_.']*|[A-Za-z_][A-Za-z_0-9]*")


def cpp_literals(code):
    """The string literals of one C++ file, adjacent ones joined; comments and
    character literals skipped."""
    out = []
    current = None  # the literal being joined
    i = 0
    n = len(code)
    while i < n:
        c = code[i]
        if code.startswith("//", i):
            j = code.find("\n", i)
            i = n if j < 0 else j
            continue
        if code.startswith("/*", i):
            j = code.find("*/", i + 2)
            i = n if j < 0 else j + 2
            continue
        if c.isspace():
            i += 1
            continue
        m = LITERAL.match(code, i)
        if m and (i == 0 or not (code[i - 1].isalnum() or code[i - 1] == "_")):
            wide = m.group("prefix") in ("u", "U", "L")
            if m.group("raw") is not None:
                text = m.group("raw")
            else:
                text = decode_escapes(m.group("body"), wide)
            current = text if current is None else current + text
            i = m.end()
            continue
        if current is not None:
            out.append(current)
            current = None
        if c == "'":  # a character literal
            m = CHAR_LITERAL.match(code, i)
            i = m.end() if m else i + 1
            continue
        m = NAME_OR_NUMBER.match(code, i)
        i = m.end() if m else i + 1
    if current is not None:
        out.append(current)
    return out


def desktop_values(text):
    values = []
    for line in text.splitlines():
        if "=" in line and not line.startswith("#") and not line.startswith("["):
            values.append(line.split("=", 1)[1])
    return values


# printf conversions and Qt's %1..%99 stand for values the program fills in.
PLACEHOLDER = re.compile(r"%[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|z|j|t|L)?[diouxXeEfgGcsp]|%\d{1,2}")


def normalise(text):
    text = text.replace("&&", "\x01").replace("&", "").replace("\x01", "&")
    return re.sub(r"\s+", " ", text).strip()


def program_texts(root):
    """The program's texts as fragments: literals split at their placeholders."""
    literals = []
    for folder in SOURCE_FOLDERS:
        for base, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    with open(os.path.join(base, name), encoding="utf-8") as f:
                        literals.extend(cpp_literals(f.read()))
    with open(os.path.join(root, DESKTOP_ENTRY), encoding="utf-8") as f:
        literals.extend(desktop_values(f.read()))
    fragments = set()
    for literal in literals:
        for part in PLACEHOLDER.split(literal.replace("%%", "\x02")):
            part = normalise(part.replace("\x02", "%"))
            if part:
                fragments.add(part)
    return fragments


# ---------------------------------------------------------------- matching --

NUMBER = re.compile(r"\d+(?:[.,]\d+)*")


class Matcher:
    def __init__(self, fragments):
        self.fragments = fragments
        self.by_start = {}
        for f in fragments:
            self.by_start.setdefault(f[0], []).append(f)
        self.joined = "\0" + "\0".join(sorted(fragments)) + "\0"

    def is_suffix(self, s):
        return s + "\0" in self.joined

    def is_prefix(self, s):
        return "\0" + s in self.joined

    def is_part(self, s):
        return s in self.joined

    def piece(self, s, partial_ends):
        """Whether `s` is a run of whole fragments, numbers and spaces; with
        `partial_ends` its first fragment may be cut at the front and its last
        at the back."""
        if not s:
            return True
        if partial_ends and self.is_part(s):
            return True
        n = len(s)
        reach = [False] * (n + 1)
        reach[0] = True
        if partial_ends:
            for j in range(1, n):
                if self.is_suffix(s[:j]):
                    reach[j] = True
        for i in range(n):
            if not reach[i]:
                continue
            if s[i] == " ":
                reach[i + 1] = True
            m = NUMBER.match(s, i)
            if m:
                for group in re.finditer(r"[.,]\d+", m.group(0)):
                    reach[i + group.start()] = True
                reach[m.end()] = True
            for f in self.by_start.get(s[i], ()):
                if s.startswith(f, i):
                    reach[i + len(f)] = True
            if partial_ends and i > 0 and self.is_prefix(s[i:]):
                return True
        return reach[n]

    def quotation(self, text, partial_ends=True):
        pieces = [p.strip() for p in normalise(text).split(ELLIPSIS)]
        return all(self.piece(p, partial_ends) for p in pieces)

    def exactly(self, text):
        """Whether `text` is wholly made of the program's texts (no cut
        literal, at least one literal with a letter in it)."""
        pieces = [p.strip() for p in normalise(text).split(ELLIPSIS)]
        if not any(re.search(r"[^\W\d_]", p) for p in pieces):
            return False
        return all(self.piece(p, False) for p in pieces)


# ------------------------------------------------------------------ guides --

def strip_blocks(text):
    """The guide with fenced code blocks and HTML comments blanked out (line
    numbers kept) and image descriptions dropped."""
    def blank(m):
        return re.sub(r"[^\n]", " ", m.group(0))
    text = re.sub(r"^```.*?^```[^\n]*$", blank, text, flags=re.S | re.M)
    text = re.sub(r"<!--.*?-->", blank, text, flags=re.S)
    text = re.sub(r"!\[[^\]]*\]\([^)]*\)", blank, text)
    return text


CODE_SPAN = re.compile(r"(?<!`)(`+)(?!`)(.+?)(?<!`)\1(?!`)", re.S)


def quotations(text):
    """(line, text, quoted) for every inline code span of the guide."""
    for m in CODE_SPAN.finditer(text):
        before = text[m.start() - 1] if m.start() > 0 else ""
        after = text[m.end()] if m.end() < len(text) else ""
        quoted = before in QUOTE_PAIRS and QUOTE_PAIRS[before] == after
        body = m.group(2)
        if len(m.group(1)) > 1:
            body = body.strip()
        yield text.count("\n", 0, m.start()) + 1, body, quoted


PLAIN_QUOTE = re.compile(r'"([^"`\n]+)"|„([^”`\n]+)”|“([^”`\n]+)”')


def plain_quotations(text):
    """(line, text) for every quotation in plain quotation marks, outside code."""
    without_code = CODE_SPAN.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)
    for m in PLAIN_QUOTE.finditer(without_code):
        body = next(g for g in m.groups() if g is not None)
        yield without_code.count("\n", 0, m.start()) + 1, body


def check_guide(path, matcher):
    with open(path, encoding="utf-8") as f:
        text = strip_blocks(f.read())
    faults = []
    count = 0
    for line, body, quoted in quotations(text):
        if quoted:
            count += 1
            if not matcher.quotation(body):
                faults.append(f"{path}:{line}: the program has no text \"{normalise(body)}\"")
        elif (re.search(r"[^\x00-\x7f]|&", body) or " " in normalise(body)) and \
                normalise(body) in matcher.fragments:
            faults.append(f"{path}:{line}: \"{body}\" is a program text: put the inline code "
                          "in quotation marks")
    for line, body in plain_quotations(text):
        if matcher.exactly(body):
            faults.append(f"{path}:{line}: \"{body}\" is a program text: mark it as inline code")
    return count, faults


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    guides = argv[2:] or [os.path.join(root, g) for g in GUIDES]
    matcher = Matcher(program_texts(root))
    faults = []
    for guide in guides:
        count, found = check_guide(guide, matcher)
        print(f"{guide}: {count} program texts quoted, {len(found)} not as the program has them")
        faults.extend(found)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
