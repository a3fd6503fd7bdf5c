# Shared by the window sessions that play the game through its menus: starting it in its
# folder, clicking at GUI units and waiting for the screen to settle, pictures, closing it.
# The caller sets: folder (the game folder), work (a scratch folder), width, height, and
# shots (a folder for pictures, or empty).
title="Tarmacade 1.10c"

fail() { echo "FAIL: $*"; echo "--- the game said:"; cat "$work/game.log"; exit 1; }

# GUI units (an 80 x 60 grid centred on the screen) to pixels.
px() {
  awk -v u="$1" -v w="$width" -v h="$height" \
    'BEGIN { s = int(w / 80); if (int(h / 60) < s) s = int(h / 60); printf "%d", (w - 80 * s) / 2 + u * s }'
}
py() {
  awk -v u="$1" -v w="$width" -v h="$height" \
    'BEGIN { s = int(w / 80); if (int(h / 60) < s) s = int(h / 60); printf "%d", (h - 60 * s) / 2 + u * s }'
}

snap() { import -window root rgb:- 2>/dev/null | md5sum; }
# Waits until the screen differs from the given snapshot and then stays still for a moment.
settle() {
  local before=$1 now last=""
  for _ in $(seq 1 60); do
    now=$(snap)
    if [ "$now" != "$before" ] && [ "$now" = "$last" ]; then return 0; fi
    last=$now
    sleep 0.1
  done
  return 1
}
# A click at GUI units (x, y, what is clicked), then the screen settled.
click() {
  local before
  before=$(snap)
  xdotool mousemove "$(px "$1")" "$(py "$2")" click 1
  settle "$before" || fail "nothing changed after a click at ($1, $2): $3"
}
picture() { [ -n "$shots" ] && import -window root "$shots/$1.png"; return 0; }

# Starts the game in its folder (arguments go to it) and waits for its settled main menu.
# A busy X server now and then refuses a connection: the game is started again then.
startGame() {
  for attempt in 1 2 3; do
    (cd "$folder" && exec ./tarmacade "$@") >"$work/game.log" 2>&1 &
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
  # No window manager: the keyboard goes to the window under the pointer.
  xdotool mousemove "$(px 40)" "$(py 1)"
  settle "" || fail "the main menu never settled"
}

# Waits for the game to end normally after what was done to close it.
finishGame() {
  for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then kill -9 $pid; fail "$1 did not end the game"; fi
  wait $pid
  local status=$?
  [ $status -eq 0 ] || fail "$1 ended the game with status $status"
}
