#!/usr/bin/env python3
"""Writes dat/s.dat from tools/story/story.txt.

The game reads 255 records of five lines (text, picture, name, about, choice)
in the Japanese code page, each line ending in CR LF. Records that story.txt
does not list are written as five empty lines, which means "no story screen".

Usage: make_story.py [--check]   (--check compares instead of writing)
"""

import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
SOURCE = ROOT / "tools" / "story" / "story.txt"
TARGET = ROOT / "dat" / "s.dat"
PICTURES = ROOT / "cg"

RECORDS = 255
FIELDS = ("text", "picture", "name", "about", "choice")
# NEXT is refused from stage 46 on, so no later record is ever shown.
LAST_SHOWN = 45


class StoryError(Exception):
    pass


def parse(lines):
    """Returns {record index: {field: value}} from the lines of story.txt."""
    records = {}
    current = None
    for number, raw in enumerate(lines, 1):
        line = raw.rstrip("\n")
        where = f"{SOURCE.name}:{number}"
        if not line.strip() or line.startswith("#"):
            continue
        if line.startswith("@"):
            try:
                index = int(line[1:].strip())
            except ValueError:
                raise StoryError(f"{where}: '@' needs a record number")
            if not 0 <= index <= LAST_SHOWN:
                raise StoryError(f"{where}: record {index} is never shown (0..{LAST_SHOWN})")
            if index in records:
                raise StoryError(f"{where}: record {index} given twice")
            current = records[index] = {}
            continue
        key, sep, value = line.partition(":")
        key = key.strip()
        if not sep or key not in FIELDS:
            raise StoryError(f"{where}: expected one of {', '.join(FIELDS)} followed by ':'")
        if current is None:
            raise StoryError(f"{where}: field before the first '@'")
        if key in current:
            raise StoryError(f"{where}: {key} given twice")
        current[key] = value.strip()
    return records


def check(index, record):
    where = f"record {index}"
    missing = [f for f in FIELDS if f not in record]
    if missing:
        raise StoryError(f"{where}: missing {', '.join(missing)}")
    # An empty field would keep the previous screen's picture or label, and
    # after a restart that is the placeholder caption.
    for field in ("text", "picture", "name", "about"):
        if not record[field]:
            raise StoryError(f"{where}: {field} is empty")
    if record["choice"] not in ("", "sel"):
        raise StoryError(f"{where}: choice must be 'sel' or empty")
    picture = record["picture"]
    if "/" in picture or "\\" in picture or not (PICTURES / picture).is_file():
        raise StoryError(f"{where}: no picture cg/{picture}")
    for field in FIELDS:
        try:
            record[field].encode("cp932")
        except UnicodeEncodeError as error:
            raise StoryError(f"{where}: {field} has a character outside the code page: {error}")


def build(records):
    out = bytearray()
    for index in range(RECORDS):
        record = records.get(index, {})
        for field in FIELDS:
            out += record.get(field, "").encode("cp932") + b"\r\n"
    return bytes(out)


def main(argv):
    try:
        records = parse(SOURCE.read_text(encoding="utf-8").splitlines())
        for index, record in sorted(records.items()):
            check(index, record)
    except StoryError as error:
        print(f"make_story: {error}", file=sys.stderr)
        return 1
    data = build(records)
    if "--check" in argv:
        if not TARGET.is_file() or TARGET.read_bytes() != data:
            print("make_story: dat/s.dat is out of date", file=sys.stderr)
            return 1
        return 0
    TARGET.write_bytes(data)
    chosen = sum(1 for r in records.values() if r["choice"] == "sel")
    print(f"wrote {TARGET.relative_to(ROOT)}: {len(records)} stories, {chosen} with a choice")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
