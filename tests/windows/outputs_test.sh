#!/usr/bin/env bash
# Outputs of the Windows tools that are no plain files: a device name (NUL, and NUL with an
# extension, as Windows takes it) is written in place, as /dev/null is on Linux, never renamed
# over and never a "Bad device type".
#   outputs_test.sh WINDOWS_BUILD SOURCE_DIR
set -u
windows="$(cd "$1" && pwd)"
source="$(cd "$2" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # description, then a command that must succeed
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failed=1; fi
}
cp -r "$source/reference" "$source/examples" "$work/"
cd "$work" || exit 1
for device in NUL nul.csv; do
  wine "$windows/src/batch/vantrel-batch.exe" --quiet --data reference --results "$device" \
    examples/fields.csv > out.txt 2> errors.txt
  status=$?
  check "vantrel-batch.exe --results $device exits with status 0 ($status)" test "$status" = 0
  check "  and says nothing" test ! -s errors.txt
  wine "$windows/src/schedule/vantrel-schedule.exe" --quiet --data reference \
    --weather examples/weather.csv --schedule "$device" examples/season.csv > out.txt 2> errors.txt
  status=$?
  check "vantrel-schedule.exe --schedule $device exits with status 0 ($status)" test "$status" = 0
done
check "no file is made for a device" test -z "$(ls | grep -i '^nul')"
exit "$failed"
