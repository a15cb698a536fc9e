#!/usr/bin/env bash
# run.sh [--demo] [program options...]
# Installs what is missing, builds the program and starts it in this terminal.
# --demo starts it against a local caster and a simulated receiver (see
# demo/fieldcast_demo.py); other arguments go to the program (for example
# --headless, --dir DIR, --start).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
[ -f "$here/build/CMakeCache.txt" ] || echo "Configuring the build in build/ ..."
mkdir -p "$here/build"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >"$here/build/last-configure.log" 2>&1 ||
  { cat "$here/build/last-configure.log" >&2; exit 1; }
echo "Building fieldcast (a first build takes a minute or two; later ones only what changed) ..."
log="$here/build/last-build.log"
if ! cmake --build "$here/build" --target fieldcast -j "$(nproc)" 2>&1 | tee "$log" |
    { grep --line-buffered -E '^\[ *[0-9]+%\] (Building|Linking)' || true; }; then
  cat "$log" >&2
  echo "The build failed (full output above and in build/last-build.log)." >&2
  exit 1
fi
program="$here/build/src/app/fieldcast"
if [ "${1:-}" = "--demo" ]; then
  shift
  exec python3 "$here/demo/fieldcast_demo.py" --program "$program" "$@"
fi
exec "$program" "$@"
