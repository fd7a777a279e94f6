#!/usr/bin/env python3
"""Runs two builds of pauta on the same odd courses and says where they differ.

Each course is the example course with random damage: lines cut, doubled,
swapped or dropped, fields replaced by odd values (-, empty, huge, negative,
1e-05, letters), bytes changed, names with ';' or control bytes, blank
lines, a lone LF, no last line end. Both builds then run the same scripted
dialogues (consult, enter grades, add a student, save, statistics) and the
modes (--exportar, --relatorio) in copies of the course, and everything
must be the same: standard output and error, exit status and every file
left in the folder (the report's generation time, the history's times of
saving and the hashes that chain them, the marks of its saves, and the
random part of a temporary file's name aside).

    bench/compara.py NOVO/pauta REFERENCIA/pauta [--cursos 300] [--semente 1]
"""
import argparse
import pathlib
import random
import re
import shutil
import subprocess
import sys
import tempfile

EXEMPLOS = pathlib.Path(__file__).resolve().parent.parent / "examples"

DIALOGOS = [
    b"12\n1\n1001\n0\n9\n0\n9\n",
    b"12\n2\n1001\n21002\n2\n15\n0\n4\n9\n9\n",
    b"12\n2\n1002\n21053\n1\n1\n80\n3\n2\n70\n3\n3\n50\n2\n9\n0\n9\n1\n",
    b"12\n3\n4242\nNome; Novo\n4\n9\n1\n21002\n9\n",
    b"12\n2\n1003\n21037\n3\n12\n0\n9\n0\n9\n0\n",
]
VALORES_ESTRANHOS = [b"-", b"", b"99999999999", b"-7", b"1e-05", b"abc", b"12.5.3", b"nan",
                     b"3;4", b"\x01", b"1e40", b"0"]


def estraga(linhas: list, r: random.Random) -> list:
    """A few random changes to the lines of a data file."""
    linhas = list(linhas)
    for _ in range(r.randint(1, 6)):
        if not linhas:
            break
        i = r.randrange(len(linhas))
        escolha = r.randrange(8)
        if escolha == 0:
            linhas[i] = linhas[i][: r.randrange(len(linhas[i]) + 1)]
        elif escolha == 1:
            linhas.insert(i, linhas[i])
        elif escolha == 2:
            j = r.randrange(len(linhas))
            linhas[i], linhas[j] = linhas[j], linhas[i]
        elif escolha == 3:
            del linhas[i]
        elif escolha == 4:
            campos = linhas[i].split(b";")
            campos[r.randrange(len(campos))] = r.choice(VALORES_ESTRANHOS)
            linhas[i] = b";".join(campos)
        elif escolha == 5 and linhas[i]:
            p = r.randrange(len(linhas[i]))
            linhas[i] = linhas[i][:p] + bytes([r.randrange(256)]) + linhas[i][p + 1:]
        elif escolha == 6:
            linhas.insert(i, r.choice([b"", b"   ", b"x", b"ALUNO;", b"aluno;7;x"]))
        else:
            linhas[i] = linhas[i] + b";extra"
    return linhas


def junta(linhas: list, r: random.Random) -> bytes:
    fim = r.choice([b"\r\n"] * 6 + [b"\n"])
    texto = fim.join(linhas)
    return texto if r.random() < 0.2 else texto + fim


def curso(pasta: pathlib.Path, r: random.Random) -> None:
    for nome in ("12-UC.txt", "12-Estudantes.txt"):
        linhas = (EXEMPLOS / nome).read_bytes().split(b"\r\n")
        if linhas and linhas[-1] == b"":
            linhas.pop()
        (pasta / nome).write_bytes(junta(estraga(linhas, r) if r.random() < 0.8 else linhas, r))


def corre(binario: str, pasta: pathlib.Path, entrada: bytes, args: list) -> tuple:
    r = subprocess.run([binario] + args, cwd=pasta, input=entrada, capture_output=True,
                       env={"LC_ALL": "C", "PATH": "/usr/bin:/bin"}, timeout=60)
    temporario = re.compile(rb"\.tmp\.[0-9]+\.[0-9a-f]+\.[0-9a-f]+")
    ficheiros = {}
    for f in sorted(pasta.iterdir()):
        if f.is_file():
            conteudo = f.read_bytes()
            if f.name.endswith("-Relatorio.html"):
                conteudo = re.sub(rb"<time>[^<]*</time>", b"<time></time>", conteudo)
            if f.name.endswith("-Historico.txt"):
                # The time of a save and the VERIFICACAO that hashes it.
                conteudo = re.sub(rb"(?m)^\d{4}-\d\d-\d\dT[^;]*;", b"DATA;", conteudo)
                conteudo = re.sub(rb"(?m);[0-9a-f]{16}\r$", b";VERIFICACAO\r", conteudo)
                # The marks of the saves (a build before them has none).
                conteudo = re.sub(rb"(?m)^DATA;[^;\r\n]*;[^;\r\n]*;[^;\r\n]*;;;"
                                  rb"(inicio|identidade|concluida|anulada|reparada);.*\r\n", b"",
                                  conteudo)
            ficheiros[f.name] = conteudo
    return (r.returncode, temporario.sub(b".tmp.*", r.stdout), temporario.sub(b".tmp.*", r.stderr),
            ficheiros)


def casos():
    for entrada in DIALOGOS:
        yield entrada, []
    yield b"", ["--exportar", "12"]
    yield b"", ["--relatorio", "12"]


def compara(novo: str, referencia: str, base: pathlib.Path, n: int, semente: int) -> int:
    r = random.Random(semente)
    diferencas = 0
    for k in range(n):
        original = base / f"original{k}"
        original.mkdir()
        curso(original, r)
        for entrada, args in casos():
            resultados = []
            for b in (novo, referencia):
                pasta = base / "corrida"
                shutil.rmtree(pasta, ignore_errors=True)
                shutil.copytree(original, pasta)
                resultados.append(corre(b, pasta, entrada, args))
            if resultados[0] != resultados[1]:
                diferencas += 1
                print(f"curso {k}, {args or entrada!r}: os resultados diferem", file=sys.stderr)
        shutil.rmtree(original)
    return diferencas


def main() -> int:
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("novo")
    p.add_argument("referencia")
    p.add_argument("--cursos", type=int, default=300)
    p.add_argument("--semente", type=int, default=1)
    a = p.parse_args()
    with tempfile.TemporaryDirectory() as t:
        diferencas = compara(str(pathlib.Path(a.novo).resolve()),
                             str(pathlib.Path(a.referencia).resolve()), pathlib.Path(t), a.cursos,
                             a.semente)
    casosPorCurso = len(DIALOGOS) + 2
    print(f"{a.cursos} cursos, {a.cursos * casosPorCurso} corridas de cada: "
          f"{diferencas} diferenças")
    return 1 if diferencas else 0


if __name__ == "__main__":
    sys.exit(main())
