"""Saved games, tracks and screenshots composed from their layouts, and game folders of them."""
import os
import shutil
import struct
import tempfile


def save_game(driver=b"Anna", track=b"\\rally\\forest", crossing=8345, laps=3, unit=0, version=0x110):
    n, tracks, race = 2, [b"\\oval", track], 1
    b = bytearray(struct.pack("<HBB", version, 5, 0))
    options = bytearray(74)
    options[0:2] = struct.pack("<H", laps)
    options[13] = unit
    b += options + struct.pack("<I", n)
    for name in (driver, b"Bert"):
        b += name[:13].ljust(13, b"\0")
    b += bytes(range(256)) * ((92 + 1344) * n // 256) + bytes((92 + 1344) * n % 256)
    b += struct.pack("<II", len(tracks), race)
    for t in tracks:
        b += t[:40].ljust(40, b"\0") + bytes(range(16))
    for car in range(n):
        state = bytearray(348)
        state[16:20] = struct.pack("<i", crossing + 100 * car)
        b += state
    b += bytes(8 * n) + struct.pack("<i", laps) + bytes(20)
    return bytes(b)


def track_file(lap_length=1250, holder=b"Carla", record=2345):
    body_end = 5000
    b = bytearray(body_end + 14 + 91 + 7 * 1344 + 7 * 16)
    b[0:9] = struct.pack("<HHIB", 0x110, 0x4D54, body_end, 120)
    for i in range(16, body_end - 8):
        b[i] = (i * 13) & 0xFF
    b[body_end - 4:body_end] = struct.pack("<I", lap_length)
    b[body_end:body_end + 2] = struct.pack("<H", record)
    b[body_end + 14:body_end + 14 + len(holder)] = holder
    return bytes(b)


def bitmap(width, height):
    """An 8-bit screenshot as the game writes it: palette, bottom-up rows."""
    stride = (width + 3) & ~3
    offset = 14 + 40 + 1024
    size = offset + stride * height
    b = bytearray(b"BM" + struct.pack("<IHHI", size, 0, 0, offset))
    b += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, stride * height, 2835, 2835, 256, 0)
    for i in range(256):
        b += bytes((i, 255 - i, (i * 3) & 0xFF, 0))
    for y in range(height):
        b += bytes(((x + y) & 0xFF for x in range(width))) + bytes(stride - width)
    return bytes(b)


def game_folder(tool, profile=None):
    game = tempfile.mkdtemp(prefix="zipper_cli_")
    shutil.copy(tool, os.path.join(game, "tmzipper"))
    for d in ("saves", "screens", "tracks/rally", "zip"):
        os.makedirs(os.path.join(game, d))
    files = {
        "saves/Autosave.gam": save_game(driver=b"Auto"),
        "saves/cup.gam": save_game(),
        "screens/shot0000.bmp": bitmap(64, 48),
        "screens/shot0001.bmp": bitmap(320, 240),
        "tracks/rally/forest.trk": track_file(),
        "tracks/forest.trk": b"the wrong forest",
    }
    for i, (rel, data) in enumerate(files.items()):
        with open(os.path.join(game, rel), "wb") as f:
            f.write(data)
        os.utime(os.path.join(game, rel), (1700000000 + i, 1700000000 + i))
    os.utime(os.path.join(game, "saves/Autosave.gam"), (1700000100, 1700000100))
    if profile is not None:
        with open(os.path.join(game, "comp_zipper.prf"), "w") as f:
            f.write(profile)
    return game, files
