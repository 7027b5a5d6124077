#!/usr/bin/env bash
# Sets up, builds (both cores) and runs every test: the unit and scenario tests, the same unit
# tests under AddressSanitizer + UndefinedBehaviorSanitizer, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
JOBS=${JOBS:-2}
FUZZ_SECONDS=${FUZZ_SECONDS:-20}

echo "== build and test (RelWithDebInfo)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$JOBS"
ctest --test-dir build -j"$JOBS" --output-on-failure

echo "== build and test with sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQARO_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$JOBS"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -j"$JOBS" --output-on-failure -E 'Tmux|Terminal'

echo "== fuzz targets (${FUZZ_SECONDS}s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQARO_FUZZ=ON -DQARO_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$JOBS"
fuzzers=$(find build-fuzz/bin -maxdepth 1 -name 'fuzz_*' -type f -executable | sort)
nf=0
for f in $fuzzers; do
  name=$(basename "$f")
  corpus="fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "-- $name"
  "$f" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 "$work" >"$work.log" 2>&1 \
    || { tail -50 "$work.log"; echo "$name FAILED"; exit 1; }
  grep -E '^Done [0-9]+ runs' "$work.log" | tail -1 || true
  rm -rf "$work" "$work.log"
  nf=$((nf + 1))
done
echo "fuzz: $nf targets ran clean"
