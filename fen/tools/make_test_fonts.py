#!/usr/bin/env python3
"""Writes the small fonts with known metrics that the font tests use.

  test-1000.ttf       units per em 1000; box glyphs with advances 1000
                      (capitals, digits, '?', U+00E9, U+20AC) and 650 (small
                      letters); space 500; '~' is a broken glyph.
  test-1000-noq.ttf   the same, but '?' is broken too.
  test-2048.ttf       units per em 2048, bounding box 1900 / -500, underline
                      at -200 with thickness 100 as the engine reports them.
  test-bitmap.bdf     a bitmap-only font (units per em 0) with a 12-pixel
                      strike.

Usage: make_test_fonts.py OUTPUT_FOLDER
"""
import os
import struct
import sys


def checksum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def box_glyph(x0, y0, x1, y1):
    points = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]
    out = struct.pack(">hhhhh", 1, x0, y0, x1, y1)
    out += struct.pack(">HH", len(points) - 1, 0)  # end point, no instructions
    out += bytes([0x01] * len(points))  # on-curve, 16-bit deltas
    px = py = 0
    xs = ys = b""
    for x, y in points:
        xs += struct.pack(">h", x - px)
        ys += struct.pack(">h", y - py)
        px, py = x, y
    return out + xs + ys


def broken_glyph():
    # Claims 201 points but carries the flags of three.
    return struct.pack(">hhhhh", 1, 0, 0, 500, 500) + struct.pack(">HH", 200, 0) + b"\x01\x01\x01"


def cmap_format4(mapping):
    codes = sorted(c for c in mapping if c <= 0xFFFF)
    segments = [(c, c, mapping[c]) for c in codes] + [(0xFFFF, 0xFFFF, 0)]
    seg_x2 = len(segments) * 2
    search = 2
    while search * 2 <= seg_x2:
        search *= 2
    entry = search.bit_length() - 2
    body = struct.pack(">HHHH", seg_x2, search, entry, seg_x2 - search)
    body += b"".join(struct.pack(">H", e) for _, e, _ in segments) + b"\0\0"
    body += b"".join(struct.pack(">H", s) for s, _, _ in segments)
    body += b"".join(struct.pack(">h", ((g - s) + 0x8000) % 0x10000 - 0x8000 if g else 1) for s, _, g in segments)
    body += b"".join(struct.pack(">H", 0) for _ in segments)
    sub = struct.pack(">HHH", 4, 6 + len(body), 0) + body
    return struct.pack(">HHHHI", 0, 1, 3, 1, 12) + sub


def name_table(family):
    records = [(1, family), (2, "Regular"), (4, family + " Regular"), (6, family.replace(" ", ""))]
    strings = b""
    entries = b""
    for name_id, text in records:
        raw = text.encode("utf-16-be")
        entries += struct.pack(">HHHHHH", 3, 1, 0x409, name_id, len(raw), len(strings))
        strings += raw
    return struct.pack(">HHH", 0, len(records), 6 + len(entries)) + entries + strings


