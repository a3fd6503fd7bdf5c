#!/usr/bin/env bash
# Runs the game as a player would: copied into a folder whose path has spaces, started from
# another working folder, ended once by the close button and once by Alt+F4.
set -u
game=$1
wm_close=$2
title="Tarmacade 1.10c"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/My Games/Tar macade"
mkdir -p "$folder" "$work/elsewhere"
cp "$game" "$folder/tarmacade"
cp -r "$(dirname "$game")"/. "$folder/" 2>/dev/null

fail() { echo "FAIL: $*"; exit 1; }

start() {
  (cd "$work/elsewhere" && exec "$folder/tarmacade") &
  pid=$!
  win=""
  for _ in $(seq 1 100); do
    win=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$win" ] && break
    sleep 0.1
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
xdotool windowfocus --sync "$win" 2>/dev/null
sleep 0.2
xdotool keydown alt
sleep 0.1
xdotool key F4
xdotool keyup alt
finish "Alt+F4"
