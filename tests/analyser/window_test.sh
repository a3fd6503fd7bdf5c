#!/bin/sh
# The analyser's window as a player uses it, on a virtual X server: usage: window_test.sh TMANALYSER
# Exits 77 (skipped) when no X server can be had.
set -u
analyser=$1
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
    command -v xvfb-run >/dev/null 2>&1 || { echo "no xvfb-run: skipped"; exit 77; }
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh "$0" "$@"
fi
for tool in xdotool import convert python3; do
    command -v $tool >/dev/null 2>&1 || { echo "no $tool: skipped"; exit 77; }
done

game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
python3 "$here/compose_race.py" "$game" || { echo "FAIL: cannot compose the race"; exit 1; }
cp "$analyser" "$game/tmanalyser"
printf 'not a saved game' > "$game/saves/bad.gam"

fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; exit 1; }
waitWindow() { timeout 5 xdotool search --sync --name "^$1\$" | head -n 1; }
# Colour of a pixel of the analyser's window (window coordinates).
pixel() { import -window "$win" "$game/shot.png" && convert "$game/shot.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
# Saves the picture under the proposed name and moves it to $1.
savePicture() {
    xdotool key --window "$win" ctrl+s
    [ -n "$(waitWindow 'Bild speichern')" ] || fail "no save dialog"
    sleep 0.3; xdotool key Return; sleep 0.5
    [ -f saves/race.jpg ] || fail "no picture written"
    mv saves/race.jpg "$1"
}
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.3; }

cd "$game"
./tmanalyser saves/race.gam & pid=$!
win=$(waitWindow 'TM Game Analyser')
[ -n "$win" ] || fail "no window"
sleep 0.5
# The first car's path on the ring's left side (map at 5,5, north up; the ring's left lane is
# column 60, and z = 150 is row 361).
[ "$(pixel 65 366)" = "FF0000" ] || fail "no path on the map: $(pixel 65 366)"
[ "$(pixel 50 366)" = "9E9E9E" ] || fail "no road on the map: $(pixel 50 366)"

savePicture whole.jpg
identify whole.jpg | grep -q "JPEG 512x560" || fail "picture: $(identify whole.jpg)"
click 167 632; click 167 632              # ">" twice: lap 2 alone
savePicture lap2.jpg
cmp -s whole.jpg lap2.jpg && fail "lap 2 looks like the whole path"
click 132 632; click 132 632; click 132 632   # "<" three times stops at 0
savePicture again.jpg
cmp -s whole.jpg again.jpg || fail "lap 0 again differs from the whole path"

xdotool key --window "$win" ctrl+o
[ -n "$(waitWindow 'Open Game')" ] || fail "no open dialog"
xdotool key Escape; sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "closed with the open dialog"
[ "$(pixel 65 366)" = "FF0000" ] || fail "cancelling the open dialog changed the map"

xdotool key --window "$win" Escape 2>/dev/null  # the window is gone before the key is let go
for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.3; done
kill -0 "$pid" 2>/dev/null && fail "window still open"
wait "$pid" || fail "exit status $?"

# A bad file given on the command line still opens an empty window.
./tmanalyser saves/bad.gam & pid=$!
win=$(waitWindow 'TM Game Analyser')
[ -n "$win" ] || fail "no window for a bad file"
sleep 0.5
xdotool key --window "$win" Escape 2>/dev/null  # the window is gone before the key is let go
for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.3; done
kill -0 "$pid" 2>/dev/null && fail "window for a bad file still open"
echo "window ok"
