#!/usr/bin/env python3
"""Draws Kestrand's application icon and window background and writes them beside this script.

Everything is computed from code (no randomness beyond a fixed hash), so the committed images can
always be rebuilt byte for byte:

    kestrand.ico              32 x 32, 8 bpp with a 1-bit transparency mask
    background.bmp            580 x 276, 8 bpp, bottom-up
    icons/kestrand-N.png      N = 32, 48, 64, 128, 192, 512; RGBA, nearest-neighbour copies of the icon

Run with --check to compare freshly drawn images with the files on disk instead of writing them.
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

ICON_SIZE = 32
PNG_SIZES = (32, 48, 64, 128, 192, 512)
BG_WIDTH, BG_HEIGHT = 580, 276


# --------------------------------------------------------------------------------------------
# Small numeric helpers


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c0, c1, t):
    return (lerp(c0[0], c1[0], t), lerp(c0[1], c1[1], t), lerp(c0[2], c1[2], t))


def scale(c, k):
    return (c[0] * k, c[1] * k, c[2] * k)


def hash01(ix, iy, seed):
    """Integer hash mapped to [0, 1); the only source of "randomness" in the pictures."""
    h = (ix * 374761393 + iy * 668265263 + seed * 982451653) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    h ^= h >> 16
    return h / 4294967296.0


def value_noise(x, y, seed):
    ix, iy = math.floor(x), math.floor(y)
    fx, fy = x - ix, y - iy
    ux, uy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a = hash01(ix, iy, seed)
    b = hash01(ix + 1, iy, seed)
    c = hash01(ix, iy + 1, seed)
    d = hash01(ix + 1, iy + 1, seed)
    return lerp(lerp(a, b, ux), lerp(c, d, ux), uy)


def fbm(x, y, seed, octaves):
    total, amp, norm = 0.0, 0.5, 0.0
    for o in range(octaves):
        total += amp * value_noise(x, y, seed + o * 101)
        norm += amp
        x, y, amp = x * 2.03, y * 2.03, amp * 0.5
    return total / norm


def to_byte(v):
    return int(clamp(round(v), 0, 255))


# --------------------------------------------------------------------------------------------
# Palette reduction: median cut over the picture's own colours, so each image gets the 256
# entries it actually needs rather than a fixed web-safe cube.


def median_cut(histogram, count):
    """histogram: dict (r, g, b) -> pixel count. Returns up to `count` colours."""
    # Green differences are the most visible, blue the least.
    weights = (1.0, 1.3, 0.8)

    def describe(items):
        lo = [min(c[k] for c, _ in items) for k in range(3)]
        hi = [max(c[k] for c, _ in items) for k in range(3)]
        spans = [(hi[k] - lo[k]) * weights[k] for k in range(3)]
        axis = max(range(3), key=lambda k: (spans[k], -k))
        weight = sum(n for _, n in items)
        return (spans[axis] * math.sqrt(weight), axis)

    boxes = [sorted(histogram.items())]
    scores = [describe(boxes[0])]
    while len(boxes) < count:
        best = max(range(len(boxes)), key=lambda i: (scores[i][0], -i))
        if scores[best][0] <= 0:
            break
        items, axis = boxes[best], scores[best][1]
        items = sorted(items, key=lambda cn: (cn[0][axis], cn[0]))
        half, acc, cut = sum(n for _, n in items) / 2.0, 0, 1
        for i, (_, n) in enumerate(items[:-1]):
            acc += n
            cut = i + 1
            if acc >= half:
                break
        lower, upper = items[:cut], items[cut:]
        boxes[best:best + 1] = [lower, upper]
        scores[best:best + 1] = [describe(lower), describe(upper)]

    palette = []
    for items in boxes:
        weight = sum(n for _, n in items)
        palette.append(tuple(to_byte(sum(c[k] * n for c, n in items) / weight) for k in range(3)))
    return palette


class NearestColour:
    """Nearest palette entry by weighted squared distance, memoised per input colour."""

    def __init__(self, palette):
        self.palette = palette
        self.cache = {}

    def __call__(self, r, g, b):
        key = (r, g, b)
        hit = self.cache.get(key)
        if hit is not None:
            return hit
        best, best_d = 0, None
        for i, (pr, pg, pb) in enumerate(self.palette):
            d = 3 * (pr - r) ** 2 + 4 * (pg - g) ** 2 + 2 * (pb - b) ** 2
            if best_d is None or d < best_d:
                best, best_d = i, d
        self.cache[key] = best
        return best


def dither(pixels, width, height, palette, strength=0.8):
    """Serpentine Floyd-Steinberg into `palette`; strength < 1 keeps flat areas calm."""
    nearest = NearestColour(palette)
    err = [[0.0] * (3 * (width + 2)) for _ in range(2)]
    out = bytearray(width * height)
    for y in range(height):
        cur, nxt = err[y & 1], err[(y + 1) & 1]
        for i in range(len(nxt)):
            nxt[i] = 0.0
        forward = y % 2 == 0
        xs = range(width) if forward else range(width - 1, -1, -1)
        step = 1 if forward else -1
        for x in xs:
            src = pixels[y * width + x]
            e = 3 * (x + 1)
            want = [src[k] + cur[e + k] for k in range(3)]
            idx = nearest(to_byte(want[0]), to_byte(want[1]), to_byte(want[2]))
            out[y * width + x] = idx
            got = palette[idx]
            for k in range(3):
                q = (want[k] - got[k]) * strength
                cur[e + 3 * step + k] += q * 7 / 16
                nxt[e - 3 * step + k] += q * 3 / 16
                nxt[e + k] += q * 5 / 16
                nxt[e + 3 * step + k] += q * 1 / 16
    return out


def pad_palette(palette):
    return list(palette) + [(0, 0, 0)] * (256 - len(palette))


def rgbquads(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


# --------------------------------------------------------------------------------------------
# The icon: a bevelled silver star on an olive badge inside a bronze rim.

BADGE_CENTRE = (16.0, 16.0)
BADGE_RADIUS = 15.5
STAR_OUTER = 10.4
STAR_INNER = STAR_OUTER * 0.382  # a regular pentagram's proportions
# A point-up star looks high when centred on its circumcircle; lower it to centre its bounds.
STAR_CENTRE = (16.0, 16.0 + STAR_OUTER * 0.095)
LIGHT = (-0.45, -0.6, 0.66)  # from the upper left, screen y pointing down


def normalise(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


def star_vertices(cx, cy):
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = STAR_OUTER if i % 2 == 0 else STAR_INNER
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def inside_polygon(px, py, pts):
    inside = False
    j = len(pts) - 1
    for i in range(len(pts)):
        (xi, yi), (xj, yj) = pts[i], pts[j]
        if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def distance_to_polygon(px, py, pts):
    best = 1e9
    for i in range(len(pts)):
        (ax, ay), (bx, by) = pts[i], pts[(i + 1) % len(pts)]
        dx, dy = bx - ax, by - ay
        t = clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
        best = min(best, math.hypot(px - ax - t * dx, py - ay - t * dy))
    return best


def star_facet_shades():
    """Lambert + specular per facet of a low pyramid star (centre raised, points on the ground)."""
    light = normalise(LIGHT)
    pts = star_vertices(0.0, 0.0)
    shades = []
    for k in range(10):
        p, q = pts[k], pts[(k + 1) % 10]
        # Facet through the raised centre (0, 0, h) and the two outline vertices.
        h = 3.2
        u = (p[0], p[1], -h)
        v = (q[0], q[1], -h)
        n = normalise((u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                       u[0] * v[1] - u[1] * v[0]))
        if n[2] < 0:
            n = tuple(-c for c in n)
        lambert = max(0.0, sum(a * b for a, b in zip(n, light)))
        half = normalise((light[0], light[1], light[2] + 1.0))
        specular = max(0.0, sum(a * b for a, b in zip(n, half))) ** 24
        shades.append(clamp(0.18 + 0.78 * lambert + 0.35 * specular))
    return shades


def icon_sample(x, y, star, shadow, shades):
    """Colour at one sub-pixel sample, or None outside the badge."""
    cx, cy = BADGE_CENTRE
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    if r > BADGE_RADIUS:
        return None
    radial = (dx / r, dy / r) if r > 1e-9 else (0.0, 0.0)
    light = normalise(LIGHT)

    rim_outer, rim_inner = BADGE_RADIUS - 0.7, BADGE_RADIUS - 3.0
    if r > rim_outer:
        return (64, 40, 18)  # dark edge so the badge reads on light backgrounds
    if r > rim_inner:
        # A rounded (convex) rim: outer half faces outwards, inner half inwards.
        mid, halfw = (rim_outer + rim_inner) / 2, (rim_outer - rim_inner) / 2
        t = (r - mid) / halfw
        nx, ny = radial[0] * t * 0.85, radial[1] * t * 0.85
        nz = math.sqrt(max(0.0, 1 - nx * nx - ny * ny))
        lambert = max(0.0, nx * light[0] + ny * light[1] + nz * light[2])
        half = normalise((light[0], light[1], light[2] + 1.0))
        specular = max(0.0, nx * half[0] + ny * half[1] + nz * half[2]) ** 16
        shadow_c, base, lit = (84, 50, 22), (168, 110, 52), (236, 192, 128)
        c = mix(shadow_c, base, clamp(lambert * 1.25)) if lambert < 0.8 else \
            mix(base, lit, clamp((lambert - 0.8) / 0.2))
        return mix(c, (255, 236, 200), specular * 0.6)
    if r > rim_inner - 0.6:
        return (44, 46, 16)  # groove between rim and field

    sx, sy = STAR_CENTRE
    if inside_polygon(x, y, star):
        a = math.atan2(y - sy, x - sx) + math.pi / 2
        k = int(math.floor(a / (math.pi / 5))) % 10
        t = shades[k]
        dark, bright = (78, 84, 92), (246, 247, 250)
        c = mix(dark, bright, t)
        # Rim light along the outline keeps the shaded arms apart from the dark field.
        edge = distance_to_polygon(x, y, star)
        if edge < 0.45:
            c = mix(c, (200, 204, 210), 0.35)
        return c

    # Olive field, domed: lighter towards the upper left, deeper at the lower right.
    t = clamp(0.5 - 0.5 * (dx * light[0] + dy * light[1]) / 12.5 * 1.6)
    field = mix((150, 156, 78), (66, 74, 28), t)
    # Concentric fade to make the groove read as a recess.
    field = scale(field, 1.0 - 0.18 * smoothstep(rim_inner - 3.0, rim_inner - 0.6, r))
    if inside_polygon(x, y, shadow):
        field = scale(field, 0.55)
    elif distance_to_polygon(x, y, star) < 0.55:
        field = scale(field, 0.6)
    return field


def draw_icon():
    """Returns (rgb rows, opaque mask) for the 32 x 32 icon, top row first."""
    n, sub = ICON_SIZE, 8
    star = star_vertices(*STAR_CENTRE)
    shadow = star_vertices(STAR_CENTRE[0] + 0.9, STAR_CENTRE[1] + 1.1)
    shades = star_facet_shades()
    rgb, opaque = [], []
    for py in range(n):
        for px in range(n):
            acc, hits = [0.0, 0.0, 0.0], 0
            for j in range(sub):
                for i in range(sub):
                    c = icon_sample(px + (i + 0.5) / sub, py + (j + 0.5) / sub, star, shadow,
                                    shades)
                    if c is not None:
                        hits += 1
                        for k in range(3):
                            acc[k] += c[k]
            # One bit of alpha: keep a pixel when the badge covers most of it, and colour it
            # from the covered samples only so edges do not pick up a dark fringe.
            keep = hits * 2 >= sub * sub
            opaque.append(keep)
            rgb.append(tuple(to_byte(a / hits) for a in acc) if keep else (0, 0, 0))
    return rgb, opaque


def quantise_icon(rgb, opaque):
    histogram = {}
    for c, keep in zip(rgb, opaque):
        if keep:
            histogram[c] = histogram.get(c, 0) + 1
    # Entry 0 stays black: transparent pixels must be black in the colour bitmap so that the
    # AND/XOR composite leaves the background untouched.
    palette = [(0, 0, 0)] + median_cut(histogram, 255)
    nearest = NearestColour(palette[1:])
    indices = bytes(nearest(*c) + 1 if keep else 0 for c, keep in zip(rgb, opaque))
    return pad_palette(palette), indices


def encode_ico(palette, indices, opaque):
    n = ICON_SIZE
    xor_rows, and_rows = [], []
    for y in reversed(range(n)):  # DIBs are stored bottom-up
        xor_rows.append(indices[y * n:(y + 1) * n])
        bits = bytearray((n + 31) // 32 * 4)
        for x in range(n):
            if not opaque[y * n + x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(bytes(bits))
    xor, mask = b"".join(xor_rows), b"".join(and_rows)
    # The DIB height covers both the colour bitmap and the mask, hence 2 * n.
    dib = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    image = dib + rgbquads(palette) + xor + mask
    header = struct.pack("<HHH", 0, 1, 1)
    # Width/height 32 fit in a byte; colour count 0 is how the directory says 256.
    entry = struct.pack("<BBBBHHII", n, n, 0, 0, 1, 8, len(image), 6 + 16)
    return header + entry + image


# --------------------------------------------------------------------------------------------
# PNG export of the icon


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(
        ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def encode_png(size, palette, indices, opaque):
    rows = []
    for y in range(size):
        sy = y * ICON_SIZE // size
        row = bytearray([0])  # filter type None
        for x in range(size):
            s = sy * ICON_SIZE + x * ICON_SIZE // size
            r, g, b = palette[indices[s]]
            row += bytes((r, g, b, 255 if opaque[s] else 0))
        rows.append(bytes(row))
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) +
            png_chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + png_chunk(b"IEND", b""))


# --------------------------------------------------------------------------------------------
# The background: open country under a late-afternoon sky. Only the top ~137 rows stay visible
# above the window's controls, so the skyline, hills and village sit there; the foreground below
# is kept quiet.

HORIZON = 104.0
SUN = (150.0, 64.0)
SKY_TOP = (92, 112, 134)
SKY_MID = (150, 164, 174)
SKY_LOW = (214, 204, 178)
HAZE = (184, 184, 170)


def sky_colour(x, y):
    t = clamp(y / HORIZON)
    base = mix(SKY_TOP, SKY_MID, smoothstep(0.0, 0.7, t))
    base = mix(base, SKY_LOW, smoothstep(0.45, 1.0, t))
    # Warm glow around the low sun.
    d = math.hypot((x - SUN[0]) / 1.6, y - SUN[1])
    base = mix(base, (240, 222, 184), 0.55 * math.exp(-d / 38.0))
    # Long stratus bands: noise stretched horizontally, denser higher up.
    n = fbm(x / 95.0, y / 15.0, 7, 5)
    density = smoothstep(0.50 - 0.10 * (1 - t), 0.78, n) * (1.0 - smoothstep(0.55, 0.95, t))
    if density > 0:
        under = fbm(x / 60.0, (y + 3) / 12.0, 7, 3)  # brighter where the cloud base is thinner
        top_c, lit_c = (118, 124, 136), (226, 212, 186)
        cloud = mix(top_c, lit_c, clamp(0.35 + (t * 0.9) + (under - 0.5) * 0.8))
        glow = math.exp(-math.hypot((x - SUN[0]) / 2.2, y - SUN[1]) / 40.0)
        cloud = mix(cloud, (246, 226, 190), 0.6 * glow)
        base = mix(base, cloud, density * 0.85)
    return base


def ridge(x, base, amp, period, seed, octaves=4):
    return base - amp * fbm(x / period, 0.5, seed, octaves)


def far_ridge(x):
    return ridge(x, 96.0, 34.0, 150.0, 21) - 6.0 * math.exp(-((x - 470.0) / 60.0) ** 2)


def mid_ridge(x):
    # A broad rise on the right carries the village.
    swell = 14.0 * math.exp(-((x - 430.0) / 95.0) ** 2)
    return ridge(x, 108.0, 18.0, 90.0, 33) - swell


def tree_line(x):
    """Top of the hedgerow trees standing on the horizon, or None where there is a gap."""
    clump = value_noise(x / 23.0, 3.0, 41)
    if clump < 0.33:
        return None
    crowns = 0.6 * value_noise(x / 5.0, 1.0, 43) + 0.4 * value_noise(x / 2.2, 2.0, 44)
    return HORIZON + 1.0 - (2.5 + 6.5 * smoothstep(0.33, 0.7, clump) + 3.5 * crowns)


# Village on the right-hand rise: (left, width, height, roof height) per building; spire last.
VILLAGE = [(398, 9, 4, 3), (409, 6, 3, 3), (417, 11, 5, 3), (441, 7, 3, 2), (450, 10, 4, 3),
           (462, 5, 3, 2)]
CHURCH = (428, 8, 7, 3)  # nave
SPIRE = (432.5, 2.2, 21)  # centre, half width at the base, height above the hill


def village_colour(x, y):
    """Colour of a village building at (x, y), or None."""
    for left, w, h, roof in VILLAGE + [CHURCH]:
        if left <= x < left + w:
            base = mid_ridge(left + w / 2) + 1.5
            wall_top = base - h
            if wall_top <= y <= base:
                return (150, 140, 124) if x - left > 1 else (122, 114, 102)
            peak = wall_top - roof
            rel = abs(x - (left + w / 2)) / (w / 2)
            if peak + rel * roof <= y < wall_top:
                return (112, 82, 70) if x < left + w / 2 else (92, 68, 60)
    sx, half, height = SPIRE
    base = mid_ridge(sx) - 5.0
    if base - height <= y <= base:
        t = (base - y) / height
        if abs(x - sx) <= half * (1.0 - 0.9 * smoothstep(0.35, 1.0, t)) + 0.35:
            return (128, 122, 112) if x < sx else (100, 96, 90)
    return None


FIELD_COLOURS = [
    (184, 166, 112),  # ripe wheat
    (160, 144, 102),  # stubble
    (122, 132, 84),   # meadow
    (100, 112, 70),   # pasture
    (126, 106, 82),   # ploughed
    (144, 142, 98),   # fallow
]

# The ground is a plane seen from a low viewpoint: row y shows depth EYE / (y - HORIZON), and
# FOCAL turns world units across into pixels. Fields lie on a grid turned against the view so
# their edges do not all run to the vanishing point.
FOCAL = 240.0
EYE = 900.0
VANISH_X = BG_WIDTH * 0.52
FIELD_ANGLE = math.radians(24.0)
FIELD_W, FIELD_H = 22.0, 13.0
HEDGE_WIDTH = 0.7
# Keeps every hedge off the line through the viewpoint, which would show as a vertical bar.
FIELD_OFFSET = 7.3
ROAD_WIDTH = 2.6


def to_field(u, v):
    ca, sa = math.cos(FIELD_ANGLE), math.sin(FIELD_ANGLE)
    return u * ca - v * sa, u * sa + v * ca


def from_field(fu, fv):
    ca, sa = math.cos(FIELD_ANGLE), math.sin(FIELD_ANGLE)
    return fu * ca + fv * sa, -fu * sa + fv * ca


def field_row_shift(ci):
    return hash01(ci, 0, 5) * FIELD_H


def road_u(v):
    """Road centre across the ground plane at depth v (world units)."""
    return -16.0 + 11.0 * math.sin(v / 17.0) + 0.2 * v


def desaturate(c, k):
    grey = 0.3 * c[0] + 0.55 * c[1] + 0.15 * c[2]
    return mix(c, (grey, grey, grey), k)


def band_cover(dist, width, extent):
    """Share of a pixel `extent` long across a band `width` wide whose centre is `dist` away."""
    lo = max(dist - extent / 2, -width / 2)
    hi = min(dist + extent / 2, width / 2)
    return clamp((hi - lo) / extent)


def ground_colour(x, y):
    d = y - HORIZON
    z = EYE / d
    across = z / FOCAL  # world units per pixel across the view
    deep = z / d  # world units per pixel row, much coarser towards the horizon
    u, v = (x - VANISH_X) * across, z

    fu, fv = to_field(u, v)
    fu += FIELD_OFFSET
    ci = math.floor(fu / FIELD_W)
    shift = field_row_shift(ci)
    ri = math.floor((fv + shift) / FIELD_H)
    c = FIELD_COLOURS[int(hash01(ci, ri, 9) * len(FIELD_COLOURS))]
    c = scale(c, 0.92 + 0.14 * hash01(ci, ri, 11))
    # Drill lines, running one of two ways per field, faded out before they can alias.
    period = 0.9
    along = fu if hash01(ci, ri, 13) < 0.5 else fv
    blur = max(across, deep * 0.6)
    # Beyond a dozen pixels apart they would read as broad bands, so fade them there too.
    c = scale(c, 1.0 + 0.05 * math.sin(along * 2 * math.pi / period) *
              (1.0 - smoothstep(period * 0.15, period * 0.4, blur)) *
              smoothstep(period / 14.0, period / 8.0, blur))
    # Soil and crop texture so the foreground fields are not flat.
    c = scale(c, 0.93 + 0.14 * fbm(u / 2.0, v / 2.0, 17, 3))

    # Hedges and the road are thin bands; box-filter them across the pixel's footprint, which
    # is long and thin near the horizon, so they thin out instead of breaking into dashes.
    ca, sa = math.cos(FIELD_ANGLE), math.sin(FIELD_ANGLE)
    du = min(fu - ci * FIELD_W, (ci + 1) * FIELD_W - fu)
    dv = min((fv + shift) - ri * FIELD_H, (ri + 1) * FIELD_H - (fv + shift))
    width = min(HEDGE_WIDTH, 3.0 * across)  # never a wall across the foreground
    hedge = max(band_cover(du, width, ca * across + sa * deep),
                band_cover(dv, width, sa * across + ca * deep))
    c = mix(c, (70, 84, 54), hedge * 0.85)

    # The road: pale dust between darker verges.
    slope = (road_u(v + 0.01) - road_u(v - 0.01)) / 0.02
    norm = math.sqrt(1.0 + slope * slope)
    off = abs(u - road_u(v)) / norm
    extent = (across + abs(slope) * deep) / norm
    c = mix(c, (110, 102, 76), 0.7 * band_cover(off, ROAD_WIDTH + 0.6, extent))
    dust = mix((178, 166, 138), (152, 140, 112), smoothstep(0.2, 0.5, off / ROAD_WIDTH))
    c = mix(c, dust, band_cover(off, ROAD_WIDTH, extent))

    c = desaturate(c, 0.18)
    # Aerial perspective near the horizon, and a quiet, darker foreground below the fold.
    c = mix(c, HAZE, 0.7 * math.exp(-d / 10.0))
    c = scale(c, 1.0 - 0.2 * smoothstep(140.0, BG_HEIGHT, y))
    return c


def hedgerow_trees():
    """Trees standing along the hedges in the middle distance, furthest first."""
    trees = []
    for ci in range(-12, 13):
        fu = ci * FIELD_W - FIELD_OFFSET
        for k in range(40):
            if hash01(ci, k, 61) < 0.72:
                continue
            fv = (k + hash01(ci, k, 62)) * 7.0
            u, v = from_field(fu, fv)
            if not 45.0 < v < 420.0:
                continue
            x = VANISH_X + u * FOCAL / v
            if -10 < x < BG_WIDTH + 10:
                size = 0.8 + 0.5 * hash01(ci, k, 63)
                trees.append((v, x, size, ci * 50 + k))
    trees.sort(key=lambda t: (-t[0], t[1]))
    return trees


def paint_trees(pixels):
    for v, x, size, seed in hedgerow_trees():
        base = HORIZON + EYE / v
        r = size * 1.25 * FOCAL / v  # crown radius in pixels
        trunk = size * 0.5 * FOCAL / v
        cy = base - trunk - r
        haze = 0.7 * math.exp(-(base - HORIZON) / 10.0)
        for py in range(int(cy - r - 1), int(base + 1) + 1):
            if not 0 <= py < BG_HEIGHT:
                continue
            for px in range(int(x - r - 1), int(x + r + 1) + 1):
                if not 0 <= px < BG_WIDTH:
                    continue
                sx, sy = px + 0.5 - x, py + 0.5 - cy
                # Slightly flattened crown; coverage from the distance to its edge.
                dist = math.hypot(sx, sy * 1.15)
                a = math.atan2(sy, sx)  # sampled around a circle so the outline closes
                ragged = r * (0.82 + 0.3 * value_noise(1.2 * math.cos(a) + 9, 1.2 * math.sin(a) + 9,
                                                       seed))
                cover = clamp(ragged - dist + 0.5)
                if sy > 0 and abs(sx) < max(0.5, r * 0.18) and py + 0.5 < base:
                    cover = max(cover, 0.9)
                if cover <= 0:
                    continue
                lit = clamp(0.5 - (sx + sy) / (2.5 * r + 1e-9))
                c = mix((48, 60, 38), (108, 116, 74), lit)
                c = scale(c, 0.9 + 0.2 * value_noise(px / 1.5, py / 1.5, 67))
                c = mix(c, HAZE, haze)
                i = py * BG_WIDTH + px
                pixels[i] = mix(pixels[i], c, cover)


def background_pixel(x, y):
    """Paints back to front; each skyline covers its share of the pixel rows it crosses."""
    px, py = x + 0.5, y + 0.5
    if y >= HORIZON + 1.0:
        return ground_colour(px, py)
    c = sky_colour(px, py)

    far = far_ridge(px)
    cover = clamp(y + 1.0 - far)
    if cover > 0:
        t = clamp((py - far) / max(1.0, HORIZON - far))
        hill = mix((128, 138, 150), (150, 156, 158), t)
        hill = mix(hill, (176, 176, 170), 0.25 * value_noise(px / 9.0, py / 3.0, 57))
        c = mix(c, hill, cover)

    mid = mid_ridge(px)
    cover = clamp(y + 1.0 - mid)
    if cover > 0:
        # Near hills: fields and woods softened by distance.
        t = clamp((py - mid) / max(1.0, HORIZON - mid))
        hill = mix((128, 134, 92), (150, 144, 100), value_noise(px / 14.0, py / 4.0, 51))
        wood = fbm(px / 18.0, py / 5.0, 53, 3)
        hill = mix(hill, (84, 98, 66), smoothstep(0.54, 0.64, wood))
        c = mix(c, mix(hill, HAZE, 0.45 - 0.2 * t), cover)

    building = village_colour(px, py)
    if building is not None:
        c = mix(building, HAZE, 0.42)

    if y + 1.0 > HORIZON:
        # Rows on the horizon squeeze many fields into a pixel: average several samples.
        n, ground = 4, (0.0, 0.0, 0.0)
        for j in range(n):
            for i in range(n):
                s = ground_colour(x + (i + 0.5) / n, max(y + (j + 0.5) / n, HORIZON + 0.2))
                ground = (ground[0] + s[0], ground[1] + s[1], ground[2] + s[2])
        c = mix(c, scale(ground, 1.0 / (n * n)), clamp(y + 1.0 - HORIZON))

    top = tree_line(px)
    if top is not None:
        cover = clamp(y + 1.0 - top) * clamp(HORIZON + 1.0 - y)
        if cover > 0:
            shade = 0.75 + 0.25 * value_noise(px / 2.0, py / 2.0, 47)
            lit = clamp((HORIZON - py) / 8.0) * 0.3
            trees = mix((58, 72, 46), (104, 112, 72), lit)
            c = mix(c, mix(scale(trees, shade), HAZE, 0.3), cover)
    return c


def draw_background():
    pixels = [background_pixel(x, y) for y in range(BG_HEIGHT) for x in range(BG_WIDTH)]
    paint_trees(pixels)
    return pixels


def quantise_background(pixels):
    histogram = {}
    for c in pixels:
        key = (to_byte(c[0]), to_byte(c[1]), to_byte(c[2]))
        histogram[key] = histogram.get(key, 0) + 1
    palette = pad_palette(median_cut(histogram, 256))
    indices = dither(pixels, BG_WIDTH, BG_HEIGHT, palette)
    return palette, indices


def encode_bmp(palette, indices):
    stride = (BG_WIDTH + 3) // 4 * 4
    pad = bytes(stride - BG_WIDTH)
    rows = [bytes(indices[y * BG_WIDTH:(y + 1) * BG_WIDTH]) + pad
            for y in reversed(range(BG_HEIGHT))]
    bits = b"".join(rows)
    offset = 14 + 40 + 4 * 256
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, BG_WIDTH, BG_HEIGHT, 1, 8, 0, len(bits), 2835, 2835,
                       256, 0)
    return file_header + info + rgbquads(palette) + bits


# --------------------------------------------------------------------------------------------


def build():
    rgb, opaque = draw_icon()
    palette, indices = quantise_icon(rgb, opaque)
    files = {"kestrand.ico": encode_ico(palette, indices, opaque)}
    for size in PNG_SIZES:
        files["icons/kestrand-%d.png" % size] = encode_png(size, palette, indices, opaque)
    bg_palette, bg_indices = quantise_background(draw_background())
    files["background.bmp"] = encode_bmp(bg_palette, bg_indices)
    return files


def main(argv):
    check = "--check" in argv[1:]
    stale = []
    for name, data in build().items():
        path = os.path.join(HERE, name)
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(name)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
