#!/usr/bin/env bash
# Builds pauta and the whole test suite with GCC under AddressSanitizer
# (leaks included) and UndefinedBehaviorSanitizer, in its own build
# directory, and runs every test, the byte-exact ones included.
#
# Any report fails the run, twice over: every sanitizer error is fatal
# (-fno-sanitize-recover=all, halt_on_error), so the process that hits it
# exits non-zero; and since the end-to-end tests run the sanitized pauta
# binary as a child process, whose exit status a test might not look at,
# every report is also written to a log directory that must stay empty.
# The sanitizer runtimes are linked statically: with GCC's shared runtimes
# UndefinedBehaviorSanitizer ignores log_path and reports to standard error
# only, where an end-to-end test would not notice it.
set -euo pipefail
cd "$(dirname "$0")/.."

SAN="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_CXX_FLAGS="$SAN" -DCMAKE_EXE_LINKER_FLAGS="$SAN -static-libasan -static-libubsan"
cmake --build build-asan -j"$(nproc)"

relatorios="$(pwd)/build-asan/relatorios-sanitizers"
rm -rf "$relatorios"
mkdir -p "$relatorios"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:strict_string_checks=1:check_initialization_order=1:log_path=$relatorios/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$relatorios/ubsan"

estado=0
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" || estado=$?

if [ -n "$(ls -A "$relatorios")" ]; then
  echo "Sanitizer reports:"
  for f in "$relatorios"/*; do
    echo "--- $f"
    cat "$f"
  done
  exit 1
fi
if [ "$estado" -ne 0 ]; then
  echo "Tests failed under the sanitizers"
  exit "$estado"
fi
echo "sanitizers OK"
