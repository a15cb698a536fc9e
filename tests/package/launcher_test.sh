#!/usr/bin/env bash
# launcher_test.sh LAUNCHER: the installed launcher's rules for the user's
# folder, against a stand-in program that prints what it was given.
set -euo pipefail
launcher=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$scratch/etc"
printf '[Design]\nColour=Corvo\n' >"$scratch/etc/GNSS.ini"
printf 'CAS;caster.example.net;2101;X;Op;0;DEU;1;2;0.0.0.0;0;x\r\n' >"$scratch/etc/CorvoNet.ini"
printf '#!/bin/sh\necho "ran: $*"\n' >"$scratch/program"
chmod 755 "$scratch/program"
sed -e "s#^program=.*#program=$scratch/program#" -e "s#^defaults=.*#defaults=$scratch/etc#" "$launcher" >"$scratch/launcher"

# run HOME XDG_CONFIG_HOME ARGS...: the launcher's output (both streams);
# its status in $status.
run() {
  local home=$1 xdg=$2
  shift 2
  set +e
  output=$(HOME=$home XDG_CONFIG_HOME=$xdg sh "$scratch/launcher" "$@" 2>&1)
  status=$?
  set -e
}
mode() { stat -c %a "$1"; }

# A first run: a private folder with the service's defaults in it.
run "$scratch/home" ""
[ "$status" = 0 ] && [ "$output" = "ran: --dir $scratch/home/.config/fieldcast" ] || fail "first run: $status $output"
dir=$scratch/home/.config/fieldcast
[ "$(mode "$dir")" = 700 ] || fail "folder mode $(mode "$dir")"
cmp -s "$dir/GNSS.ini" "$scratch/etc/GNSS.ini" && cmp -s "$dir/CorvoNet.ini" "$scratch/etc/CorvoNet.ini" || fail "defaults not copied"
[ "$(mode "$dir/GNSS.ini")" = 600 ] || fail "copied GNSS.ini mode $(mode "$dir/GNSS.ini")"

# The user's own files stay theirs.
printf 'mine\n' >"$dir/GNSS.ini"
rm "$dir/CorvoNet.ini"
run "$scratch/home" ""
[ "$(cat "$dir/GNSS.ini")" = mine ] || fail "the user's GNSS.ini was replaced"
[ -f "$dir/CorvoNet.ini" ] || fail "a missing CorvoNet.ini was not copied"

# Where the folder is: an absolute XDG_CONFIG_HOME is used, a relative one
# ignored; --dir and the options that keep nothing make no folder at all.
run "$scratch/home2" "$scratch/xdg"
[ "$output" = "ran: --dir $scratch/xdg/fieldcast" ] || fail "absolute XDG_CONFIG_HOME: $output"
(cd "$scratch" && run "$scratch/home3" "relative" && [ "$output" = "ran: --dir $scratch/home3/.config/fieldcast" ]) ||
  fail "relative XDG_CONFIG_HOME was used"
[ ! -e "$scratch/relative" ] || fail "a relative XDG_CONFIG_HOME got a folder"
for args in "--help" "--version" "-h" "--list-ports" "--dir $scratch --start"; do
  # shellcheck disable=SC2086
  run "$scratch/home4" "" $args
  [ "$output" = "ran: $args" ] || fail "$args: $output"
  [ ! -e "$scratch/home4" ] || fail "$args made a folder"
done

# Folders and settings somebody else could have planted or may write are
# refused, naming them; nothing runs.
refused() {  # PATH WHAT
  [ "$status" = 1 ] || fail "$2: status $status, output $output"
  case "$output" in *"$1"*refusing*) ;; *) fail "$2: message does not name $1: $output" ;; esac
  case "$output" in *ran:*) fail "$2: the program ran" ;; esac
}
chmod 770 "$dir"
run "$scratch/home" ""
refused "$dir" "a folder its group can write"
chmod 707 "$dir"
run "$scratch/home" ""
refused "$dir" "a folder others can write"
chmod 700 "$dir"
chmod 646 "$dir/GNSS.ini"
run "$scratch/home" ""
refused "$dir/GNSS.ini" "a GNSS.ini others can write"
chmod 600 "$dir/GNSS.ini"
if [ "$(id -u)" = 0 ]; then
  chown 12345:12345 "$dir/GNSS.ini"
  run "$scratch/home" ""
  refused "$dir/GNSS.ini" "a GNSS.ini of another user"
  chown 0:0 "$dir/GNSS.ini"
  chown 12345:12345 "$dir"
  run "$scratch/home" ""
  refused "$dir" "a folder of another user"
else
  # A folder that is a link to one of root's.
  mkdir -p "$scratch/shared" && ln -s / "$scratch/shared/fieldcast"
  run "$scratch/home" "$scratch/shared"
  refused "$scratch/shared/fieldcast" "a folder of another user"
fi
echo "launcher: all cases hold"
