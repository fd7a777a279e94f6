#!/usr/bin/env python3
"""Rewrites a grade sheet made by `pauta --exportar` into one that changes
every record, within the rules the import checks: an exam record (or one
without an option yet, which becomes one) gets a new exam grade; a
continuous-assessment record gets new e-folio grades with weights 3, 3 and 2
(always admitted) and a new p-folio. Also writes a list of new students and,
with --correcao, the same changes as a correction: every resit back to none
too ("-"), since a resit taken before admission may not stand after it.

    python3 bench/muda_pauta.py PAUTA.csv NOVA.csv LISTA.csv [--semente 7] [--correcao CORRECAO.csv]
"""

import argparse
import csv
import random


def main():
    p = argparse.ArgumentParser()
    p.add_argument("pauta")
    p.add_argument("nova")
    p.add_argument("lista")
    p.add_argument("--semente", type=int, default=7)
    p.add_argument("--correcao")
    a = p.parse_args()
    rnd = random.Random(a.semente)
    with open(a.pauta, encoding="cp1252", newline="") as f:
        linhas = list(csv.reader(f, delimiter=";"))
    cab = linhas[0]
    col = {nome: i for i, nome in enumerate(cab)}
    mudadas = [cab]
    with open(a.nova, "w", encoding="cp1252", newline="") as f:
        w = csv.writer(f, delimiter=";", lineterminator="\r\n")
        w.writerow(cab)
        for linha in linhas[1:]:
            if linha[col["Avaliação"]] == "Contínua":
                for letra, peso in zip("ABC", (3, 3, 2)):
                    linha[col["eFolio " + letra]] = str(rnd.randrange(50, 101))
                    linha[col["Peso " + letra]] = str(peso)
                linha[col["pFolio/Exame"]] = str(rnd.randrange(24, 49) / 4).replace(".", ",")
            else:
                linha[col["Avaliação"]] = "Exame Final"
                linha[col["pFolio/Exame"]] = str(rnd.randrange(0, 81) / 4).replace(".", ",")
            linha[col["Recurso"]] = ""
            w.writerow(linha)
            mudadas.append(linha)
    if a.correcao:
        with open(a.correcao, "w", encoding="cp1252", newline="") as f:
            w = csv.writer(f, delimiter=";", lineterminator="\r\n")
            w.writerow(cab)
            for linha in mudadas[1:]:
                w.writerow(linha[: col["Recurso"]] + ["-"] + linha[col["Recurso"] + 1 :])
    numeros = sorted({linha[0]: linha[1] for linha in linhas[1:]}.items())
    with open(a.lista, "w", encoding="cp1252", newline="") as f:
        w = csv.writer(f, delimiter=";", lineterminator="\r\n")
        w.writerow(["Número", "Nome"])
        w.writerows(numeros)


if __name__ == "__main__":
    main()
