#!/usr/bin/env python3
"""Draws the program's stock images and its window icon as .ico files.

Each shape is a function from a point in the unit square to a colour (or None for transparent);
every pixel is the average of 4 x 4 samples, so the edges come out smooth at every size.
Usage: make_images.py OUTPUT_DIR
"""
import math
import struct
import sys
from pathlib import Path

SIZES = tuple((n, n) for n in (16, 20, 24, 32, 40, 48, 64))
# The view buttons' glyphs are 23 x 19 at 96 dpi; the larger ones serve 120 to 192 dpi.
GLYPH_SIZES = ((23, 19), (29, 24), (35, 29), (40, 33), (46, 38))
SAMPLES = 4


def flag(x, y):
    """The system-process emblem: a small waving flag of four panes on a pole."""
    if 0.08 <= x <= 0.16 and 0.06 <= y <= 0.96:
        return (90, 90, 90)
    wave = 0.06 * math.sin((x - 0.18) * 2.2 * math.pi)
    top, bottom = 0.10 + wave, 0.66 + wave
    if not (0.18 <= x <= 0.94 and top <= y <= bottom):
        return None
    left = x < 0.56
    upper = y < (top + bottom) / 2
    if upper:
        return (230, 40, 30) if left else (40, 170, 60)
    return (30, 90, 220) if left else (250, 200, 20)


def gear(cx, cy, r, x, y):
    dx, dy = x - cx, y - cy
    d = math.hypot(dx, dy)
    a = math.atan2(dy, dx)
    teeth = 0.5 + 0.5 * math.cos(a * 8)
    outer = r * (0.78 + 0.22 * (teeth > 0.5))
    if d <= r * 0.28:
        return (255, 255, 255)
    if d <= outer:
        return (250, 200, 40) if d <= r * 0.6 else (240, 130, 20)
    return None


def program(x, y):
    """The generic program symbol: a window with a blue title bar and a cogwheel inside."""
    if not (0.04 <= x <= 0.96 and 0.10 <= y <= 0.92):
        return None
    if x < 0.09 or x > 0.91 or y > 0.87:
        return (40, 70, 150)
    if y < 0.28:
        return (40, 90, 200)
    g = gear(0.5, 0.58, 0.27, x, y)
    return g if g else (250, 250, 250)


def lens(x, y):
    """The window icon: a list of rows under a magnifying glass."""
    dx, dy = x - 0.42, y - 0.42
    d = math.hypot(dx, dy)
    along = (x + y) / math.sqrt(2)
    across = abs(x - y) / math.sqrt(2)
    if 0.86 <= along <= 1.30 and across <= 0.07:
        return (110, 70, 30)
    if 0.25 <= d <= 0.33:
        return (60, 60, 70)
    if d < 0.25:
        row = int((y - 0.17) / 0.1)
        if 0 <= row <= 4 and (y - 0.17) % 0.1 < 0.05 and 0.24 <= x <= 0.62:
            return (40, 90, 200) if row % 2 == 0 else (240, 130, 20)
        return (225, 240, 255)
    return None


def small_window(x, y, client):
    """A small window: grey frame, blue caption bar, and a client area drawn by `client`."""
    if not (0.04 <= x <= 0.96 and 0.05 <= y <= 0.95):
        return None
    if x < 0.09 or x > 0.91 or y > 0.89:
        return (90, 90, 100)
    if y < 0.27:
        return (40, 90, 200)
    return client((x - 0.09) / 0.82, (y - 0.27) / 0.62) or (255, 255, 255)


def report_glyph(x, y):
    """A table of rows and columns."""
    def client(u, v):
        if v < 0.22:
            return (200, 200, 205)
        if abs(u - 0.38) < 0.04 or abs(u - 0.70) < 0.04 or (v - 0.22) % 0.26 < 0.08:
            return (120, 120, 130)
        return None
    return small_window(x, y, client)


def large_glyph(x, y):
    """Six coloured squares, each over a caption bar."""
    colours = ((230, 40, 30), (40, 170, 60), (30, 90, 220), (250, 200, 20), (160, 60, 200), (240, 130, 20))
    def client(u, v):
        col, row = int(u * 3), int(v * 2)
        cu, cv = u * 3 - col, v * 2 - row
        if 0.15 < cu < 0.85 and 0.08 < cv < 0.58:
            return colours[min(row, 1) * 3 + min(col, 2)]
        if 0.1 < cu < 0.9 and 0.68 < cv < 0.86:
            return (120, 120, 130)
        return None
    return small_window(x, y, client)


def small_glyph(x, y):
    """A column of short lines."""
    def client(u, v):
        if 0.12 < u < 0.62 and (v - 0.1) % 0.27 < 0.13 and v > 0.1:
            return (120, 120, 130)
        return None
    return small_window(x, y, client)


