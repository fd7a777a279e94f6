#!/usr/bin/env python3
"""Stress benchmark of sessions killed while they save.

Not a timed test: it counts what happened to every change. Each trial
copies a course to a fresh folder with a lock held by a live process (this
script), so that every session answers 1 to take the course over. N
sessions load it and each adds a student of its own (number 50000+i); once
all have, they all save at once, and while they save some of them are
ended at a random moment by a random signal (SIGINT, SIGTERM, SIGHUP or
SIGKILL). Then one more process, an import, saves as the next writer would.
For each session it compares what the session was told with where its
student is, and what the history records with the files:

  kept         its student is in the student file
  conflict     its student is in a conflict file
  unsaved      its student is in no file (its session ended before its save)
  lost         told "saved" (or a conflict file's name) and its student is
               not there
  misreported  its message does not say what happened: told "lost" while its
               student is in a file, or ended by a catchable signal after its
               save without a word of it
  phantom      a history line names its student while no file holds him (or
               not the file the line names)
  missing      its student is in a file whose save the history does not name
  unchecked    trials whose history `--historico CODE --verificar` refused
  hung         sessions still running a minute after the last signal (then
               killed), and next writers that did not end within a minute

    python3 bench/interrupcoes.py [--pauta build/pauta] [--repeticoes 20]
                                  [--sessoes 10] [--semente 1] [--sem-grande]
                                  [--sem-trancas]

With --sem-trancas, --pauta must be the test build (build/pauta_pausas): the
folder is taken for one without OS locks (PAUTA_SEM_TRANCAS). The
20,000-student course comes from bench/gera_curso.py (course 77).
"""

import argparse
import csv
import io
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

AQUI = os.path.dirname(os.path.abspath(__file__))
RAIZ = os.path.dirname(AQUI)
GRAVADAS = "AS ALTERAÇÕES FORAM GRAVADAS NO FICHEIRO".encode("cp1252")
CONFLITO = "as alterações desta sessão foram gravadas em ".encode("cp1252")
PERDIDAS = "as alterações não gravadas foram perdidas".encode("cp1252")
INSERIU = b"Inseriu o estudante"
SINAIS = [signal.SIGINT, signal.SIGTERM, signal.SIGHUP, signal.SIGKILL]


def prepara(origem, pasta, codigo):
    for nome in os.listdir(origem):
        if nome.startswith(f"{codigo}-") and nome.endswith(".txt"):
            shutil.copy(os.path.join(origem, nome), pasta)
    with open(os.path.join(pasta, f"{codigo}-Estudantes.txt.lock"), "wb") as f:
        f.write(f"{os.getpid()};{os.uname().nodename};bench;2026-01-01 00:00\r\n".encode())
    with open(os.path.join(pasta, "seguinte.csv"), "wb") as f:
        f.write("Número;Nome\r\n90000;Seguinte\r\n".encode("cp1252"))


def le(caminho):
    try:
        with open(caminho, "rb") as f:
            return f.read()
    except OSError:
        return b""


