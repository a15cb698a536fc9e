#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those
# already present (so a machine without network but with the packages works).
set -euo pipefail
packages=(
  g++ cmake make pkg-config
  libncurses-dev          # the terminal display (ncursesw)
  libgtest-dev            # unit tests
  libbenchmark-dev        # bench/
  clang libclang-rt-14-dev  # libFuzzer for the fuzz targets
  rtklib                  # str2str: the real NTRIP caster in tests
  gpsd-clients            # gpsdecode: the independent RTCM 3 decoder the health tests compare with
  tmux                    # end-to-end tests drive the program in a terminal
  ncurses-term            # terminfo entries such as xterm-direct (24-bit colour)
  python3                 # the demo and the relay benchmark's harness
  dpkg-dev file           # CPack's Debian package: dpkg-shlibdeps finds its dependencies
  libssl-dev              # TLS to casters written https://
  openssl stunnel4        # tests: a test CA and a TLS front for the casters
  lintian                 # the package test checks the .deb with Debian's own checker
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "Packages: all ${#packages[@]} present."
else
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
