#!/bin/sh
# Runs the shared relay harness with str2str and the program as clients side by
# side, in one invocation per scenario; results go to bench/results/.
# Usage: bench/run-side-by-side.sh [PROGRAM]   (about 8 minutes)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../build-bench/src/app/fieldcast}
harness=${RELAY_BENCH:-$here/../../shared/bench/relay_bench.py}
out=$here/results
mkdir -p "$out"
run() {
  name=$1; shift
  python3 "$harness" --repeat 3 --alternate \
    --client 'str2str -in ntrip://{caster_host}:{caster_port}/{mountpoint} -out serial://{pty_devname}:115200' \
    --label str2str \
    --client "$here/fieldcast-client.sh $program {caster_port} {mountpoint}" --label fieldcast \
    --client-env 'FIELDCAST_COM1={pty_path}' --client-cwd "$here" \
    --json "$out/$name.json" "$@" 2>&1 | tee "$out/$name.txt" || true
}
run a-1k --caster builtin --rate 1k --block-size 128 --duration 20
run b-100k --caster builtin --rate 100k --block-size 256 --duration 10
run c-max-open --caster builtin --rate max --block-size 4096 --bytes 20M --duration 20
run c-max-closed-str2str-caster --caster str2str --rate max --block-size 1024 --max-inflight 32Ki --bytes 20M --duration 20
