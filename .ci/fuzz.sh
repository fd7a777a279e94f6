#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz) and runs each one for
# a bounded time from its seed corpus. Any crash, sanitizer report, broken
# round trip, leak or hang fails the run; the input that caused it is left
# in build-fuzz/achados/ to be kept as a regression test.
#
#   FUZZ_SEGUNDOS  seconds per target (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

segundos="${FUZZ_SEGUNDOS:-60}"

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DPAUTA_FUZZ=ON -DPAUTA_TESTS=OFF > /dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_ficheiros fuzz_dialogo fuzz_importacao \
  fuzz_historico

raiz="$(pwd)"
achados="$raiz/build-fuzz/achados"
rm -rf "$achados"
mkdir -p "$achados"

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# corre ALVO OPÇÕES...: fuzzes ALVO on a scratch copy of its seed corpus (the
# repository's corpus is never written to).
corre() {
  local alvo="$1"
  shift
  local trabalho="$raiz/build-fuzz/corpus-$alvo"
  rm -rf "$trabalho"
  cp -r "fuzz/corpus/$alvo" "$trabalho"
  echo "--- $alvo: ${segundos} s"
  if ! "build-fuzz/fuzz/$alvo" "$@" -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$achados/$alvo-" "$trabalho" \
      > "build-fuzz/$alvo.log" 2>&1; then
    tail -n 60 "build-fuzz/$alvo.log"
    echo "FUZZ FINDING in $alvo:"
    ls -l "$achados"
    exit 1
  fi
  grep -E '^(stat::number_of_executed_units|stat::new_units_added)' "build-fuzz/$alvo.log" || true
}

corre fuzz_ficheiros -dict=fuzz/ficheiros.dict -max_len=16384
corre fuzz_dialogo -max_len=4096 -len_control=20
corre fuzz_importacao -max_len=4096
corre fuzz_historico -dict=fuzz/historico.dict -max_len=8192
echo "fuzz OK"
