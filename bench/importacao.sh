#!/usr/bin/env bash
# Times the import of a large grade sheet: a generated course (by default
# 20,000 students x 30 units), its grade sheet made by --exportar, then
#   (a) the sheet imported back into the same course: every row read and
#       compared, nothing changed, nothing written;
#   (b) a sheet that changes every record (bench/muda_pauta.py): every grade
#       checked with the rules, every final grade recomputed, the student
#       file saved;
#   (c) (b) with --verificar: the same work without the save;
#   (d) the list of the 20,000 students into the course without a student
#       file: each enrolled in every unit, the file saved;
#   (e) the sheet given back to --corrigir: nothing to correct, nothing
#       written;
#   (f) (b) as a correction (every resit back to none too), saved: every
#       value replaced, every final grade recomputed and kept, the final
#       grades that went down said.
# Prints the median wall time, CPU time and peak memory of each.
#
#   bench/importacao.sh [-n RUNS] [--estudantes N] [--ucs N] [--pauta BINARY]
set -euo pipefail

raiz="$(cd "$(dirname "$0")/.." && pwd)"
execucoes=3
estudantes=20000
ucs=30
pauta=""
while [ $# -gt 0 ]; do
  case "$1" in
    -n) execucoes="$2"; shift 2 ;;
    --estudantes) estudantes="$2"; shift 2 ;;
    --ucs) ucs="$2"; shift 2 ;;
    --pauta) pauta="$(realpath "$2")"; shift 2 ;;
    *) echo "uso: $0 [-n RUNS] [--estudantes N] [--ucs N] [--pauta BINARY]" >&2; exit 2 ;;
  esac
done

if [ -z "$pauta" ]; then
  cmake -S "$raiz" -B "$raiz/build-bench" -DCMAKE_BUILD_TYPE=Release > /dev/null
  cmake --build "$raiz/build-bench" -j2 --target pauta > /dev/null
  pauta="$raiz/build-bench/pauta"
fi

curso=77
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
python3 "$raiz/bench/gera_curso.py" "$dir" --estudantes "$estudantes" --ucs "$ucs" --curso "$curso"
cd "$dir"
"$pauta" --exportar "$curso" > /dev/null 2>&1
folha="$curso-Pauta.csv"
alunos="$curso-Estudantes.txt"
cp "$alunos" original.txt
linhas=$(($(wc -l < "$folha") - 1))
python3 "$raiz/bench/muda_pauta.py" "$folha" nova.csv lista.csv --correcao correcao.csv

# Runs pauta once with the arguments given; appends to the file $1 a line:
# wall time (ms), CPU user+sys (ms), peak RSS (KB). $2 prepares the run.
mede() {
  local amostras="$1" prepara="$2"; shift 2
  $prepara
  sync
  /usr/bin/time -f '%e %U %S %M' -o tempo.txt "$pauta" "$@" > saida.txt 2> erros.txt || {
    echo "falhou: $*" >&2; head -5 erros.txt >&2; exit 1; }
  awk '{ printf "%.0f %.0f %d\n", $1 * 1000, ($2 + $3) * 1000, $4 }' tempo.txt >> "$amostras"
}
# Every run starts without a grade history (a save of (b) adds some 1.7 million lines).
com_alunos() { cp original.txt "$alunos"; rm -f "$curso-Historico.txt"; }
sem_alunos() { rm -f "$alunos" "$curso-Historico.txt"; }

: > a.txt; : > b.txt; : > c.txt; : > d.txt; : > e.txt; : > f.txt
for ((i = 0; i < execucoes; i++)); do
  mede a.txt com_alunos --importar "$curso" "$folha"
  grep -q " 0 notas alteradas, $linhas linhas sem" saida.txt || { cat saida.txt >&2; exit 1; }
  mede b.txt com_alunos --importar "$curso" nova.csv
  grep -q "^Importado nova.csv: 0 alunos novos" saida.txt || { cat saida.txt >&2; exit 1; }
  cp saida.txt resumo-b.txt
  mede c.txt com_alunos --importar --verificar "$curso" nova.csv
  mede d.txt sem_alunos --importar "$curso" lista.csv
  grep -q "^Importado lista.csv: $estudantes alunos novos" saida.txt || { cat saida.txt >&2; exit 1; }
  mede e.txt com_alunos --corrigir "$curso" "$folha"
  grep -qx "Nada a corrigir" saida.txt || { cat saida.txt >&2; exit 1; }
  mede f.txt com_alunos --corrigir "$curso" correcao.csv
  grep -q "^Corrigidos: " saida.txt || { cat saida.txt >&2; exit 1; }
  cp saida.txt resumo-f.txt
done

mediana() { sort -n -k"$2" "$1" | awk -v k="$2" '{ v[NR] = $k } END { print v[int((NR + 1) / 2)] }'; }
linha() {
  printf '  %-58s %8s ms %8s ms %8.1f MiB\n' "$1" "$(mediana "$2" 1)" "$(mediana "$2" 2)" \
    "$(awk -v kb="$(mediana "$2" 3)" 'BEGIN { print kb / 1024 }')"
}
echo "pauta import benchmark: $estudantes students x $ucs units, grade sheet $linhas rows," \
  "$(stat -c %s "$folha") bytes; medians of $execucoes runs"
printf '  %-58s %11s %11s %12s\n' run wall cpu "peak RSS"
linha "(a) the sheet imported back: no change, no save" a.txt
linha "(b) a sheet changing every record, saved" b.txt
linha "(c) the same with --verificar, not saved" c.txt
linha "(d) $estudantes new students enrolled in $ucs units, save" d.txt
linha "(e) the sheet given to --corrigir: nothing to correct" e.txt
linha "(f) a correction of every record, saved" f.txt
echo "  (b) printed: $(iconv -f CP1252 -t UTF-8 resumo-b.txt)"
echo "  (f) printed: $(iconv -f CP1252 -t UTF-8 resumo-f.txt)"
