#!/usr/bin/env bash
# vantrel-schedule over a 180-day season for 1,000 profiles of 3 horizons (and 10,000), with
# the daily schedule written: seconds and peak memory, from /usr/bin/time -v.
#   bench/schedule_bench.sh SCHEDULE_PROGRAM REFERENCE_DIR EXAMPLES_DIR
# Target: under 2 s for 1,000 profiles on one job; memory flat (the same at 10,000).
set -euo pipefail
schedule="$1"
reference="$2"
examples="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
make_input() {
  awk -v n="$1" 'BEGIN {
    print "profile,horizon,thickness,sand,clay,stones,root_depth,tolerance,etc,planting_date," \
          "kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late";
    for (p = 0; p < n; p++) {
      for (h = 1; h <= 3; h++) {
        sand = (p * 37 + h * 11) % 85 + 5;
        clay = (p * 17 + h * 7) % (95 - sand);
        if (h == 1) printf "field-%06d,1,%d,%d,%d,%d,%d,50,5,2026-04-%02d,0.3,1.2,0.6,30,40,60,50\n",
                           p, 15 + p % 40, sand, clay, p % 30, 60 + p % 60, 1 + p % 20;
        else printf "field-%06d,%d,%d,%d,%d,%d,,,,,,,,,,,\n", p, h, 15 + (p + h) % 40, sand, clay,
                    (p * h) % 30;
      }
    }
  }' > "$work/in-$1.csv"
}
for profiles in 1000 10000; do
  make_input "$profiles"
  /usr/bin/time -v "$schedule" --quiet --data "$reference" --weather "$examples/weather.csv" \
    --schedule "$work/s.csv" "$work/in-$profiles.csv" 2> "$work/time" > /dev/null || true
  awk -F': ' -v p="$profiles" '
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i] }
    /Maximum resident set size/ { rss = $2 }
    END { printf "%6d profiles, 180-day seasons: %6.2f s, peak memory %5.1f MB\n", p, s, rss / 1024 }' \
    "$work/time"
done
