#!/usr/bin/env bash
# Times the report page of a large generated course and opens it in
# headless chromium: prints the median time and peak memory of
# `pauta --relatorio`, the size of the page, and how long chromium took to
# draw its first screen and to load it whole (.ci/navegador.py).
#
#   bench/relatorio.sh [-n RUNS] [--estudantes N] [--ucs N] [--pauta BINARY]
#                      [--sem-navegador]
#
# Without --pauta it first builds pauta in Release in build-bench/.
set -euo pipefail

raiz="$(cd "$(dirname "$0")/.." && pwd)"
execucoes=5
estudantes=20000
ucs=30
pauta=""
navegador=1
while [ $# -gt 0 ]; do
  case "$1" in
    -n) execucoes="$2"; shift 2 ;;
    --estudantes) estudantes="$2"; shift 2 ;;
    --ucs) ucs="$2"; shift 2 ;;
    --pauta) pauta="$(realpath "$2")"; shift 2 ;;
    --sem-navegador) navegador=0; shift ;;
    *) echo "uso: $0 [-n RUNS] [--estudantes N] [--ucs N] [--pauta BINARY] [--sem-navegador]" >&2
       exit 2 ;;
  esac
done

if [ -z "$pauta" ]; then
  cmake -S "$raiz" -B "$raiz/build-bench" -DCMAKE_BUILD_TYPE=Release -DPAUTA_TESTS=OFF > /dev/null
  cmake --build "$raiz/build-bench" -j2 --target pauta > /dev/null
  pauta="$raiz/build-bench/pauta"
fi

curso=77
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
python3 "$raiz/bench/gera_curso.py" "$dir" --estudantes "$estudantes" --ucs "$ucs" \
  --curso "$curso" > /dev/null
echo "curso: $estudantes estudantes x $ucs UCs, ficheiro de estudantes de" \
  "$(( $(stat -c %s "$dir/$curso-Estudantes.txt") / 1048576 )) MiB"

tempos=()
memoria=0
cd "$dir"
for _ in $(seq "$execucoes"); do
  /usr/bin/time -f "%e %M" -o "$dir/tempo" "$pauta" --relatorio "$curso" > /dev/null
  read -r segundos kib < "$dir/tempo"
  tempos+=("$segundos")
  [ "$kib" -gt "$memoria" ] && memoria=$kib
done
mediana=$(printf '%s\n' "${tempos[@]}" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}')
echo "pauta --relatorio: mediana ${mediana} s em $execucoes execuções" \
  "(${tempos[*]}), memória máxima $((memoria / 1024)) MiB"
echo "página: $(( $(stat -c %s "$dir/$curso-Relatorio.html") / 1048576 )) MiB"

if [ "$navegador" = 1 ]; then
  # The first screen: chromium's first contentful paint and its largest
  # contentful paint (the overview table), then the end of the page's load
  # event, all from the page's own performance timeline (the renderer's
  # clock: a renderer busy parsing delays its messages, not its timestamps).
  python3 - "$raiz/.ci" "file://$dir/$curso-Relatorio.html" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from navegador import Navegador
with Navegador() as n:
    n.abre(sys.argv[2])
    primeiro = n.avalia("performance.getEntriesByName('first-contentful-paint')[0].startTime")
    maior = n.avalia("new Promise(r => new PerformanceObserver(l => r(l.getEntries().pop()"
                     ".startTime)).observe({type: 'largest-contentful-paint', buffered: true}))")
    carregada = n.avalia("performance.getEntriesByType('navigation')[0].loadEventEnd")
    alunos = n.avalia("document.querySelectorAll('article.aluno').length")
print(f"chromium: primeiro ecrã desenhado em {primeiro / 1000:.2f} s (o maior elemento em "
      f"{maior / 1000:.2f} s), página carregada em {carregada / 1000:.2f} s, {alunos} estudantes")
PY
fi
