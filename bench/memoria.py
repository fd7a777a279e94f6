#!/usr/bin/env python3
"""Peak resident memory of pauta, as a multiple of the student file, on two
courses: the generated large course (gera_curso.py) and the example course
with one student's name made 20 MiB long (a damaged file). For each it
loads the course in the dialogue and leaves, exports it, and writes its
report; GNU time gives the peak.

    bench/memoria.py PAUTA [--estudantes N]
"""
import argparse
import pathlib
import subprocess
import sys
import tempfile

RAIZ = pathlib.Path(__file__).resolve().parent.parent


def pico(pauta, pasta, argumentos, entrada=b""):
    r = subprocess.run(["/usr/bin/time", "-f", "%M", str(pauta), *argumentos], cwd=pasta,
                       input=entrada, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False)
    return int(r.stderr.decode().strip().splitlines()[-1]) * 1024


def mede(pauta, pasta, curso):
    tamanho = (pasta / f"{curso}-Estudantes.txt").stat().st_size
    casos = [pico(pauta, pasta, [], f"{curso}\n9\n".encode()),
             pico(pauta, pasta, ["--exportar", str(curso)]),
             pico(pauta, pasta, ["--relatorio", str(curso)])]
    return tamanho, [c / tamanho for c in casos]


def nome_longo(pasta, nome):
    for f in (RAIZ / "examples").glob("12-*.txt"):
        (pasta / f.name).write_bytes(f.read_bytes())
    estudantes = pasta / "12-Estudantes.txt"
    texto = estudantes.read_bytes()
    inicio = texto.index(b"ALUNO;1001;") + len(b"ALUNO;1001;")
    fim = texto.index(b"\r\n", inicio)
    estudantes.write_bytes(texto[:inicio] + nome + texto[fim:])


def main():
    p = argparse.ArgumentParser()
    p.add_argument("pauta", type=pathlib.Path)
    p.add_argument("--estudantes", type=int, default=20000)
    a = p.parse_args()
    pauta = a.pauta.resolve()
    print("| course | student file | dialogue load | `--exportar` | `--relatorio` |")
    print("|---|---:|---:|---:|---:|")
    with tempfile.TemporaryDirectory() as d:
        pasta = pathlib.Path(d)
        subprocess.run([sys.executable, str(RAIZ / "bench" / "gera_curso.py"), "--estudantes",
                        str(a.estudantes), d], check=True, stdout=subprocess.DEVNULL)
        tamanho, r = mede(pauta, pasta, 77)
        print(f"| {a.estudantes} students | {tamanho / 2**20:.1f} MiB | "
              + " | ".join(f"{x:.2f}" for x in r) + " |")
    # A plain name, and one whose cells must be quoted (a '"' in every
    # 100 characters).
    for descricao, nome in (("one 20 MiB name", b"N" * (20 << 20)),
                            ("one 20 MiB name with quotes", (b"N" * 99 + b'"') * ((20 << 20) // 100))):
        with tempfile.TemporaryDirectory() as d:
            pasta = pathlib.Path(d)
            nome_longo(pasta, nome)
            tamanho, r = mede(pauta, pasta, 12)
            print(f"| example + {descricao} | {tamanho / 2**20:.1f} MiB | "
                  + " | ".join(f"{x:.2f}" for x in r) + " |")


if __name__ == "__main__":
    main()
