#!/usr/bin/env python3
"""Helpers for draw.sh: geometry for ImageMagick and the formats it cannot
write exactly.

  gen.py ball CX CY R STROKE     print MVG primitives for a football
  gen.py buttons DIR              write DIR/tick.bmp and DIR/abort.bmp
  gen.py ico OUT SIZE:RAW ...     pack 32-bit RGBA rasters into an icon; the
                                  256-pixel one PNG-compressed, as Windows
                                  Vista and later read it

Everything is computed from fixed numbers, so the output is the same bytes on
every run.
"""
import math
import struct
import sys
import zlib


# ---------------------------------------------------------------- football

def _pentagon(cx, cy, radius, angle0, squash_dir=None, squash=1.0):
    pts = []
    for k in range(5):
        a = angle0 + k * 2 * math.pi / 5
        x, y = radius * math.cos(a), radius * math.sin(a)
        if squash_dir is not None:
            # shrink along the radial direction of the ball: a patch near the
            # rim is seen at a slant
            ux, uy = math.cos(squash_dir), math.sin(squash_dir)
            along = x * ux + y * uy
            x -= (1 - squash) * along * ux
            y -= (1 - squash) * along * uy
        pts.append((cx + x, cy + y))
    return pts


def _clip_to_circle(poly, cx, cy, r, n=96):
    """Sutherland-Hodgman against a regular n-gon inscribed in the circle."""
    edges = [(cx + r * math.cos(2 * math.pi * k / n), cy + r * math.sin(2 * math.pi * k / n))
             for k in range(n)]
    out = poly
    for i in range(n):
        ax, ay = edges[i]
        bx, by = edges[(i + 1) % n]

        def inside(p):
            return (bx - ax) * (p[1] - ay) - (by - ay) * (p[0] - ax) >= 0

        def cross(p, q):
            # intersection of segment pq with the line ab
            dx, dy = q[0] - p[0], q[1] - p[1]
            ex, ey = bx - ax, by - ay
            den = dx * ey - dy * ex
            t = ((ax - p[0]) * ey - (ay - p[1]) * ex) / den
            return (p[0] + t * dx, p[1] + t * dy)

        src, out = out, []
        if not src:
            break
        prev = src[-1]
        for cur in src:
            if inside(cur):
                if not inside(prev):
                    out.append(cross(prev, cur))
                out.append(cur)
            elif inside(prev):
                out.append(cross(prev, cur))
            prev = cur
    return out


def _fmt(pts):
    return " ".join("%.2f,%.2f" % p for p in pts)


def ball_mvg(cx, cy, r, stroke):
    lines = []
    p = 0.34 * r                      # patch size
    up = -math.pi / 2
    centre = _pentagon(cx, cy, p, up)
    outer = []
    for k in range(5):
        a = up + k * 2 * math.pi / 5
        d = 0.93 * r
        ox, oy = cx + d * math.cos(a), cy + d * math.sin(a)
        # one corner points back at the ball's centre
        outer.append(_pentagon(ox, oy, p * 0.95, a + math.pi, squash_dir=a, squash=0.55))

    lines.append("stroke none fill '#fdfdfb' circle %.2f,%.2f %.2f,%.2f" % (cx, cy, cx + r, cy))
    # seams: centre corner -> inner corner of the outer patch, and outer patch -> next one
    lines.append("stroke '#2a2a2a' stroke-width %.2f fill none stroke-linecap round" % (stroke * 0.6))
    for k in range(5):
        v = centre[k]
        inner = outer[k][0]
        lines.append("line %.2f,%.2f %.2f,%.2f" % (v[0], v[1], inner[0], inner[1]))
        a1 = outer[k][4]
        b1 = outer[(k + 1) % 5][1]
        lines.append("line %.2f,%.2f %.2f,%.2f" % (a1[0], a1[1], b1[0], b1[1]))
    lines.append("stroke none fill '#1c1c1c'")
    lines.append("polygon " + _fmt(centre))
    for poly in outer:
        clipped = _clip_to_circle(poly, cx, cy, r)
        if len(clipped) >= 3:
            lines.append("polygon " + _fmt(clipped))
    lines.append("stroke '#1c1c1c' stroke-width %.2f fill none circle %.2f,%.2f %.2f,%.2f"
                 % (stroke, cx, cy, cx + r - stroke / 2, cy))
    return "\n".join(lines) + "\n"


# ------------------------------------------------------- button pictures

# The classic 16-colour VGA palette; index 3 is olive, the transparent colour.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, GREY, RED, LIME, WHITE = 0, 1, 2, 3, 8, 9, 10, 15
CELL = 18


