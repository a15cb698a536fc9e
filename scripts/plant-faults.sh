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

# The suites run in two rounds: the quick ones first, since most faults fail
# one of them within seconds, and the threaded, terminal and package ones only
# for the faults the quick round missed. Each round stops at its first failing
# suite, so a caught fault costs little and only a surviving one runs all.
suites_matching() { ctest --test-dir "$build" -N "$@" | sed -n 's/^ *Test *#[0-9]*: //p' | grep -vx package_test || true; }
# The build targets the suites need: those named like a suite (a suite run
# by a script has none), and the program for the terminal suites.
targets_of() {
  local t=("$@")
  [[ " ${t[*]} " == *" e2e_"* || " ${t[*]} " == *" package_"* ]] && t+=(fieldcast)
  printf '%s\n' "${t[@]}" | grep -xF -f "$scratch/targets" | paste -sd' ' -
}
regex_of() { echo "^($(IFS='|'; echo "$*"))\$"; }
# round NAMES...: builds and runs them; 0 when all pass, 1 when one fails
# (the failing suites in $failed), 2 when the tree does not build.
round() {
  [ $# -gt 0 ] || return 0
  # shellcheck disable=SC2046
  cmake --build "$build" -j "$(nproc)" --target $(targets_of "$@") >"$scratch/build.log" 2>&1 || return 2
  ctest --test-dir "$build" -R "$(regex_of "$@")" -j "$(nproc)" --stop-on-failure >>"$scratch/fault.log" 2>&1 && return 0
  failed=$(grep -oE '[0-9]+ - [a-z0-9_]+' "$scratch/fault.log" | sed 's/.* - //' | paste -sd, - || true)
  return 1
}

if [ $check -eq 0 ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
  cmake --build "$build" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p' >"$scratch/targets"
  pattern=${suites:-.}
  mapfile -t quick < <(suites_matching -R "$pattern" -LE 'fuzz|threaded|e2e|package')
  mapfile -t slow < <(suites_matching -R "$pattern" -LE fuzz | grep -vxF -f <(printf '%s\n' "${quick[@]}" ''))
  [ $((${#quick[@]} + ${#slow[@]})) -gt 0 ] || { echo "no suite matches '$pattern'" >&2; exit 2; }
  echo "quick round: ${quick[*]}"
  echo "slow round: ${slow[*]}"
  # shellcheck disable=SC2046
  cmake --build "$build" -j "$(nproc)" --target $(targets_of "${quick[@]}" "${slow[@]}") >"$scratch/build.log" 2>&1 ||
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
  result=survived failed=''
  : >"$scratch/fault.log"
  if round "${quick[@]}"; then status=0; round "${slow[@]}" || status=$?; else status=$?; fi
  case $status in
    1) result="caught ($failed)" ;;
    2) result="caught (does not build)" ;;
  esac
  cp "$scratch/fault.log" "$scratch/fault-$n.log"
  # A plain copy, so the file is newer than its object and is built again.
  cp "$pristine/$file" "$src/$file"
  if [ "$result" = survived ]; then survived=$((survived + 1)); else caught=$((caught + 1)); fi
  echo "$result  $label"
done <"$list"

echo "faults: $n; caught: $caught; survived: $survived; not applicable: $skipped"
[ $survived -eq 0 ] && [ $skipped -eq 0 ]
