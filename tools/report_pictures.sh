#!/usr/bin/env bash
# The pictures of the reports in the docs, as a browser shows them: the example fields' and
# season's HTML reports printed by headless Chromium, one field page and one season page.
#   tools/report_pictures.sh BUILD_DIR OUTPUT_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
out="$(cd "$2" && pwd)"
source="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$source"
export SOURCE_DATE_EPOCH=1796774400  # 2026-12-09: the pictures stay the same when made again
"$build/src/batch/vantrel-batch" --quiet --data reference --report "$work/fields.html" \
  examples/fields.csv
"$build/src/schedule/vantrel-schedule" --quiet --data reference --weather examples/weather.csv \
  --report "$work/season.html" examples/season.csv
for report in fields season; do
  chromium --headless --no-sandbox --disable-gpu --no-pdf-header-footer \
    --user-data-dir="$work/chromium" --print-to-pdf="$work/$report.pdf" \
    "file://$work/$report.html" 2> /dev/null
done
pdftoppm -r 80 -png -f 2 -l 2 -singlefile "$work/fields.pdf" "$out/report-field-page"
pdftoppm -r 80 -png -f 2 -l 2 -singlefile "$work/season.pdf" "$out/report-season-page"
