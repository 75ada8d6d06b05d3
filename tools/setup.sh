#!/usr/bin/env bash
# Installs everything the builds, the tests and the run command need on a
# Debian 12 machine. Safe to run again: installs only what is missing.
# Usage: tools/setup.sh [--i386] [PACKAGE...]
#   --i386   adds Debian's i386 architecture (tools/fetch-wine-i386.sh unpacks a 32-bit package)
#   PACKAGE  what a helper needs beyond the list below (tools/render-page.sh: chromium)
set -euo pipefail
i386=false
if [ "${1:-}" = --i386 ]; then i386=true; shift; fi

packages=(
  cmake ninja-build g++ clang-format clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine64 libgnutls30 xvfb xauth x11-utils imagemagick fonts-vlgothic locales
  python3 openssl iproute2 util-linux bc
  qemu-system-x86 debootstrap fakeroot e2fsprogs cpio kmod
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

if $i386 && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  "${sudo_cmd[@]}" apt-get update -qq
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine under a Japanese locale needs the C library's ja_JP.UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
