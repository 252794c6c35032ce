#!/usr/bin/env bash
# Runs kivra at beat 0 with the dock icon on under Xvfb for the given
# minutes (default 10; 60 for a release), works its context menu, a
# rotation, a colour change and a zoom step every minute, and reports its
# memory over time. Exits 1 when RssAnon grows by more than 256 kB after the
# first minute or an action fails. Usage: bench/soak.sh [minutes]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source ./run.sh

kivra_install "${KIVRA_BUILD_PACKAGES[@]}" xvfb x11-apps xdotool python3
kivra_configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
kivra_build build

exec python3 bench/harness/soak.py "$@"
