#!/usr/bin/env python3
"""Writes a small game folder for the window test: tracks/ring.trk, a square ring of road with
its finish line on the left side, and saves/race.gam, two cars whose first one drives three laps
of 20.00 s round it. usage: compose_race.py GAMEFOLDER"""
import os
import struct
import sys

game = sys.argv[1]
os.makedirs(os.path.join(game, "tracks"), exist_ok=True)
os.makedirs(os.path.join(game, "saves"), exist_ok=True)

# Track, version 0x110: ring between cells 40 and 472, inner square 80..431.
words = []
def run(code, count):
    while count > 0:
        r = min(count, 4095)
        words.append(r << 4 | code)
        count -= r
for row in range(512):
    if row < 40 or row >= 472:
        run(2, 512)
    elif row < 80 or row >= 432:
        run(2, 40); run(0, 432); run(2, 40)
    else:
        run(2, 40); run(0, 40); run(2, 352); run(0, 40); run(2, 40)
size = 200
body = struct.pack("<HHIBBhhBBI", 0x110, 0x4D54, 0, size, 0, 45, 0, 100, 1, len(words))
body += b"".join(struct.pack("<H", w) for w in words)
body += struct.pack("<H", 4096) + bytes(4096) + struct.pack("<HBB", 0, 0, 1)
body += struct.pack("<HHHH", 100, 500, 180, 500)          # finish line, half cells
body += struct.pack("<HB", 0, 0)
body += b"Window test".ljust(30, b"\0") + b"".ljust(500, b"\0") + struct.pack("<HI", 0xFFFF, 1000)
body = body[:4] + struct.pack("<I", len(body)) + body[8:]
records = struct.pack("<7H", 1999, 6000, 6000, 6000, 6000, 6000, 6000) + b"Anna".ljust(13, b"\0") + bytes(13 * 6)
records += bytes(7 * 1344 + 7 * 16)
open(os.path.join(game, "tracks", "ring.trk"), "wb").write(body + records)

# Saved game: options, two cars, one race on \ring, replay of 3 laps of 400 frames.
cell = size * 150 / 512
frames = []
side, perimeter = 392.0, 4 * 392.0
for i in range(-30, 3 * 400 + 1):
    d = (i * perimeter / 400 + 6.5) % perimeter
    if d < side / 2: x, z = 60, 256 - d
    elif d < 1.5 * side: x, z = 60 + d - side / 2, 60
    elif d < 2.5 * side: x, z = 452, 60 + d - 1.5 * side
    elif d < 3.5 * side: x, z = 452 - (d - 2.5 * side), 452
    else: x, z = 60, 452 - (d - 3.5 * side)
    frames.append(struct.pack("<HHH12x", int(x * cell + 0.5), 450, int(z * cell + 0.5)))
options = struct.pack("<H7s13BHBBB22sB22sH", 3, bytes(7), 100, 90, 80, 120, 0, 0, 3, 1, 100,
                      1, 1, 0, 0, 256, 0, 0, 0, b"english", 0, b"default", 0)
out = struct.pack("<HBB", 0x110, 1, 0) + options + struct.pack("<I", 2)
out += b"Anna".ljust(13, b"\0") + b"Bert".ljust(13, b"\0") + bytes(92 * 2)
out += b"Arrow".ljust(1344, b"\0") * 2
out += struct.pack("<II", 1, 0) + b"\\ring".ljust(40, b"\0") + bytes(16)
for human, skill, pos, laps in ((True, 0, 0, 3), (False, 77, 1, 2)):
    state = bytearray(348)
    state[0] = pos
    struct.pack_into("<iii", state, 12, 0, 6000, 2000)
    struct.pack_into("<IIII", state, 24, *((0x111, 0x112, 0x113, 0x114) if human else (0, skill, 0, 100)))
    struct.pack_into("<HHHHHH", state, 164, laps, 0, 2000, 50000, 40000, 1000)
    out += bytes(state)
out += struct.pack("<ii", 0, 1) + bytes(8) + struct.pack("<iiiiii", 3, 3, 6000, 2000, 0, -1)
out += struct.pack("<HHII", 0x110, 0x5052, 5, len(frames))
for car in (1, 2):
    out += b"PLR%d" % car + b"".join(frames)
open(os.path.join(game, "saves", "race.gam"), "wb").write(out)
