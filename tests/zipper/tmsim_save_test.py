#!/usr/bin/env python3
"""tmzipper on saved games the game itself wrote (through tmsim --save):
usage: tmsim_save_test.py TMZIPPER TMSIM TRACKS_FOLDER

The archive name is checked against what tmsim reports about the race and the lap length the
track file holds; the archive against unzip -t, zipfile and the files it was made of."""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

from gamefiles import bitmap

TOOL, TMSIM, TRACKS = sys.argv[1:4]
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


def lap_length(track):
    with open(track, "rb") as f:
        data = f.read()
    version, magic = struct.unpack_from("<HH", data, 0)
    body_end = struct.unpack_from("<I", data, 4 if magic == 0x4D54 else 0)[0]
    return struct.unpack_from("<I", data, body_end - 4)[0]


def race(track, args):
    """Runs tmsim and returns its report and the saved game's bytes."""
    out = os.path.join(tempfile.mkdtemp(prefix="zipper_tmsim_"), "race.gam")
    r = subprocess.run([TMSIM, track, "--json", "--save", out, *args], capture_output=True, text=True, timeout=120)
    check(r.returncode == 0, "tmsim %s: %s" % (args, r.stderr))
    with open(out, "rb") as f:
        data = f.read()
    shutil.rmtree(os.path.dirname(out))
    return json.loads(r.stdout), data


def pack(track, save, expected_name, folder=""):
    game = tempfile.mkdtemp(prefix="zipper_game_")
    shutil.copy(TOOL, os.path.join(game, "tmzipper"))
    for d in ("saves", "screens", os.path.join("tracks", folder), "zip"):
        os.makedirs(os.path.join(game, d))
    with open(os.path.join(game, "saves", "race.gam"), "wb") as f:
        f.write(save)
    with open(os.path.join(game, "screens", "shot0000.bmp"), "wb") as f:
        f.write(bitmap(640, 480))
    shutil.copy(track, os.path.join(game, "tracks", folder))
    r = subprocess.run(["./tmzipper", "--make"], cwd=game, capture_output=True, text=True, timeout=60)
    check(r.returncode == 0 and r.stdout.strip() == "..\\zip\\%s.zip ok" % expected_name,
          "--make: %r %r, expected %s" % (r.stdout, r.stderr, expected_name))
    path = os.path.join(game, "zip", expected_name + ".zip")
    if os.path.exists(path):
        t = subprocess.run(["unzip", "-t", path], capture_output=True, text=True)
        check(t.returncode == 0, "unzip -t: " + t.stdout)
        with zipfile.ZipFile(path) as z:
            check(z.testzip() is None, "zipfile finds a bad member")
            check(z.read(expected_name + ".gam") == save, "the saved game changed")
            with open(track, "rb") as f:
                check(z.read(os.path.basename(track)) == f.read(), "the track changed")
    shutil.rmtree(game)


def time_part(steps):
    return "%d-%02d-%02d" % (steps // 6000, steps // 100 % 60, steps % 100)


def first_car(report):
    return [c for c in report["cars"] if c["car"] == 1][0]


# A six-car race over two laps: the first entry's driver and time, the average speed.
track = os.path.join(TRACKS, "gp.trk")
report, save = race(track, ["--cars", "6", "--laps", "2"])
car = first_car(report)
check(car["finished"], "the first car did not finish")
kmh = round(2 * lap_length(track) / (car["totalTime"] / 100) * 3.6)
pack(track, save, "gp_%s_%s_%dkmh" % (car["driver"], time_part(car["totalTime"]), kmh))

# A time trial: one car, the ghost block in the file.
track = os.path.join(TRACKS, "hills.trk")
report, save = race(track, ["--cars", "1", "--laps", "1"])
car = first_car(report)
kmh = round(lap_length(track) / (car["totalTime"] / 100) * 3.6)
pack(track, save, "hills_%s_%s_%dkmh" % (car["driver"], time_part(car["totalTime"]), kmh))

# A track in a track folder: the save names it without the folder, the game finds it by the
# checksum of its body, and so must the zipper.
track = os.path.join(TRACKS, "rally", "forest.trk")
report, save = race(track, ["--cars", "4", "--laps", "1"])
car = first_car(report)
kmh = round(lap_length(track) / (car["totalTime"] / 100) * 3.6)
pack(track, save, "forest_%s_%s_%dkmh" % (car["driver"], time_part(car["totalTime"]), kmh), "rally")

# Saved in the middle of the first lap: no crossing yet, so no time and no speed.
track = os.path.join(TRACKS, "hills.trk")
report, save = race(track, ["--cars", "3", "--laps", "2", "--at", "5"])
pack(track, save, "hills_%s_0-00-00" % first_car(report)["driver"])

print("%d failures" % len(failures) if failures else "tmsim saves ok")
sys.exit(1 if failures else 0)
