#!/usr/bin/env bash
# plant-faults.sh [options]: plants each fault of a list, one at a time, in a
# scratch copy of the source, rebuilds and runs the tests, and says which
# faults the tests catch. A developer's tool: a surviving fault is a rule the
# tests do not pin.
#
#   --list FILE     the faults (default scripts/planted-faults.txt): one a line,
#                   "file<TAB>text<TAB>replacement"; # starts a comment;
#                   {NL} in text or replacement stands for a line break
#   --suites REGEX  run only the ctest suites matching REGEX (default: all but
#                   the package check); only their binaries are rebuilt
#   --rev REV       plant into the committed tree REV instead of the work tree
#                   (e.g. main, to measure tests before a change)
#   --scratch DIR   the scratch copy and its build (default /tmp/fieldcast-faults-REV);
#                   kept between runs so each rebuild is incremental
#   --only N        plant only fault number N (1-based, counting fault lines)
#   --check         only say whether each fault applies; build nothing
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
list=$here/scripts/planted-faults.txt suites='' rev='' scratch='' only='' check=0
while [ $# -gt 0 ]; do
  case $1 in
    --list) list=$(realpath "$2"); shift 2 ;;
    --suites) suites=$2; shift 2 ;;
    --rev) rev=$2; shift 2 ;;
    --scratch) scratch=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --check) check=1; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done

scratch=${scratch:-/tmp/fieldcast-faults-${rev:-worktree}}
# The build lies inside the copy as build/ does in a checkout, so that ccache
# finds the objects of the developer's own builds.
src=$scratch/tree build=$scratch/tree/build pristine=$scratch/pristine
mkdir -p "$scratch"
rm -rf "$pristine"; mkdir -p "$pristine"
if [ -n "$rev" ]; then
  git -C "$here" archive "$rev" | tar -x -C "$pristine"
else
  (cd "$here" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$pristine" 2>/dev/null || true)
fi
# Only files that differ are copied (as new files), so unchanged objects stay
# up to date and changed ones are built again.
mkdir -p "$src"
(cd "$src" && find . -type f ! -path './build/*') | sort >"$scratch/had"
(cd "$pristine" && find . -type f) | sort >"$scratch/has"
comm -23 "$scratch/had" "$scratch/has" | (cd "$src" && xargs -r rm -f)
while read -r f; do
  cmp -s "$pristine/$f" "$src/$f" || { mkdir -p "$(dirname "$src/$f")"; cp "$pristine/$f" "$src/$f"; }
done <"$scratch/has"

# How often `text` occurs in `file` (exact bytes, no patterns).
occurrences() { TEXT=${2//\{NL\}/$'\n'} perl -0777 -ne '$n = () = /\Q$ENV{TEXT}\E/g; print $n' "$1"; }
plant() { TEXT=${2//\{NL\}/$'\n'} WITH=${3//\{NL\}/$'\n'} perl -0777 -i -pe 's/\Q$ENV{TEXT}\E/$ENV{WITH}/' "$1"; }

if [ $check -eq 0 ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
  pattern=${suites:-.}
  mapfile -t tests < <(ctest --test-dir "$build" -N -R "$pattern" -LE fuzz | sed -n 's/^ *Test *#[0-9]*: //p' | grep -vx package_test || true)
  [ ${#tests[@]} -gt 0 ] || { echo "no suite matches '$pattern'" >&2; exit 2; }
  targets=("${tests[@]}")
  [[ " ${tests[*]} " == *" e2e_"* ]] && targets+=(fieldcast)
  echo "suites: ${tests[*]}"
  regex="^($(IFS='|'; echo "${tests[*]}"))\$"
  cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >"$scratch/build.log" 2>&1 ||
    { echo "the unchanged tree does not build: $scratch/build.log" >&2; exit 1; }
fi

n=0 caught=0 survived=0 skipped=0
while IFS=$'\t' read -r file text with || [ -n "$file" ]; do
  case $file in ''|'#'*) continue ;; esac
  n=$((n + 1))
  [ -z "$only" ] || [ "$only" -eq $n ] || continue
  label="#$n $file: '$text' -> '$with'"
  count=0
  [ -f "$src/$file" ] && count=$(occurrences "$src/$file" "$text")
  if [ "$count" != 1 ]; then
    echo "not applicable ($count matches)  $label"; skipped=$((skipped + 1)); continue
  fi
  [ $check -eq 0 ] || { echo "applies  $label"; continue; }
  plant "$src/$file" "$text" "$with"
  result=survived
  if ! cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >"$scratch/build.log" 2>&1; then
    result="caught (does not build)"
  elif ! ctest --test-dir "$build" -R "$regex" -j "$(nproc)" >"$scratch/fault-$n.log" 2>&1; then
    result="caught ($(grep -oE '[0-9]+ - [a-z_]+' "$scratch/fault-$n.log" | sed 's/.* - //' | paste -sd, -))"
  fi
  # A plain copy, so the file is newer than its object and is built again.
  cp "$pristine/$file" "$src/$file"
  if [ "$result" = survived ]; then survived=$((survived + 1)); else caught=$((caught + 1)); fi
  echo "$result  $label"
done <"$list"

echo "faults: $n; caught: $caught; survived: $survived; not applicable: $skipped"
[ $survived -eq 0 ] && [ $skipped -eq 0 ]
