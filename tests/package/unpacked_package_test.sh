#!/usr/bin/env bash
# The Debian package as a player gets it: unpacked into a scratch root and started from there,
# from another working folder, with HOME a scratch folder and an X server of its own. The game
# fills the player's folder at its first start and a one-lap race leaves its track records, a
# screenshot and the options there; each desktop tool opens its window and does its work on that
# folder. Nothing may be written anywhere else: the unpacked tree stays byte for byte as it was,
# the working folder stays empty and HOME holds nothing but the player's folder (and the
# toolkit's own options file).
# TM_KEEP_SHOTS=folder keeps a picture of each window.
# Usage: unpacked_package_test.sh CPACK_CONFIG FAST_TICKS WM_CLOSE TMSIM
set -u
. "$(dirname "$0")/../window/session_lib.sh"
needTools "the package cannot be tried" cpack dpkg-deb xvfb-run xdotool import
inXvfb -a 1024x768x24 "$@"
config=$1
fast_ticks=$2
wm_close=$3
tmsim=$4
openSession
: >"$work/game.log"
shots=${TM_KEEP_SHOTS:-}

cpack --config "$config" -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack made no package"; }
deb=$(ls "$work"/deb/tarmacade_*_amd64.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no tarmacade_<version>_amd64.deb"
root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb cannot unpack $deb"
games=$root/usr/games
snapshot() { (cd "$root" && find . -printf '%y %m %s %p\n' | sort && find . -type f -exec md5sum {} + | sort); }
snapshot >"$work/before"

export HOME=$work/home
unset XDG_DATA_HOME
player=$HOME/.local/share/tarmacade
elsewhere=$work/elsewhere
mkdir -p "$HOME" "$elsewhere"

# The game: a one-lap race against one computer driver, the player sitting still on the grid,
# on a clock twenty times as fast, so it ends by its own rules (a minute after the winner).
launchGame "$elsewhere" env LD_PRELOAD="$fast_ticks" TM_TICK_SPEED=20 "$games/tarmacade" --race gp --laps 1 --computers 1
[ -s "$player/tm.ini" ] || fail "the first start made no player's folder with tm.ini"
xdotool mousemove 100 100
sleep 0.5
for _ in 1 2; do xdotool keydown space; sleep 0.3; xdotool keyup space; sleep 0.1; done
xdotool key F12
shipped=$(md5sum <"$root/usr/share/games/tarmacade/tracks/gp.trk")
for _ in $(seq 1 300); do
  [ "$(md5sum <"$player/tracks/gp.trk")" != "$shipped" ] && break
  kill -0 $pid 2>/dev/null || fail "the game ended during the race"
  sleep 0.2
done
[ "$(md5sum <"$player/tracks/gp.trk")" != "$shipped" ] || fail "the race wrote no records into the player's tracks/gp.trk"
[ -n "$shots" ] && import -window root "$shots/race-results.png"
"$wm_close" "$title" || fail "could not press the game's close button"
finishGame "the close button"
[ -s "$player/options.set" ] || fail "the game wrote no options.set into the player's folder"
[ -s "$player/screens/shot0000.bmp" ] || fail "F12 wrote no screenshot into the player's folder"

# A saved race for the tools, made by the build's tmsim (the package does not ship it).
"$tmsim" "$player/tracks/gp.trk" --cars 2 --laps 1 --seed 7 --save "$player/saves/race.gam" >/dev/null ||
  fail "tmsim could not save a race"

# The tools without a window, each from the other working folder.
tool() { (cd "$elsewhere" && "$games/$1" "${@:2}") >"$work/game.log" 2>&1; }
tool tmanalyser --text "$player/saves/race.gam" || fail "tmanalyser found no track for the saved race"
tool tmzipper --make entry || fail "tmzipper made no archive"
[ -s "$player/zip/entry.zip" ] || fail "tmzipper's archive is not in the player's zip folder"
palette=$(cd "$elsewhere" && "$games/hueswap" --list | sed -n 3p)
[ -n "$palette" ] || fail "hueswap lists no palettes"
tool hueswap --set "$palette" || fail "hueswap could not set $palette"
grep -qi "^PaletteFile *= *palettes.$palette" "$player/tm.ini" || fail "the player's tm.ini does not name $palette"

# Each tool's window, started as its desktop entry does, then closed as a window manager would.
# openWindow TITLE PICTURE PROGRAM ARGS...: launchGame waits for the window named in title.
openWindow() {
  title=$1
  local picture=$2
  shift 2
  launchGame "$elsewhere" "$@"
  sleep 1
  [ -n "$shots" ] && import -window root "$shots/$picture.png"
  return 0
}
closeWindow() {
  "$wm_close" "$title" || fail "could not close $title"
  finishGame "closing $title"
}
openWindow "TM Game Analyser" tmanalyser "$games/tmanalyser" "$player/saves/race.gam"
closeWindow
openWindow "TM Competition Zipper" tmzipper "$games/tmzipper"
closeWindow
# hueswap's dialog (at 0,0 without a window manager): the third palette, Change Palette!, and
# with "Run TM when done" ticked the game starts on the player's folder.
openWindow "Hueswap" hueswap "$games/hueswap"
xdotool mousemove 45 124 click 1
sleep 0.3
xdotool mousemove 82 284 click 1
finishGame "Change Palette!"
grep -qi '^PaletteFile *= *palettes.dusk.pal' "$player/tm.ini" || fail "the dialog did not set dusk.pal in the player's tm.ini"
title="Tarmacade 1.10c"
for _ in $(seq 1 100); do xdotool search --name "^$title\$" >/dev/null 2>&1 && break; sleep 0.1; done
xdotool search --name "^$title\$" >/dev/null 2>&1 || fail "hueswap did not start the game"
sleep 1
[ -n "$shots" ] && import -window root "$shots/game-from-hueswap.png"
"$wm_close" "$title" || fail "could not close the game hueswap started"
for _ in $(seq 1 100); do xdotool search --name "^$title\$" >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --name "^$title\$" >/dev/null 2>&1 && fail "the game hueswap started did not end"

snapshot >"$work/after"
diff "$work/before" "$work/after" || fail "something under the unpacked package changed"
[ -z "$(ls -A "$elsewhere")" ] || fail "something was written into the working folder: $(ls -A "$elsewhere")"
# The toolkit of the tools' windows keeps its own options in ~/.fltk, as every FLTK program does.
stray=$(cd "$HOME" && find . -mindepth 1 | grep -v -e '^\./\.local$' -e '^\./\.local/share$' -e '^\./\.local/share/tarmacade\(/\|$\)' \
  -e '^\./\.fltk$' -e '^\./\.fltk/fltk\.org$' -e '^\./\.fltk/fltk\.org/fltk\.prefs$')
[ -z "$stray" ] || fail "written outside the player's folder: $stray"
echo "ok: the unpacked package played and wrote only into $player"
