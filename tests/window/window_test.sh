#!/usr/bin/env bash
# Runs the game as a player would: copied into a folder whose path has spaces, started from
# another working folder, ended once by the close button and once by Alt+F4.
set -u
# A private X server of its own; a display number from the process id keeps parallel runs apart.
# Without -noreset the server resets whenever its last client leaves, and a client that
# connects during the reset is refused.
if [ -z "${TM_IN_XVFB:-}" ]; then
  export TM_IN_XVFB=1
  exec xvfb-run -n $((100 + $$ % 800)) -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
game=$1
wm_close=$2
# A real X window, never one of SDL's text-mode fallbacks; and only once the server answers.
export SDL_VIDEODRIVER=x11
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
title="Tarmacade 1.10c"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/My Games/Tar macade"
mkdir -p "$folder" "$work/elsewhere"
cp "$game" "$folder/tarmacade"
cp -r "$(dirname "$game")"/. "$folder/" 2>/dev/null

fail() { echo "FAIL: $*"; echo "--- the game said:"; cat "$work/game.log"; exit 1; }

start() {
  # A busy X server now and then refuses a connection: start again when the game could not
  # reach the display at all.
  for attempt in 1 2 3; do
    (cd "$work/elsewhere" && exec "$folder/tarmacade") >"$work/game.log" 2>&1 &
    pid=$!
    win=""
    for _ in $(seq 1 100); do
      win=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
      [ -n "$win" ] && break
      kill -0 $pid 2>/dev/null || break
      sleep 0.1
    done
    [ -n "$win" ] && break
    kill -0 $pid 2>/dev/null && break
    wait $pid
    grep -q -e "open X11 display" -e "No available video device" "$work/game.log" || break
  done
  [ -n "$win" ] || fail "no window titled '$title'"
  [ "$(readlink /proc/$pid/cwd)" = "$folder" ] || fail "working folder is $(readlink /proc/$pid/cwd), not $folder"
}

finish() {
  for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then kill -9 $pid; fail "$1 did not end the game"; fi
  wait $pid
  status=$?
  [ $status -eq 0 ] || fail "$1 ended the game with status $status"
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
