#!/usr/bin/env python3
"""One race of six computer cars saved at many moments and each saved game continued with
`tmsim --load`: every save is written, every load continues to the end, every car finishes
and none stands stuck, and where the saved game holds the whole race (tmsim says so when it
saves) the report equals the one of the race never saved, byte for byte, text and JSON.

The moments are drawn at random (from --pick-seed) from the race's steps: under the lights,
with a car standing in a box, with a car on the pit lane, in the finishing phase, and anywhere.
Prints one row per kind of moment; exits 1 when a moment breaks a rule.

usage: save_round_trip.py GAME_FOLDER [--moments 100] [--track street] [--laps 5] [--seed 3]
                          [--pick-seed 1] [--jobs N] [--quiet]
"""
import argparse
import json
import os
import random
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

COUNTDOWN = 211            # steps under the lights, as the race counts them
FINISHING = 200            # steps of the finishing phase
STUCK_LIMIT = 1000         # steps a loaded car may stand stuck in all
# Share of the moments of each kind; what is left is drawn from the whole race.
SHARES = [("lights", 0.15), ("pit stop", 0.20), ("pit lane", 0.15), ("finishing", 0.15)]


def run(cmd):
    return subprocess.run(cmd, capture_output=True, text=True)


def trace_pools(tmsim, race):
    """The cars standing in a box at each step that has one, and the steps with a car on the lane."""
    boxed, lane = {}, set()
    for car in range(1, 7):
        done = run([tmsim] + race + ["--trace", str(car)])
        # One line a step from the step the lights went green.
        for k, line in enumerate(done.stderr.splitlines()):
            words = line.split()
            mode, box = int(words[words.index("mode") + 1]), int(words[words.index("box") + 1])
            if box >= 0:
                boxed.setdefault(COUNTDOWN + k, []).append(car)
            elif mode != 0:
                lane.add(COUNTDOWN + k)
    return boxed, sorted(lane)


def pick(pools, count, rng):
    """count moments: each kind its share (at least one when there are enough), the rest anywhere."""
    kinds = [k for k, _ in SHARES]
    wanted = {k: max(1, round(share * count)) if count >= len(SHARES) + 1 else 0 for k, share in SHARES}
    wanted["anywhere"] = count - sum(wanted.values())
    chosen, taken = [], set()
    for kind in kinds + ["anywhere"]:
        free = [s for s in pools[kind] if s not in taken]
        for s in rng.sample(free, min(wanted[kind], len(free))):
            taken.add(s)
            chosen.append((kind, s))
    return chosen


def without_save(report):
    report = json.loads(report)
    report.pop("save", None)
    return report


def moment(tmsim, race, track, seed, folder, reference, boxed, kind, step):
    """Saves the race after `step` steps, continues the file and judges the result."""
    out = {"kind": kind, "step": step, "faults": []}
    saved = os.path.join(folder, f"at{step}.gam")
    done = run([tmsim] + race + ["--json", "--save", saved, "--at-step", str(step)])
    if done.returncode not in (0, 1) or not os.path.isfile(saved):
        out["faults"].append(f"not saved: {done.stderr.strip()}")
        return out
    report = json.loads(done.stdout)
    out["saved"] = True
    out["whole"] = report["save"]["whole"]
    out["lacks"] = report["save"]["lacks"]
    # Saving must not change the race it saves.
    if without_save(done.stdout) != json.loads(reference["json"]):
        out["faults"].append("the race that saved ran otherwise than the one that did not")
    loaded = {}
    for form, extra in (("text", []), ("json", ["--json"])):
        done = run([tmsim, "--load", saved, track, "--seed", str(seed)] + extra)
        if done.returncode == 2:
            out["faults"].append(f"not loaded: {done.stderr.strip()}")
            return out
        loaded[form] = done.stdout
    out["loaded"] = True
    result = json.loads(loaded["json"])
    out["finished"] = result["allFinished"]
    if not result["allFinished"]:
        out["faults"].append("unfinished: cars " + ", ".join(str(c["car"]) for c in result["cars"] if not c["finished"]))
    stuck = [c["car"] for c in result["cars"] if c["stuckSteps"] > STUCK_LIMIT]
    if stuck:
        out["faults"].append("stuck: cars " + ", ".join(map(str, stuck)))
    out["identical"] = loaded["text"] == reference["text"] and loaded["json"] == reference["json"]
    if out["whole"] and not out["identical"]:
        out["faults"].append("whole, yet the report differs from the race never saved")
    # A car that stood in its box comes back to a free box: it is served again (the stop
    # counts from the load) or drives off, and finishes either way.
    cars = {c["car"]: c for c in result["cars"]}
    out["boxed"] = len(boxed.get(step, []))
    out["served again"] = sum(1 for car in boxed.get(step, []) if cars[car]["pitStops"] > 0)
    order = [c["car"] for c in result["cars"]]
    out["same order"] = order == [c["car"] for c in json.loads(reference["json"])["cars"]]
    return out


