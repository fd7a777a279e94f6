#!/usr/bin/env python3
"""What a user might script instead of pauta: read a student file with the
csv module and write it back unchanged (CP1252, ';', CR LF).

    python3 bench/csv_roundtrip.py ORIGEM DESTINO
"""

import csv
import sys


def main():
    origem, destino = sys.argv[1], sys.argv[2]
    with open(origem, newline="", encoding="cp1252") as f:
        linhas = list(csv.reader(f, delimiter=";"))
    with open(destino, "w", newline="", encoding="cp1252") as f:
        csv.writer(f, delimiter=";", lineterminator="\r\n").writerows(linhas)


if __name__ == "__main__":
    main()
