#!/bin/sh
# Installed as /usr/bin/fieldcast. The program keeps its files (GNSS.ini,
# sourcetable.dat, CorvoNet.ini) beside its executable unless told
# otherwise; an installed one lives in a directory users cannot write, so
# each user gets their own folder unless a --dir is given.
program=/usr/lib/fieldcast/fieldcast
defaults=/etc/fieldcast

for arg in "$@"; do
  case "$arg" in
    --dir|--dir=*) exec "$program" "$@" ;;
    # Nothing to keep: no folder is made for them.
    --help|-h|--version|--list-ports) exec "$program" "$@" ;;
  esac
done

# The password is kept in GNSS.ini: nothing made here is for other eyes.
umask 077

# A relative XDG_CONFIG_HOME is to be ignored, as the XDG rules say.
case "${XDG_CONFIG_HOME:-}" in
  /*) base=$XDG_CONFIG_HOME ;;
  *) base=$HOME/.config ;;
esac
dir=$base/fieldcast

# Like ssh with ~/.ssh: a folder (or settings file) that somebody else owns
# or may write could hand the password to them, or feed us their settings.
refuse() {
  echo "fieldcast: $1: $2; refusing to use it (fix it, or give --dir DIR)" >&2
  exit 1
}
check() {
  [ -O "$1" ] || refuse "$1" "not owned by $(id -un)"
  case "$(stat -L -c %A "$1")" in
    ?????w????|????????w?) refuse "$1" "others can write it" ;;
  esac
}

if [ ! -e "$dir" ]; then
  mkdir -p "$base" && mkdir -m 700 "$dir" || exit 1
fi
check "$dir"
[ -d "$dir" ] || refuse "$dir" "not a directory"

# A service's branding and caster list: copied once, where the user has
# none of their own, and theirs from then on.
for name in GNSS.ini CorvoNet.ini; do
  if [ ! -e "$dir/$name" ] && [ ! -L "$dir/$name" ] && [ -f "$defaults/$name" ]; then
    cp "$defaults/$name" "$dir/$name" || exit 1
  fi
done
if [ -e "$dir/GNSS.ini" ]; then
  check "$dir/GNSS.ini"
fi

exec "$program" --dir "$dir" "$@"
