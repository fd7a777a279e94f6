#!/usr/bin/env bash
# The installed program: builds pauta as Debian builds a package (hardening
# flags of dpkg-buildflags), checks `cmake --install` into a staging folder
# with another prefix, the manual page and the bash completion, makes the
# Debian package with cpack and checks it with lintian, installs it with
# apt-get, runs the installed pauta on a copy of its example course, and
# removes the package again. Needs root (or sudo) for apt-get; it refuses to
# run when a pauta package is installed already, so that the machine is left
# as it was found.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$(pwd)
build=$raiz/build-pacote
tarefas=${PAUTA_TAREFAS:-2}
export DEBIAN_FRONTEND=noninteractive
export LC_ALL=C.UTF-8

como_root=()
[ "$(id -u)" -eq 0 ] || como_root=(sudo)

falha() {
  echo "pacote: $*" >&2
  exit 1
}

if dpkg-query -W -f='${Status}' pauta 2>/dev/null | grep -q ' installed$'; then
  falha "o pacote pauta já está instalado nesta máquina; remova-o antes (apt-get remove pauta)"
fi

versao=$(sed -n 's/^project(pauta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$versao" ] || falha "versão não encontrada em project() de CMakeLists.txt"
echo "--- versão $versao"

trabalho=$(mktemp -d)
instalado=
limpa() {
  if [ -n "$instalado" ]; then
    echo "--- apt-get remove pauta"
    "${como_root[@]}" apt-get remove -y --purge pauta >/dev/null
  fi
  rm -rf "$trabalho"
}
trap limpa EXIT

echo "--- compilação (Release, opções de dpkg-buildflags)"
# The flags are read from the environment by a first configuration only.
rm -f "$build/CMakeCache.txt"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S "$raiz" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPAUTA_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j"$tarefas" --target pauta

# The version comes from project() only: the program, the manual page and
# the package name all carry it.
[ "$("$build/pauta" --versao)" = "pauta $versao" ] || falha "pauta --versao não diz pauta $versao"

echo "--- cmake --install (DESTDIR e outro prefixo)"
DESTDIR=$trabalho/destino cmake --install "$build" --prefix /opt/pauta >/dev/null
prefixo=$trabalho/destino/opt/pauta
for ficheiro in bin/pauta share/man/man1/pauta.1 share/doc/pauta/README.md \
  share/doc/pauta/copyright share/doc/pauta/exemplos/12-UC.txt \
  share/doc/pauta/exemplos/12-Estudantes.txt share/doc/pauta/exemplos/13-UC.txt \
  share/doc/pauta/exemplos/13-Estudantes.txt share/doc/pauta/exemplos/12-Relatorio.png \
  share/bash-completion/completions/pauta; do
  [ -f "$prefixo/$ficheiro" ] || falha "cmake --install não instalou $ficheiro"
done
for exemplo in 12-UC.txt 12-Estudantes.txt 13-UC.txt 13-Estudantes.txt 12-Relatorio.png; do
  cmp -s "$prefixo/share/doc/pauta/exemplos/$exemplo" "examples/$exemplo" ||
    falha "o exemplo instalado $exemplo difere de examples/"
done
# Every file the installed README links to is installed beside it.
grep -oE '\]\([^)#:]+\)' "$prefixo/share/doc/pauta/README.md" | sed 's/^](//; s/)$//' |
  while read -r ligado; do
    [ -f "$prefixo/share/doc/pauta/$ligado" ] || falha "o README instalado liga a $ligado, que não foi instalado"
  done
[ -x "$prefixo/bin/pauta" ] || falha "bin/pauta não é executável"

echo "--- página de manual"
pagina=$prefixo/share/man/man1/pauta.1
grep -q "^\.TH PAUTA 1 .*\"pauta $versao\"" "$pagina" || falha "a página de manual não tem a versão $versao"
mandoc -T lint -W warning "$pagina"
avisos=$(groff -k -man -ww -z "$pagina" 2>&1)
[ -z "$avisos" ] || falha "groff: $avisos"
MANWIDTH=80 man -l "$pagina" >"$trabalho/manual.txt" 2>"$trabalho/manual.err"
[ ! -s "$trabalho/manual.err" ] || falha "man: $(cat "$trabalho/manual.err")"
for seccao in NOME SINOPSE 'DESCRIÇÃO' 'OPÇÕES' FICHEIROS 'ESTADO DE SAÍDA' EXEMPLOS 'VER TAMBÉM'; do
  grep -q "^$seccao\$" "$trabalho/manual.txt" || falha "a página de manual não tem a secção $seccao"
done

# Every option that the program's usage names is documented in the manual
# page and offered by the bash completion.
opcoes=$("$build/pauta" --help | grep -oE '(^| )--?[a-z]+' | tr -d ' ' | sort -u)
[ -n "$opcoes" ] || falha "pauta --help não mostra opções"
completar=$prefixo/share/bash-completion/completions/pauta
for opcao in $opcoes; do
  grep -qF -- "$(printf '%s' "$opcao" | sed 's/-/\\-/g')" "$pagina" ||
    falha "a página de manual não documenta $opcao"
  grep -qF -- "$opcao" "$completar" || falha "o completar do bash não conhece $opcao"
done

echo "--- completar do bash"
mkdir "$trabalho/completar"
(
  cd "$trabalho/completar"
  : >12-UC.txt
  : >7-UC.txt
  mkdir 9-UC.txt pasta
  : >notas.csv
  : >NOTAS.CSV
  : >notas.txt
  # shellcheck disable=SC1090
  source "$completar"
  completa() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _pauta
    [ "${#COMPREPLY[@]}" -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
  }
  espera() {
    local obtido
    obtido=$(completa "${@:2}")
    [ "$obtido" = "$1" ] || falha "completar [${*:2}]: '$obtido', esperado '$1'"
  }
  espera '--exportar ' pauta --exp
  espera '12 7 ' pauta --exportar ''
  espera '12 ' pauta --relatorio 1
  espera '--verificar 12 7 ' pauta --importar ''
  espera '12 7 ' pauta --importar --verificar ''
  espera '9-UC.txt NOTAS.CSV notas.csv pasta ' pauta --importar 12 ''
  espera '9-UC.txt NOTAS.CSV notas.csv pasta ' pauta --importar --verificar 12 ''
  espera '' pauta --importar --verificar 12 notas.csv ''
  espera '--corrigir ' pauta --corr
  espera '--verificar 12 7 ' pauta --corrigir ''
  espera '9-UC.txt NOTAS.CSV notas.csv pasta ' pauta --corrigir --verificar 12 ''
  espera '--motivo --verificar ' pauta --corrigir 12 notas.csv ''
  espera '' pauta --corrigir 12 notas.csv --motivo ''
  espera '--verificar ' pauta --corrigir 12 notas.csv --motivo 'ata 3' ''
  espera '12 7 ' pauta --remover ''
  espera '' pauta --remover 12 ''
  espera '--forcar --motivo ' pauta --remover 12 1001 ''
  espera '--motivo ' pauta --remover 12 1001 21002 --forcar ''
  espera '12 7 ' pauta --historico ''
  espera '--aluno --csv --desde --uc --verificar ' pauta --historico 12 ''
  espera '--csv --desde --uc ' pauta --historico 12 --aluno 1001 ''
  espera '' pauta --historico 12 --verificar ''
)

echo "--- cpack -G DEB"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$build/pauta_${versao}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || falha "cpack não fez $deb"
campos=$(dpkg-deb --field "$deb")
echo "$campos"
for campo in Maintainer Section Depends Description; do
  echo "$campos" | grep -q "^$campo: ." || falha "o pacote não tem o campo $campo"
done
echo "$campos" | grep -q '^Depends:.*libc6' || falha "as dependências não foram calculadas"
echo "$campos" | grep -q 'Registo das notas' || falha "a descrição não está também em português"
echo "$campos" | grep -q '^Recommends: bash-completion$' || falha "o pacote não recomenda bash-completion"
conteudo=$(dpkg-deb --contents "$deb")
echo "$conteudo" | grep -q ' \./usr/bin/pauta$' || falha "o pacote não tem /usr/bin/pauta"
echo "tamanho: $(stat -c %s "$deb") bytes"

echo "--- lintian"
lintian --fail-on error,warning --display-info "$deb" || falha "lintian encontrou erros ou avisos"

echo "--- apt-get install ./$(basename "$deb")"
cp "$deb" "$trabalho/"
instalado=1
# Without the recommended bash-completion, which removing pauta would leave
# behind: the machine stays as it was found.
"${como_root[@]}" apt-get install -y --no-install-recommends "$trabalho/$(basename "$deb")" >/dev/null
[ "$(command -v pauta)" = /usr/bin/pauta ] || falha "pauta não está em /usr/bin"
[ "$(/usr/bin/pauta --versao)" = "pauta $versao" ] || falha "/usr/bin/pauta --versao não diz pauta $versao"
[ -f /usr/share/bash-completion/completions/pauta ] || falha "falta o completar do bash instalado"
MANWIDTH=80 man pauta 2>&1 | grep -q "^ESTADO DE SAÍDA\$" || falha "man pauta não mostra a página instalada"

# A scripted dialogue on a copy of the installed example course: adds
# student 1009, saves and leaves; then the export reads what was saved.
echo "--- diálogo com o pauta instalado"
cp -r /usr/share/doc/pauta/exemplos "$trabalho/curso"
(cd "$trabalho/curso" && printf '12\n3\n1009\nNovo Aluno\n4\n9\n9\n' | /usr/bin/pauta >saida.txt 2>erros.txt) ||
  falha "o diálogo terminou com erro"
[ ! -s "$trabalho/curso/erros.txt" ] || falha "o diálogo escreveu erros: $(cat "$trabalho/curso/erros.txt")"
grep -q "^ALUNO;1009;Novo Aluno"$'\r'"\$" "$trabalho/curso/12-Estudantes.txt" ||
  falha "o diálogo não gravou o aluno 1009"
(cd "$trabalho/curso" && /usr/bin/pauta --exportar 12 >/dev/null) || falha "pauta --exportar 12 falhou"
grep -q '^1009;Novo Aluno;' "$trabalho/curso/12-Pauta.csv" || falha "a exportação não tem o aluno 1009"

echo "--- apt-get remove pauta"
"${como_root[@]}" apt-get remove -y --purge pauta >/dev/null
instalado=
[ ! -e /usr/bin/pauta ] || falha "/usr/bin/pauta ficou depois de remover o pacote"
echo "pacote OK"
