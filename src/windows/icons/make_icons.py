#!/usr/bin/env python3
"""Draws the program's two icons and writes them as PNG (standard library only).

LIVETEXTICON: a show-jumping fence (two standards, a striped pole) on a blue tile.
OPEN3: an open folder.
The fence also goes to dist/linux/icons/ at the sizes of the desktop's icon theme.
Run from any folder: python3 src/windows/icons/make_icons.py
"""
import os
import struct
import zlib

SUPERSAMPLE = 4


def png(path, size, pixel):
    rows = []
    for y in range(size):
        row = bytearray([0])
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    px = x + (sx + 0.5) / SUPERSAMPLE
                    py = y + (sy + 0.5) / SUPERSAMPLE
                    r, g, b, a = pixel(px, py)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SUPERSAMPLE * SUPERSAMPLE
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [round(c / acc[3]) for c in acc[:3]]
            else:
                rgb = [0, 0, 0]
            row += bytes(rgb + [round(alpha * 255)])
        rows.append(bytes(row))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
    data += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def in_rounded(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_rect(x, y, x0, y0, x1, y1):
    return x0 <= x <= x1 and y0 <= y <= y1


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def fence(x, y):
    s = 32
    if not in_rounded(x, y, 0, 0, s, s, 6):
        return (0, 0, 0, 0)
    # The pole, striped red and white, lies in front of the standards.
    if in_rect(x, y, 4, 12.5, 28, 16):
        return (200, 30, 30, 1) if int((x - 4) // 4) % 2 == 0 else (250, 250, 250, 1)
    if in_rect(x, y, 4, 19.5, 28, 22):
        return (250, 250, 250, 1) if int((x - 4) // 4) % 2 == 0 else (30, 90, 200, 1)
    for left in (5.5, 24.5):
        if in_rect(x, y, left, 7, left + 2.5, 26):
            return (240, 240, 240, 1)
        if in_rect(x, y, left - 1.5, 25, left + 4, 27):
            return (220, 220, 220, 1)
    if y > 25.5:
        return (60, 150, 60, 1)
    t = y / s
    return (int(30 + 30 * t), int(60 + 40 * t), int(120 + 40 * t), 1)


def folder(x, y):
    outline = (120, 80, 10, 1)
    back = [(2, 5), (9, 5), (11, 7.5), (21, 7.5), (21, 20), (2, 20)]
    front = [(5.5, 11), (23, 11), (19.5, 20), (2, 20)]
    if in_polygon(x, y, front):
        inner = [(6.4, 11.9), (21.6, 11.9), (18.9, 19.1), (3.4, 19.1)]
        return (250, 205, 80, 1) if in_polygon(x, y, inner) else outline
    if in_polygon(x, y, back):
        inner = [(2.9, 5.9), (8.6, 5.9), (10.6, 8.4), (20.1, 8.4), (20.1, 19.1), (2.9, 19.1)]
        return (215, 160, 40, 1) if in_polygon(x, y, inner) else outline
    return (0, 0, 0, 0)


def scaled(drawing, units, size):
    return lambda x, y: drawing(x * units / size, y * units / size)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    png(os.path.join(here, "LIVETEXTICON.png"), 32, fence)
    png(os.path.join(here, "OPEN3.png"), 24, folder)
    theme = os.path.join(here, "..", "..", "..", "dist", "linux", "icons")
    os.makedirs(theme, exist_ok=True)
    for size in (16, 24, 32, 48, 64, 128, 256):
        png(os.path.join(theme, f"de.zelmo.LiveText-{size}.png"), size, scaled(fence, 32, size))
