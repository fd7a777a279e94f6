#!/usr/bin/env bash
# Times whole runs of pauta on a large generated course and prints, from the
# same run, the median times, the ratios to the references (the floor
# program bench/piso.cpp, cp of the student file, a Python csv round trip)
# and the peak resident memory.
#
#   bench/bench.sh [-n RUNS] [--estudantes N] [--ucs N] [--pauta BINARY]
#                  [--referencia BINARY] [--sem-python]
#
# --referencia compares everything pauta prints and saves in the timed cases
# with what another build (say, of the previous commit) prints and saves.
# --sem-python leaves out the Python reference, the slowest case.
#
# Without --pauta it first builds pauta in Release in build-bench/. The floor
# program is always built, with the flags of a Release build.
set -euo pipefail

raiz="$(cd "$(dirname "$0")/.." && pwd)"
execucoes=5
estudantes=20000
ucs=30
pauta=""
referencia=""
python=1
while [ $# -gt 0 ]; do
  case "$1" in
    -n) execucoes="$2"; shift 2 ;;
    --estudantes) estudantes="$2"; shift 2 ;;
    --ucs) ucs="$2"; shift 2 ;;
    --pauta) pauta="$(realpath "$2")"; shift 2 ;;
    --referencia) referencia="$(realpath "$2")"; shift 2 ;;
    --sem-python) python=0; shift ;;
    *) echo "uso: $0 [-n RUNS] [--estudantes N] [--ucs N] [--pauta BINARY]" \
         "[--referencia BINARY] [--sem-python]" >&2; exit 2 ;;
  esac
done

if [ -z "$pauta" ]; then
  cmake -S "$raiz" -B "$raiz/build-bench" -DCMAKE_BUILD_TYPE=Release > /dev/null
  cmake --build "$raiz/build-bench" -j2 --target pauta > /dev/null
  pauta="$raiz/build-bench/pauta"
fi
mkdir -p "$raiz/build-bench"
piso="$raiz/build-bench/piso"
"${CXX:-c++}" -std=c++17 -O3 -DNDEBUG -o "$piso" "$raiz/bench/piso.cpp"

curso=77
aluno=100001   # the generator makes his first unit an exam record without grades
uc=21002
refrescamentos=20
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
python3 "$raiz/bench/gera_curso.py" "$dir" --estudantes "$estudantes" --ucs "$ucs" --curso "$curso"
ficheiro="$dir/$curso-Estudantes.txt"
original="$dir/original.txt"
cp "$ficheiro" "$original"
bytes=$(stat -c %s "$original")

# Scripted answers: the course, then the main menu and the unit consultation
# (9 leaves each; 0 there shows the statistics of all units).
printf '%s\n' "$curso" 9 9 > "$dir/carrega.in"
printf '%s\n' "$curso" 9 0 9 > "$dir/estatisticas.in"
{ echo "$curso"; echo 9; for ((i = 0; i < refrescamentos; i++)); do echo 0; done; echo 9; } \
  > "$dir/estatisticas10.in"
# Option 2 (grades), the student, the unit, 2 (exam grade) 15, back (0),
# 4 (save), leave the main menu and the consultation.
printf '%s\n' "$curso" 2 "$aluno" "$uc" 2 15 0 4 9 9 > "$dir/grava.in"
# Option 1 (consult a student) 20 times: the table of all students, then
# the report of one.
consultas=20
{ echo "$curso"; for ((i = 0; i < consultas; i++)); do echo 1; echo "$aluno"; done; echo 9; echo 9; } \
  > "$dir/consulta.in"

# Runs a command once, from the course directory with standard input from
# $2, after restoring the student file and flushing pending writes (so that
# they do not land in the timed run). Appends to $1 a line: wall time (ms),
# CPU time user+sys (ms), peak RSS (KB).
mede() {
  local amostras="$1" entrada="$2"; shift 2
  local inicio fim
  cp "$original" "$ficheiro"
  rm -f "$dir/copia.txt"
  sync "$ficheiro"
  inicio=$(date +%s%N)
  (cd "$dir" && /usr/bin/time -v -o "$dir/time.txt" "$@" < "$entrada" > /dev/null)
  fim=$(date +%s%N)
  awk -v wall=$(((fim - inicio) / 1000)) -F': ' '
    /User time/ { cpu += $2 } /System time/ { cpu += $2 }
    /Maximum resident set size/ { rss = $2 }
    END { printf "%.1f %.0f %d\n", wall / 1000, cpu * 1000, rss }' "$dir/time.txt" >> "$amostras"
}

