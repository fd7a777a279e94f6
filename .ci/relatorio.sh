#!/usr/bin/env bash
# The report page in a real browser: Debian's chromium, headless, opens the
# page of the example course and of a generated one (with a student whose
# name is full of HTML special characters). .ci/relatorio.py then checks the
# rendered DOM against the statistics file of --exportar and the student
# file, and that the screenshot is not blank.
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
    --disable-dev-shm-usage --hide-scrollbars --user-data-dir="$perfil" "$@" 2> "$perfil.log"
}

# Writes the page and the statistics of course $2 in folder $1, opens the
# page, and checks it (further arguments go to relatorio.py).
verifica() {
  local pasta=$1 codigo=$2
  shift 2
  (cd "$pasta" && "$pauta" --relatorio "$codigo" && "$pauta" --exportar "$codigo")
  local pagina=file://$pasta/$codigo-Relatorio.html
  navegador --dump-dom "$pagina" > "$pasta/dom.html"
  navegador --window-size=1200,1600 --screenshot="$pasta/ecra.png" "$pagina" > /dev/null
  python3 .ci/relatorio.py "$pasta/dom.html" "$pasta/$codigo-Estatisticas.csv" \
    "$pasta/$codigo-Estudantes.txt" "$pasta/ecra.png" "$@"
}

echo "--- curso de exemplo"
mkdir "$trabalho/exemplo"
cp examples/12-UC.txt examples/12-Estudantes.txt "$trabalho/exemplo/"
verifica "$trabalho/exemplo" 12 --barras

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
verifica "$trabalho/gerado" 77 --nome "$nome"
