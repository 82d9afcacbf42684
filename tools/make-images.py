#!/usr/bin/env python3
"""Draws Lumiset's icons and the menu mark bitmap and writes them under res/images/.

Standard library only, so anyone can regenerate the committed images:
    python3 tools/make-images.py
The output is deterministic; run it again after changing a drawing and commit the results.
"""

import math
import os
import struct
import sys
import zlib

SUBSAMPLES = 4  # per axis; edges inside an image are smoothed, the outline follows the mask
# The tray icon and the Zoom arrows hold an image drawn for each of these sizes: 16 at 100 %
# display scale to 48 at 300 % for the tray, the arrows from 16 up as the buttons grow.
ICON_SIZES = (16, 20, 24, 32, 40, 48)


# --- shapes: each is a predicate on a point in pixel coordinates -------------------------------

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_outer, r_inner):
    return lambda x, y: r_inner * r_inner < (x - cx) ** 2 + (y - cy) ** 2 <= r_outer * r_outer


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        nx = min(max(x, x0 + r), x1 - r)
        ny = min(max(y, y0 + r), y1 - r)
        return (x - nx) ** 2 + (y - ny) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def _segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def stroke(points, width):
    """A polyline of the given width with round joins and caps."""
    half = width / 2

    def inside(x, y):
        return any(_segment_distance(x, y, *points[i], *points[i + 1]) <= half
                   for i in range(len(points) - 1))
    return inside


def arc(cx, cy, radius, width, gap_from_deg, gap_to_deg):
    """A ring with an opening between two angles (0 degrees points up, clockwise)."""
    half = width / 2

    def inside(x, y):
        if abs(math.hypot(x - cx, y - cy) - radius) > half:
            return False
        angle = math.degrees(math.atan2(x - cx, cy - y)) % 360
        return not (gap_from_deg <= angle <= gap_to_deg or
                    gap_from_deg <= angle + 360 <= gap_to_deg)
    return inside


def scaled(shape, factor):
    return lambda x, y: shape(x / factor, y / factor)


# --- rendering ----------------------------------------------------------------------------------

def render(width, height, layers):
    """layers: list of (shape, (r, g, b)), later layers on top.

    Returns rows top-down of (r, g, b, opaque) pixels. A pixel is opaque when at least half of its
    subsamples are covered; its colour is the mean of the covered subsamples.
    """
    rows = []
    n = SUBSAMPLES
    for py in range(height):
        row = []
        for px in range(width):
            total = [0, 0, 0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    x = px + (sx + 0.5) / n
                    y = py + (sy + 0.5) / n
                    colour = None
                    for shape, layer_colour in layers:
                        if shape(x, y):
                            colour = layer_colour
                    if colour is not None:
                        covered += 1
                        for c in range(3):
                            total[c] += colour[c]
            if covered * 2 >= n * n:
                row.append(tuple(round(t / covered) for t in total) + (True,))
            else:
                row.append((0, 0, 0, False))
        rows.append(row)
    return rows


def coverage(width, height, shape):
    """Fraction of each pixel that the shape covers, rows top-down."""
    n = SUBSAMPLES
    return [[sum(shape(px + (sx + 0.5) / n, py + (sy + 0.5) / n)
                 for sy in range(n) for sx in range(n)) / (n * n)
             for px in range(width)]
            for py in range(height)]


# --- file formats -------------------------------------------------------------------------------

def _row_padded(data):
    return data + b"\0" * (-len(data) % 4)


def _info_header(width, height, bit_count, image_size, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count, 0, image_size, 0, 0,
                       colours_used, 0)


def _and_mask(rows):
    out = b""
    for row in reversed(rows):
        bits = bytearray((len(row) + 7) // 8)
        for x, pixel in enumerate(row):
            if not pixel[3]:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += _row_padded(bytes(bits))
    return out


def icon_image_24(rows):
    width, height = len(rows[0]), len(rows)
    xor = b""
    for row in reversed(rows):
        xor += _row_padded(b"".join(bytes((b, g, r)) if opaque else b"\0\0\0"
                                    for r, g, b, opaque in row))
    mask = _and_mask(rows)
    return _info_header(width, height * 2, 24, len(xor) + len(mask), 0) + xor + mask


VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def icon_image_4(rows):
    """16-colour image with the standard palette; each pixel takes the nearest palette colour."""
    width, height = len(rows[0]), len(rows)

    def index(r, g, b):
        return min(range(16), key=lambda i: sum((p - q) ** 2
                                                for p, q in zip(VGA_PALETTE[i], (r, g, b))))

    xor = b""
    for row in reversed(rows):
        nibbles = [index(r, g, b) if opaque else 0 for r, g, b, opaque in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, width, 2))
        xor += _row_padded(packed)
    mask = _and_mask(rows)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA_PALETTE)
    return (_info_header(width, height * 2, 4, len(xor) + len(mask), 16) + palette + xor + mask)