def _seg_dist(px, py, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    qx, qy = ax + t * dx, ay + t * dy
    return math.hypot(px - qx, py - qy)


def _masks(segments, half):
    """Body and one-pixel rim of a thick stroke, sampled at pixel centres."""
    body, rim = set(), set()
    for y in range(CELL):
        for x in range(CELL):
            d = min(_seg_dist(x + 0.5, y + 0.5, a, b) for a, b in segments)
            if d <= half:
                body.add((x, y))
    for y in range(CELL):
        for x in range(CELL):
            if (x, y) in body:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1), (1, 1), (1, -1), (-1, 1), (-1, -1)):
                if (x + dx, y + dy) in body:
                    rim.add((x, y))
                    break
    return body, rim


def _cells(segments, half, rim_colour, body_colour):
    body, rim = _masks(segments, half)
    on = [[OLIVE] * CELL for _ in range(CELL)]
    off = [[OLIVE] * CELL for _ in range(CELL)]
    for x, y in rim:
        on[y][x] = rim_colour
    for x, y in body:
        on[y][x] = body_colour
    # disabled: grey outline with a white etch one pixel down and right,
    # outside the shape only
    for x, y in rim:
        e = (x + 1, y + 1)
        if e not in body and e not in rim and 0 <= e[0] < CELL and 0 <= e[1] < CELL:
            off[e[1]][e[0]] = WHITE
    for x, y in rim:
        off[y][x] = GREY
    return on, off


def tick_cells():
    segs = [((3.6, 9.6), (7.4, 13.4)), ((7.4, 13.4), (14.6, 4.4))]
    return _cells(segs, 1.45, GREEN, LIME)


def abort_cells():
    segs = [((5.0, 5.0), (13.0, 13.0)), ((13.0, 5.0), (5.0, 13.0))]
    return _cells(segs, 1.35, MAROON, RED)


def write_bmp4(path, rows):
    """rows: top-down list of palette indices; written bottom-up, BMP v3."""
    h = len(rows)
    w = len(rows[0])
    stride = ((w * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, w, 2):
            hi = row[i]
            lo = row[i + 1] if i + 1 < w else 0
            line.append((hi << 4) | lo)
        line.extend(b"\0" * (stride - len(line)))
        data += line
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(data), 3780, 3780, 16, 16)
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + palette + bytes(data))


def buttons(outdir):
    for name, (on, off) in (("tick", tick_cells()), ("abort", abort_cells())):
        rows = [on[y] + off[y] for y in range(CELL)]
        assert rows[-1][0] == OLIVE
        write_bmp4("%s/%s.bmp" % (outdir, name), rows)


# ------------------------------------------------------------------ icon

# Sizes from this one up are stored as PNG: a 256-pixel bitmap entry would
# take a quarter of a megabyte.
PNG_FROM = 256


def _png(n, rgba):
    """An 8-bit RGBA PNG with no ancillary chunks (no time, no gamma): the same
    pixels give the same bytes."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    rows = b"".join(b"\0" + rgba[y * n * 4:(y + 1) * n * 4] for y in range(n))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def _clean(rgba):
    """Scaling leaves faint fringes: make them clean holes."""
    out = bytearray(rgba)
    for i in range(0, len(out), 4):
        if out[i + 3] < 4:
            out[i:i + 4] = b"\0\0\0\0"
    return bytes(out)


def _dib(n, rgba):
    """A 32-bit bottom-up bitmap entry with its AND mask."""
    xor = bytearray()
    mask = bytearray()
    mstride = ((n + 31) // 32) * 4
    for y in reversed(range(n)):
        bits = bytearray(mstride)
        for x in range(n):
            r, g, b, a = rgba[(y * n + x) * 4:(y * n + x) * 4 + 4]
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    hdr = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return hdr + bytes(xor) + bytes(mask)


def ico(out, sized_files):
    images = []
    for sized_file in sized_files:
        size, raw = sized_file.split(":", 1)
        n = int(size)
        with open(raw, "rb") as f:
            rgba = f.read()
        assert len(rgba) == n * n * 4, raw
        rgba = _clean(rgba)
        images.append((n, _png(n, rgba) if n >= PNG_FROM else _dib(n, rgba)))
    blob = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, body in images:
        # A width or height of 256 is written as 0.
        blob += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
    for _, body in images:
        blob += body
    with open(out, "wb") as f:
        f.write(blob)


def main(argv):
    cmd = argv[1]
    if cmd == "ball":
        cx, cy, r, stroke = (float(v) for v in argv[2:6])
        sys.stdout.write(ball_mvg(cx, cy, r, stroke))
    elif cmd == "buttons":
        buttons(argv[2])
    elif cmd == "ico":
        ico(argv[2], argv[3:])
    else:
        raise SystemExit("unknown command " + cmd)


if __name__ == "__main__":
    main(sys.argv)
