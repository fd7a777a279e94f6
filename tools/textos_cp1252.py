#!/usr/bin/env python3
"""Keeps every non-ASCII text of the C++ sources inside TXT("...").

The program's texts are CP1252 bytes, but the sources are UTF-8 and no
compiler flag is trusted to convert them: TXT (src/plataforma/Cp1252.h) converts each
text while compiling. A plain string literal holding a non-ASCII character
would come out as UTF-8 bytes, so:

  tools/textos_cp1252.py --verificar FILES...   lists such literals, exit 1 if any
  tools/textos_cp1252.py --corrigir FILES...    wraps them in TXT(...)

Adjacent literals that the compiler joins into one are wrapped together.
Comments, character literals, raw strings and #include lines are left alone;
a u8 literal stays UTF-8; a prefixed literal (L, u, U) with non-ASCII text, or a non-ASCII text
that also holds a \\x or octal escape, is reported for a human to decide.
"""
import re
import sys


def literais(texto):
    """Yields (inicio, fim) of every plain string literal outside comments."""
    i, n = 0, len(texto)
    while i < n:
        c = texto[i]
        if texto.startswith("//", i):
            i = texto.find("\n", i)
            i = n if i < 0 else i
        elif texto.startswith("/*", i):
            j = texto.find("*/", i + 2)
            i = n if j < 0 else j + 2
        elif c == "#" and (i == 0 or texto[i - 1] == "\n") and re.match(r"#\s*include", texto[i:]):
            i = texto.find("\n", i)
            i = n if i < 0 else i
        elif c == "R" and texto.startswith('R"', i) and not _identificador(texto, i):
            m = re.match(r'R"([^(\s]*)\(', texto[i:])
            fim = texto.find(")" + m.group(1) + '"', i)
            i = fim + len(m.group(1)) + 2
        elif c == "'" and not (i > 0 and texto[i - 1].isalnum()):
            i = _fimAspas(texto, i, "'")
        elif c == '"':
            fim = _fimAspas(texto, i, '"')
            yield i, fim
            i = fim
        else:
            i += 1


def _identificador(texto, i):
    return i > 0 and (texto[i - 1].isalnum() or texto[i - 1] == "_")


def _fimAspas(texto, i, aspa):
    j = i + 1
    while texto[j] != aspa:
        j += 2 if texto[j] == "\\" else 1
    return j + 1


def grupos(texto):
    """Runs of adjacent literals (joined by blanks and comments only) as (inicio, fim)."""
    atual = None
    for inicio, fim in literais(texto):
        entre = re.sub(r"//[^\n]*|/\*.*?\*/", "", texto[atual[1]:inicio] if atual else "", flags=re.S)
        if atual and entre.strip() == "":
            atual = (atual[0], fim)
            continue
        if atual:
            yield atual
        atual = (inicio, fim)
    if atual:
        yield atual


def _linha(texto, pos):
    return texto.count("\n", 0, pos) + 1


def analisa(nome, texto):
    """Answers (the fixed text, problems, number of wraps)."""
    partes, problemas, ultimo, trocas = [], [], 0, 0
    for inicio, fim in grupos(texto):
        corpo = texto[inicio:fim]
        if all(ord(ch) < 128 for ch in corpo):
            continue
        antes = texto[max(0, inicio - 4):inicio]
        onde = f"{nome}:{_linha(texto, inicio)}"
        if antes.endswith("u8"):
            continue  # says itself that it is UTF-8
        if re.search(r"[LuU]$", antes):
            problemas.append(f"{onde}: prefixed literal with non-ASCII text")
            continue
        if re.search(r"TXT\(\s*$", texto[max(0, inicio - 40):inicio]):
            continue
        if re.search(r"\\(x|[0-7])", corpo):
            problemas.append(f"{onde}: non-ASCII text with a numeric escape")
            continue
        partes += [texto[ultimo:inicio], "TXT(", corpo, ")"]
        ultimo, trocas = fim, trocas + 1
    partes.append(texto[ultimo:])
    novo = "".join(partes)
    if trocas and '#include "Cp1252.h"' not in novo and not nome.endswith("Cp1252.h"):
        novo = _incluiCabecalho(novo)
    return novo, problemas, trocas


def _incluiCabecalho(texto):
    """Adds #include "Cp1252.h" after the last #include "..." line (else <...>)."""
    inclusoes = list(re.finditer(r'^#include ".*$', texto, re.M))
    inclusoes = inclusoes or list(re.finditer(r"^#include <.*$", texto, re.M))
    pos = inclusoes[-1].end() if inclusoes else 0
    return texto[:pos] + '\n#include "Cp1252.h"' + texto[pos:]


def main(argv):
    if len(argv) < 2 or argv[0] not in ("--verificar", "--corrigir"):
        print(__doc__, file=sys.stderr)
        return 2
    corrigir = argv[0] == "--corrigir"
    falhas = 0
    for nome in argv[1:]:
        with open(nome, encoding="utf-8") as f:
            texto = f.read()
        novo, problemas, trocas = analisa(nome, texto)
        for p in problemas:
            print(p)
        falhas += len(problemas)
        if trocas and corrigir:
            with open(nome, "w", encoding="utf-8") as f:
                f.write(novo)
            print(f"{nome}: {trocas} texts wrapped in TXT()")
        elif trocas:
            falhas += trocas
            print(f"{nome}: {trocas} non-ASCII literals outside TXT()")
    return 1 if falhas else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
