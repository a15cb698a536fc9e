#!/usr/bin/env bash
# run-fuzzer.sh BINARY SECONDS WORKDIR REGRESSIONS [SEED_DIR...]
# Replays every input that once crashed, then fuzzes for a fixed time from the seeds.
set -euo pipefail
bin=$1 seconds=$2 work=$3 regressions=$4
shift 4
rm -rf "$work"; mkdir -p "$work/corpus" "$work/crashes"
if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions" 2>/dev/null)" ]; then
  "$bin" "$regressions"/*
fi
seeds=()
for d in "$@"; do [ -d "$d" ] && seeds+=("$d"); done
exec "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/crashes/" -print_final_stats=1 "$work/corpus" "${seeds[@]}"
