#!/usr/bin/env python3
"""Writes the game's background tracks, dat/1.mid ... dat/8.mid, from the note
sources beside this script (1.txt ... 8.txt).

    python3 tools/music/make_tracks.py            # write every track
    python3 tools/music/make_tracks.py 5 6        # write some of them
    python3 tools/music/make_tracks.py --check    # fail if a committed file is stale
    python3 tools/music/make_tracks.py --lint     # also list melody notes that clash

The note-source format is described in README.md. A source states the length
it means to have; a score that does not add up to it, a bar that does not add
up to the meter, or an unknown name stops the script with the line at fault.
"""

import random
import re
import struct
import sys
from dataclasses import dataclass, field
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
PPQ = 480

GM_PROGRAMS = """
acoustic_grand_piano bright_acoustic_piano electric_grand_piano honky_tonk_piano
electric_piano_1 electric_piano_2 harpsichord clavinet celesta glockenspiel
music_box vibraphone marimba xylophone tubular_bells dulcimer drawbar_organ
percussive_organ rock_organ church_organ reed_organ accordion harmonica
tango_accordion nylon_guitar steel_guitar jazz_guitar clean_guitar muted_guitar
overdriven_guitar distortion_guitar guitar_harmonics acoustic_bass finger_bass
pick_bass fretless_bass slap_bass_1 slap_bass_2 synth_bass_1 synth_bass_2 violin
viola cello contrabass tremolo_strings pizzicato_strings orchestral_harp timpani
string_ensemble_1 string_ensemble_2 synth_strings_1 synth_strings_2 choir_aahs
voice_oohs synth_voice orchestra_hit trumpet trombone tuba muted_trumpet
french_horn brass_section synth_brass_1 synth_brass_2 soprano_sax alto_sax
tenor_sax baritone_sax oboe english_horn bassoon clarinet piccolo flute recorder
pan_flute blown_bottle shakuhachi whistle ocarina square_lead sawtooth_lead
calliope_lead chiff_lead charang_lead voice_lead fifths_lead bass_and_lead
new_age_pad warm_pad polysynth_pad choir_pad bowed_pad metallic_pad halo_pad
sweep_pad rain_fx soundtrack_fx crystal_fx atmosphere_fx brightness_fx goblins_fx
echoes_fx sci_fi_fx sitar banjo shamisen koto kalimba bagpipe fiddle shanai
tinkle_bell agogo steel_drums woodblock taiko_drum melodic_tom synth_drum
reverse_cymbal guitar_fret_noise breath_noise seashore bird_tweet telephone_ring
helicopter applause gunshot
""".split()
assert len(GM_PROGRAMS) == 128
PROGRAM = {name: number for number, name in enumerate(GM_PROGRAMS)}

# General MIDI percussion keys (channel 10).
DRUMS = {
    "kick": 36, "kick2": 35, "stick": 37, "snare": 38, "clap": 39, "snare2": 40,
    "tom_floor": 41, "chh": 42, "tom_floor_hi": 43, "phh": 44, "tom_low": 45,
    "ohh": 46, "tom_mid": 47, "tom_hi_mid": 48, "crash": 49, "tom_hi": 50,
    "ride": 51, "china": 52, "bell": 53, "tambourine": 54, "splash": 55,
    "cowbell": 56, "crash2": 57, "ride2": 59, "bongo_hi": 60, "bongo_lo": 61,
    "conga_mute": 62, "conga_hi": 63, "conga_lo": 64, "timbale_hi": 65,
    "timbale_lo": 66, "cabasa": 69, "shaker": 70, "claves": 75, "block_hi": 76,
    "block_lo": 77, "triangle_mute": 80, "triangle": 81,
}

DYNAMICS = {"pp": 40, "p": 54, "mp": 68, "mf": 82, "f": 96, "ff": 110}

