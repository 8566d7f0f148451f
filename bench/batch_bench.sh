#!/usr/bin/env bash
# vantrel-batch over 100,000 (and 10,000) profiles of 3 horizons on the bundled reference files,
# at 1 and 2 jobs: horizons per second and peak memory, from /usr/bin/time -v.
#   bench/batch_bench.sh BATCH_PROGRAM BENCHMARKS REFERENCE_DIR
# First the ratios, each of medians of five runs taken in turn in this one run: one job's time
# per horizon against the horizon estimates' own (the floor, BM_BatchInputEstimates in
# BENCHMARKS, on the same horizons), and two jobs' speed against one's, on this input and on
# 1.2 million one-horizon profiles (past a million, the split-profile check uses its buckets).
# Targets: one job at most 1.5 times the floor, two jobs at least 1.9 times one (beside it, the
# pace of two one-job runs at once shows what the machine allows two processes); peak memory
# under 64 MB at 100,000 profiles and within 10 % of that at 10,000.
# Then the hostile shapes, whose time must grow with the input's size alone and whose memory
# must stay under 64 MB: rows sorted by horizon (every profile split, so every row an error),
# a million distinct names, two million unreadable lines (text after a closing quote), and ten million
# rows sorted by horizon. Set VANTREL_BENCH_QUICK=1 to leave out the ten million.
set -euo pipefail
batch="$1"
benchmarks="$2"
reference="$3"
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

# Seconds of one run, from /usr/bin/time -v's wall clock.
seconds_of() {  # INPUT JOBS
  /usr/bin/time -v "$batch" --quiet --jobs "$2" --data "$reference" --results "$work/r.csv" \
    --horizons "$work/h.csv" "$1" 2> "$work/time" || true
  awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0;
              for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' "$work/time"
}
median_of_five() {  # FILE
  sort -n "$1" | sed -n 3p
}
# Seconds until two one-job runs started together have both ended: what this machine gives two
# independent processes (a virtual machine's cores are not always equal, nor always free).
both_seconds_of() {  # INPUT
  local start end
  start=$(date +%s.%N)
  "$batch" --quiet --jobs 1 --data "$reference" --results "$work/r.csv" \
    --horizons "$work/h.csv" "$1" 2> /dev/null &
  "$batch" --quiet --jobs 1 --data "$reference" --results "$work/r2.csv" \
    --horizons "$work/h2.csv" "$1" 2> /dev/null || true
  wait || true
  end=$(date +%s.%N)
  rm -f "$work/r2.csv" "$work/h2.csv"
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f\n", b - a }'
}
# One job and two, five runs each, in turn, and beside them the machine's own ceiling: two
# one-job runs at once. NAME INPUT HORIZONS
jobs_ratio() {
  : > "$work/one"
  : > "$work/two"
  : > "$work/both"
  for _ in 1 2 3 4 5; do
    seconds_of "$2" 1 >> "$work/one"
    seconds_of "$2" 2 >> "$work/two"
    both_seconds_of "$2" >> "$work/both"
  done
  one=$(median_of_five "$work/one")
  two=$(median_of_five "$work/two")
  both=$(median_of_five "$work/both")
  awk -v name="$1" -v h="$3" -v one="$one" -v two="$two" -v both="$both" 'BEGIN {
    printf "%s: one job %.2f s (%.0f horizons/s), two jobs %.2f s: %.2fx one job", name, one,
           h / one, two, one / two
    printf " (two one-job runs at once: %.2fx one job)\n", 2 * one / both }'
}
floor_ms=$("$benchmarks" --benchmark_filter='^BM_BatchInputEstimates$' --benchmark_repetitions=5 \
           --benchmark_report_aggregates_only=true | awk '/_median/ { print $2 }')
jobs_ratio "100000 profiles" "$work/in-100000.csv" 300000
awk -v floor_ms="$floor_ms" -v one="$one" 'BEGIN {
  floor = 30000 / (floor_ms / 1000);
  printf "the estimates alone (the floor): %.0f horizons/s; one job at %.2fx the floor'"'"'s time\n",
         floor, (one / 300000) / (1 / floor) }'
awk 'BEGIN {
  print "profile,horizon,thickness,sand,clay,stones,crop";
  for (p = 0; p < 1200000; p++) printf "name-%08d,1,20,%d,15,0,Potato\n", p, 20 + p % 60;
}' > "$work/in-buckets.csv"
jobs_ratio "1,200,000 one-horizon profiles (the check's buckets)" "$work/in-buckets.csv" 1200000
rm -f "$work/in-buckets.csv"

for jobs in 1 2; do
  measure 10000 "$jobs"
  measure 100000 "$jobs"
done

# The report of 10,000 profiles, as HTML and as PDF: each profile computed once, its page laid
# out as it comes and kept on disk, so memory stays that of the summary's rows.
for kind in html pdf; do
  /usr/bin/time -v "$batch" --quiet --jobs 2 --data "$reference" --report "$work/r.$kind" \
    "$work/in-10000.csv" 2> "$work/time" || true
  awk -F': ' -v kind="$kind" '
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i] }
    /Maximum resident set size/ { rss = $2 }
    END { printf "  10000 profiles, the report as %s, 2 jobs: %6.2f s, peak memory %5.1f MB\n",
                 kind, s, rss / 1024 }' "$work/time"
done

# The hostile shapes: NAME ROWS and a file in-NAME.csv.
sorted_by_horizon() {  # profiles horizons
  awk -v n="$1" -v hs="$2" 'BEGIN {
    print "profile,horizon,thickness,sand,clay,stones,crop";
    for (h = 1; h <= hs; h++)
      for (p = 0; p < n; p++)
        printf "field-%07d,%d,20,%d,%d,0,%s\n", p, h, 20 + p % 50, 10 + h, h == 1 ? "Potato" : "";
  }' > "$work/in-$3.csv"
}
distinct_names() {  # profiles
  awk -v n="$1" 'BEGIN {
    print "profile,horizon,thickness,sand,clay,stones,crop";
    for (p = 0; p < n; p++) printf "name-%08d,1,20,%d,15,0,Potato\n", p, 20 + p % 60;
  }' > "$work/in-$2.csv"
}
bad_lines() {  # lines
  awk -v n="$1" 'BEGIN {
    print "profile,horizon,thickness,sand,clay,stones,crop";
    for (i = 0; i < n; i++) print "\"closed\" too soon,1,20,40,20,0,Potato";
  }' > "$work/in-$2.csv"
}
hostile() {  # name rows
  /usr/bin/time -v "$batch" --quiet --jobs 2 --data "$reference" --results "$work/r.csv" \
    "$work/in-$1.csv" > /dev/null 2> "$work/time" || true
  awk -F': ' -v name="$1" -v rows="$2" '
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i] }
    /Maximum resident set size/ { rss = $2 }
    END { printf "%-24s %9d rows: %6.2f s, %8.0f rows/s, peak memory %5.1f MB\n",
                 name, rows, s, rows / s, rss / 1024 }' "$work/time"
  rm -f "$work/in-$1.csv"
}
sorted_by_horizon 10000 3 sorted-10k && hostile sorted-10k 30000
sorted_by_horizon 100000 3 sorted-100k && hostile sorted-100k 300000
distinct_names 1000000 distinct-1M && hostile distinct-1M 1000000
bad_lines 2000000 bad-2M && hostile bad-2M 2000000
if [ -z "${VANTREL_BENCH_QUICK:-}" ]; then
  sorted_by_horizon 2000000 5 sorted-10M && hostile sorted-10M 10000000
fi
