#!/usr/bin/env python3
"""Lengths of the function definitions in src/ (lines from the signature to
the closing brace at the definition's indentation), with their p90 and the
longest. Usage: tools/comprimentos.py [--mais N] [--limite L]"""
import argparse
import pathlib
import re

INICIO = re.compile(r'^(?:[A-Za-z_][\w:<>,*&\s]*?\s)?[~\w:]+\([^;]*$|^[A-Za-z_].*\)\s*(?:const\s*)?(?:noexcept\s*)?\{')


def funcoes(caminho):
    linhas = caminho.read_text(encoding="utf-8").splitlines()
    i = 0
    while i < len(linhas):
        linha = linhas[i]
        recuo = len(linha) - len(linha.lstrip(" "))
        texto = linha.strip()
        plausivel = (recuo in (0, 2) and texto and not texto.startswith(("//", "#", "}", "namespace", "class ", "struct ", "enum ", "using ", "template", "return", "case ", "public", "private", "protected"))
                     and "(" in texto and not texto.endswith(";") and "=" not in texto.split("(")[0])
        if not plausivel:
            i += 1
            continue
        j = i
        while j < len(linhas) and "{" not in linhas[j] and not linhas[j].rstrip().endswith(";"):
            j += 1
        if j >= len(linhas) or linhas[j].rstrip().endswith(";") and "{" not in linhas[j]:
            i += 1
            continue
        if linhas[j].rstrip().endswith("}") and linhas[j].count("{") == linhas[j].count("}"):
            yield caminho, i + 1, texto, j - i + 1
            i = j + 1
            continue
        fim = " " * recuo + "}"
        k = j + 1
        while k < len(linhas) and not (linhas[k].startswith(fim) and (len(linhas[k]) == len(fim) or linhas[k][len(fim)] in ";) ")):
            k += 1
        if k < len(linhas):
            yield caminho, i + 1, texto, k - i + 1
        i = k + 1


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--mais", type=int, default=15)
    p.add_argument("--limite", type=int, default=20)
    a = p.parse_args()
    raiz = pathlib.Path(__file__).resolve().parent.parent / "src"
    todas = [f for c in sorted(raiz.rglob("*.cpp")) for f in funcoes(c)]
    comp = sorted(f[3] for f in todas)
    p90 = comp[int(0.9 * (len(comp) - 1))]
    acima = sum(1 for x in comp if x > a.limite)
    print(f"{len(comp)} funções; p90 {p90}; máximo {comp[-1]}; acima de {a.limite}: {acima}")
    for c, n, t, k in sorted(todas, key=lambda f: -f[3])[: a.mais]:
        print(f"{k:4} {c.relative_to(raiz)}:{n} {t[:70]}")


if __name__ == "__main__":
    main()
