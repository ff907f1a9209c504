#!/usr/bin/env bash
# The Debian 13 root that every Wine run of the Windows build goes through: Debian 12's Wine 8
# cannot compile the presentation's shaders, Debian 13's Wine 10 can. The root lives outside
# the clone (QUARVEL_WINE_ROOT, default /var/lib/quarvel/debian13-wine), is made once and
# reused; only Debian's package registry is used.
#
#   scripts/wine-root.sh make          makes the root, or adds what a newer list needs (root only)
#   scripts/wine-root.sh run CMD...    runs CMD inside it, in the current directory
#
# Entering uses bubblewrap: the root's /proc, /dev, /tmp and the clone are mounted in a mount
# namespace of their own, so they vanish with the command on every exit path, a kill included,
# and nothing is left mounted on the host. The command runs in its own PID namespace too, so
# a Wine server or an X server left behind ends with it. QUARVEL_WINE_BINDS names more host
# folders (colon-separated) to mount at the same paths.
set -euo pipefail

root=${QUARVEL_WINE_ROOT:-/var/lib/quarvel/debian13-wine}
mirror=http://deb.debian.org/debian
# What the Windows checks use inside: Wine 10 (64-bit side only: this kind of machine runs no
# 32-bit Linux programs), a virtual display with Mesa for Wine's Direct3D, and the tools that
# drive the display.
packages=(wine wine64 libwine xvfb xauth xdotool x11-utils libgl1-mesa-dri libglx-mesa0 procps python3)

enter() {
  local repo
  repo=$(cd "$(dirname "$0")/.." && pwd -P)
  local args=(--bind "$root" / --proc /proc --dev /dev --tmpfs /tmp --tmpfs /run
              --bind "$repo" "$repo" --unshare-pid --unshare-ipc --unshare-net --die-with-parent
              --setenv HOME /root --setenv LANG C.UTF-8)
  local dir
  IFS=: read -r -a extra <<< "${QUARVEL_WINE_BINDS:-}"
  for dir in "${extra[@]}"; do [ -n "$dir" ] && args+=(--bind "$dir" "$dir"); done
  if [ "$(id -u)" -eq 0 ]; then args+=(--cap-add ALL); fi
  exec bwrap "${args[@]}" --chdir "$PWD" "$@"
}

make_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "wine-root: making the Debian 13 root needs root (debootstrap, dpkg inside it)" >&2
    exit 2
  fi
  for tool in debootstrap bwrap; do
    command -v "$tool" >/dev/null || { echo "wine-root: $tool is missing (scripts/setup.sh wine)" >&2; exit 2; }
  done
  if [ ! -e "$root/.quarvel-base" ]; then
    # A half-made root from an interrupted run is started again rather than trusted.
    local partial="$root.partial"
    rm -rf "$partial"
    mkdir -p "$(dirname "$root")"
    echo "wine-root: debootstrap trixie into $root (a few minutes)" >&2
    debootstrap --variant=minbase trixie "$partial" "$mirror" >&2
    rm -rf "$root"
    mv "$partial" "$root"
    touch "$root/.quarvel-base"
  fi
  local missing=() p
  for p in "${packages[@]}"; do
    bwrap --bind "$root" / --proc /proc --dev /dev dpkg-query -W -f='${Status}' "$p" 2>/dev/null |
      grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && { echo "wine-root: $root ready" >&2; return; }
  echo "wine-root: installing ${missing[*]} inside $root" >&2
  local apt=(bwrap --bind "$root" / --proc /proc --dev /dev --tmpfs /tmp --ro-bind /etc/resolv.conf /etc/resolv.conf
             --cap-add ALL --setenv DEBIAN_FRONTEND noninteractive --setenv LANG C.UTF-8)
  "${apt[@]}" apt-get update -q >&2
  "${apt[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
  "${apt[@]}" apt-get clean >&2
  echo "wine-root: $root ready" >&2
}

case "${1:-}" in
  make) make_root ;;
  run)
    shift
    [ -e "$root/.quarvel-base" ] || { echo "wine-root: no root at $root (scripts/setup.sh wine)" >&2; exit 2; }
    enter "$@" ;;
  *) echo "usage: $0 make | run CMD..." >&2; exit 2 ;;
esac
