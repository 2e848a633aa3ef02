#!/usr/bin/env python3
"""Writes the game's sound effects, dat/sfx/NAME.wav, from the recipes in
effects.txt beside this script.

    python3 tools/sfx/make_effects.py            # write every effect
    python3 tools/sfx/make_effects.py coin bomb  # write some of them
    python3 tools/sfx/make_effects.py --check    # fail if a committed file is stale

Every sample comes from the recipe alone: the noise has its own fixed seed per
effect, so the same recipe always gives the same bytes. The format is
described in README.md.
"""

import math
import re
import struct
import sys
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
OUT = ROOT / "dat" / "sfx"
RATE = 44100
# Several effects sound at once and the music is under them: no single one may
# come near full scale.
PEAK_CAP_DB = -6.0
WAVES = ("sine", "triangle", "square", "saw", "noise")
NOTE_STEPS = {"c": 0, "d": 2, "e": 4, "f": 5, "g": 7, "a": 9, "b": 11}


class RecipeError(Exception):
    pass


@dataclass
class Layer:
    wave: str
    f0: float
    f1: float
    start: float  # ms
    length: float  # ms
    attack: float = 2.0
    level: float = 1.0
    curve: str = "exp"


@dataclass
class Effect:
    name: str
    rms_db: float
    layers: list


def note_hz(name, line_no):
    m = re.fullmatch(r"([a-g])(#|b)?(-?\d)", name)
    if not m:
        raise RecipeError(f"line {line_no}: not a note: {name}")
    step = NOTE_STEPS[m.group(1)] + {"#": 1, "b": -1, None: 0}[m.group(2)]
    midi = 12 * (int(m.group(3)) + 1) + step
    return 440.0 * 2 ** ((midi - 69) / 12)


def options(words, line_no, allowed):
    out = {}
    for w in words:
        key, sep, value = w.partition("=")
        if not sep or key not in allowed:
            raise RecipeError(f"line {line_no}: unknown option {w}")
        out[key] = value
    return out


def number(text, line_no):
    try:
        return float(text)
    except ValueError:
        raise RecipeError(f"line {line_no}: not a number: {text}") from None


def layer_options(layer, opts, line_no):
    if "attack" in opts:
        layer.attack = number(opts["attack"], line_no)
    if "level" in opts:
        layer.level = number(opts["level"], line_no)
    if "curve" in opts:
        if opts["curve"] not in ("exp", "flat"):
            raise RecipeError(f"line {line_no}: curve is exp or flat")
        layer.curve = opts["curve"]


def parse(text):
    effects = []
    for line_no, raw in enumerate(text.splitlines(), 1):
        line = raw.split("#", 1)[0] if raw.lstrip().startswith("#") else re.sub(r"\s#\s.*$", "", raw)
        words = line.split()
        if not words:
            continue
        if not raw[0].isspace():
            if words[0] != "effect" or len(words) < 2:
                raise RecipeError(f"line {line_no}: expected 'effect NAME'")
            opts = options(words[2:], line_no, {"rms"})
            effects.append(Effect(words[1], number(opts.get("rms", "-26"), line_no), []))
            continue
        if not effects:
            raise RecipeError(f"line {line_no}: a layer before any effect")
        layers = effects[-1].layers
        if words[0] == "notes":
            head, sep, notes = line.partition(":")
            hw = head.split()
            if not sep or len(hw) < 2 or hw[1] not in WAVES or hw[1] == "noise":
                raise RecipeError(f"line {line_no}: expected 'notes WAVE [options] : NOTES'")
            opts = options(hw[2:], line_no, {"step", "length", "start", "attack", "level", "curve"})
            step = number(opts.pop("step", "100"), line_no)
            length = number(opts.pop("length", "100"), line_no)
            start = number(opts.pop("start", "0"), line_no)
            for i, name in enumerate(notes.split()):
                hz = note_hz(name, line_no)
                layer = Layer(hw[1], hz, hz, start + i * step, length)
                layer_options(layer, opts, line_no)
                layers.append(layer)
            continue
        if words[0] not in WAVES or len(words) < 3:
            raise RecipeError(f"line {line_no}: expected 'WAVE FREQ START+LENGTH [options]'")
        freqs = words[1].split(">")
        times = words[2].split("+")
        if len(freqs) > 2 or len(times) != 2:
            raise RecipeError(f"line {line_no}: frequency is F or F>F, time START+LENGTH")
        f0 = number(freqs[0], line_no)
        f1 = number(freqs[-1], line_no)
        layer = Layer(words[0], f0, f1, number(times[0], line_no), number(times[1], line_no))
        layer_options(layer, options(words[3:], line_no, {"attack", "level", "curve"}), line_no)
        if layer.length <= 0 or f0 <= 0 or f1 <= 0:
            raise RecipeError(f"line {line_no}: length and frequency must be above zero")
        layers.append(layer)
    for e in effects:
        if not e.layers:
            raise RecipeError(f"effect {e.name} has no layers")
    return effects


