#!/usr/bin/env bash
# Runs every test: unit, widget and end-to-end tests on the normal build,
# then all of them again under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source ./run.sh

KIVRA_TEST_PACKAGES=(
  xvfb xauth xdotool x11-utils x11-apps imagemagick python3 tzdata openbox libfaketime
  xserver-xephyr x11-xserver-utils
  clang libclang-rt-dev
)

kivra_install "${KIVRA_BUILD_PACKAGES[@]}" "${KIVRA_TEST_PACKAGES[@]}"

failed=0

kivra_configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
kivra_build build
ctest --test-dir build --output-on-failure --no-tests=error -j8 || failed=1

# The sanitizer options hold for the build too: test discovery runs the
# test programs while building.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
kivra_configure build-asan -DKIVRA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
kivra_build build-asan
ctest --test-dir build-asan -LE e2e --output-on-failure --no-tests=error -j8 || failed=1
# The end-to-end cases again, on the sanitizer build's own kivra.
ctest --test-dir build-asan -L e2e --output-on-failure --no-tests=error -j8 || failed=1

if ((failed)); then
  echo "kivra: some tests failed" >&2
fi
exit "$failed"
