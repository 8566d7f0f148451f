#!/usr/bin/env bash
# vantrel-batch over 100,000 (and 10,000) profiles of 3 horizons on the bundled reference files,
# at 1 and 2 jobs: horizons per second and peak memory, from /usr/bin/time -v.
#   bench/batch_bench.sh BATCH_PROGRAM REFERENCE_DIR
# Targets: 60,000 horizons/s on one job, 1.8 times that on two, peak memory under 64 MB at
# 100,000 profiles and within 10 % of that at 10,000.
set -euo pipefail
batch="$1"
reference="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Deterministic profiles spread over the texture triangle, stones and depths, with crops.
make_input() {
  awk -v n="$1" 'BEGIN {
    split("Maize grain,Potato,Winter wheat,Cabbage,Apples and pears", crops, ",");
    print "profile,horizon,thickness,sand,clay,stones,crop,etc";
    for (p = 0; p < n; p++) {
      for (h = 1; h <= 3; h++) {
        sand = (p * 37 + h * 11) % 85 + 5;
        clay = (p * 17 + h * 7) % (95 - sand);
        printf "field-%06d,%d,%d,%d,%d,%d,%s,%s\n", p, h, 15 + (p + h) % 40, sand, clay,
               (p * h) % 30, h == 1 ? crops[p % 5 + 1] : "", h == 1 ? "5" : "";
      }
    }
  }' > "$work/in-$1.csv"
}

measure() {  # profiles jobs
  /usr/bin/time -v "$batch" --quiet --jobs "$2" --data "$reference" \
    --results "$work/r.csv" --horizons "$work/h.csv" "$work/in-$1.csv" 2> "$work/time" || true
  local seconds rss
  seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0;
                        for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' "$work/time")
  rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time")
  awk -v p="$1" -v j="$2" -v s="$seconds" -v r="$rss" 'BEGIN {
    printf "%7d profiles, %d job(s): %6.2f s, %9.0f horizons/s, peak memory %5.1f MB\n",
           p, j, s, 3 * p / s, r / 1024 }'
}

make_input 10000
make_input 100000
for jobs in 1 2; do
  measure 10000 "$jobs"
  measure 100000 "$jobs"
done
