#!/usr/bin/env bash
# The real window under Xvfb, driven by another X client as a hostile hand would.
#   foreign_destroy.sh PROGRAM REFERENCE_DIR [CASE]
# CASE close (the default): the window destroyed by another client (XDestroyWindow, as
#   `xdotool windowclose` does) ends the run with status 0, as "Exit" does.
# CASE held-arrow: with a text that is not a number in clay, a press of 0.1 s on the sand
#   spinner's lower arrow gives one message; once it is answered, no other follows.
# CASE message-then-close: the window destroyed while a message from a spinner key is open;
#   answering the message ends the run with status 0.
# CASE arguments: arguments meant for the toolkit (a platform that does not exist) are
#   ignored: the window appears all the same.
set -u
program="$1"
reference="$2"
case_name="${3:-close}"
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
args=()
[ "$case_name" = arguments ] && args=(-platform no-such-platform -reverse)
(cd "$work" && FORT99=/dev/null exec "$program" "${args[@]}" > "$work/out" 2>&1) &
app=$!
window="$(timeout 10 xdotool search --sync --onlyvisible --name 'Vantrel \(Version' | head -n 1)"
[ -n "$window" ] || { echo "the window did not appear"; cat "$work/out"; exit 1; }

# A point of the window given in dialog units (the window is 516 x 353 of them).
eval "$(xdotool getwindowgeometry --shell "$window")"
at() { echo "$(($1 * WIDTH / 516)) $(($2 * HEIGHT / 353))"; }
click_at() { xdotool mousemove --window "$window" $(at "$1" "$2") click 1; }
type_into() {  # a field by its centre, then its new text
  click_at "$1" "$2"
  xdotool key --clearmodifiers ctrl+a
  xdotool type "$3"
}
messages() { xdotool search --onlyvisible --name '^Vantrel$' 2>/dev/null; }
wait_for_message() {
  for _ in $(seq 100); do
    box="$(messages | head -n 1)"
    [ -n "$box" ] && return 0
    sleep 0.1
  done
  echo "no message appeared"
  exit 1
}
answer() { xdotool windowfocus "$box" key Return; }

case "$case_name" in
  close | arguments) ;;
  held-arrow)
    type_into 117 62 abc  # clay
    xdotool mousemove --window "$window" $(at 49 66) mousedown 1  # sand's lower arrow
    sleep 0.1
    xdotool mouseup 1
    wait_for_message
    answer
    # The bar repeats after 0.5 s: a second message would be there well within 2 s.
    for _ in $(seq 20); do
      [ -z "$(messages)" ] || { echo "another message after the first was answered"; exit 1; }
      sleep 0.1
    done
    ;;
  message-then-close)
    type_into 117 62 1,5  # clay
    click_at 29 62        # sand
    xdotool key Up
    wait_for_message
    ;;
  *) echo "unknown case $case_name"; exit 2 ;;
esac

xdotool windowclose "$window"
[ "$case_name" = message-then-close ] && answer

for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
  echo "still running 10 s after its window was destroyed"
  exit 1
fi
wait "$app"
status=$?
app=
[ "$status" -eq 0 ] || { echo "exit status $status"; cat "$work/out"; exit 1; }
echo "$case_name: ended with status 0"
