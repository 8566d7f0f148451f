#!/usr/bin/env bash
# vantrel-batch built with ThreadSanitizer, on many threads with every output, the report
# included, several times over: no data race, no crash, every output whole.
#   batch_threads.sh BATCH_PROGRAM REFERENCE_DIR EXAMPLES_DIR [RUNS]
set -u
batch="$1"
reference="$2"
examples="$3"
runs="${4:-3}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TSAN_OPTIONS="halt_on_error=1:exitcode=66:second_deadlock_stack=1"
# More profiles than one chunk of 256, so that the jobs overlap.
{
  cat "$examples/fields.csv"
  awk 'BEGIN { for (p = 0; p < 600; p++) for (h = 1; h <= 3; h++)
    printf "extra-%04d,%d,%d,%d,%d,0,%s,,,%s,,\n", p, h, 20 + h * 5, 20 + p % 50, 10 + h * 3,
           h == 1 ? "Potato" : "", h == 1 ? "5" : "" }'
} > "$work/in.csv"
for run in $(seq "$runs"); do
  for jobs in 8 2; do
    if ! "$batch" --quiet --jobs "$jobs" --data "$reference" --report "$work/r.pdf" \
      --results "$work/r.csv" --json "$work/r.json" --horizons "$work/h.csv" "$work/in.csv" \
      2> "$work/err"; then
      echo "run $run with $jobs jobs failed:"
      cat "$work/err"
      exit 1
    fi
    tail -c 6 "$work/r.pdf" | grep -q "%%EOF" || { echo "run $run: the report is not whole"; exit 1; }
    if ls -a "$work" | grep -q partial; then echo "run $run: temporary files left"; exit 1; fi
  done
done
echo "$runs runs of 8 and 2 jobs with every output: no race, no crash"
