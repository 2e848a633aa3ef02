#!/usr/bin/env python3
"""Draws the story pictures cg/st*.bmp from the scene files in pictures/.

The story screen stretches every picture to 200 x 250, so the scenes are
drawn at half that, 100 x 125, as pixel art that survives nearest-neighbour
doubling. Each scene is a short list of drawing commands, one a line, painted
in order over each other:

  sky    Y0 Y1 COLOUR COLOUR...      vertical gradient over the full width,
                                     ordered-dithered between the stops
  rect   X Y W H COLOUR
  disc   CX CY R COLOUR
  ellipse CX CY RX RY COLOUR
  poly   COLOUR X Y X Y X Y...       filled polygon
  line   X0 Y0 X1 Y1 COLOUR
  shade  X Y W H COLOUR LEVEL [ONLY] COLOUR over every pixel whose 4 x 4 ordered
                                     dither threshold is below LEVEL (0..16):
                                     mist, light and shadow; with ONLY, just
                                     over the pixels that are that colour now
  ridge  Y AMPLITUDE PERIOD PHASE COLOUR
                                     fills from a sine-shaped edge down to the
                                     bottom: hills and waves
  scatter SEED COUNT X Y W H COLOUR  COUNT single pixels at fixed pseudo-random
                                     places in the box: stars, rain, sparkles
  sprite NAME X Y [SCALE] [FLIP]     the grid sprites/NAME.txt with its top left
                                     corner at X, Y; SCALE 1..8; FLIP h, v or hv

COLOUR is a name from colours.txt or six hex digits RRGGBB. The story text
label covers the top right corner of the stretched picture (x >= 84 and
y < 37 here), so nothing that matters is drawn there.

Usage: make_pictures.py [NAME...]   (default: every scene in pictures/)
"""

import math
import pathlib
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parents[1]
OUT = ROOT / "cg"
WIDTH, HEIGHT = 100, 125

BAYER4 = (
    (0, 8, 2, 10),
    (12, 4, 14, 6),
    (3, 11, 1, 9),
    (15, 7, 13, 5),
)


class SceneError(Exception):
    pass


