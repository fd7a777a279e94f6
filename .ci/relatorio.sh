#!/usr/bin/env bash
# The report page in a real browser: Debian's chromium, headless, driven by
# .ci/relatorio.py (through .ci/navegador.py, python3's standard library
# only). For the example courses and a generated one (with a student whose
# name is full of HTML special characters) it checks the rendered page
# against the statistics file of --exportar and the student file, sorts the
# overview table by clicks, searches the students' index, and lays the page
# out for A4 with nothing past the margin. It prints the example courses and
# two generated courses of 300 students to PDF (chromium --print-to-pdf) and
# counts their pages, and gives the size of the page of a 20,000-student
# course.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$(pwd)
construcao=$raiz/build-relatorio
tarefas=${PAUTA_TAREFAS:-2}

cmake -S "$raiz" -B "$construcao" -DCMAKE_BUILD_TYPE=Release -DPAUTA_TESTS=OFF > /dev/null
cmake --build "$construcao" -j"$tarefas" --target pauta > /dev/null
pauta=$construcao/pauta

trabalho=$(mktemp -d)
trap 'rm -rf "$trabalho"' EXIT

# chromium headless with a fresh profile, nothing fetched from anywhere.
navegador() {
  local perfil
  perfil=$(mktemp -d "$trabalho/perfil.XXXXXX")
  HOME=$perfil timeout 600 chromium --headless --no-sandbox --disable-gpu --disable-quic \
    --no-first-run --disable-background-networking --disable-component-update --disable-sync \
    --disable-dev-shm-usage --user-data-dir="$perfil" "$@" 2> "$perfil.log"
}

# Writes the page and the statistics of course $2 in folder $1 and checks
# the page (further arguments go to relatorio.py pagina).
verifica() {
  local pasta=$1 codigo=$2
  shift 2
  (cd "$pasta" && "$pauta" --relatorio "$codigo" && "$pauta" --exportar "$codigo")
  python3 .ci/relatorio.py pagina "$pasta/$codigo-Relatorio.html" "$pasta/$codigo-Estatisticas.csv" \
    "$pasta/$codigo-Estudantes.txt" "$pasta/ecra.png" "$@"
  python3 .ci/relatorio.py impressao "$pasta/$codigo-Relatorio.html"
}

# Prints the page of course $2 in folder $1 to PDF and counts the pages.
folhas() {
  local pasta=$1 codigo=$2
  (cd "$pasta" && "$pauta" --relatorio "$codigo" > /dev/null)
  navegador --no-pdf-header-footer --print-to-pdf="$pasta/impresso.pdf" \
    "file://$pasta/$codigo-Relatorio.html" > /dev/null
  python3 .ci/relatorio.py folhas "$pasta/impresso.pdf" "$pasta/$codigo-Estudantes.txt"
}

# Generates course 77 in folder $1 (arguments $2... to gera_curso.py) and
# counts the pages of its printed page.
folhas_gerado() {
  local pasta=$1
  shift
  mkdir "$pasta"
  python3 bench/gera_curso.py "$pasta" --curso 77 "$@" > /dev/null
  folhas "$pasta" 77
}

echo "--- curso de exemplo 12"
mkdir "$trabalho/exemplo"
cp examples/12-UC.txt examples/12-Estudantes.txt "$trabalho/exemplo/"
verifica "$trabalho/exemplo" 12 --barras --procura INES 1001
folhas "$trabalho/exemplo" 12

echo "--- curso de exemplo 13 (120 ECTS)"
mkdir "$trabalho/mestrado"
cp examples/13-UC.txt examples/13-Estudantes.txt "$trabalho/mestrado/"
verifica "$trabalho/mestrado" 13 --procura "teixeira sa" 2005
folhas "$trabalho/mestrado" 13
grep -q 'dos 120 ECTS do curso' "$trabalho/mestrado/13-Relatorio.html" ||
  { echo "ERRO: o relatório do curso 13 não mede os estudantes pelos seus 120 ECTS" >&2; exit 1; }

echo "--- curso gerado, com um nome cheio de caracteres especiais"
mkdir "$trabalho/gerado"
python3 bench/gera_curso.py "$trabalho/gerado" --estudantes 400 --ucs 30 --curso 77 > /dev/null
nome=$'<img src=x onerror=alert(1)> & "Zé" \'O<Brien>\' </h3><script>x</script>'
python3 - "$trabalho/gerado/77-Estudantes.txt" "$nome" <<'PY'
import sys
caminho, nome = sys.argv[1], sys.argv[2]
with open(caminho, "ab") as ficheiro:
    ficheiro.write(("ALUNO;999999;" + nome + "\r\n"
                    "21002;Álgebra Linear I;1;1;6;AVALIACAO;0;A;-1;-1;B;-1;-1;C;-1;-1;"
                    "F;17;R;-1;N;17\r\n\r\n").encode("cp1252"))
PY
verifica "$trabalho/gerado" 77 --nome "$nome" --procura "O<BRIEN" 999999

echo "--- impresso em A4: 300 estudantes com 7 a 19 unidades cada"
folhas_gerado "$trabalho/folhas-varias" --estudantes 300 --ucs 19 --ucs-min 7
echo "--- impresso em A4: 300 estudantes em todas as 30 unidades"
folhas_gerado "$trabalho/folhas-todas" --estudantes 300 --ucs 30

echo "--- tamanho da página de 20000 estudantes em 30 unidades"
mkdir "$trabalho/grande"
python3 bench/gera_curso.py "$trabalho/grande" --curso 77 > /dev/null
(cd "$trabalho/grande" && "$pauta" --relatorio 77 > /dev/null)
tamanho=$(stat -c %s "$trabalho/grande/77-Relatorio.html")
echo "página: $tamanho bytes (no máximo 20000000)"
[ "$tamanho" -le 20000000 ] || { echo "ERRO: a página tem mais de 20 MB" >&2; exit 1; }
rm -rf "$trabalho/grande"
