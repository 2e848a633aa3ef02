#!/usr/bin/env python3
"""Writes tests/audio/test_gm.sf2, the small General MIDI SoundFont the audio
tests play through, from the waves and envelopes set out in this script.

    python3 tools/soundfont/make_test_soundfont.py           # write it
    python3 tools/soundfont/make_test_soundfont.py --check   # fail if the committed file is stale

Every sample comes from the figures below: the noise has a fixed seed, so the
same script always gives the same bytes. README.md beside it tells why the
font is laid out as it is.
"""

import math
import struct
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
OUT = ROOT / "tests" / "audio" / "test_gm.sf2"
RATE = 44100

# Every melodic program plays one looped period of a fundamental and two soft
# overtones: 200 frames is 220.5 Hz, 3.9 cents above A3.
TONE_PERIOD = 200
TONE_ROOT = 57
TONE_CORRECTION = -4  # cents
TONE_HARMONICS = (1.0, 0.5, 0.25)
TONE_PEAK = 0.5  # of full scale
# A held tone stays at its full level, so a track's loudness is the sum of its
# notes, whatever their length; the release is short enough that a stopped
# track is silent within half a second, reverb and all.
TONE_ATTACK = 0.005  # seconds
TONE_RELEASE = 0.15

# Every drum note plays the same burst of low-passed noise, at the same pitch,
# dying away within a quarter of a second.
NOISE_FRAMES = 2048  # looped: the envelope, not the sample, ends the sound
NOISE_CORNER = 6000.0  # Hz
NOISE_PEAK = 0.5
DRUM_ATTACK = 0.001
DRUM_DECAY = 0.25
DRUM_RELEASE = 0.25

# A sample's loop is framed by copies of its other end, so that interpolation
# across the loop's ends reads what it will play.
GUARD = 8
# The zero frames the format wants after every sample.
PADDING = 46

# Generator numbers.
ATTACK_VOL_ENV = 34
DECAY_VOL_ENV = 36
SUSTAIN_VOL_ENV = 37
RELEASE_VOL_ENV = 38
INSTRUMENT = 41
SAMPLE_ID = 53
SAMPLE_MODES = 54
SCALE_TUNING = 56
LOOP_CONTINUOUSLY = 1
SILENT_CB = 1440  # a sustain this far down is no sustain at all


def timecents(seconds):
    return round(1200 * math.log2(seconds))


def tone_period():
    wave = [sum(a * math.sin(2 * math.pi * (h + 1) * i / TONE_PERIOD) for h, a in enumerate(TONE_HARMONICS))
            for i in range(TONE_PERIOD)]
    peak = max(abs(v) for v in wave)
    return [v * TONE_PEAK / peak for v in wave]


def noise_loop():
    # A small linear congruential generator and two one-pole low-pass stages:
    # the same bytes on every machine.
    state = 0x5EED
    k = 1.0 - math.exp(-2 * math.pi * NOISE_CORNER / RATE)
    lp = lp2 = 0.0
    out = []
    for _ in range(NOISE_FRAMES + 64):  # the filters settle in the first 64
        state = (state * 1664525 + 1013904223) & 0xFFFFFFFF
        lp += k * (state / 2147483648.0 - 1.0 - lp)
        lp2 += k * (lp - lp2)
        out.append(lp2)
    out = out[64:]
    peak = max(abs(v) for v in out)
    return [v * NOISE_PEAK / peak for v in out]


def framed(loop):
    return loop[-GUARD:] + loop + loop[:GUARD]


def pcm(samples):
    return b"".join(struct.pack("<h", max(-32767, min(32767, round(v * 32767)))) for v in samples)


def chunk(tag, data):
    assert len(tag) == 4
    return tag + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")


def riff_list(tag, chunks):
    body = tag + b"".join(chunks)
    return b"LIST" + struct.pack("<I", len(body)) + body


def name20(text):
    raw = text.encode("ascii")
    assert len(raw) < 20
    return raw + b"\0" * (20 - len(raw))


