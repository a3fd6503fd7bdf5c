#!/usr/bin/env python3
"""A day of race time on every track, in one tmsim process per track: races of six computer
cars over 100 km (the longest the options allow) back to back, until the hours have passed.
Prints one row per track: races, car steps through the ground (a position not finite or the
whole body below the terrain), car steps with the centre sunk into the soft ground and the
deepest of them, the resident memory after the first hour and after the last, and the steps a second
of processor time in the first hour, in the last, and in the first hour raced once more at the
end (the same race step for step, so that only the process's age and the machine differ).
Exits 1 when a car went through the ground, a race run to its end was not finished by every
car, or the memory moved by more than 1 %.

usage: soak.py GAME_FOLDER [--hours 24] [--tracks a,b] [--jobs N]
"""
import argparse
import os
import sys
from concurrent.futures import ThreadPoolExecutor

from race_sweep import run_json, track_files


def soak(tmsim, track, hours):
    cmd = [tmsim, track, "--cars", "6", "--soak", str(hours), "--json"]
    return run_json(cmd)


def change(first, last):
    return (last - first) * 100.0 / first if first else 0.0


def main():
    p = argparse.ArgumentParser()
    p.add_argument("game")
    p.add_argument("--hours", type=int, default=24)
    p.add_argument("--tracks", default="")
    p.add_argument("--jobs", type=int, default=1)
    a = p.parse_args()

    tmsim = os.path.join(a.game, "tmsim")
    tracks = track_files(a.game, a.tracks)
    with ThreadPoolExecutor(a.jobs) as pool:
        results = list(pool.map(lambda t: soak(tmsim, t, a.hours), tracks))

    print(f"{a.hours} h of race time a track, six cars, races of 100 km back to back")
    print(f"{'track':8} {'races':>5} {'unfinished':>10} {'car steps':>10} {'through':>7} {'sunk':>5} "
          f"{'deepest m':>9} {'KiB 1st h':>9} {'KiB last h':>10} {'change':>7} {'steps/s 1st h':>13} {'last h':>7} {'change':>7} {'1st again':>9} {'change':>7}")
    failed = []
    for t, r in zip(tracks, results):
        name = os.path.splitext(os.path.basename(t))[0]
        if "error" in r:
            failed.append(f"{r['command']}: {r['error']}")
            continue
        mem, pace = r["memoryKiB"], r["stepsPerSecond"]
        print(f"{name:8} {r['races']:5} {r['racesUnfinished']:10} {r['steps'] * r['cars']:10} {r['offGround']:7} {r['centreBelow']:5} "
              f"{r['deepestBelow']:9.3f} "
              f"{mem['firstHour']:9} {mem['lastHour']:10} {change(mem['firstHour'], mem['lastHour']):+6.2f}% "
              f"{pace['firstHour']:13.0f} {pace['lastHour']:7.0f} {change(pace['firstHour'], pace['lastHour']):+6.1f}% "
              f"{pace['firstHourAgain']:9.0f} {change(pace['firstHour'], pace['firstHourAgain']):+6.1f}%")
        if not r["held"]:
            failed.append(r["command"])
    if failed:
        print(f"{len(failed)} of {len(tracks)} soaks failed:")
        for f in failed:
            print(f"  {f}")
        return 1
    print("no car went through the ground, every race was finished, the memory held within 1 %")
    return 0


if __name__ == "__main__":
    sys.exit(main())
