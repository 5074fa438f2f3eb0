"""What the two name-table generators share: the check of a table's keys and
values, and the table's writing (or, with --check, its comparison with the
committed file).
"""
import os
import sys

from sourcebytes import BLANKS, upper_1250


def key_values(rows, value_ok):
    """The value each key of `rows` (key, value) stands for. Every key is
    trimmed and upper-cased, stands for one value only, and every value that
    is not empty passes `value_ok`."""
    seen = {}
    for key, value in rows:
        assert key and key == key.strip(BLANKS) and key == upper_1250(key), key
        if key in seen and seen[key] != value:
            raise SystemExit(f"key {key!r} stands for {seen[key]!r} and {value!r}")
        seen.setdefault(key, value)
        if value:
            assert value_ok(value), value
    return seen


def write_table(name, text, rows, what, wanted):
    """Writes `text`, the table of `rows`, as data/`name`; with --check, fails
    unless the file holds it already. Either way the table must have the
    `wanted` counts of rows, distinct values (`what`), empty values and
    repeated keys."""
    counts = (len(rows), len({v for _, v in rows if v}), sum(1 for _, v in rows if not v),
              len(rows) - len({k for k, _ in rows}))
    print("%d rows, %d %s, %d empty, %d repeated keys" % (counts[:2] + (what,) + counts[2:]),
          file=sys.stderr)
    if counts != wanted:
        raise SystemExit("the table must have %d rows, %d %s, %d empty values, %d repeated keys"
                         % (wanted[:2] + (what,) + wanted[2:]))
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", name)
    if "--check" in sys.argv[1:]:
        with open(path, encoding="utf-8") as f:
            if f.read() != text:
                raise SystemExit(f"{path} is out of date; run {sys.argv[0]}")
        return
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
