#!/bin/sh
# The hueswap dialog as a player uses it, on a virtual X server: usage: dialog_test.sh HUESWAP
# Exits 77 (skipped) when no X server can be had.
set -u
hueswap=$1
if [ -z "${DISPLAY:-}" ]; then
    command -v xvfb-run >/dev/null 2>&1 || { echo "no xvfb-run: skipped"; exit 77; }
    exec xvfb-run -a -s "-screen 0 640x480x24 -noreset" sh "$0" "$@"
fi
command -v xdotool >/dev/null 2>&1 || { echo "no xdotool: skipped"; exit 77; }

game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
cp "$hueswap" "$game/hueswap"
mkdir "$game/palettes"
printf 'RIFF' > "$game/palettes/dusk.pal"
printf 'RIFF' > "$game/palettes/night.pal"
printf '[Misc]\r\nPaletteFile = tm.pal\r\nZoom = 0\r\n' > "$game/tm.ini"
# A stand-in game that tells it was started.
printf '#!/bin/sh\necho started > started.txt\n' > "$game/tarmacade"
chmod +x "$game/tarmacade"

fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; exit 1; }
waitWindow() { timeout 5 xdotool search --sync --name "^$1\$" | head -n 1; }
click() { xdotool mousemove --window "$win" "$1" "$2" click ${3:+--repeat $3 --delay 80} 1; sleep 0.3; }

cd "$game"
./hueswap & pid=$!
win=$(waitWindow Hueswap)
[ -n "$win" ] || fail "no dialog"
sleep 0.5

xdotool key --window "$win" alt+h; sleep 0.3; xdotool key a
[ -n "$(waitWindow 'About Hueswap')" ] || fail "no about box"
xdotool key Return; sleep 0.3

click 18 302                      # untick "Run TM when done"
click 80 265                      # Change Palette! with nothing chosen
[ -n "$(waitWindow 'Error!')" ] || fail "no 'Select a palette first!' box"
xdotool key Return; sleep 0.3

click 40 87                       # the second name: night.pal
click 80 265
[ -n "$(waitWindow 'Success!')" ] || fail "no 'Changed!' box"
xdotool key Return; sleep 0.3
[ "$(cat tm.ini)" = "$(printf '[Misc]\r\nPaletteFile = Palettes\\night.pal\r\nZoom = 0\r\n')" ] || fail "tm.ini: $(cat tm.ini)"
kill -0 "$pid" 2>/dev/null || fail "dialog closed without Run TM"

click 18 302                      # tick it again
click 40 70 2                     # double-click dusk.pal
for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
kill -0 "$pid" 2>/dev/null && fail "dialog still open after Run TM"
for i in 1 2 3 4 5 6 7 8 9 10; do [ -f started.txt ] && break; sleep 0.3; done
[ -f started.txt ] || fail "the game was not started"
grep -q 'PaletteFile = Palettes\\dusk.pal' tm.ini || fail "tm.ini: $(cat tm.ini)"
echo "dialog ok"