def read_colours(path):
    colours = {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        parts = line.split()
        if len(parts) != 2:
            raise SceneError(f"{path.name}:{number}: expected NAME RRGGBB")
        colours[parts[0]] = parse_hex(parts[1], f"{path.name}:{number}")
    return colours


def parse_hex(text, where):
    if len(text) != 6:
        raise SceneError(f"{where}: '{text}' is not RRGGBB")
    try:
        value = int(text, 16)
    except ValueError:
        raise SceneError(f"{where}: '{text}' is not RRGGBB")
    return (value >> 16, (value >> 8) & 0xFF, value & 0xFF)


class Palette:
    def __init__(self, named):
        self.named = named

    def get(self, text, where):
        if text in self.named:
            return self.named[text]
        if len(text) == 6 and all(c in "0123456789abcdefABCDEF" for c in text):
            return parse_hex(text, where)
        raise SceneError(f"{where}: unknown colour '{text}'")


def read_sprite(path, palette):
    """A legend of 'C = colour' lines, a blank line, then the grid ('.' is clear)."""
    lines = path.read_text(encoding="utf-8").splitlines()
    legend = {".": None}
    row = 0
    while row < len(lines) and lines[row].strip():
        line = lines[row].strip()
        row += 1
        if line.startswith("#"):
            continue
        key, sep, value = line.partition("=")
        key, value = key.strip(), value.strip()
        if not sep or len(key) != 1 or key == ".":
            raise SceneError(f"{path.name}:{row}: expected 'C = colour'")
        legend[key] = palette.get(value, f"{path.name}:{row}")
    grid = [line.rstrip() for line in lines[row:] if line.strip()]
    if not grid:
        raise SceneError(f"{path.name}: no grid")
    width = len(grid[0])
    for number, line in enumerate(grid, 1):
        if len(line) != width:
            raise SceneError(f"{path.name}: grid row {number} is {len(line)} wide, not {width}")
        for char in line:
            if char not in legend:
                raise SceneError(f"{path.name}: grid row {number} uses '{char}', not in the legend")
    return [[legend[c] for c in line] for line in grid]


class Picture:
    def __init__(self):
        self.pixels = [[(0, 0, 0)] * WIDTH for _ in range(HEIGHT)]

    def put(self, x, y, colour):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT and colour is not None:
            self.pixels[y][x] = colour

    def get(self, x, y):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
            return self.pixels[y][x]
        return None

    def span(self, y, x0, x1, colour):
        for x in range(max(0, x0), min(WIDTH, x1 + 1)):
            self.put(x, y, colour)

    def write_bmp(self, path):
        # 24-bit, rows bottom-up, each padded to a multiple of four bytes.
        stride = (WIDTH * 3 + 3) & ~3
        body = bytearray()
        for y in range(HEIGHT - 1, -1, -1):
            row = bytearray()
            for r, g, b in self.pixels[y]:
                row += bytes((b, g, r))
            body += row + bytes(stride - len(row))
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
        info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        path.write_bytes(header + info + body)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def draw_sky(pic, y0, y1, stops):
    # Stepping each gap between stops in four flat bands, dithered where they
    # meet, keeps the gradient looking like pixel art, not a smooth photo fade.
    span = max(1, y1 - y0)
    for y in range(y0, y1 + 1):
        pos = (y - y0) / span * (len(stops) - 1)
        i = min(int(pos), len(stops) - 2)
        frac = pos - i
        level = frac * 4
        band = int(level)
        for x in range(WIDTH):
            step = band + (1 if (level - band) * 16 > BAYER4[y % 4][x % 4] else 0)
            pic.put(x, y, mix(stops[i], stops[i + 1], min(step, 4) / 4))


def draw_poly(pic, points, colour):
    ys = [p[1] for p in points]
    for y in range(max(0, min(ys)), min(HEIGHT - 1, max(ys)) + 1):
        yc = y + 0.5
        xs = []
        for i in range(len(points)):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % len(points)]
            if (ya <= yc) != (yb <= yc):
                xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
        xs.sort()
        for a, b in zip(xs[0::2], xs[1::2]):
            pic.span(y, math.ceil(a - 0.5), math.ceil(b - 0.5) - 1, colour)


def draw_line(pic, x0, y0, x1, y1, colour):
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        pic.put(x0, y0, colour)
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def draw_ellipse(pic, cx, cy, rx, ry, colour):
    for y in range(cy - ry, cy + ry + 1):
        t = (y - cy) / (ry + 0.5)
        half = (rx + 0.5) * math.sqrt(max(0.0, 1 - t * t))
        pic.span(y, math.ceil(cx - half), math.floor(cx + half), colour)


def draw_sprite(pic, grid, x, y, scale, flip):
    if "v" in flip:
        grid = grid[::-1]
    if "h" in flip:
        grid = [row[::-1] for row in grid]
    for gy, row in enumerate(grid):
        for gx, colour in enumerate(row):
            if colour is None:
                continue
            for dy in range(scale):
                for dx in range(scale):
                    pic.put(x + gx * scale + dx, y + gy * scale + dy, colour)


def scatter_points(seed, count, w, h):
    # A fixed little generator, so a scene looks the same on every run.
    state = seed & 0xFFFFFFFF
    for _ in range(count):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        px = state % max(1, w)
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        py = state % max(1, h)
        yield px, py