def historico(pauta, pasta, codigo, ambiente):
    """The standing 'aluno' lines of the history: (number, conflict file or None)."""
    r = subprocess.run([pauta, "--historico", str(codigo), "--csv"], cwd=pasta, env=ambiente,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
    linhas = set()
    leitor = csv.reader(io.StringIO(r.stdout.decode("cp1252")), delimiter=";")
    next(leitor, None)
    for celulas in leitor:
        if len(celulas) < 7 or celulas[6] != "aluno":
            continue
        origem = celulas[3]
        conflito = origem.split(" conflito:")[1] if " conflito:" in origem else None
        linhas.add((int(celulas[4]), conflito))
    verificado = subprocess.run([pauta, "--historico", str(codigo), "--verificar"], cwd=pasta,
                                env=ambiente, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, check=False).returncode == 0
    return linhas, verificado


def ensaio(pauta, origem, codigo, n, atraso, gerador, ambiente):
    pasta = tempfile.mkdtemp(prefix="pauta-int-")
    try:
        prepara(origem, pasta, codigo)
        sessoes = []
        for i in range(n):
            saida = open(os.path.join(pasta, f"saida.{i}"), "wb")
            p = subprocess.Popen([pauta], cwd=pasta, stdin=subprocess.PIPE, stdout=saida,
                                 stderr=subprocess.STDOUT, env=ambiente)
            p.stdin.write(f"{codigo}\n1\n3\n{50000 + i}\nSessao {i}\n".encode())
            p.stdin.flush()
            sessoes.append((p, saida))
        limite = time.time() + 600
        while time.time() < limite:
            if all(INSERIU in le(os.path.join(pasta, f"saida.{i}")) for i in range(n)):
                break
            time.sleep(0.02)
        # Who is ended, by what, and when after the save is asked for.
        fins = {}
        for i in range(n):
            if gerador.random() < 0.5:
                fins[i] = (gerador.random() * atraso, gerador.choice(SINAIS))
        inicio = time.time()
        for p, _ in sessoes:
            p.stdin.write(b"4\n9\n9\n")
            p.stdin.flush()
        for momento, i in sorted((m, i) for i, (m, _) in fins.items()):
            espera = inicio + momento - time.time()
            if espera > 0:
                time.sleep(espera)
            p = sessoes[i][0]
            if p.poll() is None:
                p.send_signal(fins[i][1])
        presos = 0
        limite = time.time() + 60
        for p, saida in sessoes:
            try:
                p.stdin.close()
            except BrokenPipeError:
                pass
            try:
                p.wait(timeout=max(0.1, limite - time.time()))
            except subprocess.TimeoutExpired:
                presos += 1
                p.kill()
                p.wait()
            saida.close()
        # The next writer: the lock of this script (or of a killed session) goes first.
        os.remove(os.path.join(pasta, f"{codigo}-Estudantes.txt.lock")) \
            if os.path.exists(os.path.join(pasta, f"{codigo}-Estudantes.txt.lock")) else None
        try:
            seguinte = subprocess.run([pauta, "--importar", str(codigo), "seguinte.csv"],
                                      cwd=pasta, env=ambiente, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL, check=False,
                                      timeout=60).returncode
        except subprocess.TimeoutExpired:
            presos += 1
            seguinte = -1
        final = le(os.path.join(pasta, f"{codigo}-Estudantes.txt"))
        linhas, verificado = historico(pauta, pasta, codigo, ambiente)
        conflitos = {nome: le(os.path.join(pasta, nome)) for nome in os.listdir(pasta)
                     if ".conflito" in nome and ".tmp." not in nome}
        r = dict.fromkeys(["kept", "conflict", "unsaved", "lost", "misreported", "phantom",
                           "missing"], 0)
        r["unchecked"] = 0 if verificado and seguinte == 0 else 1
        r["hung"] = presos
        for i in range(n):
            texto = le(os.path.join(pasta, f"saida.{i}"))
            registo = f"ALUNO;{50000 + i};Sessao {i}\r\n".encode()
            no_ficheiro = registo in final
            em = [nome for nome, conteudo in conflitos.items() if registo in conteudo]
            nomeado = None
            if CONFLITO in texto:
                resto = texto[texto.index(CONFLITO) + len(CONFLITO):]
                nomeado = resto.split(b"\n")[0].decode("cp1252")
            if no_ficheiro:
                r["kept"] += 1
            elif em:
                r["conflict"] += 1
            else:
                r["unsaved"] += 1
            if (GRAVADAS in texto and not no_ficheiro) or (nomeado and nomeado not in em):
                r["lost"] += 1
            sinal = fins.get(i, (0, None))[1]
            guardado = no_ficheiro or bool(em)
            dito = GRAVADAS in texto or nomeado is not None
            if (PERDIDAS in texto and guardado) or \
               (sinal != signal.SIGKILL and guardado and not dito):
                r["misreported"] += 1
            numero = 50000 + i
            for linha, conflito in linhas:
                if linha != numero:
                    continue
                if (conflito is None and not no_ficheiro) or \
                   (conflito is not None and conflito not in em):
                    r["phantom"] += 1
            if (no_ficheiro and (numero, None) not in linhas) or \
               any((numero, nome) not in linhas for nome in em):
                r["missing"] += 1
        return r
    finally:
        shutil.rmtree(pasta, ignore_errors=True)


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("--pauta", default=os.path.join(RAIZ, "build", "pauta"))
    a.add_argument("--repeticoes", type=int, default=20)
    a.add_argument("--sessoes", type=int, default=10)
    a.add_argument("--semente", type=int, default=1)
    a.add_argument("--sem-grande", action="store_true")
    a.add_argument("--sem-trancas", action="store_true")
    args = a.parse_args()
    pauta = os.path.abspath(args.pauta)
    ambiente = dict(os.environ, LC_ALL="C")
    if args.sem_trancas:
        ambiente["PAUTA_SEM_TRANCAS"] = "1"
    gerador = random.Random(args.semente)
    # The moments of the signals spread over the saves: longer for the large course.
    casos = [("example", os.path.join(RAIZ, "examples"), 12, args.sessoes, 0.05)]
    grande = None
    if not args.sem_grande:
        grande = tempfile.mkdtemp(prefix="pauta-grande-")
        subprocess.run([sys.executable, os.path.join(AQUI, "gera_curso.py"), grande], check=True,
                       stdout=subprocess.DEVNULL)
        casos.append(("20000 students", grande, 77, 3, 2.0))
    campos = ["kept", "conflict", "unsaved", "lost", "misreported", "phantom", "missing",
              "unchecked", "hung"]
    print(f"{'course':<16}{'N':>4}{'trials':>8}{'changes':>9}" +
          "".join(f"{c:>12}" for c in campos))
    erro = False
    try:
        for nome, origem, codigo, n, atraso in casos:
            repeticoes = args.repeticoes if codigo == 12 else max(1, args.repeticoes // 4)
            total = dict.fromkeys(campos, 0)
            for _ in range(repeticoes):
                r = ensaio(pauta, origem, codigo, n, atraso, gerador, ambiente)
                for k in campos:
                    total[k] += r[k]
            print(f"{nome:<16}{n:>4}{repeticoes:>8}{n * repeticoes:>9}" +
                  "".join(f"{total[c]:>12}" for c in campos), flush=True)
            erro = erro or any(total[c] for c in campos[3:])
    finally:
        if grande:
            shutil.rmtree(grande, ignore_errors=True)
    return 1 if erro else 0


if __name__ == "__main__":
    sys.exit(main())
