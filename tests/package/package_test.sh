#!/usr/bin/env bash
# package_test.sh BUILD_DIR: the install rules and the Debian package, as a
# user would meet them: installed into a scratch root, the program answers,
# and Debian's own checker finds no errors.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# cmake --install into a scratch root, as the package lays it out.
DESTDIR=$scratch/installed cmake --install "$build" --prefix /usr >/dev/null
for f in usr/bin/fieldcast usr/lib/fieldcast/fieldcast usr/share/man/man1/fieldcast.1.gz \
  usr/share/doc/fieldcast/README.md usr/share/doc/fieldcast/copyright usr/share/doc/fieldcast/changelog.gz \
  usr/share/doc/fieldcast/examples/fieldcast.service etc/fieldcast/GNSS.ini etc/fieldcast/CorvoNet.ini; do
  [ -e "$scratch/installed/$f" ] || fail "cmake --install left out $f"
done

# The Debian package: its dependencies named, the
# defaults conffiles, unpacked into a scratch root.
(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$scratch"/pkg/fieldcast_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libncursesw6\|libtinfo6' <<<"$depends" || fail "package does not depend on the ncurses runtime: $depends"
# OpenSSL is loaded only for https://, so no library link names it.
grep -q 'libssl3' <<<"$depends" || fail "package does not depend on OpenSSL: $depends"
conffiles=$(dpkg-deb -I "$deb" conffiles)
for f in /etc/fieldcast/GNSS.ini /etc/fieldcast/CorvoNet.ini; do
  grep -qx "$f" <<<"$conffiles" || fail "$f is not a conffile: $conffiles"
done
dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root
program=$root/usr/lib/fieldcast/fieldcast
"$program" --version | grep -q '^fieldcast ' || fail "packaged program: no version"

# Every option the program lists is in its manual page.
manual=$(zcat "$root/usr/share/man/man1/fieldcast.1.gz" | sed 's/\\-/-/g')
for option in $("$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
  grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$manual" || fail "the manual page leaves out $option"
done

# Options that keep nothing make no folder (the launcher's other rules:
# launcher_test.sh).
sed -e "s#^program=.*#program=$program#" -e "s#^defaults=.*#defaults=$root/etc/fieldcast#" \
  "$root/usr/bin/fieldcast" >"$scratch/launcher"
for option in --version --help; do
  HOME=$scratch/home XDG_CONFIG_HOME='' sh "$scratch/launcher" "$option" >/dev/null || fail "launcher $option"
  [ ! -e "$scratch/home" ] || fail "launcher $option made files: $(find "$scratch/home")"
done

# Debian's checker: no errors.
lintian --fail-on error --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>&1 ||
  { cat "$scratch/lintian.log"; fail "lintian"; }
grep -v '^running with root' "$scratch/lintian.log" >&2 || true
echo "package: $(basename "$deb") installs, lintian finds no errors; depends: $depends"