def render(scene_path, palette, sprites):
    pic = Picture()
    for number, raw in enumerate(scene_path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.split("#", 1)[0].split()
        if not line:
            continue
        where = f"{scene_path.name}:{number}"
        op, args = line[0], line[1:]

        def ints(values, count=None):
            if count is not None and len(values) != count:
                raise SceneError(f"{where}: {op} takes {count} numbers")
            try:
                return [int(v) for v in values]
            except ValueError:
                raise SceneError(f"{where}: {op}: expected numbers, got {' '.join(values)}")

        def colour(text):
            return palette.get(text, where)

        if op == "sky":
            if len(args) < 4:
                raise SceneError(f"{where}: sky Y0 Y1 and at least two colours")
            y0, y1 = ints(args[:2])
            draw_sky(pic, y0, y1, [colour(c) for c in args[2:]])
        elif op == "rect":
            if len(args) != 5:
                raise SceneError(f"{where}: rect X Y W H COLOUR")
            x, y, w, h = ints(args[:4], 4)
            c = colour(args[4])
            for yy in range(y, y + h):
                pic.span(yy, x, x + w - 1, c)
        elif op == "disc":
            cx, cy, r = ints(args[:3], 3)
            draw_ellipse(pic, cx, cy, r, r, colour(args[3]))
        elif op == "ellipse":
            cx, cy, rx, ry = ints(args[:4], 4)
            draw_ellipse(pic, cx, cy, rx, ry, colour(args[4]))
        elif op == "poly":
            values = ints(args[1:])
            if len(values) < 6 or len(values) % 2:
                raise SceneError(f"{where}: poly needs at least three X Y pairs")
            draw_poly(pic, list(zip(values[0::2], values[1::2])), colour(args[0]))
        elif op == "line":
            x0, y0, x1, y1 = ints(args[:4], 4)
            draw_line(pic, x0, y0, x1, y1, colour(args[4]))
        elif op == "shade":
            x, y, w, h = ints(args[:4], 4)
            c = colour(args[4])
            (level,) = ints(args[5:6], 1)
            only = colour(args[6]) if len(args) > 6 else None
            for yy in range(y, y + h):
                for xx in range(x, x + w):
                    if BAYER4[yy % 4][xx % 4] < level and (only is None or pic.get(xx, yy) == only):
                        pic.put(xx, yy, c)
        elif op == "ridge":
            y, amp, period = ints(args[:3], 3)
            phase = ints(args[3:4], 1)[0]
            c = colour(args[4])
            for x in range(WIDTH):
                top = round(y + amp * math.sin(2 * math.pi * (x + phase) / max(1, period)))
                for yy in range(top, HEIGHT):
                    pic.put(x, yy, c)
        elif op == "scatter":
            seed, count, x, y, w, h = ints(args[:6], 6)
            c = colour(args[6])
            for px, py in scatter_points(seed, count, w, h):
                pic.put(x + px, y + py, c)
        elif op == "sprite":
            if len(args) < 3:
                raise SceneError(f"{where}: sprite NAME X Y [SCALE] [FLIP]")
            name = args[0]
            if name not in sprites:
                path = HERE / "sprites" / f"{name}.txt"
                if not path.is_file():
                    raise SceneError(f"{where}: no sprite sprites/{name}.txt")
                sprites[name] = read_sprite(path, palette)
            x, y = ints(args[1:3])
            scale = int(args[3]) if len(args) > 3 and args[3].isdigit() else 1
            flip = args[-1] if len(args) > 3 and not args[-1].isdigit() else ""
            if not 1 <= scale <= 8 or flip not in ("", "h", "v", "hv", "vh"):
                raise SceneError(f"{where}: bad scale or flip")
            draw_sprite(pic, sprites[name], x, y, scale, flip)
        else:
            raise SceneError(f"{where}: unknown command '{op}'")
    return pic


def main(argv):
    try:
        palette = Palette(read_colours(HERE / "colours.txt"))
        names = argv or sorted(p.stem for p in (HERE / "pictures").glob("*.txt"))
        sprites = {}
        for name in names:
            pic = render(HERE / "pictures" / f"{name}.txt", palette, sprites)
            pic.write_bmp(OUT / f"{name}.bmp")
            print(f"wrote cg/{name}.bmp")
    except (SceneError, OSError) as error:
        print(f"make_pictures: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
