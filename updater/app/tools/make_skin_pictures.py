#!/usr/bin/env python3
"""Draws the updater's skin pictures and writes them as PNG files.

Every picture is drawn from one description in logical units, once at
scale 1 (name.png) and once at scale 2 (name@2x.png), with anti-aliased
edges. Only the standard library is used.

    make_skin_pictures.py <pictures folder> [<stamp file>]
    make_skin_pictures.py --icon <file.png> <size in pixels>

The second form draws the application's icon.
"""
import math
import os
import struct
import sys
import zlib


# ---------------------------------------------------------------- canvas

class Canvas:
    """An RGBA picture of floats (straight colours, alpha 0..1) drawn in
    logical units that are multiplied by the scale."""

    def __init__(self, width, height, scale):
        self.scale = scale
        self.w = int(round(width * scale))
        self.h = int(round(height * scale))
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.w * self.h)]

    def blend(self, x, y, colour, coverage):
        r, g, b, a = colour
        a *= coverage
        if a <= 0.0:
            return
        p = self.px[y * self.w + x]
        out_a = a + p[3] * (1.0 - a)
        if out_a <= 0.0:
            return
        for i, c in enumerate((r, g, b)):
            p[i] = (c * a + p[i] * p[3] * (1.0 - a)) / out_a
        p[3] = out_a

    def shape(self, bounds, distance, colour):
        """Fills where the signed distance (in logical units, negative
        inside) is below zero, with one device pixel of smoothing."""
        s = self.scale
        x0, y0, x1, y1 = bounds
        ix0 = max(0, int(math.floor(x0 * s)) - 1)
        iy0 = max(0, int(math.floor(y0 * s)) - 1)
        ix1 = min(self.w, int(math.ceil(x1 * s)) + 1)
        iy1 = min(self.h, int(math.ceil(y1 * s)) + 1)
        for iy in range(iy0, iy1):
            ly = (iy + 0.5) / s
            for ix in range(ix0, ix1):
                lx = (ix + 0.5) / s
                d = distance(lx, ly) * s
                coverage = 0.5 - d
                if coverage <= 0.0:
                    continue
                self.blend(ix, iy, colour if not callable(colour) else colour(lx, ly),
                           min(1.0, coverage))

    # -- primitives (logical units) --

    def round_rect(self, x, y, w, h, r, colour):
        cx, cy = x + w / 2.0, y + h / 2.0
        hx, hy = w / 2.0 - r, h / 2.0 - r

        def dist(px, py):
            qx = abs(px - cx) - hx
            qy = abs(py - cy) - hy
            outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
            return outside + min(max(qx, qy), 0.0) - r
        self.shape((x, y, x + w, y + h), dist, colour)

    def round_rect_ring(self, x, y, w, h, r, width, colour):
        """A border of the given width inside the rounded rectangle."""
        cx, cy = x + w / 2.0, y + h / 2.0
        hx, hy = w / 2.0 - r, h / 2.0 - r

        def dist(px, py):
            qx = abs(px - cx) - hx
            qy = abs(py - cy) - hy
            d = math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r
            return max(d, -(d + width))
        self.shape((x, y, x + w, y + h), dist, colour)

    def circle(self, cx, cy, r, colour):
        self.shape((cx - r, cy - r, cx + r, cy + r), lambda px, py: math.hypot(px - cx, py - cy) - r, colour)

    def ring(self, cx, cy, r, width, colour):
        def dist(px, py):
            d = math.hypot(px - cx, py - cy)
            return abs(d - (r - width / 2.0)) - width / 2.0
        self.shape((cx - r, cy - r, cx + r, cy + r), dist, colour)

    def line(self, x1, y1, x2, y2, width, colour):
        """A segment with round caps."""
        dx, dy = x2 - x1, y2 - y1
        length2 = dx * dx + dy * dy or 1e-9
        half = width / 2.0

        def dist(px, py):
            t = max(0.0, min(1.0, ((px - x1) * dx + (py - y1) * dy) / length2))
            return math.hypot(px - (x1 + t * dx), py - (y1 + t * dy)) - half
        self.shape((min(x1, x2) - half, min(y1, y2) - half, max(x1, x2) + half, max(y1, y2) + half), dist, colour)

    # -- output --

    def write_png(self, path):
        rows = bytearray()
        for y in range(self.h):
            rows.append(0)
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                rows.extend(int(round(max(0.0, min(1.0, c)) * 255)) for c in (r, g, b, a))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) \
            + chunk(b"IEND", b"")
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(data)
        os.replace(tmp, path)


