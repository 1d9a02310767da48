#!/usr/bin/env python3
"""Reads a window's photograph in xwd's format (24- or 32-bit TrueColor) from standard input
and prints one line: how many pixels are red or blue, how many colours the top eighth has
(no control stands there: one colour without the background picture, its sky with it), and a
digest of all pixels, so that two photographs can be told equal or not.

Usage: xwd -id WINDOW | window_colours.py
"""
import hashlib
import struct
import sys

data = sys.stdin.buffer.read()
header_size, _, _, depth, width, height, _, byte_order, _, _, _, bits_per_pixel, \
    bytes_per_line, _, red_mask, green_mask, blue_mask, _, _, ncolors = \
    struct.unpack(">20I", data[:80])
if depth < 24 or bits_per_pixel not in (24, 32):
    sys.exit(f"window_colours: depth {depth} at {bits_per_pixel} bits is not read here")
pixels_at = header_size + ncolors * 12
step = bits_per_pixel // 8
endian = "little" if byte_order == 0 else "big"


def channel(value, mask):
    shift = (mask & -mask).bit_length() - 1
    return (value & mask) >> shift


red = blue = 0
top = set()
digest = hashlib.sha256()
for y in range(height):
    row = data[pixels_at + y * bytes_per_line:pixels_at + y * bytes_per_line + width * step]
    digest.update(row)
    for x in range(0, width * step, step):
        value = int.from_bytes(row[x:x + step], endian)
        r, g, b = channel(value, red_mask), channel(value, green_mask), channel(value, blue_mask)
        # Pure red and blue as the form draws them, and their anti-aliased edges.
        red += r >= 160 and g <= 90 and b <= 90
        blue += b >= 160 and r <= 90 and g <= 90
        if y < height // 8:
            top.add(value)
print(f"red={red} blue={blue} top={len(top)} digest={digest.hexdigest()[:16]}")
