#!/usr/bin/env bash
# A season played with the keyboard alone, in a real window, from a fresh copy of the game
# folder: create a human driver, seat it and two computer drivers, choose two tracks (or
# TM_SEASON_RACES), one lap, Start; the human sits still, every race ends by its own rules;
# results, standings and the final standings, back to the main menu, and Escape, Enter to leave. The pointer stays off the
# game's window the whole time (the screen is larger than the game), so the game never sees a
# pointer event. Then the drivers' files must hold the season's statistics.
#
# Races run on a preloaded clock TM_TICK_SPEED times as fast (default 5).
# TM_KEEP_SHOTS=folder keeps a picture of the screens on the way. TM_SEASON_RACES=N plays a season
# of N races (default 2); beyond the shipped tracks the scratch folder gets copies of them.
# A season of ten under the leak checker (the build-asan build; absolute paths, the game runs
# in its own folder):
#   ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp TM_SEASON_RACES=10 \
#     tests/window/keyboard_season_test.sh $PWD/build-asan/tarmacade/tarmacade \
#     $PWD/build-asan/tests/window/libfast_ticks.so
# Usage: keyboard_season_test.sh GAME FAST_TICKS_LIBRARY
set -u
. "$(dirname "$0")/session_lib.sh"
needTools "the season cannot be played in a real window" xvfb-run xdotool import python3
inXvfb -a "800x600x24" "$@"
game=$1
fast_ticks=$2
openSession
width=640
height=480
copyGame game "$game"
rm -f "$folder"/saves/* "$folder"/screens/*
races=${TM_SEASON_RACES:-2}
case $races in ''|*[!0-9]*) fail "TM_SEASON_RACES must be a number of races: '$races'" ;; esac
[ "$races" -ge 1 ] || fail "TM_SEASON_RACES must be 1 or more"
# The track list shows the tracks outside any folder; a longer season races copies of them.
shipped=("$folder"/tracks/*.trk)
for ((k = ${#shipped[@]}; k < races; ++k)); do
  from=${shipped[$((k % ${#shipped[@]}))]}
  cp "$from" "${from%.trk}-$((k / ${#shipped[@]} + 1)).trk"
done
shots=${TM_KEEP_SHOTS:-}
[ -n "$shots" ] && mkdir -p "$shots"
# Every default but a window in place of the full screen, which would take the pointer in.
writeOptions "$folder/options.set" 2 1

# The pointer goes to the screen's far corner before the game's window exists.
xdotool mousemove 799 599
pointerOff() {
  local x y
  eval "$(xdotool getmouselocation --shell)"
  x=$X y=$Y
  [ "$x" -ge "$width" ] || [ "$y" -ge "$height" ] || fail "the pointer came over the window at $x,$y"
}

# Keys by name, each pressed and let go, then the screen settled; $1 says what they do.
keys() {
  local what=$1 before
  shift
  before=$(snap)
  xdotool key --delay 80 "$@"
  settle "$before" || fail "nothing changed after $what ($*)"
}
export LD_PRELOAD=$fast_ticks
export TM_TICK_SPEED=${TM_TICK_SPEED:-5}
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
launchGame "$folder" ./tarmacade
unset LD_PRELOAD
# No window manager: the keyboard is given to the window, not to what lies under the pointer.
xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
settle "" || fail "the main menu never settled"
picture 01-main-menu

# The main menu's order: Exit, Options, Load, Start, the drivers list, Create driver, the race
# length, the tracks. The create-driver box takes the name at once; Enter ends it, Enter is OK,
# Enter is the page's OK.
keys "Tab to Create driver" Tab Tab Tab Tab Tab Tab
picture 02-create-driver-focused
keys "Enter on Create driver" Return
xdotool type --delay 60 Tester
keys "Enter, Enter: the driver is made" Return Return
picture 03-driver-page
keys "Enter: OK of the page" Return
[ -s "$folder/drivers/Tester.drv" ] || fail "the driver page wrote no drivers/Tester.drv"

# The drivers list (the shipped six, then Tester): Shift+Tab onto it, six rows down, Enter
# seats Tester; back to the top, Enter twice seats the two first computer drivers.
keys "Shift+Tab to the drivers list" shift+Tab
keys "Down to Tester" Down Down Down Down Down Down
picture 04-drivers-list-cursor
keys "Enter seats Tester" Return
keys "Up to the first driver" Up Up Up Up Up
keys "Enter seats the first driver" Return
keys "Enter seats the next first driver" Return
picture 05-seated
# The race length down to one lap; gp and street (the first of the first two rows of four),
# or the first tracks of the list one after another for a season of another length.
keys "Tab to the race length" Tab Tab
keys "Left down to 1 lap" Left Left Left Left Left Left
keys "Tab to the tracks" Tab
keys "Space takes the first track" space
if [ "$races" = 2 ]; then
  keys "Down to street, Enter takes it" Down Return
else
  for ((k = 2; k <= races; ++k)); do keys "Right, Enter takes track $k" Right Return; done
fi
picture 06-ready
pointerOff
# Shift+Tab to the race length; Enter there is Start.
xdotool key shift+Tab
sleep 0.3
xdotool key Return
sleep 1
picture 07-pre-race-1
for ((k = 1; k <= races; ++k)); do
  holdSpace
  waitRaces Tester $k pressOn
  settle ""
  picture 08-results-$k
  [ $k = "$races" ] && break
  before=$(snap); holdSpace; settle "$before" || fail "no standings after race $k"
  picture 09-standings-$k
  before=$(snap); holdSpace; settle "$before" || fail "no race $((k + 1)) after the standings"
  picture 10-pre-race-$((k + 1))
done
holdSpace
sleep 1.5
picture 10-final-standings
before=$(snap); holdSpace; settle "$before" || fail "the final standings did not end"
picture 11-main-menu-back
pointerOff

# Escape asks whether to leave, Enter says Yes.
keys "Escape on the main menu" Escape
picture 12-exit-box
xdotool key Return
finishGame "Escape, Enter"
pointerOff

# The drivers' files by the 92-byte record after the u32 size: seasons, championship
# finishes[6], total points, races, race finishes[6], fastest laps, car type, two colours,
# four controls.
python3 - "$folder/drivers" "$races" <<'PY' || fail "the drivers' files do not hold the season"
import os, struct, sys
folder = sys.argv[1]
races = int(sys.argv[2])
def profile(name):
    v = struct.unpack("<24I", open(os.path.join(folder, name + ".drv"), "rb").read())
    return dict(seasons=v[1], champ=v[2:8], races=v[9], finishes=v[10:16], controls=v[20:24])
seated = ["Tester", "Lena Vik", "Mira Kask"]
p = {n: profile(n) for n in seated}
for n in seated:
    d = p[n]
    print("%-9s seasons %d  finished %s  races %d  places %s" % (n, d["seasons"], d["champ"], d["races"], d["finishes"]))
    assert d["seasons"] == 1 and sum(d["champ"]) == 1, n
    assert d["races"] == races and sum(d["finishes"]) == races, n
# The human sat still: last in every race and in the season; a human on the cursor keys.
assert p["Tester"]["finishes"][2] == races and p["Tester"]["champ"][2] == 1, p["Tester"]
assert p["Tester"]["controls"] == (273, 274, 276, 275), p["Tester"]["controls"]
for n in ["Player", "Otto Brenn", "Rui Salgado", "Tamsin Ode"]:
    assert profile(n)["races"] == 0, n
PY
echo "ok: a season of $races races set up and played with the keyboard alone, in the drivers' files"
