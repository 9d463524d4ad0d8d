#!/usr/bin/env bash
# Runs one harness for FUZZ_SECONDS seconds (default 60) over a fresh copy of its seed corpus,
# so that what it adds stays out of the source tree:
#   run_fuzzer.sh HARNESS SEED_DIR WORK_DIR
# Exits non-zero on any crash, leak, undefined behaviour, timeout or memory blow-up, with the
# end of libFuzzer's log and the input that caused it (kept in WORK_DIR).
set -euo pipefail
harness=$1 seeds=$2 work=$3
seconds=${FUZZ_SECONDS:-60}
name=$(basename "$harness")

rm -rf "$work"
mkdir -p "$work/corpus" "$work/tmp"
cp "$seeds"/* "$work/corpus/"
log=$work/log.txt
status=0
# Per input: 25 s at most and no single allocation above 2 GiB (the image decoders stop at
# 1 GiB). Temporary files of the harnesses go to WORK_DIR too.
TMPDIR=$work/tmp "$harness" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=3072 \
  -malloc_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/" \
  "$work/corpus" >"$log" 2>&1 || status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
echo "$name: ${runs:-?} runs in ${seconds} s (${rate:-?} exec/s), corpus $(ls "$seeds" | wc -l)" \
  "seeds -> $(ls "$work/corpus" | wc -l) inputs"
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log"
  echo "$name: FAILED (exit status $status); log and input in $work" >&2
  exit 1
fi
