#!/usr/bin/env bash
# Measures what a running Kivra costs next to xclock and two plain Qt floors
# (one that only keeps the clock's timer, one that also draws the face and
# its window icon on the clock's beat): start-up to first frame and to the
# current time shown, CPU (with each program's X server) and memory over the
# same minute at three window sizes, scaled, and on an openbox desktop with a
# tint2 taskbar, and instructions per beat under callgrind at each size;
# prints the table with the targets. Installs what is missing, builds kivra
# (build/), the floors and the first-frame helper (build-bench/), then runs
# the harness. Arguments go to the harness: bench/run.sh --help. Exits 1 when
# a target fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source ./run.sh

KIVRA_BENCH_PACKAGES=(
  xvfb x11-apps x11-utils xdotool valgrind python3 openbox tint2
  pkg-config libxcb1-dev libxcb-damage0-dev
)
kivra_install "${KIVRA_BUILD_PACKAGES[@]}" "${KIVRA_BENCH_PACKAGES[@]}"

kivra_configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
kivra_build build
for part in reference tools; do
  if [[ ! -f build-bench/$part/CMakeCache.txt ]]; then
    cmake -S bench/$part -B build-bench/$part -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  cmake --build build-bench/$part
done

exec python3 bench/harness/measure.py "$@"
