#!/usr/bin/env bash
# Runs the benchmarks in an optimised build without sanitizers, from the
# installation folder (they load the shipped models). Extra arguments go to
# Google Benchmark, e.g. --benchmark_filter=Mesh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
[ -f build/bench/build.ninja ] || cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVEXMOOR_SANITIZERS=OFF -DVEXMOOR_INSTALL_DIR="$top/build/install"
cmake --build build/bench --target install_data generate_data vexmoor_bench
cd build/install
exec ../bench/vexmoor_bench "$@"