def gen(oper, amount):
    return struct.pack("<Hh", oper, amount)


def build():
    samples = [("Tone", framed(tone_period()), TONE_ROOT, TONE_CORRECTION),
               ("Noise", framed(noise_loop()), 60, 0)]
    smpl = b""
    shdr = b""
    for name, frames, root, correction in samples:
        start = len(smpl) // 2
        smpl += pcm(frames) + b"\0\0" * PADDING
        end = start + len(frames)
        shdr += name20(name) + struct.pack("<IIIIIBbHH", start, end, start + GUARD, end - GUARD, RATE, root,
                                           correction, 0, 1)
    shdr += name20("EOS") + bytes(26)

    instruments = [
        ("Tone", [gen(ATTACK_VOL_ENV, timecents(TONE_ATTACK)), gen(RELEASE_VOL_ENV, timecents(TONE_RELEASE)),
                  gen(SAMPLE_MODES, LOOP_CONTINUOUSLY), gen(SAMPLE_ID, 0)]),
        ("Kit", [gen(SCALE_TUNING, 0), gen(ATTACK_VOL_ENV, timecents(DRUM_ATTACK)),
                 gen(DECAY_VOL_ENV, timecents(DRUM_DECAY)), gen(SUSTAIN_VOL_ENV, SILENT_CB),
                 gen(RELEASE_VOL_ENV, timecents(DRUM_RELEASE)), gen(SAMPLE_MODES, LOOP_CONTINUOUSLY),
                 gen(SAMPLE_ID, 1)]),
    ]
    inst = ibag = igen = b""
    for index, (name, gens) in enumerate(instruments):
        inst += name20(name) + struct.pack("<H", index)
        ibag += struct.pack("<HH", len(igen) // 4, 0)
        igen += b"".join(gens)
    inst += name20("EOI") + struct.pack("<H", len(instruments))
    ibag += struct.pack("<HH", len(igen) // 4, 0)
    igen += bytes(4)

    # All 128 melodic programs, so that no track ever falls back to the piano,
    # and the standard kit, which every other kit falls back to.
    presets = [(f"Program {p}", 0, p, 0) for p in range(128)] + [("Standard Kit", 128, 0, 1)]
    phdr = pbag = pgen = b""
    for index, (name, bank, program, instrument) in enumerate(presets):
        phdr += name20(name) + struct.pack("<HHHIII", program, bank, index, 0, 0, 0)
        pbag += struct.pack("<HH", index, 0)
        pgen += gen(INSTRUMENT, instrument)
    phdr += name20("EOP") + struct.pack("<HHHIII", 0, 0, len(presets), 0, 0, 0)
    pbag += struct.pack("<HH", len(presets), 0)
    pgen += bytes(4)

    info = riff_list(b"INFO", [chunk(b"ifil", struct.pack("<HH", 2, 1)), chunk(b"isng", b"EMU8000\0"),
                               chunk(b"INAM", b"QUILLOT test GM\0")])
    sdta = riff_list(b"sdta", [chunk(b"smpl", smpl)])
    pdta = riff_list(b"pdta", [chunk(b"phdr", phdr), chunk(b"pbag", pbag), chunk(b"pmod", bytes(10)),
                               chunk(b"pgen", pgen), chunk(b"inst", inst), chunk(b"ibag", ibag),
                               chunk(b"imod", bytes(10)), chunk(b"igen", igen), chunk(b"shdr", shdr)])
    body = b"sfbk" + info + sdta + pdta
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main(argv):
    data = build()
    if "--check" in argv:
        if not OUT.exists() or OUT.read_bytes() != data:
            print(f"stale: {OUT.relative_to(ROOT)} (run {Path(__file__).relative_to(ROOT)})", file=sys.stderr)
            return 1
        return 0
    OUT.write_bytes(data)
    print(f"{OUT.relative_to(ROOT)}: {len(data)} bytes, 128 melodic programs and the standard kit")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
