#!/usr/bin/env bash
# The reports of the Windows edition: --report NAME.html gives the Linux build's pages (but for
# their headers, which name the folders as each system writes them); --report NAME.pdf says to
# use .html, writes the other outputs all the same and exits with status 1.
#   reports_test.sh WINDOWS_BUILD LINUX_BUILD SOURCE_DIR
set -u
windows="$(cd "$1" && pwd)"
linux="$(cd "$2" && pwd)"
source="$(cd "$3" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # description, then a command that must succeed
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failed=1; fi
}
export SOURCE_DATE_EPOCH=86400
cp -r "$source/reference" "$source/examples" "$work/"
cd "$work" || exit 1
without_header() { sed '/^<header>$/,/^<\/header>$/d' "$1"; }
for tool in batch schedule; do
  case $tool in
    batch) args=(--quiet --data reference examples/fields.csv) ;;
    schedule) args=(--quiet --data reference --weather examples/weather.csv examples/season.csv) ;;
  esac
  "$linux/src/$tool/vantrel-$tool" "${args[@]}" --report "linux-$tool.html" > /dev/null
  wine "$windows/src/$tool/vantrel-$tool.exe" "${args[@]}" --report "windows-$tool.html" \
    > /dev/null 2>&1
  check "vantrel-$tool.exe --report x.html gives the Linux build's pages" \
    cmp <(without_header "linux-$tool.html") <(without_header "windows-$tool.html")
  check "  which are pages at all" grep -q '<section class="page" id="page-2">' "windows-$tool.html"
  "$linux/src/$tool/vantrel-$tool" "${args[@]}" --json "linux-$tool.json" > /dev/null
  wine "$windows/src/$tool/vantrel-$tool.exe" "${args[@]}" --report "windows-$tool.pdf" \
    --json "windows-$tool.json" > out.txt 2> errors.txt
  status=$?
  check "vantrel-$tool.exe --report x.pdf exits with status 1 ($status)" test "$status" = 1
  check "  says to name it .html" grep -q "name the report .html instead" errors.txt
  check "  writes no PDF" test ! -e "windows-$tool.pdf"
  check "  and the other outputs all the same" cmp "linux-$tool.json" "windows-$tool.json"
done
exit "$failed"
