#!/usr/bin/env python3
"""Races of six computer cars over every track, car type and seed, judged as a player would:
every car finishes, none runs dry, none stands stuck for long, no lap is lost or wasted, the
racing line stays fast to the last lap, and the race's fastest lap is the best lap driven.
Prints one row per track (with the tyre-marked cells a race leaves, on average); exits 1 when
a race fails a rule.

usage: race_sweep.py GAME_FOLDER [--seeds 1,2,3] [--laps 5,20] [--tracks a,b] [--cars A,B]
                     [--skill 100] [--jobs N] [--quiet]
"""
import argparse
import json
import os
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

STUCK_LIMIT = 1000        # steps: ten seconds stuck in all
SLOW_LAP = 1.8            # a counted lap beyond this many best laps was lost or wasted
LATE_PACE = 1.05          # the best of the last five laps against the best of laps 2 to 6


def car_names(folder):
    names = []
    for f in sorted(os.listdir(os.path.join(folder, "cars"))):
        if not f.lower().endswith(".car"):
            continue
        with open(os.path.join(folder, "cars", f), "rb") as data:
            head = data.read(8 + 12)
        if len(head) == 20:
            names.append(head[8:].split(b"\0")[0].decode("latin-1"))
    return names


def track_files(folder, wanted=""):
    """The game folder's tracks, or those of them named in the list by commas."""
    found = []
    for root, _, files in os.walk(os.path.join(folder, "tracks")):
        found += [os.path.join(root, f) for f in files if f.lower().endswith(".trk")]
    if wanted:
        found = [t for t in found if os.path.splitext(os.path.basename(t))[0] in wanted.split(",")]
    return sorted(found)


def faults(car, laps):
    """What a car's race did wrong, as short words."""
    out = []
    if not car["finished"]:
        out.append("unfinished")
    if car["emptySteps"] > 0:
        out.append("dry")
    if car["stuckSteps"] > STUCK_LIMIT:
        out.append("stuck")
    times = car["lapTimes"]
    best = min(times) if times else 0
    if best and max(times) > SLOW_LAP * best:
        out.append("slow lap")
    if laps >= 20 and len(times) >= laps:
        early, late = min(times[1:6]), min(times[-5:])
        if late > LATE_PACE * early:
            out.append("late pace")
    return out


def race(tmsim, track, car, seed, laps, skill):
    cmd = [tmsim, track, "--cars", "6", "--laps", str(laps), "--seed", str(seed), "--car", car,
           "--skill", str(skill), "--json"]
    return run_json(cmd)


def run_json(cmd):
    """tmsim's JSON object with the command that printed it, or the error it printed."""
    done = subprocess.run(cmd, capture_output=True, text=True)
    if done.returncode not in (0, 1):
        return {"command": " ".join(cmd), "error": done.stderr.strip()}
    result = json.loads(done.stdout)
    result["command"] = " ".join(cmd)
    return result


def main():
    p = argparse.ArgumentParser()
    p.add_argument("game")
    p.add_argument("--seeds", default="1,2,3")
    p.add_argument("--laps", default="5,20")
    p.add_argument("--tracks", default="")
    p.add_argument("--cars", default="")
    p.add_argument("--skill", type=int, default=100)
    p.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    p.add_argument("--quiet", action="store_true")
    a = p.parse_args()

    tmsim = os.path.join(a.game, "tmsim")
    tracks = track_files(a.game, a.tracks)
    cars = a.cars.split(",") if a.cars else car_names(a.game)
    seeds = [int(s) for s in a.seeds.split(",")]
    lengths = [int(n) for n in a.laps.split(",")]
    jobs = [(t, c, s, n) for n in lengths for t in tracks for c in cars for s in seeds]
    with ThreadPoolExecutor(a.jobs) as pool:
        results = list(pool.map(lambda j: race(tmsim, *j, a.skill), jobs))

    print(f"{len(jobs)} races of six cars, skill {a.skill}: cars {', '.join(cars)}; seeds {a.seeds}")
    print(f"{'track':10} {'laps':>4} {'races':>5} {'car-runs':>8} {'unfinished':>10} {'dry':>4} "
          f"{'stuck>10s':>9} {'slow lap':>8} {'late pace':>9} {'fastest':>7} {'best lap':>8} {'pits/car':>8} {'marks':>6}")
    failed = []
    for n in lengths:
        for t in tracks:
            rows = [(j, r) for j, r in zip(jobs, results) if j[0] == t and j[3] == n]
            counts = {k: 0 for k in ("unfinished", "dry", "stuck", "slow lap", "late pace")}
            runs, bests, pits, marks, wrong_fastest = 0, [], [], [], 0
            for j, r in rows:
                if "error" in r:
                    failed.append((r["command"], [r["error"]]))
                    continue
                bad_race = []
                for car in r["cars"]:
                    runs += 1
                    found = faults(car, n)
                    for f in found:
                        counts[f] += 1
                    if found:
                        bad_race.append(f"car {car['car']}: {', '.join(found)}")
                    if car["lapTimes"]:
                        bests.append(min(car["lapTimes"]))
                    pits.append(car["pitStops"])
                smallest = min((c["bestLap"] for c in r["cars"]), default=6000)
                marks.append(r.get("tyreMarks", 0))
                if r["fastestLap"]["steps"] != smallest:
                    wrong_fastest += 1
                    bad_race.append(f"fastest lap {r['fastestLap']['steps']} but a best lap of {smallest}")
                if bad_race:
                    failed.append((r["command"], bad_race))
            name = os.path.splitext(os.path.basename(t))[0]
            best = sum(bests) / len(bests) / 100 if bests else 0
            per = sum(pits) / len(pits) if pits else 0
            mark = sum(marks) // len(marks) if marks else 0
            print(f"{name:10} {n:4} {len(rows):5} {runs:8} {counts['unfinished']:10} {counts['dry']:4} "
                  f"{counts['stuck']:9} {counts['slow lap']:8} {counts['late pace']:9} {wrong_fastest:7} "
                  f"{best:8.2f} {per:8.2f} {mark:6}")
    if failed:
        print(f"{len(failed)} of {len(jobs)} races broke a rule")
        if not a.quiet:
            for command, what in failed:
                print(f"  {command}\n    " + "\n    ".join(what))
        return 1
    print("every race kept every rule")
    return 0


if __name__ == "__main__":
    sys.exit(main())
