#!/usr/bin/env bash
# The window's time from the start of main() to its first paint on the screen, and the memory
# resident then, against a bare Qt dialog of the same size: each the median of RUNS starts
# (7 by default), the two taken in turn, under an Xvfb of their own.
#   bench/window_bench.sh WINDOW_CLOCK REFERENCE_DIR [RUNS]
# Targets: at most 1.1 times the bare dialog's time, 1.15 times its memory.
set -euo pipefail
clock="$(realpath "$1")"
reference="$2"
runs="${3:-7}"
work="$(mktemp -d)"
cp "$reference"/*.csv "$work"/
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$work/display" 2> /dev/null &
xvfb=$!
trap 'kill "$xvfb" 2> /dev/null; rm -rf "$work"' EXIT
read -r display < "$work/display"  # the server writes its number once it accepts clients
mkdir -m 700 "$work/runtime"
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb FORT99=/dev/null XDG_RUNTIME_DIR="$work/runtime"

: > "$work/vantrel"
: > "$work/bare"
for _ in $(seq "$runs"); do
  read -r ms kb width height < <(cd "$work" && "$clock" vantrel)
  echo "$ms $kb" >> "$work/vantrel"
  "$clock" bare "$width" "$height" | awk '{ print $1, $2 }' >> "$work/bare"
done
median() {  # FILE COLUMN
  sort -n -k "$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'
}
vantrel_ms=$(median "$work/vantrel" 1)
bare_ms=$(median "$work/bare" 1)
vantrel_kb=$(median "$work/vantrel" 2)
bare_kb=$(median "$work/bare" 2)
awk -v vm="$vantrel_ms" -v bm="$bare_ms" -v vk="$vantrel_kb" -v bk="$bare_kb" -v n="$runs" \
  -v w="$width" -v h="$height" 'BEGIN {
  printf "the window, %dx%d, median of %d starts: %6.1f ms to the screen, %5.1f MB resident\n",
         w, h, n, vm, vk / 1024;
  printf "a bare Qt dialog of that size:          %6.1f ms,               %5.1f MB\n", bm, bk / 1024;
  printf "ratio: %.2fx the time, %.2fx the memory\n", vm / bm, vk / bk }'
