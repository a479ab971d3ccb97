#!/usr/bin/env bash
# Configures and builds the three build folders:
#   build/native  g++ with ASan/UBSan: unit tests, benchmarks, data generator, data\
#   build/fuzz    clang: the libFuzzer targets
#   build/win     mingw-w64: vexmoor_gl.exe, vexmoor_d3d.exe and the Windows test programs
# The programs and data\ land in build/install, the installation folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)

[ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake --build build/win -j "$jobs"

[ -f build/fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja \
  -DVEXMOOR_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build/fuzz -j "$jobs"

[ -f build/native/build.ninja ] || cmake -S . -B build/native -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1 -g" -DVEXMOOR_WIN_DIR="$top/build/win"
cmake --build build/native -j "$jobs"
