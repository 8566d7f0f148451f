#!/usr/bin/env bash
# vantrel-schedule over a 180-day season for 1,000 profiles of 3 horizons (and 10,000), their
# roots growing, four strategies in turn and runoff by a curve number; with the daily schedule
# written, and with the totals alone: seconds and peak memory, from /usr/bin/time -v.
#   bench/schedule_bench.sh SCHEDULE_PROGRAM REFERENCE_DIR EXAMPLES_DIR
# Then the report, as HTML and as PDF.
# Targets: under 2 s for 1,000 profiles on one job; 1.5 million daily rows a second with every
# output; memory flat (the same at 10,000), under 64 MB with a report.
set -euo pipefail
schedule="$1"
reference="$2"
examples="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
make_input() {
  awk -v n="$1" 'BEGIN {
    print "profile,horizon,thickness,sand,clay,stones,root_depth,tolerance,etc,planting_date," \
          "kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late,strategy,depth_mm,curve_number";
    split("refill,fixed-depth,refill,rainfed", strategies, ",");
    for (p = 0; p < n; p++) {
      for (h = 1; h <= 3; h++) {
        sand = (p * 37 + h * 11) % 85 + 5;
        clay = (p * 17 + h * 7) % (95 - sand);
        # Roots growing from 15 cm, a strategy of four in turn, runoff by a curve number.
        if (h == 1) printf "field-%06d,1,%d,%d,%d,%d,%d,50,5,2026-04-%02d,0.3,1.2,0.6,30,40,60,50," \
                           "%s,25,%d\n", p, 15 + p % 40, sand, clay, p % 30, 60 + p % 60, 1 + p % 20,
                           strategies[p % 4 + 1], 70 + p % 20;
        else printf "field-%06d,%d,%d,%d,%d,%d,,,,,,,,,,,,,,\n", p, h, 15 + (p + h) % 40, sand,
                    clay, (p * h) % 30;
      }
    }
  }' > "$work/in-$1.csv"
}
measure() {  # profiles label [OUTPUT OPTION]
  /usr/bin/time -v "$schedule" --quiet --data "$reference" --weather "$examples/weather.csv" \
    "${@:3}" "$work/in-$1.csv" 2> "$work/time" > /dev/null || true
  awk -F': ' -v p="$1" -v what="$2" '
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i] }
    /Maximum resident set size/ { rss = $2 }
    END { printf "%6d profiles, 180-day seasons, %s: %6.2f s, peak memory %5.1f MB\n", p, what, s,
                 rss / 1024 }' "$work/time"
}
# The daily rows a second with every output asked for (the schedule, the irrigation days and
# JSON), the median of five runs, against the totals alone (the computing) in the same run.
rows_per_second() {  # profiles [OPTION]
  : > "$work/all"
  : > "$work/totals"
  for _ in 1 2 3 4 5; do
    /usr/bin/time -f "%e" -o "$work/t" "$schedule" --quiet --data "$reference" "${@:2}" \
      --weather "$examples/weather.csv" --schedule "$work/s.csv" --events "$work/e.csv" \
      --json "$work/j.json" "$work/in-$1.csv" 2> /dev/null > /dev/null || true
    cat "$work/t" >> "$work/all"
    /usr/bin/time -f "%e" -o "$work/t" "$schedule" --quiet --data "$reference" "${@:2}" \
      --weather "$examples/weather.csv" "$work/in-$1.csv" 2> /dev/null > /dev/null || true
    cat "$work/t" >> "$work/totals"
  done
  local rows all totals
  rows=$(( $(wc -l < "$work/s.csv") + $(wc -l < "$work/e.csv") - 2 ))
  all=$(sort -n "$work/all" | sed -n 3p)
  totals=$(sort -n "$work/totals" | sed -n 3p)
  local jobs="every hardware thread"
  [ $# -gt 1 ] && jobs="${*:2}"
  awk -v p="$1" -v r="$rows" -v a="$all" -v t="$totals" -v jobs="$jobs" 'BEGIN {
    printf "%6d profiles, every output, %s: %d rows in %.2f s, %.2f million rows/s (the totals alone %.2f s)\n",
           p, jobs, r, a, r / a / 1e6, t }'
}
make_input 10000
rows_per_second 10000 --jobs 1
rows_per_second 10000

for profiles in 1000 10000; do
  make_input "$profiles"
  measure "$profiles" "the daily schedule" --schedule "$work/s.csv"
  measure "$profiles" "the totals"
  measure "$profiles" "the report as HTML" --report "$work/r.html"
  measure "$profiles" "the report as PDF" --report "$work/r.pdf"
done
