# Shared by the window sessions: a private X server, a scratch copy of the game folder,
# starting the game, clicking at GUI units and waiting for the screen to settle, pictures,
# closing it. Sourced first; openSession sets work, copyGame sets folder. The menu helpers
# want width and height, and shots (a folder for pictures, or empty).
title="Tarmacade 1.10c"

# Skips the session (status 77) when a tool is missing: $1 says what cannot be tried.
needTools() {
  local what=$1 tool
  shift
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIP: $tool is missing, $what"
      exit 77
    fi
  done
}

# Runs the calling script again under an X server of its own, once: $1 how xvfb-run picks the
# display, $2 the screen (WxHxD), then the script's arguments. Without -noreset the server
# resets whenever its last client leaves, and a client that connects during the reset is refused.
inXvfb() {
  [ -n "${TM_IN_XVFB:-}" ] && return 0
  export TM_IN_XVFB=1
  local display=$1 screen=$2
  shift 2
  # shellcheck disable=SC2086  # the display option is two words
  exec xvfb-run $display -s "-screen 0 $screen -noreset" "$0" "$@"
}

# A real X window, never one of SDL's text-mode fallbacks, and only once the server answers;
# a scratch folder work, gone on exit.
openSession() {
  export SDL_VIDEODRIVER=x11
  for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

# folder: a copy of the game folder of the game at $2, at $1 below work.
copyGame() {
  folder="$work/$1"
  mkdir -p "$folder"
  cp -r "$(dirname "$2")"/. "$folder/"
}

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

# Runs a command in the working folder $1 and waits for the game's window: sets pid and win.
# A busy X server now and then refuses a connection: the game is started again then.
launchGame() {
  local dir=$1 attempt
  shift
  for attempt in 1 2 3; do
    (cd "$dir" && exec "$@") >"$work/game.log" 2>&1 &
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
}

# Starts the game in its folder (arguments go to it) and waits for its settled main menu.
startGame() {
  launchGame "$folder" ./tarmacade "$@"
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

# options.set with every default but the resolution row $2 (2 is 640x480) and windowed mode $3
# (1 a window, 0 the full screen), written to $1.
writeOptions() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
body = struct.pack('<iH7B', 74, 5, 9, 6, 4, 2, 1, 0, 1)
body += bytes([30, 30, 30, 50, 0, 2, int(sys.argv[2]), 0, 100, 1, 1, 0, int(sys.argv[3])])
body += struct.pack('<HBBB', 256, 80, 80, 80)
body += b'English'.ljust(22, b'\0') + b'\0' + b'Default'.ljust(22, b'\0') + b'\0\0'
open(sys.argv[1], 'wb').write(body)
PY
}

# A key held for a while: the race reads the keyboard's state once a step.
holdSpace() { xdotool keydown space; sleep 0.3; xdotool keyup space; }
# The races of drivers/$1.drv (its u32 at byte 36), 0 before the file exists.
driverRaces() {
  python3 -c "import struct,sys; print(struct.unpack_from('<I', open(sys.argv[1], 'rb').read(), 36)[0])" \
    "$folder/drivers/$1.drv" 2>/dev/null || echo 0
}
# Waits while the game runs until driver $1 has raced $2 races. With a third argument, a screen
# standing still for about 5 s before that gets Space again: a start key pressed while a busy
# machine was still putting up the pre-race box is lost, and a race never stands still.
waitRaces() {
  local i still=0 last="" now
  for i in $(seq 1 600); do
    [ "$(driverRaces "$1")" = "$2" ] && return 0
    kill -0 $pid 2>/dev/null || fail "the game ended during race $2"
    if [ -n "${3:-}" ] && [ $((i % 5)) = 0 ]; then
      now=$(snap)
      if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; fi
      last=$now
      if [ $still -ge 5 ]; then holdSpace; still=0; fi
    fi
    sleep 0.2
  done
  fail "race $2 never ended: $1 has $(driverRaces "$1") races"
}
