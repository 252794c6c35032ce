#!/usr/bin/env bash
# Builds Kivra on Debian 12 and starts the clock. Installs only what is
# missing, configures only once, so a second run goes straight to the clock.
# test.sh sources this file for the same set-up steps.
set -euo pipefail

KIVRA_BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev googletest
  libxcb1-dev libxcb-cursor0 fonts-dejavu-core
)

# Installs those of the given Debian packages that are not installed yet.
kivra_install() {
  local missing=() pkg
  for pkg in "$@"; do
    if [[ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]]; then
      missing+=("$pkg")
    fi
  done
  ((${#missing[@]} > 0)) || return 0

  local as_root=()
  if ((EUID != 0)); then
    if ! command -v sudo >/dev/null; then
      echo "kivra: these packages are missing and installing them needs root or sudo: ${missing[*]}" >&2
      exit 1
    fi
    as_root=(sudo)
  fi
  echo "kivra: installing ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# kivra_configure DIR [-DNAME=VALUE...]: configures DIR unless it already is,
# with those values; a tree configured otherwise (say, without the
# sanitizers) is configured again with them.
kivra_configure() {
  local dir="$1" option
  shift
  if [[ ! -f "$dir/CMakeCache.txt" ]]; then
    cmake -S . -B "$dir" -G Ninja "$@"
    return
  fi
  for option in "$@"; do
    option="${option#-D}"
    if ! grep -qE "^${option%%=*}:[A-Z]+=${option#*=}\$" "$dir/CMakeCache.txt"; then
      cmake -S . -B "$dir" "$@"
      return
    fi
  done
}

# kivra_build DIR [TARGET...]: builds those targets, or everything.
kivra_build() {
  local dir="$1"
  shift
  cmake --build "$dir" -j"$(nproc)" ${1:+--target "$@"}
}

kivra_run_main() {
  kivra_install "${KIVRA_BUILD_PACKAGES[@]}"
  kivra_configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
  # Only the clock: the test programs are test.sh's to build.
  kivra_build build kivra
  if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "kivra: no display: set DISPLAY (X11) or WAYLAND_DISPLAY and run ./run.sh again; the build is in build/bin/kivra" >&2
    exit 1
  fi
  exec build/bin/kivra
}

cd "$(dirname "${BASH_SOURCE[0]}")"
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  kivra_run_main
fi
