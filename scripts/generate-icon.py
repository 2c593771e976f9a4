#!/usr/bin/env python3
"""Draws the program's icon, a silver disc with a violet sheen, and writes it as a .ico
file with five images: 32x32 and 16x16 at 8 bits per pixel, 48x48, 32x32 and 16x16 at 32
bits per pixel (with alpha). The drawing is pure arithmetic, so the output is the same
byte for byte on every run.

Usage: generate-icon.py OUTPUT.ico
"""

import math
import struct
import sys

SUPERSAMPLES = 8  # per axis, for smooth edges

# Radii as fractions of the disc's outer radius.
HOLE = 0.15
HUB = 0.34
HUB_RING = 0.40

EDGE = (72, 76, 96)
HOLE_EDGE = (96, 100, 118)
HUB_COLOUR = (206, 210, 222)
HUB_RING_COLOUR = (150, 154, 172)
SILVER = (214, 218, 230)
VIOLET = (120, 98, 200)
CYAN = (110, 190, 220)


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def surface(angle, radius):
    """The recorded surface: silver with an iridescent sheen that turns with the angle and
    two bright reflections across the disc."""
    sheen = 0.5 + 0.5 * math.sin(2 * angle + radius * 3.0)
    tint = mix(VIOLET, CYAN, sheen)
    colour = mix(SILVER, tint, 0.45)
    reflection = max(0.0, math.cos(2 * (angle - math.pi / 4))) ** 6
    colour = mix(colour, (255, 255, 255), 0.75 * reflection)
    shade = 1.0 - 0.12 * radius  # a little darker towards the rim
    return tuple(c * shade for c in colour)


def sample(x, y):
    """The colour (r, g, b) and coverage at a point, in disc coordinates (outer radius 1),
    or None outside the disc and inside its hole."""
    radius = math.hypot(x, y)
    if radius > 1.0 or radius < HOLE:
        return None
    angle = math.atan2(y, x)
    if radius > 0.93:
        return EDGE
    if radius < HOLE + 0.04:
        return HOLE_EDGE
    if radius < HUB:
        return HUB_COLOUR
    if radius < HUB_RING:
        return HUB_RING_COLOUR
    return surface(angle, radius)


def render(size):
    """Rows of (r, g, b, a) pixels, top row first, 0-255 each."""
    margin = 0.5 if size <= 16 else 1.0
    outer = size / 2 - margin
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SUPERSAMPLES):
                for sx in range(SUPERSAMPLES):
                    x = (px + (sx + 0.5) / SUPERSAMPLES - size / 2) / outer
                    y = (py + (sy + 0.5) / SUPERSAMPLES - size / 2) / outer
                    colour = sample(x, y)
                    if colour is None:
                        continue
                    covered += 1
                    for i in range(3):
                        total[i] += colour[i]
            if covered == 0:
                row.append((0, 0, 0, 0))
                continue
            alpha = covered / SUPERSAMPLES**2
            r, g, b = (round(total[i] / covered) for i in range(3))
            row.append((r, g, b, round(alpha * 255)))
        rows.append(row)
    return rows


# The sixteen colours every display has, first in the palette.
STANDARD_COLOURS = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def median_cut(colours, count):
    """`count` colours that stand for `colours`: the box with the widest channel is split
    at its median until there are enough boxes; each box gives its mean."""
    boxes = [sorted(colours)]
    while len(boxes) < count:
        def spread(box):
            return max(max(c[i] for c in box) - min(c[i] for c in box) for i in range(3))
        widest = max(range(len(boxes)), key=lambda i: (spread(boxes[i]), len(boxes[i])))
        box = boxes[widest]
        if len(box) < 2 or spread(box) == 0:
            break
        channel = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box = sorted(box, key=lambda c: (c[channel], c))
        middle = len(box) // 2
        boxes[widest:widest + 1] = [box[:middle], box[middle:]]
    return [tuple(round(sum(c[i] for c in box) / len(box)) for i in range(3)) for box in boxes]


def palette(images):
    """256 colours: the standard sixteen and the disc's own colours."""
    opaque = [(r, g, b) for rows in images for row in rows for r, g, b, a in row if a >= 128]
    colours = STANDARD_COLOURS + median_cut(opaque, 256 - len(STANDARD_COLOURS))
    return colours + [(0, 0, 0)] * (256 - len(colours))


def nearest(colours, colour):
    return min(range(len(colours)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colours[i], colour)))


def and_mask(rows):
    """The 1-bit mask, bottom row first: set where the image is transparent."""
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return bytes(data)


def bitmap_header(size, bits, image_bytes, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0,
                       colours_used, 0)


def image_8bit(rows, colours):
    size = len(rows)
    stride = ((size * 8 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            line[x] = nearest(colours, (r, g, b)) if a >= 128 else 0
        pixels += line
    mask = and_mask(rows)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    return bitmap_header(size, 8, len(pixels) + len(mask), 256) + table + bytes(pixels) + mask


def image_32bit(rows):
    size = len(rows)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += struct.pack("<BBBB", b, g, r, a)
    mask = and_mask(rows)
    return bitmap_header(size, 32, len(pixels) + len(mask), 0) + bytes(pixels) + mask


def icon_file(images):
    """images: (size, bits, data) in directory order."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory = bytearray()
    body = bytearray()
    for size, bits, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(data),
                                 offset + len(body))
        body += data
    return header + bytes(directory) + bytes(body)


def main():
    rendered = {size: render(size) for size in (16, 32, 48)}
    colours = palette([rendered[32], rendered[16]])
    images = [
        (32, 8, image_8bit(rendered[32], colours)),
        (16, 8, image_8bit(rendered[16], colours)),
        (48, 32, image_32bit(rendered[48])),
        (32, 32, image_32bit(rendered[32])),
        (16, 32, image_32bit(rendered[16])),
    ]
    with open(sys.argv[1], "wb") as output:
        output.write(icon_file(images))


if __name__ == "__main__":
    main()
