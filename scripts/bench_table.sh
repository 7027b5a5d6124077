#!/bin/sh
# Builds and runs the table engine benchmark (figures against a plain cp of the same table).
# Usage: scripts/bench_table.sh [RECORDS]   (BUILD_DIR defaults to build-bench)
set -e
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQARO_BENCH=ON -DQARO_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" --target table_bench -j2
"$BUILD_DIR/bin/table_bench" "$@"
