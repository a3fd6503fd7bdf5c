#!/usr/bin/env bash
# A whole season through the menus in a real window, from a fresh copy of the game folder:
# create a human driver, seat it and three computer drivers, give one of them another car,
# select two tracks, one lap, Start; the human sits still on the grid and every race ends by
# its own rules (a minute after the winner); results, standings, the final standings and back
# to the main menu; then the drivers' files must hold the season's statistics.
#
# The races run on a preloaded clock TM_TICK_SPEED times as fast (default 5), so the test takes
# about a minute. TM_SESSION_SIZE=1280x720 plays it at that resolution (through options.set);
# TM_KEEP_SHOTS=folder keeps a picture of every screen on the way.
# Usage: season_window_test.sh GAME FAST_TICKS_LIBRARY WM_CLOSE
set -u
size=${TM_SESSION_SIZE:-640x480}
. "$(dirname "$0")/session_lib.sh"
needTools "the season cannot be played in a real window" xvfb-run xdotool import python3
# The screen is the game's size, so the fullscreen game lies at 0,0.
inXvfb -a "${size}x24" "$@"
game=$1
fast_ticks=$2
wm_close=$3
openSession
width=${size%x*}
height=${size#*x}
copyGame game "$game"
rm -f "$folder/options.set" "$folder"/saves/* "$folder"/screens/*
shots=${TM_KEEP_SHOTS:+$TM_KEEP_SHOTS/$size}
[ -n "$shots" ] && mkdir -p "$shots"

if [ "$size" != 640x480 ]; then
  rows=" 320x240 512x384 640x480 800x600 960x600 1024x640 1024x768 1280x720 1280x800 1280x960 1280x1024 1360x768 1440x900 1440x1050 1600x900 1600x1200 1680x1050 1920x1080 "
  case $rows in *" $size "*) ;; *) fail "no resolution row for $size" ;; esac
  before=${rows%%" $size "*}
  writeOptions "$folder/options.set" "$(echo $before | wc -w)" 0
fi

export LD_PRELOAD=$fast_ticks
export TM_TICK_SPEED=${TM_TICK_SPEED:-5}
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
startGame
unset LD_PRELOAD
picture 01-main-menu
import -window root "$work/menu.png"

# Create driver: the box on the Driver options page opens with its name field taking the
# typing at once, "Tester", OK.
click 58 29 "Create driver"
picture 02-create-driver
before=$(snap)
xdotool type --delay 60 Tester
settle "$before" || fail "typing into the box just opened showed nothing"
picture 03-create-driver-named
click 50 39 "OK of the box"
picture 04-driver-options
click 70 58 "OK of the page"
[ -s "$folder/drivers/Tester.drv" ] || fail "OK of the driver page wrote no drivers/Tester.drv"

# The drivers list (listing order: the shipped six, then Tester): Tester, then three times
# the first row (Lena Vik, Mira Kask, Otto Brenn, who move up as each is seated).
click 57 24 "Tester in the drivers list"
for k in 1 2 3; do click 57 12 "the first driver in the list"; done
picture 05-main-menu-drivers
# The car of the second seat (Lena Vik): the popup's third car.
click 23 15.5 "the second seat's car"
picture 06-car-chooser
click 22 22 "the third car of the popup"
# gp and street, the first of the first and second rows; the race length down to 1 lap.
click 18 36 "gp in the track list"
click 18 38 "street in the track list"
for k in 1 2 3 4; do click 41 8 "the race length's minus"; done
picture 07-main-menu-ready

click 70 58 "Start"
picture 08-pre-race-1
holdSpace
sleep 2
picture 09-race-1
waitRaces Tester 1
settle "" ; picture 10-results-1
before=$(snap); holdSpace; settle "$before" || fail "no standings after the first race"
picture 11-standings-1
before=$(snap); holdSpace; settle "$before" || fail "no second race after the standings"
picture 12-pre-race-2
holdSpace
sleep 2
picture 13-race-2
waitRaces Tester 2
settle "" ; picture 14-results-2
holdSpace
sleep 1.5
picture 15-final-standings
before=$(snap); holdSpace; settle "$before" || fail "the final standings did not end"
picture 16-main-menu-back

# The main menu is back: its bottom row of buttons is the very one the game started with.
import -window root "$work/back.png"
[ "$(convert "$work/menu.png" -crop "${width}x$(( height - $(py 56) ))+0+$(py 56)" rgb:- | md5sum)" = \
  "$(convert "$work/back.png" -crop "${width}x$(( height - $(py 56) ))+0+$(py 56)" rgb:- | md5sum)" ] ||
  fail "the main menu's buttons are not back after the season"
# ... and it answers: Options opens its page, Cancel comes back.
click 30 58 "Options"
picture 17-options
click 10 58 "Cancel"

"$wm_close" "$title" || fail "could not press the close button"
finishGame "the close button"

# The drivers' files by the 92-byte record after the u32 size: seasons, championship
# finishes[6], total points, races, race finishes[6], fastest laps, car type, two colours,
# four controls.
python3 - "$folder/drivers" <<'PY' || fail "the drivers' files do not hold the season"
import os, struct, sys
folder = sys.argv[1]
def profile(name):
    data = open(os.path.join(folder, name + ".drv"), "rb").read()
    assert len(data) == 96, (name, len(data))
    v = struct.unpack("<24I", data)
    assert v[0] == 92, (name, v[0])
    return dict(seasons=v[1], champ=v[2:8], points=v[8], races=v[9], finishes=v[10:16],
                fastest=v[16], car=v[17], controls=v[20:24])
seated = ["Tester", "Lena Vik", "Mira Kask", "Otto Brenn"]
p = {n: profile(n) for n in seated}
for n in seated:
    d = p[n]
    print("%-11s seasons %d  finished %s  points %2d  races %d  places %s  fastest %d  car %d"
          % (n, d["seasons"], d["champ"], d["points"], d["races"], d["finishes"], d["fastest"], d["car"]))
    assert d["seasons"] == 1 and sum(d["champ"]) == 1, n
    assert d["races"] == 2 and sum(d["finishes"]) == 2, n
# The human sat still: last in both races and in the season.
assert p["Tester"]["finishes"][3] == 2 and p["Tester"]["champ"][3] == 1, p["Tester"]
assert p["Tester"]["controls"] == (273, 274, 276, 275), p["Tester"]["controls"]
# Every place of each race was taken once (nobody tied with the sitting human).
for place in range(4):
    assert sum(p[n]["finishes"][place] for n in seated) == 2, place
assert p["Lena Vik"]["car"] == 2, p["Lena Vik"]["car"]
# The points add up to the races' points: 9+6+4+2 a race with the defaults, and the
# fastest-lap point to whoever holds it.
total = sum(p[n]["points"] for n in seated)
assert 2 * 21 <= total <= 2 * (21 + 4), total
for n in ["Player", "Rui Salgado", "Tamsin Ode"]:
    d = profile(n)
    assert d["races"] == 0 and d["seasons"] == 0, n
PY
echo "ok: a season of two races from an empty folder, back to the main menu, in the drivers' files"
