#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   1. the whole suite in a normal build,
#   2. the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer,
#   3. the threaded suites under ThreadSanitizer,
#   4. every fuzz target for a short fixed time (clang's libFuzzer).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
jobs=$(nproc)
status=0 passed=0 failed=0
log=$(mktemp); trap 'rm -f "$log"' EXIT

run_suite() {  # run_suite NAME BUILD_DIR [ctest args...]
  local name=$1 dir=$2; shift 2
  echo "=== $name"
  local rc=0
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@" >"$log" 2>&1 || rc=$?
  cat "$log"
  [ $rc -eq 0 ] || status=1
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad)); failed=$((failed + bad))
  fi
}

echo "=== building: normal (build/)"
"$here/scripts/build.sh" "$here/build"
run_suite "normal build" "$here/build"

echo "=== building: AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/)"
"$here/scripts/build.sh" "$here/build-asan" -DFIELDCAST_SANITIZE=address
run_suite "address and undefined sanitizers" "$here/build-asan" -LE fuzz

echo "=== building: ThreadSanitizer (build-tsan/)"
"$here/scripts/build.sh" "$here/build-tsan" -DFIELDCAST_SANITIZE=thread
run_suite "thread sanitizer" "$here/build-tsan" -L threaded

echo "=== building: fuzz targets with clang (build-fuzz/)"
"$here/scripts/build.sh" "$here/build-fuzz" -DFIELDCAST_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
run_suite "fuzz targets" "$here/build-fuzz" -L fuzz

[ $status -eq 0 ] || [ $failed -gt 0 ] || failed=1  # a build or runner failure counts too
echo "$passed passed, $failed failed"
exit $status
