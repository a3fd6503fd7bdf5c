#!/usr/bin/env bash
# Runs the game as a player would: copied into a folder whose path has spaces, started from
# another working folder, ended once by the close button and once by Alt+F4.
set -u
. "$(dirname "$0")/session_lib.sh"
# A display number from the process id keeps parallel runs apart.
inXvfb "-n $((100 + $$ % 800))" 1024x768x24 "$@"
game=$1
wm_close=$2
openSession
folder="$work/My Games/Tar macade"
mkdir -p "$folder" "$work/elsewhere"
cp "$game" "$folder/tarmacade"
cp -r "$(dirname "$game")"/. "$folder/" 2>/dev/null

start() {
  launchGame "$work/elsewhere" "$folder/tarmacade"
  [ "$(readlink /proc/$pid/cwd)" = "$folder" ] || fail "working folder is $(readlink /proc/$pid/cwd), not $folder"
}

finish() {
  finishGame "$1"
  echo "ok: $1"
}

start
"$wm_close" "$title" || fail "could not press the close button"
finish "the close button"

start
# The key press only counts once the window has the keyboard focus: try a few times.
for attempt in 1 2 3 4 5 6 7 8; do
  # No window manager: the keyboard goes to the window under the pointer.
  xdotool mousemove $((90 + attempt)) 100 2>/dev/null
  sleep 0.3
  if [ $((attempt % 2)) -eq 1 ]; then
    xdotool keydown alt; sleep 0.1; xdotool key F4; xdotool keyup alt
  else
    xdotool key --delay 120 alt+F4
  fi
  for _ in $(seq 1 20); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null || break
done
finish "Alt+F4"
