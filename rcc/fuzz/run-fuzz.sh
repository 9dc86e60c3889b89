#!/usr/bin/env bash
# Runs the fuzz target for a bounded time on a fresh corpus; fails on any crash, leak or
# sanitizer report. Usage: run-fuzz.sh FUZZER WORKDIR SECONDS
set -euo pipefail
fuzzer=$1 work=$2 seconds=$3
rm -rf "$work" && mkdir -p "$work/corpus"
cd "$work"
exec "$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 corpus
