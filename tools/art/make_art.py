#!/usr/bin/env python3
"""Writes the game's pictures from the text sources beside this script.

    python3 tools/art/make_art.py           write app/render/art/*.bmp, cg/start.bmp and the icons
    python3 tools/art/make_art.py --check   fail if a committed picture is stale

Sprite sources (one *.txt per sprite) hold a legend and a 20 x 20 grid:

    ; a comment
    . #0000FF background
    K #000000 outline
    <one blank line>
    twenty rows of twenty legend characters

Colours in the sources are written #RRGGBB, as a paint program shows them.
The legend order is the palette order of the written file.

The program's icon (icon.txt) is a 16 x 16 grid in the same form, whose
legend may also name the colour "none" (transparent); it is written as PNG
files at the desktop's usual sizes, each pixel an n x n block.
"""

import struct
import sys
import zlib
from pathlib import Path

ART_DIR = Path(__file__).resolve().parent
ROOT = ART_DIR.parent.parent

SPRITE_SIZE = 20
# The playfield is cleared to this blue and sprites are copied opaquely onto
# it, so every sprite must carry exactly this colour around its figure.
BACKGROUND = (0, 0, 255)
MIN_COLOURS = 4
MAX_COLOURS = 166

SPRITES = ["my1", "my2", "my3", "my4", "my5", "my6",
           "ene1", "ene2", "ene3", "ene4", "ene5", "ene6", "ene8"]


class ArtError(Exception):
    pass


# ---------------------------------------------------------------- BMP files

def _bmp_headers(width, height, bits, palette_len, row_bytes):
    image_size = row_bytes * height
    offset = 14 + 40 + 4 * palette_len
    file_header = struct.pack("<2sIHHI", b"BM", offset + image_size, 0, 0, offset)
    # A positive height makes the rows bottom-up, which every reader expects.
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                              image_size, 2835, 2835, palette_len, palette_len)
    return file_header + info_header


def _padded(row):
    return row + b"\0" * (-len(row) % 4)


