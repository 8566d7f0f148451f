#!/usr/bin/env bash
# vantrel.exe under Wine in a display of its own, used as a person would: it starts in a
# folder with the reference files, and its window is found by its caption; its client area is
# 516 x 353 dialog units of its font; keys and mouse clicks type a clay content, spin the sand
# (Up in its box) and the thickness (a click on its spinner's lower arrow), update the horizon,
# name a crop and press Enter for "Calculate". The window then shows what a scripted session of
# the same actions gives, the trace file is the same, and "Exit" ends the program with status 0.
# Started in a folder without reference files, it says why in a message and ends with status 1.
#   window_test.sh WINDOWS_BUILD LINUX_BUILD SOURCE_DIR [SHOT.png]
set -u
windows="$(cd "$1" && pwd)"
linux="$(cd "$2" && pwd)"
source="$(cd "$3" && pwd)"
shot="${4:-}"
work="$(mktemp -d)"
. "$(dirname "$0")/wine_display.sh"
cleanup() {
  stop_wine_display
  rm -rf "$work"
}
trap cleanup EXIT
start_wine_display "$work" || exit 1
mkdir "$work/window" "$work/script"
cp "$source"/reference/*.csv "$work/window/"
cp "$source"/reference/*.csv "$work/script/"
probe() { wine "$windows/tests/windows/window_probe.exe" "$@" | tr -d '\r'; }
fail() {
  echo "FAILED: $1"
  exit 1
}

started=$(date +%s%N)
(cd "$work/window" && wine "$windows/src/app/vantrel.exe" > "$work/out" 2>&1; echo $? > "$work/status") &
window="$(timeout 60 xdotool search --sync --onlyvisible --name 'Vantrel \(Version 1\.5\.3\)' | head -n 1)"
[ -n "$window" ] || fail "the window did not appear"
echo "window visible $(( ($(date +%s%N) - started) / 1000000 )) ms after the start"

read -r _ client _ expected _ units < <(probe size)
echo "client area ${client} pixels; 516 x 353 dialog units of ${units} base units are ${expected}"
[ "$client" = "$expected" ] || fail "the client area is not the template's size"

# A control's centre, or a point of it, on the screen.
centre() { read -r x y w h < <(probe rect "$1"); echo "$((x + w / 2)) $((y + h / 2))"; }
click() { xdotool mousemove $1 $2 click 1; }
retype() {  # a field, then its new text
  click $(centre "$1")
  xdotool key End shift+Home
  xdotool type --delay 20 "$2"
}
xdotool windowfocus --sync "$window" 2>/dev/null || true
retype 1044 30
click $(centre 1008)
xdotool key Up
read -r x y w h < <(probe rect 1038)
click $((x + w / 2)) $((y + h - 3))
click $(centre 1010)
retype 1011 "Maize grain"
xdotool key Return
for _ in $(seq 100); do [ "$(probe text 1069)" != "" ] && break; sleep 0.1; done

cat > "$work/session.txt" <<'SESSION'
type 1044 30
scroll 1026 up
scroll 1038 down
click 1010
type 1011 Maize grain
click 30002
SESSION
for id in 1008 1044 1046 1032 1018 1019 1013 1020 1021 1035 1055 1069 1070 1071 1072; do
  echo "text $id" >> "$work/session.txt"
done
(cd "$work/script" && "$linux/src/app/vantrel-script" < "$work/session.txt" > "$work/expected")
failed=0
while IFS='|' read -r id text _; do
  text="$(echo "$text" | sed 's/^ *//; s/ *$//')"
  shown="$(probe text "$id")"
  if [ "$shown" = "$text" ]; then
    echo "same: control $id shows \"$shown\""
  else
    echo "DIFFERENT: control $id shows \"$shown\", the session gives \"$text\""
    failed=1
  fi
done < "$work/expected"
[ -z "$shot" ] || probe shot "$(winepath -w "$shot" 2>/dev/null)" || fail "no screenshot"

click $(centre 30001)
for _ in $(seq 100); do [ -s "$work/status" ] && break; sleep 0.1; done
[ -s "$work/status" ] || fail "\"Exit\" did not end the program"
[ "$(cat "$work/status")" = 0 ] || fail "exit status $(cat "$work/status")"
echo "\"Exit\" ended the program with status 0"
cmp -s "$work/window/fort.99" "$work/script/fort.99" || fail "the trace files differ"
echo "same: the trace file"

mkdir "$work/empty"
(cd "$work/empty" && wine "$windows/src/app/vantrel.exe" > /dev/null 2>&1; echo $? > "$work/empty-status") &
box="$(timeout 60 xdotool search --sync --onlyvisible --name '^Vantrel$' | head -n 1)"
[ -n "$box" ] || fail "no message when the reference files are missing"
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key Return
for _ in $(seq 100); do [ -s "$work/empty-status" ] && break; sleep 0.1; done
[ "$(cat "$work/empty-status" 2>/dev/null)" = 1 ] || fail "without reference files: status $(cat "$work/empty-status" 2>/dev/null)"
echo "without reference files: a message, then status 1"
exit "$failed"
