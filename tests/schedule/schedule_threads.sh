#!/usr/bin/env bash
# vantrel-schedule built with ThreadSanitizer, on several threads with every output, the report
# included: no data race, no crash, and the outputs those of one job, byte for byte.
#   schedule_threads.sh SCHEDULE_PROGRAM REFERENCE_DIR EXAMPLES_DIR
set -u
schedule="$1"
reference="$2"
examples="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TSAN_OPTIONS="halt_on_error=1:exitcode=66:second_deadlock_stack=1"
# More profiles than a few chunks of 16, so that the jobs overlap.
awk 'BEGIN {
  print "profile,horizon,thickness,sand,clay,stones,root_depth,tolerance,planting_date,kc_ini," \
        "kc_mid,kc_end,l_ini,l_dev,l_mid,l_late,strategy,depth_mm"
  for (p = 0; p < 120; p++) for (h = 1; h <= 2; h++)
    printf "f-%03d,%d,%d,%d,%d,0,%s,%s,%s,%s\n", p, h, 20 + h * 10, 20 + p % 50, 10 + h * 3,
           h == 1 ? 60 + p % 50 : "", h == 1 ? "50" : "", h == 1 ? "2026-04-0" (1 + p % 9) : "",
           h == 1 ? "0.3,1.15,0.5,20,30,40,30," (p % 2 ? "refill" : "fixed-depth") ",25" : ",,,,,,,,"
}' > "$work/in.csv"
for jobs in 1 4; do
  if ! "$schedule" --quiet --jobs "$jobs" --data "$reference" --weather "$examples/weather.csv" \
    --schedule "$work/s$jobs.csv" --events "$work/e$jobs.csv" --json "$work/j$jobs.json" \
    --report "$work/r$jobs.html" "$work/in.csv" 2> "$work/err$jobs"; then
    echo "$jobs jobs failed:"
    cat "$work/err$jobs"
    exit 1
  fi
done
for f in s%.csv e%.csv j%.json r%.html err%; do
  cmp "$work/${f/\%/1}" "$work/${f/\%/4}" || { echo "${f/\%/}: 4 jobs differ from one"; exit 1; }
done
echo "vantrel-schedule on 4 jobs with every output: no race, no crash, the outputs of one job"
