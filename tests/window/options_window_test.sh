#!/usr/bin/env bash
# The option pages in a real window, each run ended by the window's close button: OK on the
# Options and Advanced options pages puts every edited value into options.set, value by value;
# edits left by Cancel change not one byte of it; switching the language to German starts the
# game again with German captions on the main menu, and the next start keeps them.
# TM_KEEP_SHOTS=folder keeps the pictures.
# Usage: options_window_test.sh GAME WM_CLOSE
set -u
. "$(dirname "$0")/session_lib.sh"
needTools "the option pages cannot be tried in a real window" xvfb-run xdotool import python3
inXvfb -a 640x480x24 "$@"
game=$1
wm_close=$2
openSession
width=640
height=480
copyGame game "$game"
rm -f "$folder/options.set"
shots=${TM_KEEP_SHOTS:-}
[ -n "$shots" ] && mkdir -p "$shots"

closeGame() {
  "$wm_close" "$title" || fail "could not press the close button"
  finishGame "the close button"
  [ -s "$folder/options.set" ] || fail "no options.set after the close button"
}
# The "+" and "-" ends of a slider 26 units wide at x 40, by its top in units.
plus() { click 65 "$(awk -v y="$1" 'BEGIN { print y + 1 }')" "$2 +"; }
minus() { click 41 "$(awk -v y="$1" 'BEGIN { print y + 1 }')" "$2 -"; }

# Every control of the Options page one step on, then most of Advanced options.
startGame
picture 01-main-menu
click 30 58 "Options"
picture 02-options
plus 7 "tyre wear"; plus 10 "fuel consumption"; plus 13 "fuel mass"; plus 16 "damage"
click 53 20 "race length in"
click 53 23 "starting order"
for k in 0 1 2 3 4 5; do plus $((33 + 3 * k)) "points of place $((k + 1))"; done
plus 51 "fastest lap points"
picture 03-options-edited
click 50 58 "Advanced"
picture 04-advanced
click 53 11 "sound set"
picture 05-sound-sets
click 53 14 "Chiptune"
for y in 25 28 31 47; do click 53 $y "an on/off choice"; done
minus 21 "effects"
plus 35 "engine volume"; plus 38 "skid volume"; plus 41 "effects volume"
picture 06-advanced-edited
click 70 58 "OK"
closeGame
cp "$folder/options.set" "$work/after-ok.set"

python3 - "$work/after-ok.set" <<'PY' || fail "options.set does not hold the edited values"
import struct, sys
b = open(sys.argv[1], "rb").read()
assert len(b) == 78, len(b)
names = ["version", "raceLength"] + ["points%d" % k for k in range(7)] + [
    "tyreWear", "fuelConsumption", "damage", "fuelMass", "distanceUnit", "startingOrder", "resolution",
    "verticalSync", "stepRate", "shadows", "ghostCar", "goofyReverse", "windowedMode",
    "effects", "engineVolume", "skidVolume", "effectsVolume"]
values = struct.unpack_from("<iH7B13BHBBB", b)
o = dict(zip(names, values))
o["language"] = b[31:53].rstrip(b"\0").decode()
o["soundSet"] = b[54:76].rstrip(b"\0").decode()
want = dict(version=74, raceLength=5, points0=10, points1=7, points2=5, points3=3, points4=2, points5=1,
            points6=2, tyreWear=31, fuelConsumption=31, damage=31, fuelMass=51, distanceUnit=1,
            startingOrder=0, resolution=2, verticalSync=1, stepRate=100, shadows=0, ghostCar=0,
            goofyReverse=1, windowedMode=0, effects=253, engineVolume=81, skidVolume=81,
            effectsVolume=81, language="English", soundSet="Chiptune")
wrong = ["%s %r, not %r" % (k, o[k], v) for k, v in want.items() if o[k] != v]
print("\n".join(wrong) or "options.set holds every edited value")
sys.exit(1 if wrong else 0)
PY

# The same edits, and more, left by Cancel: options.set stays as it was, byte for byte.
startGame
click 30 58 "Options"
plus 7 "tyre wear"; click 53 20 "race length in"; minus 33 "points of place 1"
click 50 58 "Advanced"
click 53 25 "shadows"
plus 35 "engine volume"
click 53 8 "language"
click 53 13 "Deutsch"
click 10 58 "Cancel"
picture 07-main-menu-after-cancel
closeGame
cmp -s "$folder/options.set" "$work/after-ok.set" || fail "Cancel changed options.set"

# German: the game starts again at once with the German captions on the main menu.
startGame
import -window root "$work/english.png"
click 30 58 "Options"
click 50 58 "Advanced"
click 53 8 "language"
picture 08-languages
click 53 13 "Deutsch"
click 70 58 "OK"
settle "" || fail "no main menu after the language changed"
picture 09-main-menu-german
import -window root "$work/german.png"
closeGame
[ "$(dd if="$folder/options.set" bs=1 skip=31 count=7 2>/dev/null)" = Deutsch ] || fail "options.set does not name Deutsch"
startGame
picture 10-main-menu-german-again
import -window root "$work/german-again.png"
closeGame
python3 - "$work/english.png" "$work/german.png" "$work/german-again.png" <<'PY' || fail "the main menu did not change its captions"
import subprocess, sys
def rows(path, top, bottom):
    return subprocess.run(["convert", path, "-crop", "640x%d+0+%d" % (bottom - top, top), "rgb:-"],
                          capture_output=True, check=True).stdout
# The bottom row of buttons (Exit, Options, Load, Start) and the title bar.
english, german, again = sys.argv[1:4]
for top, bottom in ((448, 480), (0, 32)):
    assert rows(english, top, bottom) != rows(german, top, bottom), (top, "still English")
    assert rows(german, top, bottom) == rows(again, top, bottom), (top, "not German after a restart")
print("the main menu speaks German, also after a new start")
PY
echo "ok: options.set follows OK value by value, not Cancel, and German stays"