def main():
    p = argparse.ArgumentParser()
    p.add_argument("game")
    p.add_argument("--moments", type=int, default=100)
    p.add_argument("--track", default="street")
    p.add_argument("--laps", type=int, default=5)
    p.add_argument("--seed", type=int, default=3)
    p.add_argument("--pick-seed", type=int, default=1)
    p.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    p.add_argument("--quiet", action="store_true")
    a = p.parse_args()

    tmsim = os.path.join(a.game, "tmsim")
    track = os.path.join(a.game, "tracks", a.track + ".trk")
    race = [track, "--cars", "6", "--laps", str(a.laps), "--seed", str(a.seed)]
    reference = {"text": run([tmsim] + race).stdout, "json": run([tmsim] + race + ["--json"]).stdout}
    steps = json.loads(reference["json"])["raceSteps"]
    boxed, lane = trace_pools(tmsim, race)
    pools = {
        "lights": list(range(0, COUNTDOWN)),
        "pit stop": sorted(boxed),
        "pit lane": lane,
        "finishing": list(range(steps - FINISHING, steps + 1)),
        "anywhere": list(range(0, steps + 1)),
    }
    chosen = pick(pools, a.moments, random.Random(a.pick_seed))
    # A race without a stop or a lane visit cannot show how a load meets them.
    missing = [k for k, _ in SHARES if a.moments > len(SHARES) and not any(c[0] == k for c in chosen)]
    with tempfile.TemporaryDirectory(prefix="roundtrip-") as folder, ThreadPoolExecutor(a.jobs) as pool:
        results = list(pool.map(lambda m: moment(tmsim, race, track, a.seed, folder, reference, boxed, *m), chosen))

    print(f"{a.track}, {a.laps} laps, six cars, seed {a.seed}: {len(results)} moments of {steps} steps")
    print(f"{'moments':10} {'saves':>5} {'loaded':>6} {'finished':>8} {'whole':>5} {'identical':>9} "
          f"{'same order':>10} {'in a box':>8} {'served again':>12}  lacking")
    for kind in [k for k, _ in SHARES] + ["anywhere", "all"]:
        rows = [r for r in results if kind in ("all", r["kind"])]
        lacks = {}
        for r in rows:
            for what in r.get("lacks", []):
                lacks[what] = lacks.get(what, 0) + 1
        count = lambda key: sum(1 for r in rows if r.get(key))
        total = lambda key: sum(r.get(key, 0) for r in rows)
        print(f"{kind:10} {count('saved'):5} {count('loaded'):6} {count('finished'):8} {count('whole'):5} "
              f"{count('identical'):9} {count('same order'):10} {total('boxed'):8} {total('served again'):12}  "
              + ", ".join(f"{w} {n}" for w, n in sorted(lacks.items())))
    failed = [r for r in results if r["faults"]]
    for kind in missing:
        print(f"no moment of the kind '{kind}' in this race: choose a longer one")
    if failed or missing:
        print(f"{len(failed)} of {len(results)} moments broke a rule")
        if not a.quiet:
            for r in failed:
                print(f"  {r['kind']} at step {r['step']}: " + "; ".join(r["faults"]))
        return 1
    print("every saved game continued to the end; every whole one as the race never saved")
    return 0


if __name__ == "__main__":
    sys.exit(main())
