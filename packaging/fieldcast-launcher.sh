#!/bin/sh
# Installed as /usr/bin/fieldcast. The program keeps its files (GNSS.ini,
# sourcetable.dat) beside its executable unless told otherwise; an installed
# one lives in a directory users cannot write, so each user gets their own
# folder unless a --dir is given.
for arg in "$@"; do
  case "$arg" in --dir|--dir=*) exec /usr/lib/fieldcast/fieldcast "$@" ;; esac
done
dir="${XDG_CONFIG_HOME:-$HOME/.config}/fieldcast"
mkdir -p "$dir" && chmod 700 "$dir"
exec /usr/lib/fieldcast/fieldcast --dir "$dir" "$@"
