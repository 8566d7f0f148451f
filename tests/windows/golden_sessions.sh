#!/usr/bin/env bash
# The Windows edition gives, byte for byte, what the Linux build gives: every session script of
# docs/sessions and tests/windows/sessions and its trace file (the Windows sessions drive the
# real Win32 controls, in a display of their own), vantrel-batch's CSV outputs on the example
# input, and vantrel-schedule's daily schedule and irrigation days on the example season.
#   golden_sessions.sh LINUX_BUILD WINDOWS_BUILD SOURCE_DIR
set -u
linux="$(cd "$1" && pwd)"
windows="$(cd "$2" && pwd)"
source="$(cd "$3" && pwd)"
work="$(mktemp -d)"
. "$(dirname "$0")/wine_display.sh"
trap 'stop_wine_display; rm -rf "$work"' EXIT
start_wine_display "$work" || exit 1
failed=0
check() {  # description, then two files that must be the same (or both absent)
  if { [ ! -e "$2" ] && [ ! -e "$3" ]; } || cmp -s "$2" "$3"; then
    echo "same: $1"
  else
    echo "DIFFERENT: $1"
    failed=1
  fi
}
for script in "$source"/docs/sessions/*.txt "$source"/tests/windows/sessions/*.txt; do
  name="$(basename "$script" .txt)"
  for side in linux windows; do
    mkdir -p "$work/$side-$name"
    cp "$source"/reference/*.csv "$work/$side-$name/"
  done
  (cd "$work/linux-$name" && "$linux/src/app/vantrel-script" < "$script" > out.txt 2>&1)
  (cd "$work/windows-$name" && wine "$windows/src/app/vantrel-script.exe" < "$script" > out.txt 2>&1)
  check "session $name" "$work/linux-$name/out.txt" "$work/windows-$name/out.txt"
  check "trace file of $name" "$work/linux-$name/fort.99" "$work/windows-$name/fort.99"
done
for side in linux windows; do mkdir -p "$work/batch-$side"; done
"$linux/src/batch/vantrel-batch" --quiet --jobs 2 --data "$source/reference" \
  --results "$work/batch-linux/r.csv" --horizons "$work/batch-linux/h.csv" \
  "$source/examples/fields.csv"
wine "$windows/src/batch/vantrel-batch.exe" --quiet --jobs 2 --data "$source/reference" \
  --results "$work/batch-windows/r.csv" --horizons "$work/batch-windows/h.csv" \
  "$source/examples/fields.csv"
check "vantrel-batch --results" "$work/batch-linux/r.csv" "$work/batch-windows/r.csv"
check "vantrel-batch --horizons" "$work/batch-linux/h.csv" "$work/batch-windows/h.csv"
"$linux/src/schedule/vantrel-schedule" --quiet --data "$source/reference" \
  --weather "$source/examples/weather.csv" --schedule "$work/batch-linux/s.csv" \
  --events "$work/batch-linux/e.csv" "$source/examples/season.csv"
wine "$windows/src/schedule/vantrel-schedule.exe" --quiet --data "$source/reference" \
  --weather "$source/examples/weather.csv" --schedule "$work/batch-windows/s.csv" \
  --events "$work/batch-windows/e.csv" "$source/examples/season.csv"
check "vantrel-schedule --schedule" "$work/batch-linux/s.csv" "$work/batch-windows/s.csv"
check "vantrel-schedule --events" "$work/batch-linux/e.csv" "$work/batch-windows/e.csv"
exit "$failed"