# Semitones above the root.
CHORD_QUALITIES = {
    "": (0, 4, 7), "m": (0, 3, 7), "7": (0, 4, 7, 10), "maj7": (0, 4, 7, 11),
    "m7": (0, 3, 7, 10), "m7b5": (0, 3, 6, 10), "dim": (0, 3, 6), "dim7": (0, 3, 6, 9),
    "aug": (0, 4, 8), "sus2": (0, 2, 7), "sus4": (0, 5, 7), "7sus4": (0, 5, 7, 10),
    "add9": (0, 4, 7, 14), "madd9": (0, 3, 7, 14), "6": (0, 4, 7, 9), "m6": (0, 3, 7, 9),
    "9": (0, 4, 10, 14), "maj9": (0, 4, 11, 14), "m9": (0, 3, 10, 14), "5": (0, 7),
    "mmaj7": (0, 3, 7, 11), "7b9": (0, 4, 10, 13),
}

NOTE_BASE = {"c": 0, "d": 2, "e": 4, "f": 5, "g": 7, "a": 9, "b": 11}


class ScoreError(Exception):
    pass


def fail(where, message):
    raise ScoreError(f"{where}: {message}")


# ---------------------------------------------------------------- note values

def parse_pitch(text, where):
    m = re.fullmatch(r"([a-g])([#b]*)(-?\d)", text)
    if not m:
        fail(where, f"not a pitch: {text!r}")
    letter, accidentals, octave = m.groups()
    value = NOTE_BASE[letter] + accidentals.count("#") - accidentals.count("b") + 12 * (int(octave) + 1)
    if not 0 <= value <= 127:
        fail(where, f"pitch out of range: {text!r}")
    return value


def parse_duration(text, where):
    total = 0
    for part in text.split("+"):
        m = re.fullmatch(r"(1|2|4|8|16|32)(\.*)(t?)", part)
        if not m:
            fail(where, f"not a duration: {text!r}")
        base, dots, triplet = m.groups()
        ticks = PPQ * 4 // int(base)
        value = ticks
        for _ in dots:
            ticks //= 2
            value += ticks
        if triplet:
            value = value * 2 // 3
        total += value
    return total


def parse_chord_symbol(text, where):
    if text == "N":
        return None
    m = re.fullmatch(r"([A-G])([#b]?)([^/]*)(?:/([A-G])([#b]?))?", text)
    if not m or m.group(3) not in CHORD_QUALITIES:
        fail(where, f"not a chord: {text!r}")
    root = (NOTE_BASE[m.group(1).lower()] + {"": 0, "#": 1, "b": -1}[m.group(2)]) % 12
    tones = [(root + i) % 12 for i in CHORD_QUALITIES[m.group(3)]]
    bass = root
    if m.group(4):
        bass = (NOTE_BASE[m.group(4).lower()] + {"": 0, "#": 1, "b": -1}[m.group(5)]) % 12
    return Chord(text, root, bass, tones)


@dataclass
class Chord:
    name: str
    root: int
    bass: int
    tones: list  # pitch classes, root first


@dataclass
class Note:
    start: int
    length: int
    pitch: int
    velocity: int
    voice: str


# -------------------------------------------------------------- score objects

@dataclass
class Voice:
    name: str
    channel: int  # 1..16 as written; 10 is percussion
    program: int
    volume: int = 100
    pan: int = 64
    reverb: int = 40
    chorus: int = 0


@dataclass
class Line:
    """One part's material within a section: its kind and its words, per bar where it matters."""
    kind: str
    words: list
    where: str
    options: dict = field(default_factory=dict)


@dataclass
class Section:
    name: str
    bars: int
    where: str
    parts: dict = field(default_factory=dict)  # part name -> Line (or "chords" -> list of bars)


@dataclass
class Score:
    number: str
    title: str = ""
    mood: str = ""
    tempo: float = 120.0
    meter: tuple = (4, 4)
    length: float = 0.0
    swing: float = 0.0
    voices: dict = field(default_factory=dict)
    grooves: dict = field(default_factory=dict)
    sections: dict = field(default_factory=dict)
    form: list = field(default_factory=list)

    @property
    def bar_ticks(self):
        return self.meter[0] * PPQ * 4 // self.meter[1]


