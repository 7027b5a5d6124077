#!/bin/sh
# Builds and runs the package benchmark (verify against cat, extraction against cp -r).
# Usage: scripts/bench_package.sh [MIB]   (BUILD_DIR defaults to build-bench)
set -e
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQARO_BENCH=ON -DQARO_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" --target package_bench -j2
"$BUILD_DIR/bin/package_bench" "$@"
