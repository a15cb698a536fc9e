#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments are
# passed to the program (for example --headless, --dir DIR, --start).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" --target fieldcast -j "$(nproc)" >/dev/null
exec "$here/build/src/app/fieldcast" "$@"