# ----------------------------------------------------------------- the parser

def split_options(words):
    options, rest = {}, []
    for w in words:
        m = re.fullmatch(r"(\w+)=(-?[\w.+]+)", w)
        if m:
            options[m.group(1)] = m.group(2)
        else:
            rest.append(w)
    return options, rest


def bars_of(words, where):
    """Splits '| a b | c |' into [['a', 'b'], ['c']]."""
    text = " ".join(words)
    if not text.startswith("|") or not text.endswith("|"):
        fail(where, "bars must start and end with '|'")
    return [bar.split() for bar in text.strip("|").split("|")]


def parse_score(path):
    score = Score(number=path.stem)
    section = None
    groove = None
    last_part = None
    for number, raw in enumerate(path.read_text().splitlines(), 1):
        where = f"{path.name}:{number}"
        # A comment starts with a '#' that follows a blank; a sharp follows a letter.
        line = re.split(r"(?:^|\s)#", raw, maxsplit=1)[0].rstrip()
        if not line.strip():
            continue
        indented = line[0].isspace()
        words = line.split()
        head = words[0]
        if not indented:
            section = groove = last_part = None
            if head in ("title", "mood"):
                setattr(score, head, " ".join(words[1:]))
            elif head == "tempo":
                score.tempo = float(words[1])
            elif head == "meter":
                num, den = words[1].split("/")
                score.meter = (int(num), int(den))
            elif head == "length":
                score.length = float(words[1])
            elif head == "swing":
                score.swing = float(words[1])
            elif head == "voice":
                name, channel, instrument = words[1], int(words[2]), words[3]
                if channel == 10:
                    program = 0
                elif instrument in PROGRAM:
                    program = PROGRAM[instrument]
                else:
                    fail(where, f"unknown instrument {instrument!r}")
                options, _ = split_options(words[4:])
                voice = Voice(name, channel, program)
                for key in ("volume", "pan", "reverb", "chorus"):
                    if key in options:
                        setattr(voice, key, int(options[key]))
                score.voices[name] = voice
            elif head == "groove":
                groove = {"steps": int(words[2]), "rows": [], "where": where}
                score.grooves[words[1]] = groove
            elif head == "form":
                score.form = words[1:]
            elif head == "section":
                name, bars = words[1], int(words[2])
                section = Section(name, bars, where)
                if len(words) > 3:
                    if words[3] != "like" or len(words) != 5 or words[4] not in score.sections:
                        fail(where, "expected 'like <earlier section>'")
                    model = score.sections[words[4]]
                    if model.bars != bars:
                        fail(where, "a section made like another needs its number of bars")
                    section.parts = dict(model.parts)
                score.sections[name] = section
            else:
                fail(where, f"unknown heading {head!r}")
            continue

        if groove is not None:
            if head not in DRUMS:
                fail(where, f"unknown drum {head!r}")
            pattern = "".join(words[1:])
            if len(pattern) != groove["steps"]:
                fail(where, f"pattern has {len(pattern)} steps, groove has {groove['steps']}")
            groove["rows"].append((DRUMS[head], pattern))
            continue
        if section is None:
            fail(where, "indented line outside a section or groove")

        if head == "|":
            # A continuation of the part above.
            if last_part is None:
                fail(where, "bars continue no part")
            previous = section.parts[last_part].words
            previous.extend(words[1:] if previous and previous[-1] == "|" else words)
            continue
        part, rest = head, words[1:]
        offset = 0
        if "@" in part:
            part, at = part.split("@")
            offset = int(at) - 1
        if part != "chords" and part not in score.voices:
            fail(where, f"unknown part {part!r}")
        options, rest = split_options(rest)
        # Written bars may follow on the next lines; anything else names a style.
        kind = rest[0] if rest and rest[0] != "|" else "notes"
        if kind != "notes":
            rest = rest[1:]
        new = Line(kind, list(rest), where, options)
        if offset:
            # Replace the bars from `offset` on in the part inherited from the model.
            old = section.parts.get(part)
            if old is None or old.kind != kind or kind not in ("notes", "chords"):
                fail(where, "'@' replaces bars of an inherited part of the same kind")
            old_bars = resolved_bars(old, old.where)
            new.options = dict(old.options, **options)
            new.splice = (old_bars, offset)
        section.parts[part] = new
        last_part = part
    return score


