#!/bin/sh
# Runs the shared relay harness with str2str and the program as clients side by
# side, in one invocation per scenario; results go to bench/results/.
# Usage: bench/run-side-by-side.sh [PROGRAM [BASELINE]]   (about 8 minutes)
#   BASELINE: an earlier build of the program, measured as a further client.
#   The bare relay (bench/bare_relay.cpp, built with the benchmarks) runs as
#   a client too when it is built: the floor of the set-up, read and write
#   per block and nothing else. BARE_RELAY=PATH names another build of it.
#   PACED_SECONDS=N sets the paced scenarios' duration (20 s and 10 s by default;
#   use 60 or more so that the CPU clock's ticks do not decide cpu s/MB).
#   ONLY="a-1k b-100k" runs only those scenarios.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../build-bench/src/app/fieldcast}
baseline=${2:-}
bare=${BARE_RELAY:-$here/../build-bench/bench/bare_relay}
harness=${RELAY_BENCH:-$here/../../shared/bench/relay_bench.py}
paced=${PACED_SECONDS:-}
only=${ONLY:-}
out=$here/results
mkdir -p "$out"
run() {
  name=$1; shift
  case " ${only:-$name} " in *" $name "*) ;; *) return 0 ;; esac
  # str2str first: the ratios are taken against the first client.
  set -- "$@" --client 'str2str -in ntrip://{caster_host}:{caster_port}/{mountpoint} -out serial://{pty_devname}:115200' \
    --label str2str \
    --client "$here/fieldcast-client.sh $program {caster_port} {mountpoint}" --label fieldcast
  if [ -x "$bare" ]; then
    set -- "$@" --client "$here/fieldcast-client.sh $bare {caster_port} {mountpoint}" --label bare
  fi
  if [ -n "$baseline" ]; then
    set -- "$@" --client "$here/fieldcast-client.sh $baseline {caster_port} {mountpoint}" --label baseline
  fi
  python3 "$harness" --repeat 3 --alternate \
    --client-env 'FIELDCAST_COM1={pty_path}' --client-cwd "$here" \
    --json "$out/$name.json" "$@" 2>&1 | tee "$out/$name.txt" || true
}
run a-1k --caster builtin --rate 1k --block-size 128 --duration "${paced:-20}"
run b-100k --caster builtin --rate 100k --block-size 256 --duration "${paced:-10}"
run c-max-open --caster builtin --rate max --block-size 4096 --bytes 20M --duration 20
run c-max-closed-str2str-caster --caster str2str --rate max --block-size 1024 --max-inflight 32Ki --bytes 20M --duration 20
