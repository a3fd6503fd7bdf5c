#!/usr/bin/env python3
"""The three speed figures of a race, each from one run, with the machine's load beside them.

    figures.py BUILD_FOLDER

The race frame is given against copying the background and presenting it in the same run,
the headless race as simulated seconds per processor second; the terrain picture has no
partner in its run, so its time is given against one frame at 60 Hz. The machine may be
shared: the load before and after tells how far to trust the numbers.
"""
import json
import os
import subprocess
import sys


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def run(build, name, extra=()):
    out = subprocess.run([os.path.join(build, "bench", "bench_" + name), "--benchmark_format=json", *extra],
                         check=True, capture_output=True, text=True).stdout
    return {b["name"]: b for b in json.loads(out)["benchmarks"]}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build = sys.argv[1]
    before = load()
    frame = run(build, "race_frame", ["--benchmark_filter=BM_RaceFrame"])["BM_RaceFrame"]
    terrain = run(build, "terrain_pass")
    race = run(build, "race_run")["BM_SixCarRace/iterations:9"]
    after = load()

    print(f"load (1, 5, 15 min) {before} at the start, {after} at the end")
    # A benchmark that could not run (no dummy video, no built tracks) says why instead.
    for b in [frame, race, *terrain.values()]:
        if b.get("error_occurred"):
            print(f"{b['name']}: not measured: {b.get('error_message', '')}")
    if not frame.get("error_occurred"):
        print(f"race frame 1920x1080:   {frame['frame_ms']:.3f} ms against {frame['bare_ms']:.3f} ms for copy and "
              f"present: {frame['x_bare']:.2f} x   (goal 1.3 x or less)")
    for size in ("640/480", "1920/1080"):
        b = terrain[f"BM_TerrainPass/{size}"]
        if b.get("error_occurred"):
            continue
        ms = b["cpu_time"] if b["time_unit"] == "ms" else b["cpu_time"] / 1e6
        print(f"terrain picture {size.replace('/', 'x'):>9}: {ms:.1f} ms of processor time, "
              f"{ms / (1000 / 60):.2f} x a 60 Hz frame" + ("   (goal 16 ms or less)" if size == "1920/1080" else ""))
    if not race.get("error_occurred"):
        print(f"six computer cars:      {race['race_s_per_cpu_s']:.0f} simulated s per processor s "
              f"(median of 9 races, the best {race['race_s_per_cpu_s_best']:.0f}), "
              f"{race['us_per_step']:.2f} us a step of wall time   (goal 2000 or more)")


if __name__ == "__main__":
    main()