def bmp8(palette, rows):
    """palette: list of (r, g, b); rows: top-down lists of palette indices."""
    height, width = len(rows), len(rows[0])
    body = b"".join(_padded(bytes(row)) for row in reversed(rows))
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return _bmp_headers(width, height, 8, len(palette), len(body) // height) + pal + body


def bmp24(rows):
    """rows: top-down lists of (r, g, b)."""
    height, width = len(rows), len(rows[0])
    body = b"".join(_padded(b"".join(struct.pack("<BBB", b, g, r) for r, g, b in row))
                    for row in reversed(rows))
    return _bmp_headers(width, height, 24, 0, len(body) // height) + body


# ------------------------------------------------------------------ sprites

def parse_colour(text, where):
    if len(text) != 7 or text[0] != "#":
        raise ArtError(f"{where}: colour {text!r} is not #RRGGBB")
    try:
        value = int(text[1:], 16)
    except ValueError:
        raise ArtError(f"{where}: colour {text!r} is not #RRGGBB") from None
    return (value >> 16, (value >> 8) & 0xFF, value & 0xFF)


def read_legend(path, lines, colour_of):
    """Reads the legend at the top of a source, '<char> COLOUR [note]' lines up
    to the first blank one. Returns ({char: colour_of(COLOUR, where)} in file
    order, the index of the line after the legend)."""
    legend = {}
    n = 0
    while n < len(lines) and lines[n].strip():
        line = lines[n].rstrip()
        n += 1
        where = f"{path.name}:{n}"
        if line.startswith(";"):
            continue
        fields = line.split(maxsplit=2)
        if len(fields) < 2 or len(fields[0]) != 1:
            raise ArtError(f"{where}: legend line must be '<char> <colour> [note]'")
        if fields[0] in legend:
            raise ArtError(f"{where}: character {fields[0]!r} defined twice")
        legend[fields[0]] = colour_of(fields[1], where)
    return legend, n


def read_grid(path, lines, first, size, legend):
    """The square grid of legend characters after the legend, as rows of legend values."""
    grid = [(i + 1, line.rstrip()) for i, line in enumerate(lines) if i >= first and line.strip()]
    if len(grid) != size:
        raise ArtError(f"{path.name}: grid has {len(grid)} rows, wants {size}")
    rows = []
    for lineno, line in grid:
        if len(line) != size:
            raise ArtError(f"{path.name}:{lineno}: row has {len(line)} columns, wants {size}")
        unknown = sorted(set(line) - legend.keys())
        if unknown:
            raise ArtError(f"{path.name}:{lineno}: unknown character(s) {''.join(unknown)!r}")
        rows.append([legend[c] for c in line])
    return rows


def load_sprite(path):
    """Returns (palette, rows of indices) from a sprite source, or raises ArtError."""
    lines = path.read_text(encoding="utf-8").splitlines()
    colours, n = read_legend(path, lines, parse_colour)
    legend = {}
    palette = []
    for char, colour in colours.items():
        if colour in palette:
            raise ArtError(f"{path.name}: colour of {char!r} already has a character")
        legend[char] = len(palette)
        palette.append(colour)
    rows = read_grid(path, lines, n, SPRITE_SIZE, legend)

    if BACKGROUND not in palette:
        raise ArtError(f"{path.name}: the legend lacks the background blue #0000FF")
    if not MIN_COLOURS <= len(palette) <= MAX_COLOURS:
        raise ArtError(f"{path.name}: {len(palette)} colours, wants {MIN_COLOURS} to {MAX_COLOURS}")
    # An unused entry is almost always a typo in the grid.
    used = {i for row in rows for i in row}
    unused = [c for c, i in legend.items() if i not in used]
    if unused:
        raise ArtError(f"{path.name}: legend character(s) {''.join(unused)!r} never used")
    return palette, rows


def rotated_half_turn(rows):
    return [list(reversed(row)) for row in reversed(rows)]


def sprite_files():
    out = {}
    for name in SPRITES:
        palette, rows = load_sprite(ART_DIR / f"{name}.txt")
        out[f"app/render/art/{name}.bmp"] = bmp8(palette, rows)
        if name == "my1":
            # The kind-17/18 enemies are the player's own bird flying at it.
            out["app/render/art/ene7.bmp"] = bmp8(palette, rotated_half_turn(rows))
    return out


# ------------------------------------------------------------ title picture

# 5 x 7 letters of the title, '#' lit.
GLYPHS = {
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
}
TITLE = "QUILLOT"


def title_cells(left, top, scale):
    """The (x, y) pixels lit by the title's letters, each font pixel scale x scale."""
    cells = set()
    advance = (5 + 1) * scale
    for n, letter in enumerate(TITLE):
        for gy, line in enumerate(GLYPHS[letter]):
            for gx, cell in enumerate(line):
                if cell == "#":
                    for dy in range(scale):
                        for dx in range(scale):
                            cells.add((left + n * advance + gx * scale + dx,
                                       top + gy * scale + dy))
    return cells


def title_width(scale):
    return (len(TITLE) * 6 - 1) * scale

TITLE_SIZE = 100
# Image1 is shown stretched to 393 x 289, so one picture pixel is wider than
# it is tall on screen; cloud puffs are drawn taller to look round there.
PUFF_ASPECT = (393 / TITLE_SIZE) / (289 / TITLE_SIZE)

# Sky colour by picture row; rows between stops are blended.
SKY_STOPS = [
    (0, (10, 24, 110)),     # deep blue
    (34, (40, 100, 210)),
    (62, (100, 170, 240)),  # light blue
    (82, (120, 220, 245)),  # cyan
    (99, (235, 250, 255)),  # near white behind the clouds
]

# The pale band that carries the title; rows are chosen to end above the
# white "QUILLOT" label laid over the picture at screen y 72.
BAND_TOP, BAND_BOTTOM = 3, 22
BAND_TOP_COLOUR = (196, 224, 255)
BAND_BOTTOM_COLOUR = (150, 192, 248)
BAND_EDGE = (255, 255, 255)
TITLE_TOP = 6
TITLE_SCALE = 2
TITLE_WHITE = (255, 255, 255)
TITLE_SHADOW = (24, 56, 150)

# Cloud puffs (centre x, centre y, radius in picture columns) along the
# bottom, where only the credits line sits; the middle stays plain sky.
# The back bank is drawn first in a shaded white, the front bank over it.
BACK_PUFFS = [
    (2, 90, 7), (13, 87, 6), (24, 89, 7), (37, 86, 6), (48, 89, 7),
    (60, 87, 6), (71, 89, 7), (83, 86, 6), (95, 89, 7),
]
FRONT_PUFFS = [
    (-3, 97, 8), (8, 94, 7), (19, 97, 7), (30, 93, 8), (42, 97, 7),
    (53, 94, 7), (64, 97, 7), (75, 93, 8), (87, 96, 7), (99, 94, 8),
]
CLOUD_BACK = (206, 226, 246)
CLOUD_FRONT = (255, 255, 255)


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def sky(row):
    for (r0, c0), (r1, c1) in zip(SKY_STOPS, SKY_STOPS[1:]):
        if r0 <= row <= r1:
            return blend(c0, c1, (row - r0) / (r1 - r0))
    return SKY_STOPS[-1][1]


def in_puff(x, y, cx, cy, r):
    return ((x - cx) / r) ** 2 + ((y - cy) / (r * PUFF_ASPECT)) ** 2 <= 1.0


def title_pixels():
    pixels = [[sky(y)] * TITLE_SIZE for y in range(TITLE_SIZE)]

    for y in range(BAND_TOP, BAND_BOTTOM + 1):
        if y in (BAND_TOP, BAND_BOTTOM):
            colour = BAND_EDGE
        else:
            colour = blend(BAND_TOP_COLOUR, BAND_BOTTOM_COLOUR,
                           (y - BAND_TOP) / (BAND_BOTTOM - BAND_TOP))
        pixels[y] = [colour] * TITLE_SIZE

    lit = title_cells((TITLE_SIZE - title_width(TITLE_SCALE)) // 2, TITLE_TOP, TITLE_SCALE)
    # White on a pale band needs a dark drop shadow to be read at all.
    for x, y in lit:
        for dx, dy in ((1, 0), (0, 1), (1, 1)):
            pixels[y + dy][x + dx] = TITLE_SHADOW
    for x, y in lit:
        pixels[y][x] = TITLE_WHITE

    for puffs, colour in ((BACK_PUFFS, CLOUD_BACK), (FRONT_PUFFS, CLOUD_FRONT)):
        for y in range(TITLE_SIZE):
            for x in range(TITLE_SIZE):
                if any(in_puff(x, y, *p) for p in puffs):
                    pixels[y][x] = colour
    return pixels


def title_file():
    pixels = title_pixels()
    palette = []
    index = {}
    for row in pixels:
        for colour in row:
            if colour not in index:
                index[colour] = len(palette)
                palette.append(colour)
    if len(palette) > 256:
        raise ArtError(f"title picture needs {len(palette)} colours, more than 256")
    palette += [(0, 0, 0)] * (256 - len(palette))
    return bmp8(palette, [[index[c] for c in row] for row in pixels])


# ------------------------------------------------------------- start bitmap

START_WIDTH, START_HEIGHT = 400, 300


def start_file():
    # Only the size of this picture matters to the game; the mark is for
    # whoever opens the file.
    rows = [[BACKGROUND] * START_WIDTH for _ in range(START_HEIGHT)]
    scale = 2
    margin = 8
    for x, y in title_cells(START_WIDTH - title_width(scale) - margin,
                            START_HEIGHT - 7 * scale - margin, scale):
        rows[y][x] = (255, 255, 255)
    return bmp24(rows)


# --------------------------------------------------------------------- icon

ICON_GRID = 16
ICON_SIZES = [16, 32, 48, 64, 128, 256]


def load_icon(path):
    """Returns rows of (r, g, b, a) from the icon source, or raises ArtError."""
    lines = path.read_text(encoding="utf-8").splitlines()

    def rgba(text, where):
        return (0, 0, 0, 0) if text == "none" else parse_colour(text, where) + (255,)

    legend, n = read_legend(path, lines, rgba)
    return read_grid(path, lines, n, ICON_GRID, legend)


def png_rgba(rows):
    """rows: top-down lists of (r, g, b, a)."""
    height, width = len(rows), len(rows[0])

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def icon_files():
    rows = load_icon(ART_DIR / "icon.txt")
    out = {}
    for size in ICON_SIZES:
        k = size // ICON_GRID
        scaled = [[p for p in row for _ in range(k)] for row in rows for _ in range(k)]
        out[f"packaging/icons/hicolor/{size}x{size}/apps/quillot.png"] = png_rgba(scaled)
    return out


# --------------------------------------------------------------------- main

def all_files():
    files = sprite_files()
    files["app/render/art/image1.bmp"] = title_file()
    files["cg/start.bmp"] = start_file()
    files.update(icon_files())
    return files


def main(argv):
    check = argv[1:] == ["--check"]
    if argv[1:] and not check:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        files = all_files()
    except ArtError as err:
        print(f"make_art: {err}", file=sys.stderr)
        return 1
    stale = []
    for rel, data in sorted(files.items()):
        path = ROOT / rel
        if check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(rel)
        else:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
            print(f"wrote {rel} ({len(data)} bytes)")
    if stale:
        print("make_art: stale or missing: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
