#!/usr/bin/env bash
# Static checks: clang-tidy with the checks of .clang-tidy and cppcheck on
# src/, the texts' conversion, the layers' includes, and the layout of
# .clang-format on src/, tests/ and fuzz/. Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."

fontes=(src/*.cpp src/*/*.cpp)
cabecalhos=(src/*/*.h)

# clang-tidy reads the compile commands of a clang configuration.
# Configuring is enough, nothing is built.
echo "--- clang-tidy"
cmake -S . -B build-tidy -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DPAUTA_TESTS=OFF -DPAUTA_FUZZ=OFF > /dev/null
# (Its count of warnings generated, and suppressed, in system headers is
# dropped from standard error.)
# The Windows files are not in a POSIX build's compile commands (the Windows
# build compiles them, warnings as in every build).
tidy=()
for f in "${fontes[@]}"; do [[ $f == *Windows.cpp ]] || tidy+=("$f"); done
clang-tidy -p build-tidy --quiet "${tidy[@]}" 2> >(grep -v 'warnings\? generated\.$' >&2)

echo "--- cppcheck"
cppcheck --enable=warning,performance,portability --error-exitcode=1 --std=c++17 \
  --language=c++ --inline-suppr --quiet \
  -I src/plataforma -I src/modelo -I src/curso -I src/dialogo -I src/modos \
  src

# Every non-ASCII text must be converted to CP1252 while compiling.
echo "--- texts"
python3 tools/textos_cp1252.py --verificar "${fontes[@]}" "${cabecalhos[@]}" tests/*/*.cpp tests/*.h \
  tests/e2e/*.cpp tests/e2e/*.h fuzz/*.cpp fuzz/*.h

# Each layer includes only its own headers and those of the layers below;
# only the per-system files test _WIN32.
echo "--- layers"
python3 tools/camadas.py

echo "--- clang-format"
formatados=("${fontes[@]}" "${cabecalhos[@]}" tests/*/*.cpp tests/*.h tests/e2e/*.h
            fuzz/*.cpp fuzz/*.h)
clang-format --dry-run --Werror "${formatados[@]}"
echo "static OK"
