#!/usr/bin/env bash
# Runs the formula fuzz target for a bounded time, starting from the seed formulas; fails on
# any crash, leak, sanitizer report or input that takes longer than the per-input limit.
# Usage: run-fuzz.sh FUZZER SEEDS DICTIONARY WORKDIR SECONDS
set -euo pipefail
fuzzer=$1 seeds=$2 dict=$3 work=$4 seconds=$5
rm -rf "$work" && mkdir -p "$work/corpus"
cd "$work"
exec "$fuzzer" -max_total_time="$seconds" -max_len=512 -timeout=2 -rss_limit_mb=2048 \
    -dict="$dict" -print_final_stats=1 corpus "$seeds"
