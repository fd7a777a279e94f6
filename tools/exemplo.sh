#!/usr/bin/env bash
# Builds pauta (no tests, so no GoogleTest needed) in build-exemplo/ and runs
# it on build-exemplo/curso/, a fresh copy of the example courses made on every
# run: the files under examples/ stay untouched whatever is saved, and no
# scratch folder is left anywhere else.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
build="$raiz/build-exemplo"
cmake -S "$raiz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAUTA_TESTS=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" --target pauta > /dev/null
copia="$build/curso"
rm -rf "$copia"
mkdir -p "$copia"
cp "$raiz"/examples/*.txt "$copia"/
echo "(a fresh copy of the example courses 12 and 13: $copia)"
cd "$copia"
exec "$build/pauta" "$@"