# Median of column $2 of the samples in $1.
mediana() {
  awk -v c="$2" '{ print $c }' "$1" | sort -n |
    awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# The runs of the different cases alternate, so that whatever else loads the
# machine meanwhile weighs on all of them alike.
for ((i = 0; i < execucoes; i++)); do
  mede "$dir/cp" /dev/null cp "$original" "$dir/copia.txt"
  # cp that also flushes the copy to disk, as pauta's save does.
  mede "$dir/dd" /dev/null dd if="$original" of="$dir/copia.txt" bs=1M conv=fsync status=none
  [ "$python" = 1 ] && mede "$dir/py" /dev/null python3 "$raiz/bench/csv_roundtrip.py" "$original" "$dir/copia.txt"
  mede "$dir/p1" "$dir/carrega.in" "$pauta"
  mede "$dir/p2" "$dir/estatisticas.in" "$pauta"
  mede "$dir/p2x" "$dir/estatisticas10.in" "$pauta"
  mede "$dir/p3" "$dir/grava.in" "$pauta"
  mede "$dir/p4" "$dir/consulta.in" "$pauta"
  mede "$dir/piso1" /dev/null "$piso" "$ficheiro"
  mede "$dir/piso3" /dev/null "$piso" "$ficheiro" "$aluno" "$uc" 15
done

# The saved file must be the original with only the changed unit line
# differing: every other line went through load and save unchanged.
cp "$original" "$ficheiro"
(cd "$dir" && "$pauta" < "$dir/grava.in" > /dev/null)
esperado=$(sed -n 2p "$original" | sed 's/;F;-1;R;-1;N;-1\r$/;F;15;R;-1;N;15\r/')
if [ "$(sed -n 2p "$ficheiro")" = "$esperado" ] &&
   cmp -s <(sed 2d "$original") <(sed 2d "$ficheiro"); then
  verificacao="ok (only the changed unit line differs)"
else
  verificacao="FAILED: the saved file differs beyond the changed line"
fi

# The floor must save exactly what pauta saves after the same change.
cp "$ficheiro" "$dir/pauta-gravou.txt"
cp "$original" "$ficheiro"
"$piso" "$ficheiro" "$aluno" "$uc" 15
if cmp -s "$ficheiro" "$dir/pauta-gravou.txt"; then
  verificacaoPiso="ok (byte-identical to pauta's save)"
else
  verificacaoPiso="FAILED: the floor's save differs from pauta's"
fi

# Everything printed and saved must be what the reference build gives.
comparacao=""
if [ -n "$referencia" ]; then
  comparacao="ok (output and saved file of every case identical)"
  for entrada in carrega estatisticas estatisticas10 grava consulta; do
    for b in pauta referencia; do
      cp "$original" "$ficheiro"
      (cd "$dir" && "${!b}" < "$dir/$entrada.in" > "$dir/$b.saida")
      cp "$ficheiro" "$dir/$b.ficheiro"
    done
    if ! cmp -s "$dir/pauta.saida" "$dir/referencia.saida" ||
       ! cmp -s "$dir/pauta.ficheiro" "$dir/referencia.ficheiro"; then
      comparacao="FAILED: case $entrada differs from the reference build"
    fi
  done
fi

calc() { awk "BEGIN { printf \"$1\", $2 }"; }
mib=$(calc "%.1f" "$bytes / 1048576")
linha() {  # label, samples
  local rss; rss=$(calc "%.1f" "$(mediana "$2" 3) / 1024")
  printf '  %-44s %9s ms %9s ms %8s MiB %6s x\n' "$1" "$(mediana "$2" 1)" "$(mediana "$2" 2)" \
    "$rss" "$(calc "%.2f" "$rss / $mib")"
}

t_cp=$(mediana "$dir/cp" 1); t_dd=$(mediana "$dir/dd" 1)
t1=$(mediana "$dir/p1" 1); t2=$(mediana "$dir/p2" 1)
t2x=$(mediana "$dir/p2x" 1); t3=$(mediana "$dir/p3" 1)
c1=$(mediana "$dir/p1" 2); c2=$(mediana "$dir/p2" 2)
c2x=$(mediana "$dir/p2x" 2); c3=$(mediana "$dir/p3" 2); c4=$(mediana "$dir/p4" 2)
t_piso1=$(mediana "$dir/piso1" 1); t_piso3=$(mediana "$dir/piso3" 1)
c_piso1=$(mediana "$dir/piso1" 2); c_piso3=$(mediana "$dir/piso3" 2)
maior_rss=$(sort -n -k3 "$dir/p1" "$dir/p2" "$dir/p2x" "$dir/p3" "$dir/p4" | tail -1 | awk '{ print $3 }')

echo "pauta benchmark: $estudantes students x $ucs units, student file $bytes bytes ($mib MiB)"
echo "binary $pauta; medians of $execucoes runs"
printf '  %-44s %12s %12s %12s %8s\n' "run" "wall" "cpu" "peak RSS" "RSS/file"
linha "floor: read + parse" "$dir/piso1"
linha "floor: read + parse, one grade, save" "$dir/piso3"
linha "cp of the student file" "$dir/cp"
linha "dd of the student file, flushed to disk" "$dir/dd"
[ "$python" = 1 ] && linha "python csv read + write" "$dir/py"
linha "(1) load, quit" "$dir/p1"
linha "(2) load, statistics of all units, quit" "$dir/p2"
linha "(2b) load, statistics $refrescamentos times, quit" "$dir/p2x"
linha "(3) load, one grade, save, quit" "$dir/p3"
linha "(4) load, consult a student $consultas times" "$dir/p4"
resumo() { printf '  %-34s %s\n' "$1" "$2"; }
resumo "load + save vs floor:" \
  "$(calc "%.2f" "$t3 / $t_piso3") x wall, $(calc "%.2f" "$c3 / $c_piso3") x cpu   (target <= 1.3)"
resumo "load alone vs floor:" \
  "$(calc "%.2f" "$t1 / $t_piso1") x wall, $(calc "%.2f" "$c1 / $c_piso1") x cpu   (target <= 1.3)"
resumo "load + save vs cp:" \
  "$(calc "%.2f" "$t3 / $t_cp") x wall   (target <= 10; $(calc "%.2f" "$t3 / $t_dd") x the flushed dd)"
if [ "$python" = 1 ]; then
  t_py=$(mediana "$dir/py" 1); c_py=$(mediana "$dir/py" 2)
  resumo "load + save vs python csv:" \
    "$(calc "%.2f" "$t3 / $t_py") x wall, $(calc "%.2f" "$c3 / $c_py") x cpu   (target < 1)"
fi
resumo "statistics refresh, (2)-(1):" \
  "$(calc "%.1f" "$t2 - $t1") ms wall = $(calc "%.3f" "($t2 - $t1) / $t1") of the load; cpu $(calc "%.3f" "($c2 - $c1) / $c1")   (target < 0.10)"
resumo "statistics refresh, ((2b)-(1))/$refrescamentos:" \
  "$(calc "%.1f" "($t2x - $t1) / $refrescamentos") ms wall = $(calc "%.3f" "($t2x - $t1) / $refrescamentos / $t1") of the load; cpu $(calc "%.3f" "($c2x - $c1) / $refrescamentos / $c1")"
resumo "one consultation, ((4)-(1))/$consultas:" \
  "$(calc "%.1f" "($c4 - $c1) / $consultas") ms cpu (the table of all students and a report)"
resumo "largest peak RSS / file:" "$(calc "%.2f" "$maior_rss / 1024 / $mib") x   (target <= 3; the floor $(calc "%.2f" "$(mediana "$dir/piso3" 3) / 1024 / $mib") x)"
resumo "saved file check:" "$verificacao"
resumo "floor's saved file check:" "$verificacaoPiso"
if [ -n "$referencia" ]; then resumo "check against the reference:" "$comparacao"; fi
