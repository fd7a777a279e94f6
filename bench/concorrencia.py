#!/usr/bin/env python3
"""Stress benchmark of simultaneous sessions on one course.

Not a timed test: it counts what happened to every change. Each trial
copies a course to a fresh folder and puts there a lock held by a live
process (this script), so that every session is told the course is busy and
answers 1 to take it over. N sessions then load the course, each adds a
student of its own (number 50000+i; the example course has only 8 students,
so a new student is the one change every session can make on its own), and
once all have loaded they all save at once. For each session the script
compares what it was told with where its student is:

  kept        its student is in the student file
  conflict    its student is in the conflict file its message named
  lost        its student is in no file
  mismatched  the message does not say what happened (told "saved" and not
              in the student file, told "conflict" and not in that file,
              or told neither)

    python3 bench/concorrencia.py [--pauta build/pauta] [--repeticoes 10]
                                  [--sem-grande]

The 20,000-student course comes from bench/gera_curso.py (course 77).
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

AQUI = os.path.dirname(os.path.abspath(__file__))
RAIZ = os.path.dirname(AQUI)
GRAVADAS = "AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO".encode("cp1252")
CONFLITO = "as alterações desta sessão foram gravadas em ".encode("cp1252")
INSERIU = b"Inseriu o estudante"


def prepara(origem, pasta, codigo):
    for nome in os.listdir(origem):
        if nome.startswith(f"{codigo}-") and nome.endswith(".txt"):
            shutil.copy(os.path.join(origem, nome), pasta)
    # A lock of a live process of this machine: every session must take over.
    with open(os.path.join(pasta, f"{codigo}-Estudantes.txt.lock"), "wb") as f:
        f.write(f"{os.getpid()};{os.uname().nodename};bench;2026-01-01 00:00\r\n".encode())


def ensaio(pauta, origem, codigo, n):
    pasta = tempfile.mkdtemp(prefix="pauta-conc-")
    try:
        prepara(origem, pasta, codigo)
        sessoes = []
        for i in range(n):
            saida = open(os.path.join(pasta, f"saida.{i}"), "wb")
            p = subprocess.Popen([pauta], cwd=pasta, stdin=subprocess.PIPE, stdout=saida,
                                 stderr=subprocess.STDOUT)
            p.stdin.write(f"{codigo}\n1\n3\n{50000 + i}\nSessao {i}\n".encode())
            p.stdin.flush()
            sessoes.append((p, saida))
        # Barrier: every session has loaded the course and added its student.
        limite = time.time() + 600
        while time.time() < limite:
            prontas = 0
            for i in range(n):
                with open(os.path.join(pasta, f"saida.{i}"), "rb") as f:
                    prontas += INSERIU in f.read()
            if prontas == n:
                break
            time.sleep(0.02)
        for p, _ in sessoes:
            p.stdin.write(b"4\n9\n9\n")
            p.stdin.close()
        for p, saida in sessoes:
            p.wait()
            saida.close()
        ficheiro = os.path.join(pasta, f"{codigo}-Estudantes.txt")
        with open(ficheiro, "rb") as f:
            final = f.read()
        r = {"kept": 0, "conflict": 0, "lost": 0, "mismatched": 0}
        for i in range(n):
            with open(os.path.join(pasta, f"saida.{i}"), "rb") as f:
                texto = f.read()
            registo = f"ALUNO;{50000 + i};Sessao {i}\r\n".encode()
            disse_gravado = GRAVADAS in texto
            conflito = None
            if CONFLITO in texto:
                resto = texto[texto.index(CONFLITO) + len(CONFLITO):]
                conflito = resto.split(b"\n")[0].decode("cp1252")
            no_ficheiro = registo in final
            no_conflito = False
            if conflito and os.path.exists(os.path.join(pasta, conflito)):
                with open(os.path.join(pasta, conflito), "rb") as f:
                    no_conflito = registo in f.read()
            if no_ficheiro:
                r["kept"] += 1
            elif no_conflito:
                r["conflict"] += 1
            else:
                # Anywhere at all? (a conflict file the message did not name)
                achado = False
                for nome in os.listdir(pasta):
                    if ".conflito" in nome:
                        with open(os.path.join(pasta, nome), "rb") as f:
                            achado = achado or registo in f.read()
                if not achado:
                    r["lost"] += 1
            certo = (disse_gravado and no_ficheiro and conflito is None) or \
                    (conflito is not None and no_conflito and not disse_gravado)
            if not certo:
                r["mismatched"] += 1
        restos = [x for x in os.listdir(pasta) if ".tmp." in x]
        r["leftovers"] = len(restos)
        return r
    finally:
        shutil.rmtree(pasta, ignore_errors=True)


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("--pauta", default=os.path.join(RAIZ, "build", "pauta"))
    a.add_argument("--repeticoes", type=int, default=10)
    a.add_argument("--sem-grande", action="store_true")
    args = a.parse_args()
    pauta = os.path.abspath(args.pauta)
    casos = [("exemplo", os.path.join(RAIZ, "examples"), 12, n) for n in (2, 10, 50)]
    grande = None
    if not args.sem_grande:
        grande = tempfile.mkdtemp(prefix="pauta-grande-")
        subprocess.run([sys.executable, os.path.join(AQUI, "gera_curso.py"), grande], check=True,
                       stdout=subprocess.DEVNULL)
        casos.append(("20000 alunos", grande, 77, 2))
    print(f"{'course':<14}{'N':>4}{'trials':>8}{'changes':>9}{'kept':>7}{'conflict':>10}"
          f"{'lost':>6}{'mismatched':>12}{'leftovers':>11}")
    erro = False
    try:
        for nome, origem, codigo, n in casos:
            repeticoes = args.repeticoes if n < 50 and codigo == 12 else max(1, args.repeticoes // 3)
            total = {"kept": 0, "conflict": 0, "lost": 0, "mismatched": 0, "leftovers": 0}
            for _ in range(repeticoes):
                r = ensaio(pauta, origem, codigo, n)
                for k in total:
                    total[k] += r[k]
            print(f"{nome:<14}{n:>4}{repeticoes:>8}{n * repeticoes:>9}{total['kept']:>7}"
                  f"{total['conflict']:>10}{total['lost']:>6}{total['mismatched']:>12}"
                  f"{total['leftovers']:>11}", flush=True)
            erro = erro or total["lost"] or total["mismatched"]
    finally:
        if grande:
            shutil.rmtree(grande, ignore_errors=True)
    return 1 if erro else 0


if __name__ == "__main__":
    sys.exit(main())
