#!/usr/bin/env bash
# package_test.sh BUILD_DIR: the install rules and the Debian package, as a
# user would meet them: installed into a scratch root, the program answers.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# cmake --install into a prefix.
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for f in bin/fieldcast lib/fieldcast/fieldcast share/doc/fieldcast/README.md share/doc/fieldcast/examples/fieldcast.service; do
  [ -e "$scratch/prefix/$f" ] || fail "cmake --install left out $f"
done
"$scratch/prefix/lib/fieldcast/fieldcast" --version | grep -q '^fieldcast ' || fail "installed program: no version"

# The Debian package: built, its dependencies named, unpacked into a scratch root.
(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$scratch"/pkg/fieldcast_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libncursesw6\|libtinfo6' <<<"$depends" || fail "package does not depend on the ncurses runtime: $depends"
dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root
"$root/usr/lib/fieldcast/fieldcast" --version | grep -q '^fieldcast ' || fail "packaged program: no version"

# The launcher gives the user a settings folder of their own.
sed "s#/usr/lib/fieldcast#$root/usr/lib/fieldcast#g" "$root/usr/bin/fieldcast" >"$scratch/launcher"
HOME=$scratch/home XDG_CONFIG_HOME='' sh "$scratch/launcher" --version | grep -q '^fieldcast ' || fail "launcher"
[ -d "$scratch/home/.config/fieldcast" ] || fail "launcher made no settings folder"
echo "package: $(basename "$deb") installs; depends: $depends"
