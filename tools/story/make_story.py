#!/usr/bin/env python3
"""Writes dat/s.dat from tools/story/story.txt, and its English twin
dat/s_en.dat from the same records with the words of tools/story/story_en.txt.

The game reads 255 records of five lines (text, picture, name, about, choice)
in the Japanese code page, each line ending in CR LF. Records that story.txt
does not list are written as five empty lines, which means "no story screen".
The English file takes its pictures and choices from story.txt, so a game
meets the same screens and questions in either language.

Usage: make_story.py [--check]   (--check compares instead of writing)
"""

import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
SOURCE = ROOT / "tools" / "story" / "story.txt"
TARGET = ROOT / "dat" / "s.dat"
SOURCE_EN = ROOT / "tools" / "story" / "story_en.txt"
TARGET_EN = ROOT / "dat" / "s_en.dat"
# What the English source writes; the rest comes from the Japanese record.
WORDS = ("text", "name", "about")
# The English texts use our font's Latin letters, and the mark that opens
# each answer of a question.
EN_EXTRA = set("◆")
PICTURES = ROOT / "cg"

RECORDS = 255
FIELDS = ("text", "picture", "name", "about", "choice")
# NEXT is refused from stage 46 on, so no later record is ever shown.
LAST_SHOWN = 45


class StoryError(Exception):
    pass


def parse(lines, source=SOURCE, fields=FIELDS):
    """Returns {record index: {field: value}} from the lines of a story source."""
    records = {}
    current = None
    for number, raw in enumerate(lines, 1):
        line = raw.rstrip("\n")
        where = f"{source.name}:{number}"
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
        if not sep or key not in fields:
            raise StoryError(f"{where}: expected one of {', '.join(fields)} followed by ':'")
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


def english(records, words):
    """The Japanese records with their words replaced by the English ones."""
    if set(words) != set(records):
        extra = sorted(set(words) - set(records))
        missing = sorted(set(records) - set(words))
        raise StoryError(f"{SOURCE_EN.name}: records must be those of {SOURCE.name} "
                         f"(missing {missing}, extra {extra})")
    out = {}
    for index, record in records.items():
        w = words[index]
        where = f"{SOURCE_EN.name} record {index}"
        for field in WORDS:
            if not w.get(field):
                raise StoryError(f"{where}: {field} is missing or empty")
            odd = sorted({c for c in w[field] if not (" " <= c <= "~") and c not in EN_EXTRA})
            if odd:
                raise StoryError(f"{where}: {field} has letters an English player cannot read: {''.join(odd)}")
        out[index] = {**record, **{f: w[f] for f in WORDS}}
    return out


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
        words = parse(SOURCE_EN.read_text(encoding="utf-8").splitlines(), SOURCE_EN, WORDS)
        records_en = english(records, words)
    except StoryError as error:
        print(f"make_story: {error}", file=sys.stderr)
        return 1
    outputs = ((TARGET, build(records)), (TARGET_EN, build(records_en)))
    if "--check" in argv:
        stale = [t for t, data in outputs if not t.is_file() or t.read_bytes() != data]
        for t in stale:
            print(f"make_story: {t.relative_to(ROOT)} is out of date", file=sys.stderr)
        return 1 if stale else 0
    chosen = sum(1 for r in records.values() if r["choice"] == "sel")
    for target, data in outputs:
        target.write_bytes(data)
        print(f"wrote {target.relative_to(ROOT)}: {len(records)} stories, {chosen} with a choice")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
