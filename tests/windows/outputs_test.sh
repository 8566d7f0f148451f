#!/usr/bin/env bash
# File names of the Windows tools: folders named in any script (中文, 🌱, é) are read and written
# as on Linux, with the same bytes; and an output that is a device name (NUL, and NUL with an
# extension, as Windows takes it) is written in place, as /dev/null is on Linux, never renamed
# over and never a "Bad device type".
#   outputs_test.sh WINDOWS_BUILD LINUX_BUILD SOURCE_DIR
set -u
export LC_ALL=C.UTF-8  # Wine passes the Unix command line's names on in the Unix locale's encoding
windows="$(cd "$1" && pwd)"
linux="$(cd "$2" && pwd)"
source="$(cd "$3" && pwd)"
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
"$linux/src/batch/vantrel-batch" --quiet --data reference --results linux.csv examples/fields.csv
"$linux/src/import/vantrel-reference" examples/measured.csv -o linux-wrc.csv 2> /dev/null
for folder in 中文 "é 🌱"; do
  mkdir -p "$folder/data" && cp reference/*.csv "$folder/data/" && cp examples/*.csv "$folder/"
  wine "$windows/src/batch/vantrel-batch.exe" --quiet --data "$folder/data" \
    --results "$folder/r.csv" "$folder/fields.csv" > out.txt 2> errors.txt
  check "vantrel-batch.exe in $folder exits with status 0" test "$?" = 0
  check "  and writes the Linux build's results" cmp linux.csv "$folder/r.csv"
  wine "$windows/src/schedule/vantrel-schedule.exe" --quiet --data "$folder/data" \
    --weather "$folder/weather.csv" --json "$folder/s.json" "$folder/season.csv" > out.txt 2>&1
  check "vantrel-schedule.exe in $folder exits with status 0" test "$?" = 0
  check "  and writes its JSON there" test -s "$folder/s.json"
  wine "$windows/src/import/vantrel-reference.exe" "$folder/measured.csv" -o "$folder/wrc.csv" \
    > out.txt 2> errors.txt
  check "vantrel-reference.exe in $folder exits with status 0" test "$?" = 0
  check "  and writes the Linux build's profiles" cmp linux-wrc.csv "$folder/wrc.csv"
  wine "$windows/src/batch/vantrel-batch.exe" --data "$folder/data" "$folder/none.csv" \
    > out.txt 2> errors.txt
  check "  a missing file there is named as it is" grep -qF "$folder/none.csv: cannot read" errors.txt
done
# A user named in another script: the user's own folder %APPDATA%\Vantrel is found (a prefix
# of its own, whose profile is that user's).
(
  export WINEPREFIX="$work/prefix-of-a-user" USER=中文
  wineboot -i > /dev/null 2>&1 && wineserver -w
  roaming="$WINEPREFIX/drive_c/users/$USER/AppData/Roaming"
  mkdir -p "$roaming/Vantrel" empty && cp reference/*.csv "$roaming/Vantrel/"
  cd empty && cp ../examples/fields.csv . &&
    wine "$windows/src/batch/vantrel-batch.exe" fields.csv > out.txt 2> errors.txt
  status=$?
  wineserver -k 2> /dev/null
  check "a user named 中文: vantrel-batch.exe finds the user's folder ($status)" \
    grep -qF 'reference files from C:\users\中文\AppData\Roaming\Vantrel' errors.txt
  exit "$failed"
) || failed=1
# A path past the 260 characters of old Windows programs (the manifest declares long paths).
long="$(printf 'a%.0s' {1..60})"
deep="deep/$long/$long/$long/$long/$long"
mkdir -p "$deep" && cp examples/fields.csv "$deep/"
wine "$windows/src/batch/vantrel-batch.exe" --quiet --data reference --results "$deep/r.csv" \
  "$deep/fields.csv" > out.txt 2> errors.txt
check "a path of ${#deep} characters is read and written" cmp linux.csv "$deep/r.csv"
exit "$failed"
