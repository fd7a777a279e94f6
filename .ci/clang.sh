#!/usr/bin/env bash
# The whole test suite, end-to-end byte comparisons included, built with
# clang: once against GCC's standard library (libstdc++) and once against
# clang's own (libc++, as on macOS). The installed GoogleTest is built for
# libstdc++, so the libc++ build compiles GoogleTest from Debian's sources.
set -euo pipefail
cd "$(dirname "$0")/.."
tarefas=$(nproc)

echo "--- clang + libstdc++"
cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ > /dev/null
cmake --build build-clang -j"$tarefas"
ctest --test-dir build-clang --output-on-failure -j"$tarefas"

echo "--- clang + libc++"
cmake -S . -B build-libcxx -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS=-stdlib=libc++ -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++ \
  -DPAUTA_GTEST_FONTES=/usr/src/googletest > /dev/null
cmake --build build-libcxx -j"$tarefas"
ctest --test-dir build-libcxx --output-on-failure -j"$tarefas"
echo "clang OK"