def icon_image_png(rows):
    """The image as a PNG (8-bit RGBA), which an icon may hold from Windows Vista on: a fraction of
    a DIB's bytes for the larger sizes."""
    width, height = len(rows[0]), len(rows)
    raw = b"".join(b"\0" + b"".join(bytes((r, g, b, 255 if opaque else 0)) if opaque
                                     else b"\0\0\0\0" for r, g, b, opaque in row)
                   for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico_file(images):
    """images: list of (width, height, colour_count, bit_count, image bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for width, height, colours, bit_count, image in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, 1, bit_count,
                               len(image), offset + len(data))
        data += image
    return out + entries + data


def bmp_file_8(levels):
    """8-bit grey-scale bitmap; levels are rows top-down of 0 (black) to 255 (white)."""
    width, height = len(levels[0]), len(levels)
    bits = b"".join(_row_padded(bytes(row)) for row in reversed(levels))
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    header = _info_header(width, height, 8, len(bits), 256)
    offset = 14 + len(header) + len(palette)
    return struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + header + palette + bits


# --- the drawings -------------------------------------------------------------------------------

def webcam_layers():
    """A round webcam on a small stand, drawn on a 48 x 48 grid."""
    return [
        (rounded_rect(11, 39, 37, 45, 3), (58, 60, 66)),
        (rect(21, 30, 27, 41), (96, 98, 104)),
        (circle(24, 19, 16), (62, 64, 72)),
        (circle(24, 19, 14.5), (214, 216, 222)),
        (circle(24, 19, 8.5), (40, 42, 50)),
        (circle(24, 19, 6.5), (44, 74, 140)),
        (circle(24, 19, 3.5), (22, 30, 58)),
        (circle(21.5, 16.5, 1.8), (235, 240, 250)),
        (circle(33.5, 9.5, 1.6), (70, 200, 90)),
    ]


def webcam_layers_at(size):
    """The webcam drawn for a size x size image: the 48-pixel drawing's measures scaled and put
    on the pixel grid (edges and radii in whole pixels, circles centred on a pixel corner, every
    ring at least a pixel wide), so that a small icon keeps sharp rings instead of a shrunken blur. Below 24 pixels the
    pupil, the glint and the light would be specks, and are left out."""
    if size == 48:
        return webcam_layers()
    k = size / 48
    cx, cy = size / 2, round(19 * k)
    body = round(16 * k)
    face = min(round(14.5 * k), body - 1)
    lens_ring = min(round(8.5 * k), face - 1)
    lens = min(round(6.5 * k), lens_ring - 1)
    base_half, neck_half = round(13 * k), max(1, round(3 * k))
    layers = [
        (rounded_rect(cx - base_half, round(39 * k), cx + base_half, round(45 * k),
                      max(1, round(3 * k))), (58, 60, 66)),
        (rect(cx - neck_half, round(30 * k), cx + neck_half, round(41 * k)), (96, 98, 104)),
        (circle(cx, cy, body), (62, 64, 72)),
        (circle(cx, cy, face), (214, 216, 222)),
        (circle(cx, cy, lens_ring), (40, 42, 50)),
        (circle(cx, cy, lens), (44, 74, 140)),
    ]
    if size >= 24:
        glint = round(2.5 * k)
        layers += [
            (circle(cx, cy, min(round(3.5 * k), lens - 1)), (22, 30, 58)),
            (circle(cx - glint, cy - glint, max(1, round(1.8 * k))), (235, 240, 250)),
            (circle(cx + round(9.5 * k), cy - round(9.5 * k), max(1, round(1.6 * k))),
             (70, 200, 90)),
        ]
    return layers


def webcam_off_layers_at(size):
    """The webcam crossed out from top left to bottom right: a red stroke in a white outline, so
    that it stands out on the camera, on a light or a dark taskbar and in high contrast. The
    outline is at least a pixel wide each side, and the stroke at least two."""
    k = size / 48
    core = max(2.0, round(5 * k))
    outline = core + 2 * max(1.0, round(2 * k))
    inset = max(1.5, 4 * k)
    line = [(inset, inset), (size - inset, size - inset)]
    return webcam_layers_at(size) + [
        (stroke(line, outline), (255, 255, 255)),
        (stroke(line, core), (200, 30, 30)),
    ]


def lens_layers():
    return [
        (circle(24, 24, 21), (50, 52, 60)),
        (circle(24, 24, 17), (44, 74, 140)),
        (circle(24, 24, 11), (30, 46, 92)),
        (circle(24, 24, 5), (18, 22, 40)),
        (circle(18.5, 18.5, 3), (230, 236, 250)),
    ]


def power_layers():
    green = (40, 150, 70)
    return [
        (arc(24, 25, 15, 5, 325, 395), green),
        (stroke([(24, 6), (24, 24)], 5), green),
    ]


def arrow_rows(size, direction):
    """A black triangle for a size x size image, pointing up, down, left or right, drawn in whole
    pixels: centred, about 22/32 of the image wide, each side stepping out one pixel over one
    or two rows in turn, so that its edges are even stairs at every size rather than the uneven
    ones a scaled polygon leaves."""
    half_width = max(2, round(size * 11 / 32))
    half_widths = []  # from the tip to the base
    for step in range(1, half_width + 1):
        half_widths += [step] * (2 if step % 2 else 1)
    length = len(half_widths)
    start = (size - length) // 2
    centre = size // 2

    def covered(along, across):
        """along: from the tip towards the base; across: from the centre line."""
        index = along - start
        return 0 <= index < length and -half_widths[index] <= across < half_widths[index]

    black, clear = (0, 0, 0, True), (0, 0, 0, False)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            along, across = {
                "up": (y, x - centre),
                "down": (size - 1 - y, x - centre),
                "left": (x, y - centre),
                "right": (size - 1 - x, y - centre),
            }[direction]
            row.append(black if covered(along, across) else clear)
        rows.append(row)
    return rows


def tick_levels():
    """The menu mark: a black tick on white, 16 x 13, smoothed."""
    shape = stroke([(3.5, 6.5), (6.5, 9.5), (12.5, 3.0)], 2.2)
    return [[round(255 * (1 - c)) for c in row] for row in coverage(16, 13, shape)]


def scaled_layers(layers, factor):
    return [(scaled(shape, factor), colour) for shape, colour in layers]


def outputs():
    def icon24(size, layers):
        return ico_file([(size, size, 0, 24, icon_image_24(render(size, size, layers)))])

    def sized_webcam():
        return ico_file([(size, size, 0, 24,
                          icon_image_24(render(size, size, webcam_layers_at(size))))
                         for size in ICON_SIZES])

    def sized_webcam_off():
        # The larger images as PNG: the picture is the same, the file a third of the size.
        return ico_file([(size, size, 0, 32 if size >= 32 else 24,
                          (icon_image_png if size >= 32 else icon_image_24)(
                              render(size, size, webcam_off_layers_at(size))))
                         for size in ICON_SIZES])

    def sized_arrow(direction):
        return ico_file([(size, size, 16, 4, icon_image_4(arrow_rows(size, direction)))
                         for size in ICON_SIZES])

    return {
        "webcam.ico": sized_webcam(),
        "webcam-off.ico": sized_webcam_off(),
        "webcam-small.ico": icon24(32, scaled_layers(webcam_layers(), 32 / 48)),
        "lens.ico": icon24(48, lens_layers()),
        "power.ico": icon24(48, power_layers()),
        "arrow-up.ico": sized_arrow("up"),
        "arrow-down.ico": sized_arrow("down"),
        "arrow-left.ico": sized_arrow("left"),
        "arrow-right.ico": sized_arrow("right"),
        "menu-mark.bmp": bmp_file_8(tick_levels()),
    }


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = os.path.join(root, "res", "images")
    os.makedirs(folder, exist_ok=True)
    for name, data in outputs().items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        print(f"wrote res/images/{name} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
