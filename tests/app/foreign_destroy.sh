#!/usr/bin/env bash
# The window destroyed by another X client (XDestroyWindow, as `xdotool windowclose` does)
# ends the run with status 0, as "Exit" does.
#   foreign_destroy.sh PROGRAM REFERENCE_DIR
set -u
program="$1"
reference="$2"
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "skipped: Xvfb or xdotool is not installed (./dev.sh test installs them)"
  exit 77
fi
work="$(mktemp -d)"
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  [ -n "${server:-}" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp "$reference"/*.csv "$work"/

# A display of its own, on a number the server picks.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5> "$work/display" 2>/dev/null &
server=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
[ "$DISPLAY" != ":" ] || { echo "Xvfb did not start"; exit 1; }

# Under LeakSanitizer, the session-bus library's own allocations are not the program's.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan_x11.supp:print_suppressions=0"
(cd "$work" && FORT99=/dev/null exec "$program" > "$work/out" 2>&1) &
app=$!
window="$(timeout 10 xdotool search --sync --onlyvisible --name 'Vantrel \(Version' | head -n 1)"
[ -n "$window" ] || { echo "the window did not appear"; cat "$work/out"; exit 1; }
xdotool windowclose "$window"

for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
  echo "still running 10 s after its window was destroyed"
  exit 1
fi
wait "$app"
status=$?
app=
[ "$status" -eq 0 ] || { echo "exit status $status"; cat "$work/out"; exit 1; }
echo "ended with status 0"
