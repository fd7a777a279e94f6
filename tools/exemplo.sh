#!/usr/bin/env bash
# Builds pauta and runs it on a scratch copy of the example course, so the
# files under examples/ stay untouched whatever is saved.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$raiz" -B "$raiz/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$raiz/build" -j"$(nproc)" --target pauta > /dev/null
copia="$(mktemp -d "${TMPDIR:-/tmp}/pauta-exemplo.XXXXXX")"
cp "$raiz"/examples/* "$copia"/
echo "(scratch copy of the example course: $copia)"
cd "$copia"
exec "$raiz/build/pauta" "$@"
