#!/usr/bin/env python3
"""tmzipper without a window, on composed game folders: usage: cli_test.py TMZIPPER

Every archive it writes must pass `unzip -t` and Python's zipfile, hold its sources byte for
byte (the JPEG aside, which ImageMagick's identify must open at the screenshot's size) and
name its members with plain file names."""
import os
import shutil
import subprocess
import sys
import zipfile

from gamefiles import game_folder, save_game

TOOL = sys.argv[1]
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


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
game, files = game_folder(TOOL)
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
game, files = game_folder(TOOL, "bmp/jpg = 0\r\nGame = 0\r\ntrackname = 2\r\ndrivername = 1\r\ntime/kmh = 0\r\ntext = Finale\r\nTextPos = 3\r\n")
r = run(game, "--make")
check(r.returncode == 0, "--make with profile: " + r.stderr)
m = read_archive(game, "Anna_forest_Finale.zip")
check(sorted(m) == ["Anna_forest_Finale.bmp", "forest.trk"], "profile members: %s" % sorted(m))
check(m.get("Anna_forest_Finale.bmp") == files["screens/shot0001.bmp"], "bitmap changed")
shutil.rmtree(game)

# All boxes off: an archive without members.
game, files = game_folder(TOOL, "Track = 0\nGame = 0\nScreen = 0\n")
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


game, files = game_folder(TOOL)
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
