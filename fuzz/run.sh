#!/usr/bin/env bash
# fuzz/run.sh [seconds-per-target] [target...]
#
# Builds the fuzz targets with clang and libFuzzer under AddressSanitizer and
# UBSan into build-fuzz/, then runs each target (all of them when none is named)
# for the given time (60 s by default), one after the other. Each run starts
# from fuzz/corpus/<target>/ and grows a working corpus in build-fuzz/corpus/;
# a crash is saved in build-fuzz/findings/<target>/. Copy a crash into
# fuzz/regressions/<target>/ to keep it: ./test.sh replays those.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source ./run.sh

seconds="${1:-60}"
shift || true
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: fuzz/run.sh [seconds-per-target] [target...]" >&2
  exit 2
fi

kivra_install "${KIVRA_BUILD_PACKAGES[@]}" clang libclang-rt-dev
if [[ ! -f build-fuzz/CMakeCache.txt ]]; then
  CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build-fuzz -j"$(nproc)"

targets=("$@")
if ((${#targets[@]} == 0)); then
  for source in fuzz/*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"

status=0
for target in "${targets[@]}"; do
  binary="build-fuzz/fuzz/fuzz_$target"
  if [[ ! -x "$binary" ]]; then
    echo "fuzz: no target $target" >&2
    status=1
    continue
  fi
  corpus="build-fuzz/corpus/$target"
  findings="build-fuzz/findings/$target"
  log="build-fuzz/logs/$target.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "fuzz: $target for ${seconds}s"
  rc=0
  # Fork mode goes on after a finding, so one run gathers every fault it meets.
  "$binary" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1 || rc=$?
  # The last status line holds the executions and the coverage reached.
  grep -E '^#[0-9]+' "$log" | tail -n 1 || true
  found=("$findings"/*)
  if ((rc != 0)) || [[ -e "${found[0]}" ]]; then
    echo "fuzz: $target FOUND A FAULT (exit $rc); see $log and $findings/"
    grep -E 'ERROR: |check failed|SUMMARY:' "$log" | head -n 5 || true
    status=1
  else
    echo "fuzz: $target ran clean"
  fi
done
exit "$status"