def render(shape, width, height):
    pixels = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = shape((px + (sx + 0.5) / SAMPLES) / width, (py + (sy + 0.5) / SAMPLES) / height)
                    if c:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            n = acc[3]
            if n:
                row.append((acc[0] // n, acc[1] // n, acc[2] // n, 255 * n // (SAMPLES * SAMPLES)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def ico(shape, sizes=SIZES):
    images = []
    for width, height in sizes:
        pixels = render(shape, width, height)
        xor = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(pixels) for (r, g, b, a) in row)
        stride = ((width + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(pixels):
            bits = bytearray(stride)
            for i, p in enumerate(row):
                if p[3] == 0:
                    bits[i // 8] |= 0x80 >> (i % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append(((width, height), header + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (width, height), data in images:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def page_logo(x, y):
    """FILE, the page's logo: a document with a folded corner under a magnifying glass."""
    glass = lens((x - 0.3) / 0.7, (y - 0.3) / 0.7) if x > 0.3 and y > 0.3 else None
    if glass:
        return glass
    if 0.12 <= x <= 0.78 and 0.06 <= y <= 0.94 and not (x > 0.58 and y < 0.06 + (x - 0.58)):
        if x > 0.58 and y < 0.26 and y > 0.06 + (x - 0.58) - 0.03:
            return (170, 190, 220)
        if 0.22 <= x <= 0.66 and 0.34 <= y <= 0.84 and (y - 0.34) % 0.1 < 0.04:
            return (150, 160, 180)
        return (245, 248, 255) if 0.15 <= x <= 0.75 and 0.09 <= y <= 0.91 else (60, 90, 160)
    return None


def home(x, y):
    """HOME: a house."""
    if y < 0.5 and abs(x - 0.5) < y + 0.02 and y > 0.06:
        return (200, 60, 40)
    if 0.2 <= x <= 0.8 and 0.5 <= y <= 0.94:
        if 0.42 <= x <= 0.58 and y >= 0.66:
            return (120, 70, 30)
        return (240, 220, 170)
    return None


def folder(x, y):
    """FILES: a folder."""
    if 0.06 <= x <= 0.45 and 0.16 <= y <= 0.3:
        return (220, 170, 40)
    if 0.06 <= x <= 0.94 and 0.28 <= y <= 0.88:
        return (250, 200, 60) if y > 0.4 else (230, 180, 50)
    return None


def software(x, y):
    """SOFTWARE: a disc."""
    d = math.hypot(x - 0.5, y - 0.5)
    if d <= 0.12:
        return None
    if d <= 0.46:
        return (40, 90, 200) if d < 0.2 else (150, 180, 230) if (math.atan2(y - 0.5, x - 0.5) % 1.2) < 0.6 else (110, 150, 220)
    return None


def news(x, y):
    """NEWS: a newspaper."""
    if not (0.08 <= x <= 0.92 and 0.1 <= y <= 0.9):
        return None
    if 0.18 <= x <= 0.82 and 0.18 <= y <= 0.32:
        return (40, 40, 50)
    if 0.18 <= x <= 0.82 and y >= 0.42 and y <= 0.82 and (y - 0.42) % 0.13 < 0.06:
        return (130, 130, 140)
    return (250, 250, 250) if 0.12 <= x <= 0.88 and 0.14 <= y <= 0.86 else (90, 90, 100)


def gif(shape, width, height):
    """A GIF89a picture with one transparent colour and a 6 x 6 x 6 colour cube."""
    pixels = render(shape, width, height)
    palette = [(255, 255, 255)]  # index 0 is transparent
    indexes = {}
    data = bytearray()
    for row in pixels:
        for r, g, b, a in row:
            if a < 128:
                data.append(0)
                continue
            colour = tuple(int(round(c / 51)) * 51 for c in (r, g, b))
            if colour not in indexes:
                indexes[colour] = len(palette)
                palette.append(colour)
            data.append(indexes[colour])
    depth = max(1, (len(palette) - 1).bit_length())
    palette += [(0, 0, 0)] * ((1 << depth) - len(palette))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0xF0 | (depth - 1), 0, 0)
    out += b"".join(bytes(c) for c in palette)
    out += bytes([0x21, 0xF9, 4, 0x01, 0, 0, 0, 0])  # transparent colour 0
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    minimum = max(2, depth)
    out += bytes([minimum])
    encoded = lzw(data, minimum)
    for i in range(0, len(encoded), 255):
        chunk = encoded[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    out += b"\x00\x3b"
    return bytes(out)


def lzw(data, minimum):
    clear, end = 1 << minimum, (1 << minimum) + 1
    bits = bitcount = 0
    out = bytearray()

    def emit(code, size):
        nonlocal bits, bitcount
        bits |= code << bitcount
        bitcount += size
        while bitcount >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            bitcount -= 8

    def fresh():
        return {bytes([i]): i for i in range(clear)}, end + 1, minimum + 1

    table, next_code, size = fresh()
    emit(clear, size)
    word = b""
    for value in data:
        candidate = word + bytes([value])
        if candidate in table:
            word = candidate
            continue
        emit(table[word], size)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, next_code, size = fresh()
        word = bytes([value])
    if word:
        emit(table[word], size)
    emit(end, size)
    if bitcount:
        out.append(bits & 0xFF)
    return bytes(out)


def main():
    target = Path(sys.argv[1])
    target.mkdir(parents=True, exist_ok=True)
    for name, shape in (("emblem", flag), ("program", program), ("runlens", lens)):
        (target / f"{name}.ico").write_bytes(ico(shape))
    for name, shape in (("report", report_glyph), ("large", large_glyph), ("small", small_glyph)):
        (target / f"{name}.ico").write_bytes(ico(shape, GLYPH_SIZES))
    # The local page's pictures.
    for name, shape, width, height in (("file", page_logo, 67, 69), ("home", home, 16, 16),
                                       ("files", folder, 16, 16), ("software", software, 16, 16),
                                       ("news", news, 15, 16)):
        (target / f"{name}.gif").write_bytes(gif(shape, width, height))


if __name__ == "__main__":
    main()