def resolved_bars(line, where):
    bars = bars_of(line.words, line.where) if line.words else []
    splice = getattr(line, "splice", None)
    if splice:
        old_bars, offset = splice
        bars = old_bars[:offset] + bars + old_bars[offset + len(bars):]
    return bars


# ---------------------------------------------------------------- the writers

def chord_timeline(score, section, start):
    """[(tick, Chord)] for a section starting at `start`."""
    line = section.parts.get("chords")
    if line is None:
        fail(section.where, "section has no chords")
    bars = resolved_bars(line, line.where)
    if len(bars) != section.bars:
        fail(line.where, f"{len(bars)} bars of chords in a section of {section.bars}")
    timeline = []
    for b, bar in enumerate(bars):
        step = even_step(score.bar_ticks, len(bar), line.where, f"bar {b + 1}: {len(bar)} chords")
        for i, word in enumerate(bar):
            if word != ".":
                timeline.append((start + b * score.bar_ticks + i * step, parse_chord_symbol(word, line.where)))
    if not timeline or timeline[0][0] != start:
        fail(line.where, "the first chord must fall on the section's first beat")
    return timeline


def even_step(bar_ticks, count, where, what):
    """The length of one of `count` equal steps in a bar; `what` names them in
    the complaint when they do not fill the bar exactly."""
    step = bar_ticks // count
    if step * count != bar_ticks:
        fail(where, f"{what} do not divide the bar")
    return step


def chord_at(timeline, tick):
    current = timeline[0][1]
    for t, chord in timeline:
        if t > tick:
            break
        current = chord
    return current


def next_chord_after(timeline, tick):
    for t, chord in timeline:
        if t > tick:
            return chord
    return None


def voicing(chord, low, previous, power=False):
    """Close voicing of up to four chord tones with its lowest note in [low, low+12), moved as little as possible."""
    if power:
        root = low + (chord.root - low) % 12
        return [root, root + 7, root + 12]
    tones = list(chord.tones)
    if len(tones) > 4:
        tones = [t for i, t in enumerate(tones) if i != 2][:4]
    best, best_cost = None, None
    for inversion in range(len(tones)):
        order = tones[inversion:] + tones[:inversion]
        first = low + (order[0] - low) % 12
        notes = [first]
        for pc in order[1:]:
            n = notes[-1] + 1
            n += (pc - n) % 12
            notes.append(n)
        if previous:
            cost = sum(abs(a - b) for a, b in zip(sorted(notes), sorted(previous)))
            cost += abs(len(notes) - len(previous)) * 3
        else:
            cost = abs(sum(notes) / len(notes) - (low + 9))
        if best_cost is None or cost < best_cost:
            best, best_cost = notes, cost
    return best


def bass_pitch(pc, low):
    return low + (pc - low) % 12


def steps_of(line, bar_index):
    """A style line's words for one bar: alternatives separated by '/' take turns."""
    groups, current = [], []
    for w in line.words:
        if w == "/":
            groups.append(current)
            current = []
        else:
            current.append(w)
    groups.append(current)
    return groups[bar_index % len(groups)]