class Noise:
    """A small linear congruential generator: the same bytes on every machine."""

    def __init__(self, name):
        self.state = sum((i + 1) * ord(c) for i, c in enumerate(name)) & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state / 2147483648.0 - 1.0


def envelope(layer, t):
    """t in ms from the layer's start."""
    a = max(layer.attack, 0.5)
    if t < a:
        return t / a
    if layer.curve == "flat":
        # Held, with a 5 ms release so the end does not click.
        rest = layer.length - t
        return min(1.0, rest / 5.0) if rest < 5.0 else 1.0
    # Down 40 dB by the layer's end, then cut.
    span = max(layer.length - a, 1.0)
    return 10 ** (-2.0 * (t - a) / span)


def render_layer(layer, out, noise):
    first = int(layer.start * RATE / 1000)
    count = int(layer.length * RATE / 1000)
    phase = 0.0
    lp = 0.0
    lp2 = 0.0
    for i in range(count):
        t = i * 1000.0 / RATE
        frac = i / max(count - 1, 1)
        hz = layer.f0 * (layer.f1 / layer.f0) ** frac  # exponential glide
        if layer.wave == "noise":
            # Two one-pole low-pass stages with the frequency as their corner.
            k = 1.0 - math.exp(-2 * math.pi * hz / RATE)
            lp += k * (noise.next() - lp)
            lp2 += k * (lp - lp2)
            v = lp2 * 2.0
        else:
            phase = (phase + hz / RATE) % 1.0
            if layer.wave == "sine":
                v = math.sin(2 * math.pi * phase)
            elif layer.wave == "triangle":
                v = 4 * abs(phase - 0.5) - 1
            elif layer.wave == "square":
                v = 0.6 if phase < 0.5 else -0.6
            else:
                v = 0.6 * (2 * phase - 1)
        j = first + i
        while len(out) <= j:
            out.append(0.0)
        out[j] += v * envelope(layer, t) * layer.level


def render(effect):
    out = []
    noise = Noise(effect.name)
    for layer in effect.layers:
        render_layer(layer, out, noise)
    rms = math.sqrt(sum(v * v for v in out) / len(out))
    peak = max(abs(v) for v in out)
    gain = 10 ** (effect.rms_db / 20) / rms if rms > 0 else 0.0
    cap = 10 ** (PEAK_CAP_DB / 20)
    if peak * gain > cap:
        gain = cap / peak
    return [v * gain for v in out]


def wav_bytes(samples):
    data = b"".join(struct.pack("<h", max(-32767, min(32767, round(v * 32767)))) for v in samples)
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16)
    return header + fmt + b"data" + struct.pack("<I", len(data)) + data


def main(argv):
    check = "--check" in argv
    names = [a for a in argv if not a.startswith("--")]
    try:
        effects = parse((HERE / "effects.txt").read_text(encoding="utf-8"))
    except RecipeError as e:
        print(f"effects.txt: {e}", file=sys.stderr)
        return 1
    known = {e.name for e in effects}
    for n in names:
        if n not in known:
            print(f"no effect named {n}", file=sys.stderr)
            return 1
    stale = []
    OUT.mkdir(parents=True, exist_ok=True)
    for e in effects:
        if names and e.name not in names:
            continue
        samples = render(e)
        data = wav_bytes(samples)
        path = OUT / f"{e.name}.wav"
        if check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(path.name)
            continue
        path.write_bytes(data)
        rms = math.sqrt(sum(v * v for v in samples) / len(samples))
        peak = max(abs(v) for v in samples)
        print(f"{path.relative_to(ROOT)}: {len(samples) * 1000 // RATE} ms, "
              f"rms {20 * math.log10(rms):.1f} dBFS, peak {20 * math.log10(peak):.1f} dBFS")
    if stale:
        print("stale: " + " ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
