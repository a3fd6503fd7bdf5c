#!/usr/bin/env python3
"""tmzipper without a window, on composed game folders: usage: cli_test.py TMZIPPER

Every archive it writes must pass `unzip -t` and Python's zipfile, hold its sources byte for
byte (the JPEG aside, which ImageMagick's identify must open at the screenshot's size) and
name its members with plain file names."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

TOOL = sys.argv[1]
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


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
    b += bytes(8 * n + 24)
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


def game_folder(profile=None):
    game = tempfile.mkdtemp(prefix="zipper_cli_")
    shutil.copy(TOOL, os.path.join(game, "tmzipper"))
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


def run(game, *args):
    return subprocess.run(["./tmzipper", *args], cwd=game, capture_output=True, text=True, timeout=30)


def read_archive(game, name):
    """The archive checked by both readers; its members by name."""
    path = os.path.join(game, "zip", name)
    t = subprocess.run(["unzip", "-t", path], capture_output=True, text=True)
    with zipfile.ZipFile(path) as z:
        check(z.testzip() is None, name + ": zipfile finds a bad member")
        members = {i.filename: z.read(i) for i in z.infolist()}
        for i in z.infolist():
            check(i.compress_type == zipfile.ZIP_DEFLATED, name + ": " + i.filename + " not deflated")
    if members:
        check(t.returncode == 0 and "No errors detected" in t.stdout, name + ": unzip -t: " + t.stdout + t.stderr)
    else:
        # unzip only warns about an archive without members
        check(t.returncode == 1 and "zipfile is empty" in t.stderr + t.stdout, name + ": unzip -t: " + t.stderr)
    for m in members:
        check("/" not in m and "\\" not in m and ".." not in m, name + ": member name not plain: " + m)
    return members


def jpeg_size(data, where):
    path = os.path.join(where, "check.jpg")
    with open(path, "wb") as f:
        f.write(data)
    out = subprocess.run(["identify", "-format", "%m %w %h", path], capture_output=True, text=True)
    return out.stdout.strip()


# The defaults: JPEG screenshot, game, track; the name from the order values.
game, files = game_folder()
r = run(game, "--list")
check(r.returncode == 0, "--list failed: " + r.stderr)
check("zip\\forest_Anna_1-23-45_162kmh.zip" in r.stdout, "--list name: " + r.stdout)
check("screens\\shot0001.bmp" in r.stdout and "saves\\cup.gam" in r.stdout, "--list files: " + r.stdout)
check("Tracks\\rally\\forest.trk" in r.stdout and "Carla" in r.stdout, "--list track: " + r.stdout)
r = run(game, "--make")
check(r.returncode == 0 and r.stdout.strip() == "..\\zip\\forest_Anna_1-23-45_162kmh.zip ok", "--make: " + r.stdout + r.stderr)
m = read_archive(game, "forest_Anna_1-23-45_162kmh.zip")
check(sorted(m) == ["forest.trk", "forest_Anna_1-23-45_162kmh.gam", "forest_Anna_1-23-45_162kmh.jpg"], "members: %s" % sorted(m))
check(m.get("forest_Anna_1-23-45_162kmh.gam") == files["saves/cup.gam"], "saved game changed")
check(m.get("forest.trk") == files["tracks/rally/forest.trk"], "track changed")
check(jpeg_size(m.get("forest_Anna_1-23-45_162kmh.jpg", b""), game) == "JPEG 320 240", "the JPEG does not open at 320x240")
check(sorted(os.listdir(os.path.join(game, "zip"))) == ["forest_Anna_1-23-45_162kmh.zip"], "left in zip: %s" % os.listdir(os.path.join(game, "zip")))

# An existing archive stays unless --force.
r = run(game, "--make")
check(r.returncode == 1 and len(r.stderr.strip().splitlines()) == 1, "second --make: %d %s" % (r.returncode, r.stderr))
r = run(game, "--make", "--force")
check(r.returncode == 0, "--make --force: " + r.stderr)
r = run(game, "--make", "Mein Beitrag", "--force")
check(r.returncode == 0, "--make NAME: " + r.stderr)
check(sorted(read_archive(game, "Mein Beitrag.zip")) == ["Mein Beitrag.gam", "Mein Beitrag.jpg", "forest.trk"], "named members")
shutil.rmtree(game)

# The bitmap unchanged, other order values, a text, one box off.
game, files = game_folder("bmp/jpg = 0\r\nGame = 0\r\ntrackname = 2\r\ndrivername = 1\r\ntime/kmh = 0\r\ntext = Finale\r\nTextPos = 3\r\n")
r = run(game, "--make")
check(r.returncode == 0, "--make with profile: " + r.stderr)
m = read_archive(game, "Anna_forest_Finale.zip")
check(sorted(m) == ["Anna_forest_Finale.bmp", "forest.trk"], "profile members: %s" % sorted(m))
check(m.get("Anna_forest_Finale.bmp") == files["screens/shot0001.bmp"], "bitmap changed")
shutil.rmtree(game)

# All boxes off: an archive without members.
game, files = game_folder("Track = 0\nGame = 0\nScreen = 0\n")
r = run(game, "--make", "leer")
check(r.returncode == 0, "--make empty: " + r.stderr)
check(read_archive(game, "leer.zip") == {}, "empty archive has members")
shutil.rmtree(game)

# Bad files and places: one line on stderr, a non-zero status, no archive.
def refused(game, args, status, what):
    r = run(game, *args)
    lines = r.stderr.strip().splitlines()
    check(r.returncode == status and len(lines) == 1 and lines[0].startswith("tmzipper: "),
          "%s: %d %r" % (what, r.returncode, r.stderr))
    if os.path.isdir(os.path.join(game, "zip")):
        check(os.listdir(os.path.join(game, "zip")) == [], what + ": left " + str(os.listdir(os.path.join(game, "zip"))))


game, files = game_folder()
open(os.path.join(game, "saves/cup.gam"), "wb").write(files["saves/cup.gam"][:500])
refused(game, ["--make"], 1, "short save")
refused(game, ["--list"], 1, "short save, --list")
open(os.path.join(game, "saves/cup.gam"), "wb").write(save_game(track=b"\\..\\saves\\cup"))
open(os.path.join(game, "saves/cup.trk"), "wb").write(b"secret")
refused(game, ["--make"], 1, "track outside Tracks")
open(os.path.join(game, "saves/cup.gam"), "wb").write(save_game(track=b"\\nowhere"))
refused(game, ["--make"], 1, "missing track")
open(os.path.join(game, "saves/cup.gam"), "wb").write(save_game())
refused(game, ["--make", "../escape"], 1, "name with a folder")
check(not os.path.exists(os.path.join(game, "escape.zip")), "archive written outside zip")
open(os.path.join(game, "screens/shot0001.bmp"), "wb").write(b"BM broken")
refused(game, ["--make"], 1, "broken screenshot")
refused(game, ["--bogus"], 2, "unknown option")
refused(game, ["--make", "a", "b"], 2, "two names")
shutil.rmtree(os.path.join(game, "zip"))
refused(game, ["--make"], 1, "no zip folder")
check(not os.path.exists(os.path.join(game, "zip")), "the zip folder was created")
shutil.rmtree(os.path.join(game, "saves"))
refused(game, ["--list"], 1, "no saves folder")
check("Programm muß im TM-Verzeichnis stehen" in run(game, "--list").stderr, "no saves message")
shutil.rmtree(game)

print("%d failures" % len(failures) if failures else "cli ok")
sys.exit(1 if failures else 0)