class Writer:
    def __init__(self, score):
        self.score = score
        self.notes = []
        self.rng = random.Random(int(score.number) * 7919)

    def add(self, voice, start, length, pitch, velocity):
        if length <= 0:
            return None
        velocity = max(1, min(127, velocity + self.rng.randint(-4, 4)))
        note = Note(start, length, pitch, velocity, voice)
        self.notes.append(note)
        return note

    def accent(self, tick):
        position = tick % self.score.bar_ticks
        if position == 0:
            return 6
        if position * 2 == self.score.bar_ticks:
            return 3
        return 0

    # -- explicit notes
    def notes_line(self, voice, line, start, bars_expected):
        bars = resolved_bars(line, line.where)
        if len(bars) != bars_expected:
            fail(line.where, f"{len(bars)} bars written for a section of {bars_expected}")
        shift = 12 * int(line.options.get("oct", 0))
        velocity = DYNAMICS.get(line.options.get("dyn", "mf"))
        duration = PPQ
        ties = {}
        tick = start
        for b, bar in enumerate(bars):
            bar_start = start + b * self.score.bar_ticks
            tick = bar_start
            for word in bar:
                if word in DYNAMICS:
                    velocity = DYNAMICS[word]
                    continue
                m = re.fullmatch(r"(>?)(\[[^\]]+\]|[a-gr][#b]*-?\d?)(?::([\d.t+]+))?(~?)('?)", word)
                if not m:
                    fail(line.where, f"bar {b + 1}: cannot read {word!r}")
                accent, body, dur, tie, staccato = m.groups()
                if dur:
                    duration = parse_duration(dur, line.where)
                if body == "r":
                    ties = {}
                else:
                    pitches = body.strip("[]").split() if body.startswith("[") else [body]
                    pitches = [parse_pitch(p, line.where) + shift for p in pitches]
                    vel = velocity + (14 if accent else 0) + self.accent(tick)
                    # Staccato keeps half the value; legato lifts a hair early so repeats re-strike.
                    gap = duration // 2 if staccato else min(24, duration // 10)
                    new_ties = {}
                    for p in pitches:
                        note = ties.get(p)
                        if note is None:
                            note = self.add(voice, tick, duration, p, vel)
                        else:
                            note.length = tick + duration - note.start
                        if tie:
                            new_ties[p] = note
                        else:
                            note.length -= gap
                    ties = new_ties
                tick += duration
            if tick != bar_start + self.score.bar_ticks:
                fail(line.where, f"bar {b + 1} holds {tick - bar_start} ticks, the meter {self.score.bar_ticks}")
        if ties:
            fail(line.where, "a tie runs past the end of the section")

    # -- chords held, struck or broken
    def chord_line(self, voice, line, start, bars, timeline):
        low = int(line.options.get("low", 55))
        velocity = DYNAMICS.get(line.options.get("dyn", "mp"))
        power = line.options.get("power") == "1"
        previous = None
        end = start + bars * self.score.bar_ticks
        if line.kind == "hold":
            for i, (t, chord) in enumerate(timeline):
                stop = timeline[i + 1][0] if i + 1 < len(timeline) else end
                if chord is None:
                    continue
                previous = voicing(chord, low, previous, power)
                for p in previous:
                    self.add(voice, t, stop - t - 6, p, velocity + self.accent(t))
            return
        for tick, word, length, step in self.sounding_steps(line, start, bars, line.kind == "hits"):
            chord = chord_at(timeline, tick)
            if chord is None:
                continue
            previous = voicing(chord, low, previous, power)
            gate = length * step - (step // 3 if line.kind == "hits" else 8)
            if line.kind == "hits":
                vel = velocity + (16 if word == "X" else 0) + self.accent(tick)
                for p in previous:
                    self.add(voice, tick, gate, p, vel)
            else:  # arp: chord-tone numbers counted upward from the voicing's lowest note
                if not word.isdigit():
                    fail(line.where, f"not an arpeggio step: {word!r}")
                k = int(word) - 1
                pitch = previous[k % len(previous)] + 12 * (k // len(previous))
                self.add(voice, tick, gate, pitch, velocity + self.accent(tick))

    def sounding_steps(self, line, start, bars, split_letters=False):
        """The line's steps bar by bar as (tick, word, length, step), held
        steps ("-") folded into the length of the word before them and rests
        (".") left out."""
        for b in range(bars):
            words = steps_of(line, b)
            if split_letters:
                words = list("".join(words))
            steps = len(words)
            step = even_step(self.score.bar_ticks, steps, line.where, f"{steps} steps")
            bar_start = start + b * self.score.bar_ticks
            i = 0
            while i < steps:
                word = words[i]
                length = 1
                while i + length < steps and words[i + length] == "-":
                    length += 1
                if word not in (".", "-"):
                    yield bar_start + i * step, word, length, step
                i += length

    # -- bass lines from the chord roots
    def bass_line(self, voice, line, start, bars, timeline):
        low = int(line.options.get("low", 36))
        velocity = DYNAMICS.get(line.options.get("dyn", "f"))
        for tick, word, length, step in self.sounding_steps(line, start, bars):
            chord = chord_at(timeline, tick)
            if chord is None:
                continue
            root = bass_pitch(chord.bass, low)
            true_root = bass_pitch(chord.root, low)
            third = chord.tones[1] if len(chord.tones) > 2 else chord.tones[0]
            if word == "R":
                pitch = root
            elif word == "5":
                pitch = true_root + 7
            elif word == "3":
                pitch = true_root + (third - chord.root) % 12
            elif word == "7":
                pitch = true_root + ((chord.tones[3] - chord.root) % 12 if len(chord.tones) > 3 else 10)
            elif word == "8":
                pitch = root + 12
            elif word == "L":
                pitch = true_root - 5
            elif word in ("A", "V"):
                nxt = next_chord_after(timeline, tick) or next_chord_after(self.first_timeline, -1)
                target = bass_pitch(nxt.bass, low) if nxt else root
                pitch = target - 1 if word == "A" else target + 1
            else:
                fail(line.where, f"not a bass step: {word!r}")
            gate = length * step - max(10, step // 8)
            self.add(voice, tick, gate, pitch, velocity + self.accent(tick))

    # -- a walking bass: roots where the chord changes, a chromatic step into
    # the next root, chord tones in between
    def walk_line(self, voice, line, start, bars, timeline):
        low = int(line.options.get("low", 36))
        velocity = DYNAMICS.get(line.options.get("dyn", "f"))
        beat = PPQ * 4 // self.score.meter[1]
        changes = {t for t, _ in timeline}
        end = start + bars * self.score.bar_ticks
        since_change = 0
        from_below = True
        for tick in range(start, end, beat):
            chord = chord_at(timeline, tick)
            if chord is None:
                continue
            root = bass_pitch(chord.bass, low)
            if tick in changes:
                pitch, since_change = root, 0
            elif tick + beat in changes:
                target = bass_pitch(next_chord_after(timeline, tick).bass, low)
                pitch = target - 1 if from_below else target + 1
                from_below = not from_below
            else:
                since_change += 1
                third = (chord.tones[1] - chord.root) % 12
                fifth = (chord.tones[2] - chord.root) % 12 if len(chord.tones) > 2 else 7
                pitch = bass_pitch(chord.root, low) + (third, fifth, 12, fifth)[(since_change - 1) % 4]
            self.add(voice, tick, beat - 30, pitch, velocity + self.accent(tick))

    # -- drums from named grooves
    def drum_line(self, voice, line, start, bars):
        names = []
        for w in line.words:
            m = re.fullmatch(r"([\w]+)(?:\*(\d+))?", w)
            if not m or m.group(1) not in self.score.grooves:
                fail(line.where, f"unknown groove {w!r}")
            names += [m.group(1)] * int(m.group(2) or 1)
        if len(names) == 1:
            names *= bars
        if len(names) != bars:
            fail(line.where, f"{len(names)} grooves for {bars} bars")
        scale = DYNAMICS.get(line.options.get("dyn", "f")) / 96
        for b, name in enumerate(names):
            groove = self.score.grooves[name]
            step = even_step(self.score.bar_ticks, groove["steps"], groove["where"], f"{groove['steps']} steps")
            for key, pattern in groove["rows"]:
                for i, c in enumerate(pattern):
                    if c in ".-":
                        continue
                    level = {"x": 92, "X": 116, "o": 56}.get(c)
                    if level is None:
                        fail(groove["where"], f"not a drum stroke: {c!r}")
                    tick = start + b * self.score.bar_ticks + i * step
                    self.add(voice, tick, min(step, PPQ // 4), key, int(level * scale) + self.accent(tick) // 2)


def compose(score):
    writer = Writer(score)
    for name in score.form:
        if name not in score.sections:
            fail(f"{score.number}.txt", f"form names unknown section {name!r}")
    start = 0
    timelines = []
    for name in score.form:
        section = score.sections[name]
        timelines.append((start, section, chord_timeline(score, section, start)))
        start += section.bars * score.bar_ticks
    total = start
    writer.first_timeline = timelines[0][2]
    for index, (start, section, timeline) in enumerate(timelines):
        # A bass approach in the last bar leads back into the first.
        if index + 1 < len(timelines):
            timeline = timeline + [timelines[index + 1][2][0]]
        else:
            timeline = timeline + [(total, timelines[0][2][0][1])]
        for part, line in section.parts.items():
            if part == "chords" or line.kind == "rest":
                continue
            voice = part
            if line.kind == "double":
                # Another part's written notes, played by this voice too (usually an octave away).
                model = section.parts.get(line.words[0] if line.words else "")
                if model is None or model.kind != "notes":
                    fail(line.where, "'double' names a part written out in notes in this section")
                line = Line("notes", model.words, model.where, dict(model.options, **line.options))
                if hasattr(model, "splice"):
                    line.splice = model.splice
            if line.kind == "notes":
                writer.notes_line(voice, line, start, section.bars)
            elif line.kind in ("hold", "hits", "arp"):
                writer.chord_line(voice, line, start, section.bars, timeline)
            elif line.kind == "bass":
                writer.bass_line(voice, line, start, section.bars, timeline)
            elif line.kind == "walk":
                writer.walk_line(voice, line, start, section.bars, timeline)
            elif line.kind == "beat":
                writer.drum_line(voice, line, start, section.bars)
            else:
                fail(line.where, f"unknown kind of part {line.kind!r}")
    return writer.notes, total, timelines


# --------------------------------------------------------------------- timing

def swung(tick, amount):
    """Moves off-beat eighths later, keeping every beat where it was."""
    if amount <= 0:
        return tick
    beat, position = divmod(tick, PPQ)
    half = PPQ // 2
    if position <= half:
        position = position * (half + half * amount) / half
    else:
        position = half * (1 + amount) + (position - half) * (half - half * amount) / half
    return beat * PPQ + int(round(position))


def seconds(score, ticks):
    return ticks / PPQ * 60.0 / score.tempo


# ----------------------------------------------------------------- MIDI bytes

def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def chunk(kind, payload):
    return kind + struct.pack(">I", len(payload)) + payload


def track_bytes(events, end):
    """events: [(tick, order, bytes)]; End of Track goes exactly at `end`."""
    out = bytearray()
    now = 0
    for tick, _, data in sorted(events, key=lambda e: (e[0], e[1])):
        if tick > end:
            raise ScoreError(f"an event at tick {tick} lies past the end {end}")
        out += varlen(tick - now) + data
        now = tick
    out += varlen(end - now) + b"\xff\x2f\x00"
    return chunk(b"MTrk", bytes(out))


def meta(kind, payload):
    return bytes([0xFF, kind]) + varlen(len(payload)) + payload


def midi_file(score, notes, total):
    tempo = int(round(60_000_000 / score.tempo))
    conductor = [
        (0, 0, meta(0x03, score.title.encode("ascii"))),
        (0, 1, meta(0x01, score.mood.encode("ascii"))),
        (0, 2, meta(0x58, bytes([score.meter[0], score.meter[1].bit_length() - 1, 24, 8])),),
        (0, 3, meta(0x51, tempo.to_bytes(3, "big"))),
    ]
    tracks = [track_bytes(conductor, total)]
    for voice in score.voices.values():
        ch = voice.channel - 1
        events = [
            (0, 0, meta(0x03, voice.name.encode("ascii"))),
            (0, 1, bytes([0xB0 | ch, 121, 0])),  # reset controllers
            (0, 2, bytes([0xB0 | ch, 0, 0])),  # bank select
            (0, 3, bytes([0xC0 | ch, voice.program])),
            (0, 4, bytes([0xB0 | ch, 7, voice.volume])),
            (0, 5, bytes([0xB0 | ch, 10, voice.pan])),
            (0, 6, bytes([0xB0 | ch, 91, voice.reverb])),
            (0, 7, bytes([0xB0 | ch, 93, voice.chorus])),
            (0, 8, bytes([0xB0 | ch, 64, 0])),
        ]
        mine = sorted((n for n in notes if n.voice == voice.name), key=lambda n: (n.start, n.pitch))
        # A note struck again before its last stroke ended would have that
        # stroke's note-off cut the new one short.
        last_by_pitch = {}
        for n in mine:
            before = last_by_pitch.get(n.pitch)
            if before is not None and before.start + before.length > n.start:
                before.length = n.start - before.start
            last_by_pitch[n.pitch] = n
        for n in mine:
            if n.length <= 0:
                continue
            on = swung(n.start, score.swing)
            off = min(swung(n.start + n.length, score.swing), total)
            if off <= on:
                continue
            events.append((on, 20, bytes([0x90 | ch, n.pitch, n.velocity])))
            events.append((off, 10, bytes([0x80 | ch, n.pitch, 64])))
        tracks.append(track_bytes(events, total))
    header = chunk(b"MThd", struct.pack(">HHH", 1, len(tracks), PPQ))
    return header + b"".join(tracks)


# ------------------------------------------------------------------- checking

def lint(score, notes, timelines):
    """Melody notes on strong beats that are not in the chord: worth a second look."""
    remarks = []
    half = score.bar_ticks // 2 if score.meter[0] % 2 == 0 else score.bar_ticks
    for n in notes:
        voice = score.voices[n.voice]
        if voice.channel == 10 or n.start % half != 0 or n.length < PPQ // 2:
            continue
        for start, section, timeline in timelines:
            if start <= n.start < start + section.bars * score.bar_ticks:
                line = section.parts.get(n.voice)
                if line is None or line.kind != "notes":
                    break
                chord = chord_at(timeline, n.start)
                if chord is not None and n.pitch % 12 not in chord.tones:
                    bar = (n.start - start) // score.bar_ticks + 1
                    remarks.append(f"{score.number}.txt {section.name} bar {bar}: {n.voice} "
                                   f"{n.pitch} over {chord.name}")
                break
    return remarks


def build(number, want_lint=False):
    score = parse_score(HERE / f"{number}.txt")
    notes, total, timelines = compose(score)
    actual = seconds(score, total)
    if abs(actual - score.length) > 0.005:
        raise ScoreError(f"{number}.txt: the score lasts {actual:.3f} s, the source says {score.length} s")
    if not 40 <= actual <= 120:
        raise ScoreError(f"{number}.txt: {actual:.1f} s is not a background track's length")
    remarks = lint(score, notes, timelines) if want_lint else []
    return midi_file(score, notes, total), actual, remarks


def main(argv):
    check = "--check" in argv
    want_lint = "--lint" in argv
    numbers = [a for a in argv if not a.startswith("--")] or [str(n) for n in range(1, 9)]
    stale = []
    try:
        for number in numbers:
            data, length, remarks = build(number, want_lint)
            target = ROOT / "dat" / f"{number}.mid"
            for remark in remarks:
                print("  lint:", remark)
            if check:
                if not target.exists() or target.read_bytes() != data:
                    stale.append(target.name)
                continue
            target.write_bytes(data)
            print(f"{target.relative_to(ROOT)}: {length:.2f} s, {len(data)} bytes")
    except ScoreError as error:
        print("error:", error, file=sys.stderr)
        return 1
    if stale:
        print("stale:", " ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
