#!/usr/bin/env bash
# Runs a fuzz target on its committed seeds, then on new inputs for a bounded time; fails
# on any crash, leak, time-out or sanitizer report. New inputs go to a fresh work folder,
# so the committed corpus never changes during a test run.
# Usage: run-fuzz.sh FUZZER SEEDS WORKDIR SECONDS
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work" && mkdir -p "$work/corpus"
cd "$work"
exec "$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 corpus "$seeds"