def rgb(hex_text, alpha=1.0):
    v = int(hex_text.lstrip("#"), 16)
    return ((v >> 16 & 255) / 255.0, (v >> 8 & 255) / 255.0, (v & 255) / 255.0, alpha)


def vertical_gradient(top_colour, bottom_colour, y0, y1):
    def colour(_x, y):
        t = max(0.0, min(1.0, (y - y0) / float(y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top_colour, bottom_colour))
    return colour


# ---------------------------------------------------------------- palette

INK = rgb("#1D2733")
ACCENT = rgb("#2563D9")
ACCENT_OVER = rgb("#3B78EA")
ACCENT_DOWN = rgb("#1B4DB0")
OK = rgb("#1E9E5A")
ERROR = rgb("#D64545")
INFO = rgb("#2563D9")
WHITE = rgb("#FFFFFF")


# ---------------------------------------------------------------- pictures

def button(fill, border, shade=None):
    """A 24 x 32 nine-patch of a push button (fixed borders 8)."""
    def draw(c):
        if shade:
            c.round_rect(0, 1, 24, 31, 6, shade)
        c.round_rect(0, 0, 24, 31, 6, border)
        c.round_rect(1, 1, 22, 29, 5, fill)
    return (24, 32, draw)


def panel(fill, border, radius=8):
    """A 24 x 24 nine-patch of a rounded card (fixed borders 10)."""
    def draw(c):
        c.round_rect(0, 0, 24, 24, radius, border)
        c.round_rect(1, 1, 22, 22, radius - 1, fill)
    return (24, 24, draw)


def about_panel():
    """The about box: a white card on a soft shadow (fixed borders 16)."""
    def draw(c):
        for i, alpha in enumerate((0.05, 0.06, 0.08, 0.10)):
            c.round_rect(i, i + 2, 40 - 2 * i, 40 - 2 * i - 2, 12 - i, rgb("#000000", alpha))
        c.round_rect(4, 4, 32, 31, 8, rgb("#FFFFFF"))
        c.round_rect(4, 4, 32, 4, 2, ACCENT)
    return (40, 40, draw)


def title_bar():
    """The title bar: a dark gradient with a thin accent line at its foot
    (stretched horizontally)."""
    def draw(c):
        c.round_rect(0, 0, 8, 44, 0.01, vertical_gradient(rgb("#243246"), rgb("#17202C"), 0, 44))
        c.round_rect(0, 42, 8, 2, 0.01, ACCENT)
    return (8, 44, draw)


def icon_info():
    def draw(c):
        c.circle(16, 16, 15, INFO)
        c.circle(16, 9.5, 2.2, WHITE)
        c.line(16, 14.5, 16, 23.5, 4, WHITE)
    return (32, 32, draw)


def icon_ok():
    def draw(c):
        c.circle(16, 16, 15, OK)
        c.line(9.5, 16.5, 14, 21, 3.4, WHITE)
        c.line(14, 21, 23, 11.5, 3.4, WHITE)
    return (32, 32, draw)


def icon_error():
    def draw(c):
        c.circle(16, 16, 15, ERROR)
        c.line(16, 8.5, 16, 18, 4, WHITE)
        c.circle(16, 23.5, 2.3, WHITE)
    return (32, 32, draw)


def wheel(step):
    """One of the twelve steps of the progress wheel: twelve spokes, the
    leading one dark and the ones behind it fading."""
    def draw(c):
        for spoke in range(12):
            behind = (step - spoke) % 12
            alpha = max(0.15, 1.0 - behind * 0.12)
            angle = math.radians(spoke * 30 - 90)
            x1, y1 = 16 + 7 * math.cos(angle), 16 + 7 * math.sin(angle)
            x2, y2 = 16 + 14 * math.cos(angle), 16 + 14 * math.sin(angle)
            c.line(x1, y1, x2, y2, 3.2, (ACCENT[0], ACCENT[1], ACCENT[2], alpha))
    return (32, 32, draw)


# Keyboards: (columns of standard keys in the main block, navigation
# cluster, number pad). Rova is the compact model, Sela has the
# navigation keys, Tumo has a number pad as well.
KEYBOARDS = {
    "VarantoMK2": (15, True, True, rgb("#8A94A3")),
    "RovaM2": (15, False, False, rgb("#2B3542")),
    "SelaM2": (15, True, False, rgb("#2B3542")),
    "TumoM2": (15, True, True, rgb("#2B3542")),
}


def keyboard(name):
    columns, navigation, numpad, body = KEYBOARDS[name]
    unit = 8.6 if numpad else (10.4 if navigation else 12.4)
    gap = 1.4

    def draw(c):
        width = columns * unit + (3.4 * unit if navigation else 0) + (4.4 * unit if numpad else 0)
        x0 = (232 - width) / 2.0 - 6
        y0 = 18
        rows = 6 if navigation or numpad else 5
        height = rows * unit + 12
        # shadow and body
        c.round_rect(x0 + 1, y0 + 4, width + 12, height, 7, rgb("#000000", 0.12))
        c.round_rect(x0, y0, width + 12, height, 7, body)
        c.round_rect(x0 + 2, y0 + 2, width + 8, height - 4, 5,
                     vertical_gradient(rgb("#FFFFFF", 0.10), rgb("#FFFFFF", 0.0), y0, y0 + height))
        key = rgb("#F7F8FA") if name != "VarantoMK2" else rgb("#E6E9EE")
        accent_key = rgb("#5B8DEF") if name != "VarantoMK2" else rgb("#C5CBD4")
        kx0, ky0 = x0 + 6, y0 + 6

        def keycap(col, row, span=1.0, colour=key):
            x = kx0 + col * unit
            y = ky0 + row * unit
            c.round_rect(x + gap / 2, y + gap / 2, span * unit - gap, unit - gap, 1.6, colour)

        row_layouts = [
            [1.0] * 13 + [2.0],
            [1.5] + [1.0] * 12 + [1.5],
            [1.75] + [1.0] * 11 + [2.25],
            [2.25] + [1.0] * 10 + [2.75],
            [1.25, 1.25, 1.25, 6.25, 1.25, 1.25, 1.25, 1.25],
        ]
        first = 0
        if rows == 6:
            # function row
            for i in range(columns):
                if i in (1, 5, 10):
                    continue
                keycap(i, 0, 1.0, accent_key if i == 0 else key)
            first = 1
        for r, layout in enumerate(row_layouts):
            col = 0.0
            for i, span in enumerate(layout):
                colour = accent_key if (r == 0 and i == 0 and rows == 5) or (r == 2 and i == len(layout) - 1) else key
                keycap(col, first + r, span, colour)
                col += span
        right = columns + 0.4
        if navigation:
            for r in range(first, first + 2):
                for i in range(3):
                    keycap(right + i, r)
            keycap(right + 1, first + 3)
            for i in range(3):
                keycap(right + i, first + 4)
            right += 3.4
        if numpad:
            for r in range(first, first + 5):
                for i in range(4):
                    if i == 3 and r in (first + 1, first + 3):
                        continue
                    span_rows = 2 if i == 3 and r in (first, first + 2) else 1
                    if span_rows == 2:
                        x = kx0 + (right + i) * unit
                        y = ky0 + (r + (1 if r == first else 0)) * unit
                        c.round_rect(x + gap / 2, y + gap / 2, unit - gap, 2 * unit - gap, 1.6, key)
                        continue
                    if r == first and i == 3:
                        continue
                    keycap(right + i, r)
        # status light
        c.circle(x0 + width + 6 - 5, y0 + height - 4, 1.3, OK if name != "VarantoMK2" else rgb("#AEB5BF"))
    return (232, 104, draw)


def unplugged():
    """A small plug shown over the generic keyboard until one is found."""
    def draw(c):
        c.circle(20, 20, 19, rgb("#FFFFFF", 0.92))
        c.ring(20, 20, 19, 1.5, rgb("#C9CFD8"))
        c.round_rect(13, 13, 14, 10, 2.5, rgb("#6B7686"))
        c.line(16.5, 8, 16.5, 13, 2.4, rgb("#6B7686"))
        c.line(23.5, 8, 23.5, 13, 2.4, rgb("#6B7686"))
        c.line(20, 23, 20, 31, 2.6, rgb("#6B7686"))
    return (40, 40, draw)


def app_icon():
    """The application's icon: a keyboard with an arrow up, on a blue tile."""
    def draw(c):
        c.round_rect(2, 2, 44, 44, 10, vertical_gradient(rgb("#3B78EA"), rgb("#1B4DB0"), 2, 46))
        c.round_rect(8, 22, 32, 17, 3, rgb("#FFFFFF"))
        for row, y in enumerate((24.5, 29, 33.5)):
            for col in range(6 - (1 if row == 2 else 0)):
                x = 10.5 + col * 4.6 + (2.3 if row == 1 else 0)
                if row == 2 and col == 1:
                    c.round_rect(x, y, 12.6, 3.2, 0.8, rgb("#2B4E8F"))
                    continue
                if row == 2 and col in (2, 3):
                    continue
                c.round_rect(x, y, 3.4, 3.2, 0.8, rgb("#2B4E8F"))
        c.line(24, 8, 24, 17.5, 3, WHITE)
        c.line(19.5, 12, 24, 7.5, 3, WHITE)
        c.line(28.5, 12, 24, 7.5, 3, WHITE)
    return (48, 48, draw)


def pictures():
    made = {
        "panels/title": title_bar(),
        "panels/card": panel(rgb("#FFFFFF"), rgb("#DDE2E9")),
        "panels/info": panel(rgb("#EEF4FF"), rgb("#BFD3F7")),
        "panels/ok": panel(rgb("#ECF8F1"), rgb("#B5E0C7")),
        "panels/error": panel(rgb("#FDEEEE"), rgb("#F0C0C0")),
        "panels/about": about_panel(),
        "buttons/primary": button(ACCENT, rgb("#1F56BF"), rgb("#000000", 0.10)),
        "buttons/primary-over": button(ACCENT_OVER, rgb("#2A63CF"), rgb("#000000", 0.10)),
        "buttons/primary-down": button(ACCENT_DOWN, rgb("#173F91")),
        "buttons/primary-disabled": button(rgb("#A9BEE6"), rgb("#9DB3DD")),
        "buttons/secondary": button(rgb("#FFFFFF"), rgb("#C3CAD4"), rgb("#000000", 0.06)),
        "buttons/secondary-over": button(rgb("#F2F5F9"), rgb("#AAB3BF"), rgb("#000000", 0.06)),
        "buttons/secondary-down": button(rgb("#E3E8EF"), rgb("#9AA4B2")),
        "buttons/secondary-disabled": button(rgb("#F4F5F7"), rgb("#DDE1E6")),
        "buttons/about": button(rgb("#FFFFFF", 0.10), rgb("#FFFFFF", 0.35)),
        "buttons/about-over": button(rgb("#FFFFFF", 0.22), rgb("#FFFFFF", 0.55)),
        "buttons/about-down": button(rgb("#FFFFFF", 0.05), rgb("#FFFFFF", 0.30)),
        "icons/info": icon_info(),
        "icons/ok": icon_ok(),
        "icons/error": icon_error(),
        "devices/unplugged": unplugged(),
    }
    for name in KEYBOARDS:
        made["devices/" + name] = keyboard(name)
    for step in range(12):
        made["wheel/S%d" % step] = wheel(step)
    return made


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    if argv[1] == "--icon":
        width, _height, draw = app_icon()
        canvas = Canvas(width, width, int(argv[3]) / float(width))
        draw(canvas)
        os.makedirs(os.path.dirname(os.path.abspath(argv[2])), exist_ok=True)
        canvas.write_png(argv[2])
        return 0
    folder = argv[1]
    for name, (width, height, draw) in sorted(pictures().items()):
        for scale, suffix in ((1, ""), (2, "@2x")):
            path = os.path.join(folder, name + suffix + ".png")
            os.makedirs(os.path.dirname(path), exist_ok=True)
            canvas = Canvas(width, height, scale)
            draw(canvas)
            canvas.write_png(path)
    if len(argv) > 2:
        with open(argv[2], "w") as f:
            f.write("\n".join(sorted(pictures())) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
