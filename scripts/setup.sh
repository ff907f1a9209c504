#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the build-time tools need.
# Safe to run again: it only asks apt for what is missing, and refreshes the package lists
# only when something has to be installed.
#
#   scripts/setup.sh         what ./run.sh and ./test.sh need
#   scripts/setup.sh wine    that, the 64-bit Windows compiler, GoogleTest's sources (which the
#                            Windows GPU suites build), and a Debian 13 root with Wine 10 outside
#                            the clone (scripts/wine-root.sh; made once, needs root), which only
#                            the Windows checks under Wine and the peer benchmark use (large)
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libsdl2-dev libgtk-3-dev
  libgl-dev libegl-dev libgl1-mesa-dri
  glslang-dev spirv-headers spirv-tools libspirv-cross-c-shared-dev libopengl-dev
  zlib1g-dev libstb-dev
  libmpg123-dev libkissfft-dev libmp3lame-dev lame libebur128-dev
  libcairo2-dev fonts-dejavu-core
  ffmpeg
  binutils-mingw-w64-i686 g++-mingw-w64-i686-posix libz-mingw-w64-dev python3
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool
  clang-14 libclang-rt-14-dev clang-format-14
)
for extra in "$@"; do
  case "$extra" in
    wine) packages+=(g++-mingw-w64-x86-64-posix googletest debootstrap bubblewrap python3-numpy python3-pil) ;;
    *) echo "setup: unknown package group '$extra' (known: wine)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages present" >&2
else
  echo "setup: installing ${missing[*]}" >&2
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
fi

for extra in "$@"; do
  if [ "$extra" = wine ]; then
    root_cmd=()
    if [ "$(id -u)" -ne 0 ]; then root_cmd=(sudo); fi
    "${root_cmd[@]}" "$(dirname "$0")/wine-root.sh" make
  fi
done