def build_ttf(family, em, bbox, underline, glyphs, mapping):
    """glyphs: list of (advance, glyph bytes); bbox: (xMin, yMin, xMax, yMax);
    underline: (position, thickness) as the engine reports them."""
    glyf = b""
    offsets = []
    for _, data in glyphs:
        offsets.append(len(glyf))
        glyf += data + b"\0" * (-len(data) % 4)
    offsets.append(len(glyf))
    loca = b"".join(struct.pack(">I", o) for o in offsets)
    # The left side bearing of an outline is its xMin.
    hmtx = b"".join(struct.pack(">Hh", adv, struct.unpack_from(">h", data, 2)[0] if data else 0)
                    for adv, data in glyphs)
    max_adv = max(adv for adv, _ in glyphs)
    x_min, y_min, x_max, y_max = bbox
    head = struct.pack(">IIIIHHqqhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0x000B, em, 0, 0,
                       x_min, y_min, x_max, y_max, 0, 8, 2, 1, 0)
    hhea = struct.pack(">IhhhHhhhhhhhhhhhH", 0x00010000, y_max, y_min, 0, max_adv, 0, 0, x_max, 1, 0, 0,
                       0, 0, 0, 0, 0, len(glyphs))
    maxp = struct.pack(">IHHHHHHHHHHHHHH", 0x00010000, len(glyphs), 256, 8, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0)
    position, thickness = underline
    # The engine reports the stored position less half the thickness.
    post = struct.pack(">IIhhIIIII", 0x00030000, 0, position + thickness // 2, thickness, 0, 0, 0, 0, 0)
    tables = {
        b"cmap": cmap_format4(mapping), b"glyf": glyf, b"head": head, b"hhea": hhea, b"hmtx": hmtx,
        b"loca": loca, b"maxp": maxp, b"name": name_table(family), b"post": post,
    }
    tags = sorted(tables)
    count = len(tags)
    search = 1
    while search * 2 <= count:
        search *= 2
    header = struct.pack(">IHHHH", 0x00010000, count, search * 16, search.bit_length() - 1, count * 16 - search * 16)
    offset = len(header) + 16 * count
    directory = b""
    body = b""
    for tag in tags:
        data = tables[tag]
        directory += struct.pack(">4sIII", tag, checksum(data), offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    font = bytearray(header + directory + body)
    head_at = offset + sum(len(tables[t]) + (-len(tables[t]) % 4) for t in tags[:tags.index(b"head")])
    struct.pack_into(">I", font, head_at + 8, (0xB1B0AFBA - checksum(bytes(font))) & 0xFFFFFFFF)
    return bytes(font)


def test_font(broken_question):
    wide, narrow, space, broken = 1, 2, 3, 4
    glyphs = [(1000, box_glyph(100, 0, 900, 700)),   # the missing-glyph shape
              (1000, box_glyph(100, 0, 900, 700)),
              (650, box_glyph(50, 0, 600, 500)),
              (500, b""),
              (1000, broken_glyph())]
    mapping = {0x20: space, 0x7E: broken, 0xE9: wide, 0x20AC: wide}
    for c in list(range(0x30, 0x3A)) + list(range(0x41, 0x5B)):
        mapping[c] = wide
    for c in range(0x61, 0x7B):
        mapping[c] = narrow
    mapping[0x3F] = broken if broken_question else wide
    return build_ttf("Varanto Test", 1000, (0, -200, 1000, 800), (-100, 50), glyphs, mapping)


def metric_font():
    glyphs = [(2048, box_glyph(100, 0, 1900, 1400)), (1024, box_glyph(100, 0, 900, 1400))]
    mapping = {c: 1 for c in range(0x21, 0x7F)}
    return build_ttf("Varanto Metric", 2048, (0, -500, 2048, 1900), (-200, 100), glyphs, mapping)


def bitmap_font():
    lines = ["STARTFONT 2.1", "FONT -varanto-bitmap-medium-r-normal--12-120-75-75-c-80-iso10646-1",
             "SIZE 12 75 75", "FONTBOUNDINGBOX 8 12 0 -2", "STARTPROPERTIES 5", "PIXEL_SIZE 12",
             "FONT_ASCENT 10", "FONT_DESCENT 2", 'CHARSET_REGISTRY "ISO10646"', 'CHARSET_ENCODING "1"',
             "ENDPROPERTIES", "CHARS 1",
             "STARTCHAR A", "ENCODING 65", "SWIDTH 666 0", "DWIDTH 8 0", "BBX 8 12 0 -2", "BITMAP"]
    lines += ["FF"] * 12
    lines += ["ENDCHAR", "ENDFONT", ""]
    return "\n".join(lines).encode("ascii")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    outputs = {"test-1000.ttf": test_font(False), "test-1000-noq.ttf": test_font(True),
               "test-2048.ttf": metric_font(), "test-bitmap.bdf": bitmap_font()}
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
